#include "platform/core/sysutils.h"

#include <cctype>

int AnsiCompareText(const AnsiString& a, const AnsiString& b)
{
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const int ca = std::tolower(static_cast<unsigned char>(a[i]));
        const int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca - cb;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

AnsiString IntToStr(int value) { return std::to_string(value); }
