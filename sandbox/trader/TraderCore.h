// What the trader's lookup and register share: the service types, the offer
// table, the live offer iterators and the checks both apply.
#pragma once

#include "Constraint.h"
#include "OfferTable.h"
#include "ServiceTypes.h"

#include <CosTrading.hh>

#include <list>
#include <mutex>

namespace hvc_sandbox {

class OfferIteratorServant;

// The offer iterators a query handed out and nobody has destroyed yet. At
// most `cap` live at once: a client that never destroys its iterators cannot
// make the trader grow without bound, the oldest goes first.
class OfferIterators {
public:
    explicit OfferIterators(PortableServer::POA_ptr poa, std::size_t cap = 1000);

    // Activates an iterator over `rest`; a new reference the caller owns.
    CosTrading::OfferIterator_ptr open(CosTrading::OfferSeq* rest);
    // Deactivates the iterator numbered `number` (nothing when it is gone).
    void close(unsigned long number);
    std::size_t live() const;

private:
    struct Live {
        unsigned long number;
        PortableServer::ObjectId id;
    };
    PortableServer::POA_var poa;
    const std::size_t cap;
    mutable std::mutex lock;
    std::list<Live> open_;
    unsigned long lastNumber = 0;
};

// One trader's state; its servants hold it by reference and the room owns it.
struct TraderCore {
    TraderCore(const std::vector<std::string>& serviceTypes, PortableServer::POA_ptr poa)
        : types(serviceTypes), iterators(poa) {}

    // Raises CosTrading::IllegalServiceType or UnknownServiceType.
    void checkType(const char* type) const;
    // Raises CosTrading::IllegalConstraint for a malformed constraint.
    static Constraint parse(const char* constraint);
    // Whether an offer with these properties satisfies `constraint`.
    static bool matches(const Constraint& constraint, const CosTrading::PropertySeq& properties);

    ServiceTypes types;
    OfferTable offers;
    OfferIterators iterators;
    CosTrading::Lookup_var lookup;
    CosTrading::Register_var traderRegister;
};

} // namespace hvc_sandbox
