#include "decompress/decompress_z.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "decompress/file_io.h"
#include "platform/strfmt.h"

namespace velarix {

namespace {

// The input is read in chunks of 512 bytes whenever fewer than 64 unread bytes remain;
// the -5 message reports positions within this buffer, so its size is part of the format.
constexpr size_t kInputChunk = 512;
constexpr size_t kInputReserve = 64;
constexpr size_t kInputCapacity = kInputChunk + kInputReserve;
constexpr size_t kOutputCapacity = 1 << 18;
constexpr int kMaxBits = 16;
constexpr int kInitialBits = 9;
constexpr int kClearCode = 256;
constexpr int kMaxCodes = 1 << kMaxBits;

const char* const kNotCompressed = "Input file not in .Z compressed format, check type or decompress manually!\n";

class ZDecoder {
public:
    ZDecoder(std::FILE* input, long long inputSize, std::FILE* output, std::string& message)
        : input_(input), bytesLeftInFile_(inputSize), output_(output), message_(message), out_(kOutputCapacity) {}

    DecodeStatus run();

private:
    size_t readChunk();
    void dropConsumed();
    DecodeStatus corruptCode(long codeStart);
    bool emit(const uint8_t* bytes, size_t count);
    bool flush();
    // Skips to the end of the current group of eight codes: the encoder pads each group
    // when the width changes or the dictionary is cleared.
    void skipToGroupEnd() {
        const long groupBits = static_cast<long>(bits_) * 8;
        posBits_ = (posBits_ - 1) + (groupBits - (posBits_ - 1 + groupBits) % groupBits);
    }

    std::FILE* input_;
    long long bytesLeftInFile_;
    std::FILE* output_;
    std::string& message_;

    // One byte before the buffer keeps the last byte dropped from it (shown by the -5
    // message); three after it let a code be read as 24 bits at the very end.
    std::array<uint8_t, 1 + kInputCapacity + 3> inRaw_{};
    uint8_t* const in_ = inRaw_.data() + 1;
    size_t inSize_ = 0;
    long posBits_ = 0;
    int bits_ = kInitialBits;

    std::vector<uint8_t> out_;
    size_t outSize_ = 0;

