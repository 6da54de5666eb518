// The generated sound effects and music in the run folder: waves of the exact byte counts the
// game reads, and a tune that parses back into well-formed tracks with usable loop markers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "library/midi/vtmidi_data.h"

namespace {

std::vector<uint8_t> ReadFile(const std::string& name) {
  std::ifstream in(std::string(ZQ_RUN_DIR) + "/wav/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + i];
  return v;
}

struct WaveCase {
  const char* File;
  size_t Bytes;
};

class AssetWaves : public ::testing::TestWithParam<WaveCase> {};

TEST_P(AssetWaves, IsACompletePcmWaveOfTheSizeTheGameReads) {
  const WaveCase& c = GetParam();
  std::vector<uint8_t> b = ReadFile(c.File);
  ASSERT_EQ(b.size(), c.Bytes) << "the game reads exactly this many bytes";
  ASSERT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
  EXPECT_EQ(Le(b, 4, 4), b.size() - 8) << "RIFF size";
  ASSERT_EQ(std::string(b.begin() + 8, b.begin() + 12), "WAVE");

  // Walk the chunks: the data chunk must end exactly at the file's end.
  uint32_t channels = 0, rate = 0, bits = 0, align = 0;
  size_t data = 0, data_size = 0;
  for (size_t at = 12; at + 8 <= b.size();) {
    std::string id(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at) + 4);
    uint32_t size = Le(b, at + 4, 4);
    ASSERT_LE(at + 8 + size, b.size()) << id << " chunk runs past the end";
    if (id == "fmt ") {
      EXPECT_EQ(Le(b, at + 8, 2), 1u) << "PCM";
      channels = Le(b, at + 10, 2);
      rate = Le(b, at + 12, 4);
      align = Le(b, at + 20, 2);
      bits = Le(b, at + 22, 2);
      EXPECT_EQ(Le(b, at + 16, 4), rate * align) << "byte rate";
    }
    if (id == "data") {
      data = at + 8;
      data_size = size;
    }
    at += 8 + size + (size & 1);
  }
  ASSERT_EQ(bits, 16u);
  ASSERT_EQ(channels, 1u);
  ASSERT_EQ(align, channels * bits / 8);
  ASSERT_GT(data, 0u) << "no data chunk";
  EXPECT_EQ(data + data_size, b.size()) << "data must fill the file: nothing cut, no padding";

  std::vector<int> s;
  for (size_t at = data; at + 1 < data + data_size; at += 2) s.push_back(static_cast<int16_t>(Le(b, at, 2)));
  double seconds = static_cast<double>(s.size()) / rate, energy = 0;
  int peak = 0;
  for (int v : s) {
    peak = std::max(peak, std::abs(v));
    energy += static_cast<double>(v) * v;
  }
  EXPECT_GT(seconds, 0.15);
  EXPECT_LT(seconds, 3.0);
  EXPECT_GT(std::sqrt(energy / s.size()), 1500) << "audible";
  EXPECT_LT(peak, 32700) << "not clipped";
  EXPECT_LT(std::abs(s.front()), 300) << "no click at the start";
  EXPECT_LT(std::abs(s.back()), 300) << "no click at the end";
}

INSTANTIATE_TEST_SUITE_P(Effects, AssetWaves,
                         ::testing::Values(WaveCase{"01.wav", 11144}, WaveCase{"02.wav", 37104},
                                           WaveCase{"03.wav", 52268}, WaveCase{"04.wav", 21048}),
                         [](const auto& info) { return "Wave" + std::string(info.param.File).substr(0, 2); });

// What a strict reading of the tune gives: enough to judge its loop and its instruments.
struct Song {
  int Format = -1, Division = 0, DeclaredTracks = 0, Tracks = 0;
  std::vector<std::string> Faults;
  uint32_t Tempo = 0, TempoTick = ~0u;
  bool TimeSignature = false;
  std::map<std::string, std::vector<uint32_t>> Markers;
  std::map<int, uint32_t> FirstNote, FirstProgram;
  std::map<int, std::map<int, bool>> Controllers;  // channel -> controller number -> set
  int Notes = 0, DrumNotes = 0, Unmatched = 0;
  uint32_t LastChannelEvent = 0, LastNoteOff = 0;
  std::vector<uint32_t> NoteOns;
};

uint32_t VarLen(const std::vector<uint8_t>& t, size_t& at, size_t end, bool& ok) {
  uint32_t v = 0;
  for (int n = 0; n < 4; ++n) {
    if (at >= end) break;
    uint8_t b = t[at++];
    v = (v << 7) | (b & 0x7F);
    if (!(b & 0x80)) return v;
  }
  ok = false;
  return v;
}

void ReadTrack(const std::vector<uint8_t>& f, size_t at, size_t end, Song& song) {
  uint32_t tick = 0;
  uint8_t status = 0;
  bool ok = true, ended = false;
  std::map<std::pair<int, int>, int> sounding;
  while (ok && at < end && !ended) {
    tick += VarLen(f, at, end, ok);
    if (at >= end) break;
    if (f[at] & 0x80) status = f[at++];
    if (status < 0x80) return song.Faults.push_back("data byte without a status");
    if (status == 0xFF) {
      if (at >= end) break;
      uint8_t type = f[at++];
      uint32_t len = VarLen(f, at, end, ok);
      if (!ok || at + len > end) break;
      std::string text(f.begin() + static_cast<long>(at), f.begin() + static_cast<long>(at + len));
      if (type == 0x51 && len == 3) {
        song.Tempo = (uint32_t{f[at]} << 16) | (uint32_t{f[at + 1]} << 8) | f[at + 2];
        song.TempoTick = std::min(song.TempoTick, tick);
      }
      if (type == 0x58 && len == 4) song.TimeSignature = true;
      if (type == 0x06) song.Markers[text].push_back(tick);
      if (type == 0x2F) ended = len == 0 && at + len == end;
      at += len;
      continue;
    }
    if (status >= 0xF0) return song.Faults.push_back("unexpected system message");
    int kind = status & 0xF0, channel = status & 0x0F, n = kind == 0xC0 || kind == 0xD0 ? 1 : 2;
    if (at + n > end) break;
    int d1 = f[at], d2 = n > 1 ? f[at + 1] : 0;
    if ((d1 | d2) & 0x80) return song.Faults.push_back("data byte with its top bit set");
    at += n;
    song.LastChannelEvent = std::max(song.LastChannelEvent, tick);
    if (kind == 0xC0 && !song.FirstProgram.count(channel)) song.FirstProgram[channel] = tick;
    if (kind == 0xB0) song.Controllers[channel][d1] = true;
    if (kind == 0x90 && d2 > 0) {
      ++sounding[{channel, d1}];
      ++song.Notes;
      if (channel == 9) ++song.DrumNotes;
      if (!song.FirstNote.count(channel)) song.FirstNote[channel] = tick;
      song.NoteOns.push_back(tick);
    } else if (kind == 0x80 || kind == 0x90) {
      if (sounding[{channel, d1}]-- <= 0) ++song.Unmatched;
      song.LastNoteOff = std::max(song.LastNoteOff, tick);
    }
  }
  if (!ended) song.Faults.push_back("track " + std::to_string(song.Tracks) + " does not close with End of Track");
  for (const auto& [key, count] : sounding) song.Unmatched += std::abs(count);
}

Song ReadSong() {
  Song song;
  std::vector<uint8_t> f = ReadFile("bgm.mid");
  if (f.size() < 14 || std::string(f.begin(), f.begin() + 4) != "MThd") {
    song.Faults.push_back("no MThd header");
    return song;
  }
  auto be = [&](size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = (v << 8) | f[at + i];
    return v;
  };
  if (be(4, 4) != 6) song.Faults.push_back("header length is not 6");
  song.Format = static_cast<int>(be(8, 2));
  song.DeclaredTracks = static_cast<int>(be(10, 2));
  song.Division = static_cast<int>(be(12, 2));
  for (size_t at = 14; at < f.size();) {
    if (at + 8 > f.size() || std::string(f.begin() + static_cast<long>(at), f.begin() + static_cast<long>(at) + 4) != "MTrk") {
      song.Faults.push_back("bytes after the tracks that are no MTrk chunk");
      break;
    }
    size_t len = be(at + 4, 4);
    if (at + 8 + len > f.size()) {
      song.Faults.push_back("track chunk longer than the file");
      break;
    }
    ReadTrack(f, at + 8, at + 8 + len, song);
    ++song.Tracks;
    at += 8 + len;
  }
  return song;
}

TEST(AssetMusic, TuneIsAWellFormedFormatOneFile) {
  Song song = ReadSong();
  for (const std::string& fault : song.Faults) ADD_FAILURE() << fault;
  EXPECT_EQ(song.Format, 1);
  EXPECT_EQ(song.Tracks, song.DeclaredTracks);
  EXPECT_GE(song.Tracks, 4) << "several tracks";
  EXPECT_GT(song.Division, 0);
  EXPECT_LT(song.Division, 0x8000) << "ticks per quarter note, not SMPTE";
  EXPECT_EQ(song.TempoTick, 0u) << "tempo set at the start";
  EXPECT_TRUE(song.TimeSignature);
  EXPECT_EQ(song.Unmatched, 0) << "every note is switched off exactly once";
}

TEST(AssetMusic, LoopMarkersEncloseAboutAMinuteWithNothingHanging) {
  Song song = ReadSong();
  ASSERT_EQ(song.Markers["RepeatStart"].size(), 1u);
  ASSERT_EQ(song.Markers["RepeatEnd"].size(), 1u);
  const uint32_t start = song.Markers["RepeatStart"][0], end = song.Markers["RepeatEnd"][0];
  ASSERT_LT(start, end);
  EXPECT_GT(start, 0u) << "a loop start at tick 0 would read as no loop start";
  double seconds = (end - start) / static_cast<double>(song.Division) * song.Tempo / 1e6;
  EXPECT_GT(seconds, 45);
  EXPECT_LT(seconds, 80);
  // At the end marker the sequencer jumps back without sending that tick's channel messages or
  // any note-off, so every note must already be off and nothing may wait at or after it.
  EXPECT_LT(song.LastChannelEvent, end);
  EXPECT_LT(song.LastNoteOff, end);
  EXPECT_TRUE(std::count(song.NoteOns.begin(), song.NoteOns.end(), start)) << "the loop opens on its downbeat";
}

TEST(AssetMusic, EveryVoiceIsSetUpBeforeItPlays) {
  Song song = ReadSong();
  EXPECT_GT(song.DrumNotes, 100) << "drums on channel 10";
  EXPECT_GE(song.FirstNote.size(), 4u) << "melody, bass, chords and drums";
  for (const auto& [channel, tick] : song.FirstNote) {
    ASSERT_TRUE(song.FirstProgram.count(channel)) << "channel " << channel + 1 << " has no program change";
    EXPECT_LE(song.FirstProgram[channel], tick) << "channel " << channel + 1;
    for (int cc : {7, 10, 91}) EXPECT_TRUE(song.Controllers[channel][cc]) << "channel " << channel + 1 << " controller " << cc;
  }
}

// The library's own loader reads the tune the way the sequencer will play it.
TEST(AssetMusic, LibraryLoaderFindsTheLoopAndTheTempo) {
  VantrelMidiSystem::TVantrelMidiData song;
  ASSERT_NO_THROW(song.LoadFile(std::string(ZQ_RUN_DIR) + "/wav/bgm.mid"));
  EXPECT_EQ(song.Format, 1u);
  uint32_t start = 0, end = 0, tempo_at_zero = 0;
  for (const auto& e : song.MetaEvents) {
    if (e.Type == 0x06 && e.Text == "RepeatStart") start = e.Time;
    if (e.Type == 0x06 && e.Text == "RepeatEnd") end = e.Time;
    if (e.Type == 0x51 && e.Time == 0) tempo_at_zero = static_cast<uint32_t>(e.Value);
  }
  EXPECT_GT(start, 0u);
  EXPECT_GT(end, start);
  EXPECT_GT(tempo_at_zero, 300000u) << "a tempo of about 120 beats a minute";
  EXPECT_LT(tempo_at_zero, 700000u);
  ASSERT_FALSE(song.ShortMessages.empty());
  EXPECT_LT(song.ShortMessages.back().Time, end) << "nothing left for the tick the loop jumps at";
  EXPECT_GE(song.TrackNames.Count(), 4);
}

}  // namespace
