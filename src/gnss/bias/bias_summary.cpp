// The bias summary of the run log.
#include "gnss/bias/bias_estimation.h"
#include "platform/strfmt.h"

namespace velarix {

namespace {

constexpr int kLastPrn = 32;

// The biases are removed from the calculated TEC; the summary shows what is added to it.
// 0 - x rather than -x, so that a bias of 0 reads "0.0", not "-0.0".
double added(double bias) { return 0.0 - bias; }

}  // namespace

std::string biasSummaryText(const DayJob& job) {
    const CurrentFileContext& c = job.context;
    const bool fromContext = c.latitudeDeg > -900.0;
    const double latitude = fromContext ? c.latitudeDeg : job.station.latitude_deg;
    double longitude = fromContext ? c.longitudeDeg : job.station.longitude_deg;
    const double altitude = fromContext ? c.altitude : job.station.height_m;
    if (longitude > 180.0) longitude -= 360.0;

    const BiasResults& b = job.bias;
    std::string text = strfmt("\r\nStation Lat %1.3lf, Lon %1.3lf, Alt %1.3lf", latitude, longitude, altitude);
    text += "\r\nSummary of biases applied in TEC units as...";
    text += "\r\nDesired TEC = calc.TEC + Rx_bias + PRN_bias(Sat.bias + interchannel bias)\r\n";
    text += "\r\nPRN\tSatBias\tiChnBias\tTotal";
    for (int prn = 1; prn <= kLastPrn; ++prn) {
        text += strfmt("\r\n%d\t%3.1lf\t%3.1lf\t%3.1lf", prn, added(b.satBias[prn]), added(b.interchannelBias[prn]),
                       added(b.totalBias[prn]));
    }
    text += strfmt("\r\n\r\nRxBias (TEC units) stage1= %2.1lf stage2= %2.1lf Total= %2.1lf", b.rxBiasStage1,
                   b.rxBiasStage2, b.rxBiasTotal);
    text += strfmt("\r\nAverages Min. TEC = %1.1lf and Max. TEC = %1.1lf", b.minTecAverage, b.maxTecAverage);
    text += strfmt("\r\nSign used is %1.1lf", job.phaseSign);
    return text;
}

}  // namespace velarix
