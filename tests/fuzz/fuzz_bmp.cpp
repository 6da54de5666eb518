// fuzz-libs: zq_platform_vcl
// The BMP reader on arbitrary bytes: it either returns a picture of the size it claims or raises
// Exception; anything else (a crash, a read out of bounds) is a fault.
#include <cstddef>
#include <cstdint>

#include "platform/vcl/graphics.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        const TPixelBuffer p = Platform::ParseBmp(data, size);
        if (p.Width <= 0 || p.Height <= 0 || p.Pixels.size() != std::size_t(p.Width) * std::size_t(p.Height))
            __builtin_trap();
        for (std::uint32_t px : p.Pixels)
            if (px > 0xFFFFFF) __builtin_trap();
    } catch (const Exception&) {
    }
    return 0;
}
