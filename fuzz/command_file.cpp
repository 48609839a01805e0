// Fuzz target: any bytes as a command file, read by ReadCommandFile and checked by
// ValidateCommandFile.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "control/command_file.h"
#include "fuzz_files.h"
#include "platform/run_log.h"

using namespace velarix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzFiles files("command_file", "task.txt");
    if (!files.writeInput(data, size)) return 0;
    CommandFile file;
    RunLog log;
    if (!ReadCommandFile(files.input(), file, log)) return 0;
    const bool complete = ValidateCommandFile(file, log);
    if (complete != (file.keys == kAllCommandKeys)) std::abort();
    return 0;
}
