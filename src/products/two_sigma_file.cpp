#include "products/two_sigma_file.h"

#include "gnss/bias/two_sigma.h"
#include "gnss/day_job.h"
#include "platform/run_log.h"
#include "platform/number_text.h"

namespace velarix {

std::string TwoSigmaFileText(const TwoSigmaCurve& curve) {
    std::string text;
    // "%2.3f \t- \t- \t%2.2f\n" for an empty bin, else "%2.3f \t%2.2f \t%2.2f \t%2.2f\n"
    for (const TwoSigmaBin& bin : curve.bins) {
        AppendNumber(text, "%2.3f", bin.hour);
        if (bin.count == 0) {
            text += " \t- \t- \t";
            AppendNumber(text, "%2.2f", 0.0);
        } else {
            for (double value : {bin.smoothed_TECU, bin.average_TECU}) {
                text += " \t";
                AppendNumber(text, "%2.2f", value);
            }
            text += " \t";
            AppendNumber(text, "%2.2f", bin.spread_TECU);
        }
        text += '\n';
    }
    return text;
}

ProductResult WriteTwoSigmaFile(const DayJob& job, const std::string& path, RunLog& log) {
    if (job.bias.finalCurve.bins.empty()) {
        log.append("* No 2-sigma TEC curve for the day, no 2-sigma TEC file... " + path + "\r\n");
        return ProductResult::kNoData;
    }
    if (!WriteProductText(path, TwoSigmaFileText(job.bias.finalCurve))) {
        log.append("* Unable to write 2-sigma TEC file... " + path + "\r\n");
        return ProductResult::kNotCreated;
    }
    log.append("Writing 2-sigma file... \t" + path + "\r\n");
    return ProductResult::kWritten;
}

}  // namespace velarix
