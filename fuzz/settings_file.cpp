// Fuzz target: any bytes as the settings file, applied by loadSettings. The choices
// loaded must come back unchanged after saving them and loading the saved file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <tuple>

#include "fuzz_files.h"
#include "ui/settings.h"

using namespace velarix;

namespace {
auto storedChoices(const RunOptions& o) {
    return std::make_tuple(o.scopeWord, o.fileWord, o.imageWord & ~kSkipExistingCmn, o.separateTarget, o.targetDir,
                           o.s4ArchiveRoots);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzFiles files("settings_file");
    if (!files.writeInput(data, size)) return 0;
    RunOptions loaded;
    (void)loadSettings(files.input(), loaded);  // any file, read or refused, must save and reload alike
    std::remove(files.output().c_str());  // saving keeps what a file holds already
    if (!saveSettings(files.output(), loaded)) return 0;
    RunOptions reloaded;
    (void)loadSettings(files.output(), reloaded);  // what matters is the choices read back, compared below
    if (storedChoices(reloaded) != storedChoices(loaded)) std::abort();
    return 0;
}
