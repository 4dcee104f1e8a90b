#include "OfferTable.h"

#include "bindings/Orb.h"

#include <algorithm>
#include <optional>

namespace hvc_sandbox {

namespace {

const std::string prefix = "offer-";
const char* const lastNumberFact = "trader.lastOffer";

CORBA::ORB_ptr orb() {
    return hvc_util::Orb::init();
}

} // namespace

const std::vector<std::string>& OfferTable::schema() {
    static const std::vector<std::string> steps = {
        "CREATE TABLE trader_offers(number INTEGER PRIMARY KEY, type TEXT NOT NULL,"
        " reference TEXT NOT NULL, properties BLOB NOT NULL);",
    };
    return steps;
}

void OfferTable::keepIn(StateStore& where) {
    std::lock_guard<std::mutex> hold(lock);
    store = &where;
    CORBA::ORB_var broker = orb();
    StateStore::Statement read(where, "SELECT number, type, reference, properties FROM"
                                      " trader_offers ORDER BY number");
    while (read.step()) {
        Offer offer;
        offer.id = prefix + std::to_string(read.integer(0));
        offer.type = read.text(1);
        offer.reference = broker->string_to_object(read.text(2).c_str());
        CORBA::Any value;
        StateStore::decode(read.blob(3), value);
        const CosTrading::PropertySeq* properties = nullptr;
        if (value >>= properties)
            offer.properties = *properties;
        offers.push_back(offer);
    }
    if (const std::optional<std::string> last = where.fact(lastNumberFact))
        lastNumber = std::stoull(*last);
}

void OfferTable::forget(const std::string& id) {
    StateStore::Statement erase(*store, "DELETE FROM trader_offers WHERE number = ?");
    erase.bind(1, static_cast<std::int64_t>(std::stoll(id.substr(prefix.size())))).run();
}

std::string OfferTable::add(const std::string& type, CORBA::Object_ptr reference,
                            const CosTrading::PropertySeq& properties) {
    std::lock_guard<std::mutex> hold(lock);
    Offer offer;
    const unsigned long long number = lastNumber + 1;
    offer.id = prefix + std::to_string(number);
    offer.type = type;
    offer.reference = CORBA::Object::_duplicate(reference);
    offer.properties = properties;
    if (store != nullptr) {
        StateStore::Transaction writing(*store);
        CORBA::ORB_var broker = orb();
        CORBA::String_var text = broker->object_to_string(reference);
        CORBA::Any value;
        value <<= properties;
        StateStore::Statement insert(*store, "INSERT INTO trader_offers(number, type, reference,"
                                             " properties) VALUES(?, ?, ?, ?)");
        insert.bind(1, static_cast<std::int64_t>(number)).bind(2, type);
        insert.bind(3, std::string(text.in())).bindBlob(4, StateStore::encode(value)).run();
        store->setFact(lastNumberFact, std::to_string(number));
        writing.commit();
    }
    lastNumber = number;
    offers.push_back(offer);
    return offer.id;
}

bool OfferTable::remove(const std::string& id) {
    std::lock_guard<std::mutex> hold(lock);
    auto found = std::find_if(offers.begin(), offers.end(),
                              [&](const Offer& offer) { return offer.id == id; });
    if (found == offers.end())
        return false;
    if (store != nullptr) {
        StateStore::Transaction writing(*store);
        forget(id);
        writing.commit();
    }
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
    std::vector<bool> going(offers.size(), false);
    for (std::size_t i = 0; i < offers.size(); ++i)
        going[i] = offers[i].type == type && match(offers[i]);
    if (store != nullptr) {
        StateStore::Transaction writing(*store);
        for (std::size_t i = 0; i < offers.size(); ++i)
            if (going[i])
                forget(offers[i].id);
        writing.commit();
    }
    std::vector<Offer> kept;
    for (std::size_t i = 0; i < offers.size(); ++i)
        if (!going[i])
            kept.push_back(offers[i]);
    const std::size_t removed = offers.size() - kept.size();
    offers.swap(kept);
    return removed;
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
