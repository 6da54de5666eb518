// The score file "ZQ2_sco.dat": eight little-endian signed 32-bit integers, 32 bytes.
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "game/zq_main.h"
#include "platform/vcl/dialogs.h"

namespace {
const char ScoreFileName[] = "ZQ2_sco.dat";
constexpr int ScoreFileSize = 4 * HighScoreCount;

int DecodeEntry(const unsigned char* bytes)
{
    const std::uint32_t v = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | std::uint32_t(bytes[3]) << 24;
    return static_cast<int>(v);
}

void EncodeEntry(int value, unsigned char* bytes)
{
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<unsigned char>(v >> (8 * i));
    }
}

// A file we may not update (read-only) is left as it is: replacing it would defeat the protection.
bool ExistingFileWritable()
{
    std::FILE* f = std::fopen(ScoreFileName, "rb+");
    if (f) {
        std::fclose(f);
        return true;
    }
    return errno == ENOENT;
}

// The file to replace: a linked score file is written where the link points, keeping the link.
std::string ReplacedFile()
{
    std::error_code failed;
    if (std::filesystem::is_symlink(ScoreFileName, failed)) {
        const std::filesystem::path target = std::filesystem::weakly_canonical(ScoreFileName, failed);
        if (!failed) {
            return target.string();
        }
    }
    return ScoreFileName;
}

// The whole table goes to a temporary file beside the old one and replaces it only once it is
// complete on disk, so a failed write never leaves a damaged table behind.
bool WriteScoreFile(const unsigned char* bytes)
{
    const std::string target = ReplacedFile();
    const std::string temp = target + ".tmp";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) {
        return false;
    }
    bool ok = std::fwrite(bytes, 1, ScoreFileSize, f) == ScoreFileSize && std::fflush(f) == 0 &&
              fsync(fileno(f)) == 0;
    ok = std::fclose(f) == 0 && ok;
    if (ok && std::rename(temp.c_str(), target.c_str()) == 0) {
        return true;
    }
    std::remove(temp.c_str());
    return false;
}
}  // namespace

void TForm1::LoadScores()
{
    // Opened for update as well, so a file that could not be saved later counts as missing.
    std::FILE* f = std::fopen(ScoreFileName, "rb+");
    if (!f) {
        ShowMessage("ZQ2_sco.dat を作成します。");
        for (int i = 0; i < HighScoreCount; ++i) {
            HighScores[i] = (7 - i) * 1000;
        }
        return;
    }
    unsigned char bytes[ScoreFileSize] = {};
    const std::size_t got = std::fread(bytes, 1, ScoreFileSize, f);
    std::fclose(f);
    // Entries a short file does not cover in full stay 0.
    for (std::size_t i = 0; i < got / 4; ++i) {
        HighScores[i] = DecodeEntry(bytes + 4 * i);
    }
}

bool TForm1::SaveScores()
{
    unsigned char bytes[ScoreFileSize];
    for (int i = 0; i < HighScoreCount; ++i) {
        EncodeEntry(HighScores[i], bytes + 4 * i);
    }
    bool ok = ExistingFileWritable() && WriteScoreFile(bytes);
    if (!ok) {
        ShowMessage("ZQ2_sco.dat へのアクセスに失敗しました。");
    }
    return ok;
}
