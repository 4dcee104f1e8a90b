// A set of named CORBA values that converts to and from the object
// services' name-value sequences.
#pragma once

#include <hvc_util/Export.h>

#include <CosCollection.hh>
#include <CosLifeCycle.hh>
#include <CosPropertyService.hh>

namespace hvc_util {

class NVP;

// Name-value pairs, at most one per name (names compared byte for byte,
// case-sensitive), kept in a HashTable keyed by String::getHash of the name.
// The first value stored under a name stays: adding a name that is present
// changes nothing, so a sequence holding one name twice gives its first
// value. The set owns its pairs and its table; copies are deep and list their
// pairs in the same order as the original. The conversions list the pairs in
// the table's order: by bucket, and within a bucket the most recently added
// first. A null name is ignored everywhere (absent, nothing stored or
// removed). Not thread-safe: one set is used by one thread at a time (even
// reading a value may let the ORB decode it in place). The first set made initialises the process
// ORB (copying a value needs it), raising what CORBA::ORB_init raises.
// Failures of the ORB's sequence, string and Any copies (CORBA::NO_MEMORY)
// pass through and leave the set as it was.
class HVC_UTIL_API NVPSet {
public:
    NVPSet();
    // The `count` pairs in order, as by value(name, value); null `pairs` or
    // a `count` below 1 give an empty set.
    NVPSet(const CosLifeCycle::NVP* pairs, int count);
    // The criteria's pairs in order; null gives an empty set.
    explicit NVPSet(const CosLifeCycle::Criteria* criteria);
    // The properties' names and values in order.
    explicit NVPSet(const CosPropertyService::Properties& properties);
    // The `count` pairs in order; null `pairs` or a `count` below 1 give an
    // empty set.
    NVPSet(const CosCollection::NVPair* pairs, int count);
    NVPSet(const NVPSet& other);
    NVPSet& operator=(const NVPSet& other);
    ~NVPSet();

    // 1 when a pair of that name is present, else 0.
    unsigned char has(const char* name) const;
    // Number of pairs.
    unsigned int length() const;
    // A copy of the value stored under `name`; an empty Any when there is
    // none.
    CORBA::Any value(const char* name) const;
    // The value stored under `name` itself, or null when there is none. It
    // stays owned by the set and valid until that name is removed or the set
    // is assigned to or destroyed.
    const CORBA::Any* find(const char* name) const;
    // Stores copies of `name` and `value` unless `name` is present, in which
    // case the set stays as it is.
    void value(const char* name, const CORBA::Any& value);
    // Removes and destroys the pair of that name, if any.
    void remove(const char* name);

    // New sequences (length and, for the pointers, maximum = number of
    // pairs) holding copies of every name and value in the table's order.
    // The pointers are owned by the caller (release with delete).
    CosLifeCycle::Criteria criteria() const;
    CosCollection::ParameterList* pairs() const;
    CosPropertyService::Properties* properties() const;

private:
    class Table;

    // Fills `seq` with copies of every pair, names and values going to the
    // given members of its elements.
    template <class Seq, class Element>
    void listInto(Seq& seq, CORBA::String_member Element::*name, CORBA::Any Element::*value) const;

    Table* table = nullptr;
};

} // namespace hvc_util
