#pragma once
// Command files: a small text file of keys that lets a script run one day without the
// option panel. Key words (compared without regard to case, in any order) are followed
// by their values; other words are skipped:
//
//   Data_Path        the folder of the input files (the rest of the line)
//   OutPut_path      the folder of the products (the rest of the line)
//   Read_All_inDir   Yes: every observation file of the station and day in Data_Path
//   year             the year (four digits, or two: 80-99 are 19xx)
//   Day_of_Year      the day of the year
//   Nav_filename     navigation file names, closed by the word "end"
//   input_Filenames  observation file names, closed by the word "end"
//   Use_Sat_DCB      Yes/No: apply the satellites' P1-P2 biases of CODE's DCB files
//   Use_Rx_bias      Yes/No: apply the receiver bias of the station's ".Bias" file of the day
//
// A folder that is not absolute is taken from the command file's own folder; file names
// that are not absolute are names in Data_Path.
#include <string>
#include <vector>

namespace velarix {

class RunLog;

enum CommandFileKey : unsigned {
    kKeyDataPath = 0x001,
    kKeyOutputPath = 0x002,
    kKeyReadAllInDir = 0x004,
    kKeyYear = 0x008,
    kKeyDayOfYear = 0x010,
    kKeyNavigationFiles = 0x020,
    kKeyInputFiles = 0x040,
    kKeyUseSatDcb = 0x080,
    kKeyUseRxBias = 0x100,
};
constexpr unsigned kAllCommandKeys = 0x1FF;

struct CommandFile {
    std::string path;        // the command file
    std::string dataPath;    // ends in '/'
    std::string outputPath;  // ends in '/'
    bool readAllInDir = false;
    int year = -1;  // four digits
    int dayOfYear = -1;
    std::vector<std::string> navigationFiles;  // as written
    std::vector<std::string> inputFiles;
    bool useSatDcb = true;
    bool useRxBias = false;
    unsigned keys = 0;  // the CommandFileKey of every key read with a usable value
};

constexpr std::size_t kMaxCommandFileBytes = 1 << 20;

// Reads the command file `path` into `file`. Values that cannot be used are reported
// and leave their key unset (a folder that does not exist, a year or day that is no
// date, a list without names); Yes/No keys with another word keep their default (No for
// Read_All_inDir and Use_Rx_bias, Yes for Use_Sat_DCB) with a warning. False (reported)
// when the file cannot be read.
[[nodiscard]] bool ReadCommandFile(const std::string& path, CommandFile& file, RunLog& log);

// True when every key was read. Otherwise appends "Errors in input text file, please
// correct it.." and one line per missing key, in the order of their bits.
[[nodiscard]] bool ValidateCommandFile(const CommandFile& file, RunLog& log);

}  // namespace velarix
