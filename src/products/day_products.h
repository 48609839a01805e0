#pragma once
// The text products of a processed day, and the bias-removed TEC image, written in one
// call at the end of the day: names built, then (non-RINEX input) the RINEX copy, then
// with at least 4 satellites the image, the ".Std" and ".Bias" files, then with at least
// one satellite the CESAR-Dat file and, last, the ".Cmn" file. Each step is logged.
#include <functional>
#include <string>
#include <vector>

#include "products/product_file.h"
#include "products/product_names.h"

namespace velarix {

class RunLog;
struct DayJob;

// Which products to write, and where.
struct DayProductRequest {
    ProductNaming naming = ProductNaming::kFromDay;
    std::string base;       // ProductNaming::kFromBase: the CMN and bias summary paths without extension
    std::string targetDir;  // "" : the data folder
    bool cmn = true;
    bool twoSigma = true;     // ".Std"
    bool biasSummary = true;  // ".Bias"
    bool cesarDat = false;
    bool biasImage = false;  // the bias-removed TEC figure, "-wbias.png"
};

// What the products call out to: the drawing of the bias-removed TEC figure, and the
// writer of the RINEX observation copy of non-RINEX input (products/rinex_copy.h), asked
// for when the receiver table holds at least 5 satellites. Each returns true when it
// wrote its file. Without a figure drawer the image is reported as not written; without a RINEX
// writer the copy is reported as not written.
struct DayProductCallouts {
    std::function<bool(const std::string& pngPath)> saveBiasFigure;
    std::function<bool(const std::string& rinexPath)> writeRinexCopy;
};

constexpr std::size_t kMinSatellitesForBiasProducts = 4;
constexpr std::size_t kMinObservedSatellitesForRinexCopy = 5;

// ProductResult::kWritten, or ProductResult::kNotCreated when the CMN file could not be written. Other
// products that cannot be written are reported and skipped. The paths of the files
// written go to `written` when it is given.
[[nodiscard]] ProductResult WriteDayProducts(const DayJob& job, const DayProductRequest& request,
                                             const DayProductCallouts& callouts, RunLog& log,
                                             std::vector<std::string>* written = nullptr);

// The names WriteDayProducts uses for `request`.
ProductNames DayProductNames(const DayJob& job, const DayProductRequest& request);

}  // namespace velarix
