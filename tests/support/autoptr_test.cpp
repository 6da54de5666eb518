#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "library/support/vtautoptr.h"

using namespace VantrelSystem;

namespace {

// Counts destructions; an optional hook runs inside the destructor.
struct Tracked {
    static inline int Destroyed = 0;
    std::function<void()> OnDestroy;
    ~Tracked() {
        ++Destroyed;
        if (OnDestroy) OnDestroy();
    }
};

// A counted pointer made during static initialisation must find the table ready.
int* const StaticTarget = new int(7);
TVantrelAutoPtr<int> StaticHolder(StaticTarget);

class AutoPtrTest : public ::testing::Test {
protected:
    void SetUp() override { Tracked::Destroyed = 0; }
};

TEST_F(AutoPtrTest, StaticHolderIsCounted) { EXPECT_EQ(ReferenceCountTable.RefCount(StaticTarget), 1); }

TEST_F(AutoPtrTest, NullIsNeverCountedAndNeverRaises) {
    TVantrelAutoPtr<Tracked> a;
    TVantrelAutoPtr<Tracked> b(a);
    a = nullptr;
    b = a;
    EXPECT_EQ(b.Get(), nullptr);
    EXPECT_NO_THROW(ReferenceCountTable.Release(static_cast<Tracked*>(nullptr)));
    EXPECT_EQ(ReferenceCountTable.Chain(ReferenceCountTable.BucketOf(nullptr)), nullptr);
}

TEST_F(AutoPtrTest, IndependentPointersToOneAddressShareACountAndDeleteOnce) {
    Tracked* raw = new Tracked;
    auto* first = new TVantrelAutoPtr<Tracked>(raw);
    {
        TVantrelAutoPtr<Tracked> second(raw);
        TVantrelAutoPtr<Tracked> copy(second);
        EXPECT_EQ(ReferenceCountTable.RefCount(raw), 3);
    }
    EXPECT_EQ(Tracked::Destroyed, 0);
    EXPECT_EQ(ReferenceCountTable.RefCount(raw), 1);
    delete first;
    EXPECT_EQ(Tracked::Destroyed, 1);
    EXPECT_EQ(ReferenceCountTable.RefCount(raw), 0);
}

TEST_F(AutoPtrTest, AssigningWhatIsHeldChangesNothingEvenForTheLastHolder) {
    TVantrelAutoPtr<Tracked> p(new Tracked);
    Tracked* raw = p.Get();
    p = raw;
    p = p;
    EXPECT_EQ(Tracked::Destroyed, 0);
    EXPECT_EQ(ReferenceCountTable.RefCount(raw), 1);
    EXPECT_EQ(p.Get(), raw);
}

TEST_F(AutoPtrTest, ReassigningTheLastHolderDeletesTheOldObjectBeforeCountingTheNew) {
    Tracked* next = new Tracked;
    int nextCountWhileOldDies = -1;
    TVantrelAutoPtr<Tracked> p(new Tracked);
    p->OnDestroy = [&] { nextCountWhileOldDies = ReferenceCountTable.RefCount(next); };
    p = next;
    EXPECT_EQ(Tracked::Destroyed, 1);
    EXPECT_EQ(nextCountWhileOldDies, 0);
    EXPECT_EQ(ReferenceCountTable.RefCount(next), 1);
}

TEST_F(AutoPtrTest, CopyAssignmentKeepsCounts) {
    TVantrelAutoPtr<Tracked> a(new Tracked);
    TVantrelAutoPtr<Tracked> b(new Tracked);
    b = a;
    EXPECT_EQ(Tracked::Destroyed, 1);
    EXPECT_EQ(ReferenceCountTable.RefCount(a.Get()), 2);
    TVantrelAutoPtr<Tracked> moved(static_cast<TVantrelAutoPtr<Tracked>&&>(b));
    EXPECT_EQ(b.Get(), nullptr);
    EXPECT_EQ(ReferenceCountTable.RefCount(a.Get()), 2);
}

// Advancing along a list held only by its own links: the new target is owned by the old one.
struct Link {
    static inline int Destroyed = 0;
    ~Link() { ++Destroyed; }
    TVantrelAutoPtr<Link> Next;
};

TEST_F(AutoPtrTest, AssigningAPointerOwnedByTheOldObjectKeepsItAlive) {
    TVantrelAutoPtr<Link> head(new Link);
    head->Next = new Link;
    head->Next->Next = new Link;
    Link* second = head->Next.Get();
    Link::Destroyed = 0;
    head = head->Next;
    EXPECT_EQ(Link::Destroyed, 1);
    EXPECT_EQ(head.Get(), second);
    EXPECT_EQ(ReferenceCountTable.RefCount(second), 1);
    EXPECT_EQ(ReferenceCountTable.RefCount(second->Next.Get()), 1);
}

// Objects placed at chosen offsets of an arena, so their addresses share a bucket.
struct Placed {
    static inline unsigned char* Arena = nullptr;
    static inline std::size_t NextOffset = 0;
    static inline int Destroyed = 0;
    static void* operator new(std::size_t) { return Arena + NextOffset; }
    static void operator delete(void*) noexcept {}
    ~Placed() { ++Destroyed; }
    TVantrelAutoPtr<Placed> Child;
};

Placed* PlaceAt(std::size_t offset) {
    Placed::NextOffset = offset;
    return new Placed;
}

class SharedBucketTest : public ::testing::TestWithParam<int> {
protected:
    static constexpr std::size_t ArenaSize = std::size_t(1) << 18;
    // Below bit 4 and above bit 16 do not choose the bucket.
    static constexpr std::size_t Offsets[3] = {0, 8, std::size_t(1) << 17};

