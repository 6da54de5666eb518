// The song registry: names, ownership and the loader's failures.
#include <gtest/gtest.h>

#include "library/midi/vtmidi.h"
#include "library/support/vtautoptr.h"
#include "library/support/vterrors.h"
#include "tests/midi/smf_builder.h"

using namespace VantrelMidiSystem;
using namespace SmfBuilder;
using VantrelSystem::EVtMidi;
using VantrelSystem::ReferenceCountTable;

namespace {

Bytes SongWithNotes(int notes)
{
    Track t;
    for (int i = 0; i < notes; ++i) t.Event(10, {0x90, static_cast<std::uint8_t>(60 + i), 100});
    return File(0, 480, {t.End()});
}

std::string NotRegistered(const std::string& name)
{
    return "TVantrelMidi エラー\n\nデータが存在しません。\nデータ名：" + name;
}

TEST(Registry, SecondCreateDataUnderANameKeepsTheFirstSongAndReadsNothing)
{
    TempFile one(SongWithNotes(1));
    TVantrelMidi midi(nullptr);
    midi.CreateData("01", one.Path());
    TVantrelMidiData* first = midi.GetSMFData("01");
    midi.CreateData("01", "this file does not exist");
    EXPECT_EQ(midi.GetSMFData("01"), first);
    EXPECT_EQ(first->ShortMessages.size(), 1u);
    EXPECT_EQ(ReferenceCountTable.RefCount(first), 1);  // the registry is the only holder
}

TEST(Registry, NamesAreCaseSensitiveAndMayBeEmpty)
{
    TempFile one(SongWithNotes(1)), two(SongWithNotes(2)), three(SongWithNotes(3));
    TVantrelMidi midi(nullptr);
    midi.CreateData("a", one.Path());
    midi.CreateData("A", two.Path());
    midi.CreateData("", three.Path());
    EXPECT_EQ(midi.GetSMFData("a")->ShortMessages.size(), 1u);
    EXPECT_EQ(midi.GetSMFData("A")->ShortMessages.size(), 2u);
    EXPECT_EQ(midi.GetSMFData("")->ShortMessages.size(), 3u);
    midi.DeleteData("");
    try {
        midi.GetSMFData("");
        FAIL() << "the empty name is still registered";
    } catch (const EVtMidi& e) {
        EXPECT_EQ(e.Message, NotRegistered(""));
    }
    EXPECT_NO_THROW(midi.GetSMFData("a"));
}

TEST(Registry, DeletingRemovesTheSongAndUnknownNamesAreNoError)
{
    TempFile one(SongWithNotes(1));
    TVantrelMidi midi(nullptr);
    midi.CreateData("x", one.Path());
    midi.CreateData("y", one.Path());
    TVantrelMidiData* x = midi.GetSMFData("x");
    midi.DeleteData("x");
    EXPECT_EQ(ReferenceCountTable.RefCount(x), 0);  // unlisted: the song was deleted
    try {
        midi.GetSMFData("x");
        FAIL();
    } catch (const EVtMidi& e) {
        EXPECT_EQ(e.Message, NotRegistered("x"));
    }
    EXPECT_NO_THROW(midi.DeleteData("x"));
    midi.DeleteAllData();
    EXPECT_THROW(midi.GetSMFData("y"), EVtMidi);
    EXPECT_NO_THROW(midi.DeleteAllData());
}

TEST(Registry, FailedLoadRegistersNothing)
{
    TempFile broken(Header(3, 0, 480));
    TVantrelMidi midi(nullptr);
    EXPECT_THROW(midi.CreateData("bad", broken.Path()), EVtMidi);
    EXPECT_THROW(midi.GetSMFData("bad"), EVtMidi);
    // the name is free for a good file afterwards
    TempFile good(SongWithNotes(2));
    midi.CreateData("bad", good.Path());
    EXPECT_EQ(midi.GetSMFData("bad")->ShortMessages.size(), 2u);
}

}  // namespace
