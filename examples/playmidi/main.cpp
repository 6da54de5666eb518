// Plays a MIDI file to its end through the embedded synthesizer: the smallest program on the
// Vantrel MIDI component.
#include <cstdio>

#include <vtmidi.h>

using namespace VantrelMidiSystem;

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: playmidi FILE.mid\n");
        return 2;
    }
    try {
        TVantrelMidi midi(nullptr);
        bool ended = false;
        midi.SetOnMidiEnd([&ended](TObject*) { ended = true; });
        midi.Init();                        // opens the default output: the embedded synthesizer
        midi.CreateData("song", argv[1]);   // loads the file under the name "song"
        midi.Play("song", false);
        while (!ended) {
            // The end of the song arrives as a posted message, handled on this thread.
            if (Platform::WaitForPostedMessage(100)) Platform::DispatchPostedMessages();
        }
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", e.Message.c_str());
        return 1;
    }
    return 0;
}
