#include "hvc_util/CoordinateAngle.h"
#include "hvc_util/Coordinate.h"
#include "hvc_util/UnitOfMeasure.h"

#include "MeasurePlatform.h"
#include "support/Failures.h"

#include <gtest/gtest.h>
#include <proj.h>

#include <cmath>
#include <string>

using hvc_util::Coordinate;
using hvc_util::UnitOfMeasure;
namespace Cs = EpCoordinateService;
namespace Uom = EpUnitOfMeasureService;

namespace {

EpiTypes::CoordinateAngle angleOf(double value, Cs::System_ptr system, Uom::Angular_ptr unit) {
    EpiTypes::CoordinateAngle a;
    a.value = value;
    a.system = Cs::System::_duplicate(system);
    a.referenceAxis = EpiTypes::COORD_AXIS_2;
    a.unit = Uom::Angular::_duplicate(unit);
    return a;
}

EpiTypes::CoordinateAngles anglesOf(std::vector<double> values, Cs::System_ptr system,
                                    Uom::Angular_ptr unit) {
    EpiTypes::CoordinateAngles a;
    a.values.length(static_cast<CORBA::ULong>(values.size()));
    for (CORBA::ULong i = 0; i < a.values.length(); ++i)
        a.values[i] = values[i];
    a.system = Cs::System::_duplicate(system);
    a.referenceAxis = EpiTypes::COORD_AXIS_3;
    a.unit = Uom::Angular::_duplicate(unit);
    return a;
}

// PROJ's meridian convergence of UTM zone 31N at a point, in radians.
double convergence(double lonDegrees, double latDegrees) {
    PJ_CONTEXT* context = proj_context_create();
    proj_context_set_enable_network(context, 0);
    PJ* utm = proj_create(context, "+proj=utm +zone=31 +datum=WGS84");
    const PJ_FACTORS f =
        proj_factors(utm, proj_coord(proj_torad(lonDegrees), proj_torad(latDegrees), 0, 0));
    proj_destroy(utm);
    proj_context_destroy(context);
    return f.meridian_convergence;
}

} // namespace

TEST(CoordinateAngle, AnAzimuthTurnsByTheMeridianConvergenceIntoUtm) {
    hvc_test::MeasurePlatform platform;
    Cs::System_var lonLat = platform.system("EPSG:4326");
    Cs::System_var utm = platform.system("EPSG:32631");
    Uom::Angular_var rad = UnitOfMeasure::radian();
    const Cs::Coordinate well = Coordinate::makeCoordinate(5, 52, 0, lonLat.in());
    const double gamma = convergence(5, 52);
    ASSERT_GT(gamma, 0.02); // east of the central meridian, north of the equator

    hvc_util::CoordinateAngle carrier;
    EpiTypes::CoordinateAngle north =
        carrier.applyTransformation(angleOf(0.25, lonLat.in(), rad.in()), well,
                                    Cs::System::_duplicate(utm.in()), Uom::Angular::_nil());
    EXPECT_NEAR(north.value, 0.25 + gamma, 1e-6);
    EXPECT_TRUE(north.system->_is_equivalent(utm.in()));
    EXPECT_EQ(north.referenceAxis, EpiTypes::COORD_AXIS_2);

    // In degrees, and with the location given in UTM.
    Uom::Angular_var dega = UnitOfMeasure::dega();
    const Cs::Coordinate wellInUtm = Coordinate::applyTransformation(well, utm);
    EpiTypes::CoordinateAngle degrees = carrier.applyTransformation(
        angleOf(90, lonLat.in(), dega.in()), wellInUtm, utm, Uom::Angular::_nil());
    EXPECT_NEAR(degrees.value, 90 + gamma * 180 / M_PI, 1e-6 * 180 / M_PI);
    // South of the equator west of the meridian the sign is the same; no wrapping.
    EpiTypes::CoordinateAngle south = carrier.applyTransformation(
        angleOf(-400, lonLat.in(), dega.in()), Coordinate::makeCoordinate(1, -30, 0, lonLat.in()),
        utm, rad.in());
    EXPECT_NEAR(south.value, -400 * M_PI / 180 + convergence(1, -30), 1e-6);
    EXPECT_TRUE(south.unit->_is_equivalent(rad.in()));
}

TEST(CoordinateAngle, AShiftDoesNotTurnAndARotationTurnsByItsAngle) {
    hvc_test::MeasurePlatform platform;
    auto& room = platform.coordinates();
    Cs::System_var plain = room.createSystem(
        "plain", "+proj=tmerc +lon_0=3 +k=0.9996 +x_0=500000 +datum=WGS84 +units=m +type=crs");
    Cs::System_var shifted = room.createSystem(
        "shifted",
        "+proj=tmerc +lon_0=3 +k=0.9996 +x_0=500100 +y_0=100 +datum=WGS84 +units=m +type=crs");
    Uom::Angular_var dega = UnitOfMeasure::dega();
    hvc_util::CoordinateAngle carrier;
    const Cs::Coordinate at = Coordinate::makeCoordinate(637000, 5762000, 0, plain.in());
    EpiTypes::CoordinateAngle same = carrier.applyTransformation(angleOf(30, plain.in(), dega.in()),
                                                                 at, shifted, Uom::Angular::_nil());
    EXPECT_EQ(same.value, 30);
    // A zero turn without a target unit still reports the destination.
    EXPECT_TRUE(same.system->_is_equivalent(shifted.in()));

    // The survey's crosslines run 30 degrees counterclockwise of grid north.
    Cs::System_var survey = platform.system("Sandbox Survey 3D");
    Cs::System_var utm = platform.system("EPSG:32631");
    EpiTypes::CoordinateAngle turned = carrier.applyTransformation(
        angleOf(10, survey.in(), dega.in()), Coordinate::makeCoordinate(1100, 2100, 0, survey.in()),
        utm, Uom::Angular::_nil());
    EXPECT_NEAR(turned.value, 40, 1e-9);
}

