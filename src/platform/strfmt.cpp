#include "platform/strfmt.h"

#include <locale.h>

#include <cstdarg>
#include <cstdio>

namespace velarix {

namespace {

// The C locale on the calling thread while it lives; the thread's own afterwards.
class CLocaleScope {
public:
    CLocaleScope() : previous_(uselocale(cLocale())) {}
    ~CLocaleScope() {
        if (previous_ != locale_t{}) uselocale(previous_);
    }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    static locale_t cLocale() {
        static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t{});
        return c != locale_t{} ? c : LC_GLOBAL_LOCALE;
    }
    locale_t previous_;
};

}  // namespace

std::string strfmt(const char* format, ...) {
    const CLocaleScope cLocale;
    char small[256];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    std::string text;
    if (length < 0) {
        va_end(again);
        return text;
    }
    if (static_cast<size_t>(length) < sizeof small) {
        text.assign(small, static_cast<size_t>(length));
    } else {
        text.resize(static_cast<size_t>(length));
        std::vsnprintf(text.data(), text.size() + 1, format, again);
    }
    va_end(again);
    return text;
}

}  // namespace velarix
