// vtplay's pieces that need no terminal: the command line and the status screen's text.
#pragma once
#include <cstdint>
#include <string>

#include "library/midi/vtmidi.h"

namespace VtPlay {

struct Options {
    std::string File;
    bool Loop = false;
    int FadeMs = 3000;
    bool Help = false;
    std::string Error;  // set when the command line is wrong
};

Options ParseOptions(int argc, const char* const* argv);
std::string UsageText();

struct Status {
    std::string File;
    std::string State;  // "playing", "fading", "stopped"
    bool Loop = false;
    std::uint32_t Ticks = 0;
    std::uint32_t Division = 480;
    std::uint32_t BeatsPerBar = 4;
    std::uint32_t Tempo = 500000;  // microseconds per quarter note
    VantrelMidiSystem::TVantrelMidiChannel Channels[16] = {};
};

// Bar:beat:tick from a tick position, bars and beats counted from 1.
std::string FormatPosition(std::uint32_t ticks, std::uint32_t division, std::uint32_t beatsPerBar);
std::string FormatTempo(std::uint32_t tempo);
// The whole screen, one line per channel, lines ending in "\n".
std::string RenderStatus(const Status& status);
// Fills Ticks, Tempo and Channels from the component (Report must be true).
void ReadStatus(VantrelMidiSystem::TVantrelMidi& midi, Status& status);

}  // namespace VtPlay