TEST(CoordinateAngle, ShortcutsZeroTurnsAndTargetUnits) {
    hvc_test::MeasurePlatform platform;
    auto& room = platform.coordinates();
    Cs::System_var utm = platform.system("EPSG:32631");
    Uom::Angular_var dega = UnitOfMeasure::dega();
    Uom::Angular_var rad = UnitOfMeasure::radian();
    Uom::Angular_var gon = Uom::Angular::_narrow(Uom::Unit_var(UnitOfMeasure::getUnit("gon")));
    const Cs::Coordinate at = Coordinate::makeCoordinate(637000, -5, 0, utm.in());
    hvc_util::CoordinateAngle carrier;

    // Already there, no target: unchanged, nothing transformed.
    EpiTypes::CoordinateAngle kept = carrier.applyTransformation(angleOf(12.5, utm.in(), dega.in()),
                                                                 at, utm, Uom::Angular::_nil());
    EXPECT_EQ(kept.value, 12.5);
    EXPECT_EQ(room.transformCalls(), 0);
    // Already there with an equivalent target: the same.
    kept = carrier.applyTransformation(angleOf(12.5, utm.in(), dega.in()), at, utm, dega.in());
    EXPECT_EQ(room.transformCalls(), 0);

    // Another unit: the probe goes through (y < 0 probes at y - 1000) and,
    // unturned, the value is only converted.
    EpiTypes::CoordinateAngle inGon =
        carrier.applyTransformation(angleOf(90, utm.in(), dega.in()), at, utm, gon.in());
    EXPECT_DOUBLE_EQ(inGon.value, 100);
    EXPECT_TRUE(inGon.unit->_is_equivalent(gon.in()));
    EXPECT_EQ(room.transformCalls(), 2);

    // A sequence: every value the same turn, in the target unit.
    Cs::System_var lonLat = platform.system("EPSG:4326");
    EpiTypes::CoordinateAngles many = carrier.applyTransformation(
        anglesOf({0, 90, 720}, lonLat.in(), dega.in()),
        Coordinate::makeCoordinate(5, 52, 0, lonLat.in()), utm, rad.in());
    ASSERT_EQ(many.values.length(), 3u);
    const double gamma = many.values[0];
    EXPECT_NEAR(gamma, 0.0275110316687, 1e-6);
    EXPECT_NEAR(many.values[1], M_PI / 2 + gamma, 1e-12);
    EXPECT_NEAR(many.values[2], 4 * M_PI + gamma, 1e-12);
    EXPECT_EQ(many.referenceAxis, EpiTypes::COORD_AXIS_3);
    EpiTypes::CoordinateAngles none = carrier.applyTransformation(
        anglesOf({}, lonLat.in(), dega.in()), Coordinate::makeCoordinate(5, 52, 0, lonLat.in()),
        utm, rad.in());
    EXPECT_EQ(none.values.length(), 0u);
    EXPECT_TRUE(none.system->_is_equivalent(utm.in()));
    EXPECT_TRUE(none.unit->_is_equivalent(rad.in()));
}

TEST(CoordinateAngle, MissingReferencesAreRefusedInOrderBeforeAnyCall) {
    hvc_util::CoordinateAngle carrier;
    EpiTypes::CoordinateAngle bare;
    bare.value = 1;
    const Cs::Coordinate nowhere = Coordinate::makeCoordinate(0, 0, 0, Cs::System::_nil());
    EXPECT_EQ(hvc_test::reasonOf<Cs::NoKnownTransformException>([&] {
                  carrier.applyTransformation(bare, nowhere, Cs::System::_nil(),
                                              Uom::Angular::_nil());
              }),
              "Coordinate system of the coordinate angle, or coordinate angle unit is null");

    hvc_test::MeasurePlatform platform;
    Cs::System_var utm = platform.system("EPSG:32631");
    Uom::Angular_var dega = UnitOfMeasure::dega();
    EpiTypes::CoordinateAngles values = anglesOf({1}, utm.in(), dega.in());
    EXPECT_EQ(hvc_test::reasonOf<Cs::NoKnownTransformException>(
                  [&] { carrier.applyTransformation(values, nowhere, utm, Uom::Angular::_nil()); }),
              "Coordinate System of supplied Coordinate was nil");
    EXPECT_EQ(hvc_test::reasonOf<Cs::NoKnownTransformException>([&] {
                  carrier.applyTransformation(values, Coordinate::makeCoordinate(0, 0, 0, utm.in()),
                                              Cs::System::_nil(), Uom::Angular::_nil());
              }),
              "Destination coordinate system is null");
    EXPECT_EQ(platform.coordinates().transformCalls(), 0);

    // A failed transformation of the location reaches the caller with its text.
    Cs::System_var mars = platform.system("IAU_2015:49900");
    Cs::System_var lonLat = platform.system("EPSG:4326");
    EXPECT_EQ(hvc_test::reasonOf<Cs::NoKnownTransformException>([&] {
                  carrier.applyTransformation(angleOf(1, lonLat.in(), dega.in()),
                                              Coordinate::makeCoordinate(1, 1, 0, mars.in()), utm,
                                              Uom::Angular::_nil());
              }),
              "no known transformation from IAU_2015:49900 to EPSG:4326");
}
