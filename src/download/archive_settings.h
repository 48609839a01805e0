#pragma once
// Where the missing files are fetched from, and how patiently. The values come from the
// settings file (section "Download"); the defaults name today's public archives.
//
// A URL template is an ftp://, http:// or https:// address whose placeholders are filled
// for the day: {yyyy} year, {yy} two-digit year, {mm} month, {ddd} day of year, {kind}
// P1P2 or P1C1 (DCB files), {station} a name of the navigation station list (which may
// itself hold placeholders).
#include <string>
#include <vector>

namespace velarix {

struct ArchiveSettings {
    // The FTP client: a path, or a name looked for in the program folder, then in PATH.
    std::string client = "lftp";
    int timeoutSeconds = 60;  // the client gives up a connection that stays silent this long
    int dcbReconnectPauseSeconds = 5;
    int navigationReconnectPauseSeconds = 15;

    // CODE's monthly DCB files of past months, and the files of the running month, kept
    // under a rolling name and given the month's name once fetched.
    std::string dcbUrl = "ftp://ftp.aiub.unibe.ch/CODE/{yyyy}/{kind}{yy}{mm}.DCB.Z";
    std::string dcbRunningMonthUrl = "ftp://ftp.aiub.unibe.ch/CODE/{kind}.DCB";

    // The day's broadcast navigation file: the template is tried for each station in turn.
    std::string navigationUrl =
        "https://igs.bkg.bund.de/root_ftp/IGS/BRDC/{yyyy}/{ddd}/{station}_{yyyy}{ddd}0000_01D_MN.rnx.gz";
    std::vector<std::string> navigationStations = {"BRDC00WRD_R", "BRDC00IGS_R", "BRDM00DLR_S"};
};

// The fields of a template: {yyyy} and the others. `station` and `kind` may be empty.
struct TemplateDate {
    int year = 0;
    int month = 0;
    int dayOfYear = 0;
};
std::string fillTemplate(const std::string& urlTemplate, const TemplateDate& date, const std::string& station,
                         const std::string& kind);

// "ftp://host:21/a/b/f.Z" -> site "ftp://host:21", folder "/a/b/", file "f.Z". False when
// the text is not an ftp, http or https address of a file.
struct RemoteFile {
    std::string site;
    std::string folder;
    std::string name;
};
[[nodiscard]] bool splitUrl(const std::string& url, RemoteFile& file);

}  // namespace velarix
