// The least of the component model the game and the library use: objects, owned components,
// notify events and string lists.
#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/sysutils.h"

class TObject {
public:
    virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* sender)>;

// Published properties are streamed as "Name = Value" pairs; a component writes only the values
// that differ from their defaults, so a form's stored text stays short.
class TWriter {
public:
    void WriteBoolean(const AnsiString& name, bool value);
    void WriteString(const AnsiString& name, const AnsiString& value);
    const std::vector<std::pair<AnsiString, AnsiString>>& Properties() const { return FProperties; }
    AnsiString Text() const;  // one "Name = Value" line per property
private:
    std::vector<std::pair<AnsiString, AnsiString>> FProperties;
};

// A component is destroyed by its owner, in reverse order of insertion, unless freed first.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int index) const { return FComponents[index]; }
    AnsiString Name;

    virtual void WriteProperties(TWriter&) const {}
    // Sets one streamed property; false if the component has no such property or the value is bad.
    virtual bool ReadProperty(const AnsiString&, const AnsiString&) { return false; }

private:
    TComponent* FOwner;
    std::vector<TComponent*> FComponents;
};

// Reads "Name = Value" lines (as TWriter::Text writes them) into the component; raises
// Exception naming the first line it cannot apply.
void ReadComponentProperties(TComponent& component, const AnsiString& text);

// The design-time palette: which component classes a page offers and the unit that declares them.
struct TComponentClassInfo {
    AnsiString ClassName;
    AnsiString UnitName;
    std::function<TComponent*(TComponent* owner)> Create;
};
void RegisterComponents(const AnsiString& page, std::vector<TComponentClassInfo> classes);

namespace Platform {
std::vector<TComponentClassInfo> PaletteComponents(const AnsiString& page);
}  // namespace Platform

class TStringList : public TObject {
public:
    int Add(const AnsiString& s);
    void Clear() { FItems.clear(); }
    int Count() const { return static_cast<int>(FItems.size()); }
    const AnsiString& operator[](int index) const { return FItems.at(index); }
    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }
private:
    std::vector<AnsiString> FItems;
};

// Byte streams for reading: a file, or a resource the program registered under a type and name.
class TStream : public TObject {
public:
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;  // bytes actually read
    virtual std::uint64_t Size() = 0;
    virtual std::uint64_t Position() = 0;
};

class EFOpenError : public Exception {
public:
    using Exception::Exception;
};
class EResNotFound : public Exception {
public:
    using Exception::Exception;
};

// Opens a file for reading. "\" in the name separates folders as "/" does.
class TFileStream : public TStream {
public:
    explicit TFileStream(const AnsiString& fileName);  // raises EFOpenError
    ~TFileStream() override;
    std::size_t Read(void* buffer, std::size_t count) override;
    std::uint64_t Size() override;
    std::uint64_t Position() override;
private:
    std::FILE* FFile;
};

// Reads a resource registered with Platform::RegisterResource, the stand-in for the bytes a
// program carries inside its own module.
class TResourceStream : public TStream {
public:
    TResourceStream(const AnsiString& type, const AnsiString& name);  // raises EResNotFound
    std::size_t Read(void* buffer, std::size_t count) override;
    std::uint64_t Size() override { return FBytes.size(); }
    std::uint64_t Position() override { return FPosition; }
private:
    std::vector<std::uint8_t> FBytes;
    std::size_t FPosition = 0;
};

namespace Platform {
void RegisterResource(const AnsiString& type, const AnsiString& name, std::vector<std::uint8_t> bytes);
void UnregisterResource(const AnsiString& type, const AnsiString& name);
AnsiString NativeFileName(const AnsiString& fileName);  // "\" becomes "/"
}  // namespace Platform
