// The background tune "Star Patrol": A minor, 128 beats a minute, a two-bar intro and a 32-bar
// loop of about a minute (RepeatStart .. RepeatEnd), written as a format 1 Standard MIDI File.
#include <algorithm>
#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <string>

#include "tools/mkassets/assets.h"

namespace Assets {

namespace {

const int Division = 480;
const int Eighth = Division / 2, Sixteenth = Division / 4, Bar = Division * 4;
const int IntroBars = 2, LoopBars = 32;
const uint32_t LoopStart = IntroBars * Bar, LoopEnd = (IntroBars + LoopBars) * Bar;
// Notes stop a little before their full length, so every note of the loop is off before its end.
const int Gate = 12;

struct Event {
  uint32_t Tick;
  int Order;  // at one tick: notes off, then settings, then notes on
  std::vector<uint8_t> Bytes;
};

class Track {
 public:
  explicit Track(int channel) : Channel(channel) {}

  void Meta(uint32_t tick, uint8_t type, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> b = {0xFF, type, static_cast<uint8_t>(data.size())};
    b.insert(b.end(), data.begin(), data.end());
    Events.push_back({tick, 1, b});
  }
  void Text(uint32_t tick, uint8_t type, const std::string& text) { Meta(tick, type, {text.begin(), text.end()}); }
  void Control(uint32_t tick, int number, int value) {
    Events.push_back({tick, 1, {Status(0xB0), Data(number), Data(value)}});
  }
  void Program(uint32_t tick, int program) { Events.push_back({tick, 1, {Status(0xC0), Data(program)}}); }
  void Note(uint32_t tick, int length, int pitch, int velocity) {
    if (tick + length - Gate >= LoopEnd) throw std::logic_error("note past the loop end");
    Events.push_back({tick, 2, {Status(0x90), Data(pitch), Data(velocity)}});
    Events.push_back({tick + std::max(1, length - Gate), 0, {Status(0x80), Data(pitch), 0x40}});
  }

  // The chunk: events in time order with running status, closed by End of Track at the loop end.
  std::vector<uint8_t> Chunk() const {
    std::vector<Event> sorted = Events;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Event& a, const Event& b) { return a.Tick != b.Tick ? a.Tick < b.Tick : a.Order < b.Order; });
    std::vector<uint8_t> body;
    uint32_t now = 0;
    uint8_t running = 0;
    for (const Event& e : sorted) {
      PutVarLen(body, e.Tick - now);
      now = e.Tick;
      bool channel = e.Bytes[0] < 0xF0;
      size_t from = channel && e.Bytes[0] == running ? 1 : 0;
      running = channel ? e.Bytes[0] : 0;
      body.insert(body.end(), e.Bytes.begin() + static_cast<long>(from), e.Bytes.end());
    }
    PutVarLen(body, LoopEnd - now);
    body.insert(body.end(), {0xFF, 0x2F, 0x00});
    std::vector<uint8_t> chunk = {'M', 'T', 'r', 'k'};
    for (int i = 3; i >= 0; --i) chunk.push_back(static_cast<uint8_t>(body.size() >> (8 * i)));
    chunk.insert(chunk.end(), body.begin(), body.end());
    return chunk;
  }

 private:
  static void PutVarLen(std::vector<uint8_t>& out, uint32_t v) {
    uint8_t groups[5];
    int n = 0;
    do {
      groups[n++] = v & 0x7F;
      v >>= 7;
    } while (v);
    while (n-- > 0) out.push_back(static_cast<uint8_t>(groups[n] | (n ? 0x80 : 0)));
  }
  uint8_t Status(int kind) const { return static_cast<uint8_t>(kind | Channel); }
  static uint8_t Data(int v) { return static_cast<uint8_t>(std::clamp(v, 0, 127)); }

  int Channel;
  std::vector<Event> Events;
};

