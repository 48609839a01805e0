#include "products/rinex_copy.h"

#include "gnss/day_job.h"
#include "platform/text.h"

namespace velarix {

namespace {

// The receiver text names `receiver`, in any case.
bool names(const std::string& text, const char* receiver) {
    return toUpper(text).find(toUpper(receiver)) != std::string::npos;
}

}  // namespace

RinexCopyHeader RinexCopyHeaderOf(const DayJob& job) {
    const ReceiverRecordingInfo& recording = job.receiverObs.recording;
    const LisnSite* site = job.s4.lisnSiteMatch != 0 ? &job.s4.lisnSite : nullptr;
    const std::string format = site != nullptr ? site->dataFormat : std::string();
    const std::string receiver = site != nullptr ? site->receiverType : recording.receiverType;

    RinexCopyHeader header;
    if (job.kinds.novatel != 0 || names(format, "GSV4004")) {
        header.types = NovatelCopyTypes();
    } else if (names(format, "Leica") || names(receiver, "Leica")) {
        header.types = LeicaCopyTypes();
    } else if (names(format, "AERformat") || names(receiver, "Ashtech")) {
        header.types = AshtechCopyTypes();
    } else {
        header.types = CopyTypesHeld(job.receiverObs);
    }
    if (site != nullptr) {
        header.markerName = site->siteName;
    } else if (!recording.markerName.empty()) {
        header.markerName = recording.markerName;
    }
    header.observer = recording.observer;
    header.agency = recording.agency;
    header.receiverNumber = recording.receiverNumber;
    header.receiverType = receiver;
    header.receiverVersion = recording.receiverVersion;
    if (!recording.antennaNumber.empty()) header.antennaNumber = recording.antennaNumber;
    if (!recording.antennaType.empty()) header.antennaType = recording.antennaType;
    const auto& [x, y, z] = recording.approxPosition_m;
    if (x != 0.0 || y != 0.0) {
        header.approxPosition_m = recording.approxPosition_m;
    } else if (job.station.known()) {
        header.approxPosition_m = {job.station.x_m, job.station.y_m, job.station.z_m};
    }
    if (recording.antennaDeltaGiven) header.antennaDeltaHen_m = recording.antennaDeltaHen_m;
    return header;
}

RinexCopyResult WriteRinexCopy(const DayJob& job, const std::string& path, RunLog& log) {
    return WriteRinexCopyFile(job.receiverObs, RinexCopyHeaderOf(job), job.dataInterval_s, path, log);
}

}  // namespace velarix
