#include "ui/settings.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <system_error>

#include "platform/paths.h"
#include "platform/text.h"
#include "ui/ini_file.h"

namespace velarix {

namespace {

const char* const kProcess = "Process Options";
const char* const kFiles = "Output File Options";
const char* const kImages = "Output Image Options";
const char* const kS4 = "S4 Options";
const char* const kArchiveRoots = "Archive Roots";
const char* const kCalibrationSection = "Calibration Options";
const char* const kCalibrationKey = "Calibration";
const char* const kMappingKey = "Mapping";
const char* const kJobs = "Jobs";

struct KeyBit {
    const char* key;
    int bit;
};

const KeyBit kScopeKeys[] = {{"This Day only", kThisDayOnly},
                             {"This Month", kThisMonth},
                             {"This Year", kThisYear},
                             {"This Directory", kThisDirectory}};
const KeyBit kFileKeys[] = {{"CMN file", kCmnFile},
                            {"STD file", kStdFile},
                            {"Bias file", kBiasFile},
                            {"Depletion file", kDepletionFile},
                            {"DAT file", kDatFile}};
const KeyBit kImageKeys[] = {{"TEC 24hour Image", kTec24HourImage},
                             {"TEC PRN Images", kTecPrnImages},
                             {"Biased/unBiased TEC plot", kBiasedUnbiasedPlot},
                             {"Depletion Image", kDepletionImage},
                             {"High Resolution", kHighResolution}};

const char* truth(bool value) { return value ? "true" : "false"; }

// "Jobs": a whole number of days run side by side; anything else (and 0) means one per
// core.
int jobsValue(const std::string& text) {
    const std::string_view value = trim(text);
    int jobs = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), jobs);
    if (error != std::errc() || end != value.data() + value.size() || jobs < 0 || jobs > kMostDayThreads) return 0;
    return jobs;
}

}  // namespace

std::string settingsPath(const std::string& programDir) {
    const std::string directory = writableProgramDirectory(programDir);
    return directory.empty() ? std::string() : directory + "Velarix.ini";
}

namespace {

// The file at `path` is replaced only when it is a settings file (or empty): a mistyped
// --settings must not overwrite an observation file or anything else.
IniStatus loadForSaving(const std::string& path, IniFile& ini) {
    if (path.empty()) return IniStatus::kNotWritten;
    const IniStatus loaded = ini.load(path);
    if (loaded == IniStatus::kMissing) return IniStatus::kOk;
    if (loaded != IniStatus::kOk) return loaded;
    for (const char* section : {kProcess, kFiles, kImages, kS4, kCalibrationSection}) {
        if (ini.hasSection(section)) return IniStatus::kOk;
    }
    std::error_code error;
    return std::filesystem::file_size(path, error) == 0 && !error ? IniStatus::kOk : IniStatus::kNotSettingsFile;
}

bool failed(IniStatus status, std::string* reason) {
    if (status == IniStatus::kOk) return false;
    if (reason != nullptr) *reason = iniStatusText(status);
    return true;
}

}  // namespace

bool saveSettings(const std::string& path, const RunOptions& options, std::string* reason) {
    IniFile ini;  // keeps whatever else the file holds
    if (failed(loadForSaving(path, ini), reason)) return false;
    for (const KeyBit& k : kScopeKeys) ini.set(kProcess, k.key, truth(options.scopeWord & k.bit));
    ini.set(kProcess, "Is All Stations", truth(options.allStations()));
    if (options.jobs > 0) {
        ini.set(kProcess, kJobs, std::to_string(options.jobs));
    } else {
        ini.remove(kProcess, kJobs);
    }
    if (options.separateTarget) {
        ini.set(kFiles, "Target Directory", "true");
        ini.set(kFiles, "Target Path", options.targetDir);
    } else {
        ini.set(kFiles, "Target Directory", "false");
        ini.remove(kFiles, "Target Path");
    }
    for (const KeyBit& k : kFileKeys) ini.set(kFiles, k.key, truth(options.fileWord & k.bit));
    for (const KeyBit& k : kImageKeys) ini.set(kImages, k.key, truth(options.imageWord & k.bit));
    ini.set(kS4, kArchiveRoots, joinArchiveRoots(options.s4ArchiveRoots));
    ini.set(kCalibrationSection, kCalibrationKey, calibrationName(options.calibration));
    ini.set(kCalibrationSection, kMappingKey, mappingName(options.mapping));
    return !failed(ini.save(path), reason);
}

