#include "library/support/vtautoptr.h"

#include <new>

namespace VantrelSystem {
namespace {

// Room for the table, set up before any dynamic initialisation; the counters build it in place.
union TTableStorage {
    constexpr TTableStorage() : Unused() {}
    ~TTableStorage() {}
    char Unused;
    TReferenceCountHash Table;
};
constinit TTableStorage Storage;
constinit int TableUsers = 0;

}  // namespace

constinit TReferenceCountHash& ReferenceCountTable = Storage.Table;

TReferenceCountTableLifetime::TReferenceCountTableLifetime() {
    if (TableUsers++ == 0) new (&Storage.Table) TReferenceCountHash();
}

TReferenceCountTableLifetime::~TReferenceCountTableLifetime() {
    if (--TableUsers == 0) ReferenceCountTable.~TReferenceCountHash();
}

TReferenceCountHash::TReferenceCountHash() : Buckets(new THashNode*[BucketCount]()) {}

TReferenceCountHash::~TReferenceCountHash() { delete[] Buckets; }

TReferenceCountHash::THashNode* TReferenceCountHash::Find(const void* p) const {
    THashNode* node = Buckets[BucketOf(p)];
    while (node && node->Key != p) node = node->Next;
    return node;
}

void TReferenceCountHash::AddRef(const void* p) {
    if (!p) return;
    if (THashNode* node = Find(p)) {
        ++node->RefCount;
        return;
    }
    THashNode*& head = Buckets[BucketOf(p)];
    THashNode* node = new THashNode{p, 1, head, nullptr};
    if (head) head->Prev = node;
    head = node;
}

bool TReferenceCountHash::Unlist(const void* p) {
    THashNode* node = Find(p);
    if (!node) throw EVtAutoPtr(VtErrorText::UnlistedPointer);
    if (node->RefCount-- != 1) return false;
    if (node->Next) node->Next->Prev = node->Prev;
    if (node->Prev)
        node->Prev->Next = node->Next;
    else
        Buckets[BucketOf(p)] = node->Next;
    delete node;
    return true;
}

std::int32_t TReferenceCountHash::RefCount(const void* p) const {
    const THashNode* node = p ? Find(p) : nullptr;
    return node ? node->RefCount : 0;
}

}  // namespace VantrelSystem
