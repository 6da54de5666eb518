// What the loader files from well-formed (and merely unusual) files.
#include <gtest/gtest.h>

#include "library/midi/vtmidi_data.h"
#include "platform/core/classes.h"
#include "tests/midi/smf_builder.h"

using namespace VantrelMidiSystem;
using namespace SmfBuilder;

namespace {

struct Loaded : TVantrelMidiData {
    explicit Loaded(const Bytes& file) { LoadFromMemory(file.data(), file.size(), "test.mid"); }
};

std::vector<std::uint32_t> Times(const TShortMessageList& list)
{
    std::vector<std::uint32_t> out;
    for (const TShortMessage& m : list) out.push_back(m.Time);
    return out;
}

std::vector<int> Notes(const TShortMessageList& list)
{
    std::vector<int> out;
    for (const TShortMessage& m : list) out.push_back(m.Data1);
    return out;
}

TEST(LoaderParse, HeaderValuesAndAnEmptySong)
{
    // A division with its top bit set (the SMPTE form) is kept as a plain tick count.
    Loaded song(Header(1, 0, 0xE728));
    EXPECT_EQ(song.Format, 1u);
    EXPECT_EQ(song.Division, 0xE728u);
    EXPECT_EQ(song.TotalTime, 0u);
    EXPECT_TRUE(song.ShortMessages.empty());
    EXPECT_TRUE(song.LongMessages.empty());
    EXPECT_TRUE(song.MetaEvents.empty());
}

TEST(LoaderParse, ChunksAfterTheCountedOnesAreNeverRead)
{
    Bytes file = File(0, 480, {Track().Event(5, {0x90, 60, 100}).End()});
    Append(file, Chunk("XJnk", {1, 2, 3}));
    Append(file, {'M', 'T', 'r'});
    Loaded song(file);
    EXPECT_EQ(song.ShortMessages.size(), 1u);
    EXPECT_EQ(song.TotalTime, 5u);
}

TEST(LoaderParse, EventsAreFiledByTimeThenTrackThenFileOrder)
{
    Loaded song(File(1, 480, {
        Track().Event(0, {0x90, 1, 1}).Event(0, {0x90, 2, 1}).Event(10, {0x90, 3, 1}).Event(10, {0x90, 4, 1}).End(),
        Track().Event(0, {0x91, 11, 1}).Event(5, {0x91, 12, 1}).Event(5, {0x91, 13, 1}).Event(15, {0x91, 14, 1}).End(),
        Track().Event(10, {0x92, 21, 1}).End(),
    }));
    EXPECT_EQ(Notes(song.ShortMessages), (std::vector<int>{1, 2, 11, 12, 3, 13, 21, 4, 14}));
    EXPECT_EQ(Times(song.ShortMessages), (std::vector<std::uint32_t>{0, 0, 0, 5, 10, 10, 10, 20, 25}));
}

TEST(LoaderParse, TotalTimeIsTheLongestTrackEndOfTrackDeltaIncluded)
{
    Loaded song(File(1, 480, {
        Track().Event(100, {0x90, 60, 1}).End(50),
        // no End of Track: the track ends with its chunk and its last time still counts
        Track().Event(120, {0x90, 62, 1}),
        Track().Event(10, {0x90, 64, 1}).End(),
    }));
    EXPECT_EQ(song.TotalTime, 150u);
    EXPECT_EQ(song.ShortMessages.size(), 3u);
}

TEST(LoaderParse, BytesAfterEndOfTrackAreIgnored)
{
    Loaded song(File(0, 480, {Track().Event(0, {0x90, 60, 1}).End(7).Event(0, {0x90, 61, 1}).Raw({0x90})}));
    EXPECT_EQ(Notes(song.ShortMessages), (std::vector<int>{60}));
    EXPECT_EQ(song.TotalTime, 7u);
}

TEST(LoaderParse, ChannelMessagesTakeOneOrTwoDataBytesAsTheyCome)
{
    Loaded song(File(0, 480, {Track()
        .Event(0, {0xC3, 5})
        .Event(0, {0xD4, 6})
        .Event(0, {0x95, 60, 0})        // velocity 0 stays a note-on
        .Event(0, {0xE6, 0x7F, 0x40})
        .Event(0, {0xF2, 0x11, 0x22})   // system common: two bytes like the rest
        .Event(0, {0xB0, 0x8A, 0xFF - 0x80})
        .End()}));
    struct Want { int Status, Data1, Data2; };
    const Want want[] = {{0xC3, 5, 0}, {0xD4, 6, 0}, {0x95, 60, 0}, {0xE6, 0x7F, 0x40}, {0xF2, 0x11, 0x22}, {0xB0, 0x8A, 0x7F}};
    ASSERT_EQ(song.ShortMessages.size(), std::size(want));
    auto it = song.ShortMessages.begin();
    for (const Want& w : want) {
        EXPECT_EQ(it->Status, w.Status);
        EXPECT_EQ(it->Data1, w.Data1) << std::hex << w.Status;
        EXPECT_EQ(it->Data2, w.Data2) << std::hex << w.Status;
        ++it;
    }
}

TEST(LoaderParse, RunningStatusAppliesToEveryStatusByte)
{
    Loaded song(File(0, 480, {Track()
        .Event(0, {0x90, 60, 100})
        .Event(1, {61, 101})                    // note-on again
        .Event(1, {0xC2, 7})
        .Event(1, {8})                          // program change again: one byte
        .Event(1, {0xFF, 0x06, 1, 'A'})
        .Event(1, {0x06, 1, 'B'})               // after a meta event: another meta event
        .Event(1, {0xF0, 2, 0x01, 0xF7})
        .Event(1, {2, 0x02, 0xF7})              // after a SysEx: another SysEx
        .End()}));
    EXPECT_EQ(Notes(song.ShortMessages), (std::vector<int>{60, 61, 7, 8}));
    EXPECT_EQ(song.ShortMessages.back().Status, 0xC2);
    ASSERT_EQ(song.MetaEvents.size(), 2u);
    EXPECT_EQ(song.MetaEvents.back().Text, "B");
    EXPECT_EQ(song.MetaEvents.back().Time, 5u);
    ASSERT_EQ(song.LongMessages.size(), 2u);
    const TLongMessage& second = song.LongMessages.back();
    EXPECT_EQ(Bytes(second.Data, second.Data + second.Length), (Bytes{0xF0, 0x02, 0xF7}));
}

TEST(LoaderParse, SysExBlocksKeepTheirStatusByte)
{
    Loaded song(File(0, 480, {Track()
        .SysEx(0, 0xF0, {0x7E, 0x7F, 0x09, 0x01, 0xF7})
        .SysEx(3, 0xF7, {0x43, 0x12})
        .End()}));
    ASSERT_EQ(song.LongMessages.size(), 2u);
    const TLongMessage& f0 = song.LongMessages.front();
    EXPECT_EQ(f0.Length, 6);
    EXPECT_EQ(Bytes(f0.Data, f0.Data + f0.Length), (Bytes{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}));
    const TLongMessage& f7 = song.LongMessages.back();
    EXPECT_EQ(f7.Time, 3u);
    EXPECT_EQ(Bytes(f7.Data, f7.Data + f7.Length), (Bytes{0xF7, 0x43, 0x12}));
}

TEST(LoaderParse, MetaEventsKeptDroppedAndCollected)
{
    const std::string longText(300, 'x');
    Loaded song(File(1, 480, {
        Track()
            .Text(0, 0x03, "Lead")
            .Text(0, 0x01, "first")
            .Text(0, 0x02, "(c) us")
            .Tempo(0, 500000)
            .Text(10, 0x06, std::string("RepeatEnd\0tail", 14))
            .Text(0, 0x07, "repeat")
            .Text(0, 0x05, "la")
            .Meta(0, 0x20, {0})
            .Meta(0, 0x7F, {1, 2})
            .Text(0, 0x01, longText)
            .Meta(0, 0x58, {3, 3, 24, 8})
            .End(),
        Track().Text(0, 0x03, "Bass").Meta(20, 0x58, {6, 3, 36, 8}).End(),
    }));
    EXPECT_EQ(std::vector<std::string>(song.TrackNames.begin(), song.TrackNames.end()),
              (std::vector<std::string>{"Lead", "Bass"}));
    EXPECT_EQ(std::vector<std::string>(song.Texts.begin(), song.Texts.end()),
              (std::vector<std::string>{"first", longText}));
    EXPECT_EQ(song.Notices.Count(), 1);
    // the later time signature wins
    EXPECT_EQ(song.Numerator, 6u);
    EXPECT_EQ(song.Denominator, 3u);
    EXPECT_EQ(song.ClocksPerClick, 36u);

    struct Want { std::uint32_t Time; int Type; int Value; std::string Text; };
    const Want want[] = {{0, 0x51, 500000, ""}, {10, 0x06, 0, "RepeatEnd"}, {10, 0x07, 0, "repeat"}, {10, 0x05, 0, "la"}};
    ASSERT_EQ(song.MetaEvents.size(), std::size(want));
    auto it = song.MetaEvents.begin();
    for (const Want& w : want) {
        EXPECT_EQ(it->Time, w.Time);
        EXPECT_EQ(it->Type, w.Type);
        EXPECT_EQ(it->Value, w.Value);
        EXPECT_EQ(it->Text, w.Text);
        ++it;
    }
}

TEST(LoaderParse, TempoBytesAreReadWhateverTheDeclaredLength)
{
    // A tempo of length 2 takes its third byte from what follows (the End of Track's delta, 0);
    // at the very end of a chunk the missing bytes read as 0 rather than past the buffer.
    Loaded song(File(0, 480, {
        Track().Event(0, {0xFF, 0x51, 0x02, 0x07, 0xA1}).End(),
        Track().Event(3, {0xFF, 0x51, 0x01, 0x07}),
    }));
    ASSERT_EQ(song.MetaEvents.size(), 2u);
    EXPECT_EQ(song.MetaEvents.front().Value, 0x07A100);
    EXPECT_EQ(song.MetaEvents.back().Value, 0x070000);
}

TEST(LoaderParse, ClearEmptiesTheListsAndKeepsTheHeaderValues)
{
    Loaded song(File(1, 96, {Track().Text(0, 1, "t").Text(0, 2, "n").Text(0, 3, "name").Meta(0, 0x58, {4, 2, 24, 8})
        .SysEx(0, 0xF0, {0xF7}).Tempo(0, 400000).Event(30, {0x90, 1, 1}).End()}));
    song.Clear();
    EXPECT_EQ(song.Format, 1u);
    EXPECT_EQ(song.Division, 96u);
    EXPECT_EQ(song.TotalTime, 30u);
    EXPECT_EQ(song.Numerator, 4u);
    EXPECT_EQ(song.Denominator, 2u);
    EXPECT_EQ(song.ClocksPerClick, 24u);
    EXPECT_TRUE(song.ShortMessages.empty() && song.LongMessages.empty() && song.MetaEvents.empty());
    EXPECT_EQ(song.Texts.Count() + song.Notices.Count() + song.TrackNames.Count(), 0);
}

TEST(LoaderParse, LoadsFromAProgramResourceBeforeAFile)
{
    TVantrelMidiData data;
    Platform::RegisterResource("MIDI", "wav\\tune.mid", File(0, 120, {Track().Event(9, {0x90, 1, 1}).End()}));
    data.LoadFile("wav\\tune.mid");
    Platform::UnregisterResource("MIDI", "wav\\tune.mid");
    EXPECT_EQ(data.Division, 120u);
    EXPECT_EQ(data.TotalTime, 9u);
}

TEST(LoaderParse, FileNamesWithBackslashesReachTheFile)
{
    TempFile file(File(0, 240, {Track().Event(4, {0x90, 1, 1}).End()}), "wav/bgm.mid");
    TVantrelMidiData data;
    data.LoadFile(file.Dir() + "\\wav\\bgm.mid");
    EXPECT_EQ(data.Division, 240u);
    EXPECT_EQ(data.ShortMessages.size(), 1u);
}

TEST(LoaderParse, LongMessageCopiesOwnTheirBytes)
{
    const unsigned char bytes[] = {0xF0, 1, 2, 0xF7};
    auto* original = new TLongMessage(7, bytes, 4);
    TLongMessage copy(*original);
    EXPECT_NE(copy.Data, original->Data);
    delete original;
    EXPECT_EQ(copy.Time, 7u);
    EXPECT_EQ(Bytes(copy.Data, copy.Data + copy.Length), Bytes(bytes, bytes + 4));
    TShortMessage s(0x90, 60, 100);
    EXPECT_EQ(s.Time, 0u);
}

}  // namespace
