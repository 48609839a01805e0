#pragma once
// The RINEX observation copy of a recording of another format: the day's receiver table
// written by the RINEX writer (rinex/rinex2_writer.h), with the header texts and the
// observation types of the recording's receiver.
#include <string>

#include "rinex/rinex2_writer.h"

namespace velarix {

class RunLog;
struct DayJob;

// The header of the day's copy: a NovAtel recording, or a LISN site whose format is
// GSV4004, gives the NovAtel set of types; a Leica receiver the Leica set; the AER format
// or an Ashtech receiver the Ashtech set; any other receiver the types the table holds.
// The marker is the LISN site's name, else the recording's marker, else "Not available";
// the position the recording's, else the station's.
RinexCopyHeader RinexCopyHeaderOf(const DayJob& job);

// Writes the copy of job.receiverObs to `path`; never replaces an existing file.
[[nodiscard]] RinexCopyResult WriteRinexCopy(const DayJob& job, const std::string& path, RunLog& log);

}  // namespace velarix
