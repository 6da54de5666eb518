#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "platform/vcl/graphics.h"
#include "tests/platform/bmp_fixture.h"

namespace {
// A 3 × 2 picture: red, lime, blue over white, black, yellow.
const std::vector<std::vector<std::uint32_t>> Rgb = {{0xFF0000, 0x00FF00, 0x0000FF}, {0xFFFFFF, 0x000000, 0xFFFF00}};
const std::vector<std::uint32_t> Expected = {std::uint32_t(clRed),   std::uint32_t(clLime),  std::uint32_t(clBlue),
                                             std::uint32_t(clWhite), std::uint32_t(clBlack), std::uint32_t(clYellow)};
const std::vector<std::uint32_t> Palette = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0xFFFF00};
const std::vector<std::vector<std::uint32_t>> Indexed = {{0, 1, 2}, {3, 4, 5}};

TPixelBuffer Parse(const std::vector<std::uint8_t>& bytes)
{
    return Platform::ParseBmp(bytes.data(), bytes.size());
}

std::string Failure(const std::vector<std::uint8_t>& bytes)
{
    try {
        Parse(bytes);
    } catch (const Exception& e) {
        return e.Message;
    }
    return "";
}
}  // namespace

TEST(BmpReader, ReadsEveryDepthAndLayout)
{
    using BmpFixture::Layout;
    struct Case {
        const char* name;
        Layout layout;
        const std::vector<std::vector<std::uint32_t>>& rows;
    };
    const Layout base{3, 2};
    Layout top = base;
    top.topDown = true;
    Layout p8 = base;
    p8.bpp = 8;
    p8.palette = Palette;
    Layout p4 = p8;
    p4.bpp = 4;
    Layout core = p8;
    core.coreHeader = true;
    Layout rgb32 = base;
    rgb32.bpp = 32;
    Layout fields = rgb32;
    fields.compression = 3;
    fields.masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
    const Case cases[] = {
        {"24 bits bottom-up", base, Rgb},  {"24 bits top-down", top, Rgb}, {"8-bit palette", p8, Indexed},
        {"4-bit palette", p4, Indexed},    {"core header", core, Indexed}, {"32 bits", rgb32, Rgb},
        {"32 bits with masks", fields, Rgb},
    };
    for (const Case& c : cases) {
        const TPixelBuffer p = Parse(BmpFixture::Make(c.layout, c.rows));
        EXPECT_EQ(p.Width, 3) << c.name;
        EXPECT_EQ(p.Height, 2) << c.name;
        EXPECT_EQ(p.Pixels, Expected) << c.name;
    }
}

TEST(BmpReader, ReadsOneBitAndSixteenBitPictures)
{
    BmpFixture::Layout mono{9, 1, 1};
    mono.palette = {0x000000, 0xFFFFFF};
    const TPixelBuffer m = Parse(BmpFixture::Make(mono, {{1, 0, 0, 0, 0, 0, 0, 0, 1}}));
    EXPECT_EQ(m.Pixels.front(), std::uint32_t(clWhite));
    EXPECT_EQ(m.Pixels[1], std::uint32_t(clBlack));
    EXPECT_EQ(m.Pixels.back(), std::uint32_t(clWhite));

    BmpFixture::Layout hi{2, 1, 16};  // 5-5-5 without masks
    const TPixelBuffer h = Parse(BmpFixture::Make(hi, {{0x7C00, 0x001F}}));
    EXPECT_EQ(h.Pixels[0], std::uint32_t(clRed));
    EXPECT_EQ(h.Pixels[1], std::uint32_t(clBlue));
}

TEST(BmpReader, RejectsBrokenFilesWithAReason)
{
    const std::vector<std::uint8_t> good = BmpFixture::Make({3, 2}, Rgb);
    auto changed = [&](std::size_t at, std::uint8_t value) {
        auto b = good;
        b[at] = value;
        return b;
    };
    BmpFixture::Layout rle{3, 2, 8};
    rle.palette = Palette;
    rle.compression = 1;
    BmpFixture::Layout noPalette{3, 2, 8};
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"empty", {}, "signature"},
        {"not a bitmap", changed(0, 'X'), "signature"},
        {"cut in the header", std::vector<std::uint8_t>(good.begin(), good.begin() + 30), "short"},
        {"cut in the pixels", std::vector<std::uint8_t>(good.begin(), good.end() - 1), "cut short"},
        {"zero width", changed(18, 0), "size"},
        {"huge height", changed(25, 0x40), "size"},
        {"bad depth", changed(28, 7), "bits per pixel"},
        {"odd header size", changed(14, 20), "header"},
        {"pixel offset past the end", changed(13, 0x7F), "cut short"},
        {"run-length compressed", BmpFixture::Make(rle, Indexed), "compressed"},
        {"palette missing", BmpFixture::Make(noPalette, Indexed), "palette"},
    };
    for (const Case& c : cases) {
        const std::string message = Failure(c.bytes);
        EXPECT_NE(message.find("not valid"), std::string::npos) << c.name << ": " << message;
        EXPECT_NE(message.find(c.reason), std::string::npos) << c.name << ": " << message;
    }
}

TEST(BmpReader, PaletteIndexPastTheUsedColoursReadsBlack)
{
    BmpFixture::Layout s{2, 1, 8};
    s.palette = {0xFF0000};
    const TPixelBuffer p = Parse(BmpFixture::Make(s, {{0, 200}}));
    EXPECT_EQ(p.Pixels[0], std::uint32_t(clRed));
    EXPECT_EQ(p.Pixels[1], std::uint32_t(clBlack));
}

class BitmapFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = std::filesystem::temp_directory_path() / ("zq_bmp_test_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir / "bmp");
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    void Write(const std::string& name, const std::vector<std::uint8_t>& bytes)
    {
        std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    std::filesystem::path dir;
};

TEST_F(BitmapFile, SavesAndLoadsBackThroughABackslashName)
{
    TBitmap b;
    b.SetSize(5, 3);
    b.Canvas->Pixels[4][2] = clAqua;
    b.Canvas->Pixels[0][0] = RGB(1, 2, 3);
    const std::string base = dir.string() + "\\bmp\\pic.bmp";
    b.SaveToFile(base);
    TBitmap c;
    c.LoadFromFile(base);
    EXPECT_EQ(int(c.Width), 5);
    EXPECT_EQ(int(c.Height), 3);
    EXPECT_EQ(c.Buffer().Pixels, b.Buffer().Pixels);
}

TEST_F(BitmapFile, BadFileRaisesWithItsNameAndKeepsThePicture)
{
    TBitmap b;
    b.SetSize(2, 2);
    b.Canvas->Pixels[1][1] = clRed;
    Write("broken.bmp", {'B', 'M', 1, 2, 3});
    for (const std::string name : {"broken.bmp", "missing.bmp"}) {
        const std::string path = (dir / name).string();
        try {
            b.LoadFromFile(path);
            ADD_FAILURE() << name << " loaded";
        } catch (const Exception& e) {
            EXPECT_NE(e.Message.find(path), std::string::npos) << e.Message;
        }
        EXPECT_EQ(int(b.Width), 2) << name;
        EXPECT_EQ(TColor(b.Canvas->Pixels[1][1]), clRed) << name;
    }
}
