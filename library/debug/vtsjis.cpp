#include "library/debug/vtsjis.h"

#include <iconv.h>

#include <cerrno>
#include <cstddef>
#include <ostream>

namespace VantrelSystem {
namespace {

// Opened per conversion: a cached one would already be gone when the switchboard writes its
// results at program end, after thread-local objects have been destroyed.
struct TConverter {
    iconv_t Handle = iconv_open("CP932", "UTF-8");
    ~TConverter() {
        if (Handle != iconv_t(-1)) iconv_close(Handle);
    }
};

// Bytes of the UTF-8 sequence a lead byte starts; 1 for a byte that cannot start one.
std::size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC2) return 2;
    return 1;
}

// The bad character at in: its lead byte and the continuation bytes that follow, no further.
std::size_t BadCharacterLength(const char* in, std::size_t left) {
    std::size_t want = SequenceLength(static_cast<unsigned char>(in[0]));
    std::size_t n = 1;
    while (n < want && n < left && (static_cast<unsigned char>(in[n]) & 0xC0) == 0x80) ++n;
    return n;
}

}  // namespace

std::string ToShiftJIS(const std::string& utf8) {
    TConverter converter;
    if (converter.Handle == iconv_t(-1)) return utf8;

    std::string out;
    out.reserve(utf8.size());
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char buffer[256];
    while (inLeft > 0) {
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        std::size_t rc = iconv(converter.Handle, &in, &inLeft, &dst, &dstLeft);
        out.append(buffer, dst - buffer);
        if (rc != std::size_t(-1) || errno == E2BIG) continue;
        // EILSEQ or EINVAL: replace one character and go on after it.
        std::size_t skip = BadCharacterLength(in, inLeft);
        out += '?';
        in += skip;
        inLeft -= skip;
        iconv(converter.Handle, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

void WriteShiftJISLine(std::ostream& os, const std::string& utf8) {
    os << ToShiftJIS(utf8) << std::endl;
}

}  // namespace VantrelSystem
