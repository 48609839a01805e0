// velarix-tools classify: prints what the program reads from each file name, one
// name=value line per field, without opening the files.
#include <cstdio>

#include "control/classify.h"
#include "platform/strfmt.h"
#include "tools.h"

namespace velarix {

namespace {

std::string describe(const std::string& path, const InputFileInfo& info) {
    std::string text = strfmt("path=%s\n", path.c_str());
    text += strfmt("nameForm=%d\nisRinexObs=%d\nisNavigation=%d\nspareFlag=%d\n", info.nameForm, info.isRinexObs,
                   info.isNavigation, info.spareFlag);
    text += strfmt("isHatanaka=%d\nisCompressedZ=%d\nisGzip=%d\nisDcb=%d\nkind=%d\n", info.isHatanaka,
                   info.isCompressedZ, info.isGzip, info.isDcb, info.kind);
    text += strfmt("directory=%s\nextension=%s\nfileName=%s\nnameLength=%d\nstationCode=%s\n",
                   info.directory.c_str(), info.extension.c_str(), info.fileName.c_str(), info.nameLength,
                   info.stationCode.c_str());
    text += strfmt("year=%d\nmonth=%d\nday=%d\nhour=%d\nminute=%d\nseconds=%.3f\ndayOfYear=%d\nnameValid=%d\n",
                   info.year, info.month, info.day, info.hour, info.minute, info.seconds, info.dayOfYear,
                   info.nameValid);
    return text;
}

}  // namespace

int toolClassify(const ToolArgs& args) {
    if (args.empty()) {
        std::fprintf(stderr, "Usage: velarix-tools classify PATH...\n");
        return 2;
    }
    for (size_t i = 0; i < args.size(); ++i) {
        if (i > 0) std::fputs("\n", stdout);
        std::fputs(describe(args[i], classify(args[i])).c_str(), stdout);
    }
    return 0;
}

}  // namespace velarix
