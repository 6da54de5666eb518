// Unit Vtmidi: TVantrelMidi, the non-visual component that opens the MIDI output, keeps a registry
// of loaded songs and plays them on a playback thread of its own.
#pragma once
#include <atomic>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <vector>

#include "library/midi/vtmidi_data.h"
#include "library/support/vtautoptr.h"
#include "platform/audio/midiout.h"
#include "platform/core/classes.h"
#include "platform/core/clock.h"
#include "platform/core/messages.h"
#include "platform/core/sysutils.h"
#include "platform/core/threads.h"

namespace VantrelMidiSystem {

// Messages of the component's hidden window. WM_MIDIEND is posted with WParam 0 and LParam 0.
constexpr UINT WM_MIDISTART = WM_USER + 30;
constexpr UINT WM_MIDIEND = WM_USER + 32;

// What the component knows of one MIDI channel (index = channel 0..15).
struct TVantrelMidiChannel {
    std::uint8_t Level;       // highest recent note-on velocity, falling by 4 per cycle
    std::uint8_t Program;
    std::uint8_t Volume;      // controller 7; also the base a fade-out scales
    std::uint8_t Pan;         // controller 10
    std::uint8_t Expression;  // controller 11
    std::uint8_t Reverb;      // controller 91
    std::uint8_t Chorus;      // controller 93
    std::uint8_t Delay;       // controller 94
};

// A fixed underlying type: any other value is a valid TMidiReset, and sends nothing.
enum TMidiReset : int { mrGMSystemOn = 0, mrGSReset = 1 };

// GS macro numbers, sent unchanged as the data byte of the effect message.
enum TGSReverb : std::uint8_t {
    gsrRoom1, gsrRoom2, gsrRoom3, gsrHall1, gsrHall2, gsrPlate, gsrDelay, gsrPanningDelay
};
enum TGSChorus : std::uint8_t {
    gscChorus1, gscChorus2, gscChorus3, gscChorus4, gscFeedbackChorus, gscFlanger, gscShortDelay,
    gscShortDelayFeedback
};
enum TGSDelay : std::uint8_t {
    gsdDelay1, gsdDelay2, gsdDelay3, gsdDelay4, gsdPanDelay1, gsdPanDelay2, gsdPanDelay3,
    gsdPanDelay4, gsdDelayToReverb, gsdPanRepeat
};

class TVantrelMidi;

// The playback thread: every FInterval ms it hands the elapsed time to the sequencer while a song
// plays, answers a stop request, and drains the immediate-message queue.
class TVantrelMidiPlayThread : public TThread {
public:
    TVantrelMidiPlayThread(TVantrelMidi* Midi, DWORD Interval);  // created suspended

    // One cycle without the sleep. The thread's loop is Cycle() then Sleep(FInterval); a test
    // whose components were built with ManualCycles set calls it itself instead.
    void Cycle();

    // While set, components constructed afterwards leave their thread suspended (never started),
    // so that a test can drive Cycle() on its own thread with a manual clock.
    static void SetManualCycles(bool manual) { FManualCycles.store(manual); }
    static bool ManualCycles() { return FManualCycles.load(); }

protected:
    void Execute() override;

private:
    TVantrelMidi* FMidi;
    DWORD FInterval;
    DWORD FLast = 0;  // time reading at the start of the previous cycle
    static inline std::atomic<bool> FManualCycles{false};
};

// Every operation marked "guarded" runs inside the library's guard: a profile scope named
// "TVantrelMidi::<operation>" when profiling is on, and errors traced and re-raised unchanged.
//
// Threads: the owner's thread (the main thread) calls every public operation, and WndProc runs
// there too. The playback thread runs SmfPlay, UserPlay and through them ShortMsg, LongMsg and
// Repeat. FPlaying, FStopRequest and FFadeTime are the hand-over flags (release/acquire);
// FReport, FDeltaTime and FMusicTempo are atomic so the main thread may read them at any time.
//
// Deleting the song that is playing: DeleteData and DeleteAllData first Stop playback (when the
// component is initialised) and wait for the thread's answer. If the thread has not let go of the
// song (FPlaying still set), the song's counted pointer moves to FRetiredData, which keeps it alive
// until a later registry operation, WM_MIDIEND or the destructor finds the thread idle. So the
// object behind FData is never freed while FPlaying is set; the sequencer needs no lock for it.
class TVantrelMidi : public TComponent {
public:
    explicit TVantrelMidi(TComponent* Owner);  // guarded
    ~TVantrelMidi() override;                  // guarded

    virtual void WndProc(TMessage& Message);  // guarded

    // Device lifecycle (guarded). Init raises EVtMidi when no MIDI output can be opened.
    void Init();
    void CleanUp();

    // Song registry (guarded; none needs Init).
    void CreateData(const AnsiString& DataName, const AnsiString& FileName);
    TVantrelMidiData* GetSMFData(const AnsiString& DataName);
    void DeleteData(const AnsiString& DataName);
    void DeleteAllData();

    // Sequencer. Play, Stop, SetFadeOut and Reset are guarded; Play, Stop and SetFadeOut need Init.
    void Play(const AnsiString& DataName, bool Loop);
    void Stop();
    void Reset();
    void Repeat();                   // playback thread, from SmfPlay
    void SetFadeOut(int FadeTime);   // milliseconds
    void SmfPlay(DWORD Elapsed);     // playback thread
    void UserPlay(DWORD Elapsed);    // playback thread

