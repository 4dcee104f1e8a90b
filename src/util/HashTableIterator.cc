#include <hvc_util/HashTableIterator.h>

#include <hvc_util/HashTable.h>

namespace hvc_util {

void HashTableIterator::setTable(const HashTable& t) {
    table = &t;
    current = nullptr;
}

bool HashTableIterator::getNext(const void*& item) {
    current = table->successor(current);
    if (!current)
        return false;
    item = current->item;
    return true;
}

bool HashTableIterator::locate(unsigned int hash, const void* key, const void*& item) {
    current = table->locateFrom(table->buckets[table->bucketOf(hash)], hash, key);
    if (!current)
        return false;
    item = current->item;
    return true;
}

bool HashTableIterator::locateNext(const void* key, const void*& item) {
    if (!current)
        return false;
    current = table->locateFrom(current->next, current->hash, key);
    if (!current)
        return false;
    item = current->item;
    return true;
}

} // namespace hvc_util
