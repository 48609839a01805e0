#pragma once
// The user's processing choices: three option words and the product directory. The
// settings file and the command line fill them; the run driver reads them before every
// file search.
#include <string>
#include <vector>

#include "gnss/bias/calibration.h"

namespace velarix {

enum ScopeBits : int {
    kThisDayOnly = 0x01,
    kThisMonth = 0x02,
    kThisYear = 0x04,
    kThisDirectory = 0x08,
    kAllStations = 0x10,
};

enum FileBits : int {
    kCmnFile = 0x01,
    kStdFile = 0x02,
    kBiasFile = 0x04,
    kDepletionFile = 0x08,
    kDatFile = 0x10,
};

enum ImageBits : int {
    kTec24HourImage = 0x01,
    kTecPrnImages = 0x02,
    kBiasedUnbiasedPlot = 0x04,
    kDepletionImage = 0x08,
    kHighResolution = 0x10,
    kSkipExistingCmn = 0x20,
};

// More days side by side than this is a typing error, not a machine.
constexpr int kMostDayThreads = 1024;

struct RunOptions {
    int scopeWord = kThisDayOnly;                   // one scope bit, plus kAllStations
    int fileWord = kCmnFile | kStdFile | kBiasFile;  // products to write
    int imageWord = kTec24HourImage;                // plots to draw, high resolution, skip switch
    bool separateTarget = false;                    // products go to targetDir, not the data directory
    std::string targetDir;                          // at most 255 characters
    int pipelineOption = 0;                         // passed unchanged to every pipeline
    std::vector<std::string> s4ArchiveRoots;        // folders searched for LISN S4 files, in order
    Calibration calibration = Calibration::kFloor;  // how the receiver bias sets the level
    IonoMapping mapping = IonoMapping::kThinShell;  // pierce points and slant-to-vertical
    int jobs = 0;                                   // days of a batch run side by side; 0: one per core

    int processScope() const { return scopeWord & 0x0F; }
    bool allStations() const { return (scopeWord & kAllStations) != 0; }
    bool skipExistingCmn() const { return (imageWord & kSkipExistingCmn) != 0; }
    // The number of days a batch runs side by side: `jobs`, else the number of cores the
    // process may use.
    int dayThreads() const;
    // Selects one scope in place of the other three, as the option panel does.
    void selectScope(int scopeBit) { scopeWord = (scopeWord & ~0x0F) | (scopeBit & 0x0F); }
};

}  // namespace velarix
