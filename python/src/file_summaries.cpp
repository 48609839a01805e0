#include "file_summaries.h"

#include <map>

#include "control/classify.h"
#include "control/file_search.h"
#include "decompress/decode_stream.h"
#include "decompress/plain_copy.h"
#include "platform/run_log.h"
#include "platform/text.h"
#include "rinex/nav_reader.h"
#include "rinex/obs_reader.h"
#include "rinex/satellite_id.h"

namespace velarix::python_module {

namespace {

[[noreturn]] void raiseOsError(const std::string& text) {
    PyErr_SetString(PyExc_OSError, text.c_str());
    throw py::error_already_set();
}

// The plain text of an input; OSError naming the file when it cannot be had.
void requirePlain(const PlainCopy& plain, const std::string& path) {
    if (!plain.ok()) raiseOsError(path + ": " + plain.error());
}

template <typename Record>
void countRecords(const std::map<int, EphemerisByEpoch<Record>>& part, py::dict& satellites, double& first,
                  double& last) {
    for (const auto& [satNo, byEpoch] : part) {
        if (byEpoch.empty()) continue;
        std::size_t records = 0;
        for (const auto& [epochMjd, list] : byEpoch) records += list.size();
        satellites[py::str(satelliteLabel(satNo))] = records;
        if (first == 0.0 || byEpoch.begin()->first < first) first = byEpoch.begin()->first;
        if (byEpoch.rbegin()->first > last) last = byEpoch.rbegin()->first;
    }
}

}  // namespace

py::dict ReadObsSummary(const std::string& path) {
    ObsTable table;
    Rinex3ObsHeader header;
    RunLog log;
    ObsReadCounts counts;
    if (!isExpandable(path)) {
        py::gil_scoped_release release;
        counts = OBS_readR3(path, table, header, log);
    } else {
        // Decoded straight into the reader: no expanded copy of a large file in $TMPDIR.
        DecodeStatus decoded = DecodeStatus::kOk;
        std::string decoderText;
        {
            py::gil_scoped_release release;
            DecodeStream stream(path);
            counts = OBS_readR3(stream.lines(), path, table, header, log);
            decoded = stream.finish(decoderText);
        }
        if (!expandSucceeded(decoded)) raiseOsError(path + ": " + expansionFailure(decoded, decoderText));
    }
    switch (table.readStatus) {
        case kObsCannotOpen: raiseOsError(path + ": cannot open the file");
        case kObsNotRegularFile: raiseOsError(path + ": not a regular file");
        case kObsHeaderIncomplete: throw py::value_error(path + ": the header ends before END OF HEADER");
        default: break;
    }
    if (!header.isObservationFile()) {
        throw py::value_error(path + ": not a RINEX observation file (see RINEX VERSION / TYPE)");
    }
    if (counts.epochs == 0) throw py::value_error(path + ": no epoch read\n" + withLineFeeds(log.messages));

    py::dict out;
    out["version"] = header.version;
    py::list systems;
    for (const auto& [systemCode, types] : header.obsTypes) systems.append(systemName(systemCode));
    out["systems"] = systems;
    py::dict satellites;
    for (const auto& [satNo, records] : table.bySatellite) {
        if (!records.empty()) satellites[py::str(satelliteLabel(satNo))] = records.size();
    }
    out["satellites"] = satellites;
    out["epochs"] = counts.epochs;
    out["first_mjd"] = counts.firstEpochMjd;
    out["last_mjd"] = counts.lastEpochMjd;
    out["lines"] = counts.lines;
    out["discarded"] = counts.discarded;
    out["log"] = withLineFeeds(log.messages);
    return out;
}

py::dict ReadNavSummary(const std::string& path) {
    EphemerisTable table;
    NavHeader header;
    NavReadReport report;
    RunLog log;
    NavReadResult result = NavReadResult::kRead;
    {
        const PlainCopy plain(path);
        requirePlain(plain, path);
        py::gil_scoped_release release;
        result = readNavigationFile(plain.path(), table, header, log, &report);
    }
    switch (result) {
        case NavReadResult::kCannotOpen: raiseOsError(path + ": cannot open the file");
        case NavReadResult::kNotRegularFile: raiseOsError(path + ": not a regular file");
        default: break;
    }
    if (result != NavReadResult::kRead) throw py::value_error(path + ": not a navigation file this reader knows");
    if (table.recordCount == 0) throw py::value_error(path + ": no ephemeris record read");

    py::dict out;
    out["version"] = header.version;
    out["type"] = std::string(1, header.fileType);
    out["system"] = systemName(header.systemCode);
    out["records"] = table.recordCount;
    py::dict satellites;
    double first = 0.0;
    double last = 0.0;
    countRecords(table.kepler, satellites, first, last);
    countRecords(table.glonass, satellites, first, last);
    countRecords(table.sbas, satellites, first, last);
    out["satellites"] = satellites;
    out["first_mjd"] = first;
    out["last_mjd"] = last;
    out["bad_records"] = report.badRecords;
    out["log"] = withLineFeeds(log.messages);
    return out;
}

std::string SatelliteName(int satNo) { return satelliteLabel(satNo); }

py::dict ClassifyName(const std::string& path) {
    const InputFileInfo info = classify(path);
    const FileCategory category = categoryOf(info);
    py::dict out;
    out["kind"] = info.kind;
    out["station"] = info.stationCode;
    out["year"] = info.year;
    out["month"] = info.month;
    out["day"] = info.day;
    out["day_of_year"] = info.dayOfYear;
    out["hour"] = info.hour;
    out["observation"] = category <= FileCategory::kLongCompactCompressed;
    out["navigation"] = category == FileCategory::kNavigation;
    out["category"] = static_cast<int>(category);
    return out;
}

}  // namespace velarix::python_module
