#include "platform/core/classes.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

TComponent::TComponent(TComponent* owner) : FOwner(owner)
{
    if (FOwner) FOwner->FComponents.push_back(this);
}

TComponent::~TComponent()
{
    while (!FComponents.empty()) {
        TComponent* last = FComponents.back();
        FComponents.pop_back();
        last->FOwner = nullptr;
        delete last;
    }
    if (FOwner) std::erase(FOwner->FComponents, this);
}

int TStringList::Add(const AnsiString& s)
{
    FItems.push_back(s);
    return static_cast<int>(FItems.size()) - 1;
}

void TWriter::WriteBoolean(const AnsiString& name, bool value)
{
    FProperties.emplace_back(name, value ? "True" : "False");
}

void TWriter::WriteString(const AnsiString& name, const AnsiString& value)
{
    FProperties.emplace_back(name, value);
}

AnsiString TWriter::Text() const
{
    AnsiString text;
    for (const auto& [name, value] : FProperties) text += name + " = " + value + "\n";
    return text;
}

void ReadComponentProperties(TComponent& component, const AnsiString& text)
{
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == AnsiString::npos) end = text.size();
        AnsiString line = text.substr(start, end - start);
        start = end + 1;
        if (line.empty()) continue;
        std::size_t eq = line.find(" = ");
        if (eq == AnsiString::npos || !component.ReadProperty(line.substr(0, eq), line.substr(eq + 3)))
            throw Exception("Invalid property line: " + line);
    }
}

namespace {
std::vector<std::pair<AnsiString, TComponentClassInfo>>& Palette()
{
    static std::vector<std::pair<AnsiString, TComponentClassInfo>> palette;
    return palette;
}
}  // namespace

void RegisterComponents(const AnsiString& page, std::vector<TComponentClassInfo> classes)
{
    auto& palette = Palette();
    for (auto& info : classes) {
        std::erase_if(palette, [&](const auto& entry) { return entry.second.ClassName == info.ClassName; });
        palette.emplace_back(page, std::move(info));
    }
}

namespace Platform {
std::vector<TComponentClassInfo> PaletteComponents(const AnsiString& page)
{
    std::vector<TComponentClassInfo> found;
    for (const auto& [onPage, info] : Palette())
        if (onPage == page) found.push_back(info);
    return found;
}
}  // namespace Platform

namespace Platform {
AnsiString NativeFileName(const AnsiString& fileName)
{
    AnsiString native = fileName;
    std::replace(native.begin(), native.end(), '\\', '/');
    return native;
}
}  // namespace Platform

TFileStream::TFileStream(const AnsiString& fileName)
    : FFile(std::fopen(Platform::NativeFileName(fileName).c_str(), "rb"))
{
    if (!FFile) throw EFOpenError("Cannot open file " + fileName);
}

TFileStream::~TFileStream() { std::fclose(FFile); }

std::size_t TFileStream::Read(void* buffer, std::size_t count)
{
    return std::fread(buffer, 1, count, FFile);
}

std::uint64_t TFileStream::Size()
{
    long here = std::ftell(FFile);
    std::fseek(FFile, 0, SEEK_END);
    long size = std::ftell(FFile);
    std::fseek(FFile, here, SEEK_SET);
    return size < 0 ? 0 : static_cast<std::uint64_t>(size);
}

std::uint64_t TFileStream::Position()
{
    long here = std::ftell(FFile);
    return here < 0 ? 0 : static_cast<std::uint64_t>(here);
}

namespace {
struct TResourceTable {
    std::mutex Mutex;
    std::map<std::pair<AnsiString, AnsiString>, std::vector<std::uint8_t>> Items;
};
TResourceTable& Resources()
{
    static TResourceTable table;
    return table;
}
}  // namespace

TResourceStream::TResourceStream(const AnsiString& type, const AnsiString& name)
{
    TResourceTable& table = Resources();
    std::lock_guard<std::mutex> lock(table.Mutex);
    auto found = table.Items.find({type, name});
    if (found == table.Items.end()) throw EResNotFound("Resource " + name + " not found");
    FBytes = found->second;
}

std::size_t TResourceStream::Read(void* buffer, std::size_t count)
{
    std::size_t n = std::min(count, FBytes.size() - FPosition);
    if (n) std::memcpy(buffer, FBytes.data() + FPosition, n);
    FPosition += n;
    return n;
}

namespace Platform {
void RegisterResource(const AnsiString& type, const AnsiString& name, std::vector<std::uint8_t> bytes)
{
    TResourceTable& table = Resources();
    std::lock_guard<std::mutex> lock(table.Mutex);
    table.Items[{type, name}] = std::move(bytes);
}

void UnregisterResource(const AnsiString& type, const AnsiString& name)
{
    TResourceTable& table = Resources();
    std::lock_guard<std::mutex> lock(table.Mutex);
    table.Items.erase({type, name});
}
}  // namespace Platform
