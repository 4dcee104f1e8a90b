#include "OfferIteratorServant.h"

#include "TraderCore.h"

#include <algorithm>

namespace hvc_sandbox {

OfferIteratorServant::OfferIteratorServant(OfferIterators& owner, unsigned long n,
                                           CosTrading::OfferSeq* offers)
    : registry(owner), number(n), rest(offers) {}

CORBA::ULong OfferIteratorServant::max_left() {
    std::lock_guard<std::mutex> hold(lock);
    return rest->length() - next;
}

CORBA::Boolean OfferIteratorServant::next_n(CORBA::ULong n, CosTrading::OfferSeq_out offers) {
    std::lock_guard<std::mutex> hold(lock);
    const CORBA::ULong count = std::min(n, rest->length() - next);
    CosTrading::OfferSeq_var batch = new CosTrading::OfferSeq;
    batch->length(count);
    for (CORBA::ULong i = 0; i < count; ++i)
        batch[i] = rest[next++];
    offers = batch._retn();
    return next < rest->length();
}

void OfferIteratorServant::destroy() {
    registry.close(number);
}

} // namespace hvc_sandbox
