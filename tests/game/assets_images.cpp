// The generated pictures in the run folder: BMP files the game's loader and its masked drawing
// can use (exact sizes, black transparent corners), in the index order the game draws them.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + i];
  return v;
}

uint32_t Be(const std::vector<uint8_t>& b, size_t at) {
  return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) | b[at + 3];
}

struct Rgb {
  int R, G, B;
  bool Lit() const { return R || G || B; }
};

struct Picture {
  int Width = 0, Height = 0;
  std::vector<Rgb> Pixels;  // top row first
  const Rgb& At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
};

// Parses a 24-bit bottom-up BITMAPINFOHEADER file, checking every header field the loader reads.
::testing::AssertionResult ParseBmp(const std::string& name, Picture& out) {
  std::vector<uint8_t> b = ReadFile(std::string(ZQ_RUN_DIR) + "/bmp/" + name + ".bmp");
  if (b.size() < 54) return ::testing::AssertionFailure() << name << ": missing or shorter than a header";
  if (b[0] != 'B' || b[1] != 'M') return ::testing::AssertionFailure() << name << ": no BM tag";
  int w = static_cast<int>(Le(b, 18, 4)), h = static_cast<int>(Le(b, 22, 4));
  uint32_t stride = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
  if (Le(b, 2, 4) != b.size() || Le(b, 10, 4) != 54 || Le(b, 14, 4) != 40)
    return ::testing::AssertionFailure() << name << ": file size, data offset or info size wrong";
  if (w <= 0 || h <= 0 || Le(b, 26, 2) != 1 || Le(b, 28, 2) != 24 || Le(b, 30, 4) != 0)
    return ::testing::AssertionFailure() << name << ": not a bottom-up uncompressed 24-bit picture";
  if (b.size() != 54 + stride * h || Le(b, 34, 4) != stride * h)
    return ::testing::AssertionFailure() << name << ": pixel data size does not match " << w << " x " << h;
  out.Width = w;
  out.Height = h;
  out.Pixels.clear();
  for (int y = 0; y < h; ++y) {
    size_t row = 54 + static_cast<size_t>(h - 1 - y) * stride;
    for (int x = 0; x < w; ++x) out.Pixels.push_back({b[row + x * 3 + 2], b[row + x * 3 + 1], b[row + x * 3]});
  }
  return ::testing::AssertionSuccess();
}

Picture Crop(const Picture& p, int x0, int w, int h) {
  Picture out{w, h, {}};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) out.Pixels.push_back(p.At(x0 + x, y));
  return out;
}

struct Stats {
  int Lit = 0;
  double R = 0, G = 0, B = 0, Brightness = 0;  // mean colour of lit pixels, total brightness
  double Cx = 0, Cy = 0;                        // centre of the lit pixels, weighted by brightness
  int MinX = 1 << 20, MaxX = -1, MinY = 1 << 20, MaxY = -1;
};

Stats Measure(const Picture& p) {
  Stats s;
  double weight = 0;
  for (int y = 0; y < p.Height; ++y) {
    for (int x = 0; x < p.Width; ++x) {
      const Rgb& c = p.At(x, y);
      if (!c.Lit()) continue;
      double v = c.R + c.G + c.B;
      ++s.Lit;
      s.R += c.R;
      s.G += c.G;
      s.B += c.B;
      s.Brightness += v;
      s.Cx += x * v;
      s.Cy += y * v;
      weight += v;
      s.MinX = std::min(s.MinX, x);
      s.MaxX = std::max(s.MaxX, x);
      s.MinY = std::min(s.MinY, y);
      s.MaxY = std::max(s.MaxY, y);
    }
  }
  if (s.Lit) {
    s.R /= s.Lit;
    s.G /= s.Lit;
    s.B /= s.Lit;
    s.Cx /= weight;
    s.Cy /= weight;
  }
  return s;
}

// One image list: files "<prefix>_nn" of size x size, or one horizontal strip of `count` tiles.
struct ImageSet {
  const char* Name;
  int Width, Height, Count;
  bool Strip;
};

