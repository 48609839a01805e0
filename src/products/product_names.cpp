#include "products/product_names.h"

#include "geodesy/time.h"
#include "gnss/day_job.h"
#include "platform/dir_search.h"
#include "platform/strfmt.h"
#include "stations/lisn_sites.h"

namespace velarix {

namespace {

constexpr std::size_t kCodeLength = 4;
constexpr std::size_t kShortestNamedInput = 6;  // shorter file names give the stem "LISN.UNKN"

std::string withSlash(const std::string& folder) {
    return folder.empty() || folder.back() == '/' ? folder : folder + '/';
}

// The chosen product directory, else the input's folder.
std::string outputFolder(const ProductNameFields& f) {
    return f.targetDir.empty() ? f.dataFolder : withSlash(f.targetDir);
}

// The input file name up to its first point.
std::string fileNameStem(const std::string& path) {
    const std::string name = fileNameOf(path);
    return name.substr(0, name.find('.'));
}

// "ddd-yyyy-mm-dd"
std::string dateText(const ProductNameFields& f) {
    return strfmt("%03d-%04d-%02d-%02d", f.dayOfYear, f.year, f.month, f.dayOfMonth);
}

bool dated(const ProductNameFields& f) { return f.year > 0 && f.dayOfYear > 0; }

// "a" for variant bit 2, "b" for bit 4, and the extension.
std::string plotEnding(int variant) {
    if ((variant & 2) != 0) return "a.png";
    if ((variant & 4) != 0) return "b.png";
    return ".png";
}

}  // namespace

ProductInputKind ProductInputKindOf(const InputKindFlags& kinds) {
    if (kinds.rinexObs != 0) return ProductInputKind::kRinex;
    if (kinds.novatel != 0) return ProductInputKind::kNovatel;
    if (kinds.scinda != 0) return ProductInputKind::kScinda;
    return ProductInputKind::kOther;
}

ProductNames NameProducts(const ProductNameFields& f) {
    ProductNames n;
    n.folder = outputFolder(f);
    switch (f.inputKind) {
        case ProductInputKind::kRinex:
        case ProductInputKind::kScinda: n.stem = f.stationCode; break;
        case ProductInputKind::kNovatel: n.stem = "NOVA"; break;
        case ProductInputKind::kOther: {
            if (!f.targetDir.empty() && f.lisnSite != nullptr) n.folder += withSlash(f.lisnSite->subDirectory);
            const std::string name = fileNameOf(f.inputPath);
            if (f.lisnSite != nullptr) {
                n.stem = f.lisnSite->filePrefix;
            } else {
                n.stem = name.size() < kShortestNamedInput ? "LISN.UNKN" : name.substr(0, kCodeLength);
            }
            n.stem += '.';
            break;
        }
    }
    n.code = n.stem.substr(0, kCodeLength);
    if (n.code.size() < kCodeLength) {
        n.code.resize(kCodeLength, 'x');
        n.stem = n.code;
    }

    const std::string base = n.folder + n.stem;
    const std::string day = strfmt("%03d-%d-%02d-%02d", f.dayOfYear, f.year, f.month, f.dayOfMonth);
    const bool fromBase = f.naming == ProductNaming::kFromBase;
    n.cmn = fromBase ? f.base + ".cmn" : base + day + ".Cmn";
    n.std2Sigma = base + day + ".Std";
    n.biasSummary = fromBase ? f.base + ".Bias" : base + day + ".Bias";
    n.biasImage = base + day + "-wbias.png";
    n.cesarDat = outputFolder(f) + f.stationCode + strfmt("%02d%03d.dat", f.year % 100, f.dayOfYear);
    n.rinexCopy = n.folder + n.code + strfmt("%03d0.%02do", f.dayOfYear, f.year % 100);
    return n;
}

std::string Tec24hPlotName(const ProductNameFields& f, int variant) {
    const std::string folder = outputFolder(f);
    std::string stem;
    if (f.lisnSite != nullptr) {
        const std::string sub = f.targetDir.empty() ? std::string() : withSlash(f.lisnSite->subDirectory);
        stem = folder + sub + f.lisnSite->filePrefix + "." + dateText(f);
    } else if (f.inputKind == ProductInputKind::kRinex || f.inputKind == ProductInputKind::kScinda) {
        stem = folder + f.stationCode + dateText(f);
    } else if (f.inputKind == ProductInputKind::kNovatel) {
        stem = folder + "NOVA" + dateText(f);
    } else {
        stem = folder + fileNameStem(f.inputPath);
    }
    return stem + "_page0" + plotEnding(variant);
}

std::string PrnPagePlotName(const ProductNameFields& f, int page, int variant) {
    const std::string folder = outputFolder(f);
    std::string stem;
    if (!f.targetDir.empty() && f.lisnSite != nullptr) {
        stem = folder + withSlash(f.lisnSite->subDirectory) + f.stationCode + "." + dateText(f);
    } else if (f.inputKind == ProductInputKind::kScinda) {
        stem = folder + "SCND" + dateText(f);
    } else if (f.inputKind == ProductInputKind::kNovatel) {
        stem = folder + "NOVA" + dateText(f);
    } else if (dated(f)) {
        stem = folder + f.stationCode + "." + dateText(f);
    } else {
        stem = folder + fileNameStem(f.inputPath);
    }
    return stem + strfmt("_page%d", page) + plotEnding(variant);
}

ProductNameFields ProductNameFieldsOf(const DayJob& job, const std::string& targetDir) {
    const CurrentFileContext& c = job.context;
    ProductNameFields f;
    f.stationCode = c.stationCode;
    if (c.year > 0 && c.month > 0 && c.dayOfMonth > 0 && c.dayOfYear > 0) {
        f.year = c.year;
        f.month = c.month;
        f.dayOfMonth = c.dayOfMonth;
        f.dayOfYear = c.dayOfYear;
    } else if (job.dayStartMjd > 0.0) {
        DateTime day;
        day.FromMjd(job.dayStartMjd);
        f.year = day.year;
        f.month = day.month;
        f.dayOfMonth = day.day;
        f.dayOfYear = day.DayOfYear();
    }
    f.inputKind = ProductInputKindOf(job.kinds);
    f.lisnSite = job.s4.lisnSiteMatch != 0 ? &job.s4.lisnSite : nullptr;
    f.inputPath = c.inputPath.empty() ? c.decompressedInputPath : c.inputPath;
    f.dataFolder = c.dataDirectory;
    f.targetDir = targetDir;
    return f;
}

}  // namespace velarix
