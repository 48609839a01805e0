#pragma once
// How a decoder (gzip, .Z, Compact RINEX), the plain copy or expandFile ended. The
// numbers are the ones the log prints ("Decompress error# %d", "expansion failed (%d)"):
// negative from the gzip and .Z decoders and the copy, positive from the Compact RINEX
// decoder, whose 2 and 21 are warnings that keep the output.
#include "platform/status_code.h"

namespace velarix {

enum class DecodeStatus {
    kOk = 0,
    // gzip, .Z and the plain copy
    kCannotOpen = -1,       // cannot open or read the input, or it is no regular file
    kWrongFormat = -2,      // not gzip or .Z data (no magic bytes, or too short)
    kTooManyBits = -3,      // .Z: compressed with more than 16 bits
    kBadFirstCode = -4,     // .Z: first code 256 or more
    kCorrupt = -5,          // corrupt or truncated data
    kWriteFailed = -6,      // a write of the output failed
    kLastWriteFailed = -7,  // .Z: the write of the last output buffer failed
    kEmptyFile = -9,        // the input has zero bytes
    kCannotWrite = -11,     // the output cannot be created (or is the input itself)
    // Compact RINEX
    kCrxBadHeader = 1,           // header error, or an observation value outside the RINEX range
    kCrxEpochsSkipped = 2,       // converted, but epochs were skipped after an error
    kCrxCannotOpen = 4,          // the input cannot be opened, or the output created or written
    kCrxClockOutOfRange = 17,    // a clock offset outside the range of the RINEX epoch line
    kCrxSkippedToEnd = 21,       // no initialized epoch followed an error before the end
};

// Whether a status left a usable output (success or a Compact RINEX warning).
[[nodiscard]] constexpr bool expandSucceeded(DecodeStatus status) {
    return status == DecodeStatus::kOk || status == DecodeStatus::kCrxEpochsSkipped ||
           status == DecodeStatus::kCrxSkippedToEnd;
}

}  // namespace velarix
