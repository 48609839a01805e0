#pragma once
// The number of a stage's status. Statuses are enum classes whose enumerators keep the
// numbers the program has always printed ("Decompress error# %d", "err = %d", "eof=") and
// returned to the process; statusCode is the one place such a number is taken out.
#include <type_traits>

namespace velarix {

template <typename Status>
    requires std::is_enum_v<Status>
[[nodiscard]] constexpr int statusCode(Status status) noexcept {
    return static_cast<int>(status);
}

}  // namespace velarix