    std::array<uint16_t, kMaxCodes> prefix_{};
    std::array<uint8_t, kMaxCodes> suffix_{};
    std::array<uint8_t, kMaxCodes + 1> stack_{};
};

size_t ZDecoder::readChunk() {
    const size_t wanted = static_cast<size_t>(std::min<long long>(bytesLeftInFile_, kInputChunk));
    if (wanted == 0) return 0;
    const size_t got = std::fread(in_ + inSize_, 1, wanted, input_);
    inSize_ += got;
    bytesLeftInFile_ -= static_cast<long long>(got);
    return got;
}

void ZDecoder::dropConsumed() {
    const size_t consumed = std::min(static_cast<size_t>(posBits_ >> 3), inSize_);
    if (consumed > 0) {
        in_[-1] = in_[consumed - 1];
        std::memmove(in_, in_ + consumed, inSize_ - consumed);
        std::memset(in_ + inSize_ - consumed, 0, consumed);
        inSize_ -= consumed;
    }
    posBits_ = 0;
}

DecodeStatus ZDecoder::corruptCode(long codeStart) {
    const uint8_t* p = in_ + (codeStart >> 3);
    message_ = strfmt("insize:%d posbits:%d inbuf:%02X %02X %02X %02X %02X (%d)\r\nCorrupt input file",
                      static_cast<int>(inSize_), static_cast<int>(codeStart), p[-1], p[0], p[1], p[2], p[3],
                      static_cast<int>(codeStart & 7));
    flush();
    return DecodeStatus::kCorrupt;
}

bool ZDecoder::flush() {
    const bool ok = writeBytes(output_, out_.data(), outSize_);
    outSize_ = 0;
    return ok;
}

bool ZDecoder::emit(const uint8_t* bytes, size_t count) {
    if (outSize_ + count > out_.size() && !flush()) return false;
    std::memcpy(out_.data() + outSize_, bytes, count);
    outSize_ += count;
    return true;
}

DecodeStatus ZDecoder::run() {
    size_t lastRead = 0;
    while (inSize_ < 3) {
        lastRead = readChunk();
        if (lastRead == 0) break;
    }
    if (inSize_ == 0) return DecodeStatus::kWrongFormat;
    if (inSize_ < 3 || in_[0] != 0x1F || in_[1] != 0x9D) {
        message_ = kNotCompressed;
        return DecodeStatus::kWrongFormat;
    }
    const int maxBits = in_[2] & 0x1F;
    const bool blockMode = (in_[2] & 0x80) != 0;
    if (maxBits > kMaxBits) {
        message_ = strfmt("File compressed with %d bits, can only handle %d bits\n", maxBits, kMaxBits);
        return DecodeStatus::kTooManyBits;
    }
    const long largestCode = 1L << maxBits;
    long maxCode = (1L << kInitialBits) - 1;
    unsigned bitMask = static_cast<unsigned>(maxCode);
    long freeEntry = blockMode ? kClearCode + 1 : kClearCode;
    for (int code = 0; code < 256; ++code) suffix_[code] = static_cast<uint8_t>(code);
    long oldCode = -1;
    int firstByte = 0;
    posBits_ = 24;

    do {
    refill:
        dropConsumed();
        if (inSize_ < kInputReserve) lastRead = readChunk();
        const long usableBits = lastRead != 0 ? static_cast<long>(inSize_ - inSize_ % bits_) << 3
                                              : (static_cast<long>(inSize_) << 3) - (bits_ - 1);
        while (usableBits > posBits_) {
            if (freeEntry > maxCode) {
                skipToGroupEnd();
                ++bits_;
                maxCode = bits_ == maxBits ? largestCode : (1L << bits_) - 1;
                bitMask = (1U << bits_) - 1;
                goto refill;
            }
            const uint8_t* p = in_ + (posBits_ >> 3);
            long code = static_cast<long>(
                ((uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16) >> (posBits_ & 7)) & bitMask);
            posBits_ += bits_;

            if (oldCode == -1) {
                if (code >= 256) {
                    message_ = strfmt("oldcode:-1 code:%i\r\nCorrupt input file", static_cast<int>(code));
                    return DecodeStatus::kBadFirstCode;
                }
                oldCode = code;
                firstByte = static_cast<int>(code);
                const uint8_t byte = static_cast<uint8_t>(code);
                if (!emit(&byte, 1)) {
                    message_ = "Write error!";
                    return DecodeStatus::kWriteFailed;
                }
                continue;
            }
            if (code == kClearCode && blockMode) {
                std::memset(prefix_.data(), 0, 256 * sizeof(prefix_[0]));
                freeEntry = kClearCode;
                skipToGroupEnd();
                bits_ = kInitialBits;
                maxCode = (1L << bits_) - 1;
                bitMask = static_cast<unsigned>(maxCode);
                goto refill;
            }
            const long inCode = code;
            uint8_t* top = stack_.data() + stack_.size();
            if (code >= freeEntry) {
                if (code > freeEntry) return corruptCode(posBits_ - bits_);
                *--top = static_cast<uint8_t>(firstByte);
                code = oldCode;
            }
            // Every entry's prefix is a smaller code (entry 256 after a clear is never
            // reached), so the walk ends within the stack.
            while (code >= 256) {
                *--top = suffix_[code];
                code = prefix_[code];
            }
            firstByte = suffix_[code];
            *--top = static_cast<uint8_t>(firstByte);
            if (!emit(top, static_cast<size_t>(stack_.data() + stack_.size() - top))) {
                message_ = "Write error!";
                return DecodeStatus::kWriteFailed;
            }
            if (freeEntry < largestCode) {
                prefix_[freeEntry] = static_cast<uint16_t>(oldCode);
                suffix_[freeEntry] = static_cast<uint8_t>(firstByte);
                ++freeEntry;
            }
            oldCode = inCode;
        }
    } while (lastRead != 0);

    if (!flush()) {
        message_ = "Write error2!";
        return DecodeStatus::kLastWriteFailed;
    }
    return DecodeStatus::kOk;
}

}  // namespace

DecodeStatus DecompressZ(const std::string& inputPath, const std::string& outputPath, std::string& zMessage) {
    return DecompressZ(DecoderInput(inputPath), DecoderOutput(outputPath), zMessage);
}

DecodeStatus DecompressZ(const DecoderInput& inputFile, const DecoderOutput& outputFile, std::string& zMessage) {
    long long size = 0;
    InputFileStatus opened = InputFileStatus::kCannotOpen;
    FilePtr input = openInputFile(inputFile, size, &opened);
    if (!input) {
        zMessage = opened == InputFileStatus::kNotRegularFile ? "Not a regular file" : "Cannot open file";
        return DecodeStatus::kCannotOpen;
    }
    if (size == 0) {
        zMessage = "File of zero bytes";
        return DecodeStatus::kEmptyFile;
    }
    FilePtr output = openOutputFile(outputFile);
    if (!output) {
        zMessage = "Cannot write file";
        return DecodeStatus::kCannotWrite;
    }
    // The tables are large; keep them off the stack.
    auto decoder = std::make_unique<ZDecoder>(input.get(), size, output.get(), zMessage);
    const DecodeStatus result = decoder->run();
    if (!closeOutputFile(output) && result == DecodeStatus::kOk) {
        zMessage = "Write error2!";
        return DecodeStatus::kLastWriteFailed;
    }
    return result;
}

}  // namespace velarix
