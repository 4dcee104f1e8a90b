#include <hvc_util/HashTable.h>
#include <hvc_util/HashTableIterator.h>
#include <hvc_util/String.h>
#include <hvc_util/UUID.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

using hvc_util::HashTable;
using hvc_util::HashTableIterator;

namespace {

// Items are ints matched by value; the key is an int too.
class IntTable : public HashTable {
public:
    explicit IntTable(unsigned int expected = 0, bool owner = false) : HashTable(owner, expected) {}
    IntTable(const IntTable& other) = default;
    IntTable& operator=(const IntTable& other) = default;
    ~IntTable() override { flush(owner); }

    bool put(const int* item) { return add(static_cast<unsigned int>(*item), item, item); }
    bool putAgain(const int* item) { return add(static_cast<unsigned int>(*item), item, nullptr); }
    bool putAs(unsigned int hash, const int* item) { return add(hash, item, item); }
    const int* find(int key, bool identityOnly = false, bool remove = false) {
        int k = key;
        return static_cast<const int*>(
            fetch(static_cast<unsigned int>(key), &k, identityOnly, remove));
    }
    const int* findItem(const int* item, bool identityOnly, bool remove = false) {
        return static_cast<const int*>(
            fetch(static_cast<unsigned int>(*item), item, identityOnly, remove));
    }
    const int* next() {
        const void* item = nullptr;
        return iterGetNext(item) ? static_cast<const int*>(item) : nullptr;
    }
    const int* locate(unsigned int hash, int key) {
        const void* item = nullptr;
        return iterLocate(hash, &key, item) ? static_cast<const int*>(item) : nullptr;
    }
    const int* locateNext(int key) {
        const void* item = nullptr;
        return iterLocateNext(&key, item) ? static_cast<const int*>(item) : nullptr;
    }

    int deleted = 0;

protected:
    bool compare(const void* item, const void* key) const override {
        return *static_cast<const int*>(item) == *static_cast<const int*>(key);
    }
    void deleteItem(const void* item) override {
        ++deleted;
        delete static_cast<const int*>(item);
    }
};

std::vector<int> walk(IntTable& t) {
    std::vector<int> seen;
    t.iteratorReset();
    while (const int* p = t.next())
        seen.push_back(*p);
    return seen;
}

} // namespace

TEST(HashTable, BucketCountFollowsTheExpectedSize) {
    const std::map<unsigned int, unsigned int> expected = {
        {0, 3},          {5, 3},           {6, 5},
        {51, 41},        {84, 83},         {50000, 49999},
        {100003, 49999}, {100004, 100003}, {4000000000u, 100003}};
    for (const auto& [elements, buckets] : expected)
        EXPECT_EQ(buckets, IntTable(elements).bucketCount()) << elements << " expected";
}

TEST(HashTable, GrowsOneStepBelowTheCountThatHoldsAll) {
    IntTable t;
    std::vector<int> items(100);
    std::map<unsigned int, unsigned int> grewAt;
    unsigned int buckets = t.bucketCount();
    for (int i = 0; i < 100; ++i) {
        items[i] = i;
        ASSERT_TRUE(t.put(&items[i]));
        if (t.bucketCount() != buckets)
            grewAt[static_cast<unsigned int>(i + 1)] = buckets = t.bucketCount();
    }
    EXPECT_EQ(
        (std::map<unsigned int, unsigned int>{{6, 5}, {12, 11}, {24, 23}, {42, 41}, {84, 83}}),
        grewAt);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(&items[i], t.find(i)) << "found after rehashing";
}

TEST(HashTable, DuplicatesAreRejectedOnlyWithAKey) {
    IntTable t;
    int a = 7, b = 7, c = 10;
    EXPECT_TRUE(t.put(&a));
    EXPECT_FALSE(t.put(&b)) << "compare matches another item with the same value";
    EXPECT_TRUE(t.put(&c));
    EXPECT_TRUE(t.putAgain(&a));
    EXPECT_EQ(3u, t.cardinality());

    // The key test looks at the bucket's items, not at their stored hashes:
    // 7 lives in bucket 1 of 3, and so does hash 1.
    EXPECT_FALSE(t.putAs(1, &b));
    EXPECT_TRUE(t.putAs(2, &b));
    EXPECT_EQ(4u, t.cardinality());

    IntTable u;
    u.putAgain(&a);
    u.putAgain(&c);
    t |= u;
    EXPECT_EQ(6u, t.cardinality()) << "nothing is recognised as a duplicate";
    t |= t;
    EXPECT_EQ(12u, t.cardinality()) << "added to itself, it doubles once";
}

