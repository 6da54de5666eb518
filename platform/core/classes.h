// The least of the component model the game and the library use: objects, owned components,
// notify events and string lists.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/core/sysutils.h"

class TObject {
public:
    virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* sender)>;

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

private:
    TComponent* FOwner;
    std::vector<TComponent*> FComponents;
};

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
