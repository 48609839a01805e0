#include "gnss/checks/ionex_reader.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <string_view>

#include "decompress/plain_copy.h"
#include "geodesy/time.h"
#include "platform/fields.h"
#include "platform/line_reader.h"
#include "platform/message_limiter.h"
#include "platform/regular_file.h"
#include "platform/run_log.h"
#include "platform/strfmt.h"
#include "platform/text.h"
#include "rinex/fixed_fields.h"

namespace velarix {

namespace {

constexpr std::size_t kLineLimit = 256;  // IONEX lines are 80 characters
constexpr long kNoValue = 9999;
constexpr int kValuesPerLine = 16;       // 16I5
// What a header may declare, far beyond any published product (CODE: 5183 nodes, 25 maps
// a day): a hostile header must not make the reader allocate gigabytes.
constexpr long kMaxNodes = 1'000'000;    // per map
constexpr long kMaxMaps = 1000;          // TEC maps announced or kept
// A TEC value takes 5 characters in the file (16I5), so a file holds at most its size / 5
// values: a grid or a number of maps beyond that cannot be the file's.
constexpr std::uintmax_t kMinCharsPerValue = 5;
constexpr double kGridTolerance_deg = 1e-6;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::string_view labelOf(std::string_view line) { return trimRight(columnsFrom(line, 61)); }

bool readInt(std::string_view line, std::size_t first, std::size_t last, long& value) {
    return parseIntField(columns(line, first, last), value) == FieldStatus::kNumber;
}

bool readDouble(std::string_view line, std::size_t first, std::size_t last, double& value) {
    return parseDoubleField(columns(line, first, last), value) == FieldStatus::kNumber;
}

// "  2020     1     1     0     0     0": 6I6.
bool parseEpoch(std::string_view line, double& mjd) {
    long field[6] = {};
    for (std::size_t i = 0; i < 6; ++i) {
        if (!readInt(line, 6 * i + 1, 6 * i + 6, field[i])) return false;
    }
    if (field[0] < 1980 || field[0] > 2200 || field[1] < 1 || field[1] > 12 || field[2] < 1 || field[2] > 31 ||
        field[3] < 0 || field[3] > 24 || field[4] < 0 || field[4] > 59 || field[5] < 0 || field[5] > 60)
        return false;
    mjd = MjdFromCivil(static_cast<int>(field[0]), static_cast<int>(field[1]), static_cast<int>(field[2]),
                       static_cast<int>(field[3]), static_cast<int>(field[4]), static_cast<double>(field[5]));
    return true;
}

// First, last and step of an axis; false unless the step leads from first to last in a
// whole number of steps.
bool makeAxis(double first, double last, double step, IonexAxis& axis) {
    if (step == 0.0) {
        if (first != last) return false;
        axis = {first, last, step, 1};
        return true;
    }
    const double steps = (last - first) / step;
    if (steps < -kGridTolerance_deg || steps > 1e5 || std::fabs(steps - std::round(steps)) > 1e-6) return false;
    axis = {first, last, step, static_cast<int>(std::lround(steps)) + 1};
    return true;
}

bool sameDegrees(double a, double b) { return std::fabs(a - b) < kGridTolerance_deg; }

// kBeyond: a TEC map past those the file can hold, read over without storing its values.
enum class Block { kNone, kTec, kSkipped, kBeyond };

class IonexParser {
public:
    IonexParser(const std::string& path, IonexMaps& maps, RunLog& log)
        : path_(path), maps_(maps), log_(log), messages_(log, path) {}

