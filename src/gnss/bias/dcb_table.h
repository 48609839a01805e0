#pragma once
// CODE's monthly differential code biases: P1-C1 and P1-P2 of the GPS satellites and
// P1-P2 of station receivers, all in nanoseconds.
#include <array>
#include <map>
#include <string>

namespace velarix {

struct DcbTable {
    std::array<double, 33> p1c1{};  // by GPS PRN 1..32; slot 0 stays 0
    std::array<double, 33> p1p2{};
    std::map<std::string, double> receiverP1p2;  // by station name
    int loaded = 0;                              // kP1p2Loaded | kP1c1Loaded

    static constexpr int kP1p2Loaded = 8;
    static constexpr int kP1c1Loaded = 2;

    void clear() { *this = DcbTable{}; }
};

// How one DCB file was read. Only kRead sets its flag in DcbTable::loaded.
enum class DcbFileStatus {
    kRead,            // at least one entry after the header's "***" line
    kNotGiven,        // no path: skipped
    kCannotOpen,
    kNotRegularFile,  // a directory, FIFO or device
    kEmpty,
    kNoHeaderEnd,     // no "***" line: nothing read (a truncated or foreign file)
    kNoEntry,         // nothing after the "***" line holds a GPS satellite or receiver value
};

struct DcbReadResult {
    DcbFileStatus p1c1 = DcbFileStatus::kNotGiven;
    DcbFileStatus p1p2 = DcbFileStatus::kNotGiven;
    DcbFileStatus p1p2All = DcbFileStatus::kNotGiven;
};

// Reads the month's files into `table` (not cleared first): the P1-C1 file, the file
// that lists satellites and receivers, then the P1-P2 file, whose satellite values win.
// An empty path, or a file that cannot be read, is skipped; the result tells which.
[[nodiscard]] DcbReadResult ReadDcbFiles(const std::string& p1c1Path, const std::string& p1p2Path,
                                         const std::string& p1p2AllPath, DcbTable& table);

// The run-log line for a file that gave nothing, naming it ("\r\nError! DCB file <path>:
// ..."); empty for kRead and kNotGiven.
std::string DcbFileProblem(const std::string& path, DcbFileStatus status);

}  // namespace velarix
