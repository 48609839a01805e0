#pragma once
// The names of every product of a station-day: the text products, the RINEX copy of
// non-RINEX input and the plot files. One helper serves the writers, the plots and the
// run driver's test for days already done, so that they always agree.
#include <string>

namespace velarix {

struct DayJob;
struct InputKindFlags;
struct LisnSite;

// What the recording is, as far as the names care.
enum class ProductInputKind { kRinex, kNovatel, kScinda, kOther };

// RINEX first, then NovAtel, then SCINDA; anything else (ISM...) is kOther.
ProductInputKind ProductInputKindOf(const InputKindFlags& kinds);

// How the CMN and bias summary files are named: from the day (the interactive
// pipelines), or from a base path without extension given by a command file.
enum class ProductNaming { kFromDay = 0, kFromBase = 1 };

// Everything the names are made of.
struct ProductNameFields {
    std::string stationCode;  // four characters
    int year = -1;            // four digits
    int month = -1;
    int dayOfMonth = -1;
    int dayOfYear = -1;
    ProductInputKind inputKind = ProductInputKind::kRinex;
    const LisnSite* lisnSite = nullptr;  // the matched LISN site, if any
    std::string inputPath;               // the input file; its name is the text after the last '/'
    std::string dataFolder;              // the input's folder, ending in '/'
    std::string targetDir;               // "" : products go to the data folder
    ProductNaming naming = ProductNaming::kFromDay;
    std::string base;  // kFromBase: full path without extension
};

struct ProductNames {
    std::string folder;  // ends in '/'
    std::string stem;
    std::string code;  // four characters
    std::string cmn;
    std::string std2Sigma;  // ".Std"
    std::string biasSummary;
    std::string biasImage;  // "-wbias.png"
    std::string cesarDat;
    std::string rinexCopy;
};

ProductNames NameProducts(const ProductNameFields& fields);

// The 24-hour TEC plot: "..._page0" with the variant's letter ('a' for bit 2, 'b' for
// bit 4) and ".png".
std::string Tec24hPlotName(const ProductNameFields& fields, int variant);
// Page `page` (from 1) of the per-satellite plots, named as the 24-hour plot's variant.
std::string PrnPagePlotName(const ProductNameFields& fields, int page, int variant);

// The fields of a DayJob: the file context (its date, or the processing day when the
// context has none), the input kind and the matched LISN site. `targetDir` is the chosen
// product directory, "" for the data folder.
ProductNameFields ProductNameFieldsOf(const DayJob& job, const std::string& targetDir);

}  // namespace velarix
