// The event records and the song container.
#include "library/midi/vtmidi_data.h"

#include <cstring>

#include "library/debug/vtdebug.h"

namespace VantrelMidiSystem {

using VantrelSystem::VantrelGuard;

namespace {
unsigned char* CopyBlock(const unsigned char* data, std::int32_t length)
{
    if (length <= 0) return nullptr;
    auto* block = new unsigned char[length];
    std::memcpy(block, data, length);
    return block;
}
}  // namespace

TLongMessage::TLongMessage(const unsigned char* Data, std::int32_t Length)
    : TLongMessage(0, Data, Length)
{
}

TLongMessage::TLongMessage(std::uint32_t Time, const unsigned char* Data, std::int32_t Length)
    : Time(Time), Data(CopyBlock(Data, Length)), Length(Length > 0 ? Length : 0)
{
}

TLongMessage::TLongMessage(const TLongMessage& other)
    : Time(other.Time), Data(CopyBlock(other.Data, other.Length)), Length(other.Length)
{
}

TLongMessage::TLongMessage(TLongMessage&& other) noexcept
    : Time(other.Time), Data(other.Data), Length(other.Length)
{
    other.Data = nullptr;
    other.Length = 0;
}

TLongMessage& TLongMessage::operator=(const TLongMessage& other)
{
    if (this != &other) *this = TLongMessage(other);
    return *this;
}

TLongMessage& TLongMessage::operator=(TLongMessage&& other) noexcept
{
    std::swap(Time, other.Time);
    std::swap(Data, other.Data);
    std::swap(Length, other.Length);
    return *this;
}

TLongMessage::~TLongMessage() { delete[] Data; }

TVantrelMidiDataInfo::TVantrelMidiDataInfo()
    : ShortMessages(&FNodes), LongMessages(&FNodes), MetaEvents(&FNodes)
{
    VantrelGuard("TVantrelMidiDataInfo::TVantrelMidiDataInfo", [] {});
}

TVantrelMidiDataInfo::~TVantrelMidiDataInfo()
{
    VantrelGuard("TVantrelMidiDataInfo::~TVantrelMidiDataInfo", [] {});
}

void TVantrelMidiDataInfo::Clear()
{
    VantrelGuard("TVantrelMidiDataInfo::Clear", [&] {
        Texts.Clear();
        Notices.Clear();
        TrackNames.Clear();
        ShortMessages.clear();
        LongMessages.clear();
        MetaEvents.clear();
    });
}

}  // namespace VantrelMidiSystem
