// The four sound effects, synthesised as 22050 Hz 16-bit mono so each file is exactly as long as
// the game reads: 44 header bytes plus two bytes a sample.
#include <algorithm>
#include <cmath>
#include <functional>

#include "tools/mkassets/assets.h"

namespace Assets {

namespace {

const int Rate = 22050;
const float Pi = 3.14159265f;
const size_t HeaderBytes = 44;

// One-pole low-pass whose cut-off may move every sample.
class LowPass {
 public:
  float Run(float in, float cutoff) {
    float k = 1 - std::exp(-2 * Pi * cutoff / Rate);
    State += (in - State) * k;
    return State;
  }

 private:
  float State = 0;
};

// Oscillator that integrates its frequency, so sweeps stay smooth.
class Phase {
 public:
  float Step(float freq) {
    Value += freq / Rate;
    Value -= std::floor(Value);
    return Value;
  }

 private:
  float Value = 0;
};

float Sine(float phase) { return std::sin(2 * Pi * phase); }
float Rise(float t, float seconds) { return Clamp01(t / seconds); }

std::vector<float> Render(size_t file_bytes, const std::function<float(float t)>& voice) {
  std::vector<float> out((file_bytes - HeaderBytes) / 2);
  for (size_t i = 0; i < out.size(); ++i) out[i] = voice(static_cast<float>(i) / Rate);
  return out;
}

void Put(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

void PutLe(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Peak at -1.5 dBFS, short fades at both ends against clicks, then a complete RIFF file.
std::vector<uint8_t> Wave(std::vector<float> s) {
  float peak = 0;
  for (float v : s) peak = std::max(peak, std::abs(v));
  const float gain = peak > 0 ? 0.84f / peak : 0;
  const size_t fade_in = Rate / 1000, fade_out = Rate / 100;
  for (size_t i = 0; i < s.size(); ++i) {
    float k = gain * std::min(1.0f, static_cast<float>(i) / fade_in);
    if (i + fade_out > s.size()) k *= static_cast<float>(s.size() - i) / fade_out;
    s[i] *= k;
  }
  const uint32_t data = static_cast<uint32_t>(s.size() * 2);
  std::vector<uint8_t> out;
  out.reserve(HeaderBytes + data);
  Put(out, "RIFF");
  PutLe(out, 36 + data, 4);
  Put(out, "WAVE");
  Put(out, "fmt ");
  PutLe(out, 16, 4);
  PutLe(out, 1, 2);  // PCM
  PutLe(out, 1, 2);  // mono
  PutLe(out, Rate, 4);
  PutLe(out, Rate * 2, 4);
  PutLe(out, 2, 2);
  PutLe(out, 16, 2);
  Put(out, "data");
  PutLe(out, data, 4);
  for (float v : s) PutLe(out, static_cast<uint16_t>(static_cast<int16_t>(std::lround(v * 32767))), 2);
  return out;
}

}  // namespace

std::vector<uint8_t> ShotWave() {
  // A bright "pew": a falling square-ish tone over a sub voice, with a short noisy attack.
  Phase lead, sub;
  LowPass tone;
  Random noise(101);
  return Wave(Render(11144, [&](float t) {
    float freq = 1500 * std::exp(-t * 10) + 260;
    float square = std::tanh(3.5f * Sine(lead.Step(freq)));
    float body = Sine(sub.Step(freq * 0.5f)) * 0.5f;
    float click = (noise.Unit() * 2 - 1) * std::exp(-t * 160) * 0.6f;
    float env = Rise(t, 0.002f) * std::exp(-t * 13);
    return tone.Run((square * 0.7f + body) * env + click, 5000);
  }));
}

std::vector<uint8_t> ShipHitWave() {
  // Heavy impact: a falling thump, a noise blast closing down, and a sinking warning tone.
  Phase thump, alarm;
  LowPass blast, crunch;
  Random noise(202);
  return Wave(Render(37104, [&](float t) {
    float kick = Sine(thump.Step(150 * std::exp(-t * 7) + 42)) * std::exp(-t * 5.5f);
    float white = noise.Unit() * 2 - 1;
    float roar = blast.Run(white, 3800 * std::exp(-t * 4) + 180) * std::exp(-t * 4.2f) * 1.6f;
    float grit = crunch.Run(white, 900) * std::exp(-t * 14) * 1.2f;
    float wobble = 1 + 0.05f * std::sin(2 * Pi * 18 * t);
    float warn = std::tanh(2.5f * Sine(alarm.Step((620 * std::exp(-t * 1.8f) + 110) * wobble)));
    warn *= Rise(t, 0.02f) * std::exp(-t * 3.5f) * 0.28f;
    return std::tanh(1.4f * (kick + roar + grit + warn));
  }));
}

std::vector<uint8_t> ShooterHitWave() {
  // Metal struck and blown apart: a ringing clang over a rolling explosion with crackle.
  const float partials[][3] = {{523, 0.30f, 6}, {1381, 0.18f, 8}, {2212, 0.12f, 11}, {2934, 0.08f, 14}};
  LowPass blast, rumble, crackle;
  Random noise(303), sparks(304);
  return Wave(Render(52268, [&](float t) {
    float white = noise.Unit() * 2 - 1;
    float boom = blast.Run(white, 5200 * std::exp(-t * 3.5f) + 160) * Rise(t, 0.003f) * std::exp(-t * 3.0f) * 1.5f;
    float roll = rumble.Run(white, 140) * std::exp(-t * 1.9f) * 3.5f;
    float clang = 0;
    for (const auto& p : partials) clang += std::sin(2 * Pi * p[0] * t) * p[1] * std::exp(-t * p[2]);
    // Crackle: sparse pops, thinning out as the debris settles.
    float pop = sparks.Unit() < 0.012f * std::exp(-t * 2.5f) ? (sparks.Unit() * 2 - 1) : 0;
    float crack = crackle.Run(pop * 6, 2500);
    return std::tanh(1.3f * (boom + roll + clang + crack));
  }));
}

std::vector<uint8_t> BonusHitWave() {
  // A quick rising major arpeggio of bells: C6, E6, G6, C7.
  const float notes[][2] = {{1046.5f, 0}, {1318.5f, 0.055f}, {1568.0f, 0.11f}, {2093.0f, 0.165f}};
  return Wave(Render(21048, [&](float t) {
    float sum = 0;
    for (const auto& n : notes) {
      float u = t - n[1];
      if (u < 0) continue;
      float f = n[0];
      float bell = std::sin(2 * Pi * f * u) + 0.35f * std::sin(2 * Pi * 2 * f * u) * std::exp(-u * 8) +
                   0.15f * std::sin(2 * Pi * 3.01f * f * u) * std::exp(-u * 14) +
                   0.3f * std::sin(2 * Pi * f * 1.004f * u);
      sum += bell * Rise(u, 0.002f) * std::exp(-u * 8.5f);
    }
    return sum;
  }));
}

}  // namespace Assets
