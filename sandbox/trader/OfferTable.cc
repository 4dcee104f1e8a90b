#include "OfferTable.h"

#include <algorithm>

namespace hvc_sandbox {

namespace {

const std::string prefix = "offer-";

} // namespace

std::string OfferTable::add(const std::string& type, CORBA::Object_ptr reference,
                            const CosTrading::PropertySeq& properties) {
    std::lock_guard<std::mutex> hold(lock);
    Offer offer;
    offer.id = prefix + std::to_string(++lastNumber);
    offer.type = type;
    offer.reference = CORBA::Object::_duplicate(reference);
    offer.properties = properties;
    offers.push_back(offer);
    return offer.id;
}

bool OfferTable::remove(const std::string& id) {
    std::lock_guard<std::mutex> hold(lock);
    auto found = std::find_if(offers.begin(), offers.end(),
                              [&](const Offer& offer) { return offer.id == id; });
    if (found == offers.end())
        return false;
    offers.erase(found);
    return true;
}

bool OfferTable::find(const std::string& id, Offer& out) const {
    std::lock_guard<std::mutex> hold(lock);
    for (const Offer& offer : offers) {
        if (offer.id == id) {
            out = offer;
            return true;
        }
    }
    return false;
}

void OfferTable::forEach(const std::string& type,
                         const std::function<bool(const Offer&)>& visit) const {
    std::lock_guard<std::mutex> hold(lock);
    for (const Offer& offer : offers)
        if (offer.type == type && !visit(offer))
            return;
}

std::size_t OfferTable::removeIf(const std::string& type,
                                 const std::function<bool(const Offer&)>& match) {
    std::lock_guard<std::mutex> hold(lock);
    const std::size_t before = offers.size();
    offers.erase(
        std::remove_if(offers.begin(), offers.end(),
                       [&](const Offer& offer) { return offer.type == type && match(offer); }),
        offers.end());
    return before - offers.size();
}

std::size_t OfferTable::size() const {
    std::lock_guard<std::mutex> hold(lock);
    return offers.size();
}

bool OfferTable::isWellFormed(const std::string& id) {
    if (id.compare(0, prefix.size(), prefix) != 0 || id.size() == prefix.size() ||
        id[prefix.size()] == '0')
        return false;
    return std::all_of(id.begin() + static_cast<std::ptrdiff_t>(prefix.size()), id.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace hvc_sandbox
