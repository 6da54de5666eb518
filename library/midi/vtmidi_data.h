// One loaded song: the three event records, the event lists and TVantrelMidiData, which reads a
// Standard MIDI File (format 0 or 1) into them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <list>
#include <memory_resource>

#include "platform/core/classes.h"
#include "platform/core/sysutils.h"

namespace VantrelMidiSystem {

// One channel message. Time: ticks from the song start, or in the immediate queue the
// milliseconds still to wait.
struct TShortMessage {
    TShortMessage(std::uint8_t Status, std::uint8_t Data1, std::uint8_t Data2)
        : Time(0), Status(Status), Data1(Data1), Data2(Data2) {}
    TShortMessage(std::uint32_t Time, std::uint8_t Status, std::uint8_t Data1, std::uint8_t Data2)
        : Time(Time), Status(Status), Data1(Data1), Data2(Data2) {}
    std::uint32_t Time;
    std::uint8_t Status;
    std::uint8_t Data1;
    std::uint8_t Data2;
};

// One system-exclusive block, starting with its status byte. The record owns a copy of the bytes.
struct TLongMessage {
    TLongMessage(const unsigned char* Data, std::int32_t Length);
    TLongMessage(std::uint32_t Time, const unsigned char* Data, std::int32_t Length);
    TLongMessage(const TLongMessage& other);
    TLongMessage(TLongMessage&& other) noexcept;
    TLongMessage& operator=(const TLongMessage& other);
    TLongMessage& operator=(TLongMessage&& other) noexcept;
    ~TLongMessage();

    std::uint32_t Time;
    unsigned char* Data;
    std::int32_t Length;
};

// A meta event the sequencer acts on: 0x05 lyric, 0x06 marker, 0x07 cue point, 0x51 set tempo.
struct TMetaEvent {
    TMetaEvent(std::uint32_t Time, std::uint8_t Type, std::int32_t Value, const char* Text)
        : Time(Time), Type(Type), Value(Value), Text(Text) {}
    TMetaEvent(std::uint32_t Time, std::uint8_t Type, std::int32_t Value, AnsiString Text)
        : Time(Time), Type(Type), Value(Value), Text(std::move(Text)) {}
    std::uint32_t Time;
    std::uint8_t Type;
    std::int32_t Value;
    AnsiString Text;
};

// Linked lists, so a held position stays valid while entries are inserted before it. Their nodes
// come from the song's own pool, which keeps a song's events close together in memory.
using TShortMessageList = std::pmr::list<TShortMessage>;
using TLongMessageList = std::pmr::list<TLongMessage>;
using TMetaEventList = std::pmr::list<TMetaEvent>;

// A song: header values, the three time-ordered event lists and the text lists.
class TVantrelMidiDataInfo {
public:
    TVantrelMidiDataInfo();
    virtual ~TVantrelMidiDataInfo();
    TVantrelMidiDataInfo(const TVantrelMidiDataInfo&) = delete;
    TVantrelMidiDataInfo& operator=(const TVantrelMidiDataInfo&) = delete;

    // Empties the six collections; the header values stay.
    void Clear();

    std::uint32_t Format = 0;
    std::uint32_t Division = 0;
    std::uint32_t TotalTime = 0;
    std::uint32_t Numerator = 0;
    std::uint32_t Denominator = 0;  // the power of two as stored in the file
    std::uint32_t ClocksPerClick = 0;

private:
    std::pmr::unsynchronized_pool_resource FNodes;  // declared first: outlives the lists

public:
    TShortMessageList ShortMessages;
    TLongMessageList LongMessages;
    TMetaEventList MetaEvents;
    TStringList Texts;
    TStringList Notices;
    TStringList TrackNames;
};

// Reads a Standard MIDI File into the info. Loaded once, right after construction; a failed load
// leaves what was filed before the failure, and the owner discards the object.
class TVantrelMidiData : public TVantrelMidiDataInfo {
public:
    TVantrelMidiData();
    ~TVantrelMidiData() override;

    // Reads the module resource of type "MIDI" named FileName, else the file FileName.
    void LoadFile(const AnsiString& FileName);
    // Parses a whole file image held in memory; FileName only names it in error messages.
    void LoadFromMemory(const unsigned char* Bytes, std::size_t Size, const AnsiString& FileName);

    struct TSource;      // where the bytes come from during one load
    struct TTrackBytes;  // one track chunk and the read position within it

private:
    void LoadFrom(TSource& source, const AnsiString& FileName);
    void ReadTrack(const unsigned char* Bytes, unsigned Count, const AnsiString& FileName);
    bool DefaultEvent(TTrackBytes& track, TShortMessageList::iterator& pos, unsigned time,
                      unsigned char status);
    bool SystemExclusive(TTrackBytes& track, TLongMessageList::iterator& pos, unsigned time,
                         unsigned char status);
    bool MetaEvent(TTrackBytes& track, TMetaEventList::iterator& pos, unsigned time,
                   unsigned char status);
};

}  // namespace VantrelMidiSystem
