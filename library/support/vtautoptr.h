// The library's shared-ownership pointer. Counts live in one process-wide table keyed by the
// object's address, so pointers made independently from one address share a count and the
// pointee needs no counter of its own. One thread at a time: the table has no lock.
#pragma once
#include <cstddef>
#include <cstdint>

#include "library/support/vterrors.h"

namespace VantrelSystem {

class TReferenceCountHash {
public:
    static constexpr std::size_t BucketCount = 8192;

    struct THashNode {
        const void* Key;
        std::int32_t RefCount;
        THashNode* Next;
        THashNode* Prev;
    };

    TReferenceCountHash();
    // Frees the chain heads only: objects still listed then are neither freed nor deleted.
    ~TReferenceCountHash();
    TReferenceCountHash(const TReferenceCountHash&) = delete;
    TReferenceCountHash& operator=(const TReferenceCountHash&) = delete;

    // One more holder of p (listed at count 1 the first time); null is ignored.
    void AddRef(const void* p);

    // One holder less; the last one unlists p and then deletes it as a T, so T's destructor
    // may itself use counted pointers. An unlisted p raises EVtAutoPtr and changes nothing.
    template <class T>
    void Release(T* p) {
        if (p && Unlist(p)) delete p;
    }

    // Holders of p; 0 when it is not listed.
    std::int32_t RefCount(const void* p) const;
    static std::size_t BucketOf(const void* p) {
        return (reinterpret_cast<std::uintptr_t>(p) >> 4) & (BucketCount - 1);
    }
    const THashNode* Chain(std::size_t bucket) const { return Buckets[bucket]; }

private:
    THashNode* Find(const void* p) const;
    bool Unlist(const void* p);  // true when the last holder let go
    THashNode** Buckets;
};

// The one table every counted pointer uses. It lives in static storage and is built by the
// first of the counters below to run and torn down by the last, so it exists before any
// static initialiser of a unit that includes this header can make a counted pointer, and
// until every such unit's statics are gone. A function-local static would not do: a static
// pointer that starts null and is assigned later would outlive the table.
extern TReferenceCountHash& ReferenceCountTable;

struct TReferenceCountTableLifetime {
    TReferenceCountTableLifetime();
    ~TReferenceCountTableLifetime();
};
static const TReferenceCountTableLifetime ReferenceCountTableLifetime;

class TVantrelAutoPtrBase {};

template <class T>
class TVantrelAutoPtr : public TVantrelAutoPtrBase {
public:
    TVantrelAutoPtr(T* p = nullptr) : FPtr(p) { ReferenceCountTable.AddRef(FPtr); }
    TVantrelAutoPtr(const TVantrelAutoPtr& other) : FPtr(other.FPtr) {
        ReferenceCountTable.AddRef(FPtr);
    }
    TVantrelAutoPtr(TVantrelAutoPtr&& other) noexcept : FPtr(other.FPtr) { other.FPtr = nullptr; }
    ~TVantrelAutoPtr() {
        ReferenceCountTable.Release(FPtr);
        FPtr = nullptr;
    }

    // The old object goes first (deleted if this held it last), then the new one is counted;
    // should counting fail, this is left holding null rather than an uncounted pointer.
    TVantrelAutoPtr& operator=(T* p) {
        if (p == FPtr) return *this;
        T* old = FPtr;
        FPtr = nullptr;
        ReferenceCountTable.Release(old);
        ReferenceCountTable.AddRef(p);
        FPtr = p;
        return *this;
    }
    // Counts the new object before letting go of the old, which may be what owns other.
    TVantrelAutoPtr& operator=(const TVantrelAutoPtr& other) {
        TVantrelAutoPtr copy(other);
        Swap(copy);
        return *this;
    }
    TVantrelAutoPtr& operator=(TVantrelAutoPtr&& other) noexcept {
        TVantrelAutoPtr taken(static_cast<TVantrelAutoPtr&&>(other));
        Swap(taken);
        return *this;
    }

    T* Get() const { return FPtr; }
    T* operator->() const { return FPtr; }
    T& operator*() const { return *FPtr; }

private:
    void Swap(TVantrelAutoPtr& other) noexcept {
        T* p = FPtr;
        FPtr = other.FPtr;
        other.FPtr = p;
    }
    T* FPtr;
};

}  // namespace VantrelSystem
