// The component's life: construction and destruction, the device, the hidden window, the
// not-initialised guard, property streaming and the palette.
#include <gtest/gtest.h>

#include <thread>

#include "library/midi/vtmidi.h"
#include "library/support/vterrors.h"
#include "platform/audio/midiout.h"

using namespace VantrelMidiSystem;
using VantrelSystem::EVtMidi;
using Kind = Platform::CaptureMidiDevice::Entry::Kind;

namespace {

class DeviceFixture : public ::testing::Test {
protected:
    void SetUp() override { Platform::SetMidiOutDevice(Capture); }
    void TearDown() override { Platform::SetMidiOutDevice(nullptr); }

    std::vector<Kind> Kinds() const
    {
        std::vector<Kind> kinds;
        for (const auto& e : Capture->Entries()) kinds.push_back(e.What);
        return kinds;
    }
    std::shared_ptr<Platform::CaptureMidiDevice> Capture = std::make_shared<Platform::CaptureMidiDevice>();
};

using ComponentLifecycle = DeviceFixture;

TEST_F(ComponentLifecycle, ConstructedAndDestroyedWithoutInit)
{
    TComponent owner(nullptr);
    auto* midi = new TVantrelMidi(&owner);
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_FALSE(midi->Initialized());
    EXPECT_EQ(midi->MidiOut(), nullptr);
    EXPECT_NE(midi->WindowHandle(), nullptr);
    ASSERT_NE(midi->PlayThread(), nullptr);
    EXPECT_EQ(midi->PlayThread()->Priority(), tpTimeCritical);
    EXPECT_TRUE(midi->GetReport());
    EXPECT_EQ(midi->GetMusicTempo(), 500000u);
    EXPECT_EQ(midi->GetDeltaTime(), 0u);
    delete midi;  // the owner forgets it; the thread has ended when this returns
    EXPECT_EQ(owner.ComponentCount(), 0);
    EXPECT_TRUE(Kinds().empty());  // the device was never opened
}

TEST_F(ComponentLifecycle, InitWithoutAnyMidiOutputFails)
{
    Platform::SetMidiOutDevice(Platform::MakeNullMidiDevice());
    TVantrelMidi midi(nullptr);
    try {
        midi.Init();
        FAIL() << "Init succeeded without a device";
    } catch (const EVtMidi& e) {
        EXPECT_EQ(e.Message, "TVantrelMidi エラー\n\nMidiOutの作成に失敗しました。");
    }
    EXPECT_FALSE(midi.Initialized());
    EXPECT_EQ(midi.MidiOut(), nullptr);
}

TEST_F(ComponentLifecycle, InitCleanUpInitOpensTheDeviceAgain)
{
    TVantrelMidi midi(nullptr);
    midi.Init();
    EXPECT_TRUE(midi.Initialized());
    EXPECT_NE(midi.MidiOut(), nullptr);
    midi.CleanUp();
    EXPECT_FALSE(midi.Initialized());
    EXPECT_EQ(midi.MidiOut(), nullptr);
    midi.Init();
    EXPECT_TRUE(midi.Initialized());
    midi.Stop();  // a guarded operation that needs the device works again
    midi.CleanUp();
    midi.CleanUp();  // nothing open: only clears the flag
    std::vector<Kind> kinds = Kinds();
    std::erase(kinds, Kind::Reset);
    EXPECT_EQ(kinds, (std::vector<Kind>{Kind::Open, Kind::Close, Kind::Open, Kind::Close}));
}

TEST_F(ComponentLifecycle, SecondInitKeepsTheOpenPort)
{
    TVantrelMidi midi(nullptr);
    midi.Init();
    HMIDIOUT first = midi.MidiOut();
    midi.Init();
    EXPECT_EQ(midi.MidiOut(), first);
    const std::vector<Kind> kinds = Kinds();
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), Kind::Open), 1);
}

TEST_F(ComponentLifecycle, DestructorClosesTheOpenDevice)
{
    {
        TVantrelMidi midi(nullptr);
        midi.Init();
    }
    EXPECT_EQ(Kinds().back(), Kind::Close);
}

TEST_F(ComponentLifecycle, GuardRefusesDeviceOperationsBeforeInitButQueuesNotes)
{
    TVantrelMidi midi(nullptr);
    try {
        midi.Stop();
        FAIL() << "Stop ran before Init";
    } catch (const EVtMidi& e) {
        EXPECT_EQ(e.Message, "TVantrelMidi エラー\n\nまだ初期化されてません。");
    }
    EXPECT_NO_THROW(midi.NoteOn(0, 60, 100, 500));
    EXPECT_TRUE(Capture->Entries().empty());
}

