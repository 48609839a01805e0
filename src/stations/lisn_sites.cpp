#include "stations/lisn_sites.h"

#include <vector>

#include "platform/paths.h"
#include "platform/regular_file.h"
#include "platform/run_log.h"
#include "platform/strfmt.h"
#include "platform/text.h"
#include "platform/fields.h"

namespace velarix {

namespace {

constexpr std::string_view kRecordSeparator = "1End";
// The shipped table is some 30 kB; a file many times that size is no site table and is
// not read into memory whole.
constexpr std::size_t kMaxTableBytes = 1 << 20;

// Reads records line by line; the first malformed line stops the parse with its reason.
class LisnRecordParser {
public:
    bool parse(std::string_view text) {
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string_view::npos) end = text.size();
            ++lineNumber_;
            if (!parseLine(trim(text.substr(start, end - start)))) return false;
            start = end + 1;
        }
        return finishRecord();
    }

    LisnSiteTable sites;
    std::string error;

private:
    bool fail(const char* reason) {
        error = strfmt("@line# %ld: %s", lineNumber_, reason);
        return false;
    }

    bool finishRecord() {
        if (!inRecord_) return true;
        if (!haveName_ || !haveCoordinates_) {
            lineNumber_ = recordLine_;
            return fail("record without a quoted site name or a coordinate line");
        }
        sites.emplace(current_.siteName, current_);  // a repeated site keeps its first record
        inRecord_ = false;
        return true;
    }

    bool parseLine(std::string_view line) {
        if (line.empty()) return true;
        if (line == kRecordSeparator) {
            if (!finishRecord()) return false;
            current_ = LisnSite();
            inRecord_ = true;
            haveName_ = haveCoordinates_ = haveFlags_ = false;
            recordLine_ = lineNumber_;
            return true;
        }
        if (!inRecord_) return fail("text before the first \"1End\"");
        if (line.front() == '"') return parseName(line);
        if (line.find('\t') != std::string_view::npos) return parseLabelled(line);
        const std::vector<std::string_view> tokens = splitBlanks(line);
        if (tokens.size() == 3) return parseCoordinates(tokens);
        if (tokens.size() == current_.flags.size()) return parseFlags(tokens);
        return fail("line is neither a site name, coordinates, a labelled field nor the flags");
    }

    bool parseName(std::string_view line) {
        if (haveName_) return fail("second site name in one record");
        std::string name;
        for (char c : line) {
            if (c != '"') name += c;
        }
        name = std::string(trim(name));
        if (name.empty()) return fail("empty site name");
        LisnSite& site = current_;
        site.siteName = name;
        const std::size_t comma = name.find(',');
        site.city = std::string(trim(std::string_view(name).substr(0, comma)));
        site.country = comma == std::string::npos ? std::string() : std::string(trim(name.substr(comma + 1)));
        haveName_ = true;
        return true;
    }

    bool parseCoordinates(const std::vector<std::string_view>& tokens) {
        if (haveCoordinates_) return fail("second coordinate line in one record");
        LisnSite& site = current_;
        if (!parseNumber(tokens[0], site.latitude_deg) || !parseNumber(tokens[1], site.longitude_deg) ||
            !parseNumber(tokens[2], site.altitude_km)) {
            return fail("coordinates are not three numbers");
        }
        if (site.latitude_deg < -90.0 || site.latitude_deg > 90.0 || site.longitude_deg < -180.0 ||
            site.longitude_deg > 360.0 || site.altitude_km < -1.0 || site.altitude_km > 10.0) {
            return fail("coordinates out of range (latitude, longitude degrees, altitude km)");
        }
        haveCoordinates_ = true;
        return true;
    }

    bool parseFlags(const std::vector<std::string_view>& tokens) {
        if (haveFlags_) return fail("second flag line in one record");
        for (std::size_t i = 0; i < tokens.size(); ++i) {
            if (tokens[i] != "0" && tokens[i] != "1") return fail("flags must be 0 or 1");
            current_.flags[i] = tokens[i] == "1" ? 1 : 0;
        }
        haveFlags_ = true;
        return true;
    }

