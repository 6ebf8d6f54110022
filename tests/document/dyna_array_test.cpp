// Tests of the record array: block steps of 100, zeroed records, cursor and owner pointer.
#include "document/dyna_array.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace quentar::document {
namespace {

struct Rec {
    std::int32_t id;
    double value;
    char tag[4];
};

// Larger than the swap buffer, so a swap has to go in several pieces.
struct Big {
    std::int32_t id;
    unsigned char fill[700];
};

constexpr std::uint32_t kStep = 100 * sizeof(Rec);

bool allZero(const void *p, std::size_t n) {
    const auto *b = static_cast<const unsigned char *>(p);
    return std::all_of(b, b + n, [](unsigned char c) { return c == 0; });
}

// The bytes between the last record and the end of the block.
bool spareIsZero(TypedDynaArray<Rec> &a) {
    if (a.count == 0) return true;
    const auto *end = reinterpret_cast<const unsigned char *>(a.data() + a.count);
    return allZero(end, a.amemsize - a.count * sizeof(Rec));
}

void fill(TypedDynaArray<Rec> &a, int n) {
    for (int i = 0; i < n; ++i) {
        Rec *r = a.Add();
        r->id = i;
        r->value = i * 0.5;
        std::memcpy(r->tag, "abc", 4);
    }
}

std::vector<int> ids(TypedDynaArray<Rec> &a) {
    std::vector<int> out;
    for (std::uint32_t i = 0; i < a.count; ++i) out.push_back(a.data()[i].id);
    return out;
}

TEST(DynaArray, FirstAddAllocatesOneStepAndReturnsZeroedCurrentRecord) {
    TypedDynaArray<Rec> a;
    EXPECT_EQ(a.amemsize, 0u);
    EXPECT_EQ(a.data(), nullptr);

    Rec *r = a.Add();
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(allZero(r, sizeof(Rec)));
    EXPECT_EQ(a.count, 1u);
    EXPECT_EQ(a.amemsize, kStep);
    EXPECT_EQ(a.current, r);
    EXPECT_EQ(a.aobjnr, 0);
}

TEST(DynaArray, GrowsAtRecord101KeepingContentsAndShrinksWhenItGoes) {
    TypedDynaArray<Rec> a;
    fill(a, 100);
    EXPECT_EQ(a.amemsize, kStep);

    Rec *r = a.Add();
    EXPECT_EQ(a.amemsize, 2 * kStep);
    EXPECT_TRUE(allZero(r, sizeof(Rec)));
    r->id = 100;
    std::vector<int> expected(101);
    for (int i = 0; i < 101; ++i) expected[i] = i;
    EXPECT_EQ(ids(a), expected);
    EXPECT_DOUBLE_EQ(a.data()[99].value, 49.5);
    EXPECT_TRUE(spareIsZero(a));

    a.Delete(100);
    EXPECT_EQ(a.amemsize, kStep);
    expected.pop_back();
    EXPECT_EQ(ids(a), expected);
    EXPECT_STREQ(a.data()[99].tag, "abc");
}

TEST(DynaArray, DeleteMovesLaterRecordsDownAndZeroesTheFreedSlot) {
    TypedDynaArray<Rec> a;
    fill(a, 5);
    a.Delete(1);
    EXPECT_EQ(ids(a), (std::vector<int>{0, 2, 3, 4}));
    EXPECT_TRUE(spareIsZero(a));
    a.Delete(4); // out of range now
    a.Delete(-1);
    EXPECT_EQ(ids(a), (std::vector<int>{0, 2, 3, 4}));
}

TEST(DynaArray, DeletingTheOnlyRecordFreesTheBlockAndTheNextAddStartsFresh) {
    TypedDynaArray<Rec> a;
    a.Add()->id = 7;
    a.Delete(0);
    EXPECT_EQ(a.count, 0u);
    EXPECT_EQ(a.amemsize, 0u);
    EXPECT_EQ(a.data(), nullptr);

    Rec *r = a.Add();
    EXPECT_TRUE(allZero(r, sizeof(Rec)));
    EXPECT_EQ(a.amemsize, kStep);
}

TEST(DynaArray, InsertTakesIndicesZeroToCountOnly) {
    TypedDynaArray<Rec> a;
    fill(a, 3);

    Rec *mid = a.Insert(1);
    ASSERT_NE(mid, nullptr);
    EXPECT_TRUE(allZero(mid, sizeof(Rec)));
    EXPECT_EQ(a.current, mid);
    EXPECT_EQ(a.aobjnr, 1);
    mid->id = 10;

    Rec *end = a.Insert(4);
    ASSERT_NE(end, nullptr);
    end->id = 11;
    EXPECT_EQ(ids(a), (std::vector<int>{0, 10, 1, 2, 11}));

    for (int bad : {6, -1}) {
        EXPECT_EQ(a.Insert(bad), nullptr) << bad;
        EXPECT_EQ(a.count, 5u);
        EXPECT_EQ(a.current, end);
        EXPECT_EQ(a.aobjnr, 4);
    }
}

TEST(DynaArray, InsertAcrossAStepBoundaryKeepsOrder) {
    TypedDynaArray<Rec> a;
    fill(a, 100);
    a.Insert(0)->id = -1;
    EXPECT_EQ(a.amemsize, 2 * kStep);
    std::vector<int> expected{-1};
    for (int i = 0; i < 100; ++i) expected.push_back(i);
    EXPECT_EQ(ids(a), expected);
}

TEST(DynaArray, FirstThenWhileNextVisitsEveryRecordOnce) {
    for (int n : {0, 1, 250}) {
        TypedDynaArray<Rec> a;
        fill(a, n);
        std::vector<int> seen;
        a.First();
        while (a.WhileNext()) {
            seen.push_back(a.current->id);
            // The cursor is already one past the record shown.
            EXPECT_EQ(a.aobjnr, seen.back() + 1);
        }
        EXPECT_EQ(seen, ids(a)) << n;
    }
}

TEST(DynaArray, NextStopsAtTheLastRecordAndStartsFromNoRecord) {
    TypedDynaArray<Rec> a;
    fill(a, 3);
    a.Delete(2); // leaves no current record
    ASSERT_EQ(a.aobjnr, -1);
    EXPECT_TRUE(a.Next());
    EXPECT_EQ(a.current->id, 0);
    EXPECT_TRUE(a.Next());
    EXPECT_EQ(a.current->id, 1);
    EXPECT_FALSE(a.Next());
    EXPECT_EQ(a.aobjnr, 1);
    EXPECT_EQ(a.current, a.data() + 1);
}

TEST(DynaArray, DeleteAndClearLeaveNoCurrentRecordForTheOwner) {
    struct Case {
        const char *name;
        void (*op)(TDynaArray &);
    };
    const Case cases[] = {
        {"Delete", [](TDynaArray &a) { a.Delete(0); }},
        {"Clear", [](TDynaArray &a) { a.Clear(); }},
    };
    for (const Case &c : cases) {
        Rec *owner = nullptr;
        TDynaArray a(sizeof(Rec), reinterpret_cast<void **>(&owner));
        a.Add();
        a.Add();
        ASSERT_EQ(owner, static_cast<Rec *>(a.poi) + 1) << c.name;
        c.op(a);
        EXPECT_EQ(owner, nullptr) << c.name;
        EXPECT_EQ(a.aobj, nullptr) << c.name;
        EXPECT_EQ(a.aobjnr, -1) << c.name;
    }
}

TEST(DynaArray, ClearFreesTheBlock) {
    TypedDynaArray<Rec> a;
    fill(a, 150);
    a.Clear();
    EXPECT_EQ(a.count, 0u);
    EXPECT_EQ(a.amemsize, 0u);
    EXPECT_EQ(a.data(), nullptr);
}

TEST(DynaArray, DestroyLeavesTheOwnersVariableAlone) {
    Rec *owner = nullptr;
    TDynaArray a(sizeof(Rec), reinterpret_cast<void **>(&owner));
    Rec *r = static_cast<Rec *>(a.Add());
    a.Destroy();
    EXPECT_EQ(owner, r);
    EXPECT_EQ(a.poi, nullptr);
    EXPECT_EQ(a.aobjnr, -1);
}

TEST(DynaArray, ChangeSwapsWholeRecordsAndMakesTheSecondCurrent) {
    TypedDynaArray<Big> a;
    for (int i = 0; i < 3; ++i) {
        Big *b = a.Add();
        b->id = i;
        std::memset(b->fill, 'a' + i, sizeof b->fill);
    }
    a.Change(0, 2);
    EXPECT_EQ(a.data()[0].id, 2);
    EXPECT_EQ(a.data()[2].id, 0);
    EXPECT_EQ(a.data()[0].fill[sizeof(Big::fill) - 1], 'c');
    EXPECT_EQ(a.data()[2].fill[sizeof(Big::fill) - 1], 'a');
    EXPECT_EQ(a.current, a.data() + 2);
    EXPECT_EQ(a.aobjnr, 2);

    a.GetObject(1);
    for (auto [i, j] : {std::pair{0, 3}, std::pair{-1, 0}}) {
        a.Change(i, j);
        EXPECT_EQ(a.aobjnr, 1);
    }
    EXPECT_EQ(a.data()[0].id, 2);
}

TEST(DynaArray, FailedAllocationReportsTheOldMessageAndChangesNothing) {
    // 100 records of 50 MB cannot be described by the 32-bit block size, so this fails without
    // touching the system allocator.
    TDynaArray a(50'000'000, nullptr);
    try {
        a.Add();
        FAIL() << "no exception";
    } catch (const std::bad_alloc &e) {
        EXPECT_STREQ(
            e.what(),
            "Error 1 while trying to allocate 5000000000 bytes of RAM. Not enough memory.");
    }
    EXPECT_EQ(a.count, 0u);
    EXPECT_EQ(a.poi, nullptr);
    EXPECT_EQ(a.amemsize, 0u);
    EXPECT_EQ(a.aobjnr, -1);
}

TEST(DynaArray, MovedArrayKeepsItsRecordsAndCurrentPointer) {
    TypedDynaArray<Rec> a;
    fill(a, 3);
    a.GetObject(1);
    TypedDynaArray<Rec> b(std::move(a));
    EXPECT_EQ(ids(b), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(b.current, b.data() + 1);
    // Each array writes only its own `current` from here on.
    Rec *r = a.Add();
    EXPECT_EQ(a.current, r);
    EXPECT_EQ(b.current, b.data() + 1);
    b.Clear();
    EXPECT_EQ(b.current, nullptr);
    EXPECT_EQ(a.current, r);
}

} // namespace
} // namespace quentar::document
