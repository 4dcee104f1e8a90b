#include <hvc_util/HashTable.h>

#include <hvc_util/String.h>
#include <hvc_util/UUID.h>

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace hvc_util {

const unsigned int HashTable::setsize[16] = {3,   5,    11,   23,   41,    83,    199,   373,
                                             727, 1499, 2999, 5987, 12007, 24001, 49999, 100003};
const unsigned char HashTable::maxsize;

// The step below the first bucket count that holds all `elements`, so that a
// table runs at up to about two elements per bucket.
unsigned char HashTable::indexFor(unsigned int elements) {
    unsigned char i = 0;
    while (i < maxsize && elements > setsize[i + 1])
        ++i;
    return i;
}

void HashTable::useIndex(unsigned char index) {
    sizeIndex = index;
    bucketMagic = UINT64_MAX / setsize[index] + 1;
}

HashTable::HashTable(bool owner, unsigned int expected) : owner(owner) {
    useIndex(indexFor(expected));
    buckets = new HashTableElement*[setsize[sizeIndex]]();
}

HashTable::HashTable(const HashTable& other) : owner(false) {
    useIndex(other.sizeIndex);
    buckets = new HashTableElement*[setsize[sizeIndex]]();
    try {
        copyElements(other);
    } catch (...) {
        flush(false);
        delete[] buckets;
        throw;
    }
}

HashTable& HashTable::operator=(const HashTable& other) {
    if (&other == this)
        return *this;
    HashTableElement** fresh = new HashTableElement*[setsize[other.sizeIndex]]();
    flush(false);
    delete[] buckets;
    buckets = fresh;
    useIndex(other.sizeIndex);
    owner = false;
    copyElements(other);
    return *this;
}

HashTable::~HashTable() {
    flush(false);
    delete[] buckets;
}

// Same buckets, same order within each chain.
void HashTable::copyElements(const HashTable& other) {
    for (unsigned int b = 0; b < other.bucketCount(); ++b) {
        HashTableElement** tail = &buckets[b];
        for (const HashTableElement* e = other.buckets[b]; e; e = e->next) {
            new HashTableElement(*tail, e->hash, e->item);
            tail = &(*tail)->next;
            ++count;
        }
    }
}

void HashTable::flush(bool deleteItems) {
    for (unsigned int b = 0; b < bucketCount(); ++b) {
        while (buckets[b]) {
            const void* item = HashTableElement::unLink(buckets[b]);
            if (deleteItems)
                deleteItem(item);
        }
    }
    count = 0;
    // The walk's element is gone; standing on it would read freed memory.
    current = nullptr;
}

bool HashTable::add(unsigned int hash, const void* item, const void* key) {
    HashTableElement*& head = buckets[bucketOf(hash)];
    if (key) {
        for (const HashTableElement* e = head; e; e = e->next) {
            if (compare(e->item, key))
                return false;
        }
    }
    new HashTableElement(head, hash, item);
    ++count;
    if (sizeIndex < maxsize && count > setsize[sizeIndex + 1] && !current)
        reSize();
    return true;
}

const void* HashTable::fetchAndRemove(unsigned int hash, const void* key, bool identityOnly) {
    for (HashTableElement** link = &buckets[bucketOf(hash)]; *link; link = &(*link)->next) {
        HashTableElement* e = *link;
        if (e->item != key && (identityOnly || !compare(e->item, key)))
            continue;
        if (current == e)
            current = predecessor(e);
        --count;
        return HashTableElement::unLink(*link);
    }
    return nullptr;
}

bool HashTable::iteratorRemoveAt() {
    if (!current)
        return false;
    HashTableElement** link = &buckets[bucketOf(current->hash)];
    while (*link != current)
        link = &(*link)->next;
    current = predecessor(current);
    --count;
    HashTableElement::unLink(*link);
    return true;
}

HashTableElement* HashTable::successor(const HashTableElement* e) const {
    if (e && e->next)
        return e->next;
    unsigned int b = e ? bucketOf(e->hash) + 1 : 0;
    for (; b < bucketCount(); ++b) {
        if (buckets[b])
            return buckets[b];
    }
    return nullptr;
}

// The element before `e` in walk order: the one ahead of it in its chain, or
// the last of the nearest non-empty earlier bucket.
HashTableElement* HashTable::predecessor(const HashTableElement* e) const {
    unsigned int b = bucketOf(e->hash);
    if (buckets[b] != e) {
        HashTableElement* p = buckets[b];
        while (p->next != e)
            p = p->next;
        return p;
    }
    while (b-- > 0) {
        if (HashTableElement* p = buckets[b]) {
            while (p->next)
                p = p->next;
            return p;
        }
    }
    return nullptr;
}

HashTableElement* HashTable::locateFrom(HashTableElement* e, unsigned int hash,
                                        const void* key) const {
    for (; e; e = e->next) {
        if (e->hash == hash && compare(e->item, key))
            return e;
    }
    return nullptr;
}

bool HashTable::iterGetNext(const void*& item) const {
    current = successor(current);
    if (!current)
        return false;
    item = current->item;
    return true;
}

bool HashTable::iterLocate(unsigned int hash, const void* key, const void*& item) const {
    current = locateFrom(buckets[bucketOf(hash)], hash, key);
    if (!current)
        return false;
    item = current->item;
    return true;
}

bool HashTable::iterLocateNext(const void* key, const void*& item) const {
    if (!current)
        return false;
    current = locateFrom(current->next, current->hash, key);
    if (!current)
        return false;
    item = current->item;
    return true;
}

// Elements move to their new buckets; nothing is allocated but the array.
void HashTable::reSize() {
    unsigned char j = indexFor(count);
    if (j == sizeIndex)
        return;
    HashTableElement** fresh = new HashTableElement*[setsize[j]]();
    HashTableElement** old = buckets;
    unsigned int oldCount = bucketCount();
    useIndex(j);
    for (unsigned int b = 0; b < oldCount; ++b) {
        while (HashTableElement* e = old[b]) {
            old[b] = e->next;
            HashTableElement*& head = fresh[bucketOf(e->hash)];
            e->next = head;
            head = e;
        }
    }
    delete[] old;
    buckets = fresh;
}

HashTable& HashTable::operator|=(const HashTable& other) {
    // Taken aside first, so that a table added to itself doubles once.
    std::vector<std::pair<unsigned int, const void*>> elements;
    elements.reserve(other.count);
    for (unsigned int b = 0; b < other.bucketCount(); ++b) {
        for (const HashTableElement* e = other.buckets[b]; e; e = e->next)
            elements.emplace_back(e->hash, e->item);
    }
    for (const auto& [hash, item] : elements)
        add(hash, item, nullptr);
    return *this;
}

unsigned int getHash(char value) {
    return static_cast<unsigned int>(static_cast<int>(static_cast<signed char>(value)));
}
unsigned int getHash(unsigned char value) {
    return value;
}
unsigned int getHash(short value) {
    return static_cast<unsigned int>(static_cast<int>(value));
}
unsigned int getHash(unsigned short value) {
    return value;
}
unsigned int getHash(int value) {
    return static_cast<unsigned int>(value);
}
unsigned int getHash(unsigned int value) {
    return value;
}

unsigned int getHash(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

unsigned int getHash(std::int64_t value) {
    return getHash(static_cast<std::uint64_t>(value));
}

unsigned int getHash(std::uint64_t value) {
    return static_cast<std::uint32_t>(value) + static_cast<std::uint32_t>(value >> 32);
}

unsigned int getHash(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return static_cast<std::uint32_t>(bits);
}

unsigned int getHash(bool value) {
    return value ? 1 : 0;
}
unsigned int getHash(const char* text) {
    return String::getHash(text);
}
unsigned int getHash(const String& s) {
    return s.getHash();
}
unsigned int getHash(const UUID& id) {
    return id.getHash();
}

} // namespace hvc_util
