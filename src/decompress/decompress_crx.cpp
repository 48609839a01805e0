#include "decompress/decompress_crx.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "decompress/crx_text.h"
#include "decompress/file_io.h"
#include "platform/line_reader.h"
#include "platform/strfmt.h"
#include "platform/text.h"

namespace velarix {

namespace {

constexpr int kMaxSatellites = 100;
constexpr int kMaxTypes = 100;
constexpr int kMaxOrder = 5;
constexpr size_t kFlushBytes = 1 << 20;
const char* const kSkippedComment = "  *** Some epochs are skipped by CRX2RNX ***";

// One observable (or the receiver clock) of one satellite: the differences of orders 0 to
// `current` of the latest epoch.
struct Arc {
    int order = -1;  // declared difference order; -1 while the field is blank (no clock)
    int current = 0;
    int64_t terms[kMaxOrder + 1] = {};

    void start(int declaredOrder, int64_t value) {
        order = declaredOrder;
        current = 0;
        terms[0] = value;
    }
    // Takes the next difference of the current order and rebuilds the lower ones; false
    // when a term leaves the 64-bit range.
    bool advance(int64_t difference) {
        if (current < order) ++current;
        terms[current] = difference;
        for (int k = current - 1; k >= 0; --k) {
            if (__builtin_add_overflow(terms[k], terms[k + 1], &terms[k])) return false;
        }
        return true;
    }
};

struct Satellite {
    char id[3] = {' ', ' ', ' '};
    int types = 0;
    Arc arcs[kMaxTypes];
    char flags[2 * kMaxTypes];  // loss of lock and signal strength per type
};

// Where the fields of an epoch line are, per RINEX version.
struct EpochLayout {
    char initialized;  // first character of an initialized epoch line
    char plain;        // first character of the RINEX epoch line
    size_t minLength;
    size_t base;     // offsets of the separators below count from here
    size_t countAt;  // number of satellites (3 characters)
    size_t satellitesAt;
};
constexpr EpochLayout kRinex2Layout{'&', ' ', 29, 3, 29, 32};
constexpr EpochLayout kRinex3Layout{'>', '>', 32, 6, 32, 41};

bool hasLabel(std::string_view line, std::string_view label) {
    return line.size() >= 60 + label.size() && line.substr(60, label.size()) == label;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A count in a fixed field, read as "%3d" would: leading blanks, then digits up to the
// first other character. Blanks or nothing count as 0; -1 when no digit follows blanks.
int parseCountField(std::string_view line, size_t at, size_t width) {
    if (at >= line.size()) return 0;
    std::string_view field = line.substr(at, width);
    while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
    if (field.empty()) return 0;
    if (!isDigit(field.front())) return -1;
    int value = 0;
    for (size_t i = 0; i < field.size() && isDigit(field[i]); ++i) value = value * 10 + (field[i] - '0');
    return value;
}

class CrxDecoder {
public:
    CrxDecoder(LineReader& in, std::FILE* output, std::string& message)
        : in_(in), output_(output), message_(message), previous_(kMaxSatellites), current_(kMaxSatellites) {
        systemTypes_.fill(-1);
    }

    DecodeStatus run();
    bool outputFailed() const { return outputFailed_; }

private:
    enum class Outcome { Done, Skip, Stop };

    bool nextLine() {
        if (!in_.next(kMaxLineChars - 1, line_, lineCut_)) return false;
        ++lineNumber_;
        return true;
    }
    std::string quotedLine() const { return std::string(line_); }
    bool lineDefective() const { return lineCut_ || line_.find('\0') != std::string_view::npos; }
    void defectiveLineMessage();
    void truncatedMessage();
    // The next line of a record; false (with the message set) at the end of the file or
    // for a defective line.
    bool nextGoodLine() {
        if (!nextLine()) {
            truncatedMessage();
            return false;
        }
        if (lineDefective()) {
            defectiveLineMessage();
            return false;
        }
        return true;
    }
    bool isEpochLine(std::string_view line, char first) const;

    DecodeStatus readHeader();
    bool applyTypeLine(std::string_view line);
    Outcome decodeEpoch(std::string_view line);
    Outcome copyEventRecords(const std::string& epoch, int records);
    Outcome decodeClock(std::string_view line, Arc& clock);
    Outcome decodeSatellite(std::string_view line, Satellite& satellite, bool isNew);
    Outcome fail(std::string text) {
        message_ = std::move(text);
        return Outcome::Skip;
    }
    Outcome stop(DecodeStatus result, std::string text) {
        message_ = std::move(text);
        stopResult_ = result;
        return Outcome::Stop;
    }
    void writeEpoch(const std::string& epoch, int count, const Arc& clock);
    void appendObservation(const Satellite& satellite, int type);
    bool recover();
    void writeSkipRecord();
    void put(std::string_view text) { out_.append(text); }
    void flushIfFull() {
        if (out_.size() >= kFlushBytes) flush();
    }
    void flush() {
        if (!writeBytes(output_, out_.data(), out_.size())) outputFailed_ = true;
        out_.clear();
    }

    static constexpr size_t kMaxLineChars = 2048;  // longer lines are errors

    LineReader& in_;
    std::string_view line_;  // the current input line
    bool lineCut_ = false;   // it was longer than the limit
    std::FILE* output_;
    std::string& message_;
    std::string out_;
    bool outputFailed_ = false;
    long lineNumber_ = 0;
    DecodeStatus stopResult_ = DecodeStatus::kOk;
    DecodeStatus status_ = DecodeStatus::kOk;

    int crxVersion_ = 1;
    int rinexVersion_ = 2;
    const EpochLayout* layout_ = &kRinex2Layout;
    int rinex2Types_ = 0;
    std::array<int, 256> systemTypes_{};  // by system letter, -1 = not declared

    std::string reference_;  // the previous epoch line, decoded
    std::vector<Satellite> previous_;
    int previousCount_ = 0;
    std::vector<Satellite> current_;
    Arc clock_;
};

void CrxDecoder::defectiveLineMessage() {
    message_ = strfmt(
        "ERROR at line %ld : null character is found in the line or the line is too long (>%d) at line.\r\n"
        "start>%s<end\r\n",
        lineNumber_, static_cast<int>(kMaxLineChars), quotedLine().c_str());
}

void CrxDecoder::truncatedMessage() {
    message_ = strfmt(
        "ERROR : The file seems to be trancated in the middle.\r\nThe conversion is interrupted \t\t\t\t\t\t   "
        "after reading the line %ld :\r\nstart>%s<end\r\n",
        lineNumber_, quotedLine().c_str());
}

bool CrxDecoder::isEpochLine(std::string_view line, char first) const {
    const EpochLayout& layout = *layout_;
    if (line.size() < layout.minLength || line[0] != first) return false;
    for (const size_t offset : {0, 3, 6, 9, 12, 23, 24}) {
        if (line[layout.base + offset] != ' ') return false;
    }
    return isDigit(line[layout.base + 25]);
}

bool CrxDecoder::applyTypeLine(std::string_view line) {
    int* target = nullptr;
    int count = 0;
    if (hasLabel(line, "# / TYPES OF OBSERV") && line[5] != ' ') {
        target = &rinex2Types_;
        count = parseCountField(line, 0, 6);
    } else if (hasLabel(line, "SYS / # / OBS TYPES") && line[0] != ' ') {
        target = &systemTypes_[static_cast<unsigned char>(line[0])];
        count = parseCountField(line, 3, 3);
    } else {
        return true;
    }
    if (count > kMaxTypes) {
        message_ = strfmt("ERROR at line %ld. : Number of data types exceed MAXTYPE(%d):\r\n start>%s<end\r\n",
                          lineNumber_, kMaxTypes, quotedLine().c_str());
        return false;
    }
    *target = count < 0 ? 0 : count;
    return true;
}

DecodeStatus CrxDecoder::readHeader() {
    const std::string_view line1 = nextLine() ? line_ : std::string_view();
    if (!((line1.substr(0, 3) == "1.0" || line1.substr(0, 3) == "3.0") && hasLabel(line1, "CRINEX VERS   / TYPE"))) {
        message_ = strfmt(
            "ERROR : The file format is not Compact RINEX or the version of the format is not valid."
            "\t\t\t\t\t\t\t\r\nThis software can deal with only ver.%s.\r\n",
            "1.0-2.0");
        return DecodeStatus::kCrxBadHeader;
    }
    crxVersion_ = line1[0] - '0';
    for (int lineOfHeader = 2;; ++lineOfHeader) {
        if (!nextGoodLine()) return DecodeStatus::kCrxBadHeader;
        const std::string_view line = line_;
        if (lineOfHeader == 2) continue;  // program and date of the compression
        if (lineOfHeader == 3) {
            if (!hasLabel(line, "RINEX VERSION / TYPE") || (line[5] != '2' && line[5] != '3')) {
                message_ = strfmt(
                    "ERROR : The format version of the original RINEX file is not valid.\r\nThis software "
                    "\t\t\t\t\t\t   can deal with only (compressed) RINEX format ver.%s\r\n",
                    "2.x or 3.x");
                return DecodeStatus::kCrxBadHeader;
            }
            rinexVersion_ = line[5] - '0';
            layout_ = rinexVersion_ == 2 ? &kRinex2Layout : &kRinex3Layout;
        }
        if (!applyTypeLine(line)) return DecodeStatus::kCrxBadHeader;
        put(trimRight(line));
        put("\n");
        if (hasLabel(line, "END OF HEADER")) return DecodeStatus::kOk;
    }
}

CrxDecoder::Outcome CrxDecoder::copyEventRecords(const std::string& epoch, int records) {
    // Kept aside until complete, so that a failure leaves no half record in the output.
    std::string text(trimRight(epoch));
    text += '\n';
    for (int i = 0; i < records; ++i) {
        if (!nextGoodLine()) return Outcome::Skip;
        if (!applyTypeLine(line_)) return Outcome::Skip;
        text += trimRight(line_);
        text += '\n';
    }
    put(text);
    return Outcome::Done;
}

CrxDecoder::Outcome CrxDecoder::decodeClock(std::string_view line, Arc& clock) {
    if (line.empty()) {
        clock.order = -1;
        return Outcome::Done;
    }
    int64_t value = 0;
    bool inRange = true;
    if (line.size() >= 2 && line[1] == '&' && isDigit(line[0])) {
        const int order = line[0] - '0';
        if (order > kMaxOrder) {
            return fail(strfmt("ERROR at line %ld : exceed maximum order of difference (%d)\r\nstart>%s<end\r\n",
                               lineNumber_, kMaxOrder, quotedLine().c_str()));
        }
        if (!parseCrxInteger(line.substr(2), value)) {
            return fail(strfmt("ERROR at line %ld : The clock offset is not a number.\r\nstart>%s<end\r\n", lineNumber_,
                               quotedLine().c_str()));
        }
        clock.start(order, value);
    } else {
        if (!parseCrxInteger(line, value)) {
            return fail(strfmt("ERROR at line %ld : The clock offset is not a number.\r\nstart>%s<end\r\n", lineNumber_,
                               quotedLine().c_str()));
        }
        if (clock.order < 0) {
            return fail(strfmt("ERROR at line %ld : The clock offset arc is not initialized.\r\nstart>%s<end\r\n",
                               lineNumber_, quotedLine().c_str()));
        }
        inRange = clock.advance(value);
    }
    char field[16];
    if (!inRange ||
        !formatFixedPoint(clock.terms[0], rinexVersion_ == 2 ? 9 : 12, rinexVersion_ == 2 ? 12 : 15, field)) {
        return stop(DecodeStatus::kCrxClockOutOfRange,
                    strfmt("ERROR at line %ld. : %s becomes out of range allowed in the RINEX format.\n",
                           lineNumber_, "Clock offset"));
    }
    return Outcome::Done;
}

CrxDecoder::Outcome CrxDecoder::decodeSatellite(std::string_view line, Satellite& satellite, bool isNew) {
    size_t at = 0;
    for (int type = 0; type < satellite.types; ++type) {
        std::string_view field;
        if (at <= line.size()) {
            const size_t blank = std::min(line.find(' ', at), line.size());
            field = line.substr(at, blank - at);
            at = blank + 1;
        }
        Arc& arc = satellite.arcs[type];
        if (field.empty()) {
            arc.order = -1;
            continue;
        }
        int64_t value = 0;
        const bool starts = field.size() >= 2 && field[1] == '&' && isDigit(field[0]);
        if (starts && field[0] - '0' > kMaxOrder) {
            return fail(strfmt("ERROR at line %ld : exceed maximum order of difference (%d)\r\nstart>%s<end\r\n",
                               lineNumber_, kMaxOrder, quotedLine().c_str()));
        }
        if (!starts && isNew) {
            return fail(
                strfmt("ERROR at line %ld : New satellite, but data arc is not initialized.\r\nstart>%s<end\r\n",
                       lineNumber_, quotedLine().c_str()));
        }
        if (!starts && arc.order < 0) {
            return fail(
                strfmt("ERROR at line %ld : The data feild in previous epoch is blank, but the arc is "
                       "not initialized.\r\nstart>%s<end\r\n",
                       lineNumber_, quotedLine().c_str()));
        }
        if (!parseCrxInteger(starts ? field.substr(2) : field, value)) {
            return fail(strfmt("ERROR at line %ld : A data field is not a number.\r\nstart>%s<end\r\n", lineNumber_,
                               quotedLine().c_str()));
        }
        bool inRange = true;
        if (starts) {
            arc.start(field[0] - '0', value);
        } else {
            inRange = arc.advance(value);
        }
        // The upper part (all but the last five digits) must fit the F14.3 field.
        const int64_t upper = arc.terms[0] / 100000;
        if (!inRange || upper < -9999999 || upper > 99999999) {
            return stop(DecodeStatus::kCrxBadHeader,
                        strfmt("ERROR at line %ld. : %s becomes out of range allowed in the RINEX format.\n",
                               lineNumber_, "Data record"));
        }
    }
    if (at <= line.size())
        applyTextDifference(satellite.flags, 2 * static_cast<size_t>(satellite.types), line.substr(at));
    if (crxVersion_ == 1) {
        // Compact RINEX 1.0 holds no flags for a blank observation: they are blank, in the
        // output and as the reference of the next epoch.
        for (int type = 0; type < satellite.types; ++type) {
            if (satellite.arcs[type].order < 0) satellite.flags[2 * type] = satellite.flags[2 * type + 1] = ' ';
        }
    }
    return Outcome::Done;
}

CrxDecoder::Outcome CrxDecoder::decodeEpoch(std::string_view line) {
    if (lineDefective()) {
        defectiveLineMessage();
        return Outcome::Skip;
    }
    if (!line.empty() && line[0] == layout_->initialized) {
        reference_.clear();
        previousCount_ = 0;
        clock_ = Arc();
    }
    std::string epoch = reference_;
    applyTextDifference(epoch, line);
    const int count = isEpochLine(epoch, layout_->plain) ? parseCountField(epoch, layout_->countAt, 3) : -1;
    const bool dataEpoch = count >= 0 && (epoch[layout_->base + 25] == '0' || epoch[layout_->base + 25] == '1');
    if (count < 0 || (dataEpoch && count <= kMaxSatellites &&
                      epoch.size() < layout_->satellitesAt + 3 * static_cast<size_t>(count))) {
        return fail(strfmt("ERROR at line %ld : The epoch line is not valid.\r\nstart>%s<end\r\n", lineNumber_,
                           quotedLine().c_str()));
    }
    if (!dataEpoch) return copyEventRecords(epoch, count);
    if (count > kMaxSatellites) {
        return fail(strfmt("ERROR at line %ld : exceed maximum number of satellites(%d)\r\nstart >%s< end\r\n",
                           lineNumber_, kMaxSatellites, quotedLine().c_str()));
    }
    bool isNew[kMaxSatellites];
    for (int i = 0; i < count; ++i) {
        const char* id = epoch.data() + layout_->satellitesAt + 3 * static_cast<size_t>(i);
        const int types = rinexVersion_ == 2 ? rinex2Types_ : systemTypes_[static_cast<unsigned char>(id[0])];
        if (types < 0) {
            return fail(
                strfmt("ERROR at line %ld. : A GNSS type not defined in the header is found.\r\nstart>%s<end\r\n",
                       lineNumber_, quotedLine().c_str()));
        }
        // Usually the satellites keep their order from one epoch to the next.
        int match = i < previousCount_ && std::memcmp(previous_[i].id, id, 3) == 0 ? i : -1;
        for (int j = 0; match < 0 && j < previousCount_; ++j) {
            if (std::memcmp(previous_[j].id, id, 3) == 0) match = j;
        }
        isNew[i] = match < 0;
        Satellite& satellite = current_[i];
        std::memcpy(satellite.id, id, 3);
        satellite.types = types;
        // Types that the previous epoch did not have (redefined in between) start blank.
        const int kept = isNew[i] ? 0 : std::min(previous_[match].types, types);
        for (int t = 0; t < types; ++t) satellite.arcs[t] = t < kept ? previous_[match].arcs[t] : Arc();
        std::memset(satellite.flags, ' ', sizeof satellite.flags);
        if (kept > 0) std::memcpy(satellite.flags, previous_[match].flags, 2 * static_cast<size_t>(kept));
    }

    Arc clock = clock_;
    if (!nextGoodLine()) return Outcome::Skip;
    if (const Outcome outcome = decodeClock(line_, clock); outcome != Outcome::Done) return outcome;

    for (int i = 0; i < count; ++i) {
        if (!nextGoodLine()) return Outcome::Skip;
        const Outcome outcome = decodeSatellite(line_, current_[i], isNew[i]);
        if (outcome != Outcome::Done) return outcome;
    }

    writeEpoch(epoch, count, clock);
    reference_ = std::move(epoch);
    std::swap(previous_, current_);
    previousCount_ = count;
    clock_ = clock;
    return Outcome::Done;
}

void CrxDecoder::appendObservation(const Satellite& satellite, int type) {
    char field[16];
    const Arc& arc = satellite.arcs[type];
    if (arc.order < 0) {
        std::memset(field, ' ', 14);
    } else {
        (void)formatFixedPoint(arc.terms[0], 3, 14, field);  // fits: the range was checked when decoded
    }
    field[14] = satellite.flags[2 * type];
    field[15] = satellite.flags[2 * type + 1];
    out_.append(field, sizeof field);
}

void CrxDecoder::writeEpoch(const std::string& epoch, int count, const Arc& clock) {
    char clockField[16];
    const bool hasClock = clock.order >= 0;
    if (rinexVersion_ == 2) {
        put(strfmt("%-68.68s", epoch.c_str()));
        if (hasClock) {
            (void)formatFixedPoint(clock.terms[0], 9, 12, clockField);  // fits: checked when decoded
            out_.append(clockField, 12);
        }
        put("\n");
        for (int listed = 12; listed < count; listed += 12) {
            put(strfmt("%32.s%.36s\n", "", epoch.c_str() + layout_->satellitesAt + 3 * static_cast<size_t>(listed)));
        }
    } else {
        put(std::string_view(epoch).substr(0, 41));
        if (hasClock) {
            // Blanks up to the clock field when the epoch line is short.
            if (epoch.size() < 41) out_.append(41 - epoch.size(), ' ');
            (void)formatFixedPoint(clock.terms[0], 12, 15, clockField);  // fits: checked when decoded
            out_.append(clockField, 15);
        }
        put("\n");
    }
    for (int i = 0; i < count; ++i) {
        const Satellite& satellite = current_[i];
        if (rinexVersion_ != 2) out_.append(satellite.id, 3);
        for (int type = 0; type < satellite.types; ++type) {
            appendObservation(satellite, type);
            if (rinexVersion_ == 2 && (type % 5 == 4 || type + 1 == satellite.types)) put("\n");
        }
        if (rinexVersion_ != 2) put("\n");
    }
    flushIfFull();
}

void CrxDecoder::writeSkipRecord() {
    put(strfmt(rinexVersion_ == 2 ? "%29d%3d\n%-60sCOMMENT\n" : ">%31d%3d\n%-60sCOMMENT\n", 4, 1, kSkippedComment));
}

bool CrxDecoder::recover() {
    // The note of the skip follows the error's text, which the caller logs.
    status_ = DecodeStatus::kCrxEpochsSkipped;
    const std::string skipping = strfmt("line %ld : skip until an initialized epoch is found.", lineNumber_);
    while (nextLine()) {
        if (!lineDefective() && isEpochLine(line_, layout_->initialized)) {
            message_ += skipping + strfmt(".....next epoch found at line %ld.\r\n", lineNumber_);
            writeSkipRecord();
            return true;
        }
    }
    writeSkipRecord();
    message_ = skipping + strfmt(".....next epoch not found before EOF.\r\n%s\r\n", "Some epochs are skipped by CRX2RNX");
    return false;
}

DecodeStatus CrxDecoder::run() {
    DecodeStatus result = readHeader();
    bool haveLine = result == DecodeStatus::kOk && nextLine();
    while (haveLine) {
        const Outcome outcome = decodeEpoch(line_);
        if (outcome == Outcome::Stop) {
            result = stopResult_;
            break;
        }
        if (outcome == Outcome::Skip) {
            if (!recover()) {
                result = DecodeStatus::kCrxSkippedToEnd;
                break;
            }
            continue;  // decode the initialized epoch found
        }
        haveLine = nextLine();
    }
    if (result == DecodeStatus::kOk) result = status_;
    flush();
    return result;
}

}  // namespace

DecodeStatus DecompressCrx(const std::string& inputPath, const std::string& outputPath, std::string& crxMessage) {
    return DecompressCrx(DecoderInput(inputPath), DecoderOutput(outputPath), crxMessage);
}

DecodeStatus DecompressCrx(const DecoderInput& input, const DecoderOutput& outputFile, std::string& crxMessage) {
    long long size = 0;
    InputFileStatus opened = InputFileStatus::kCannotOpen;
    if (input.fd < 0 && !openInputFile(input.path, size, &opened)) {  // tried once, before any output exists
        crxMessage = strfmt(opened == InputFileStatus::kNotRegularFile ? "ERROR : %s is not a regular file\r\n"
                                                                        : "ERROR : can't open %s\r\n",
                            input.path.c_str());
        return DecodeStatus::kCrxCannotOpen;
    }
    FilePtr output = openOutputFile(outputFile);
    if (!output) {
        crxMessage = strfmt("ERROR : can't open %s\r\n", outputFile.path.c_str());
        return DecodeStatus::kCrxCannotOpen;
    }
    const auto in = input.fd < 0 ? std::make_unique<LineReader>(input.path)
                                 : std::make_unique<LineReader>(duplicateDescriptor(input.fd));
    // About 1 MB of satellite state: kept off the stack.
    auto decoder = std::make_unique<CrxDecoder>(*in, output.get(), crxMessage);
    const DecodeStatus result = decoder->run();
    if (!closeOutputFile(output) || decoder->outputFailed()) {
        crxMessage = strfmt("ERROR : can't write %s\r\n", outputFile.path.c_str());
        return DecodeStatus::kCrxCannotOpen;
    }
    return result;
}

}  // namespace velarix
