#include "game/zq_random.h"

#include <random>

namespace {
class MersenneSource : public ZqRandom::RandomSource {
public:
    void Seed(std::uint32_t seed) override { FEngine.seed(seed); }
    int Next() override { return static_cast<int>(FEngine() >> 1); }
private:
    std::mt19937 FEngine;  // default-seeded until the start-up seeds it
};

MersenneSource DefaultSource;
ZqRandom::RandomSource* Current = &DefaultSource;
}  // namespace

void ZqRandom::SetRandomSource(RandomSource* source)
{
    if (!source) {
        DefaultSource = MersenneSource();  // back to the unseeded state a fresh program starts in
        source = &DefaultSource;
    }
    Current = source;
}

int GameRandom() { return Current->Next(); }

void SeedGameRandom(std::uint32_t seed) { Current->Seed(seed); }
