#pragma once
// The RINEX job: one station-day from its observation files to all products. It is one
// call with explicit inputs: the request names the day's files and folders, the
// environment holds what a run shares (station list, options, program folder, the
// download), and the job fills its own DayJob and reports to its own RunLog. The run
// driver, the tools and every other front end call the same function.
//
// Steps: the day's observation files are expanded when compressed; the station list
// gives a first position; the day's navigation file and the month's DCB files are found
// (a download is asked for when they are missing) and expanded; everything is read
// (gnss/day_reading.h); then the common block derives TEC, S4 and the biases, logs the
// bias summary and writes the plots and products. Compressed inputs are expanded into
// hidden scratch files of the work folder, removed once the day is read; no file the
// user put anywhere is changed, renamed or removed.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "download/download_request.h"
#include "gnss/day_job.h"
#include "platform/run_log.h"
#include "platform/status_code.h"
#include "platform/window.h"
#include "stations/igs_stations.h"
#include "ui/run_options.h"

namespace velarix {

// How far a day goes: the tools stop after the TEC or after the calibration.
enum class DayStage { kTec, kCalibrated, kProducts };

// Navigation and DCB files named by the caller: nothing is searched or downloaded, and a
// day without DCB files goes on (every satellite bias is then zero).
struct GivenDayFiles {
    std::vector<std::string> navigation;
    std::string p1c1;
    std::string p1p2;
    std::string p1p2All;
    std::string biasSinex;  // a Bias-SINEX file (".BIA", ".BSX")
};

struct DayRequest {
    std::string inputPath;                      // the observation file that chose the day: its name
                                                // gives the station and the date
    std::vector<std::string> observationFiles;  // the day's files in order (one daily file, or its
                                                // sessions), the input among them
    std::string dataDirectory;                  // where the navigation and DCB files are searched
    std::string targetDirectory;                // where the products go
    std::string workDirectory;                  // where compressed inputs are expanded
    std::optional<GivenDayFiles> given;         // instead of the search, for the tools
    DayStage lastStage = DayStage::kProducts;
};

// Fetches what the data folder lacks for a request (download/download_request.h); the job
// searches the folder again afterwards.
using DownloadFunction = std::function<void(const DownloadRequest&, RunLog&)>;

// What the days of a run share; read only.
struct DayEnvironment {
    const StationCatalogue* stations = nullptr;  // nullptr or empty: no catalogue position
    RunOptions options;                          // products, plots, S4 archive roots
    std::string programDir;                      // where the LISN site table file may lie
    DownloadFunction download;                   // empty: downloading is not available
    MainWindow* window = nullptr;                // the status lines; nullptr without a window
};

// How a day ended. Every value but kDone is a day that gave no products. The numbers are
// those of the error log ("err = %d") and of the Python result's "code".
enum class RinexDayResult {
    kDone = 0,
    kExpandFailed = -1,       // an observation file could not be expanded (.Z, gzip)
    kCompactFailed = -2,      // a Compact RINEX file could not be decoded
    kNoInput = -3,            // no observation file, or a name without a date
    kNoNavigation = -4,       // no usable navigation file, or one of another day
    kNoDcb = -5,              // no DCB file for the month (years other than 1994-1997)
    kObservationFailed = -6,  // no observation file gave an epoch
    kNoStationPosition = -7,  // no catalogue, header or solved position
    kTooFewSatellites = -8,   // observations of fewer than 4 satellites
    kRxBiasOutOfBounds = -9,  // the receiver bias could not be estimated
    kNoTec = -10,             // the TEC derivation gave nothing
    kOutputsFailed = -11,     // a product or plot could not be written
};

// The reason in a few words, for the error log and the tools.
[[nodiscard]] const char* rinexDayResultText(RinexDayResult result);

// The paths of the products and plots written go to `written` when it is given.
[[nodiscard]] RinexDayResult RunRinexDay(const DayRequest& request, const DayEnvironment& environment, DayJob& job,
                                         RunLog& log, std::vector<std::string>* written = nullptr);

}  // namespace velarix
