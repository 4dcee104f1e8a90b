#include <hvc_util/HashTableElement.h>

namespace hvc_util {

const void* HashTableElement::unLink(HashTableElement*& link) {
    HashTableElement* e = link;
    link = e->next;
    const void* item = e->item;
    delete e;
    return item;
}

} // namespace hvc_util
