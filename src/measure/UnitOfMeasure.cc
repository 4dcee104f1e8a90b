#include "hvc_util/UnitOfMeasure.h"

#include "bindings/CachedReference.h"
#include "bindings/Diagnostics.h"
#include "hvc_util/DefaultDataTypeConverter.h"
#include "services/ServiceResolver.h"

#include <mutex>
#include <string>

namespace hvc_util {

namespace {

namespace Uom = EpUnitOfMeasureService;

const ServiceCatalogue::Entry& serverEntry =
    ServiceCatalogue::entry(ServiceCatalogue::Service::UnitsServer);

void printBindFailure(const CORBA::Exception&) {
    Diagnostics::print("Could not bind to %s\n", serverEntry.bindName);
    Diagnostics::print("Ensure that the UnitOfMeasure Service is running.\n");
}

const ServiceRow serverRow{serverEntry, printBindFailure};

const char* const finderFailure = "EpUnitOfMeasureService::getFinder() cannot resolve finder.";
const char* const declarationFailure =
    "EpUnitOfMeasure::getDeclaration() cannot resolve declaration.";

CachedReference<Uom::Finder> finder;
CachedReference<Uom::Declaration> declaration;
// Serialises the factory finder's look-ups of the two.
std::mutex declarationAndFinderLock;

CachedReference<Uom::Unit> cachedUnitless;
CachedReference<Uom::Linear> cachedMetre;
CachedReference<Uom::Angular> cachedRadian;
CachedReference<Uom::Linear> cachedFeet;
CachedReference<Uom::Linear> cachedFeetUS;
CachedReference<Uom::Unit> cachedSecond;
CachedReference<Uom::Unit> cachedMillisecond;
CachedReference<Uom::Angular> cachedDega;
CachedReference<Uom::Unit> cachedMegayear;

void printKey(const CosLifeCycle::Key& key) {
    Diagnostics::print("Could not get factories from factoryFinder->find_factories(key)\n");
    Diagnostics::print("key[0].id = %s\n", key[0].id.in());
    Diagnostics::print("key[0].kind = %s\n", key[0].kind.in());
}

// The factories the server's finder returns for `key`; null after a
// failure, whose lines are written here.
CosLifeCycle::Factories* findFactories(CosLifeCycle::FactoryFinder_ptr factories,
                                       const CosLifeCycle::Key& key) {
    try {
        return factories->find_factories(key);
    } catch (const CosLifeCycle::CannotMeetCriteria&) {
        Diagnostics::print("CosLifeCycle::CannotMeetCriteria:\n");
        printKey(key);
    } catch (const CosLifeCycle::InvalidCriteria&) {
        Diagnostics::print("CosLifeCycle::InvalidCriteria:\n");
        printKey(key);
    } catch (const CosLifeCycle::NoFactory&) {
        Diagnostics::print("CosLifeCycle::NoFactory:\n");
        printKey(key);
    } catch (const CosLifeCycle::NotCopyable&) {
        Diagnostics::print("CosLifeCycle::NotCopyable\n");
    } catch (const CosLifeCycle::NotMovable&) {
        Diagnostics::print("CosLifeCycle::NotMovable\n");
    } catch (const CosLifeCycle::NotRemovable&) {
        Diagnostics::print("CosLifeCycle::NotRemovable\n");
    } catch (...) {
        Diagnostics::print("Some Problem with factoryFinder->find_factories(key) ???\n");
    }
    return nullptr;
}

// A unit promoted by the finder to the kind `T`; nil when the finder refuses.
template <class T> typename T::_ptr_type promoted(Uom::Finder_ptr f, Uom::Unit_ptr unit);
template <> Uom::Linear_ptr promoted<Uom::Linear>(Uom::Finder_ptr f, Uom::Unit_ptr unit) {
    return f->toLinear(unit);
}
template <> Uom::Angular_ptr promoted<Uom::Angular>(Uom::Finder_ptr f, Uom::Unit_ptr unit) {
    return f->toAngular(unit);
}

} // namespace

std::atomic<Uom::Server_ptr> UnitOfMeasure::_server{nullptr};

Uom::Server_ptr UnitOfMeasure::getServer() {
    return ServiceResolver::resolve<Uom::Server>(serverRow, _server, [](CORBA::ORB_ptr orb) {
        return Orb::bind(orb, serverEntry.bindName);
    });
}

const char* UnitOfMeasure::unitEnvironmentVariableName() {
    return serverEntry.variable;
}

void UnitOfMeasure::getDeclarationAndFinder() {
    if (finder.isSet() && declaration.isSet())
        return;
    std::lock_guard<std::mutex> hold(declarationAndFinderLock);
    const bool needFinder = !finder.isSet();
    const bool needDeclaration = !declaration.isSet();
    if (!needFinder && !needDeclaration)
        return;
    Uom::Server_var server = getServer();
    try {
        CosLifeCycle::FactoryFinder_var factories = server->getFactoryFinder();
        if (CORBA::is_nil(factories))
            return;
        CosLifeCycle::Key key;
        key.length(1);
        key[0].id = needFinder && needDeclaration ? "*"
                    : needFinder                  ? Uom::_tc_Finder->id()
                                                  : Uom::_tc_Declaration->id();
        key[0].kind = Uom::FACTORY_KEY_KIND;
        CosLifeCycle::Factories* answer = findFactories(factories.in(), key);
        if (answer == nullptr)
            return;
        CosLifeCycle::Factories_var found = answer;
        // Each factory goes to the member it is; a member once set stays.
        for (CORBA::ULong i = 0; i < found->length(); ++i) {
            CORBA::Object_ptr factory = found[i];
            if (!declaration.isSet() && declaration.offer(Uom::Declaration::_narrow(factory)))
                continue;
            if (!finder.isSet())
                finder.offer(Uom::Finder::_narrow(factory));
        }
    } catch (...) {
        // The caller raises its own failure for what is still missing.
    }
}

namespace {

// A new reference to what the cache holds, or the getter's failure.
template <class T>
typename T::_ptr_type resolvedOrFail(const CachedReference<T>& cache, const char* failure) {
    typename T::_ptr_type held = cache.get();
    if (CORBA::is_nil(held)) {
        Diagnostics::print("%s\n", failure);
        throw EpTypes::FailedOperationException(failure);
    }
    return T::_duplicate(held);
}

} // namespace

Uom::Finder_ptr UnitOfMeasure::getFinder() {
    getDeclarationAndFinder();
    return resolvedOrFail(finder, finderFailure);
}

Uom::Declaration_ptr UnitOfMeasure::getDeclaration() {
    getDeclarationAndFinder();
    return resolvedOrFail(declaration, declarationFailure);
}

Uom::Unit_ptr UnitOfMeasure::getUnit(const char* acronym) {
    Uom::Finder_var f = getFinder();
    return f->findUnit(acronym);
}

Uom::Unit_ptr UnitOfMeasure::getBuiltInUnit(const char* acronym) {
    try {
        return getUnit(acronym);
    } catch (const EpTypes::BadArgumentsException&) {
        Diagnostics::print("Unable to initialize hvc_util::UnitOfMeasure as a common unit acronym "
                           "is not recognized\n");
    } catch (...) {
        Diagnostics::print("Unable to initialize hvc_util::UnitOfMeasure as %s\n",
                           "the Unit of Measure server can't be found.");
    }
    throw CORBA::UNKNOWN(0, CORBA::COMPLETED_NO);
}

// The promoted units: looked up, then promoted; a refused promotion caches
// nothing and answers nil.
template <class T>
static typename T::_ptr_type promotedBuiltIn(CachedReference<T>& cache, const char* acronym,
                                             Uom::Unit_ptr (*lookUp)(const char*)) {
    return cache.resolve([&]() -> typename T::_ptr_type {
        Uom::Finder_var f = UnitOfMeasure::getFinder();
        Uom::Unit_var unit = lookUp(acronym);
        try {
            return promoted<T>(f.in(), unit.in());
        } catch (const Uom::PromotionException&) {
            return T::_nil();
        }
    });
}

Uom::Unit_ptr UnitOfMeasure::unitless() {
    return cachedUnitless.resolve([] { return getBuiltInUnit("unitless"); });
}
Uom::Linear_ptr UnitOfMeasure::metre() {
    return promotedBuiltIn(cachedMetre, "m", getBuiltInUnit);
}
Uom::Angular_ptr UnitOfMeasure::radian() {
    return promotedBuiltIn(cachedRadian, "rad", getBuiltInUnit);
}
Uom::Linear_ptr UnitOfMeasure::feet() {
    return promotedBuiltIn(cachedFeet, "ft", getBuiltInUnit);
}
Uom::Linear_ptr UnitOfMeasure::feetUS() {
    return promotedBuiltIn(cachedFeetUS, "ftUS", getBuiltInUnit);
}
Uom::Unit_ptr UnitOfMeasure::second() {
    return cachedSecond.resolve([] { return getBuiltInUnit("s"); });
}
Uom::Unit_ptr UnitOfMeasure::millisecond() {
    return cachedMillisecond.resolve([] { return getBuiltInUnit("ms"); });
}
Uom::Angular_ptr UnitOfMeasure::dega() {
    return promotedBuiltIn(cachedDega, "dega", getBuiltInUnit);
}
Uom::Unit_ptr UnitOfMeasure::megayear() {
    return cachedMegayear.resolve([] { return getBuiltInUnit("Ma"); });
}

double UnitOfMeasure::convert(double value, Uom::Unit::Conversion conversion) {
    return (conversion.b * value + conversion.a) / (conversion.d * value + conversion.c);
}

DosTypes::DoubleSeq UnitOfMeasure::convert(const DosTypes::DoubleSeq& values,
                                           Uom::Unit::Conversion conversion) {
    const CORBA::ULong n = values.length();
    const double a = conversion.a, b = conversion.b, c = conversion.c, d = conversion.d;
    CORBA::Double* out = DosTypes::DoubleSeq::allocbuf(n);
    const CORBA::Double* in = values.get_buffer();
    for (CORBA::ULong i = 0; i < n; ++i)
        out[i] = (b * in[i] + a) / (d * in[i] + c);
    return DosTypes::DoubleSeq(n, n, out, true);
}

int UnitOfMeasure::convertableToMeter(Uom::Unit_var unit) {
    Uom::Finder_var f = getFinder();
    try {
        Uom::Linear_var linear = f->toLinear(unit.in());
        return 1;
    } catch (const Uom::PromotionException&) {
        return 0;
    }
}

Uom::Unit_ptr UnitOfMeasure::extract(const CORBA::Any& value) {
    try {
        CORBA::TypeCode_var type = value.type();
        Uom::Unit_ptr unit = Uom::Unit::_nil();
        Uom::Linear_ptr linear = Uom::Linear::_nil();
        Uom::Angular_ptr angular = Uom::Angular::_nil();
        // The Any keeps owning what it hands out.
        if (type->equal(Uom::_tc_Unit) && (value >>= unit))
            return Uom::Unit::_duplicate(unit);
        if (type->equal(Uom::_tc_Linear) && (value >>= linear))
            return Uom::Unit::_duplicate(linear);
        if (type->equal(Uom::_tc_Angular) && (value >>= angular))
            return Uom::Unit::_duplicate(angular);
    } catch (const CORBA::Exception&) {
    }
    return Uom::Unit::_nil();
}

namespace {

const char* const oneUnitNull =
    "hvc_util::UnitOfMeasure.applyConversion: One of the units is NULL\n";

// The plain data-type converter the trader offers the process user.
EpTypesService::DefaultDataTypeConverter_ptr defaultConverter() {
    EpTypesService::DefaultDataTypeConverterFactory_var factory =
        DefaultDataTypeConverter::getDefaultFactory();
    return factory->createConverter();
}

// Runs `body`, turning its failures into ConversionException; the
// quantity is assigned only at its end, so a failure leaves it as it was.
template <class Body>
void converting(const char* invalidLine, const char* invalidText, Body&& body) {
    try {
        body();
    } catch (const EpTypes::InvalidDataTypeException&) {
        Diagnostics::print("%s", invalidLine);
        throw Uom::ConversionException(invalidText);
    } catch (const CORBA::Exception&) {
        throw Uom::ConversionException(
            "UnitOfMeasure::applyConversion failed, unknown conversion error.");
    } catch (...) {
        throw Uom::ConversionException("Unknown exception in UnitOfMeasure::applyConversion");
    }
}

// An answer of the converter in another data type than asked for.
[[noreturn]] void wrongType() {
    throw CORBA::BAD_OPERATION(0, CORBA::COMPLETED_NO);
}

} // namespace

void UnitOfMeasure::applyConversion(EpiTypes::DataQuantity& quantity, Uom::Unit_ptr target) {
    const bool noUnit = CORBA::is_nil(quantity.unit.in());
    if (noUnit && CORBA::is_nil(target)) {
        Diagnostics::print("No Conversion required\n");
        return;
    }
    if (noUnit || CORBA::is_nil(target)) {
        Diagnostics::print("%s", oneUnitNull);
        throw Uom::ConversionException(
            "hvc_util::UnitOfMeasure.applyConversion: One of the unit in the input is NULL");
    }
    converting("Failed to convert dataSequence to double\n",
               "Failed to convert dataSequence to double.", [&] {
                   if (quantity.unit->isEquivalent(target))
                       return;
                   const Uom::Unit::Conversion c = quantity.unit->getConversion(target);
                   EpTypesService::DefaultDataTypeConverter_var converter = defaultConverter();
                   const EpTypes::DataType type = quantity.value._d();
                   const EpTypes::DataValue asDouble =
                       converter->convertValue(quantity.value, EpTypes::DATA_TYPE_DOUBLE);
                   if (asDouble._d() != EpTypes::DATA_TYPE_DOUBLE)
                       wrongType();
                   EpTypes::DataValue converted;
                   converted.doubleValue(convert(asDouble.doubleValue(), c));
                   const EpTypes::DataValue back = converter->convertValue(converted, type);
                   if (back._d() != type)
                       wrongType();
                   quantity.value = back;
                   quantity.unit = Uom::Unit::_duplicate(target);
               });
}

void UnitOfMeasure::applyConversion(EpiTypes::DataQuantities& quantities, Uom::Unit_ptr target) {
    const bool noUnit = CORBA::is_nil(quantities.unit.in());
    if (noUnit && CORBA::is_nil(target))
        return;
    if (noUnit || CORBA::is_nil(target)) {
        Diagnostics::print(
            "UnitOfMeasurehvc_util::UnitOfMeasure::applyConversion: One of the unit is NULL\n");
        throw Uom::ConversionException(
            "UnitOfMeasureUtiltiy.applyconversion: One of the unit is NULL");
    }
    converting("Failed to convert dataValue to double\n", "Failed to convert dataValue to double.",
               [&] {
                   if (quantities.unit->isEquivalent(target))
                       return;
                   const Uom::Unit::Conversion c = quantities.unit->getConversion(target);
                   EpTypesService::DefaultDataTypeConverter_var converter = defaultConverter();
                   const EpTypes::DataType type = quantities.values._d();
                   EpTypes::DataSequence_var asDoubles =
                       converter->convertSequence(quantities.values, EpTypes::DATA_TYPE_DOUBLE);
                   // Reading another member of the union would read past it.
                   if (asDoubles->_d() != EpTypes::DATA_TYPE_DOUBLE)
                       wrongType();
                   EpTypes::DataSequence converted;
                   converted.doubleValues(convert(asDoubles->doubleValues(), c));
                   EpTypes::DataSequence_var back = converter->convertSequence(converted, type);
                   if (back->_d() != type)
                       wrongType();
                   quantities.values = back.in();
                   quantities.unit = Uom::Unit::_duplicate(target);
               });
}

} // namespace hvc_util
