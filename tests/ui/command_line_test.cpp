#include "ui/command_line.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "test_support.h"

namespace velarix {

namespace {

struct Parsed {
    CommandLineStatus status;
    CommandLine line;
    std::string messages;
};

Parsed parse(const std::vector<std::string>& arguments) {
    std::vector<std::string> words{"velarix"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<const char*> argv;
    for (const std::string& word : words) argv.push_back(word.c_str());
    Parsed parsed{CommandLineStatus::kRun, {}, "stale"};
    parsed.status = parseCommandLine(static_cast<int>(argv.size()), argv.data(), parsed.line, parsed.messages);
    return parsed;
}

}  // namespace

TEST(CommandLine, ChoicesAreReadAndFoldersMadeAbsolute) {
    TempDir dir;
    dir.write("sub/file", "");
    const Parsed run = parse({"--scope", "year", "--all-stations", "--products", "cmn,dat", "--images", "none",
                              "--target", dir.path() + "./sub/..", "--skip-existing", "--s4-archive",
                              dir.path(), "--s4-archive", dir.path() + ".", "--settings", "my.ini",
                              "--save-settings", "/data/bjfs0010.20o", "auto"});
    ASSERT_EQ(run.status, CommandLineStatus::kRun) << run.messages;
    EXPECT_EQ(run.messages, "");
    const CommandLine& l = run.line;
    EXPECT_EQ(l.positionals, (std::vector<std::string>{"/data/bjfs0010.20o", "auto"}));
    EXPECT_EQ(std::tie(l.scopeBit, l.allStations, l.fileWord, l.imageWord, l.skipExisting, l.saveSettings),
              std::make_tuple(int(kThisYear), true, kCmnFile | kDatFile, 0, true, true));
    EXPECT_EQ(l.targetDir, dir.path());
    EXPECT_EQ(l.s4ArchiveRoots, (std::vector<std::string>{dir.path(), dir.path()}));
    EXPECT_EQ(l.settingsFile, "my.ini");

    // Nothing given: every choice unset, so the settings file keeps its values.
    const Parsed bare = parse({});
    ASSERT_EQ(bare.status, CommandLineStatus::kRun);
    EXPECT_EQ(std::tie(bare.line.scopeBit, bare.line.fileWord, bare.line.imageWord), std::make_tuple(0, -1, -1));
    EXPECT_TRUE(bare.line.positionals.empty() && bare.line.targetDir.empty() && bare.line.s4ArchiveRoots.empty());
}

TEST(CommandLine, HelpVersionAndUsageErrorsComeBackAsText) {
    const Parsed help = parse({"--help"});
    EXPECT_EQ(help.status, CommandLineStatus::kShowText);
    EXPECT_TRUE(contains(help.messages, "Usage: velarix [OPTIONS] [PATH...]")) << help.messages;
    EXPECT_TRUE(contains(help.messages, "--s4-archive")) << help.messages;
    const Parsed version = parse({"--version"});
    EXPECT_EQ(version.status, CommandLineStatus::kShowText);
    EXPECT_EQ(version.messages, "velarix 3.03\n");

    TempDir dir;
    const std::string semicolon = dir.path() + "a;b";
    dir.write("a;b/file", "");
    const std::pair<std::vector<std::string>, std::string> errors[] = {
        {{"--scope", "week"}, "--scope: week not in {day,month,year,dir}\nRun with --help for more information.\n"},
        {{"--frobnicate"}, "The following argument was not expected: --frobnicate\n"},
        {{"--target", "/no/such/folder"}, "--target: Directory does not exist: /no/such/folder\n"},
        {{"--products", "cmn,tec"}, "velarix: unknown product 'tec' in --products\n"},
        {{"--images", "prn,,map"}, "velarix: unknown image 'map' in --images\n"},
        {{"x.20o", "--s4-archive", semicolon},
         "velarix: --s4-archive " + semicolon + ": folder names holding ';' are not supported\n"},
    };
    for (const auto& [arguments, expected] : errors) {
        const Parsed run = parse(arguments);
        EXPECT_EQ(run.status, CommandLineStatus::kUsageError) << expected;
        EXPECT_TRUE(contains(run.messages, expected)) << run.messages;
    }
}

TEST(CommandLine, ChoicesGivenOverrideTheSettingsAndOnlyThose) {
    RunOptions fromSettings;
    fromSettings.scopeWord = kThisMonth | kAllStations;
    fromSettings.fileWord = kStdFile;
    fromSettings.imageWord = kTecPrnImages | kSkipExistingCmn;
    fromSettings.separateTarget = true;
    fromSettings.targetDir = "/products";
    fromSettings.s4ArchiveRoots = {"/s4"};

    RunOptions options = fromSettings;
    applyCommandLine(CommandLine{}, options);
    EXPECT_EQ(std::tie(options.scopeWord, options.fileWord, options.imageWord, options.targetDir,
                       options.s4ArchiveRoots),
              std::tie(fromSettings.scopeWord, fromSettings.fileWord, fromSettings.imageWord,
                       fromSettings.targetDir, fromSettings.s4ArchiveRoots));

    CommandLine line;
    line.scopeBit = kThisDayOnly;  // the all-stations choice of the settings stays
    line.fileWord = 0;             // --products none
    line.imageWord = kHighResolution;
    line.targetDir = "/elsewhere";
    line.s4ArchiveRoots = {"/a", "/b"};
    options = fromSettings;
    applyCommandLine(line, options);
    EXPECT_EQ(options.scopeWord, kThisDayOnly | kAllStations);
    EXPECT_EQ(options.fileWord, 0);
    EXPECT_EQ(options.imageWord, kHighResolution | kSkipExistingCmn);  // the images replace, the skip switch stays
    EXPECT_EQ(options.targetDir, "/elsewhere");
    EXPECT_EQ(options.s4ArchiveRoots, (std::vector<std::string>{"/a", "/b"}));

    options = RunOptions{};
    line = CommandLine{};
    line.allStations = true;
    line.skipExisting = true;
    line.targetDir = "/t";
    applyCommandLine(line, options);
    EXPECT_TRUE(options.allStations() && options.skipExistingCmn() && options.separateTarget);
}

TEST(CommandLine, JobsAreAWholeNumberOfThreadsAndOverrideTheSettings) {
    EXPECT_EQ(parse({"--jobs", "3", "x.20o"}).line.jobs, 3);
    EXPECT_EQ(parse({"x.20o"}).line.jobs, 0);
    for (const char* bad : {"0", "-2", "two", "1.5", "5000"}) {
        EXPECT_EQ(parse({"--jobs", bad, "x.20o"}).status, CommandLineStatus::kUsageError) << bad;
    }
    RunOptions options;
    options.jobs = 4;  // from the settings file
    applyCommandLine(parse({"x.20o"}).line, options);
    EXPECT_EQ(options.jobs, 4);
    applyCommandLine(parse({"--jobs", "1", "x.20o"}).line, options);
    EXPECT_EQ(options.jobs, 1);
    EXPECT_EQ(options.dayThreads(), 1);
    options.jobs = 0;
    EXPECT_GE(options.dayThreads(), 1);  // one per core
}

}  // namespace velarix