    IonexReadResult run(const std::string& plainPath) {
        std::error_code error;
        fileBytes_ = std::filesystem::file_size(plainPath, error);
        if (error) fileBytes_ = 0;
        LineReader reader(plainPath);
        if (!reader.isOpen()) {
            log_.append(inputFileError("IONEX", path_, reader.openStatus()));
            return IonexReadResult::kCannotOpen;
        }
        std::string_view line;
        bool cut = false;
        while (reader.next(kLineLimit, line, cut)) {
            ++lineNo_;
            const IonexReadResult result =
                lineNo_ == 1 ? firstLine(line) : inHeader_ ? headerLine(line) : dataLine(line);
            if (result != IonexReadResult::kRead) return result;
            if (sawEnd_) break;
        }
        return finish();
    }

private:
    void report(const char* tag, const std::string& what) {
        log_.append(strfmt("\r\n%s IONEX %s @line# %ld: %s", tag, what.c_str(), lineNo_, path_.c_str()));
    }

    // A warning that a file can give once per line or per map; `kind` is its fixed text.
    void warn(const char* kind, const std::string& what) {
        if (messages_.admit(kind)) report("Warning!", what);
    }

    void badLine(const char* what) {
        ++maps_.badLines;
        warn(what, what);
    }

    // kRead lets the reading go on, as in headerLine, endHeader and dataLine.
    IonexReadResult firstLine(std::string_view line) {
        const bool labelled = labelOf(line) == "IONEX VERSION / TYPE";
        if (!labelled || !readDouble(line, 1, 8, maps_.version) || maps_.version < 1.0 || maps_.version >= 2.0 ||
            columns(line, 21, 21) != "I") {
            report("Error!", "file: first line is not \"IONEX VERSION / TYPE\" of version 1.x, type I");
            return IonexReadResult::kNotIonex;
        }
        return IonexReadResult::kRead;
    }

    // "   G  BJFS 21601M001   -14.396     0.048": system, station, monument number (may be
    // blank), bias and RMS. Other systems' rows (GLONASS: per satellite-station link) are
    // passed over.
    void stationBias(std::string_view line) {
        const std::vector<std::string_view> tokens = splitBlanks(columns(line, 1, 60));
        double bias_ns = 0.0;
        if (tokens.size() < 4 || tokens.size() > 5 || !parseNumber(tokens[tokens.size() - 2], bias_ns)) {
            warn("station bias", "station bias record not readable, skipped");
            return;
        }
        if (tokens[0] == "G") maps_.gpsStationDcb_ns[toUpper(tokens[1])] = bias_ns;
    }

    IonexReadResult headerLine(std::string_view line) {
        const std::string_view label = labelOf(line);
        double a = 0.0, b = 0.0, c = 0.0;
        long n = 0;
        const auto three = [&] {
            return readDouble(line, 3, 8, a) && readDouble(line, 9, 14, b) && readDouble(line, 15, 20, c);
        };
        bool ok = true;
        if (label == "EPOCH OF FIRST MAP") {
            ok = parseEpoch(line, maps_.firstEpochMjd);
        } else if (label == "EPOCH OF LAST MAP") {
            ok = parseEpoch(line, maps_.lastEpochMjd);
        } else if (label == "INTERVAL") {
            ok = readInt(line, 1, 6, n);
            maps_.interval_s = static_cast<double>(n);
        } else if (label == "# OF MAPS IN FILE") {
            ok = readInt(line, 1, 6, n) && n >= 0;
            if (ok && n > kMaxMaps) return unsupported(strfmt("%ld maps announced, more than %ld", n, kMaxMaps));
            maps_.mapsAnnounced = static_cast<int>(n);
        } else if (label == "MAPPING FUNCTION") {
            maps_.mappingFunction = std::string(trim(columns(line, 3, 6)));
        } else if (label == "ELEVATION CUTOFF") {
            ok = readDouble(line, 1, 8, maps_.elevationCutoff_deg);
        } else if (label == "BASE RADIUS") {
            ok = readDouble(line, 1, 8, maps_.baseRadius_km);
        } else if (label == "MAP DIMENSION") {
            if (readInt(line, 1, 6, n) && n != 2) return unsupported("3-dimensional maps are not read");
        } else if (label == "HGT1 / HGT2 / DHGT") {
            ok = three();
            if (ok && (c != 0.0 || a != b)) return unsupported("maps at several heights are not read");
            maps_.height_km = a;
        } else if (label == "LAT1 / LAT2 / DLAT") {
            ok = three() && makeAxis(a, b, c, maps_.latitudes);
        } else if (label == "LON1 / LON2 / DLON") {
            ok = three() && makeAxis(a, b, c, maps_.longitudes);
        } else if (label == "EXPONENT") {
            ok = readInt(line, 1, 6, n) && n > -100 && n < 100;
            if (ok) maps_.exponent = static_cast<int>(n);
        } else if (label == "STATION / BIAS / RMS") {
            stationBias(line);
        } else if (label == "END OF HEADER") {
            return endHeader();
        } else if (label == "START OF TEC MAP") {
            report("Warning!", "no END OF HEADER before the first map");
            if (const IonexReadResult result = endHeader(); result != IonexReadResult::kRead) return result;
            return dataLine(line);
        }
        if (!ok) {
            report("Error!",
                   strfmt("header record \"%.*s\" not readable", static_cast<int>(label.size()), label.data()));
            return IonexReadResult::kBadHeader;
        }
        return IonexReadResult::kRead;
    }