    void SetUp() override {
        Placed::Arena = static_cast<unsigned char*>(std::aligned_alloc(ArenaSize, ArenaSize));
        Placed::Destroyed = 0;
    }
    void TearDown() override { std::free(Placed::Arena); }

    // The chain of the shared bucket, head first, with its back links checked on the way.
    std::vector<const void*> ChainKeys() const {
        std::vector<const void*> keys;
        const TReferenceCountHash::THashNode* prev = nullptr;
        for (auto* n = ReferenceCountTable.Chain(ReferenceCountTable.BucketOf(Placed::Arena)); n;
             n = n->Next) {
            EXPECT_EQ(n->Prev, prev);
            keys.push_back(n->Key);
            prev = n;
        }
        return keys;
    }
};

TEST_F(SharedBucketTest, NewAddressesGoToTheFrontOfOneChain) {
    Placed* p[3];
    std::vector<TVantrelAutoPtr<Placed>> holders;
    for (int i = 0; i < 3; ++i) {
        p[i] = PlaceAt(Offsets[i]);
        holders.emplace_back(p[i]);
        EXPECT_EQ(ReferenceCountTable.BucketOf(p[i]), ReferenceCountTable.BucketOf(p[0]));
    }
    EXPECT_EQ(ChainKeys(), (std::vector<const void*>{p[2], p[1], p[0]}));
}

TEST_P(SharedBucketTest, UnlinkingOneNodeLeavesTheOthersFindable) {
    const int gone = 2 - GetParam();  // chain position 0 head, 1 middle, 2 tail; newest first
    Placed* p[3];
    TVantrelAutoPtr<Placed> holders[3];
    for (int i = 0; i < 3; ++i) {
        p[i] = PlaceAt(Offsets[i]);
        holders[i] = p[i];
        holders[i] = p[i];  // assigning the same pointer again must not count again
    }
    holders[gone] = nullptr;
    std::vector<const void*> expected;
    for (int i = 2; i >= 0; --i)
        if (i != gone) expected.push_back(p[i]);
    EXPECT_EQ(ChainKeys(), expected);
    EXPECT_EQ(Placed::Destroyed, 1);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(ReferenceCountTable.RefCount(p[i]), i == gone ? 0 : 1) << i;
}

INSTANTIATE_TEST_SUITE_P(HeadMiddleTail, SharedBucketTest, ::testing::Values(0, 1, 2));

TEST_F(SharedBucketTest, ReleasingAnUnlistedAddressRaisesAndChangesNothing) {
    Placed* listed = PlaceAt(Offsets[0]);
    TVantrelAutoPtr<Placed> holder(listed);
    Placed* gone = PlaceAt(Offsets[1]);
    { TVantrelAutoPtr<Placed> once(gone); }
    Placed* never = PlaceAt(Offsets[2]);
    for (Placed* unlisted : {gone, never}) {
        Placed::Destroyed = 0;
        try {
            ReferenceCountTable.Release(unlisted);
            ADD_FAILURE() << "no error";
        } catch (const EVtAutoPtr& e) {
            EXPECT_EQ(e.Message, "TVantrelAutoPtr エラー\n\nリストされていないポインタが検出されました。");
        }
        EXPECT_EQ(Placed::Destroyed, 0);
        EXPECT_EQ(ChainKeys(), std::vector<const void*>{listed});
        EXPECT_EQ(ReferenceCountTable.RefCount(listed), 1);
    }
    delete never;
}

TEST_F(SharedBucketTest, DestructorMayReleaseTheLastHolderOfAnotherObjectInTheSameChain) {
    Placed* outer = PlaceAt(Offsets[0]);
    Placed* bystander = PlaceAt(Offsets[2]);
    TVantrelAutoPtr<Placed> keep(bystander);
    TVantrelAutoPtr<Placed> holder(outer);
    outer->Child = PlaceAt(Offsets[1]);
    holder = nullptr;
    EXPECT_EQ(Placed::Destroyed, 2);
    EXPECT_EQ(ChainKeys(), std::vector<const void*>{bystander});
}

}  // namespace
