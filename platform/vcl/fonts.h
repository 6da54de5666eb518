// Fonts found on the system for the canvas text and the dialogs, opened once through SDL_ttf.
#pragma once
#include <SDL_ttf.h>

#include "platform/core/sysutils.h"

namespace Platform {
enum class FontKind { Sans, SansBold, Japanese };
// The font file for a kind: a list of known places first, then fontconfig; "" if none.
AnsiString FindFontFile(FontKind kind);
// An opened font of the kind at a pixel size, cached; null when no font can be opened.
TTF_Font* OpenFont(FontKind kind, int pixelSize);
}  // namespace Platform