    IonexReadResult unsupported(const std::string& what) {
        report("Error!", what);
        return IonexReadResult::kBadHeader;
    }

    IonexReadResult endHeader() {
        inHeader_ = false;
        const long nodes = static_cast<long>(maps_.latitudes.count) * maps_.longitudes.count;
        if (nodes == 0) {
            report("Error!", "header without LAT1 / LAT2 / DLAT and LON1 / LON2 / DLON");
            return IonexReadResult::kBadHeader;
        }
        if (nodes > kMaxNodes) {
            report("Error!", strfmt("grid of %ld nodes per map is too large (at most %ld)", nodes, kMaxNodes));
            return IonexReadResult::kBadHeader;
        }
        const std::uintmax_t bytesPerMap = static_cast<std::uintmax_t>(nodes) * kMinCharsPerValue;
        if (bytesPerMap > fileBytes_) {
            report("Error!", strfmt("grid of %ld nodes per map cannot be held by a file of %ju bytes", nodes,
                                    fileBytes_));
            return IonexReadResult::kBadHeader;
        }
        // Every map kept must fit in the file beside the others.
        mapsHeld_ = std::min<std::uintmax_t>(kMaxMaps, fileBytes_ / bytesPerMap);
        return IonexReadResult::kRead;
    }

    IonexReadResult dataLine(std::string_view line) {
        const std::string_view label = labelOf(line);
        if (rowValuesLeft_ > 0 && !isRecord(label)) {
            valueLine(line);
        } else if (label == "START OF TEC MAP") {
            startBlock(Block::kTec);
        } else if (label == "START OF RMS MAP" || label == "START OF HEIGHT MAP") {
            startBlock(Block::kSkipped);
        } else if (label == "END OF TEC MAP" || label == "END OF RMS MAP" || label == "END OF HEIGHT MAP") {
            endBlock(label);
        } else if (label == "END OF FILE") {
            closeOpenBlock("at END OF FILE");
            sawEnd_ = true;
        } else if (block_ == Block::kTec) {
            tecMapLine(line, label);
        } else if (block_ == Block::kNone && !isBlank(line) && label != "COMMENT") {
            badLine("line outside a map skipped");
        }
        return IonexReadResult::kRead;
    }

    static bool isRecord(std::string_view label) {
        return label == "START OF TEC MAP" || label == "END OF TEC MAP" || label == "START OF RMS MAP" ||
               label == "END OF RMS MAP" || label == "START OF HEIGHT MAP" || label == "END OF HEIGHT MAP" ||
               label == "EPOCH OF CURRENT MAP" || label == "EXPONENT" || label == "LAT/LON1/LON2/DLON/H" ||
               label == "END OF FILE";
    }

