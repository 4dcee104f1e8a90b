// Coordinate angles: angles measured from an axis of a coordinate system,
// carried into another system at a location.
#pragma once

#include <hvc_util/Export.h>

#include <EpCoordinateService.hh>
#include <EpiTypes.hh>

namespace hvc_util {

// Has no state: call its operations on any object, from any thread. Every
// reference in a result is the result's own duplicate; `targetUnit` is
// borrowed, `destination` is taken as a _var (a _ptr passed in is consumed,
// a _var is copied).
//
// The turn. The location L (carried into the angle's system first when it
// is in another one) and a probe P beside it are transformed into the
// destination (L', P'). The probe lies along the angle's second axis, away
// from zero: 1000 units on a linear axis; on an angular one (a geographic
// system's latitude) 1e-6 radian toward the equator, so it stays a valid
// latitude. The turn is the signed angle from the direction P - L in the
// source to P' - L' in the destination, in (-pi, pi], positive
// counterclockwise (from the first axis toward the second). It is added to
// the angle value, so angle values count counterclockwise as well. Carried
// from a geographic system into a projected one, the direction of north
// turns by the projection's meridian convergence as PROJ's proj_factors
// reports it (positive east of a transverse Mercator's central meridian in
// the northern hemisphere). Values are never wrapped to a range.
class HVC_UTIL_API CoordinateAngle {
public:
    // The angle in `destination`, in `targetUnit` (nil: the angle's own unit),
    // with the angle's reference axis.
    //  - An angle whose system equals `destination` and whose unit is
    //    equivalent to the target (or no target) comes back as it is.
    //  - A turn of exactly zero only converts the value to the target unit;
    //    the result's system is `destination` in every path.
    // Raises, before any remote call, EpCoordinateService::NoKnownTransformException
    //   "Coordinate system of the coordinate angle, or coordinate angle unit is null",
    //   "Coordinate System of supplied Coordinate was nil" (the location's), or
    //   "Destination coordinate system is null".
    // Afterwards: FailedOperationException, ConversionException and
    // NoKnownTransformException pass with their texts (a failed look-up of
    // the unit "rad" writes "Caught BadArgumentsException trying to get 'rad'
    // unit." or "Caught FailedOperationException trying to get 'rad' unit." to
    // stderr and raises NoKnownTransformException with it); any other CORBA
    // exception is FailedOperationException "Error applying transformation.",
    // anything else "Unknown exception applying transformation.".
    EpiTypes::CoordinateAngle applyTransformation(const EpiTypes::CoordinateAngle& angle,
                                                  const EpCoordinateService::Coordinate& location,
                                                  EpCoordinateService::System_var destination,
                                                  EpUnitOfMeasureService::Angular_ptr targetUnit);

    // The same for a sequence of values sharing system, axis and unit: every
    // value gets the same turn; the result has as many values as the input.
    // The stderr lines of the "rad" look-up end with a blank before the
    // line end.
    EpiTypes::CoordinateAngles applyTransformation(const EpiTypes::CoordinateAngles& angles,
                                                   const EpCoordinateService::Coordinate& location,
                                                   EpCoordinateService::System_var destination,
                                                   EpUnitOfMeasureService::Angular_ptr targetUnit);
};

} // namespace hvc_util
