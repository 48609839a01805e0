#include "platform/strfmt.h"

#include <gtest/gtest.h>
#include <locale.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "test_support.h"

namespace velarix {

namespace {

// A German locale compiled into `folder` (glibc's locale sources ship with the C
// library here); null when this machine cannot build one.
locale_t decimalCommaLocale(const TempDir& folder) {
    const std::string target = folder.path() + "de_DE.UTF-8";
    const std::string command = "localedef -c -i de_DE -f UTF-8 '" + target + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) == -1 || !std::filesystem::is_directory(target)) return locale_t{};
    setenv("LOCPATH", folder.path().c_str(), 1);
    const locale_t german = newlocale(LC_NUMERIC_MASK, "de_DE.UTF-8", locale_t{});
    unsetenv("LOCPATH");
    return german;
}

std::string printfText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

}  // namespace

TEST(Strfmt, DecimalPointWhateverLocaleTheThreadUses) {
    TempDir folder;
    const locale_t german = decimalCommaLocale(folder);
    if (german == locale_t{}) GTEST_SKIP() << "no decimal-comma locale can be built here";
    const locale_t before = uselocale(german);
    ASSERT_EQ(printfText(1.5), "1,50");  // the locale is in force for plain printf

    EXPECT_EQ(strfmt("%.2f %6.3lf %d", 1.5, -12.25, 7), "1.50 -12.250 7");
    EXPECT_EQ(strfmt("%s", std::string(300, 'x').c_str()).size(), 300u);  // the long path too
    EXPECT_EQ(printfText(2.25), "2,25");  // the thread's own locale is given back

    uselocale(before);
    freelocale(german);
}

}  // namespace velarix
