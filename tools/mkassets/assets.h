// Every picture, sound and the tune of the game, each made by code; main.cpp writes them out.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/mkassets/canvas.h"

namespace Assets {

// Sprites loaded from bmp/ at start-up, in image-list order.
std::vector<Canvas> ExplosionFrames();  // 16 of 96 x 96, bloom to fade
std::vector<Canvas> ShotFrames();       // 3 of 80 x 80
std::vector<Canvas> ShipFrames();       // 7 of 80 x 80, hard left to hard right
std::vector<Canvas> BonusFrames();      // 8 of 80 x 80 spin positions
std::vector<Canvas> ShooterFrames();    // 8 of 80 x 80 spin positions
std::vector<Canvas> BulletFrames();     // 4 of 24 x 24
std::vector<Canvas> PuffFrames();       // 7 of 24 x 24, growing and fading

// The lists stored with the window.
std::vector<Canvas> GlyphFont();    // 39 of 16 x 16: digits, A..Z, three red dots
std::vector<Canvas> Labels();       // 4 of 75 x 17
std::vector<Canvas> SparkFrames();  // 6 of 10 x 10
std::vector<Canvas> DigitFont();    // 10 of 16 x 16
Canvas TitleLogo();                 // 230 x 109

// Font0's three glowing red dots, step 0 the largest (16 x 16).
Canvas RedDot(int step);

// The level ship alone, for the window icon and the desktop entry.
Canvas Icon(int size);

// Complete RIFF wave files of the fixed byte counts the game reads.
std::vector<uint8_t> ShotWave();
std::vector<uint8_t> ShipHitWave();
std::vector<uint8_t> ShooterHitWave();
std::vector<uint8_t> BonusHitWave();

// The looping background tune as a Standard MIDI File, format 1.
std::vector<uint8_t> Song();

}  // namespace Assets