const ImageSet Sets[] = {
    {"96", 96, 96, 16, false},   {"80", 80, 80, 26, false},  {"24", 24, 24, 11, false},
    {"Font0", 16, 16, 39, true}, {"ISC", 75, 17, 4, true},   {"Spa8", 10, 10, 6, true},
    {"Font2", 16, 16, 10, true}, {"ILT", 230, 109, 1, true}, {"icon", 32, 32, 1, true},
};

void PrintTo(const ImageSet& set, std::ostream* os) { *os << set.Name; }

std::string FileName(const char* prefix, int index) {
  char text[32];
  std::snprintf(text, sizeof text, "%s_%02d", prefix, index);
  return text;
}

// Every image of a set, in index order, each checked on the way in.
std::vector<Picture> Load(const ImageSet& set) {
  std::vector<Picture> out;
  if (!set.Strip) {
    for (int i = 0; i < set.Count; ++i) {
      Picture p;
      EXPECT_TRUE(ParseBmp(FileName(set.Name, i), p));
      EXPECT_EQ(p.Width, set.Width) << FileName(set.Name, i);
      EXPECT_EQ(p.Height, set.Height) << FileName(set.Name, i);
      out.push_back(p);
    }
    return out;
  }
  Picture strip;
  EXPECT_TRUE(ParseBmp(set.Name, strip));
  EXPECT_EQ(strip.Width, set.Width * set.Count) << set.Name;
  EXPECT_EQ(strip.Height, set.Height) << set.Name;
  if (strip.Width != set.Width * set.Count || strip.Height != set.Height) return out;
  for (int i = 0; i < set.Count; ++i) out.push_back(Crop(strip, i * set.Width, set.Width, set.Height));
  return out;
}

std::vector<Picture> Load(const char* name) {
  for (const ImageSet& set : Sets)
    if (std::string(set.Name) == name) return Load(set);
  ADD_FAILURE() << "no image set " << name;
  return {};
}

bool Same(const Picture& a, const Picture& b) {
  return a.Pixels.size() == b.Pixels.size() &&
         std::equal(a.Pixels.begin(), a.Pixels.end(), b.Pixels.begin(),
                    [](const Rgb& p, const Rgb& q) { return p.R == q.R && p.G == q.G && p.B == q.B; });
}

class AssetImages : public ::testing::TestWithParam<ImageSet> {};

TEST_P(AssetImages, EveryImageHasItsSizeBlackCornersAndContent) {
  const ImageSet& set = GetParam();
  std::vector<Picture> images = Load(set);
  ASSERT_EQ(static_cast<int>(images.size()), set.Count);
  for (int i = 0; i < set.Count; ++i) {
    const Picture& p = images[i];
    for (auto [x, y] : {std::array{0, 0}, {p.Width - 1, 0}, {0, p.Height - 1}, {p.Width - 1, p.Height - 1}})
      EXPECT_FALSE(p.At(x, y).Lit()) << set.Name << " image " << i << " corner " << x << "," << y;
    EXPECT_GT(Measure(p).Lit, 8) << set.Name << " image " << i << " is empty";
  }
}

INSTANTIATE_TEST_SUITE_P(Lists, AssetImages, ::testing::ValuesIn(Sets),
                         [](const auto& info) { return std::string(info.param.Name[0] <= '9' ? "IL" : "") + info.param.Name; });

// Frames of one animation, [first, last] of a set; each must differ from the one before it.
struct Animation {
  const char* Set;
  int First, Last;
  bool Cycles;  // the last frame is followed by the first again
};

TEST(AssetImages, AnimationFramesStepFromOneToTheNext) {
  const Animation animations[] = {{"96", 0, 15, false}, {"80", 0, 2, true},    {"80", 3, 9, false},
                                  {"80", 10, 17, true}, {"80", 18, 25, true},  {"24", 0, 3, true},
                                  {"24", 4, 10, false}, {"Spa8", 0, 5, false}, {"Font0", 0, 38, false},
                                  {"Font2", 0, 9, false}};
  for (const Animation& a : animations) {
    std::vector<Picture> images = Load(a.Set);
    ASSERT_GT(static_cast<int>(images.size()), a.Last) << a.Set;
    for (int i = a.First; i <= a.Last; ++i) {
      int next = i < a.Last ? i + 1 : a.First;
      if (i == a.Last && !a.Cycles) break;
      EXPECT_FALSE(Same(images[i], images[next])) << a.Set << " frames " << i << " and " << next << " are identical";
    }
  }
}

