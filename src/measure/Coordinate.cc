#include "hvc_util/Coordinate.h"

#include "bindings/Diagnostics.h"
#include "bindings/Handlers.h"
#include "bindings/ResolveOnce.h"
#include "hvc_util/ExceptionDescription.h"
#include "hvc_util/NullPointerException.h"
#include "services/ServiceResolver.h"

#include <EpFactory.hh>
#include <EpServer.hh>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <memory>
#include <mutex>

namespace hvc_util {

namespace {

const ServiceCatalogue::Entry& finderEntry =
    ServiceCatalogue::entry(ServiceCatalogue::Service::CoordinateFinder);
const ServiceCatalogue::Entry& factoryEntry =
    ServiceCatalogue::entry(ServiceCatalogue::Service::CoordinateFactory);

void printBindFailure(const CORBA::Exception& e) {
    Diagnostics::line(std::string("Could not bind to ") + finderEntry.bindName);
    Diagnostics::line("Ensure that the Coordinate Service is running.");
    Diagnostics::line("");
    Diagnostics::line(describe(e));
}

// The coordinate server hands out its finder and factory through its factory
// finder, keyed by the wanted interface's repository id.
CORBA::Object_ptr lookUp(CORBA::ORB_ptr orb, const ServiceCatalogue::Entry& entry,
                         CORBA::TypeCode_ptr wanted) {
    EpServer::Server_var server = Orb::bindAs<EpServer::Server>(orb, entry.bindName);
    if (CORBA::is_nil(server))
        return CORBA::Object::_nil();
    CosLifeCycle::Key key;
    key.length(1);
    key[0].id = CORBA::string_dup(wanted->id());
    key[0].kind = CORBA::string_dup(EpFactory::FACTORY_INTERFACE);
    CosLifeCycle::FactoryFinder_var finder = server->getFactoryFinder();
    if (CORBA::is_nil(finder))
        return CORBA::Object::_nil();
    CosLifeCycle::Factories_var factories = finder->find_factories(key);
    if (factories->length() == 0)
        return CORBA::Object::_nil();
    return CORBA::Object::_duplicate(factories[0]);
}

const ServiceRow finderRow{finderEntry, printBindFailure};
const ServiceRow factoryRow{factoryEntry, printBindFailure};

const char* const nilSystem = "Coordinate System of supplied Coordinate was nil.";
const OperationFailures transformFailures{"Error applying transformation.",
                                          "Unknown exception applying transformation."};
const OperationFailures ellipsoidFailures{"Error getting similar ellipsoid.",
                                          "Unknown exception getting similar ellipsoid."};

// More points than this between equal systems are copied, not transformed.
constexpr CORBA::ULong equalityTestAbove = 20;

// The platform's ellipsoids, published once complete and never released.
std::atomic<const EpCoordinateService::EllipsoidSeq*> ellipsoids{nullptr};
ResolveOnce ellipsoidsGate;

const EpCoordinateService::EllipsoidSeq* fetchEllipsoids(EpCoordinateService::Factory_ptr f) {
    auto fetched = std::make_unique<EpCoordinateService::EllipsoidSeq>();
    try {
        withHandlers<EpCoordinateService::Factory::NoSuchNameException>(ellipsoidFailures, [&] {
            DosTypes::StringSeq_var names = f->getEllipsoidNames();
            fetched->length(names->length());
            for (CORBA::ULong i = 0; i < names->length(); ++i) {
                EpCoordinateService::Ellipsoid_var e = f->getEllipsoid(names[i]);
                (*fetched)[i] = e.in();
            }
        });
    } catch (const EpCoordinateService::Factory::NoSuchNameException&) {
        throw EpTypes::FailedOperationException(
            "Error in Coordinate Service: Valid name not recognized.");
    }
    return fetched.release();
}

const EpCoordinateService::EllipsoidSeq& ellipsoidCatalogue(EpCoordinateService::Factory_ptr f) {
    if (const auto* known = ellipsoids.load(std::memory_order_acquire))
        return *known;
    const EpCoordinateService::EllipsoidSeq* complete = ellipsoidsGate.resolve(
        ellipsoids, [&] { return fetchEllipsoids(f); },
        [](const EpCoordinateService::EllipsoidSeq* lost) { delete lost; });
    if (complete == nullptr) // asked again while this thread fetches it
        throw EpTypes::FailedOperationException(ellipsoidFailures.communication);
    return *complete;
}

// The larger of the two axis differences between an entry and a request.
double axisDifference(const EpCoordinateService::Ellipsoid& e, double a, double b) {
    return std::fmax(std::fabs(e.semiMajorAxis - a),
                     std::fabs(Coordinate::getSemiMinorAxis(e) - b));
}

void checkSystems(EpCoordinateService::System_ptr source,
                  EpCoordinateService::System_ptr destination) {
    if (CORBA::is_nil(source) || CORBA::is_nil(destination))
        throw NullPointerException(nilSystem);
}

} // namespace

std::atomic<EpCoordinateService::Finder_ptr> Coordinate::finder{nullptr};
std::atomic<EpCoordinateService::Factory_ptr> Coordinate::factory{nullptr};

EpCoordinateService::Finder_ptr Coordinate::getFinder() {
    return ServiceResolver::resolve<EpCoordinateService::Finder>(
        finderRow, finder, [](CORBA::ORB_ptr orb) {
            return lookUp(orb, finderEntry, EpCoordinateService::_tc_Finder);
        });
}

EpCoordinateService::Factory_ptr Coordinate::getFactory() {
    return ServiceResolver::resolve<EpCoordinateService::Factory>(
        factoryRow, factory, [](CORBA::ORB_ptr orb) {
            return lookUp(orb, factoryEntry, EpCoordinateService::_tc_Factory);
        });
}

const char* Coordinate::finderEnvironmentVariableName() {
    return finderEntry.variable;
}
const char* Coordinate::factoryEnvironmentVariableName() {
    return factoryEntry.variable;
}

EpCoordinateService::Coordinate
Coordinate::applyTransformation(const EpCoordinateService::Coordinate& coordinate,
                                EpCoordinateService::System_var destination) {
    checkSystems(coordinate.system.in(), destination.in());
    return withHandlers<EpCoordinateService::NoKnownTransformException>(transformFailures, [&] {
        EpTypes::PointSeq points;
        points.length(1);
        points[0] = coordinate.point;
        DosTypes::ULongSeq_var failed;
        EpTypes::PointSeq_var moved =
            coordinate.system->transformPoints(destination.in(), points, failed.out());
        // One point in, one transformed point out; anything else is no answer.
        if (moved->length() != 1 || failed->length() != 0)
            throw EpTypes::FailedOperationException(transformFailures.communication);
        EpCoordinateService::Coordinate out;
        out.system = EpCoordinateService::System::_duplicate(destination.in());
        out.point = moved[0];
        return out;
    });
}

EpCoordinateService::Coordinates
Coordinate::applyTransformation(const EpCoordinateService::Coordinates& coordinates,
                                EpCoordinateService::System_var destination) {
    checkSystems(coordinates.system.in(), destination.in());
    return withHandlers<EpCoordinateService::NoKnownTransformException>(transformFailures, [&] {
        EpCoordinateService::Coordinates out;
        out.system = EpCoordinateService::System::_duplicate(destination.in());
        if (coordinates.points.length() > equalityTestAbove &&
            coordinates.system->isEqual(destination.in())) {
            out.points = coordinates.points;
            return out;
        }
        DosTypes::ULongSeq_var failed;
        EpTypes::PointSeq_var moved =
            coordinates.system->transformPoints(destination.in(), coordinates.points, failed.out());
        if (moved->length() != coordinates.points.length())
            throw EpTypes::FailedOperationException(transformFailures.communication);
        out.points = moved.in();
        return out;
    });
}

double Coordinate::getSemiMinorAxis(EpCoordinateService::Ellipsoid ellipsoid) {
    const double a = ellipsoid.semiMajorAxis;
    const double rf = ellipsoid.inverseFlattening;
    if (rf == 0)
        return a; // a sphere
    const double e2 = 2 / rf - 1 / (rf * rf);
    return a * std::sqrt(1 - e2);
}

EpCoordinateService::Ellipsoid Coordinate::getSimilarEllipsoid(double semiMajorAxis,
                                                               double semiMinorAxis) {
    EpCoordinateService::Factory_var f = getFactory();
    const EpCoordinateService::EllipsoidSeq& all = ellipsoidCatalogue(f.in());
    return withHandlers(ellipsoidFailures, [&] {
        // The closest entry, the first listed of equally close ones.
        CORBA::ULong best = all.length();
        double bestDifference = 1e10;
        for (CORBA::ULong i = 0; i < all.length(); ++i) {
            const double d = axisDifference(all[i], semiMajorAxis, semiMinorAxis);
            if (d < bestDifference) {
                best = i;
                bestDifference = d;
            }
        }
        // Unique: near enough, and no other shape as close.
        bool unique = best < all.length() && bestDifference <= similarEllipsoidTolerance;
        for (CORBA::ULong i = 0; unique && i < all.length(); ++i) {
            if (i == best || axisDifference(all[i], all[best].semiMajorAxis,
                                            getSemiMinorAxis(all[best])) <= sameShapeTolerance)
                continue;
            if (axisDifference(all[i], semiMajorAxis, semiMinorAxis) <= bestDifference)
                unique = false;
        }
        if (!unique) {
            const int size = std::snprintf(nullptr, 0,
                                           "Unable to uniquely identify the requested  %f X  %f "
                                           "ellipsoid",
                                           semiMajorAxis, semiMinorAxis);
            std::string text(static_cast<std::size_t>(size) + 1, '\0');
            std::snprintf(&text[0], text.size(),
                          "Unable to uniquely identify the requested  %f X  %f ellipsoid",
                          semiMajorAxis, semiMinorAxis);
            text.resize(static_cast<std::size_t>(size));
            Diagnostics::print("%s\n", text.c_str());
            throw EpTypes::FailedOperationException(text.c_str());
        }
        return EpCoordinateService::Ellipsoid(all[best]);
    });
}

EpCoordinateService::System_ptr Coordinate::extract(const CORBA::Any& value) {
    namespace Cs = EpCoordinateService;
    try {
        CORBA::TypeCode_var type = value.type();
        // The Any keeps owning what it hands out; the caller gets a duplicate.
        auto take = [&](CORBA::TypeCode_ptr expected, auto kind) -> Cs::System_ptr {
            decltype(kind) ref = nullptr;
            if (type->equal(expected) && (value >>= ref) && !CORBA::is_nil(ref))
                return Cs::System::_duplicate(ref);
            return nullptr;
        };
        Cs::System_ptr found = nullptr;
        if ((found = take(Cs::_tc_System, Cs::System_ptr())) ||
            (found = take(Cs::_tc_GeocentricSystem, Cs::GeocentricSystem_ptr())) ||
            (found = take(Cs::_tc_GeographicalSystem, Cs::GeographicalSystem_ptr())) ||
            (found = take(Cs::_tc_IJKSystem, Cs::IJKSystem_ptr())) ||
            (found = take(Cs::_tc_MapSystem, Cs::MapSystem_ptr())) ||
            (found = take(Cs::_tc_SeismicBinGridSystem, Cs::SeismicBinGridSystem_ptr())))
            return found;
    } catch (const CORBA::Exception&) {
    }
    return EpCoordinateService::System::_nil();
}

EpCoordinateService::Coordinate Coordinate::makeCoordinate(double x, double y, double z,
                                                           EpCoordinateService::System_ptr system) {
    EpCoordinateService::Coordinate c;
    c.system = EpCoordinateService::System::_duplicate(system);
    c.point.x = x;
    c.point.y = y;
    c.point.z = z;
    return c;
}

String Coordinate::toString(const EpCoordinateService::ParameterSeq& parameters) {
    String text("");
    char number[64];
    for (CORBA::ULong i = 0; i < parameters.length(); ++i) {
        const EpCoordinateService::Parameter& p = parameters[i];
        if (i > 0)
            text << ", ";
        text << p.name.in() << "\t= ";
        switch (p.value._d()) {
        case EpCoordinateService::PARAMETER_LONG:
            std::snprintf(number, sizeof number, "%ld", static_cast<long>(p.value.longValue()));
            text << number;
            break;
        case EpCoordinateService::PARAMETER_DOUBLE:
            std::snprintf(number, sizeof number, "%e", p.value.doubleValue());
            text << number;
            break;
        case EpCoordinateService::PARAMETER_STRING:
            text << "'" << p.value.stringValue() << "'";
            break;
        default:
            break;
        }
    }
    return text;
}

} // namespace hvc_util