    void startBlock(Block block) {
        closeOpenBlock("before the next map starts");
        block_ = block;
        if (block != Block::kTec) return;
        if (maps_.maps.size() >= mapsHeld_) {
            warn("TEC map beyond what the file can hold, skipped",
                 strfmt("TEC map beyond the %ju that the file can hold, skipped", mapsHeld_));
            droppedMaps_ += 1;
            block_ = Block::kBeyond;
            return;
        }
        map_ = IonexMap{};
        map_.tec_TECU.assign(static_cast<std::size_t>(maps_.latitudes.count) * maps_.longitudes.count, kNaN);
        haveEpoch_ = false;
        rowsRead_ = 0;
        exponent_ = maps_.exponent;
    }

    // A TEC map still open where another block or the file begins or ends: it is dropped.
    void closeOpenBlock(const char* where) {
        if (block_ == Block::kTec) {
            warn("TEC map not ended", strfmt("TEC map not ended %s, dropped", where));
            droppedMaps_ += 1;
        }
        block_ = Block::kNone;
        rowValuesLeft_ = 0;
    }

    void endBlock(std::string_view label) {
        const Block ended = label == "END OF TEC MAP" ? Block::kTec : Block::kSkipped;
        if (block_ == Block::kBeyond && ended == Block::kTec) {
            block_ = Block::kNone;
            return;
        }
        if (block_ != ended) {
            badLine("end of a map that was not started");
            closeOpenBlock("where another map ends");
            return;
        }
        block_ = Block::kNone;
        if (ended == Block::kSkipped) return;
        if (rowValuesLeft_ > 0) warn("latitude row short", strfmt("latitude row short of %d values", rowValuesLeft_));
        rowValuesLeft_ = 0;
        if (!haveEpoch_) {
            warn("TEC map without EPOCH OF CURRENT MAP, dropped", "TEC map without EPOCH OF CURRENT MAP, dropped");
            droppedMaps_ += 1;
            return;
        }
        if (rowsRead_ < maps_.latitudes.count)
            warn("TEC map short of latitude rows",
                 strfmt("TEC map has %d of %d latitude rows; the others have no values", rowsRead_,
                        maps_.latitudes.count));
        maps_.maps.push_back(std::move(map_));
    }

    void tecMapLine(std::string_view line, std::string_view label) {
        if (label == "EPOCH OF CURRENT MAP") {
            haveEpoch_ = parseEpoch(line, map_.epochMjd);
            if (!haveEpoch_) badLine("map epoch not readable");
        } else if (label == "EXPONENT") {
            long n = 0;
            if (readInt(line, 1, 6, n) && n > -100 && n < 100)
                exponent_ = static_cast<int>(n);
            else
                badLine("map exponent not readable");
        } else if (label == "LAT/LON1/LON2/DLON/H") {
            startRow(line);
        } else if (!isBlank(line) && label != "COMMENT") {
            badLine("line of no known kind in a TEC map skipped");
        }
    }

    // "    87.5-180.0 180.0   5.0 450.0": 2X,5F6.1. A row off the header's grid is
    // skipped with its values.
    void startRow(std::string_view line) {
        rowValuesLeft_ = maps_.longitudes.count;
        rowIndex_ = -1;
        double lat = 0.0, lon1 = 0.0, lon2 = 0.0, dlon = 0.0;
        if (!readDouble(line, 3, 8, lat) || !readDouble(line, 9, 14, lon1) || !readDouble(line, 15, 20, lon2) ||
            !readDouble(line, 21, 26, dlon)) {
            badLine("latitude row record not readable, its values skipped");
            return;
        }
        const IonexAxis& lats = maps_.latitudes;
        const IonexAxis& lons = maps_.longitudes;
        const double row = lats.step_deg == 0.0 ? 0.0 : (lat - lats.first_deg) / lats.step_deg;
        const long index = std::lround(row);
        const bool sameLongitudes =
            sameDegrees(lon1, lons.first_deg) && sameDegrees(lon2, lons.last_deg) && sameDegrees(dlon, lons.step_deg);
        if (!sameLongitudes || std::fabs(row - static_cast<double>(index)) > 1e-6 || index < 0 || index >= lats.count) {
            badLine("latitude row off the header's grid, its values skipped");
            return;
        }
        rowIndex_ = static_cast<int>(index);
        rowColumn_ = 0;
        ++rowsRead_;
    }