// Chords of the 34 bars: intro, A, B, A again, bridge.
const char* const Chords[IntroBars + LoopBars] = {
    "Am", "E",                                      // intro
    "Am", "F", "C", "G", "Am", "F", "G", "Am",      // A
    "Dm", "G", "C", "Am", "F", "G", "E", "E",       // B
    "Am", "F", "C", "G", "Am", "F", "G", "Am",      // A
    "F", "G", "Em", "Am", "F", "G", "Esus4", "E"};  // bridge

// Pitch classes of each chord, root first.
std::vector<int> ChordTones(const std::string& name) {
  if (name == "Am") return {9, 0, 4};
  if (name == "F") return {5, 9, 0};
  if (name == "C") return {0, 4, 7};
  if (name == "G") return {7, 11, 2};
  if (name == "Dm") return {2, 5, 9};
  if (name == "E") return {4, 8, 11};
  if (name == "Em") return {4, 7, 11};
  if (name == "Esus4") return {4, 9, 11};
  throw std::logic_error("unknown chord " + name);
}

// Lowest pitch of class pc at or above `floor`.
int Above(int pc, int floor) { return floor + ((pc - floor) % 12 + 12) % 12; }

// The melody, bar by bar: pitch and length in eighths, "r" a rest.
const char* const ThemeA[8] = {"E5 2 A5 2 G5 1 A5 1 E5 2", "F5 3 E5 1 D5 2 C5 2", "E5 2 G5 2 C6 2 B5 1 G5 1",
                               "D5 4 B4 2 G4 2",           "E5 2 A5 2 G5 1 A5 1 B5 2", "C6 3 B5 1 A5 2 F5 2",
                               "G5 2 F5 1 E5 1 D5 2 B4 2", "A4 6 r 2"};
const char* const ThemeB[8] = {"F5 2 A5 2 D5 2 F5 2", "G5 3 F5 1 D5 2 B4 2", "E5 2 G5 2 C5 2 E5 2",
                               "A5 4 G5 2 E5 2",      "F5 2 A5 2 C6 2 A5 2", "B5 2 G5 2 D6 2 B5 2",
                               "G#5 4 B5 2 E6 2",     "E6 4 D6 1 C6 1 B5 1 G#5 1"};
const char* const ThemeC[8] = {"A5 6 G5 1 F5 1", "G5 4 D5 4", "E5 6 D5 1 E5 1", "C5 4 E5 4",
                               "F5 4 A5 2 C6 2", "B5 4 D6 2 B5 2", "A5 4 B5 2 A5 2", "G#5 2 B5 2 E5 2 B4 2"};
const char* const ThemeAEnd = "A5 2 G5 1 E5 1 A5 4";

int ParsePitch(const std::string& name) {
  static const int base[] = {9, 11, 0, 2, 4, 5, 7};  // A..G
  if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') throw std::logic_error("bad pitch " + name);
  int pc = base[name[0] - 'A'];
  size_t pos = 1;
  if (name[pos] == '#') {
    ++pc;
    ++pos;
  }
  return pc + 12 * (std::stoi(name.substr(pos)) + 1);
}

struct Tone {
  int Pitch;  // 0 for a rest
  int Eighths;
};

std::vector<Tone> ParseBar(const std::string& text) {
  std::istringstream in(text);
  std::vector<Tone> out;
  std::string name;
  int eighths = 0, total = 0;
  while (in >> name >> eighths) {
    out.push_back({name == "r" ? 0 : ParsePitch(name), eighths});
    total += eighths;
  }
  if (total != 8) throw std::logic_error("bar does not fill 4/4: " + text);
  return out;
}

// The harmony voice: the nearest chord tone at least a minor third under the melody, so the
// two voices never rub against the chords.
int HarmonyBelow(int pitch, const std::vector<int>& chord) {
  for (int p = pitch - 3; p > pitch - 12; --p)
    if (std::find(chord.begin(), chord.end(), p % 12) != chord.end()) return p;
  return pitch - 12;
}

uint32_t BarTick(int bar) { return static_cast<uint32_t>(bar * Bar); }

