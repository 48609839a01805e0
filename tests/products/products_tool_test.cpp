// `velarix-tools products`: the example day's products and plots into a folder, listed on
// standard output; the choices of products and plots; failures and usage errors.
#include <gtest/gtest.h>

#include <filesystem>

#include "test_support.h"

namespace velarix {

namespace {

const std::string kExamples = std::string(VELARIX_SOURCE_DIR) + "/examples/";

std::string exampleDay() {
    return kExamples + "bjfs0010.20o " + kExamples + "brdc0010.20n " + kExamples + "P1P22001_ALL.DCB.Z " + kExamples +
           "P1C12001.DCB.Z";
}

std::string listing(const std::string& folder) {
    return runCommand("cd '" + folder + "' && ls -A").output;
}

}  // namespace

TEST(ProductsTool, WritesTheDaysProductsAndPlotsIntoTheFolderAndListsThem) {
    TempDir out;
    const ToolRun all = runTools("products " + exampleDay() + " --out " + out.path(), "2>/dev/null");
    ASSERT_EQ(all.exitCode, 0);
    const std::string expected =
        "bjfs.001-2020-01-01_page1.png\nbjfs.001-2020-01-01_page2.png\nbjfs.001-2020-01-01_page3.png\n"
        "bjfs.001-2020-01-01_page4.png\nbjfs001-2020-01-01-wbias.png\nbjfs001-2020-01-01.Bias\n"
        "bjfs001-2020-01-01.Cmn\nbjfs001-2020-01-01.Std\nbjfs001-2020-01-01_page0.png\nbjfs20001.dat\n";
    EXPECT_EQ(listing(out.path()), expected);
    for (const char* name : {"bjfs001-2020-01-01.Cmn", "bjfs001-2020-01-01_page0.png", "bjfs20001.dat"}) {
        EXPECT_TRUE(contains(all.output, out.path() + name + "\n")) << all.output;
    }

    TempDir some;
    const ToolRun cmnOnly =
        runTools("products " + exampleDay() + " --out " + some.path() + " --products cmn --images none", "2>/dev/null");
    EXPECT_EQ(cmnOnly.exitCode, 0);
    EXPECT_EQ(cmnOnly.output, some.path() + "bjfs001-2020-01-01.Cmn\n");
    EXPECT_EQ(listing(some.path()), "bjfs001-2020-01-01.Cmn\n");
}

TEST(ProductsTool, ADayThatCannotBeReadOrAWrongCommandLineWritesNothing) {
    TempDir out;
    const ToolRun noNavigation = runTools("products " + kExamples + "bjfs0010.20o " + out.path() +
                                              "missing.20n --out " + out.path(),
                                          "2>&1");
    EXPECT_EQ(noNavigation.exitCode, 1);
    EXPECT_TRUE(contains(noNavigation.output, "missing.20n")) << noNavigation.output;
    for (const std::string& arguments : {"products " + exampleDay() + " --images tec24,sky --out " + out.path(),
                                        "products " + exampleDay() + " --out " + out.path() + "no-such-folder",
                                        std::string("products ") + kExamples + "bjfs0010.20o"}) {
        EXPECT_EQ(runTools(arguments, "2>/dev/null").exitCode, 2) << arguments;
    }
    EXPECT_EQ(listing(out.path()), "");
}

}  // namespace velarix