TEST(HashTable, IdentityOnlyFetchMatchesByPointer) {
    IntTable t;
    int first = 4, second = 4;
    t.putAgain(&first);
    t.putAgain(&second); // now the head of the chain
    EXPECT_EQ(&second, t.find(4));
    EXPECT_EQ(&first, t.findItem(&first, true));
    int stranger = 4;
    EXPECT_EQ(nullptr, t.findItem(&stranger, true));
    EXPECT_EQ(&second, t.findItem(&stranger, false));

    EXPECT_EQ(&first, t.findItem(&first, true, true));
    EXPECT_EQ(1u, t.cardinality());
    EXPECT_EQ(nullptr, t.findItem(&first, true));
    EXPECT_EQ(nullptr, t.find(5));
}

TEST(HashTable, WalkIsByBucketThenNewestFirst) {
    IntTable t; // 3 buckets
    int v[] = {0, 3, 1, 4, 2};
    for (int& x : v)
        t.put(&x);
    EXPECT_EQ((std::vector<int>{3, 0, 4, 1, 2}), walk(t));
    const int* again = t.next();
    ASSERT_NE(nullptr, again) << "a step after the end starts again";
    EXPECT_EQ(3, *again);

    HashTableIterator it(t);
    std::vector<int> outside;
    const void* item;
    while (it.getNext(item))
        outside.push_back(*static_cast<const int*>(item));
    EXPECT_EQ(walk(t), outside);
}

TEST(HashTable, RemovalDuringTheWalkVisitsEveryOtherElementOnce) {
    IntTable t;
    std::vector<int> items(40);
    for (int i = 0; i < 40; ++i) {
        items[i] = i;
        t.put(&items[i]);
    }
    std::vector<int> order = walk(t);
    std::map<int, int> visits;
    t.iteratorReset();
    bool removeThis = true;
    while (const int* p = t.next()) {
        ++visits[*p];
        if (removeThis) {
            EXPECT_TRUE(t.iteratorRemoveAt());
        }
        removeThis = !removeThis;
    }
    EXPECT_EQ(40u, visits.size());
    for (const auto& [value, n] : visits)
        EXPECT_EQ(1, n) << value;
    EXPECT_EQ(20u, t.cardinality());
    std::vector<int> left = walk(t);
    std::vector<int> expected;
    for (std::size_t i = 1; i < order.size(); i += 2)
        expected.push_back(order[i]);
    EXPECT_EQ(expected, left);
    EXPECT_FALSE(t.iteratorRemoveAt()) << "the walk is over";

    // Removing the walk's element through fetch continues the walk as well.
    t.iteratorReset();
    const int* firstLeft = t.next();
    EXPECT_EQ(firstLeft, t.find(*firstLeft, false, true));
    std::vector<int> rest;
    while (const int* p = t.next())
        rest.push_back(*p);
    EXPECT_EQ(std::vector<int>(left.begin() + 1, left.end()), rest);
}

TEST(HashTable, OwnWalkHoldsGrowthBack) {
    IntTable t;
    std::vector<int> items(20);
    for (int i = 0; i < 5; ++i) {
        items[i] = i;
        t.put(&items[i]);
    }
    t.iteratorReset();
    ASSERT_NE(nullptr, t.next());
    for (int i = 5; i < 12; ++i) {
        items[i] = i;
        t.put(&items[i]);
    }
    EXPECT_EQ(3u, t.bucketCount()) << "no rehash while the walk is under way";

    // An outside iterator does not hold growth back.
    HashTableIterator it(t);
    const void* item;
    it.getNext(item);
    t.iteratorReset();
    items[12] = 12;
    t.put(&items[12]);
    EXPECT_EQ(11u, t.bucketCount());
}

TEST(HashTable, LocateFollowsTheStoredHashAndTheKey) {
    IntTable t; // 3 buckets: hashes 1, 4 and 7 share bucket 1
    int a = 1, b = 4, c = 1, d = 1;
    t.put(&a);
    t.put(&b);
    t.putAgain(&c);
    t.putAgain(&d);
    EXPECT_EQ(&d, t.locate(1, 1));
    EXPECT_EQ(&c, t.locateNext(1));
    EXPECT_EQ(&a, t.locateNext(1));
    EXPECT_EQ(nullptr, t.locateNext(1));
    EXPECT_EQ(nullptr, t.locateNext(1)) << "nothing to continue from";
    EXPECT_EQ(nullptr, t.locate(7, 4)) << "the stored hash must be equal too";

    HashTableIterator it(t);
    const void* item = nullptr;
    ASSERT_TRUE(it.locate(1, &a, item) && it.locateNext(&a, item));
    EXPECT_EQ(&c, item);
    ASSERT_TRUE(it.getNext(item));
    EXPECT_EQ(&b, item) << "an iterator walks on from where it located";
}

