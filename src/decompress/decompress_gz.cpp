#include "decompress/decompress_gz.h"

#include <zlib.h>

#include <vector>

#include "decompress/file_io.h"
#include "platform/strfmt.h"

namespace velarix {

namespace {

constexpr size_t kChunk = 1 << 18;
constexpr int kGzipWindow = 15 + 16;  // largest window, gzip wrapper only

class Inflater {
public:
    Inflater() { ok_ = inflateInit2(&stream_, kGzipWindow) == Z_OK; }
    ~Inflater() {
        if (ok_) inflateEnd(&stream_);
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
    bool ok() const { return ok_; }
    z_stream& stream() { return stream_; }

private:
    z_stream stream_{};
    bool ok_ = false;
};

bool startsMember(const unsigned char* bytes, size_t count) {
    return count >= 2 && bytes[0] == 0x1F && bytes[1] == 0x8B;
}

}  // namespace

DecodeStatus DecompressGz(const std::string& inputPath, const std::string& outputPath, std::string& message) {
    return DecompressGz(DecoderInput(inputPath), DecoderOutput(outputPath), message);
}

DecodeStatus DecompressGz(const DecoderInput& inputFile, const DecoderOutput& outputFile, std::string& message) {
    long long size = 0;
    InputFileStatus opened = InputFileStatus::kCannotOpen;
    FilePtr input = openInputFile(inputFile, size, &opened);
    if (!input) {
        message = opened == InputFileStatus::kNotRegularFile ? "Not a regular file" : "Cannot open file";
        return DecodeStatus::kCannotOpen;
    }
    if (size == 0) {
        message = "File of zero bytes";
        return DecodeStatus::kEmptyFile;
    }
    std::vector<unsigned char> in(kChunk);
    std::vector<unsigned char> out(kChunk);
    size_t held = std::fread(in.data(), 1, in.size(), input.get());
    if (!startsMember(in.data(), held)) {
        message = "Input file not in gzip format, check type or decompress manually!\n";
        return DecodeStatus::kWrongFormat;
    }
    FilePtr output = openOutputFile(outputFile);
    if (!output) {
        message = "Cannot write file";
        return DecodeStatus::kCannotWrite;
    }
    Inflater inflater;
    if (!inflater.ok()) {
        message = "Cannot start the gzip decoder";
        return DecodeStatus::kCorrupt;
    }
    z_stream& stream = inflater.stream();
    stream.next_in = in.data();
    stream.avail_in = static_cast<uInt>(held);
    bool inMember = true;
    for (;;) {
        if (stream.avail_in == 0 && !std::feof(input.get())) {
            held = std::fread(in.data(), 1, in.size(), input.get());
            stream.next_in = in.data();
            stream.avail_in = static_cast<uInt>(held);
        }
        if (stream.avail_in == 0) break;
        if (!inMember) {
            // A new member must follow; anything else is trailing padding, ignored.
            if (stream.avail_in < 2 && !std::feof(input.get())) {
                // Keep the lone byte and read more before deciding.
                in[0] = *stream.next_in;
                held = 1 + std::fread(in.data() + 1, 1, in.size() - 1, input.get());
                stream.next_in = in.data();
                stream.avail_in = static_cast<uInt>(held);
            }
            if (!startsMember(stream.next_in, stream.avail_in)) break;
            inflateReset(&stream);
            inMember = true;
        }
        stream.next_out = out.data();
        stream.avail_out = static_cast<uInt>(out.size());
        const int status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) {
            message = strfmt("Corrupt input file: %s", stream.msg != nullptr ? stream.msg : "invalid gzip data");
            return DecodeStatus::kCorrupt;
        }
        if (!writeBytes(output.get(), out.data(), out.size() - stream.avail_out)) {
            message = "Write error!";
            return DecodeStatus::kWriteFailed;
        }
        if (status == Z_STREAM_END) inMember = false;
    }
    if (std::ferror(input.get())) {
        message = "Cannot read file";
        return DecodeStatus::kCorrupt;
    }
    if (inMember) {
        message = "Truncated input file";
        return DecodeStatus::kCorrupt;
    }
    if (!closeOutputFile(output)) {
        message = "Write error!";
        return DecodeStatus::kWriteFailed;
    }
    return DecodeStatus::kOk;
}

}  // namespace velarix