TEST_F(ComponentLifecycle, WindowMessages)
{
    TVantrelMidi midi(nullptr);
    std::vector<TObject*> starts, ends;

    TMessage other{WM_USER + 31, 1, 2, 1234};
    midi.WndProc(other);
    EXPECT_EQ(other.Result, DefWindowProc(midi.WindowHandle(), WM_USER + 31, 1, 2));

    TMessage start{WM_MIDISTART, 0, 0, 77};
    midi.WndProc(start);  // no handler: nothing happens
    EXPECT_EQ(start.Result, 77);
    midi.SetOnMidiStart([&](TObject* sender) { starts.push_back(sender); });
    midi.WndProc(start);
    EXPECT_EQ(starts, (std::vector<TObject*>{&midi}));
    EXPECT_EQ(start.Result, 77);

    midi.SetOnMidiEnd([&](TObject* sender) { ends.push_back(sender); });
    TMessage end{WM_MIDIEND, 0, 0, 55};
    midi.WndProc(end);
    EXPECT_EQ(ends, (std::vector<TObject*>{&midi}));
    EXPECT_EQ(end.Result, 55);
}

TEST_F(ComponentLifecycle, MidiEndRunsResetWithOrWithoutAHandler)
{
    TVantrelMidi midi(nullptr);
    TVantrelMidiChannel channels[16];
    midi.GetChannelData(channels);
    EXPECT_EQ(channels[0].Volume, 0);  // all zero until the first reset

    TMessage end{WM_MIDIEND, 0, 0, 0};
    midi.WndProc(end);
    midi.GetChannelData(channels);
    for (const TVantrelMidiChannel& c : channels) {
        EXPECT_EQ(c.Volume, 100);
        EXPECT_EQ(c.Pan, 64);
        EXPECT_EQ(c.Expression, 127);
        EXPECT_EQ(c.Reverb, 40);
    }
}

TEST_F(ComponentLifecycle, HandlerErrorLeavesWndProcAndSkipsReset)
{
    TVantrelMidi midi(nullptr);
    midi.SetOnMidiEnd([](TObject*) { throw Exception("handler failed"); });
    TMessage end{WM_MIDIEND, 0, 0, 0};
    EXPECT_THROW(midi.WndProc(end), Exception);
    TVantrelMidiChannel channels[16];
    midi.GetChannelData(channels);
    EXPECT_EQ(channels[3].Volume, 0);
}

TEST_F(ComponentLifecycle, PostedEndRunsOnTheDispatchingThread)
{
    TVantrelMidi midi(nullptr);
    std::thread::id ranOn;
    midi.SetOnMidiEnd([&](TObject*) { ranOn = std::this_thread::get_id(); });
    std::thread([&] { PostMessage(midi.WindowHandle(), WM_MIDIEND, 0, 0); }).join();
    Platform::DispatchPostedMessages();
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST_F(ComponentLifecycle, MessagesQueuedForADestroyedComponentAreDropped)
{
    bool ran = false;
    {
        TVantrelMidi midi(nullptr);
        midi.SetOnMidiEnd([&](TObject*) { ran = true; });
        PostMessage(midi.WindowHandle(), WM_MIDIEND, 0, 0);
    }
    Platform::DispatchPostedMessages();
    EXPECT_FALSE(ran);
}

TEST(ComponentStreaming, ReportIsStreamedOnlyWhenFalse)
{
    TVantrelMidi midi(nullptr);
    TWriter defaults;
    midi.WriteProperties(defaults);
    EXPECT_TRUE(defaults.Properties().empty());

    midi.SetReport(false);
    TWriter changed;
    midi.WriteProperties(changed);
    EXPECT_EQ(changed.Text(), "Report = False\n");

    TVantrelMidi loaded(nullptr);
    ReadComponentProperties(loaded, changed.Text());
    EXPECT_FALSE(loaded.GetReport());
    EXPECT_THROW(ReadComponentProperties(loaded, "Report = Maybe\n"), Exception);
    EXPECT_THROW(ReadComponentProperties(loaded, "Volume = 3\n"), Exception);
}

TEST(ComponentPalette, RegisterPutsTheClassOnTheVantrelPage)
{
    Register();
    std::vector<TComponentClassInfo> page = Platform::PaletteComponents("Vantrel");
    ASSERT_EQ(page.size(), 1u);
    EXPECT_EQ(page[0].ClassName, "TVantrelMidi");
    EXPECT_EQ(page[0].UnitName, "vtmidi");
    TComponent form(nullptr);
    TComponent* made = page[0].Create(&form);
    EXPECT_NE(dynamic_cast<TVantrelMidi*>(made), nullptr);
    EXPECT_EQ(form.ComponentCount(), 1);
}

}  // namespace
