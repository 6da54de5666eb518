// TVantrelMidi's construction and destruction, the hidden window, the device lifecycle,
// property streaming and palette registration.
#include "library/debug/vtdebug.h"
#include "library/midi/vtmidi.h"
#include "library/support/vterrors.h"

namespace VantrelMidiSystem {

using VantrelSystem::EVtMidi;
using VantrelSystem::VantrelGuard;
using VantrelSystem::VantrelTrace;
namespace VtErrorText = VantrelSystem::VtErrorText;

TVantrelMidi::TVantrelMidi(TComponent* Owner) : TComponent(Owner)
{
    VantrelGuard("TVantrelMidi::TVantrelMidi", [&] {
        try {
            FChannelLock = std::make_unique<TCriticalSection>();
            FUserLock = std::make_unique<TCriticalSection>();
            FStopEvent = std::make_unique<TEvent>(false, false);
            FThread = std::make_unique<TVantrelMidiPlayThread>(this, 10);
            FThread->SetPriority(tpTimeCritical);
            if (!TVantrelMidiPlayThread::ManualCycles()) FThread->Start();
            FWindowHandle = AllocateHWnd([this](TMessage& message) { WndProc(message); });
        } catch (...) {
            // No destructor runs for a half-built object: undo what exists, then pass the error on.
            Destroy();
            throw;
        }
    });
}

TVantrelMidi::~TVantrelMidi()
{
    VantrelGuard("TVantrelMidi::~TVantrelMidi", [&] { Destroy(); });
}

void TVantrelMidi::Destroy()
{
    CleanUp();
    if (FThread) {
        FThread->Terminate();
        FThread->WaitFor();
    }
    FChannelLock.reset();
    FUserLock.reset();
    FStopEvent.reset();
    FThread.reset();
    // The thread has ended, so no song is in use any more.
    FPlaying.store(false, std::memory_order_release);
    FData = nullptr;
    FDataMap.clear();
    FRetiredData.clear();
    FUserQueue.clear();
    if (FWindowHandle) {
        DeallocateHWnd(FWindowHandle);
        FWindowHandle = nullptr;
    }
}

void TVantrelMidi::WndProc(TMessage& Message)
{
    VantrelGuard("TVantrelMidi::WndProc", [&] {
        switch (Message.Msg) {
        case WM_MIDISTART:
            if (FOnMidiStart) FOnMidiStart(this);
            break;
        case WM_MIDIEND:
            if (FOnMidiEnd) FOnMidiEnd(this);
            // A song started since this message was posted (by the handler, say) keeps its
            // position: only an idle component is reset.
            if (!Playing()) {
                Reset();
                ReleaseRetiredData();
            }
            break;
        default:
            Message.Result =
                DefWindowProc(FWindowHandle, Message.Msg, Message.WParam, Message.LParam);
        }
    });
}

void TVantrelMidi::Init()
{
    VantrelGuard("TVantrelMidi::Init", [&] {
        VantrelTrace("TVantrelMidi::初期化開始");
        // A second Init keeps the port it has rather than leaking it.
        if (FMidiOut) return;
        // The playback thread sends queued messages under FUserLock: the port changes under it.
        FUserLock->Acquire();
        const MMRESULT opened = midiOutOpen(&FMidiOut, MIDI_MAPPER, 0, 0, CALLBACK_NULL);
        FUserLock->Release();
        if (opened != MMSYSERR_NOERROR) {
            FMidiOut = nullptr;
            CleanUp();
            throw EVtMidi(VtErrorText::MidiOutFailed);
        }
        FInitialized = true;
    });
}

void TVantrelMidi::CleanUp()
{
    VantrelGuard("TVantrelMidi::CleanUp", [&] {
        VantrelTrace("TVantrelMidi::クリーンアップ");
        if (FMidiOut) {
            Stop();
            FUserLock->Acquire();
            midiOutClose(FMidiOut);
            FMidiOut = nullptr;
            FUserLock->Release();
        }
        FInitialized = false;
    });
}

void TVantrelMidi::WriteProperties(TWriter& Writer) const
{
    if (!GetReport()) Writer.WriteBoolean("Report", false);
}

bool TVantrelMidi::ReadProperty(const AnsiString& Name, const AnsiString& Value)
{
    if (Name != "Report") return false;
    if (Value != "True" && Value != "False") return false;
    SetReport(Value == "True");
    return true;
}

void Register()
{
    RegisterComponents("Vantrel", {TComponentClassInfo{"TVantrelMidi", "vtmidi", [](TComponent* owner) {
                                       return static_cast<TComponent*>(new TVantrelMidi(owner));
                                   }}});
}

}  // namespace VantrelMidiSystem