    // Messages to the device (not guarded) and immediate messages through the queue (guarded).
    void ShortMsg(const TShortMessage& Message);
    void LongMsg(const TLongMessage& Message);
    void NoteOn(std::uint8_t Channel, std::uint8_t Note, std::uint8_t Velocity, DWORD Duration);
    void NoteOff(std::uint8_t Channel, std::uint8_t Note);
    void ControlChange(std::uint8_t Channel, std::uint8_t Controller, std::uint8_t Value);
    void ProgramChange(std::uint8_t Channel, std::uint8_t Value);
    void ChannelPressure(std::uint8_t Channel, std::uint8_t Value);
    void PitchBend(std::uint8_t Channel, std::uint8_t Value);

    // Device reset and GS effects (guarded; need Init).
    void MidiReset(TMidiReset Reset);
    void SetGSReverb(TGSReverb Reverb);
    void SetGSChorus(TGSChorus Chorus);
    void SetGSDelay(TGSDelay Delay);

    // Channel monitor and queries (guarded; no Init needed). Channels must hold 16 records.
    void GetChannelData(TVantrelMidiChannel* Channels);
    DWORD GetDeltaTime();
    DWORD GetMusicTempo();

    // Published properties: Report (default true, streamed only when false), OnMidiStart, OnMidiEnd.
    bool GetReport() const { return FReport.load(std::memory_order_relaxed); }
    void SetReport(bool Value) { FReport.store(Value, std::memory_order_relaxed); }
    const TNotifyEvent& GetOnMidiStart() const { return FOnMidiStart; }
    void SetOnMidiStart(TNotifyEvent Value) { FOnMidiStart = std::move(Value); }
    const TNotifyEvent& GetOnMidiEnd() const { return FOnMidiEnd; }
    void SetOnMidiEnd(TNotifyEvent Value) { FOnMidiEnd = std::move(Value); }

    // Read-only views of the state, for displays and tests.
    bool Initialized() const { return FInitialized; }
    bool Playing() const { return FPlaying.load(std::memory_order_acquire); }
    HMIDIOUT MidiOut() const { return FMidiOut; }
    HWND WindowHandle() const { return FWindowHandle; }
    TVantrelMidiPlayThread* PlayThread() const { return FThread.get(); }

    // Streams the published properties that differ from their defaults.
    void WriteProperties(TWriter& Writer) const override;
    bool ReadProperty(const AnsiString& Name, const AnsiString& Value) override;

private:
    friend class TVantrelMidiPlayThread;
    friend struct TVantrelMidiProbe;  // tests read and set the playback state
    using TDataMap = std::map<AnsiString, VantrelSystem::TVantrelAutoPtr<TVantrelMidiData>>;

    void Destroy();  // the destructor's work; also undoes a construction that failed part-way
    void Unregister(TDataMap::iterator entry);
    void ReleaseRetiredData();
    void InsertUserMessage(const TShortMessage& Message);
    void SendLong(const unsigned char* Bytes, std::int32_t Length);
    bool PlayMetaEvents();             // true when an end text sent the song to its loop start
    bool FadeStep(DWORD Elapsed);      // true when the fade has run out
    void EndPlayback();
    void DecayLevels();
    void PublishChannels(const TVantrelMidiChannel* Channels);  // into FChannelSnapshot

    bool FInitialized = false;
    HMIDIOUT FMidiOut = nullptr;
    HWND FWindowHandle = nullptr;
    std::unique_ptr<TCriticalSection> FChannelLock;  // guards FChannelSnapshot
    std::unique_ptr<TCriticalSection> FUserLock;     // guards FUserQueue
    std::unique_ptr<TEvent> FStopEvent;              // auto-reset; signalled when a stop is answered
    std::atomic<bool> FPlaying{false};
    std::atomic<bool> FStopRequest{false};
    bool FLoop = false;
    std::atomic<bool> FReport{true};
    std::atomic<std::int32_t> FFadeTime{0};
    std::int32_t FFadeCount = 0;
    float FFadeVolume = 0.0f;
    float FFadeStep = 0.0f;
    std::atomic<DWORD> FMusicTempo{500000};  // microseconds per quarter note
    DWORD FTimeRemainder = 0;                // milliseconds x Division not yet turned into ticks
    std::atomic<DWORD> FDeltaTime{0};        // song position in ticks
    DWORD FRepeatTime = 0;                   // tick of the last loop start passed; 0 = none
    std::unique_ptr<TVantrelMidiPlayThread> FThread;
    TNotifyEvent FOnMidiStart;
    TNotifyEvent FOnMidiEnd;
    TVantrelMidiData* FData = nullptr;  // the song being played; owned by the registry
    std::list<TShortMessage> FUserQueue;
    TShortMessageList::const_iterator FShortPos;
    TLongMessageList::const_iterator FLongPos;
    TMetaEventList::const_iterator FMetaPos;
    TVantrelMidiChannel FChannels[16] = {};
    TVantrelMidiChannel FChannelSnapshot[16] = {};
    TDataMap FDataMap;
    std::vector<VantrelSystem::TVantrelAutoPtr<TVantrelMidiData>> FRetiredData;
};

// Design time: puts TVantrelMidi on the component palette page "Vantrel".
void Register();

}  // namespace VantrelMidiSystem
