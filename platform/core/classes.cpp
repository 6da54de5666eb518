#include "platform/core/classes.h"

#include <algorithm>

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