// Small fixed variations keep repeated notes from sounding mechanical.
int Humanise(int velocity, int index) { return velocity + (index * 37 % 7) - 3; }

void Setup(Track& t, int program, int volume, int pan, int reverb, int chorus) {
  t.Program(0, program);
  t.Control(0, 7, volume);
  t.Control(0, 10, pan);
  t.Control(0, 91, reverb);
  t.Control(0, 93, chorus);
}

void WriteMelody(Track& lead, Track& harmony) {
  int index = 0;
  for (int bar = IntroBars; bar < IntroBars + LoopBars; ++bar) {
    int section = (bar - IntroBars) / 8, line = (bar - IntroBars) % 8;
    const char* text = section == 1 ? ThemeB[line] : section == 3 ? ThemeC[line] : ThemeA[line];
    if (section == 2 && line == 7) text = ThemeAEnd;
    const std::vector<int> chord = ChordTones(Chords[bar]);
    uint32_t tick = BarTick(bar);
    for (const Tone& tone : ParseBar(text)) {
      int length = tone.Eighths * Eighth;
      if (tone.Pitch) {
        int accent = tick % Division == 0 ? 104 : 92;
        if (section == 3) accent -= 8;  // the bridge breathes
        lead.Note(tick, length, tone.Pitch, Humanise(accent, index++));
        if (section == 2) harmony.Note(tick, length, HarmonyBelow(tone.Pitch, chord), Humanise(78, index));
      }
      tick += length;
    }
  }
}

void WriteHarmony(Track& pad, Track& bass, Track& arp) {
  for (int bar = 0; bar < IntroBars + LoopBars; ++bar) {
    const std::vector<int> tones = ChordTones(Chords[bar]);
    const int section = bar < IntroBars ? -1 : (bar - IntroBars) / 8;
    const uint32_t start = BarTick(bar);
    for (int pc : tones) pad.Note(start, Bar, Above(pc, 57), 70);

    // Bass: octave-jumping eighths, calmer halves in the bridge's first half.
    const int root = Above(tones[0], 38);
    if (section == 3 && bar < IntroBars + 28) {
      bass.Note(start, 2 * Division, root, 100);
      bass.Note(start + 2 * Division, 2 * Division, Above(tones[2], root), 92);
    } else if (bar > 0) {
      static const int octave[8] = {0, 0, 12, 0, 0, 12, 0, 12};
      for (int i = 0; i < 8; ++i) bass.Note(start + i * Eighth, Eighth, root + octave[i], i % 2 ? 84 : 104);
    }

    // Arpeggio: sixteenths through the chord and its octave; eighths in the B section.
    std::vector<int> up = {Above(tones[0], 69), Above(tones[1], 69), Above(tones[2], 69)};
    std::sort(up.begin(), up.end());
    up.push_back(up[0] + 12);
    static const int order[8] = {0, 1, 2, 3, 1, 2, 3, 2};
    const int step = section == 1 ? Eighth : Sixteenth;
    if (section == 3 && bar < IntroBars + 28) continue;
    for (int i = 0; i * step < Bar; ++i)
      arp.Note(start + i * step, step, up[order[i % 8]], i * step % Division == 0 ? 82 : 62);
  }
}

enum Drum { Kick = 36, Snare = 38, Clap = 39, ClosedHat = 42, OpenHat = 46, Crash = 49, Ride = 51 };
const int Toms[4] = {50, 48, 47, 45};

void Hit(Track& drums, int bar, int step, int note, int velocity) {
  drums.Note(BarTick(bar) + step * Sixteenth, Sixteenth, note, velocity);
}

