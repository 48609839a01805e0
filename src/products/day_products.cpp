#include "products/day_products.h"

#include "gnss/day_job.h"
#include "platform/run_log.h"
#include "products/bias_summary_file.h"
#include "products/cesar_dat_file.h"
#include "products/cmn_file.h"
#include "products/two_sigma_file.h"

namespace velarix {

namespace {

// The RINEX copy of a recording of another format.
void rinexCopy(const DayJob& job, const std::string& path, const DayProductCallouts& callouts, RunLog& log) {
    if (job.kinds.rinexObs != 0 || job.receiverObs.prns.size() < kMinObservedSatellitesForRinexCopy) return;
    if (!callouts.writeRinexCopy) {
        log.say("\r\nNote! Rinex output not written, this program has no RINEX writer yet: " + path + "\r\n");
        return;
    }
    log.say("\r\nWriting Rinex output... \t");
    (void)callouts.writeRinexCopy(path);  // the writer reports its own failures
    log.refresh();
}

bool biasImage(const std::string& path, const DayProductCallouts& callouts, RunLog& log) {
    const bool saved = callouts.saveBiasFigure && callouts.saveBiasFigure(path);
    log.append(saved ? "Bias calc. TEC Plot...\t" : "* Unable to write Image file... ");
    log.append(path + "\r\n");
    return saved;
}

}  // namespace

ProductNames DayProductNames(const DayJob& job, const DayProductRequest& request) {
    ProductNameFields fields = ProductNameFieldsOf(job, request.targetDir);
    fields.naming = request.naming;
    fields.base = request.base;
    return NameProducts(fields);
}

ProductResult WriteDayProducts(const DayJob& job, const DayProductRequest& request,
                               const DayProductCallouts& callouts, RunLog& log, std::vector<std::string>* written) {
    const ProductNames names = DayProductNames(job, request);
    const auto keep = [written](ProductResult result, const std::string& path) {
        if (written != nullptr && result == ProductResult::kWritten) written->push_back(path);
        return result;
    };
    log.append("\r\n");
    rinexCopy(job, names.rinexCopy, callouts, log);

    if (job.tec.size() >= kMinSatellitesForBiasProducts) {
        if (request.biasImage && biasImage(names.biasImage, callouts, log)) {
            (void)keep(ProductResult::kWritten, names.biasImage);  // only lists the path: the figure was saved
        }
        if (request.twoSigma) (void)keep(WriteTwoSigmaFile(job, names.std2Sigma, log), names.std2Sigma);
        if (request.biasSummary) (void)keep(WriteBiasSummaryFile(job, names.biasSummary, log), names.biasSummary);
    }
    if (job.tec.empty()) return ProductResult::kWritten;
    if (request.cesarDat) (void)keep(WriteCesarDat(job, names.cesarDat, log), names.cesarDat);
    if (request.cmn) return keep(WriteCmnFile(job, names.cmn, log), names.cmn);
    return ProductResult::kWritten;
}

}  // namespace velarix
