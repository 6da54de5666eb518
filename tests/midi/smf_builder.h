// A tiny Standard MIDI File writer for tests: tracks built event by event, then wrapped in a file.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

namespace SmfBuilder {

using Bytes = std::vector<std::uint8_t>;

inline void Append(Bytes& to, const Bytes& more) { to.insert(to.end(), more.begin(), more.end()); }

inline Bytes VarLen(std::uint32_t value)
{
    Bytes out{static_cast<std::uint8_t>(value & 0x7F)};
    while (value >>= 7) out.insert(out.begin(), static_cast<std::uint8_t>(0x80 | (value & 0x7F)));
    return out;
}

inline Bytes BigEndian(std::uint32_t value, int count)
{
    Bytes out;
    for (int i = count - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    return out;
}

// One track's event bytes; every event starts with its delta time.
class Track {
public:
    // Raw bytes after a delta time: a whole event, or one relying on running status.
    Track& Event(std::uint32_t delta, const Bytes& bytes)
    {
        Append(FBytes, VarLen(delta));
        Append(FBytes, bytes);
        return *this;
    }
    Track& Meta(std::uint32_t delta, std::uint8_t type, const Bytes& payload)
    {
        Bytes e{0xFF, type};
        Append(e, VarLen(static_cast<std::uint32_t>(payload.size())));
        Append(e, payload);
        return Event(delta, e);
    }
    Track& Text(std::uint32_t delta, std::uint8_t type, const std::string& text)
    {
        return Meta(delta, type, Bytes(text.begin(), text.end()));
    }
    Track& Tempo(std::uint32_t delta, std::uint32_t microseconds)
    {
        return Meta(delta, 0x51, BigEndian(microseconds, 3));
    }
    Track& SysEx(std::uint32_t delta, std::uint8_t status, const Bytes& data)
    {
        Bytes e{status};
        Append(e, VarLen(static_cast<std::uint32_t>(data.size())));
        Append(e, data);
        return Event(delta, e);
    }
    Track& End(std::uint32_t delta = 0) { return Meta(delta, 0x2F, {}); }
    Track& Raw(const Bytes& bytes)
    {
        Append(FBytes, bytes);
        return *this;
    }
    const Bytes& Data() const { return FBytes; }

private:
    Bytes FBytes;
};

inline Bytes Header(std::uint16_t format, std::uint16_t tracks, std::uint16_t division,
                    std::uint32_t length = 6)
{
    Bytes out{'M', 'T', 'h', 'd'};
    Append(out, BigEndian(length, 4));
    Append(out, BigEndian(format, 2));
    Append(out, BigEndian(tracks, 2));
    Append(out, BigEndian(division, 2));
    return out;
}

inline Bytes Chunk(const char (&tag)[5], const Bytes& body)
{
    Bytes out(tag, tag + 4);
    Append(out, BigEndian(static_cast<std::uint32_t>(body.size()), 4));
    Append(out, body);
    return out;
}

// A whole file: the header counting the given tracks, then one MTrk chunk per track.
inline Bytes File(std::uint16_t format, std::uint16_t division, std::initializer_list<Track> tracks)
{
    Bytes out = Header(format, static_cast<std::uint16_t>(tracks.size()), division);
    for (const Track& t : tracks) Append(out, Chunk("MTrk", t.Data()));
    return out;
}

// A file in a fresh temporary folder, removed with the object.
class TempFile {
public:
    explicit TempFile(const Bytes& bytes, const std::string& name = "song.mid")
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "zq-smf-XXXXXX").string();
        FDir = mkdtemp(pattern.data());
        FPath = (std::filesystem::path(FDir) / name).string();
        std::filesystem::create_directories(std::filesystem::path(FPath).parent_path());
        std::ofstream(FPath, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                     static_cast<std::streamsize>(bytes.size()));
    }
    ~TempFile() { std::filesystem::remove_all(FDir); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& Path() const { return FPath; }
    const std::string& Dir() const { return FDir; }

private:
    std::string FDir;
    std::string FPath;
};

}  // namespace SmfBuilder
