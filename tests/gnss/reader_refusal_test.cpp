// The SP3, IONEX, TEC-table and S4 readers refuse a folder (or FIFO, device) as no
// regular file, naming it, instead of reading it as an empty file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "gnss/checks/ionex_reader.h"
#include "gnss/checks/sp3_reader.h"
#include "gnss/checks/vtec_samples.h"
#include "gnss/s4/s4_file.h"
#include "platform/run_log.h"
#include "test_support.h"

namespace velarix {

TEST(ReaderRefusal, AFolderIsNoSp3IonexTecTableOrS4File) {
    TempDir dir;
    const auto folder = [&dir](const std::string& name) {
        std::filesystem::create_directory(dir.path() + name);
        return dir.path() + name;
    };
    const std::string sp3 = folder("COD20863.EPH"), ionex = folder("codg0010.20i"), table = folder("tec.tsv"),
                      s4 = folder("abcd001.s4");
    RunLog log;
    Sp3Orbits orbits;
    EXPECT_EQ(ReadSp3File(sp3, orbits, log), -1);
    IonexMaps maps;
    EXPECT_EQ(ReadIonexFile(ionex, maps, log), IonexReadResult::kCannotOpen);
    std::vector<VtecSample> samples;
    EXPECT_EQ(ReadTecToolTable(table, samples, log), VtecReadResult::kCannotOpen);
    S4FileTable records;
    EXPECT_EQ(readS4File(s4, records, log), kS4FileNotRegularFile);
    EXPECT_EQ(log.messages, "\r\nError! SP3 file " + sp3 + ": not a regular file\r\nError! IONEX file " + ionex +
                                ": not a regular file\r\nError! TEC table file " + table +
                                ": not a regular file\r\nError! S4 file " + s4 + ": not a regular file\r\n");

    // A missing file is told apart.
    RunLog missing;
    EXPECT_EQ(ReadTecToolTable(dir.path() + "none.tsv", samples, missing), VtecReadResult::kCannotOpen);
    EXPECT_EQ(missing.messages, "\r\nError! TEC table file " + dir.path() + "none.tsv: cannot open");
}

}  // namespace velarix
