// Files the loader refuses: each gets its exact message with the file name, and a failed
// CreateData leaves the registry as it was.
#include <gtest/gtest.h>

#include "library/midi/vtmidi.h"
#include "library/support/vterrors.h"
#include "tests/midi/smf_builder.h"

using namespace VantrelMidiSystem;
using namespace SmfBuilder;
using VantrelSystem::EVtMidi;

namespace {

const std::string Title = "TVantrelMidi エラー\n\n";
const std::string BadHeader = "ファイルヘッダが不正です。\nファイル名：";
const std::string BadFormat = "SMFFormat0またはSMFFormat1ではありません。\nファイル名：";
const std::string BadTrack = "トラックヘッダが不正です。\nファイル名：";
const std::string BadData = "ファイルデータが不正です。\nファイル名：";

Bytes OneTrack(const Track& t) { return File(1, 480, {t}); }

Bytes WithHeader(Bytes header, const Bytes& rest)
{
    Append(header, rest);
    return header;
}

struct BadFile {
    const char* Name;
    Bytes Data;
    const std::string& Detail;
};

std::vector<BadFile> BadFiles()
{
    const Bytes goodTrack = Chunk("MTrk", Track().Event(0, {0x90, 60, 100}).End().Data());
    Bytes truncatedChunk = Header(0, 1, 480);
    Append(truncatedChunk, {'M', 'T', 'r', 'k', 0, 0, 0, 100, 0x00, 0x90, 60});
    Bytes hugeChunk = Header(0, 1, 480);
    Append(hugeChunk, {'M', 'T', 'r', 'k', 0xFF, 0xFF, 0xFF, 0xF0, 0x00});
    return {
        {"empty file", {}, BadHeader},
        {"header cut short", Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0}, BadHeader},
        {"tag in lower case", WithHeader({'M', 'T', 'h', 'D', 0, 0, 0, 6, 0, 0, 0, 1, 1, 0xE0}, goodTrack), BadHeader},
        {"format 2", WithHeader(Header(2, 1, 480), goodTrack), BadFormat},
        // The reader takes 14 bytes whatever the length says; the rest is read as a chunk header.
        {"header length 10", WithHeader(Header(0, 1, 480, 10), WithHeader({0, 0, 0, 0}, goodTrack)), BadTrack},
        {"fewer chunks than counted", WithHeader(Header(1, 2, 480), goodTrack), BadTrack},
        {"vendor chunk between tracks",
         WithHeader(Header(1, 2, 480), WithHeader(Chunk("XVnd", {1, 2, 3}), goodTrack)), BadTrack},
        {"chunk header cut short", WithHeader(Header(0, 1, 480), {'M', 'T', 'r', 'k', 0, 0}), BadTrack},
        {"chunk shorter than declared", truncatedChunk, BadData},
        {"declared length beyond any file", hugeChunk, BadData},
        {"note-on without its velocity", OneTrack(Track().Event(0, {0x90, 60})), BadData},
        {"program change without its data", OneTrack(Track().Event(0, {0xC0})), BadData},
        {"delta time running off the end", OneTrack(Track().Raw({0x81, 0x80})), BadData},
        {"delta time without an event", OneTrack(Track().Event(0, {0x90, 60, 1}).Raw({0x10})), BadData},
        {"sysex longer than the chunk", OneTrack(Track().Event(0, {0xF0, 0x10, 1, 2, 0xF7})), BadData},
        {"meta payload longer than the chunk", OneTrack(Track().Event(0, {0xFF, 0x06, 0x09, 'R', 'e'})), BadData},
        {"meta without its type", OneTrack(Track().Event(0, {0xFF})), BadData},
        {"time past the last tick",
         OneTrack(Track().Raw({0x8F, 0xFF, 0xFF, 0xFF, 0x7F, 0x90, 60, 1}).Event(1, {0x90, 61, 1})), BadData},
        {"first event without a status byte", OneTrack(Track().Event(0, {60, 100}).End()), BadData},
    };
}

TEST(LoaderErrors, EachBrokenFileGetsItsMessageWithTheFileName)
{
    for (const BadFile& bad : BadFiles()) {
        TVantrelMidiData data;
        try {
            data.LoadFromMemory(bad.Data.data(), bad.Data.size(), "wav\\bgm.mid");
            ADD_FAILURE() << bad.Name << ": loaded without error";
        } catch (const EVtMidi& e) {
            EXPECT_EQ(e.Message, Title + bad.Detail + "wav\\bgm.mid") << bad.Name;
        }
    }
}

TEST(LoaderErrors, FailedCreateDataLeavesTheRegistryAsItWas)
{
    TempFile good(File(0, 96, {Track().Event(0, {0x90, 60, 100}).End()}));
    TVantrelMidi midi(nullptr);
    midi.CreateData("kept", good.Path());
    TVantrelMidiData* kept = midi.GetSMFData("kept");

    for (const BadFile& bad : BadFiles()) {
        TempFile file(bad.Data);
        try {
            midi.CreateData("new", file.Path());
            ADD_FAILURE() << bad.Name << ": registered";
        } catch (const EVtMidi& e) {
            EXPECT_EQ(e.Message, Title + bad.Detail + file.Path()) << bad.Name;
        }
        EXPECT_THROW(midi.GetSMFData("new"), EVtMidi) << bad.Name;
        EXPECT_EQ(midi.GetSMFData("kept"), kept) << bad.Name;
        EXPECT_EQ(kept->ShortMessages.size(), 1u) << bad.Name;
    }
}

TEST(LoaderErrors, MissingFileKeepsTheNameAsPassed)
{
    TVantrelMidi midi(nullptr);
    try {
        midi.CreateData("01", "no-such-folder\\bgm.mid");
        FAIL() << "loaded a missing file";
    } catch (const EVtMidi& e) {
        EXPECT_EQ(e.Message, Title + "MIDIの読み込みに失敗しました。\nファイル名：no-such-folder\\bgm.mid");
    }
    EXPECT_THROW(midi.GetSMFData("01"), EVtMidi);
}

TEST(LoaderErrors, TracksReadBeforeTheFailureStayFiled)
{
    Bytes file = Header(1, 2, 480);
    Append(file, Chunk("MTrk", Track().Event(0, {0x90, 60, 100}).End().Data()));
    Append(file, Chunk("MTrk", Track().Event(0, {0x90, 62}).Data()));
    TVantrelMidiData data;
    EXPECT_THROW(data.LoadFromMemory(file.data(), file.size(), "x"), EVtMidi);
    EXPECT_EQ(data.Format, 1u);
    EXPECT_EQ(data.ShortMessages.size(), 1u);
}

}  // namespace
