#pragma once
// The state of one processing day: the file in work and everything the stages of the
// day fill. The run driver keeps one and empties it for every new input and day.
#include <cstdint>
#include <string>

struct StationInfo;

// The file and day in work.
struct CurrentFileContext {
    std::string inputPath;
    std::string dataDirectory;     // input path up to and including the last '/'
    std::string productDirectory;  // empty: products go to the data directory
    std::string stationCode;       // four characters
    std::int32_t session = -1;     // session or hour number
    std::int32_t year = -1;
    std::int32_t month = -1;
    std::int32_t dayOfMonth = -1;
    std::int32_t dayOfYear = -1;
    double latitudeDeg = -999.0;  // -999 = unknown
    double longitudeDeg = -999.0;
    double altitude = -999.0;
    const StationInfo* station = nullptr;  // the catalogue entry, when the station is known
    bool stationKnown = false;
    bool filled = false;                   // the job has copied the input's details in
    std::string decompressedInputPath;     // the (last) observation file the job reads

    // Back to the reset values, with the data directory taken from `path`.
    void reset(const std::string& path);
};

// Which kind of recording the input is, derived from its name.
struct InputKindFlags {
    int rinexObs = 0;
    int hatanaka = 0;
    int compressedZ = 0;
    int novatel = 0;
    int lisn = 0;
    int lisnDat = 0;
    int scinda = 0;
    int scindaPrc = 0;
    int inWorkA = 0;  // formats still in work
    int inWorkB = 0;
    int ism = 0;
    int spare = 0;

    void clear() { *this = InputKindFlags{}; }
};

struct DayJob {
    CurrentFileContext context;
    InputKindFlags kinds;
    double dayStartMjd = 0.0;  // the processing day
};
