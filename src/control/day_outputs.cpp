#include "control/day_outputs.h"

#include <algorithm>

#include "products/bias_figure_plot.h"
#include "products/day_products.h"
#include "products/prn_pages_plot.h"
#include "products/product_names.h"
#include "products/rinex_copy.h"
#include "products/tec24h_plot.h"

namespace velarix {

namespace {

// The plots of the RINEX job carry no variant letter in their names.
constexpr int kJobPlotVariant = 1;

// A plot that could not be made or saved is a product missing; a day whose data do not
// fill the plot's window has been reported by the plot and is not.
bool plotFailed(PlotStatus status) { return status == PlotStatus::kNoCanvas || status == PlotStatus::kSaveFailed; }

}  // namespace

RinexDayResult writeDayOutputs(const DayJob& job, const DayEnvironment& environment, RunLog& log,
                               std::vector<std::string>* written, const std::string& productBase) {
    const RunOptions& options = environment.options;
    const std::string targetDir = options.separateTarget ? options.targetDir : std::string();
    const ProductNameFields names = ProductNameFieldsOf(job, targetDir);
    const bool highResolution = (options.imageWord & kHighResolution) != 0;
    bool failed = false;

    const auto keep = [written](const std::string& path) {
        if (written != nullptr) written->push_back(path);
    };

    if ((options.imageWord & kTec24HourImage) != 0) {
        const std::string path = Tec24hPlotName(names, kJobPlotVariant);
        const PlotStatus status = PlotTec24h(job, path, highResolution, log);
        failed |= plotFailed(status);
        if (status == PlotStatus::kSaved) keep(path);
    }
    if ((options.imageWord & kTecPrnImages) != 0) {
        // Pages are saved one by one: those whose save succeeded are the ones written.
        std::vector<std::string> pages;
        const PagePath pagePath = [&names, &pages](int page) {
            pages.push_back(PrnPagePlotName(names, page, kJobPlotVariant));
            return pages.back();
        };
        const PlotStatus status = PlotPrnPages(job, pagePath, false, highResolution, log);
        failed |= plotFailed(status);
        if (status == PlotStatus::kSaved) std::for_each(pages.begin(), pages.end(), keep);
    }

    DayProductRequest request;
    request.targetDir = targetDir;
    if (!productBase.empty()) {
        request.naming = ProductNaming::kFromBase;
        request.base = productBase;
    }
    request.cmn = (options.fileWord & kCmnFile) != 0;
    request.twoSigma = (options.fileWord & kStdFile) != 0;
    request.biasSummary = (options.fileWord & kBiasFile) != 0;
    request.cesarDat = (options.fileWord & kDatFile) != 0;
    request.biasImage = (options.imageWord & kBiasedUnbiasedPlot) != 0;
    DayProductCallouts callouts;
    callouts.saveBiasFigure = [&](const std::string& pngPath) {
        const PlotStatus status = DrawBiasFigure(job, pngPath, highResolution, log);
        failed |= plotFailed(status);
        return status == PlotStatus::kSaved;
    };
    callouts.writeRinexCopy = [&](const std::string& path) {
        return WriteRinexCopy(job, path, log) == RinexCopyResult::kWritten;
    };
    failed |= WriteDayProducts(job, request, callouts, log, written) != ProductResult::kWritten;
    return failed ? RinexDayResult::kOutputsFailed : RinexDayResult::kDone;
}

}  // namespace velarix
