// Coordinates: the platform's coordinate service, transformation of
// coordinates between systems, ellipsoids, and coordinate values.
#pragma once

#include <hvc_util/Export.h>
#include <hvc_util/String.h>

#include <EpCoordinateService.hh>

#include <atomic>

namespace hvc_util {

// Set of static operations (getSimilarEllipsoid excepted: call it on any
// object). The service references (finder, factory) and the platform's
// ellipsoid catalogue are cached for the life of the process and never
// released; every reference returned is a new one owned by the caller, every
// structure returned is the caller's with its own duplicates inside.
//
// Thread-safe: the service references and the ellipsoid catalogue are each
// resolved once (concurrent first callers wait for that one resolution and
// share its outcome), published only when complete, and then read with one
// atomic load; a resolution that fails leaves nothing cached. Cached
// references carry the library's call timeout.
class HVC_UTIL_API Coordinate {
public:
    // The coordinate finder. Raises EpTypes::FailedOperationException
    // "Error in getFinder; cannot resolve 'EpCoordinateService::Finder' service."
    // when no means resolves it. Never returns nil.
    static EpCoordinateService::Finder_ptr getFinder();

    // The coordinate factory; fails like getFinder with its own operation and
    // interface names.
    static EpCoordinateService::Factory_ptr getFactory();

    // Names of the environment variables holding the two references.
    static const char* finderEnvironmentVariableName();
    static const char* factoryEnvironmentVariableName();

    // The coordinate carried into `destination` by its own system's
    // transformation. `destination` is taken as a _var: a _ptr passed in is
    // consumed, a _var is copied. Raises
    //   NullPointerException "Coordinate System of supplied Coordinate was nil."
    //     for a nil source or destination system, before any remote call;
    //   EpCoordinateService::NoKnownTransformException as the service raised it;
    //   EpTypes::FailedOperationException "Error applying transformation." for
    //     any other CORBA exception, and when the service answers anything but
    //     one point or lists the point as failed;
    //   EpTypes::FailedOperationException "Unknown exception applying
    //     transformation." for anything else.
    static EpCoordinateService::Coordinate
    applyTransformation(const EpCoordinateService::Coordinate& coordinate,
                        EpCoordinateService::System_var destination);

    // The points carried into `destination`. More than 20 points between
    // systems the source calls equal come back copied without a
    // transformation; up to 20 are always transformed. Points the service
    // could not transform come back as it returned them (infinite from the
    // platform's service). Raises as the single form, and "Error applying
    // transformation." when the service returns another number of points.
    static EpCoordinateService::Coordinates
    applyTransformation(const EpCoordinateService::Coordinates& coordinates,
                        EpCoordinateService::System_var destination);

    // The semi-minor axis a * sqrt(1 - e^2), e^2 = 2/rf - 1/rf^2; a for a
    // sphere (rf 0). Raises nothing.
    static double getSemiMinorAxis(EpCoordinateService::Ellipsoid ellipsoid);

    // Tolerance of getSimilarEllipsoid, in metres.
    static constexpr double similarEllipsoidTolerance = 1.0;
    // Axes closer than this (metres) make one shape.
    static constexpr double sameShapeTolerance = 0.001;

    // The catalogued ellipsoid closest to the two axes (the larger of the two
    // axis differences; the first listed of equally close ones). It is
    // accepted when it lies within similarEllipsoidTolerance of the request
    // and no entry of another shape (axes more than sameShapeTolerance from
    // the best's) is as close; otherwise EpTypes::FailedOperationException
    // "Unable to uniquely identify the requested  <a> X  <b> ellipsoid"
    // (numbers with "%f"), also written to stderr. Fetching the catalogue
    // raises "Error in Coordinate Service: Valid name not recognized." (the
    // factory does not know a name it listed), "Error getting similar
    // ellipsoid." (any other CORBA exception) or "Unknown exception getting
    // similar ellipsoid."; getFactory's failure passes as it is.
    EpCoordinateService::Ellipsoid getSimilarEllipsoid(double semiMajorAxis, double semiMinorAxis);

    // The system an Any holds as a reference of System or of one of its five
    // kinds (a new reference); nil for any other value or a nil reference.
    // Raises nothing.
    static EpCoordinateService::System_ptr extract(const CORBA::Any& value);

    // A coordinate with its own duplicate of `system` (borrowed; nil stays nil).
    static EpCoordinateService::Coordinate makeCoordinate(double x, double y, double z,
                                                          EpCoordinateService::System_ptr system);

    // "name\t= value" per parameter, separated by ", ": a long with "%ld", a
    // double with "%e", a string between single quotes.
    static String toString(const EpCoordinateService::ParameterSeq& parameters);

private:
    static std::atomic<EpCoordinateService::Finder_ptr> finder;
    static std::atomic<EpCoordinateService::Factory_ptr> factory;
};

} // namespace hvc_util