SettingsChange loadSettings(const std::string& path, RunOptions& options, std::string* problem) {
    IniFile ini;
    const IniStatus loaded = path.empty() ? IniStatus::kMissing : ini.load(path);
    if (loaded != IniStatus::kMissing) failed(loaded, problem);
    if (loaded != IniStatus::kOk) return SettingsChange::kNone;
    SettingsChange changed = SettingsChange::kNone;
    auto isTrue = [&](const char* section, const char* key) { return ini.get(section, key) == "true"; };
    auto present = [&](const char* section, const char* key) { return ini.get(section, key).has_value(); };

    for (const KeyBit& k : kScopeKeys) {
        if (isTrue(kProcess, k.key)) {
            options.selectScope(k.bit);
            changed = SettingsChange::kScope;
        }
    }
    if (present(kProcess, "Is All Stations")) {
        if (isTrue(kProcess, "Is All Stations")) {
            options.scopeWord |= kAllStations;
        } else {
            options.scopeWord &= ~kAllStations;
        }
        changed = SettingsChange::kScope;
    }
    if (const auto jobs = ini.get(kProcess, kJobs)) options.jobs = jobsValue(*jobs);
    if (isTrue(kFiles, "Target Directory")) {
        options.separateTarget = true;
        const std::string target = ini.get(kFiles, "Target Path").value_or("");
        if (!target.empty()) options.targetDir = target;
        changed = std::max(changed, SettingsChange::kOutput);
    } else if (present(kFiles, "Target Directory")) {
        options.separateTarget = false;
        changed = std::max(changed, SettingsChange::kOutput);
    }
    auto applyBits = [&](const char* section, const KeyBit* keys, size_t count, int& word) {
        for (size_t i = 0; i < count; ++i) {
            if (!present(section, keys[i].key)) continue;
            word = isTrue(section, keys[i].key) ? (word | keys[i].bit) : (word & ~keys[i].bit);
            changed = std::max(changed, SettingsChange::kOutput);
        }
    };
    applyBits(kFiles, kFileKeys, std::size(kFileKeys), options.fileWord);
    applyBits(kImages, kImageKeys, std::size(kImageKeys), options.imageWord);
    if (const auto roots = ini.get(kS4, kArchiveRoots)) options.s4ArchiveRoots = splitArchiveRoots(*roots);
    // An unknown word keeps the choice as it was and is named, not silently taken.
    const auto unknownWord = [&](const char* key, const std::string& word) {
        if (problem != nullptr) *problem = std::string(kCalibrationSection) + ", " + key + ": unknown choice '" + word + "'";
    };
    if (const auto word = ini.get(kCalibrationSection, kCalibrationKey); word && !parseCalibration(*word, options.calibration))
        unknownWord(kCalibrationKey, *word);
    if (const auto word = ini.get(kCalibrationSection, kMappingKey); word && !parseMapping(*word, options.mapping))
        unknownWord(kMappingKey, *word);
    return changed;
}

std::vector<std::string> splitArchiveRoots(const std::string& value) {
    std::vector<std::string> roots;
    std::size_t start = 0;
    while (start <= value.size()) {
        std::size_t end = value.find(';', start);
        if (end == std::string::npos) end = value.size();
        const std::string_view root = trim(std::string_view(value).substr(start, end - start));
        if (!root.empty()) roots.emplace_back(root);
        start = end + 1;
    }
    return roots;
}

std::string joinArchiveRoots(const std::vector<std::string>& roots) {
    std::string value;
    for (const std::string& root : roots) {
        if (!value.empty()) value += ';';
        value += root;
    }
    return value;
}

}  // namespace velarix
