// Canvas text through SDL_ttf. What a text renders to is kept per (text, size, style) as a
// coverage mask, so a text drawn every frame costs one blend of its pixels.
#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <map>
#include <memory>
#include <tuple>

#include "platform/vcl/fonts.h"
#include "platform/vcl/graphics.h"

namespace {
const char* const SansPaths[] = {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"};
const char* const SansBoldPaths[] = {"/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"};
const char* const JapanesePaths[] = {"/usr/share/fonts/truetype/vlgothic/VL-Gothic-Regular.ttf",
                                     "/usr/share/fonts/truetype/fonts-japanese-gothic.ttf"};

AnsiString FontConfigMatch(const char* pattern)
{
    const AnsiString command = AnsiString("fc-match -f '%{file}' '") + pattern + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return "";
    char buffer[1024];
    AnsiString file;
    while (std::fgets(buffer, sizeof buffer, pipe)) file += buffer;
    pclose(pipe);
    return file;
}

bool Readable(const AnsiString& path)
{
    FILE* f = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
    if (f) std::fclose(f);
    return f != nullptr;
}

struct TextMask {
    int Width = 0, Height = 0;
    std::vector<std::uint8_t> Coverage;
};
using TextKey = std::tuple<AnsiString, int, bool>;
constexpr std::size_t MaxCachedTexts = 512;

std::map<TextKey, TextMask>& TextCache()
{
    static std::map<TextKey, TextMask> cache;
    return cache;
}

int PixelSize(const TFont& font)
{
    return std::max(1, (font.Size * 96 + 36) / 72);
}

const TextMask& MaskFor(const TFont& font, const AnsiString& text)
{
    const bool bold = font.Style.Contains(fsBold);
    const TextKey key{text, PixelSize(font), bold};
    auto& cache = TextCache();
    if (auto it = cache.find(key); it != cache.end()) return it->second;
    if (cache.size() >= MaxCachedTexts) cache.clear();
    TextMask& mask = cache[key];
    TTF_Font* ttf = Platform::OpenFont(bold ? Platform::FontKind::SansBold : Platform::FontKind::Sans, PixelSize(font));
    if (!ttf || text.empty()) return mask;
    SDL_Surface* rendered = TTF_RenderUTF8_Blended(ttf, text.c_str(), SDL_Color{255, 255, 255, 255});
    if (!rendered) return mask;
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(rendered);
    if (!argb) return mask;
    mask.Width = argb->w;
    mask.Height = argb->h;
    mask.Coverage.resize(std::size_t(argb->w) * argb->h);
    SDL_LockSurface(argb);
    for (int y = 0; y < argb->h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const std::uint8_t*>(argb->pixels) + y * argb->pitch);
        for (int x = 0; x < argb->w; ++x) mask.Coverage[std::size_t(y) * argb->w + x] = std::uint8_t(row[x] >> 24);
    }
    SDL_UnlockSurface(argb);
    SDL_FreeSurface(argb);
    return mask;
}

std::uint32_t Mix(std::uint32_t under, std::uint32_t over, unsigned alpha)
{
    std::uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const unsigned u = (under >> shift) & 0xFF, o = (over >> shift) & 0xFF;
        out |= ((o * alpha + u * (255 - alpha) + 127) / 255) << shift;
    }
    return out;
}
}  // namespace

AnsiString Platform::FindFontFile(FontKind kind)
{
    auto first = [](const auto& paths, const char* pattern) -> AnsiString {
        for (const char* p : paths)
            if (Readable(p)) return p;
        const AnsiString matched = FontConfigMatch(pattern);
        return Readable(matched) ? matched : "";
    };
    switch (kind) {
    case FontKind::Sans: return first(SansPaths, "DejaVu Sans");
    case FontKind::SansBold: return first(SansBoldPaths, "DejaVu Sans:bold");
    case FontKind::Japanese: return first(JapanesePaths, "VL Gothic:lang=ja");
    }
    return "";
}

TTF_Font* Platform::OpenFont(FontKind kind, int pixelSize)
{
    struct Closer {
        void operator()(TTF_Font* f) const { TTF_CloseFont(f); }
    };
    static std::map<std::pair<FontKind, int>, std::unique_ptr<TTF_Font, Closer>> fonts;
    static std::map<FontKind, AnsiString> files;
    if (!TTF_WasInit() && TTF_Init() != 0) return nullptr;
    auto& slot = fonts[{kind, pixelSize}];
    if (slot) return slot.get();
    if (!files.count(kind)) files[kind] = FindFontFile(kind);
    if (files[kind].empty()) return nullptr;
    slot.reset(TTF_OpenFont(files[kind].c_str(), pixelSize));
    return slot.get();
}

void TCanvas::TextOut(int x, int y, const AnsiString& text)
{
    const TextMask& mask = MaskFor(FFont, text);
    if (mask.Width == 0) return;
    FBuffer.Touch();
    if (FBrush.Style == bsSolid) {
        const std::uint32_t back = std::uint32_t(FBrush.Color) & 0xFFFFFF;
        for (int row = 0; row < mask.Height; ++row) FillSpan(y + row, x, x + mask.Width, back);
    }
    const std::uint32_t color = std::uint32_t(FFont.Color) & 0xFFFFFF;
    for (int row = std::max(0, -y); row < mask.Height && y + row < FBuffer.Height; ++row) {
        const std::uint8_t* cover = &mask.Coverage[std::size_t(row) * mask.Width];
        std::uint32_t* out = FBuffer.Pixels.data() + std::size_t(y + row) * FBuffer.Width;
        for (int col = std::max(0, -x); col < mask.Width && x + col < FBuffer.Width; ++col) {
            std::uint32_t& p = out[x + col];
            if (cover[col] == 255) p = color;
            else if (cover[col] != 0) p = Mix(p, color, cover[col]);
        }
    }
}

int TCanvas::TextWidth(const AnsiString& text)
{
    return MaskFor(FFont, text).Width;
}

int TCanvas::TextHeight(const AnsiString& text)
{
    return MaskFor(FFont, text).Height;
}
