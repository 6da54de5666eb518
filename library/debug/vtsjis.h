// UTF-8 to Shift-JIS (code page 932) for the diagnostics file.
#pragma once
#include <iosfwd>
#include <string>

namespace VantrelSystem {

// Each character without a Shift-JIS form, and each malformed UTF-8 sequence, becomes one '?',
// so a stray character costs one byte of the line and never the rest of the file.
std::string ToShiftJIS(const std::string& utf8);

// Writes the text in Shift-JIS, a new line, and flushes.
void WriteShiftJISLine(std::ostream& os, const std::string& utf8);

}  // namespace VantrelSystem