void WriteDrums(Track& drums) {
  for (int bar = 0; bar < IntroBars + LoopBars; ++bar) {
    const int section = bar < IntroBars ? -1 : (bar - IntroBars) / 8, line = (bar - IntroBars) % 8;
    if (section < 0) {
      // Intro: a pulse, then a snare roll that swells into the loop.
      for (int s = 0; s < 16; s += 2) Hit(drums, bar, s, ClosedHat, 60);
      if (bar == 0) Hit(drums, bar, 0, Kick, 100);
      for (int s = 0; bar == 1 && s < 16; s += s < 8 ? 2 : 1) Hit(drums, bar, s, Snare, 50 + s * 4);
      continue;
    }
    if (line == 0) Hit(drums, bar, 0, Crash, 110);
    const bool fill = line == 7;
    const bool half_time = section == 3 && line < 6;
    if (half_time) {
      for (int s : {0, 10}) Hit(drums, bar, s, Kick, 104);
      Hit(drums, bar, 8, Snare, 100);
      for (int s = 0; s < 16; s += 4) Hit(drums, bar, s, Ride, 76);
    } else {
      for (int s = 0; s < 16; s += 4) Hit(drums, bar, s, Kick, s ? 100 : 112);
      if (section == 1) Hit(drums, bar, 10, Kick, 84);
      for (int s : {4, 12}) {
        if (fill && s == 12) break;
        Hit(drums, bar, s, Snare, 104);
        if (section == 1) Hit(drums, bar, s, Clap, 80);
      }
      const int hat_step = section == 1 ? 1 : 2;
      for (int s = 0; s < (fill ? 12 : 16); s += hat_step) {
        if (s == 14 && line % 2) Hit(drums, bar, s, OpenHat, 76);
        else Hit(drums, bar, s, ClosedHat, s % 4 == 0 ? 78 : s % 2 ? 50 : 64);
      }
    }
    if (fill) {
      for (int i = 0; i < 4; ++i) Hit(drums, bar, 12 + i, Toms[i], 96 + i * 6);
      if (section == 3)
        for (int s = 8; s < 12; ++s) Hit(drums, bar, s, Snare, 80 + (s - 8) * 10);
    }
  }
}

uint8_t Byte(uint32_t v, int shift) { return static_cast<uint8_t>(v >> shift); }

}  // namespace

std::vector<uint8_t> Song() {
  Track conductor(0), lead(0), bass(1), pad(2), arp(3), harmony(4), drums(9);
  conductor.Text(0, 0x03, "Star Patrol");
  const uint32_t tempo = 60000000 / 128;
  conductor.Meta(0, 0x51, {Byte(tempo, 16), Byte(tempo, 8), Byte(tempo, 0)});
  conductor.Meta(0, 0x58, {4, 2, 24, 8});
  conductor.Text(LoopStart, 0x06, "RepeatStart");
  conductor.Text(LoopEnd, 0x06, "RepeatEnd");

  lead.Text(0, 0x03, "Lead");
  Setup(lead, 81, 72, 64, 60, 30);  // sawtooth lead
  bass.Text(0, 0x03, "Bass");
  Setup(bass, 38, 120, 64, 20, 0);  // synth bass 1
  pad.Text(0, 0x03, "Pad");
  Setup(pad, 89, 84, 40, 96, 60);  // warm pad
  arp.Text(0, 0x03, "Arpeggio");
  Setup(arp, 80, 76, 92, 70, 10);  // square lead
  harmony.Text(0, 0x03, "Harmony");
  Setup(harmony, 62, 84, 84, 70, 30);  // synth brass
  drums.Text(0, 0x03, "Drums");
  Setup(drums, 0, 127, 64, 40, 0);

  WriteMelody(lead, harmony);
  WriteHarmony(pad, bass, arp);
  WriteDrums(drums);

  const Track* tracks[] = {&conductor, &lead, &bass, &pad, &arp, &harmony, &drums};
  std::vector<uint8_t> out = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, static_cast<uint8_t>(std::size(tracks)),
                              Byte(Division, 8), Byte(Division, 0)};
  for (const Track* t : tracks) {
    std::vector<uint8_t> chunk = t->Chunk();
    out.insert(out.end(), chunk.begin(), chunk.end());
  }
  return out;
}

}  // namespace Assets
