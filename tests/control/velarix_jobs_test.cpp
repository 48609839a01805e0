// A month folder run by the velarix program with its days side by side and one after the
// other: the same products, log and exit status.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>

#include "platform/strfmt.h"
#include "test_support.h"

namespace velarix {

namespace fs = std::filesystem;

namespace {

const std::string kExamples = std::string(VELARIX_SOURCE_DIR) + "/examples/";

// Four days: the sample day under successive dates, each with its navigation file, the
// third one not a RINEX file at all.
void writeMonthFolder(const TempDir& dir) {
    const std::string folder = dir.path();
    for (int day = 1; day <= 4; ++day) {
        const std::string obs = strfmt("bjfs%03d0.20o", day);
        if (day == 3) {
            dir.write(obs, "this is not an observation file\n");
        } else {
            fs::copy_file(kExamples + "bjfs0010.20o", folder + obs);
        }
        fs::copy_file(kExamples + "brdc0010.20n", folder + strfmt("brdc%03d0.20n", day));
    }
    for (const char* dcb : {"P1C12001.DCB.Z", "P1P22001_ALL.DCB.Z"}) fs::copy_file(kExamples + dcb, folder + dcb);
}

// Every file of the folder by name, with its content; the folder's own path (in the logs
// and the .Bias file's title) and, in the log, the run's execution time (the one line that
// may differ) are left out.
std::map<std::string, std::string> contentsOf(const std::string& folder) {
    const std::regex executionTime("--> Execution time [^\r]*");
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        std::string text = readWholeFile(entry.path().string());
        for (size_t at = text.find(folder); at != std::string::npos; at = text.find(folder, at)) {
            text.replace(at, folder.size(), "DATA/");
        }
        if (name == "Log_file.txt") text = std::regex_replace(text, executionTime, "--> Execution time");
        files[name] = text;
    }
    return files;
}

ToolRun runMonth(const std::string& folder, int jobs) {
    return runCommand(strfmt("%s --settings %snone.ini --scope month --jobs %d --products cmn,std,bias,dat "
                             "--images tec24,bias %sbjfs0010.20o auto </dev/null 2>&1",
                             VELARIX_BIN, folder.c_str(), jobs, folder.c_str()));
}

}  // namespace

TEST(VelarixJobs, DaysSideBySideGiveTheProductsLogAndStatusOfOneAfterTheOther) {
    TempDir serial, parallel;
    writeMonthFolder(serial);
    writeMonthFolder(parallel);

    const ToolRun one = runMonth(serial.path(), 1);
    const ToolRun two = runMonth(parallel.path(), 2);
    EXPECT_EQ(one.exitCode, 3) << one.output;  // the third day failed, the others are done
    EXPECT_EQ(two.exitCode, 3) << two.output;
    EXPECT_TRUE(contains(two.output, "---->> Rinex files completed 4 of 4")) << two.output;

    std::map<std::string, std::string> expected = contentsOf(serial.path());
    std::map<std::string, std::string> got = contentsOf(parallel.path());
    ASSERT_TRUE(expected.count("bjfs004-2020-01-04.Cmn") && !expected.count("bjfs003-2020-01-03.Cmn"));
    ASSERT_EQ(got.size(), expected.size());
    for (const auto& [name, content] : expected) {
        ASSERT_TRUE(got.count(name)) << name;
        EXPECT_TRUE(got[name] == content) << name << " differs";
    }

    // The corrupt day is reported in its place: after the second day, before the fourth.
    const std::string& log = got["Log_file.txt"];
    const size_t second = log.find("bjfs0020.20o");
    const size_t third = log.find("bjfs0030.20o");
    const size_t fourth = log.find("bjfs0040.20o");
    EXPECT_TRUE(second < third && third < fourth && fourth != std::string::npos) << log;
    EXPECT_EQ(got["Log_errors.txt"], expected["Log_errors.txt"]);
    EXPECT_TRUE(contains(got["Log_errors.txt"], "DATA/bjfs0030.20o .. day not processed (err = -6)"))
        << got["Log_errors.txt"];
}

}  // namespace velarix
