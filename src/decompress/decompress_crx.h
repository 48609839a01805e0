#pragma once
// Compact RINEX ("Hatanaka") decoder: Compact RINEX 1.0 (RINEX 2 files) and 3.0 (RINEX 3
// files) back to the RINEX observation file, line by line.
#include <string>

#include "decompress/decode_status.h"
#include "decompress/file_io.h"

namespace velarix {

// Expands `inputPath` into `outputPath`. Results (DecodeStatus::kOk and kCrx...):
//   0  converted; `crxMessage` unchanged
//   2  converted, but epochs were skipped after an error (the last error text, then
//      "line N : skip until an initialized epoch is found......next epoch found at line
//      M.\r\n")
//   21 an error was met and no initialized epoch followed before the end of the file
//      ("line N : skip until an initialized epoch is found......next epoch not found
//      before EOF.\r\nSome epochs are skipped by CRX2RNX\r\n"); the output ends with an
//      event-flag-4 comment record
//   4  the input cannot be opened ("ERROR : can't open %s\r\n", or "ERROR : %s is not a
//      regular file\r\n" for a directory, FIFO or device), nothing written; also
//      when the output cannot be created or written (the same text with its path,
//      "can't write" for a failed write)
//   1  header error, or an observation value outside the RINEX range
//   17 a clock offset outside the range of the RINEX epoch line
// Skipped epochs are replaced by an event-flag-4 record whose comment says so. Nothing is
// written to standard output or error. Limits: 100 satellites per epoch, 100 observation types per
// system, difference order 5, lines shorter than 2048 characters.
//
// Output layout: header lines without trailing blanks; RINEX 2 epoch lines as "%-68.68s"
// plus the clock (F12.9) and continuation lines of 12 satellites; RINEX 3 epoch lines as
// the first 41 characters plus the clock (F15.12); observations as F14.3 (no zero before
// the point) with their two flag characters, five per line in RINEX 2, one line per
// satellite after its identifier in RINEX 3; blank observations are 14 blanks and their
// flags (16 blanks in Compact RINEX 1.0). These records keep trailing blanks where fields
// are blank.
//
// Also: an epoch whose event flag is not 0 or 1 is written with the records it announces
// (trailing blanks removed; type lines among them redefine the types) and does not become
// the reference of the next epoch; an initialized epoch also restarts the clock arc; too
// many satellites, an undeclared system, an order above 5, a malformed epoch line or
// field ("The epoch line is not valid.", "A data field is not a number.", "The clock
// offset is not a number.", "The clock offset arc is not initialized.") skip the epoch.
[[nodiscard]] DecodeStatus DecompressCrx(const std::string& inputPath, const std::string& outputPath,
                                         std::string& crxMessage);
// The same between the files or pipes given (see file_io.h).
[[nodiscard]] DecodeStatus DecompressCrx(const DecoderInput& input, const DecoderOutput& output,
                                         std::string& crxMessage);

}  // namespace velarix
