// The trader's offers: plain data in export order, kept apart from the CORBA
// servants that serve them so that they can be stored elsewhere.
#pragma once

#include "sandbox/common/StateStore.h"

#include <CosTrading.hh>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace hvc_sandbox {

// Owns a reference to each offered object and a copy of its properties, in
// the order they were received. Every operation locks the table; the
// callbacks run under the lock and must not call back into the table. Once
// kept in the platform's state, every offer added or removed is committed
// there before the call returns; identifiers are never reused, across
// restarts too.
class OfferTable {
public:
    // The trader's tables, one step per version; steps are only appended.
    static const std::vector<std::string>& schema();

    // Reads the offers `store` keeps and keeps every later change there;
    // `store` outlives the table.
    void keepIn(StateStore& store);

    struct Offer {
        std::string id;
        std::string type;
        CORBA::Object_var reference;
        CosTrading::PropertySeq properties;
    };

    // Adds an offer and returns its identifier, "offer-N" with N counting
    // from 1 and never reused by this table.
    std::string add(const std::string& type, CORBA::Object_ptr reference,
                    const CosTrading::PropertySeq& properties);

    // False when there is no such offer.
    bool remove(const std::string& id);
    // A copy of the offer into `out`; false when there is no such offer.
    bool find(const std::string& id, Offer& out) const;

    // Calls `visit` with each offer of `type`, in export order, until it
    // answers false.
    void forEach(const std::string& type, const std::function<bool(const Offer&)>& visit) const;
    // Removes every offer of `type` that `match` accepts; returns how many.
    std::size_t removeIf(const std::string& type, const std::function<bool(const Offer&)>& match);

    std::size_t size() const;

    // Whether `id` has the form of the table's identifiers.
    static bool isWellFormed(const std::string& id);

private:
    // Removes the offer numbered by `id` from the store; lock held.
    void forget(const std::string& id);

    mutable std::mutex lock;
    std::vector<Offer> offers;
    unsigned long long lastNumber = 0;
    StateStore* store = nullptr;
};

} // namespace hvc_sandbox