    bool parseLabelled(std::string_view line) {
        const std::size_t tab = line.find('\t');
        const std::string_view value = trim(line.substr(0, tab));
        const std::string_view label = trim(line.substr(tab + 1));
        LisnSite& site = current_;
        if (equalsNoCase(label, "Receiver type")) {
            site.receiverType = std::string(value);
        } else if (equalsNoCase(label, "format")) {
            site.dataFormat = std::string(value);
        } else if (equalsNoCase(label, "sampling rate")) {
            if (!parseNumber(value, site.samplingRate_s) || site.samplingRate_s <= 0.0) {
                return fail("sampling rate is not a positive number of seconds");
            }
        } else if (equalsNoCase(label, "PRNs to be BIAS adjusted")) {
            const std::vector<std::string_view> prns = splitBlanks(value);
            if (prns.size() != 2 || !parseInteger(prns[0], site.firstBiasPrn) ||
                !parseInteger(prns[1], site.lastBiasPrn) || site.firstBiasPrn < 1 ||
                site.lastBiasPrn > 32 || site.firstBiasPrn > site.lastBiasPrn) {
                return fail("bias PRNs are not a range within 1..32");
            }
        } else if (equalsNoCase(label, "prefix & sufix used in station")) {
            const std::vector<std::string_view> parts = splitBlanks(value);
            if (parts.empty() || parts.size() > 2) return fail("prefix & suffix are not one or two words");
            site.filePrefix = std::string(parts[0]);
            site.fileSuffix = parts.size() > 1 ? std::string(parts[1]) : std::string();
        } else if (equalsNoCase(label, "name of sub-directory")) {
            site.subDirectory = std::string(value);
        } else if (equalsNoCase(label, "3-letter prefix for NOVATEL rx")) {
            site.novatelPrefix = std::string(value);
        } else {
            return fail("unknown field label");
        }
        return true;
    }

    LisnSite current_;
    bool inRecord_ = false;
    bool haveName_ = false;
    bool haveCoordinates_ = false;
    bool haveFlags_ = false;
    long lineNumber_ = 0;
    long recordLine_ = 0;
};

}  // namespace

int parseLisnSites(std::string_view text, LisnSiteTable& table, std::string* errorText) {
    LisnRecordParser parser;
    if (!parser.parse(text)) {
        if (errorText) *errorText = parser.error;
        return -1;
    }
    const int count = static_cast<int>(parser.sites.size());
    table.merge(parser.sites);
    return count;
}

bool loadLisnSites(const std::string& programDir, LisnSiteTable& table, RunLog& log) {
    return loadLisnSites(programDir,
                         std::string_view(reinterpret_cast<const char*>(kLisnSiteTable), kLisnSiteTableSize),
                         table, log);
}

bool loadLisnSites(const std::string& programDir, std::string_view embeddedText, LisnSiteTable& table,
                   RunLog& log) {
    std::string error;
    LisnSiteTable sites;
    if (parseLisnSites(embeddedText, sites, &error) > 0) {
        table = std::move(sites);
        return true;
    }
    log.append("\r\nError! InMain.. Could Not Locate Resource LISN details..\r\n");
    if (!error.empty()) log.append("\r\nError! embedded LISN site table " + error);
    log.append("\r\nLooking for alternate txt file in the path..");

    const std::string path = findDataFile(programDir, kLisnSiteFileName);
    std::string text;
    if (!path.empty() && readRegularFile(path, text, kMaxTableBytes + 1) == InputFileStatus::kOpened) {
        error.clear();
        sites.clear();
        if (text.size() > kMaxTableBytes) {
            error = strfmt("is larger than %zu bytes: no site table", kMaxTableBytes);
        } else if (parseLisnSites(text, sites, &error) > 0) {
            table = std::move(sites);
            return true;
        }
        log.append(strfmt("\r\nError! %s %s", path.c_str(), error.empty() ? "holds no site record" : error.c_str()));
    }
    log.append("\r\nError! Could not read LISN station details file... \r\n");
    log.append("\r\nProgram aborted!");
    return false;
}

}  // namespace velarix
