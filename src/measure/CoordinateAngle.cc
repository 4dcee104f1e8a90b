#include "hvc_util/CoordinateAngle.h"

#include "bindings/Diagnostics.h"
#include "bindings/Handlers.h"
#include "hvc_util/Coordinate.h"
#include "hvc_util/UnitOfMeasure.h"

#include <cmath>

namespace hvc_util {

namespace {

namespace Cs = EpCoordinateService;
namespace Uom = EpUnitOfMeasureService;

const OperationFailures failures{"Error applying transformation.",
                                 "Unknown exception applying transformation."};

// The probe's step along the second axis: units of a linear axis, radians of
// an angular one (small enough for the turn to be the tangent's to 1e-8).
constexpr double linearProbe = 1000;
constexpr double angularProbeRadians = 1e-6;

// What the two forms write when "rad" cannot be had: the text thrown, and the
// line written (the sequence form's has a blank before its end).
struct RadMessages {
    const char* badArguments;
    const char* failedOperation;
    const char* lineEnd;
};
const RadMessages singleMessages{"Caught BadArgumentsException trying to get 'rad' unit.",
                                 "Caught FailedOperationException trying to get 'rad' unit.", "\n"};
const RadMessages sequenceMessages{singleMessages.badArguments, singleMessages.failedOperation,
                                   " \n"};

// The unit "rad", used as a plain unit (its conversions are all it serves).
Uom::Unit_ptr radUnit(const RadMessages& messages) {
    const char* text = nullptr;
    try {
        return UnitOfMeasure::getUnit("rad");
    } catch (const EpTypes::BadArgumentsException&) {
        text = messages.badArguments;
    } catch (const EpTypes::FailedOperationException&) {
        text = messages.failedOperation;
    }
    Diagnostics::print("%s%s", text, messages.lineEnd);
    throw Cs::NoKnownTransformException(text);
}

// Whether the system's second axis is angular (a geographic latitude).
bool angularSecondAxis(Uom::Unit_ptr axisUnit) {
    if (CORBA::is_nil(axisUnit))
        return false;
    Uom::Finder_var finder = UnitOfMeasure::getFinder();
    try {
        Uom::Angular_var angular = finder->toAngular(axisUnit);
        return true;
    } catch (const Uom::PromotionException&) {
        return false;
    }
}

// The turn at the location from `system` into `destination`, in radians.
double turnAt(Cs::System_ptr system, const Cs::Coordinate& location, Cs::System_ptr destination,
              const RadMessages& messages) {
    Cs::Coordinate here;
    if (location.system->isEqual(system))
        here = location;
    else
        here = Coordinate::applyTransformation(location, Cs::System::_duplicate(system));

    Cs::Coordinate probe = here;
    Uom::Unit_var axisUnit = system->getAxisUnit(2);
    if (angularSecondAxis(axisUnit.in())) {
        Uom::Unit_var rad = radUnit(messages);
        const double step =
            std::fabs(UnitOfMeasure::convert(angularProbeRadians, rad->getConversion(axisUnit)));
        probe.point.y += here.point.y > 0 ? -step : step;
    } else {
        probe.point.y += here.point.y >= 0 ? linearProbe : -linearProbe;
    }

    const Cs::Coordinate hereThere =
        Coordinate::applyTransformation(here, Cs::System::_duplicate(destination));
    const Cs::Coordinate probeThere =
        Coordinate::applyTransformation(probe, Cs::System::_duplicate(destination));
    const double ux = probe.point.x - here.point.x, uy = probe.point.y - here.point.y;
    const double vx = probeThere.point.x - hereThere.point.x;
    const double vy = probeThere.point.y - hereThere.point.y;
    const double turn = std::atan2(ux * vy - uy * vx, ux * vx + uy * vy);
    return turn == -M_PI ? M_PI : turn;
}

// The two forms differ only in carrying one value or a sequence.
double& valuesOf(EpiTypes::CoordinateAngle& a) {
    return a.value;
}
DosTypes::DoubleSeq& valuesOf(EpiTypes::CoordinateAngles& a) {
    return a.values;
}
double shifted(double value, double by) {
    return value + by;
}
DosTypes::DoubleSeq shifted(const DosTypes::DoubleSeq& values, double by) {
    DosTypes::DoubleSeq out(values);
    for (CORBA::ULong i = 0; i < out.length(); ++i)
        out[i] += by;
    return out;
}

template <class Angle>
Angle carry(const Angle& angle, const Cs::Coordinate& location, Cs::System_ptr destination,
            Uom::Angular_ptr targetUnit, const RadMessages& messages) {
    if (CORBA::is_nil(angle.system) || CORBA::is_nil(angle.unit))
        throw Cs::NoKnownTransformException(
            "Coordinate system of the coordinate angle, or coordinate angle unit is null");
    if (CORBA::is_nil(location.system))
        throw Cs::NoKnownTransformException("Coordinate System of supplied Coordinate was nil");
    if (CORBA::is_nil(destination))
        throw Cs::NoKnownTransformException("Destination coordinate system is null");

    return withHandlers<Uom::ConversionException, Cs::NoKnownTransformException>(failures, [&] {
        if (angle.system->isEqual(destination) &&
            (CORBA::is_nil(targetUnit) || angle.unit->isEquivalent(targetUnit)))
            return angle;

        const double turn = turnAt(angle.system.in(), location, destination, messages);
        Uom::Angular_ptr unit = CORBA::is_nil(targetUnit) ? angle.unit.in() : targetUnit;
        Angle result(angle);
        result.system = Cs::System::_duplicate(destination);
        result.unit = Uom::Angular::_duplicate(unit);
        if (turn == 0) {
            if (!CORBA::is_nil(targetUnit))
                valuesOf(result) =
                    UnitOfMeasure::convert(valuesOf(result), angle.unit->getConversion(unit));
            return result;
        }
        Uom::Unit_var rad = radUnit(messages);
        const double turnInUnit = UnitOfMeasure::convert(turn, rad->getConversion(angle.unit));
        valuesOf(result) = UnitOfMeasure::convert(shifted(valuesOf(result), turnInUnit),
                                                  angle.unit->getConversion(unit));
        return result;
    });
}

} // namespace

EpiTypes::CoordinateAngle
CoordinateAngle::applyTransformation(const EpiTypes::CoordinateAngle& angle,
                                     const Cs::Coordinate& location, Cs::System_var destination,
                                     Uom::Angular_ptr targetUnit) {
    return carry(angle, location, destination.in(), targetUnit, singleMessages);
}

EpiTypes::CoordinateAngles
CoordinateAngle::applyTransformation(const EpiTypes::CoordinateAngles& angles,
                                     const Cs::Coordinate& location, Cs::System_var destination,
                                     Uom::Angular_ptr targetUnit) {
    return carry(angles, location, destination.in(), targetUnit, sequenceMessages);
}

} // namespace hvc_util