TEST(HashTable, CopiesHaveTheirOwnElementsAndShareItems) {
    IntTable t(0, true);
    for (int i = 0; i < 8; ++i)
        t.put(new int(i));
    {
        IntTable copy(t);
        EXPECT_EQ(walk(t), walk(copy));
        EXPECT_EQ(t.bucketCount(), copy.bucketCount());
        EXPECT_EQ(t.find(3), copy.find(3)) << "the items are shared";
        copy.find(3, false, true);
        EXPECT_EQ(7u, copy.cardinality());
        EXPECT_EQ(8u, t.cardinality());

        IntTable assigned;
        int own = 99;
        assigned.put(&own);
        assigned = t;
        assigned = assigned;
        EXPECT_EQ(walk(t), walk(assigned));
    } // the copies own nothing, so t's items survive them
    EXPECT_EQ(0, t.deleted);
    EXPECT_EQ(3, *t.find(3));

    t.iteratorReset();
    t.next();
    t.flush(true);
    EXPECT_EQ(8, t.deleted);
    EXPECT_EQ(0u, t.cardinality());
    EXPECT_EQ(nullptr, t.next()) << "flush restarts the walk";
}

TEST(HashTable, HashFunctions) {
    using hvc_util::getHash;
    EXPECT_EQ(3u, getHash(static_cast<std::int64_t>(0x100000002)));
    EXPECT_EQ(0u, getHash(static_cast<std::uint64_t>(0xFFFFFFFF00000001)));
    EXPECT_EQ(0xFFFFFFFFu, getHash(static_cast<short>(-1)));
    EXPECT_EQ(65535u, getHash(static_cast<unsigned short>(65535)));
    EXPECT_EQ(0u, getHash(1.0));
    EXPECT_EQ(1u, getHash(1.0 + 2.220446049250313e-16)) << "the mantissa's low half";
    EXPECT_EQ(0x3F800000u, getHash(1.0f));
    EXPECT_EQ(0xFFFFFF80u, getHash(static_cast<char>(0x80)));
    EXPECT_EQ(0x80u, getHash(static_cast<unsigned char>(0x80)));
    EXPECT_EQ(1u, getHash(true));
    EXPECT_EQ(0x6261u, getHash("ab"));
    EXPECT_EQ(0u, getHash(static_cast<const char*>(nullptr)));
    EXPECT_EQ(0x6261u, getHash(hvc_util::String("ab")));
    hvc_util::UUID id("6ba7b810-9dad-11d1-80b4-00c04fd430c8");
    EXPECT_EQ(static_cast<unsigned int>(id.getHash()), getHash(id));
}

// Buckets are chosen without a division; the walk shows the bucket of every
// element, so it must come out as hash modulo the bucket count orders it, at
// every size and for hashes at both ends of the 32-bit range.
TEST(HashTable, BucketIsTheHashModuloTheBucketCountAtEverySize) {
    std::uint32_t seed = 12345;
    auto random = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (unsigned int i = 0; i <= HashTable::maxsize; ++i) {
        const unsigned int buckets = HashTable::setsize[i];
        // Tables made for as many elements as they take before growing; the
        // largest never grows.
        const bool largest = i == HashTable::maxsize;
        const unsigned int room = largest ? 100 : HashTable::setsize[i + 1];
        std::vector<unsigned int> hashes = {0,
                                            1,
                                            buckets - 1,
                                            buckets,
                                            buckets + 1,
                                            0xFFFFFFFFu,
                                            0xFFFFFFFEu,
                                            0x80000000u,
                                            0x7FFFFFFFu,
                                            0xFFFFFFFFu - 0xFFFFFFFFu % buckets,
                                            0xFFFFFFFFu - 0xFFFFFFFFu % buckets - 1};
        while (hashes.size() < 400)
            hashes.push_back(random());
        // Each item is its hash, so that fetching it looks in its bucket.
        std::vector<int> items(hashes.size());
        for (std::size_t from = 0; from < hashes.size(); from += room) {
            IntTable t(largest ? buckets + 1 : room);
            ASSERT_EQ(buckets, t.bucketCount());
            std::vector<std::pair<unsigned int, std::size_t>> order;
            for (std::size_t k = from; k < hashes.size() && k < from + room; ++k) {
                items[k] = static_cast<int>(hashes[k]);
                ASSERT_TRUE(t.putAgain(&items[k]));
                order.emplace_back(hashes[k] % buckets, hashes.size() - k); // newest first
            }
            ASSERT_EQ(buckets, t.bucketCount()) << "no growth while checking";
            std::sort(order.begin(), order.end());
            std::vector<int> expected;
            for (const auto& [bucket, newest] : order)
                expected.push_back(items[hashes.size() - newest]);
            ASSERT_EQ(expected, walk(t)) << buckets << " buckets";
            for (std::size_t k = from; k < hashes.size() && k < from + room; ++k)
                ASSERT_EQ(&items[k], t.findItem(&items[k], true)) << hashes[k];
        }
    }
}
