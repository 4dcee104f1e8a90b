// One link of a hash table's bucket chain.
#pragma once

#include <hvc_util/Export.h>

namespace hvc_util {

// The chain link of HashTable: the hash an item was added with, the item and
// the next link of the same bucket. It does not own its item; the table owns
// the links.
class HVC_UTIL_API HashTableElement {
public:
    // Links a new element in front of `head` and makes it the new head.
    HashTableElement(HashTableElement*& head, unsigned int hash, const void* item)
        : hash(hash), item(item), next(head) {
        head = this;
    }
    HashTableElement(const HashTableElement&) = delete;
    HashTableElement& operator=(const HashTableElement&) = delete;

    // Takes the element `link` points to out of its chain (`link` then points
    // to its successor), deletes it and returns its item, which it does not
    // delete. Raises nothing.
    static const void* unLink(HashTableElement*& link);

    unsigned int hash;
    const void* item;
    HashTableElement* next;
};

} // namespace hvc_util
