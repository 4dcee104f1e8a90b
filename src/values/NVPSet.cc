#include <hvc_util/NVPSet.h>

#include <hvc_util/HashTable.h>
#include <hvc_util/HashTableIterator.h>
#include <hvc_util/NVP.h>
#include <hvc_util/String.h>

#include "bindings/Orb.h"

#include <memory>
#include <utility>
#include <vector>

namespace hvc_util {

namespace {

// Copying an Any marshals its value, which needs the ORB's code sets, so the
// process ORB is made ready before the first set can hold a value.
void ensureOrb() {
    static const bool ready = [] {
        CORBA::ORB_var orb = Orb::init();
        return true;
    }();
    (void)ready;
}

} // namespace

// The set's pairs, keyed by the name's String hash and looked up by the
// name's text (a plain char pointer, so that a lookup allocates nothing).
class NVPSet::Table : public HashTable {
public:
    // 51 expected pairs: 41 buckets to begin with.
    Table() : HashTable(false, 51) {}
    // Copies of `other`'s pairs in the same buckets and the same order
    // within each, so that both list their pairs alike even when `other`
    // grew and then shrank.
    Table(const Table& other);
    ~Table() override { flush(owner); }

    const NVP* lookup(const char* name) {
        return static_cast<const NVP*>(fetch(String::getHash(name), name, false, false));
    }
    // Stores the pair (the table then holds it) unless its name is present.
    bool put(std::unique_ptr<NVP>& pair);
    // Takes the pair of that name out; the caller owns it.
    NVP* take(const char* name) {
        return static_cast<NVP*>(
            const_cast<void*>(fetch(String::getHash(name), name, false, true)));
    }

protected:
    bool compare(const void* item, const void* key) const override {
        return *static_cast<const NVP*>(item) == static_cast<const char*>(key);
    }
    void deleteItem(const void* item) override { delete static_cast<const NVP*>(item); }
};

NVPSet::Table::Table(const Table& other) : HashTable(other) {
    // The base copy gives the bucket count and the order; the shared pairs
    // are then replaced by copies, added newest last so each chain comes out
    // as it was.
    std::vector<const NVP*> order;
    order.reserve(cardinality());
    const void* item = nullptr;
    iteratorReset();
    while (iterGetNext(item))
        order.push_back(static_cast<const NVP*>(item));
    flush(false);
    try {
        for (auto it = order.rbegin(); it != order.rend(); ++it) {
            std::unique_ptr<NVP> copy = std::make_unique<NVP>(**it);
            add(String::getHash(copy->name.in()), copy.get(), nullptr);
            copy.release();
        }
    } catch (...) {
        flush(true);
        throw;
    }
}

bool NVPSet::Table::put(std::unique_ptr<NVP>& pair) {
    const char* name = pair->name.in();
    unsigned int hash = String::getHash(name);
    NVP* raw = pair.release();
    bool added = false;
    try {
        added = add(hash, raw, name);
    } catch (...) {
        // A growth that found no memory leaves the new pair linked.
        if (fetch(hash, raw, true, false) == nullptr)
            delete raw;
        throw;
    }
    if (!added)
        pair.reset(raw);
    return added;
}

NVPSet::NVPSet() {
    ensureOrb();
    table = new Table;
}

NVPSet::NVPSet(const CosLifeCycle::NVP* pairs, int count) : NVPSet() {
    for (int i = 0; pairs != nullptr && i < count; ++i)
        value(pairs[i].name, pairs[i].value);
}

NVPSet::NVPSet(const CosLifeCycle::Criteria* criteria) : NVPSet() {
    for (CORBA::ULong i = 0; criteria != nullptr && i < criteria->length(); ++i)
        value((*criteria)[i].name, (*criteria)[i].value);
}

NVPSet::NVPSet(const CosPropertyService::Properties& properties) : NVPSet() {
    for (CORBA::ULong i = 0; i < properties.length(); ++i)
        value(properties[i].property_name, properties[i].property_value);
}

NVPSet::NVPSet(const CosCollection::NVPair* pairs, int count) : NVPSet() {
    for (int i = 0; pairs != nullptr && i < count; ++i)
        value(pairs[i].name, pairs[i].value);
}

NVPSet::NVPSet(const NVPSet& other) {
    table = new Table(*other.table);
}

NVPSet& NVPSet::operator=(const NVPSet& other) {
    NVPSet copy(other);
    std::swap(table, copy.table);
    return *this;
}

NVPSet::~NVPSet() {
    table->flush(true);
    delete table;
}

unsigned char NVPSet::has(const char* name) const {
    return find(name) != nullptr ? 1 : 0;
}

unsigned int NVPSet::length() const {
    return table->cardinality();
}

CORBA::Any NVPSet::value(const char* name) const {
    const CORBA::Any* stored = find(name);
    return stored != nullptr ? *stored : CORBA::Any();
}

const CORBA::Any* NVPSet::find(const char* name) const {
    if (name == nullptr)
        return nullptr;
    const NVP* pair = table->lookup(name);
    return pair != nullptr ? &pair->value : nullptr;
}

void NVPSet::value(const char* name, const CORBA::Any& value) {
    if (name == nullptr)
        return;
    std::unique_ptr<NVP> pair = std::make_unique<NVP>(name, value);
    table->put(pair);
}

void NVPSet::remove(const char* name) {
    if (name != nullptr)
        delete table->take(name);
}

// Every pair in the table's order, through an outside walk so that const
// conversions leave the table's own position alone.
template <class Seq, class Element>
void NVPSet::listInto(Seq& seq, CORBA::String_member Element::*name,
                      CORBA::Any Element::*value) const {
    seq.length(table->cardinality());
    HashTableIterator walk(*table);
    const void* item = nullptr;
    for (CORBA::ULong i = 0; walk.getNext(item); ++i) {
        const NVP& pair = *static_cast<const NVP*>(item);
        seq[i].*name = pair.name.in();
        seq[i].*value = pair.value;
    }
}

CosLifeCycle::Criteria NVPSet::criteria() const {
    CosLifeCycle::Criteria list(table->cardinality());
    listInto(list, &CosLifeCycle::NVP::name, &CosLifeCycle::NVP::value);
    return list;
}

CosCollection::ParameterList* NVPSet::pairs() const {
    auto list = std::make_unique<CosCollection::ParameterList>(table->cardinality());
    listInto(*list, &CosCollection::NVPair::name, &CosCollection::NVPair::value);
    return list.release();
}

CosPropertyService::Properties* NVPSet::properties() const {
    auto list = std::make_unique<CosPropertyService::Properties>(table->cardinality());
    listInto(*list, &CosPropertyService::Property::property_name,
             &CosPropertyService::Property::property_value);
    return list.release();
}

} // namespace hvc_util
