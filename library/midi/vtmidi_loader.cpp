// Reading a Standard MIDI File (format 0 or 1) into a song's event lists.
#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "library/debug/vtdebug.h"
#include "library/midi/vtmidi_data.h"
#include "library/support/vterrors.h"

namespace VantrelMidiSystem {

using VantrelSystem::EVtMidi;
using VantrelSystem::VantrelGuard;
namespace VtErrorText = VantrelSystem::VtErrorText;

struct TVantrelMidiData::TSource {
    virtual ~TSource() = default;
    virtual std::size_t Read(unsigned char* to, std::size_t count) = 0;
    virtual std::uint64_t Remaining() = 0;
};

namespace {
class TMemorySource : public TVantrelMidiData::TSource {
public:
    TMemorySource(const unsigned char* bytes, std::size_t size) : FBytes(bytes), FSize(size) {}
    std::size_t Read(unsigned char* to, std::size_t count) override
    {
        std::size_t n = std::min<std::size_t>(count, FSize - FPos);
        if (n) std::memcpy(to, FBytes + FPos, n);
        FPos += n;
        return n;
    }
    std::uint64_t Remaining() override { return FSize - FPos; }
private:
    const unsigned char* FBytes;
    std::size_t FSize;
    std::size_t FPos = 0;
};

class TStreamSource : public TVantrelMidiData::TSource {
public:
    explicit TStreamSource(std::unique_ptr<TStream> stream)
        : FStream(std::move(stream)), FSize(FStream->Size()) {}
    std::size_t Read(unsigned char* to, std::size_t count) override { return FStream->Read(to, count); }
    std::uint64_t Remaining() override
    {
        std::uint64_t at = FStream->Position();
        return at < FSize ? FSize - at : 0;
    }
private:
    std::unique_ptr<TStream> FStream;
    std::uint64_t FSize;
};

std::unique_ptr<TStream> OpenSong(const AnsiString& FileName)
{
    try {
        return std::make_unique<TResourceStream>("MIDI", FileName);
    } catch (...) {
        // not carried by the program: fall back to the file of that name
    }
    try {
        return std::make_unique<TFileStream>(FileName);
    } catch (const EFOpenError&) {
        throw EVtMidi(VtErrorText::LoadFailed + FileName);
    }
}

std::uint32_t BigEndian(const unsigned char* p, int count)
{
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = (value << 8) | p[i];
    return value;
}

// Moves a list's insertion cursor past every entry due at or before time.
template <class List>
void SeekInsertion(const List& list, typename List::iterator& pos, std::uint32_t time)
{
    while (pos != list.end() && pos->Time <= time) ++pos;
}
}  // namespace

// Reads inside one event are checked against the chunk: an event cut off by the chunk's end
// fails the load, since the rest of that track cannot be trusted.
struct TVantrelMidiData::TTrackBytes {
    const unsigned char* Data;
    unsigned Length;
    unsigned Pos;
    const AnsiString& FileName;

