// The offers of a query past those returned at once.
#pragma once

#include <CosTrading.hh>

#include <mutex>

namespace hvc_sandbox {

class OfferIterators;

// Owns the offers it has yet to hand out; activated and deactivated by its
// registry, which outlives it.
class OfferIteratorServant : public POA_CosTrading::OfferIterator {
public:
    // Takes `rest`.
    OfferIteratorServant(OfferIterators& registry, unsigned long number,
                         CosTrading::OfferSeq* rest);

    CORBA::ULong max_left() override;
    // Up to `n` further offers; true while more are left.
    CORBA::Boolean next_n(CORBA::ULong n, CosTrading::OfferSeq_out offers) override;
    // The iterator no longer exists afterwards.
    void destroy() override;

private:
    OfferIterators& registry;
    const unsigned long number;
    std::mutex lock;
    CosTrading::OfferSeq_var rest;
    CORBA::ULong next = 0;
};

} // namespace hvc_sandbox