// Dominant colour of each image's lit pixels, as the game's text and effects expect them.
TEST(AssetImages, ListsHaveTheirColours) {
  enum Hue { Green, Red, Blue, Magenta, Yellow };
  auto is = [](const Stats& s, Hue hue) {
    switch (hue) {
      case Green: return s.G > s.R * 1.3 && s.G > s.B * 1.3;
      case Red: return s.R > s.G * 1.5 && s.R > s.B * 1.5;
      case Blue: return s.B > s.R * 1.2 && s.B > s.G;
      case Magenta: return s.R > s.G * 1.5 && s.B > s.G * 1.5;
      case Yellow: return s.R > s.B * 1.5 && s.G > s.B * 1.5;
    }
    return false;
  };
  struct Case {
    const char* Set;
    int First, Last;
    Hue Expected;
  };
  const Case cases[] = {{"Font0", 0, 35, Green},  {"Font0", 36, 38, Red}, {"Font2", 0, 9, Blue},
                        {"ISC", 0, 2, Magenta},   {"ISC", 3, 3, Yellow},  {"Spa8", 0, 5, Yellow},
                        {"ILT", 0, 0, Blue}};
  for (const Case& c : cases) {
    std::vector<Picture> images = Load(c.Set);
    ASSERT_GT(static_cast<int>(images.size()), c.Last) << c.Set;
    for (int i = c.First; i <= c.Last; ++i) {
      Stats s = Measure(images[i]);
      EXPECT_TRUE(is(s, c.Expected)) << c.Set << " image " << i << " mean colour " << s.R << "," << s.G << "," << s.B;
    }
  }
}

TEST(AssetImages, SpritesTurnAndGrowInIndexOrder) {
  std::vector<Picture> il80 = Load("80");
  ASSERT_EQ(il80.size(), 26u);
  // The ship's upper parts lean into the bank: their centre moves from left (image 3) to right (9).
  for (int i = 3; i < 9; ++i) EXPECT_LT(Measure(il80[i]).Cx, Measure(il80[i + 1]).Cx) << "ship banks " << i;
  EXPECT_NEAR(Measure(il80[6]).Cx, 39.5, 1.5) << "the level ship is centred";

  std::vector<Picture> font0 = Load("Font0");
  ASSERT_EQ(font0.size(), 39u);
  EXPECT_GT(Measure(font0[36]).Lit, Measure(font0[37]).Lit) << "red dots run large to small";
  EXPECT_GT(Measure(font0[37]).Lit, Measure(font0[38]).Lit) << "red dots run large to small";

  std::vector<Picture> sparks = Load("Spa8");
  ASSERT_EQ(sparks.size(), 6u);
  Stats first = Measure(sparks[0]), last = Measure(sparks[5]);
  EXPECT_GT(first.MaxY - first.MinY, first.MaxX - first.MinX) << "spark 0 is vertical";
  EXPECT_GT(last.MaxX - last.MinX, last.MaxY - last.MinY) << "spark 5 is horizontal";

  // The explosion blooms, then fades out by its last frame.
  std::vector<Picture> boom = Load("96");
  ASSERT_EQ(boom.size(), 16u);
  EXPECT_LT(Measure(boom[0]).MaxX - Measure(boom[0]).MinX, Measure(boom[5]).MaxX - Measure(boom[5]).MinX);
  EXPECT_LT(Measure(boom[15]).Brightness, Measure(boom[6]).Brightness * 0.2);
}

