// Start-up and shutdown: the score file, the display question, wave buffers, missing pictures,
// the star pictures.
#include "tests/game/spine_fixture.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <random>

namespace spine {
namespace {

const char CreateMessage[] = "ZQ2_sco.dat を作成します。";
const char SaveFailedMessage[] = "ZQ2_sco.dat へのアクセスに失敗しました。";
const char WaveMessage[] = "waveファイルがありません（または損傷しています）";
const char Question[] = "フルスクリーンモードで起動しますか？（要DirectX）";

std::vector<int> Table(const TForm1& form)
{
    return {std::begin(form.HighScores), std::end(form.HighScores)};
}

class SpineStartup : public SpineTest {
protected:
    void SetUp() override
    {
        SpineTest::SetUp();
        WriteAllAssets();
    }
};

TEST_F(SpineStartup, FirstRunUsesDefaultTableAndWritesThirtyTwoBytesAtClose)
{
    StartUp();
    EXPECT_EQ(Messages(), (std::vector<AnsiString>{CreateMessage, Question}));
    EXPECT_EQ(Table(*Form), (std::vector<int>{7000, 6000, 5000, 4000, 3000, 2000, 1000, 0}));
    EXPECT_FALSE(std::filesystem::exists("ZQ2_sco.dat")) << "the file is only written at close";

    Form->HighScores[7] = -2;
    CloseWindow();
    const std::vector<std::uint8_t> expected = {
        0x58, 0x1B, 0, 0, 0x70, 0x17, 0, 0, 0x88, 0x13, 0, 0, 0xA0, 0x0F, 0, 0,
        0xB8, 0x0B, 0, 0, 0xD0, 0x07, 0, 0, 0xE8, 0x03, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(ReadBytes("ZQ2_sco.dat"), expected);
    EXPECT_FALSE(std::filesystem::exists("ZQ2_sco.dat.tmp"));
    EXPECT_EQ(Messages().size(), 2u) << "a successful save shows nothing";
}

TEST_F(SpineStartup, SavedTableIsReadBackAsIs)
{
    WriteScores({5, 900000, -7, 3, 2, 1, 0, 123456});
    StartUp();
    EXPECT_EQ(Messages(), (std::vector<AnsiString>{Question}));
    EXPECT_EQ(Table(*Form), (std::vector<int>{5, 900000, -7, 3, 2, 1, 0, 123456}));
    Form->HighScores[2] = 4500;
    CloseWindow();
    Form.reset();
    StartUp();
    EXPECT_EQ(Table(*Form), (std::vector<int>{5, 900000, 4500, 3, 2, 1, 0, 123456}));
}

TEST_F(SpineStartup, LinkedScoreFileIsReplacedWhereTheLinkPoints)
{
    std::filesystem::create_directory("saves");
    WriteScores({1, 2, 3, 4, 5, 6, 7, 8});
    std::filesystem::rename("ZQ2_sco.dat", "saves/table.dat");
    std::filesystem::create_symlink("saves/table.dat", "ZQ2_sco.dat");
    StartUp();
    EXPECT_EQ(Table(*Form), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    Form->HighScores[0] = 99;
    CloseWindow();
    EXPECT_TRUE(std::filesystem::is_symlink("ZQ2_sco.dat"));
    const std::vector<std::uint8_t> bytes = ReadBytes("saves/table.dat");
    ASSERT_EQ(bytes.size(), 32u);
    EXPECT_EQ(bytes[0], 99);
    EXPECT_FALSE(std::filesystem::exists("saves/table.dat.tmp"));
}

TEST_F(SpineStartup, ShortFileLeavesUncoveredEntriesZero)
{
    // 10 bytes: two whole entries and half of the third.
    WriteScores({1234, -1});
    {
        std::FILE* f = std::fopen("ZQ2_sco.dat", "ab");
        std::fputc(0x7F, f);
        std::fputc(0x01, f);
        std::fclose(f);
    }
    StartUp();
    EXPECT_EQ(Table(*Form), (std::vector<int>{1234, -1, 0, 0, 0, 0, 0, 0}));
}

TEST_F(SpineStartup, ScoreFileThatCannotBeReplacedIsReportedAndKept)
{
    // A folder in its place cannot be opened as a file, for reading or for writing.
    std::filesystem::create_directory("ZQ2_sco.dat");
    StartUp();
    EXPECT_EQ(Messages().front(), CreateMessage);
    CloseWindow();
    EXPECT_EQ(Messages().back(), SaveFailedMessage);
    EXPECT_TRUE(std::filesystem::is_directory("ZQ2_sco.dat"));
    EXPECT_FALSE(std::filesystem::exists("ZQ2_sco.dat.tmp"));
}

// Permission bits do not bind the superuser, so the read-only case runs as an ordinary user in a
// child process when the tests run as root.
TEST_F(SpineStartup, ReadOnlyScoreFileCountsAsMissingAndIsNotOverwritten)
{
    WriteScores({1, 2, 3, 4, 5, 6, 7, 8});
    ASSERT_EQ(chmod("ZQ2_sco.dat", 0444), 0);
    const std::vector<std::uint8_t> before = ReadBytes("ZQ2_sco.dat");
    auto scenario = [this] {
        StartUp();
        const bool loaded = Messages().front() == CreateMessage && Table(*Form)[0] == 7000;
        CloseWindow();
        const bool reported = Messages().back() == SaveFailedMessage;
        return loaded && reported;
    };
    if (geteuid() != 0) {
        EXPECT_TRUE(scenario());
    } else {
        ASSERT_EQ(chmod(Folder.c_str(), 0777), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            _exit(setgid(65534) == 0 && setuid(65534) == 0 && scenario() ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(ReadBytes("ZQ2_sco.dat"), before);
}

TEST_F(SpineStartup, WindowModeAndFullScreenDifferOnlyInTheDisplay)
{
    StartUp(mrNo);
    EXPECT_EQ(Form->BorderStyle(), bsDialog);
    EXPECT_EQ(Form->ClientWidth(), 400);
    EXPECT_EQ(Form->ClientHeight(), 300);
    EXPECT_EQ(Form->DirectDrawObject, nullptr);
    EXPECT_EQ(Form->Caption, "ZQ-2");
    EXPECT_EQ(Form->Cursor, crNone);
    const std::vector<int> windowTable = Table(*Form);
    CloseWindow();
    Form.reset();

    StartUp(mrYes);
    EXPECT_EQ(Form->BorderStyle(), bsNone);
    EXPECT_EQ(Form->Width(), 408);
    EXPECT_EQ(Form->Height(), 327);
    ASSERT_NE(Form->DirectDrawObject, nullptr);
    EXPECT_TRUE(Platform::HeadlessWindows().FullScreen);
    EXPECT_EQ(Form->Phase, gpTitle);
    EXPECT_EQ(Form->CosTable[8], -15);
    CloseWindow();
    EXPECT_EQ(Form->DirectDrawObject, nullptr);
    EXPECT_FALSE(Platform::HeadlessWindows().FullScreen);
    EXPECT_EQ(Table(*Form), windowTable);
}

TEST_F(SpineStartup, WaveBuffersHoldFixedCountsZeroFilledOrCut)
{
    WriteBytes("wav/01.wav", 100, 0xAB);             // short
    WriteBytes("wav/03.wav", WaveSize3 + 500, 0xCD);  // long
    StartUp();
    EXPECT_EQ(Form->WaveBuffer1[0], 0xAB);
    EXPECT_EQ(Form->WaveBuffer1[99], 0xAB);
    EXPECT_EQ(Form->WaveBuffer1[100], 0);
    EXPECT_EQ(Form->WaveBuffer1[WaveSize1 - 1], 0);
    EXPECT_EQ(Form->WaveBuffer2[WaveSize2 - 1], 2);
    EXPECT_EQ(Form->WaveBuffer2[WaveSize2], 0);
    EXPECT_EQ(Form->WaveBuffer3[WaveSize3 - 1], 0xCD);
    EXPECT_EQ(Form->WaveBuffer3[WaveSize3], 0) << "the trailing zero survives a long file";
    EXPECT_EQ(Form->WaveBuffer4[WaveSize4 - 1], 4);
    EXPECT_EQ(Messages().size(), 2u);
}

TEST_F(SpineStartup, MissingWavesAreReportedOnceEachAndCloseTheWindow)
{
    std::filesystem::remove_all("wav");
    StartUp();
    const std::vector<AnsiString> texts = Messages();
    ASSERT_EQ(texts.size(), 7u);
    // Without its tune the music reports the load error and stays off; the start-up goes on.
    EXPECT_EQ(texts[2], "TVantrelMidi エラー\n\nMIDIの読み込みに失敗しました。\nファイル名：wav\\bgm.mid");
    for (int i = 3; i < 7; ++i) {
        EXPECT_EQ(texts[i], WaveMessage);
    }
    // The start-up still ran to its end, and the close requests saved the scores.
    EXPECT_EQ(Form->Phase, gpTitle);
    EXPECT_EQ(Form->I0->Canvas->Pixels[0][0], clBlack);
    EXPECT_EQ(ReadBytes("ZQ2_sco.dat").size(), 32u);
}

TEST_F(SpineStartup, MissingPictureIsNamedOnceAndClosesAfterStartUp)
{
    std::filesystem::remove("bmp/80_07.bmp");
    std::filesystem::remove("bmp/Spa8.bmp");
    StartUp();
    const std::vector<AnsiString> texts = Messages();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_NE(texts[0].find("bmp\\Spa8.bmp"), AnsiString::npos) << texts[0];
    EXPECT_EQ(texts[1], CreateMessage);
    EXPECT_EQ(texts[2], Question);
    // The other sprites keep their numbers.
    EXPECT_EQ(Form->IL80->Count(), 26);
    EXPECT_EQ(Form->IL96->Count(), 16);
    EXPECT_EQ(Form->IL24->Count(), 11);
    EXPECT_EQ(ReadBytes("ZQ2_sco.dat").size(), 32u) << "closed after the start-up";
}

TEST_F(SpineStartup, StoredListsHoldTheirImagesInOrder)
{
    StartUp();
    const struct { TImageList* List; int Count, Id; } lists[] = {
        {Form->Font0, 39, 0}, {Form->ISC, 4, 1}, {Form->Spa8, 6, 2}, {Form->Font2, 10, 3},
        {Form->ILT, 1, 4},    {Form->IL96, 16, 5}, {Form->IL80, 26, 6}, {Form->IL24, 11, 7}};
    for (const auto& l : lists) {
        ASSERT_EQ(l.List->Count(), l.Count) << "list " << l.Id;
        TBitmap image;
        const int last = l.Count - 1;
        l.List->GetBitmap(last, &image);
        EXPECT_EQ(image.Canvas->Pixels[1][1], MarkColour(l.Id, last)) << "list " << l.Id;
    }
}

TEST_F(SpineStartup, OversizedSpriteFileStillFillsOnlyItsOwnSlot)
{
    WriteSolidStrip("bmp/80_02.bmp", 80, 80, 2, 9);  // two images wide
    StartUp();
    ASSERT_EQ(Form->IL80->Count(), 26);
    TBitmap image;
    Form->IL80->GetBitmap(2, &image);
    EXPECT_EQ(image.Canvas->Pixels[1][1], MarkColour(9, 0));
    Form->IL80->GetBitmap(3, &image);
    EXPECT_EQ(image.Canvas->Pixels[1][1], MarkColour(6, 3));
}

TEST_F(SpineStartup, BlackIsTransparentInSpritesAndStoredLists)
{
    // Left half black in a sprite file and in the first glyph of the stored font.
    for (const char* file : {"bmp/80_04.bmp", "bmp/Font0.bmp"}) {
        TBitmap picture;
        picture.LoadFromFile(file);
        picture.Canvas->Brush->Color = clBlack;
        picture.Canvas->FillRect(Rect(0, 0, 8, picture.Height));
        picture.SaveToFile(file);
    }
    StartUp();
    const struct { TImageList* List; int Index; TColor Opaque; } cases[] = {
        {Form->IL80, 4, MarkColour(6, 4)}, {Form->Font0, 0, MarkColour(0, 0)}};
    for (const auto& c : cases) {
        ClearSurface();
        Form->I1->Canvas->Brush->Style = bsSolid;
        Form->I1->Canvas->FillRect(Rect(0, 0, 400, 300));  // white
        c.List->Draw(Form->I1->Canvas, 100, 100, c.Index);
        EXPECT_EQ(Form->I1->Canvas->Pixels[103][103], clWhite) << "image " << c.Index;
        EXPECT_EQ(Form->I1->Canvas->Pixels[110][103], c.Opaque) << "image " << c.Index;
    }
}

// Pixels of a picture as one vector, to compare two runs.
std::vector<std::uint32_t> PictureOf(TImageList* list)
{
    TBitmap image;
    list->GetBitmap(0, &image);
    return image.Buffer().Pixels;
}

// The game's generator with a different seed each run, however fast the runs follow each other.
class CountingSeeds : public ZqRandom::RandomSource {
public:
    explicit CountingSeeds(std::uint32_t salt) : FSalt(salt) {}
    void Seed(std::uint32_t seed) override
    {
        Seeds.push_back(seed);
        FEngine.seed(seed + FSalt);
    }
    int Next() override { return static_cast<int>(FEngine() >> 1); }
    std::vector<std::uint32_t> Seeds;
private:
    std::uint32_t FSalt;
    std::mt19937 FEngine;
};

TEST_F(SpineStartup, ForegroundStarsRepeatBackgroundStarsDoNot)
{
    std::vector<std::uint32_t> layers[2];
    std::vector<std::uint32_t> fields[2];
    for (int run = 0; run < 2; ++run) {
        CountingSeeds source(static_cast<std::uint32_t>(run) * 7919u);
        ZqRandom::SetRandomSource(&source);
        StartUp();
        ZqRandom::SetRandomSource(nullptr);
        ASSERT_EQ(source.Seeds.size(), 1u) << "seeded once";
        layers[run] = PictureOf(Form->IL400);
        const auto& pixels = Form->I0->Picture->Buffer().Pixels;
        fields[run] = pixels;
        // Both halves of the background are the same picture.
        ASSERT_EQ(pixels.size(), 400u * 600u);
        EXPECT_TRUE(std::equal(pixels.begin(), pixels.begin() + 400 * 300, pixels.begin() + 400 * 300));
        int stars = 0;
        for (std::size_t i = 0; i < 400 * 300; ++i) {
            stars += pixels[i] != 0;
        }
        EXPECT_GT(stars, 100);
        EXPECT_LE(stars, 120);
        Form.reset();
    }
    EXPECT_EQ(layers[0], layers[1]);
    EXPECT_NE(fields[0], fields[1]);
    int yellow = 0;
    int aqua = 0;
    for (std::uint32_t p : layers[0]) {
        yellow += p == static_cast<std::uint32_t>(clYellow);
        aqua += p == static_cast<std::uint32_t>(clAqua);
    }
    EXPECT_GT(yellow + aqua, 70);
    EXPECT_GT(yellow, 0);
    EXPECT_GT(aqua, 0);
}

}  // namespace
}  // namespace spine
