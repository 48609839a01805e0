// The names of a day's products, for every kind of input, folder and naming mode.
#include "products/product_names.h"

#include <gtest/gtest.h>

#include <string>

#include "gnss/day_job.h"
#include "stations/lisn_sites.h"

namespace velarix {

namespace {

LisnSite site(const std::string& prefix) {
    LisnSite s;
    s.filePrefix = prefix;
    s.subDirectory = "lapaz";
    return s;
}

const LisnSite kLaPaz = site("lpa");
const LisnSite kShortPrefix = site("ab");

ProductNameFields day(ProductInputKind kind, const std::string& inputName, const LisnSite* lisn = nullptr,
                      const std::string& targetDir = "") {
    ProductNameFields f;
    f.stationCode = "bjfs";
    f.year = 2020;
    f.month = 1;
    f.dayOfMonth = 1;
    f.dayOfYear = 1;
    f.inputKind = kind;
    f.lisnSite = lisn;
    f.inputPath = "/data/" + inputName;
    f.dataFolder = "/data/";
    f.targetDir = targetDir;
    return f;
}

struct NamesCase {
    const char* what;
    ProductNameFields fields;
    // CMN, RINEX copy, CESAR-Dat, 24-hour plot, PRN page 2 (variant 1)
    const char *cmn, *rinexCopy, *cesarDat, *plot24h, *page2;
};

}  // namespace

TEST(ProductNames, EveryKindOfInputFolderAndStem) {
    const NamesCase cases[] = {
        {"RINEX in its data folder", day(ProductInputKind::kRinex, "bjfs0010.20o"),
         "/data/bjfs001-2020-01-01.Cmn", "/data/bjfs0010.20o", "/data/bjfs20001.dat",
         "/data/bjfs001-2020-01-01_page0.png", "/data/bjfs.001-2020-01-01_page2.png"},
        {"RINEX with a target directory and a LISN site",
         day(ProductInputKind::kRinex, "bjfs0010.20o", &kLaPaz, "/out"), "/out/bjfs001-2020-01-01.Cmn",
         "/out/bjfs0010.20o", "/out/bjfs20001.dat", "/out/lapaz/lpa.001-2020-01-01_page0.png",
         "/out/lapaz/bjfs.001-2020-01-01_page2.png"},
        {"RINEX in its data folder with a LISN site", day(ProductInputKind::kRinex, "bjfs0010.20o", &kLaPaz),
         "/data/bjfs001-2020-01-01.Cmn", "/data/bjfs0010.20o", "/data/bjfs20001.dat",
         "/data/lpa.001-2020-01-01_page0.png", "/data/bjfs.001-2020-01-01_page2.png"},
        {"NovAtel", day(ProductInputKind::kNovatel, "200101_000000.nvd", nullptr, "/out/"),
         "/out/NOVA001-2020-01-01.Cmn", "/out/NOVA0010.20o", "/out/bjfs20001.dat",
         "/out/NOVA001-2020-01-01_page0.png", "/out/NOVA001-2020-01-01_page2.png"},
        {"SCINDA", day(ProductInputKind::kScinda, "bjfs_200101.scn"), "/data/bjfs001-2020-01-01.Cmn",
         "/data/bjfs0010.20o", "/data/bjfs20001.dat", "/data/bjfs001-2020-01-01_page0.png",
         "/data/SCND001-2020-01-01_page2.png"},
        {"other input, LISN site, target directory: the site's sub-directory",
         day(ProductInputKind::kOther, "lpa_day.ism", &kLaPaz, "/out/"), "/out/lapaz/lpa.001-2020-01-01.Cmn",
         "/out/lapaz/lpa.0010.20o", "/out/bjfs20001.dat", "/out/lapaz/lpa.001-2020-01-01_page0.png",
         "/out/lapaz/bjfs.001-2020-01-01_page2.png"},
        {"other input, LISN site in the data folder", day(ProductInputKind::kOther, "lpa_day.ism", &kLaPaz),
         "/data/lpa.001-2020-01-01.Cmn", "/data/lpa.0010.20o", "/data/bjfs20001.dat",
         "/data/lpa.001-2020-01-01_page0.png", "/data/bjfs.001-2020-01-01_page2.png"},
        {"other input, no site, a file name of five characters",
         day(ProductInputKind::kOther, "x.ism"), "/data/LISN.UNKN.001-2020-01-01.Cmn", "/data/LISN0010.20o",
         "/data/bjfs20001.dat", "/data/x_page0.png", "/data/bjfs.001-2020-01-01_page2.png"},
        {"other input, no site, a longer file name", day(ProductInputKind::kOther, "ism20200101.dat"),
         "/data/ism2.001-2020-01-01.Cmn", "/data/ism20010.20o", "/data/bjfs20001.dat", "/data/ism20200101_page0.png",
         "/data/bjfs.001-2020-01-01_page2.png"},
        {"a stem shorter than four characters is padded with x", day(ProductInputKind::kOther, "ab.ism", &kShortPrefix),
         "/data/ab.x001-2020-01-01.Cmn", "/data/ab.x0010.20o", "/data/bjfs20001.dat",
         "/data/ab.001-2020-01-01_page0.png", "/data/bjfs.001-2020-01-01_page2.png"},
    };
    for (const NamesCase& c : cases) {
        SCOPED_TRACE(c.what);
        const ProductNames n = NameProducts(c.fields);
        EXPECT_EQ(n.cmn, c.cmn);
        EXPECT_EQ(n.rinexCopy, c.rinexCopy);
        EXPECT_EQ(n.cesarDat, c.cesarDat);
        EXPECT_EQ(Tec24hPlotName(c.fields, 1), c.plot24h);
        EXPECT_EQ(PrnPagePlotName(c.fields, 2, 1), c.page2);
        // The companions of the CMN file share its base.
        const std::string base = n.cmn.substr(0, n.cmn.size() - 4);
        EXPECT_EQ(n.std2Sigma, base + ".Std");
        EXPECT_EQ(n.biasSummary, base + ".Bias");
        EXPECT_EQ(n.biasImage, base + "-wbias.png");
    }
    // Pages of a day whose file name gives no date are named by the file name.
    ProductNameFields undated = day(ProductInputKind::kOther, "x.ism");
    undated.year = undated.dayOfYear = -1;
    EXPECT_EQ(PrnPagePlotName(undated, 2, 1), "/data/x_page2.png");
}

TEST(ProductNames, CommandFileBaseVariantLettersAndTheDayJobsFields) {
    ProductNameFields f = day(ProductInputKind::kRinex, "bjfs0010.20o");
    f.naming = ProductNaming::kFromBase;
    f.base = "/cmd/out/bjfs_day";
    const ProductNames n = NameProducts(f);
    EXPECT_EQ(n.cmn + " " + n.biasSummary, "/cmd/out/bjfs_day.cmn /cmd/out/bjfs_day.Bias");
    EXPECT_EQ(n.std2Sigma, "/data/bjfs001-2020-01-01.Std");  // the others as from the day
    EXPECT_EQ(Tec24hPlotName(f, 2), "/data/bjfs001-2020-01-01_page0a.png");
    EXPECT_EQ(Tec24hPlotName(f, 4), "/data/bjfs001-2020-01-01_page0b.png");
    EXPECT_EQ(PrnPagePlotName(f, 3, 2), "/data/bjfs.001-2020-01-01_page3a.png");

    // A DayJob: the date of its file context, else of its processing day; the kind from
    // its flags (NovAtel recordings also carry the ISM flag); the LISN site its S4 stage
    // matched.
    DayJob job;
    job.context.reset("/data/200101_000000.nvd");
    job.context.inputPath = "/data/200101_000000.nvd";
    job.context.stationCode = "lpaz";
    job.dayStartMjd = 58940.0;  // 2020-04-01
    job.kinds.novatel = job.kinds.ism = 1;
    ProductNameFields fromJob = ProductNameFieldsOf(job, "/out");
    EXPECT_EQ(NameProducts(fromJob).cmn, "/out/NOVA092-2020-04-01.Cmn");
    EXPECT_EQ(fromJob.dataFolder, "/data/");
    job.context.year = 2021;
    job.context.month = 2;
    job.context.dayOfMonth = 3;
    job.context.dayOfYear = 34;
    job.kinds = InputKindFlags{};
    job.kinds.ism = 1;
    job.s4.lisnSiteMatch = 1;
    job.s4.lisnSite = kLaPaz;
    fromJob = ProductNameFieldsOf(job, "");
    EXPECT_EQ(NameProducts(fromJob).cmn, "/data/lpa.034-2021-02-03.Cmn");
    EXPECT_EQ(NameProducts(fromJob).cesarDat, "/data/lpaz21034.dat");
}

}  // namespace velarix