TEST(AssetImages, SpritesSitWhereTheGameCentresThem) {
  // 80 and 96 sprites are drawn centred; bullets with their corner 10 pixels off their centre,
  // puffs 12 pixels off, red dots 8 pixels off.
  struct Case {
    const char* Set;
    int First, Last;
    double X, Y, Tolerance;
  };
  const Case cases[] = {{"96", 0, 6, 47.5, 47.5, 3},  {"80", 10, 25, 39.5, 39.5, 4}, {"24", 0, 3, 9.5, 9.5, 1},
                        {"24", 4, 10, 11.5, 11.5, 2}, {"Font0", 36, 38, 7.5, 7.5, 1}};
  for (const Case& c : cases) {
    std::vector<Picture> images = Load(c.Set);
    ASSERT_GT(static_cast<int>(images.size()), c.Last) << c.Set;
    for (int i = c.First; i <= c.Last; ++i) {
      Stats s = Measure(images[i]);
      EXPECT_NEAR(s.Cx, c.X, c.Tolerance) << c.Set << " image " << i;
      EXPECT_NEAR(s.Cy, c.Y, c.Tolerance) << c.Set << " image " << i;
    }
  }
}

TEST(AssetImages, DesktopIconIsAValidPng) {
  std::vector<uint8_t> b = ReadFile(std::string(ZQ_RUN_DIR) + "/share/zq2.png");
  const uint8_t signature[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  ASSERT_GE(b.size(), 8u);
  ASSERT_TRUE(std::equal(std::begin(signature), std::end(signature), b.begin()));
  auto crc = [](const uint8_t* p, size_t n) {
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
      c ^= p[i];
      for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
  };
  uint32_t width = 0, height = 0;
  std::vector<uint8_t> zlib;
  std::string last;
  for (size_t at = 8; at + 12 <= b.size();) {
    uint32_t len = Be(b, at);
    ASSERT_LE(at + 12 + len, b.size()) << "chunk runs past the file end";
    std::string type(b.begin() + static_cast<long>(at) + 4, b.begin() + static_cast<long>(at) + 8);
    EXPECT_EQ(crc(&b[at + 4], len + 4), Be(b, at + 8 + len)) << type << " CRC";
    if (type == "IHDR") {
      width = Be(b, at + 8);
      height = Be(b, at + 12);
      EXPECT_EQ(b[at + 16], 8);  // bit depth
      EXPECT_EQ(b[at + 17], 6);  // RGBA
    }
    if (type == "IDAT") zlib.insert(zlib.end(), b.begin() + static_cast<long>(at) + 8, b.begin() + static_cast<long>(at + 8 + len));
    last = type;
    at += 12 + len;
  }
  EXPECT_EQ(last, "IEND");
  EXPECT_TRUE((width == 48 && height == 48) || (width == 64 && height == 64)) << width << " x " << height;

  // Stored deflate blocks: unpack them and check the length and the Adler-32 sum.
  ASSERT_GE(zlib.size(), 6u);
  EXPECT_EQ((zlib[0] * 256 + zlib[1]) % 31, 0) << "zlib header check bits";
  std::vector<uint8_t> raw;
  size_t at = 2;
  for (bool final = false; !final;) {
    ASSERT_LE(at + 5, zlib.size());
    final = zlib[at] & 1;
    ASSERT_EQ(zlib[at] >> 1, 0) << "only stored blocks are expected";
    uint32_t n = Le(zlib, at + 1, 2);
    ASSERT_EQ(n ^ 0xFFFF, Le(zlib, at + 3, 2)) << "block length complement";
    ASSERT_LE(at + 5 + n, zlib.size());
    raw.insert(raw.end(), zlib.begin() + static_cast<long>(at) + 5, zlib.begin() + static_cast<long>(at + 5 + n));
    at += 5 + n;
  }
  ASSERT_EQ(raw.size(), height * (1 + 4 * width));
  uint32_t s1 = 1, s2 = 0;
  for (uint8_t v : raw) {
    s1 = (s1 + v) % 65521;
    s2 = (s2 + s1) % 65521;
  }
  ASSERT_LE(at + 4, zlib.size());
  EXPECT_EQ((s2 << 16) | s1, Be(zlib, at)) << "Adler-32";
  EXPECT_EQ(raw[1 + 3], 0) << "top-left pixel is transparent";
  EXPECT_GT(raw[(height / 2) * (1 + 4 * width) + 1 + (width / 2) * 4 + 3], 200) << "the centre is opaque";
}

}  // namespace
