// A walk over a hash table that does not disturb the table's own position.
#pragma once

#include <hvc_util/Export.h>

namespace hvc_util {

class HashTable;
class HashTableElement;

// Walks a HashTable from outside, by bucket index and within a bucket from
// the newest element to the oldest. It owns nothing: the table must outlive
// it, and it must be restarted after adds that may have rehashed the table
// (an outside walk does not hold the table's growth back).
class HVC_UTIL_API HashTableIterator {
public:
    explicit HashTableIterator(const HashTable& table) : table(&table) {}

    // Switches to `table` and restarts.
    void setTable(const HashTable& table);
    void toStart() { current = nullptr; }
    // The next item; false (and back to the start) when the walk is over.
    bool getNext(const void*& item);
    // Moves to the first element of the bucket of `hash` that was added with
    // `hash` and whose item the table matches with `key`.
    bool locate(unsigned int hash, const void* key, const void*& item);
    // The next such element along the same chain; false when there is none.
    bool locateNext(const void* key, const void*& item);

private:
    const HashTable* table;
    HashTableElement* current = nullptr;
};

} // namespace hvc_util
