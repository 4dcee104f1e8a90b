#include "hvc_util/Trader.h"

#include "hvc_util/String.h"
#include "hvc_util/System.h"

#include "bindings/CachedReference.h"
#include "bindings/Diagnostics.h"
#include "bindings/Environment.h"
#include "services/ServiceResolver.h"

#include <atomic>
#include <cstring>
#include <mutex>
#include <optional>
#include <set>
#include <string>

namespace hvc_util {

namespace {

const ServiceCatalogue::Entry& lookupEntry =
    ServiceCatalogue::entry(ServiceCatalogue::Service::TraderLookup);

void printBindFailure(const CORBA::Exception&) {
    Diagnostics::print("Could not bind to CosTrading::Lookup\n");
    Diagnostics::print("Ensure that the Trader service is running.\n");
}

const ServiceRow lookupRow{lookupEntry, printBindFailure};

// A query never hands back more offers than this; the rest stay unread.
const CORBA::ULong maxOffers = 100;

const char* const noRegister =
    "Error: Trader: could not get Register interface from CosTrading.Lookup";

// The register interface, kept for the life of the process once obtained.
CachedReference<CosTrading::Register> registerCache;

void addString(CosTrading::PropertySeq& seq, CORBA::ULong at, const char* name, const char* value) {
    seq[at].name = CORBA::string_dup(name);
    seq[at].value <<= value;
}

// The properties that describe this process, in their fixed order.
CosTrading::PropertySeq makeDefaults() {
    String host;
    System::getNodeName(host);
    String address;
    System::getNodeAddress(address);
    const std::string pid = std::to_string(System::getPID());
    const char* user = Trader::userName();

    CosTrading::PropertySeq defaults;
    defaults.length(4);
    addString(defaults, 0, "HostName", host.getValue());
    addString(defaults, 1, "IPAddress", address.getValue());
    addString(defaults, 2, "ProcessId", pid.c_str());
    addString(defaults, 3, "UserName", user != nullptr ? user : "");
    return defaults;
}

// Filled on first use, once, whichever thread comes first.
const CosTrading::PropertySeq& defaultProperties() {
    static const CosTrading::PropertySeq defaults = makeDefaults();
    return defaults;
}

bool named(const CosTrading::PropertySeq& properties, const char* name) {
    for (CORBA::ULong i = 0; i < properties.length(); ++i)
        if (std::strcmp(properties[i].name.in(), name) == 0)
            return true;
    return false;
}

// Whether an offered object is gone: it says so, or it cannot be asked (the
// process that served it has ended, its host is unreachable).
bool gone(CORBA::Object_ptr object) {
    try {
        return object->_non_existent();
    } catch (const CORBA::SystemException&) {
        return true;
    }
}

// The named properties lead the list, in the order asked; the others follow.
void leadWith(CosTrading::PropertySeq& properties, const CosTrading::PropertyNameSeq& wanted) {
    CORBA::ULong next = 0;
    for (CORBA::ULong w = 0; w < wanted.length(); ++w) {
        for (CORBA::ULong i = 0; i < properties.length(); ++i) {
            if (std::strcmp(properties[i].name.in(), wanted[w].in()) != 0)
                continue;
            if (i != next) {
                CosTrading::Property held = properties[i];
                properties[i] = properties[next];
                properties[next] = held;
            }
            ++next;
            break;
        }
    }
}

// Moves the offer `from` into `to`, leaving `from` empty.
void moveOffer(CosTrading::Offer& from, CosTrading::Offer& to) {
    to.reference = from.reference._retn();
    const CORBA::ULong maximum = from.properties.maximum();
    const CORBA::ULong length = from.properties.length();
    CosTrading::Property* buffer = from.properties.get_buffer(true);
    to.properties.replace(maximum, length, buffer, true);
}

// The offers past the first batch are not wanted: the trader may let go of
// them at once. A trader that cannot is no reason to lose the batch.
void discard(CosTrading::OfferIterator_ptr rest) {
    if (CORBA::is_nil(rest))
        return;
    try {
        rest->destroy();
    } catch (...) {
    }
}

[[noreturn]] void unexpected(const char* text) {
    Diagnostics::print("%s\n", text);
    throw EpTypes::FailedOperationException(text);
}

// The trader's query, with the caller's failures translated.
void query(const char* type, const char* constraint,
           const CosTrading::Lookup::SpecifiedProps& desired, CosTrading::OfferSeq_var& offers,
           CosTrading::OfferIterator_var& rest) {
    try {
        CosTrading::Lookup_var lookup = Trader::lookupTradingService();
        CosTrading::PolicySeq policies;
        CosTrading::PolicyNameSeq_var limits;
        lookup->query(type, constraint != nullptr ? constraint : "", "", policies, desired,
                      maxOffers, offers.out(), rest.out(), limits.out());
    } catch (const CosTrading::IllegalServiceType& e) {
        throw CosTrading::IllegalServiceType(e.type);
    } catch (const CosTrading::UnknownServiceType& e) {
        throw CosTrading::UnknownServiceType(e.type);
    } catch (const CosTrading::IllegalPropertyName& e) {
        throw CosTrading::IllegalPropertyName(e.name);
    } catch (const CosTrading::DuplicatePropertyName& e) {
        throw CosTrading::DuplicatePropertyName(e.name);
    } catch (const CosTrading::DuplicatePolicyName&) {
        unexpected("Unexpected CosTrading::DuplicatePolicyName exception thrown");
    } catch (const CosTrading::Lookup::IllegalPreference&) {
        unexpected("Unexpected CosTrading::Lookup.IllegalPreference exception thrown");
    } catch (const CosTrading::Lookup::IllegalPolicyName&) {
        unexpected("Unexpected CosTrading::Lookup.IllegalPolicyName exception thrown");
    } catch (const CosTrading::Lookup::InvalidPolicyValue&) {
        unexpected("Unexpected exception CosTrading::Lookup.InvalidPolicyValue thrown");
    } catch (const CosTrading::Lookup::PolicyTypeMismatch&) {
        unexpected("Unexpected exception CosTrading::Lookup.PolicyTypeMismatch thrown");
    } catch (const CosTrading::IllegalConstraint&) {
        unexpected("Unexpected exception CosTrading::Illegal Constraint thrown");
    } catch (const CORBA::Exception&) {
        throw EpTypes::FailedOperationException("Error when finding offers.");
    } catch (...) {
        throw EpTypes::FailedOperationException("Unknown exception when finding offers.");
    }
}

} // namespace

std::atomic<CosTrading::Lookup_ptr> Trader::traderLookup{nullptr};

CosTrading::Lookup_ptr Trader::lookupTradingService() {
    return ServiceResolver::resolve<CosTrading::Lookup>(
        lookupRow, traderLookup,
        [](CORBA::ORB_ptr orb) { return Orb::bind(orb, lookupEntry.bindName); });
}

const char* Trader::traderLookupEnvironmentVariableName() {
    return lookupEntry.variable;
}

CosTrading::Register_ptr Trader::registerTradingService() {
    CosTrading::Register_var found = registerCache.resolve([]() -> CosTrading::Register_ptr {
        try {
            CosTrading::Lookup_var lookup = lookupTradingService();
            return lookup->register_if();
        } catch (const CORBA::Exception&) {
            Diagnostics::print("Caught CORBA::Exception during call to obtain trading service.\n");
        }
        return CosTrading::Register::_nil();
    });
    if (CORBA::is_nil(found)) {
        Diagnostics::print("%s\n", noRegister);
        throw EpTypes::FailedOperationException(noRegister);
    }
    return found._retn();
}

CosTrading::PropertySeq Trader::mergeProperties(const CosTrading::PropertySeq& properties) {
    const CosTrading::PropertySeq& defaults = defaultProperties();
    if (properties.length() == 0)
        return defaults;
    CosTrading::PropertySeq merged(properties);
    CORBA::ULong length = merged.length();
    for (CORBA::ULong i = 0; i < defaults.length(); ++i) {
        if (named(properties, defaults[i].name.in()))
            continue;
        merged.length(length + 1);
        merged[length++] = defaults[i];
    }
    return merged;
}

char* Trader::exportObject(CORBA::Object_ptr object, const char* type,
                           const CosTrading::PropertySeq& properties) {
    try {
        const CosTrading::PropertySeq merged = mergeProperties(properties);
        CosTrading::Register_var traderRegister = registerTradingService();
        return traderRegister->_cxx_export(object, type != nullptr ? type : "", merged);
    } catch (const CosTrading::UnknownServiceType& e) {
        Diagnostics::print("%s\n%s%s\n%s\n",
                           "Error: CosTrading.CosTrading::UnknownServiceType exception caught",
                           "Exception: ", e.type.in(),
                           "Make sure all services were loaded with the OfferPrimer utility.");
        throw CosTrading::UnknownServiceType(e.type);
    } catch (const CORBA::Exception&) {
        throw EpTypes::FailedOperationException("Error when exporting object.");
    } catch (...) {
        throw EpTypes::FailedOperationException("Unknown exception when exporting object");
    }
}

char* Trader::_cxx_export(CORBA::Object_ptr object, const char* type,
                          const CosTrading::PropertySeq& properties) {
    return exportObject(object, type, properties);
}

void Trader::provideOffer(CORBA::Object_ptr object, const char* type, const char* constraint,
                          const CosTrading::PropertySeq& properties) {
    if (constraint != nullptr) {
        try {
            withdraw_using_constraint(type, constraint);
        } catch (const CosTrading::Register::NoMatchingOffers&) {
        }
    }
    CORBA::String_var id = exportObject(object, type, properties);
}

void Trader::withdraw(const char* id) {
    CosTrading::Register_var traderRegister = registerTradingService();
    traderRegister->withdraw(id);
}

void Trader::withdraw_using_constraint(const char* type, const char* constraint) {
    CosTrading::Register_var traderRegister = registerTradingService();
    traderRegister->withdraw_using_constraint(type, constraint);
}

CosTrading::Register::OfferInfo* Trader::describe(const char* id) {
    CosTrading::Register_var traderRegister = registerTradingService();
    return traderRegister->describe(id);
}

CosTrading::OfferSeq* Trader::findOffers(const char* type, const char* constraint,
                                         const CosTrading::Lookup::SpecifiedProps& desired) {
    defaultProperties();
    CosTrading::OfferSeq_var offers;
    CosTrading::OfferIterator_var rest;
    query(type, constraint, desired, offers, rest);
    discard(rest.in());
    if (offers.operator->() == nullptr) {
        Diagnostics::print("findOffers: returned offerHolder.value is 0, should n't happen\n");
        return new CosTrading::OfferSeq;
    }

    // The trader's sequence becomes the result: the offers kept move up over
    // the gone ones, nothing is copied.
    const CosTrading::PropertyNameSeq* wanted =
        desired._d() == CosTrading::Lookup::some ? &desired.prop_names() : nullptr;
    CORBA::ULong kept = 0;
    for (CORBA::ULong i = 0; i < offers->length(); ++i) {
        if (gone(offers[i].reference.in()))
            continue;
        if (i != kept)
            moveOffer(offers[i], offers[kept]);
        if (wanted != nullptr)
            leadWith(offers[kept].properties, *wanted);
        ++kept;
    }
    offers->length(kept);
    return offers._retn();
}

DosTypes::ObjectSeq* Trader::findObjects(const char* type, const char* constraint) {
    CosTrading::Lookup::SpecifiedProps none;
    none._d(CosTrading::Lookup::none);
    CosTrading::OfferSeq_var offers = findOffers(type, constraint, none);
    DosTypes::ObjectSeq_var objects = new DosTypes::ObjectSeq;
    objects->length(offers->length());
    for (CORBA::ULong i = 0; i < offers->length(); ++i)
        objects[i] = CORBA::Object::_duplicate(offers[i].reference.in());
    return objects._retn();
}

const char* Trader::userName() {
    const std::optional<std::string> name = Environment::userName();
    if (!name) {
        Diagnostics::print("Undefined Variable USERNAME\n");
        return nullptr;
    }
    // Every name handed out stays valid for the life of the process, as the
    // environment's own texts do: each is kept once.
    static std::mutex keptLock;
    static std::set<std::string> kept;
    std::lock_guard<std::mutex> hold(keptLock);
    return kept.insert(*name).first->c_str();
}

} // namespace hvc_util
