#include "products/day_products.h"

#include "gnss/day_job.h"
#include "platform/run_log.h"
#include "products/bias_summary_file.h"
#include "products/cesar_dat_file.h"
#include "products/cmn_file.h"
#include "products/two_sigma_file.h"

namespace {

// The RINEX copy of a recording of another format.
void rinexCopy(const DayJob& job, const std::string& path, const DayProductCallouts& callouts, RunLog& log) {
    if (job.kinds.rinexObs != 0 || job.obs.bySatellite.size() < kMinObservedSatellitesForRinexCopy) return;
    if (!callouts.writeRinexCopy) {
        log.say("\r\nNote! Rinex output not written, this program has no RINEX writer yet: " + path + "\r\n");
        return;
    }
    log.say("\r\nWriting Rinex output... \t");
    (void)callouts.writeRinexCopy(path);  // the writer reports its own failures
    log.refresh();
}

void biasImage(const std::string& path, const DayProductCallouts& callouts, RunLog& log) {
    const bool saved = callouts.saveBiasFigure && callouts.saveBiasFigure(path) == 0;
    log.append(saved ? "Bias calc. TEC Plot...\t" : "* Unable to write Image file... ");
    log.append(path + "\r\n");
}

}  // namespace

ProductNames DayProductNames(const DayJob& job, const DayProductRequest& request) {
    ProductNameFields fields = ProductNameFieldsOf(job, request.targetDir);
    fields.naming = request.naming;
    fields.base = request.base;
    return NameProducts(fields);
}

ProductResult WriteDayProducts(const DayJob& job, const DayProductRequest& request,
                               const DayProductCallouts& callouts, RunLog& log) {
    const ProductNames names = DayProductNames(job, request);
    log.append("\r\n");
    rinexCopy(job, names.rinexCopy, callouts, log);

    if (job.tec.size() >= kMinSatellitesForBiasProducts) {
        if (request.biasImage) biasImage(names.biasImage, callouts, log);
        if (request.twoSigma) (void)WriteTwoSigmaFile(job, names.std2Sigma, log);
        if (request.biasSummary) (void)WriteBiasSummaryFile(job, names.biasSummary, log);
    }
    if (job.tec.empty()) return kProductWritten;
    if (request.cesarDat) (void)WriteCesarDat(job, names.cesarDat, log);
    if (request.cmn) return WriteCmnFile(job, names.cmn, log);
    return kProductWritten;
}
