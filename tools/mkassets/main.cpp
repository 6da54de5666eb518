// mkassets RUN_DIR: writes bmp/, wav/ and share/ of the run folder.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "tools/mkassets/assets.h"

namespace {

using namespace Assets;

std::string TwoDigits(int n) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", n);
  return text;
}

// Writes images as "<size>_nn.bmp", numbering from `first`.
void WriteSeries(const std::string& dir, int size, int first, const std::vector<Canvas>& images) {
  for (size_t i = 0; i < images.size(); ++i)
    WriteBmp(dir + "/" + std::to_string(size) + "_" + TwoDigits(first + static_cast<int>(i)) + ".bmp", images[i]);
}

void Append(std::vector<Canvas>& to, const std::vector<Canvas>& from) { to.insert(to.end(), from.begin(), from.end()); }

void WriteAll(const std::string& root) {
  namespace fs = std::filesystem;
  const std::string bmp = root + "/bmp", wav = root + "/wav", share = root + "/share";
  for (const std::string& dir : {bmp, wav, share}) fs::create_directories(dir);

  WriteSeries(bmp, 96, 0, ExplosionFrames());
  std::vector<Canvas> il80 = ShotFrames();
  Append(il80, ShipFrames());
  Append(il80, BonusFrames());
  Append(il80, ShooterFrames());
  WriteSeries(bmp, 80, 0, il80);
  std::vector<Canvas> il24 = BulletFrames();
  Append(il24, PuffFrames());
  WriteSeries(bmp, 24, 0, il24);

  WriteBmp(bmp + "/Font0.bmp", Strip(GlyphFont()));
  WriteBmp(bmp + "/ISC.bmp", Strip(Labels()));
  WriteBmp(bmp + "/Spa8.bmp", Strip(SparkFrames()));
  WriteBmp(bmp + "/Font2.bmp", Strip(DigitFont()));
  WriteBmp(bmp + "/ILT.bmp", TitleLogo());
  WriteBmp(bmp + "/icon.bmp", Icon(32));
  WritePng(share + "/zq2.png", Icon(64));

  WriteBytes(wav + "/01.wav", ShotWave());
  WriteBytes(wav + "/02.wav", ShipHitWave());
  WriteBytes(wav + "/03.wav", ShooterHitWave());
  WriteBytes(wav + "/04.wav", BonusHitWave());
  WriteBytes(wav + "/bgm.mid", Song());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: mkassets RUN_DIR\n");
    return 2;
  }
  try {
    WriteAll(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "mkassets: %s\n", e.what());
    return 1;
  }
  return 0;
}
