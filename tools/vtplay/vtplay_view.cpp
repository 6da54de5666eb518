#include "tools/vtplay/vtplay_view.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace VtPlay {

Options ParseOptions(int argc, const char* const* argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            o.Help = true;
        } else if (a == "--loop") {
            o.Loop = true;
        } else if (a == "--fade") {
            if (i + 1 >= argc) {
                o.Error = "--fade needs a length in milliseconds";
                return o;
            }
            char* end = nullptr;
            const long ms = std::strtol(argv[++i], &end, 10);
            if (*argv[i] == '\0' || *end != '\0' || ms < 0 || ms > 600000) {
                o.Error = std::string("--fade takes milliseconds from 0 to 600000, not '") + argv[i] + "'";
                return o;
            }
            o.FadeMs = static_cast<int>(ms);
        } else if (!a.empty() && a[0] == '-') {
            o.Error = "unknown option '" + a + "'";
            return o;
        } else if (o.File.empty()) {
            o.File = a;
        } else {
            o.Error = "only one file can be played";
            return o;
        }
    }
    if (!o.Help && o.File.empty()) o.Error = "no MIDI file given";
    return o;
}

std::string UsageText()
{
    return "NAME\n"
           "    vtplay - play a Standard MIDI File through the embedded synthesizer\n"
           "\n"
           "SYNOPSIS\n"
           "    vtplay FILE.mid [--loop] [--fade MS]\n"
           "    vtplay --help\n"
           "\n"
           "DESCRIPTION\n"
           "    Plays FILE.mid (format 0 or 1) with the Vantrel MIDI component and shows, per\n"
           "    channel, a level meter, the program, volume, pan and the reverb and chorus sends,\n"
           "    with the song position (bar:beat:tick) and the tempo.\n"
           "\n"
           "OPTIONS\n"
           "    --loop      repeat the song (from its RepeatStart marker or \"repeat\" cue, if any)\n"
           "    --fade MS   length of the fade-out started with the f key (default 3000)\n"
           "    --help      show this text\n"
           "\n"
           "KEYS\n"
           "    f   fade out, then stop\n"
           "    s   stop\n"
           "    p   play again from the start\n"
           "    q   quit (also Esc or Ctrl+C)\n"
           "\n"
           "EXIT STATUS\n"
           "    0 when the song was played, 1 when the file could not be loaded or played,\n"
           "    2 for a wrong command line.\n";
}

std::string FormatPosition(std::uint32_t ticks, std::uint32_t division, std::uint32_t beatsPerBar)
{
    if (division == 0) division = 480;
    if (beatsPerBar == 0) beatsPerBar = 4;
    const std::uint32_t beats = ticks / division;
    char text[48];
    std::snprintf(text, sizeof text, "%u:%u:%03u", beats / beatsPerBar + 1, beats % beatsPerBar + 1, ticks % division);
    return text;
}

std::string FormatTempo(std::uint32_t tempo)
{
    char text[32];
    if (tempo == 0)
        std::snprintf(text, sizeof text, "--- BPM");
    else
        std::snprintf(text, sizeof text, "%.1f BPM", 60000000.0 / tempo);
    return text;
}

namespace {
std::string Meter(std::uint8_t level)
{
    const int width = 16;
    const int filled = (level * width + 126) / 127;
    std::string bar(filled, '#');
    bar.append(width - filled, '.');
    return bar;
}
}  // namespace

std::string RenderStatus(const Status& s)
{
    std::string out = "vtplay  " + s.File + "\n";
    out += "  " + s.State + (s.Loop ? " (loop)" : "") + "   position " +
           FormatPosition(s.Ticks, s.Division, s.BeatsPerBar) + "   tempo " + FormatTempo(s.Tempo) + "\n\n";
    out += "  ch  level             prog  vol  pan  exp  rev  cho\n";
    for (int ch = 0; ch < 16; ++ch) {
        const auto& c = s.Channels[ch];
        char line[96];
        std::snprintf(line, sizeof line, "  %2d  %s  %4u  %3u  %3u  %3u  %3u  %3u\n", ch + 1, Meter(c.Level).c_str(),
                      c.Program, c.Volume, c.Pan, c.Expression, c.Reverb, c.Chorus);
        out += line;
    }
    out += "\n  f fade out   s stop   p play   q quit\n";
    return out;
}

void ReadStatus(VantrelMidiSystem::TVantrelMidi& midi, Status& status)
{
    midi.GetChannelData(status.Channels);
    status.Ticks = midi.GetDeltaTime();
    status.Tempo = midi.GetMusicTempo();
}

}  // namespace VtPlay
