#pragma once
// CODE's monthly differential code biases: P1-C1 and P1-P2 of the GPS satellites and
// P1-P2 of station receivers, all in nanoseconds.
#include <array>
#include <map>
#include <string>

struct DcbTable {
    std::array<double, 33> p1c1{};  // by GPS PRN 1..32; slot 0 stays 0
    std::array<double, 33> p1p2{};
    std::map<std::string, double> receiverP1p2;  // by station name
    int loaded = 0;                              // kP1p2Loaded | kP1c1Loaded

    static constexpr int kP1p2Loaded = 8;
    static constexpr int kP1c1Loaded = 2;

    void clear() { *this = DcbTable{}; }
};

// Reads the month's files into `table` (not cleared first): the P1-C1 file, the file
// that lists satellites and receivers, then the P1-P2 file, whose satellite values win.
// An empty path, or a file that cannot be opened, is skipped.
void ReadDcbFiles(const std::string& p1c1Path, const std::string& p1p2Path, const std::string& p1p2AllPath,
                  DcbTable& table);
