// The game's random source: non-negative integers below 2^31, seeded once at start-up.
// Tests replace the generator through SetRandomSource.
#pragma once
#include <cstdint>

namespace ZqRandom {
struct RandomSource {
    virtual ~RandomSource() = default;
    virtual void Seed(std::uint32_t seed) = 0;
    virtual int Next() = 0;  // 0 .. 2^31 - 1
};
// Installs a generator; null restores the game's own one, unseeded as at program start.
void SetRandomSource(RandomSource* source);
}  // namespace ZqRandom

// One draw, written r in the game's rules; reduce it with r % n.
int GameRandom();
void SeedGameRandom(std::uint32_t seed);