    [[noreturn]] void Broken() const { throw EVtMidi(VtErrorText::BadFileData + FileName); }
    unsigned Left() const { return Length - Pos; }
    unsigned char Peek() const
    {
        if (Pos >= Length) Broken();
        return Data[Pos];
    }
    unsigned char Next()
    {
        unsigned char b = Peek();
        ++Pos;
        return b;
    }
    std::uint32_t ReadNumber()
    {
        std::uint32_t value = 0;
        unsigned char b;
        do {
            b = Next();
            value = (value << 7) + (b & 0x7F);
        } while (b & 0x80);
        return value;
    }
    const unsigned char* Take(std::uint32_t count)
    {
        if (count > Left()) Broken();
        const unsigned char* at = Data + Pos;
        Pos += count;
        return at;
    }
    // A byte at an offset from the position; 0 past the chunk's end.
    unsigned char ByteAt(unsigned offset) const
    {
        return offset < Left() ? Data[Pos + offset] : 0;
    }
};

TVantrelMidiData::TVantrelMidiData()
{
    VantrelGuard("TVantrelMidiData::TVantrelMidiData", [] {});
}

TVantrelMidiData::~TVantrelMidiData()
{
    VantrelGuard("TVantrelMidiData::~TVantrelMidiData", [] {});
}

void TVantrelMidiData::LoadFile(const AnsiString& FileName)
{
    VantrelGuard("TVantrelMidiData::LoadFile", [&] {
        TStreamSource source(OpenSong(FileName));
        LoadFrom(source, FileName);
    });
}

void TVantrelMidiData::LoadFromMemory(const unsigned char* Bytes, std::size_t Size,
                                      const AnsiString& FileName)
{
    VantrelGuard("TVantrelMidiData::LoadFile", [&] {
        TMemorySource source(Bytes, Size);
        LoadFrom(source, FileName);
    });
}

void TVantrelMidiData::LoadFrom(TSource& source, const AnsiString& FileName)
{
    Clear();
    unsigned char header[14];
    if (source.Read(header, sizeof header) != sizeof header || std::memcmp(header, "MThd", 4) != 0)
        throw EVtMidi(VtErrorText::BadFileHeader + FileName);
    Format = BigEndian(header + 8, 2);
    const unsigned trackCount = BigEndian(header + 10, 2);
    Division = BigEndian(header + 12, 2);
    if (Format != 0 && Format != 1) throw EVtMidi(VtErrorText::NotFormat0Or1 + FileName);

    for (unsigned track = 0; track < trackCount; ++track) {
        unsigned char chunk[8];
        if (source.Read(chunk, sizeof chunk) != sizeof chunk || std::memcmp(chunk, "MTrk", 4) != 0)
            throw EVtMidi(VtErrorText::BadTrackHeader + FileName);
        const std::uint32_t length = BigEndian(chunk + 4, 4);
        // A length beyond the end of the source is refused before anything is allocated for it.
        if (length > source.Remaining()) throw EVtMidi(VtErrorText::BadFileData + FileName);
        std::vector<unsigned char> bytes(length);
        if (source.Read(bytes.data(), length) != length)
            throw EVtMidi(VtErrorText::BadFileData + FileName);
        ReadTrack(bytes.data(), length, FileName);
    }
}

void TVantrelMidiData::ReadTrack(const unsigned char* Bytes, unsigned Count, const AnsiString& FileName)
{
    VantrelGuard("TVantrelMidiData::ReadTrack", [&] {
        TTrackBytes track{Bytes, Count, 0, FileName};
        auto shortPos = ShortMessages.begin();
        auto longPos = LongMessages.begin();
        auto metaPos = MetaEvents.begin();
        std::uint32_t time = 0;
        unsigned char status = 0;  // none yet: a first event without a status byte is refused
        bool goOn = true;
        while (goOn && track.Pos < track.Length) {
            // A track running past the last representable tick is corrupt; wrapping round would
            // file its later events before earlier ones.
            const std::uint32_t delta = track.ReadNumber();
            if (delta > std::numeric_limits<std::uint32_t>::max() - time) track.Broken();
            time += delta;
            if (track.Peek() & 0x80) status = track.Next();
            else if (status == 0) track.Broken();
            if (status == 0xF0 || status == 0xF7) goOn = SystemExclusive(track, longPos, time, status);
            else if (status == 0xFF) goOn = MetaEvent(track, metaPos, time, status);
            else goOn = DefaultEvent(track, shortPos, time, status);
        }
        TotalTime = std::max(TotalTime, time);
    });
}

bool TVantrelMidiData::DefaultEvent(TTrackBytes& track, TShortMessageList::iterator& pos,
                                    unsigned time, unsigned char status)
{
    return VantrelGuard("TVantrelMidiData::DefaultEvent", [&] {
        SeekInsertion(ShortMessages, pos, time);
        const unsigned kind = status & 0xF0;
        const unsigned char data1 = track.Next();
        const unsigned char data2 = (kind == 0xC0 || kind == 0xD0) ? 0 : track.Next();
        ShortMessages.emplace(pos, time, status, data1, data2);
        return true;
    });
}

bool TVantrelMidiData::SystemExclusive(TTrackBytes& track, TLongMessageList::iterator& pos,
                                       unsigned time, unsigned char status)
{
    return VantrelGuard("TVantrelMidiData::SystemExclusive", [&] {
        SeekInsertion(LongMessages, pos, time);
        const std::uint32_t count = track.ReadNumber();
        const unsigned char* data = track.Take(count);
        if (count >= static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())) track.Broken();
        std::vector<unsigned char> block(count + 1);
        block[0] = status;
        std::memcpy(block.data() + 1, data, count);
        LongMessages.emplace(pos, time, block.data(), static_cast<std::int32_t>(count + 1));
        return true;
    });
}

bool TVantrelMidiData::MetaEvent(TTrackBytes& track, TMetaEventList::iterator& pos, unsigned time,
                                 unsigned char)
{
    return VantrelGuard("TVantrelMidiData::MetaEvent", [&] {
        SeekInsertion(MetaEvents, pos, time);
        const unsigned char type = track.Next();
        const std::uint32_t count = track.ReadNumber();
        // Tempo and time signature take their three bytes whatever the declared length.
        const unsigned char b0 = track.ByteAt(0), b1 = track.ByteAt(1), b2 = track.ByteAt(2);
        const char* payload = reinterpret_cast<const char*>(track.Take(count));
        // A text ends at its first zero byte; a long one is kept whole.
        auto text = [&] { return AnsiString(payload, strnlen(payload, count)); };
        switch (type) {
        case 0x01: Texts.Add(text()); break;
        case 0x02: Notices.Add(text()); break;
        case 0x03: TrackNames.Add(text()); break;
        case 0x05:
        case 0x06:
        case 0x07: MetaEvents.emplace(pos, time, type, 0, text()); break;
        case 0x2F: return false;
        case 0x51: MetaEvents.emplace(pos, time, type, (b0 << 16) | (b1 << 8) | b2, AnsiString()); break;
        case 0x58:
            Numerator = b0;
            Denominator = b1;
            ClocksPerClick = b2;
            break;
        default: break;
        }
        return true;
    });
}

}  // namespace VantrelMidiSystem
