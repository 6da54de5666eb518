// Device resets and GS effect selections: the exact bytes, and the refusal before Init.
#include <functional>

#include "library/support/vterrors.h"
#include "tests/midi/sequencer_fixture.h"

namespace PlaybackTest {
namespace {

using VantrelSystem::EVtMidi;
using EffectsMessages = Playback;

struct MessageCase {
    const char* What;
    std::function<void(TVantrelMidi&)> Send;
    std::vector<Bytes> Expected;
};

TEST_F(EffectsMessages, ExactBytes)
{
    const MessageCase cases[] = {
        {"GM System On", [](TVantrelMidi& m) { m.MidiReset(mrGMSystemOn); }, {{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}}},
        {"GS Reset", [](TVantrelMidi& m) { m.MidiReset(mrGSReset); },
         {{0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7}}},
        {"reset kind 2", [](TVantrelMidi& m) { m.MidiReset(static_cast<TMidiReset>(2)); }, {}},
        {"reverb 4", [](TVantrelMidi& m) { m.SetGSReverb(gsrHall2); },
         {{0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x01, 0x30, 0x04, 0x0B, 0xF7}}},
        {"reverb 7", [](TVantrelMidi& m) { m.SetGSReverb(gsrPanningDelay); },
         {{0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x01, 0x30, 0x07, 0x08, 0xF7}}},
        {"chorus 0", [](TVantrelMidi& m) { m.SetGSChorus(gscChorus1); },
         {{0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x01, 0x38, 0x00, 0x07, 0xF7}}},
        {"chorus 7", [](TVantrelMidi& m) { m.SetGSChorus(gscShortDelayFeedback); },
         {{0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x01, 0x38, 0x07, 0x00, 0xF7}}},
        {"delay 0", [](TVantrelMidi& m) { m.SetGSDelay(gsdDelay1); },
         {{0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x01, 0x50, 0x00, 0x6F, 0xF7}}},
        {"delay 9", [](TVantrelMidi& m) { m.SetGSDelay(gsdPanRepeat); },
         {{0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x01, 0x50, 0x09, 0x66, 0xF7}}},
    };
    for (const MessageCase& c : cases) {
        Device->Clear();
        c.Send(*Midi);
        EXPECT_EQ(Longs(), c.Expected) << c.What;
        EXPECT_EQ(Device->Entries().size(), c.Expected.size()) << c.What << ": nothing else is sent";
    }
}

TEST_F(EffectsMessages, DeviceOperationsRefuseToRunBeforeInit)
{
    Load({Track().Event(0, NoteOnBytes(60)).End()});
    Midi->CleanUp();
    Device->Clear();
    const std::pair<const char*, std::function<void(TVantrelMidi&)>> operations[] = {
        {"Play", [](TVantrelMidi& m) { m.Play("01", true); }},
        {"Stop", [](TVantrelMidi& m) { m.Stop(); }},
        {"SetFadeOut", [](TVantrelMidi& m) { m.SetFadeOut(100); }},
        {"MidiReset", [](TVantrelMidi& m) { m.MidiReset(mrGSReset); }},
        {"SetGSReverb", [](TVantrelMidi& m) { m.SetGSReverb(gsrHall1); }},
        {"SetGSChorus", [](TVantrelMidi& m) { m.SetGSChorus(gscChorus3); }},
        {"SetGSDelay", [](TVantrelMidi& m) { m.SetGSDelay(gsdDelay2); }},
    };
    for (const auto& [name, operation] : operations) {
        try {
            operation(*Midi);
            ADD_FAILURE() << name << " ran before Init";
        } catch (const EVtMidi& e) {
            EXPECT_EQ(e.Message, "TVantrelMidi エラー\n\nまだ初期化されてません。") << name;
        }
    }
    EXPECT_TRUE(Device->Entries().empty());
    EXPECT_FALSE(Midi->Playing());
}

}  // namespace
}  // namespace PlaybackTest
