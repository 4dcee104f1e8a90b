// Trading service access: exporting objects with the offer properties that
// describe the exporting process, and finding them again by type and
// constraint.
#pragma once

#include <hvc_util/Export.h>

#include <CosTrading.hh>
#include <DosTypes.hh>

#include <atomic>

namespace hvc_util {

// Set of static operations. Owns, for the life of the process, the cached
// lookup and register references and the default offer properties ("HostName",
// "IPAddress", "ProcessId", "UserName", each a string). Each is resolved once
// and then shared (a cached reference costs one atomic load and a _duplicate
// and carries the library's call timeout); every operation may be called
// from several threads.
// Returned references, offer identifiers, sequences and structures are new
// and owned by the caller.
class HVC_UTIL_API Trader {
public:
    // The trader's lookup interface. When unresolved, writes
    // "Cannot resolve CosTrading::Lookup service." to stderr and raises
    // EpTypes::FailedOperationException with the same text.
    static CosTrading::Lookup_ptr lookupTradingService();

    // Name of the environment variable holding the lookup's reference.
    static const char* traderLookupEnvironmentVariableName();

    // The trader's register interface, from the lookup's register_if, cached
    // once obtained. When it cannot be had, writes "Error: Trader: could not
    // get Register interface from CosTrading.Lookup" to stderr (after "Caught
    // CORBA::Exception during call to obtain trading service." when a CORBA
    // exception was the cause) and raises EpTypes::FailedOperationException
    // with that text.
    static CosTrading::Register_ptr registerTradingService();

    // Exports `object` under `type` with the caller's properties followed by
    // the default properties the caller did not name (an exact, case-sensitive
    // name match), and returns the trader's offer identifier (the caller frees
    // it with CORBA::string_free). Raises CosTrading::UnknownServiceType after
    // a three-line hint on stderr; "Error when exporting object." for any
    // other CORBA failure (the trader's refusals, an unresolvable trader);
    // "Unknown exception when exporting object" for anything else.
    static char* exportObject(CORBA::Object_ptr object, const char* type,
                              const CosTrading::PropertySeq& properties);
    // The same as exportObject (the interface's name for it, `export`).
    static char* _cxx_export(CORBA::Object_ptr object, const char* type,
                             const CosTrading::PropertySeq& properties);

    // Replaces earlier offers: withdraws the offers of `type` matching
    // `constraint` (none when it is null; finding none is no failure), then
    // exports as exportObject does, keeping the identifier to itself.
    // Raises what withdraw_using_constraint and exportObject raise.
    static void provideOffer(CORBA::Object_ptr object, const char* type, const char* constraint,
                             const CosTrading::PropertySeq& properties);

    // The register's operations of the same names; every exception, of the
    // register or of registerTradingService, passes unchanged.
    static void withdraw(const char* id);
    static void withdraw_using_constraint(const char* type, const char* constraint);
    // The offer's reference, type and properties; the caller deletes it.
    static CosTrading::Register::OfferInfo* describe(const char* id);

    // At most 100 offers of `type` matching `constraint` (null counts as the
    // empty constraint, which matches every offer), in the trader's order,
    // with the properties `desiredProperties` asks for; when it names some,
    // the named ones lead each offer's list in the order asked. Offers whose
    // object no longer exists, or cannot say so (its existence probe raises a
    // system exception), are left out. Offers past the first 100 are never
    // read. The caller deletes the result. Raises
    // CosTrading::IllegalServiceType, UnknownServiceType, IllegalPropertyName
    // and DuplicatePropertyName as the trader does, each with a copy of its
    // member; the trader's policy, preference and constraint refusals as
    // EpTypes::FailedOperationException, with the same text first written to
    // stderr ("Unexpected exception CosTrading::Illegal Constraint thrown",
    // ...); "Error when finding offers." for any other CORBA failure, the
    // lookup's own failure included; "Unknown exception when finding offers."
    // for anything else.
    static CosTrading::OfferSeq*
    findOffers(const char* type, const char* constraint,
               const CosTrading::Lookup::SpecifiedProps& desiredProperties);

    // The objects of findOffers' offers, without properties, in the same
    // order; raises what findOffers raises. The caller deletes the result.
    static DosTypes::ObjectSeq* findObjects(const char* type, const char* constraint);

    // The process user's login name (USERNAME, LOGNAME, USER, then the
    // password database), owned by the library and valid for the life of the
    // process: the caller neither changes nor frees it. Null, after
    // "Undefined Variable USERNAME" on stderr, when none is known.
    static const char* userName();

private:
    // The caller's properties first, then each default property whose name
    // none of them has.
    static CosTrading::PropertySeq mergeProperties(const CosTrading::PropertySeq& properties);

    static std::atomic<CosTrading::Lookup_ptr> traderLookup;
};

} // namespace hvc_util
