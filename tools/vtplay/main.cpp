// vtplay: a terminal MIDI file player on the Vantrel MIDI component.
#include <csignal>
#include <cstdio>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "tools/vtplay/vtplay_view.h"

using namespace VantrelMidiSystem;

namespace {
volatile std::sig_atomic_t gQuit = 0;
void OnSignal(int) { gQuit = 1; }

// Raw keys without echo while the player runs; restored on every way out.
class RawTerminal {
public:
    RawTerminal() : FActive(isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &FSaved) == 0)
    {
        if (!FActive) return;
        termios raw = FSaved;
        raw.c_lflag &= ~(ICANON | ECHO);
        raw.c_cc[VMIN] = 0;
        raw.c_cc[VTIME] = 0;
        tcsetattr(STDIN_FILENO, TCSANOW, &raw);
        std::fputs("\x1b[?25l", stdout);
    }
    ~RawTerminal()
    {
        if (!FActive) return;
        tcsetattr(STDIN_FILENO, TCSANOW, &FSaved);
        std::fputs("\x1b[?25h\n", stdout);
    }
    bool Active() const { return FActive; }
    int ReadKey(int timeoutMs) const
    {
        if (!FActive) {
            poll(nullptr, 0, timeoutMs);
            return -1;
        }
        pollfd p{STDIN_FILENO, POLLIN, 0};
        unsigned char c;
        if (poll(&p, 1, timeoutMs) > 0 && read(STDIN_FILENO, &c, 1) == 1) return c;
        return -1;
    }
private:
    termios FSaved{};
    bool FActive;
};

std::string OneLine(const std::string& message)
{
    std::string out;
    for (size_t i = 0; i < message.size(); ++i) {
        if (message[i] != '\n') {
            out += message[i];
        } else if (i + 1 < message.size() && message[i + 1] == '\n') {
            out += ": ";
            ++i;
        } else if (i + 1 < message.size()) {
            out += ' ';
        }
    }
    return out;
}

int Run(const VtPlay::Options& options)
{
    TVantrelMidi midi(nullptr);
    midi.Init();
    midi.CreateData("vtplay", options.File);
    const TVantrelMidiData* data = midi.GetSMFData("vtplay");

    VtPlay::Status status;
    status.File = options.File;
    status.Loop = options.Loop;
    status.Division = data->Division;
    status.BeatsPerBar = data->Numerator ? data->Numerator : 4;

    bool ended = false;
    midi.SetOnMidiEnd([&ended](TObject*) { ended = true; });
    midi.Play("vtplay", options.Loop);
    status.State = "playing";

    RawTerminal terminal;
    bool stoppedByUser = false;
    while (!gQuit) {
        const int key = terminal.ReadKey(50);
        Platform::DispatchPostedMessages();  // song end and reset arrive as posted messages
        if (key == 'q' || key == 'Q' || key == 27) break;
        if ((key == 'f' || key == 'F') && status.State == "playing") {
            midi.SetFadeOut(options.FadeMs);
            status.State = "fading";
        } else if ((key == 's' || key == 'S') && status.State != "stopped") {
            stoppedByUser = true;
            midi.Stop();
        } else if (key == 'p' || key == 'P') {
            stoppedByUser = false;
            ended = false;
            midi.Play("vtplay", options.Loop);
            status.State = "playing";
        }
        if (ended) {
            ended = false;
            status.State = "stopped";
            if (!terminal.Active() && !stoppedByUser) break;  // unattended: done at the song's end
        }
        VtPlay::ReadStatus(midi, status);
        if (terminal.Active()) {
            std::fputs("\x1b[H\x1b[2J", stdout);
            std::fputs(VtPlay::RenderStatus(status).c_str(), stdout);
            std::fflush(stdout);
        }
    }
    midi.Stop();
    return 0;
}
}  // namespace

int main(int argc, char** argv)
{
    const VtPlay::Options options = VtPlay::ParseOptions(argc, argv);
    if (options.Help) {
        std::fputs(VtPlay::UsageText().c_str(), stdout);
        return 0;
    }
    if (!options.Error.empty()) {
        std::fprintf(stderr, "vtplay: %s (see vtplay --help)\n", options.Error.c_str());
        return 2;
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    try {
        return Run(options);
    } catch (const Exception& e) {
        std::fprintf(stderr, "vtplay: %s\n", OneLine(e.Message).c_str());
        return 1;
    }
}