    // Up to 16 values of the current row (16I5); 9999 = no value. An unreadable line
    // leaves its values missing.
    void valueLine(std::string_view line) {
        const int onLine = std::min(rowValuesLeft_, kValuesPerLine);
        long raw[kValuesPerLine] = {};
        bool ok = true;
        for (int k = 0; k < onLine && ok; ++k)
            ok = readInt(line, static_cast<std::size_t>(5 * k + 1), static_cast<std::size_t>(5 * k + 5), raw[k]);
        if (!ok) badLine("TEC values not readable, left without values");
        const double scale = std::pow(10.0, exponent_);
        for (int k = 0; k < onLine; ++k) {
            if (ok && rowIndex_ >= 0 && raw[k] != kNoValue) {
                const std::size_t at = static_cast<std::size_t>(rowIndex_) * maps_.longitudes.count + rowColumn_;
                map_.tec_TECU[at] = static_cast<double>(raw[k]) * scale;
            }
            ++rowColumn_;
        }
        rowValuesLeft_ -= onLine;
    }

    IonexReadResult finish() {
        if (lineNo_ == 0) {
            report("Error!", "file is empty");
            return IonexReadResult::kNotIonex;
        }
        if (inHeader_) {
            report("Error!", "file ends in its header");
            return IonexReadResult::kBadHeader;
        }
        closeOpenBlock("at the end of the file");
        std::stable_sort(maps_.maps.begin(), maps_.maps.end(),
                         [](const IonexMap& a, const IonexMap& b) { return a.epochMjd < b.epochMjd; });
        messages_.finish();
        const int read = static_cast<int>(maps_.maps.size());
        if (sawEnd_ && droppedMaps_ == 0 && read >= maps_.mapsAnnounced) return IonexReadResult::kRead;
        report("Warning!", strfmt("file ends early: %d of %d TEC maps read, %d dropped, %s", read, maps_.mapsAnnounced,
                                  droppedMaps_, sawEnd_ ? "END OF FILE present" : "no END OF FILE"));
        return IonexReadResult::kIncomplete;
    }

    const std::string& path_;
    IonexMaps& maps_;
    RunLog& log_;
    MessageLimiter messages_;  // warnings by kind
    std::uintmax_t fileBytes_ = 0;
    std::uintmax_t mapsHeld_ = 0;  // TEC maps the file can hold on the header's grid
    long lineNo_ = 0;
    bool inHeader_ = true;
    bool sawEnd_ = false;
    int droppedMaps_ = 0;
    Block block_ = Block::kNone;
    IonexMap map_;
    bool haveEpoch_ = false;
    int exponent_ = -1;
    int rowsRead_ = 0;
    int rowIndex_ = -1;       // -1: the current row's values are skipped
    int rowColumn_ = 0;
    int rowValuesLeft_ = 0;  // values still expected for the current row
};

}  // namespace

IonexReadResult ReadIonexFile(const std::string& path, IonexMaps& maps, RunLog& log) {
    maps = IonexMaps{};
    PlainCopy plain(path);
    if (!plain.ok()) {
        log.append(strfmt("\r\nError! IONEX file cannot be expanded: %s: %s", path.c_str(), plain.error().c_str()));
        return IonexReadResult::kCannotOpen;
    }
    return IonexParser(path, maps, log).run(plain.path());
}

}  // namespace velarix
