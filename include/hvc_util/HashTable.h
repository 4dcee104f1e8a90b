// The library's chained hash table of untyped items and the hash functions
// that go with it.
#pragma once

#include <hvc_util/Export.h>

#include <cstdint>

#include <hvc_util/HashTableElement.h>

namespace hvc_util {

class String;
class UUID;
class HashTableIterator;

// A chained hash table of item pointers over a fixed list of prime bucket
// counts. Callers give each item's hash; a derived class says how an item
// matches a key (compare) and how an item is deleted (deleteItem). The table
// owns its bucket array and its elements; whether the items are owned is the
// derived class's `owner` (a derived destructor calls flush(owner)). Items may
// be stored more than once and shared between tables. The table grows when it
// holds more elements than the next bucket count, except while its own walk
// (iterGetNext) is under way. Nothing is reported other than by results;
// std::bad_alloc passes through when an element or bucket array cannot be
// allocated, leaving the table as it was. A table and its iterators are used
// by one thread at a time: even lookups move the table's own walk.
class HVC_UTIL_API HashTable {
public:
    static const unsigned int setsize[16];
    static const unsigned char maxsize = 15;

    virtual ~HashTable();

    // Removes every element; with `deleteItems` each item goes to deleteItem.
    // The table's own walk restarts.
    void flush(bool deleteItems);
    unsigned int cardinality() const { return count; }
    // Number of buckets in use (setsize[sizeIndex]).
    unsigned int bucketCount() const { return setsize[sizeIndex]; }

    // Restarts the table's own walk.
    void iteratorReset() const { current = nullptr; }
    // Removes the element the table's own walk stands on (the item is not
    // deleted); the walk continues with the element that followed. False when
    // the walk stands on nothing. Outside iterators on that element must be
    // restarted.
    bool iteratorRemoveAt();

    // Rehashes to the bucket count that suits the number of elements.
    void reSize();

    // Adds every element of `other` without a duplicate test; the items are
    // shared, not copied. A table may be added to itself.
    HashTable& operator|=(const HashTable& other);

protected:
    // Buckets for `expected` elements: the step below the first bucket count
    // that holds them all.
    HashTable(bool owner, unsigned int expected);
    // A copy has bucket arrays and elements of its own but shares the items,
    // so it never owns them (`owner` false).
    HashTable(const HashTable& other);
    HashTable& operator=(const HashTable& other);

    // True when `item` matches `key`.
    virtual bool compare(const void* item, const void* key) const = 0;
    virtual void deleteItem(const void* item) = 0;

    // With a `key`, rejects (false) an item that compare matches with `key`
    // in the bucket of `hash`; without one, adds unconditionally.
    bool add(unsigned int hash, const void* item, const void* key);
    // The item in the bucket of `hash` that is `key` itself or, unless
    // `identityOnly`, that compare matches with `key`; null when none. With
    // `remove` its element is taken out (the item is not deleted). The
    // lookup is inline, so that a derived class whose type the compiler
    // knows (a final class, say) has its compare called directly.
    const void* fetch(unsigned int hash, const void* key, bool identityOnly, bool remove) {
        if (remove)
            return fetchAndRemove(hash, key, identityOnly);
        for (const HashTableElement* e = buckets[bucketOf(hash)]; e; e = e->next) {
            if (e->item == key || (!identityOnly && compare(e->item, key)))
                return e->item;
        }
        return nullptr;
    }
    // The table's own walk: the next item, false when the walk is over.
    bool iterGetNext(const void*& item) const;
    // Puts the walk on the first element of the bucket of `hash` added with
    // `hash` whose item matches `key`; false (walk restarted) when none.
    bool iterLocate(unsigned int hash, const void* key, const void*& item) const;
    // The next such element along the chain; false (walk restarted) when none.
    bool iterLocateNext(const void* key, const void*& item) const;

    bool owner;

private:
    friend class HashTableIterator;

    static unsigned char indexFor(unsigned int elements);
    // hash mod setsize[sizeIndex] without a division (Lemire's fastmod,
    // exact for every 32-bit hash and divisor): the fractional part of
    // hash / divisor in 64 fixed-point bits, multiplied by the divisor, has
    // the remainder as its integer part.
    unsigned int bucketOf(unsigned int hash) const {
        std::uint64_t fraction = bucketMagic * hash;
        std::uint64_t divisor = setsize[sizeIndex];
        std::uint64_t high = (fraction >> 32) * divisor;
        std::uint64_t low = (fraction & 0xFFFFFFFFu) * divisor;
        return static_cast<unsigned int>((high + (low >> 32)) >> 32);
    }
    void useIndex(unsigned char index);
    const void* fetchAndRemove(unsigned int hash, const void* key, bool identityOnly);
    HashTableElement* successor(const HashTableElement* e) const;
    HashTableElement* predecessor(const HashTableElement* e) const;
    HashTableElement* locateFrom(HashTableElement* e, unsigned int hash, const void* key) const;
    void copyElements(const HashTable& other);

    HashTableElement** buckets = nullptr;
    mutable HashTableElement* current = nullptr;
    unsigned int count = 0;
    unsigned char sizeIndex = 0;
    // 2^64 / setsize[sizeIndex], rounded up; set with sizeIndex by useIndex.
    std::uint64_t bucketMagic = 0;
};

// The hashes that callers pass to HashTable, one per key type.
HVC_UTIL_API unsigned int getHash(char value); // widened with sign
HVC_UTIL_API unsigned int getHash(unsigned char value);
HVC_UTIL_API unsigned int getHash(short value); // widened with sign
HVC_UTIL_API unsigned int getHash(unsigned short value);
HVC_UTIL_API unsigned int getHash(int value);
HVC_UTIL_API unsigned int getHash(unsigned int value);
HVC_UTIL_API unsigned int getHash(float value);         // the IEEE 754 bit pattern
HVC_UTIL_API unsigned int getHash(std::int64_t value);  // low + high 32 bits
HVC_UTIL_API unsigned int getHash(std::uint64_t value); // low + high 32 bits
HVC_UTIL_API unsigned int getHash(double value);        // the low 32 bits of the pattern
HVC_UTIL_API unsigned int getHash(bool value);
HVC_UTIL_API unsigned int getHash(const char* text); // String::getHash of the text; null gives 0
HVC_UTIL_API unsigned int getHash(const String& s);
HVC_UTIL_API unsigned int getHash(const UUID& id); // UUID::getHash widened

} // namespace hvc_util
