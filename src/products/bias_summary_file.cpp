#include "products/bias_summary_file.h"

#include "gnss/day_job.h"
#include "platform/run_log.h"
#include "platform/strfmt.h"

namespace velarix {

namespace {

constexpr int kLastPrn = 32;

// 0 - x rather than -x, so that a bias of 0 reads "0.0", not "-0.0".
double added(double removed) { return 0.0 - removed; }

}  // namespace

std::string BiasSummaryFileText(const BiasResults& b, const std::string& path) {
    std::string text = "Summary of biases applied in TEC units for... " + path + "\r\n";
    text += "Desired TEC = calc.TEC + Rx_bias + PRN_bias(Sat.bias + interchannel bias)\r\n";
    text += "\r\n";
    text += "PRN\tSatBias\tiChnBias\tTotal\r\n";
    for (int prn = 1; prn <= kLastPrn; ++prn) {
        text += strfmt("%d\t%3.1lf\t%3.1lf\t%3.1lf\r\n", prn, added(b.satBias[prn]), added(b.interchannelBias[prn]),
                       added(b.totalBias[prn]));
    }
    text += "\r\n";
    text += strfmt("RxBias (TEC units) stage1= %2.1lf stage2= %2.1lf Total= %2.1lf\r\n", b.rxBiasStage1,
                   b.rxBiasStage2, b.rxBiasTotal);
    text += strfmt("Averages Min. TEC = %1.1lf and Max. TEC = %1.1lf", b.minTecAverage, b.maxTecAverage);
    return text;
}

ProductResult WriteBiasSummaryFile(const DayJob& job, const std::string& path, RunLog& log) {
    if (!WriteProductText(path, BiasSummaryFileText(job.bias, path))) {
        log.append("* Unable to write Biases file... " + path + "\r\n");
        return ProductResult::kNotCreated;
    }
    log.append("Writing Biases file... \t" + path + "\r\n");
    return ProductResult::kWritten;
}

}  // namespace velarix
