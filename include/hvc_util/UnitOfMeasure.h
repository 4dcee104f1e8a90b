// Units of measure: the platform's unit-of-measure service, its built-in
// units, and conversion of numbers and measured values between units.
#pragma once

#include <hvc_util/Export.h>

#include <DosTypes.hh>
#include <EpUnitOfMeasureService.hh>
#include <EpiTypes.hh>

#include <atomic>

namespace hvc_util {

// Set of static operations. Caches for the life of the process, never
// released: the server, its finder and declaration, and nine built-in units
// (unitless, m, rad, ft, ftUS, s, ms, dega, Ma). Every reference returned is
// a new one owned by the caller; a Unit_ptr argument is borrowed.
//
// Thread-safe: the finder, the declaration and each built-in unit are
// resolved once (concurrent first callers wait for that one resolution) and
// afterwards read with one atomic load; a failed resolution leaves the cache
// empty, so the next call tries again. The server's cache is the library's
// service resolver's. Cached references carry the library's call timeout.
class HVC_UTIL_API UnitOfMeasure {
public:
    // The unit-of-measure server. Raises EpTypes::FailedOperationException
    // "Error in getServer; cannot resolve 'EpUnitOfMeasureService::Server'
    // service." when unresolved. The reference script runs at most once
    // successfully per process on its behalf.
    static EpUnitOfMeasureService::Server_ptr getServer();

    // Name of the environment variable holding the server's reference.
    static const char* unitEnvironmentVariableName();

    // The service's finder and declaration, asked of the server's factory
    // finder (the id "*" while neither is known, else the missing one's
    // repository id; kind "factory interface"). Each returned factory goes
    // to the member it narrows to; a member once set is never replaced.
    // Failures of the factory finder write their lines to stderr:
    //   "CosLifeCycle::CannotMeetCriteria:", "CosLifeCycle::InvalidCriteria:"
    //   or "CosLifeCycle::NoFactory:" followed by
    //   "Could not get factories from factoryFinder->find_factories(key)",
    //   "key[0].id = <id>", "key[0].kind = <kind>";
    //   "CosLifeCycle::NotCopyable", "CosLifeCycle::NotMovable",
    //   "CosLifeCycle::NotRemovable";
    //   "Some Problem with factoryFinder->find_factories(key) ???" for any
    //   other exception of find_factories.
    // Whatever failed, the caller then raises EpTypes::FailedOperationException
    // with its own text, also written to stderr:
    //   getFinder: "EpUnitOfMeasureService::getFinder() cannot resolve finder."
    //   getDeclaration: "EpUnitOfMeasure::getDeclaration() cannot resolve declaration."
    // An unresolvable server raises getServer's failure instead.
    static EpUnitOfMeasureService::Finder_ptr getFinder();
    static EpUnitOfMeasureService::Declaration_ptr getDeclaration();

    // The unit of `acronym`. Raises getFinder's failure, and what the finder
    // raises unchanged (EpTypes::BadArgumentsException for an acronym the
    // service does not know, CORBA system exceptions).
    static EpUnitOfMeasureService::Unit_ptr getUnit(const char* acronym);

    // The built-in units, looked up once per process. metre, feet, feetUS,
    // radian and dega are promoted to their kind by the finder; when the
    // service refuses the promotion they return nil (and ask again next
    // time). A failed look-up writes "Unable to initialize
    // hvc_util::UnitOfMeasure as a common unit acronym is not recognized"
    // (unknown acronym) or "Unable to initialize hvc_util::UnitOfMeasure as
    // the Unit of Measure server can't be found." (anything else) to stderr
    // and raises CORBA::UNKNOWN (minor 0, COMPLETED_NO); the promoted ones
    // raise getFinder's failure when the finder cannot be resolved.
    static EpUnitOfMeasureService::Unit_ptr unitless();
    static EpUnitOfMeasureService::Linear_ptr metre();
    static EpUnitOfMeasureService::Angular_ptr radian();
    static EpUnitOfMeasureService::Linear_ptr feet();
    static EpUnitOfMeasureService::Linear_ptr feetUS();
    static EpUnitOfMeasureService::Unit_ptr second();
    static EpUnitOfMeasureService::Unit_ptr millisecond();
    static EpUnitOfMeasureService::Angular_ptr dega();
    static EpUnitOfMeasureService::Unit_ptr megayear();

    // (a + b*value) / (c + d*value), divided once and unguarded: a zero
    // denominator gives an infinity or NaN. Raises nothing.
    static double convert(double value, EpUnitOfMeasureService::Unit::Conversion conversion);
    // A new sequence of the same length, element i converted as above; the
    // argument is left as it is. Raises nothing but the ORB's allocation
    // failure.
    static DosTypes::DoubleSeq convert(const DosTypes::DoubleSeq& values,
                                       EpUnitOfMeasureService::Unit::Conversion conversion);

    // 1 when the finder promotes `unit` to a linear unit, 0 when it raises
    // PromotionException. Takes `unit` as a _var: a _ptr passed in is
    // consumed, a _var is copied. Raises getFinder's failure and what the
    // finder raises otherwise.
    static int convertableToMeter(EpUnitOfMeasureService::Unit_var unit);

    // The unit an Any holds as an object reference of Unit, Linear or
    // Angular (a new reference); nil for any other value. Raises nothing.
    static EpUnitOfMeasureService::Unit_ptr extract(const CORBA::Any& value);

    // Converts the quantity into `target` in place, through the data-type
    // converter the trader offers the process user: its value goes to a
    // double, is converted, and goes back to its own data type (a float stays
    // a float); its unit becomes a duplicate of `target`. A unit equivalent
    // to the target leaves the quantity as it is. Nothing changes unless all
    // of it succeeds. Both units nil: writes "No Conversion required" to
    // stderr and returns. One nil: writes "hvc_util::UnitOfMeasure.
    // applyConversion: One of the units is NULL" and raises
    // EpUnitOfMeasureService::ConversionException "hvc_util::UnitOfMeasure.
    // applyConversion: One of the unit in the input is NULL". Otherwise
    // raises ConversionException with
    //   "Failed to convert dataSequence to double." (also on stderr without
    //     the full stop) when the converter refuses the value,
    //   "UnitOfMeasure::applyConversion failed, unknown conversion error." for
    //     any other CORBA exception (the units' own ConversionException, an
    //     unresolvable converter, an answer in another data type than asked),
    //   "Unknown exception in UnitOfMeasure::applyConversion" for anything else.
    static void applyConversion(EpiTypes::DataQuantity& quantity,
                                EpUnitOfMeasureService::Unit_ptr target);
    // The same for values sharing a unit, with these differences: both units
    // nil returns silently; one nil writes "UnitOfMeasurehvc_util::
    // UnitOfMeasure::applyConversion: One of the unit is NULL" and raises
    // "UnitOfMeasureUtiltiy.applyconversion: One of the unit is NULL"; a
    // refused value is "Failed to convert dataValue to double.".
    static void applyConversion(EpiTypes::DataQuantities& quantities,
                                EpUnitOfMeasureService::Unit_ptr target);

private:
    static void getDeclarationAndFinder();
    static EpUnitOfMeasureService::Unit_ptr getBuiltInUnit(const char* acronym);

    static std::atomic<EpUnitOfMeasureService::Server_ptr> _server;
};

} // namespace hvc_util
