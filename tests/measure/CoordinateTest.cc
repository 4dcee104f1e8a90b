#include "hvc_util/Coordinate.h"
#include "hvc_util/NullPointerException.h"

#include "MeasurePlatform.h"
#include "support/Failures.h"
#include "support/StderrCapture.h"
#include "support/SystemServant.h"

#include <gtest/gtest.h>
#include <proj.h>

#include <cmath>
#include <string>

using hvc_util::Coordinate;
namespace Cs = EpCoordinateService;

namespace {

Cs::Coordinates pointsIn(Cs::System_ptr system, CORBA::ULong count) {
    Cs::Coordinates c;
    c.system = Cs::System::_duplicate(system);
    c.points.length(count);
    for (CORBA::ULong i = 0; i < count; ++i) {
        c.points[i].x = 4.0 + 0.01 * i;
        c.points[i].y = 52.0;
        c.points[i].z = 0;
    }
    return c;
}

// PROJ itself, in this process, for comparison.
struct DirectProj {
    PJ_CONTEXT* context = proj_context_create();
    PJ* op = nullptr;
    DirectProj(const char* from, const char* to) {
        proj_context_set_enable_network(context, 0);
        PJ* raw = proj_create_crs_to_crs(context, from, to, nullptr);
        op = proj_normalize_for_visualization(context, raw);
        proj_destroy(raw);
    }
    ~DirectProj() {
        proj_destroy(op);
        proj_context_destroy(context);
    }
    PJ_COORD operator()(double x, double y) const {
        return proj_trans(op, PJ_FWD, proj_coord(x, y, 0, 0));
    }
};

// An Any holding `system` narrowed to its own interface `T`.
template <class T> CORBA::Any narrowedInto(Cs::System_ptr system) {
    CORBA::Any any;
    any <<= T::_narrow(system);
    return any;
}

std::string nilFailure(const std::function<void()>& call) {
    try {
        call();
    } catch (const hvc_util::NullPointerException& e) {
        return e.description();
    }
    return "(no exception)";
}

} // namespace

TEST(Coordinate, ALonLatPointGoesIntoUtmAndBackAsProjCarriesIt) {
    hvc_test::MeasurePlatform platform;
    Cs::System_var lonLat = platform.system("EPSG:4326");
    Cs::System_var utm = platform.system("EPSG:32631");
    const Cs::Coordinate there = Coordinate::applyTransformation(
        Coordinate::makeCoordinate(5, 52, 0, lonLat.in()), Cs::System::_duplicate(utm.in()));
    const PJ_COORD expected = DirectProj("EPSG:4326", "EPSG:32631")(5, 52);
    EXPECT_EQ(there.point.x, expected.xy.x);
    EXPECT_EQ(there.point.y, expected.xy.y);
    EXPECT_NEAR(there.point.x, 637294.366, 1e-3);
    EXPECT_TRUE(there.system->_is_equivalent(utm.in()));

    const Cs::Coordinate back = Coordinate::applyTransformation(there, lonLat);
    EXPECT_NEAR(back.point.x, 5, 1e-9);
    EXPECT_NEAR(back.point.y, 52, 1e-9);
}

TEST(Coordinate, NilSystemsFailBeforeAnyRemoteCall) {
    const std::string text = "Coordinate System of supplied Coordinate was nil.";
    Cs::Coordinate noSystem = Coordinate::makeCoordinate(1, 2, 3, Cs::System::_nil());
    EXPECT_TRUE(CORBA::is_nil(noSystem.system.in()));
    EXPECT_EQ(noSystem.point.z, 3);
    EXPECT_EQ(nilFailure([&] { Coordinate::applyTransformation(noSystem, Cs::System::_nil()); }),
              text);
    hvc_test::MeasurePlatform platform;
    Cs::System_var utm = platform.system("EPSG:32631");
    Cs::Coordinate inUtm = Coordinate::makeCoordinate(1, 2, 3, utm.in());
    EXPECT_EQ(nilFailure([&] { Coordinate::applyTransformation(inUtm, Cs::System::_nil()); }),
              text);
    Cs::Coordinates none = pointsIn(Cs::System::_nil(), 3);
    EXPECT_EQ(nilFailure([&] { Coordinate::applyTransformation(none, utm); }), text);
    EXPECT_EQ(platform.coordinates().transformCalls(), 0);
}

TEST(Coordinate, MoreThanTwentyPointsBetweenEqualSystemsAreCopied) {
    hvc_test::MeasurePlatform platform;
    Cs::System_var found = platform.system("EPSG:4326");
    // Another object of the same definition.
    Cs::System_var made = platform.coordinates().createSystem("again", "EPSG:4326");
    ASSERT_FALSE(found->_is_equivalent(made.in()));
    auto& room = platform.coordinates();

    Cs::Coordinates twenty = Coordinate::applyTransformation(pointsIn(found.in(), 20), made);
    EXPECT_EQ(room.transformCalls(), 1);
    EXPECT_EQ(room.equalityCalls(), 0);
    EXPECT_EQ(twenty.points.length(), 20u);

    Cs::Coordinates input = pointsIn(found.in(), 21);
    Cs::Coordinates copied = Coordinate::applyTransformation(input, made);
    EXPECT_EQ(room.transformCalls(), 1);
    EXPECT_EQ(room.equalityCalls(), 1);
    ASSERT_EQ(copied.points.length(), 21u);
    EXPECT_EQ(copied.points[20].x, input.points[20].x);
    EXPECT_TRUE(copied.system->_is_equivalent(made.in()));

    // Between different systems the equality test is followed by the transformation.
    Cs::System_var utm = platform.system("EPSG:32631");
    Cs::Coordinates moved = Coordinate::applyTransformation(input, utm);
    EXPECT_EQ(room.transformCalls(), 2);
    EXPECT_NEAR(moved.points[0].x, 568649.705, 1e-3); // 4E 52N
}

TEST(Coordinate, FailedPointsAndMissingOperations) {
    hvc_test::MeasurePlatform platform;
    Cs::System_var lonLat = platform.system("EPSG:4326");
    Cs::System_var utm = platform.system("epsg:32631");
    // A latitude beyond the pole: the one-point form has no coordinate to give.
    EXPECT_EQ(hvc_test::reasonOf([&] {
                  Coordinate::applyTransformation(
                      Coordinate::makeCoordinate(5, 100, 0, lonLat.in()), utm);
              }),
              "Error applying transformation.");
    // The several-points form gives every point back, the failed one infinite.
    Cs::Coordinates two = pointsIn(lonLat.in(), 2);
    two.points[1].y = 100;
    Cs::Coordinates moved = Coordinate::applyTransformation(two, utm);
    ASSERT_EQ(moved.points.length(), 2u);
    EXPECT_TRUE(std::isfinite(moved.points[0].x));
    EXPECT_TRUE(std::isinf(moved.points[1].x));

    // Mars and the Earth share no operation.
    Cs::System_var mars = platform.system("IAU_2015:49900");
    EXPECT_EQ(hvc_test::reasonOf<Cs::NoKnownTransformException>([&] {
                  Coordinate::applyTransformation(Coordinate::makeCoordinate(1, 1, 0, mars.in()),
                                                  lonLat);
              }),
              "no known transformation from IAU_2015:49900 to EPSG:4326");
}

TEST(Coordinate, SystemsOfEveryKindComeOutOfAnAny) {
    hvc_test::MeasurePlatform platform;
    const struct {
        const char* name;
        const char* id;
        CORBA::Any (*insert)(Cs::System_ptr);
    } kinds[] = {
        {"EPSG:4978", Cs::GeocentricSystem::_PD_repoId, narrowedInto<Cs::GeocentricSystem>},
        {"EPSG:4326", Cs::GeographicalSystem::_PD_repoId, narrowedInto<Cs::GeographicalSystem>},
        {"Sandbox Field IJK", Cs::IJKSystem::_PD_repoId, narrowedInto<Cs::IJKSystem>},
        {"EPSG:32631", Cs::MapSystem::_PD_repoId, narrowedInto<Cs::MapSystem>},
        {"Sandbox Survey 3D", Cs::SeismicBinGridSystem::_PD_repoId,
         narrowedInto<Cs::SeismicBinGridSystem>},
    };
    for (const auto& kind : kinds) {
        Cs::System_var system = platform.system(kind.name);
        ASSERT_TRUE(system->_is_a(kind.id)) << kind.name;
        Cs::System_var out = Coordinate::extract(kind.insert(system.in()));
        EXPECT_TRUE(!CORBA::is_nil(out) && out->_is_equivalent(system.in())) << kind.name;
    }
    Cs::System_var plain = platform.system("EPSG:4326");
    CORBA::Any asSystem;
    asSystem <<= Cs::System::_duplicate(plain.in());
    EXPECT_TRUE(Cs::System_var(Coordinate::extract(asSystem))->_is_equivalent(plain.in()));
    CORBA::Any number;
    number <<= 1.5;
    EXPECT_TRUE(CORBA::is_nil(Cs::System_var(Coordinate::extract(number))));
    CORBA::Any nilSystem;
    nilSystem <<= Cs::MapSystem::_nil();
    EXPECT_TRUE(CORBA::is_nil(Cs::System_var(Coordinate::extract(nilSystem))));
}

TEST(Coordinate, GridSystemsLieOnTheirParent) {
    hvc_test::MeasurePlatform platform;
    Cs::System_var survey = platform.system("Sandbox Survey 3D");
    Cs::System_var ijk = platform.system("Sandbox Field IJK");
    Cs::System_var utm = platform.system("EPSG:32631");
    // The first inline and crossline sit on the origin; the next crossline
    // one crossline step away.
    Cs::Coordinate first = Coordinate::applyTransformation(
        Coordinate::makeCoordinate(1000, 2000, 8, survey.in()), utm);
    EXPECT_NEAR(first.point.x, 631000, 1e-6);
    EXPECT_NEAR(first.point.y, 5756000, 1e-6);
    EXPECT_EQ(first.point.z, 8);
    Cs::Coordinate next = Coordinate::applyTransformation(
        Coordinate::makeCoordinate(1000, 2001, 0, survey.in()), utm);
    EXPECT_NEAR(next.point.x, 631000 - 6.25, 1e-6);
    EXPECT_NEAR(next.point.y, 5756000 + 10.825317547305483, 1e-6);
    // From one grid into the other through their parent, and back.
    Cs::Coordinate inIjk = Coordinate::applyTransformation(
        Coordinate::makeCoordinate(1010, 2020, 0, survey.in()), ijk);
    Cs::Coordinate back = Coordinate::applyTransformation(inIjk, survey);
    EXPECT_NEAR(back.point.x, 1010, 1e-9);
    EXPECT_NEAR(back.point.y, 2020, 1e-9);

    Cs::IJKSystem_var asIjk = Cs::IJKSystem::_narrow(ijk.in());
    EXPECT_TRUE(Cs::System_var(asIjk->getParentSystem())->_is_equivalent(utm.in()));
    CORBA::String_var axis = survey->getAxisName(2);
    EXPECT_STREQ(axis.in(), EpCoordinateService::XLINE);
    Cs::ParameterSeq_var parameters = survey->getParameters();
    const std::string text = Coordinate::toString(parameters.in()).getValue();
    EXPECT_EQ(text.rfind("kind\t= 'SeismicBinGrid', parent\t= 'EPSG:32631', firstInline\t= 1000, "
                         "firstCrossline\t= 2000, originx\t= 6.310000e+05, ",
                         0),
              0u)
        << text;
}

TEST(Coordinate, AxesAndEqualityOfSystems) {
    hvc_test::MeasurePlatform platform;
    struct Expected {
        const char* system;
        short axis;
        const char* name;
        const char* unit;
    };
    for (const Expected& e :
         {Expected{"EPSG:4326", 1, "Geodetic longitude", "dega"},
          Expected{"EPSG:4326", 2, "Geodetic latitude", "dega"},
          Expected{"EPSG:4326", 3, "Height", "m"}, Expected{"EPSG:32631", 1, "Easting", "m"},
          Expected{"EPSG:2263", 2, "Northing", "ftUS"},
          Expected{"EPSG:4978", 3, "Geocentric Z", "m"}}) {
        Cs::System_var s = platform.system(e.system);
        CORBA::String_var name = s->getAxisName(e.axis);
        EpUnitOfMeasureService::Unit_var unit = s->getAxisUnit(e.axis);
        CORBA::String_var acronym = unit->acronym();
        EXPECT_STREQ(name.in(), e.name) << e.system << " " << e.axis;
        EXPECT_STREQ(acronym.in(), e.unit) << e.system << " " << e.axis;
    }
    Cs::System_var lonLat = platform.system("EPSG:4326");
    EXPECT_EQ(hvc_test::reasonOf<EpTypes::BadArgumentsException>(
                  [&] { CORBA::string_free(lonLat->getAxisName(4)); }),
              "axis 4: the axes are numbered 1, 2 and 3");
    Cs::System_var same = platform.coordinates().createSystem(
        "WGS 84 again", "GEOGCRS[\"WGS 84\",DATUM[\"World Geodetic System 1984\",ELLIPSOID[\"WGS "
                        "84\",6378137,298.257223563]],CS[ellipsoidal,2],AXIS[\"latitude\",north,"
                        "ANGLEUNIT[\"degree\",0.0174532925199433]],AXIS[\"longitude\",east,"
                        "ANGLEUNIT[\"degree\",0.0174532925199433]]]");
    EXPECT_TRUE(lonLat->isEqual(same.in()));
    EXPECT_FALSE(lonLat->isIdentical(same.in()));
    EXPECT_FALSE(lonLat->isEqual(Cs::System_var(platform.system("EPSG:32631"))));
    Cs::Finder_var finder = Coordinate::getFinder();
    EXPECT_EQ(hvc_test::reasonOf<EpTypes::BadArgumentsException>(
                  [&] { return finder->findSystem("EPSG:5703"); }),
              "'EPSG:5703' is not a geographic, projected or geocentric system");
}

TEST(Coordinate, SemiMinorAxisAndParameterText) {
    Cs::Ellipsoid e;
    e.semiMajorAxis = 100;
    e.inverseFlattening = 4;
    EXPECT_DOUBLE_EQ(Coordinate::getSemiMinorAxis(e), 75);
    e.inverseFlattening = 1;
    EXPECT_EQ(Coordinate::getSemiMinorAxis(e), 0);
    e.inverseFlattening = 0; // a sphere
    EXPECT_EQ(Coordinate::getSemiMinorAxis(e), 100);

    Cs::ParameterSeq p;
    EXPECT_STREQ(Coordinate::toString(p).getValue(), "");
    p.length(3);
    p[0].name = "N";
    p[0].value.longValue(3);
    p[1].name = "S";
    p[1].value.stringValue("abc");
    p[2].name = "D";
    p[2].value.doubleValue(0.5);
    EXPECT_STREQ(Coordinate::toString(p).getValue(), "N\t= 3, S\t= 'abc', D\t= 5.000000e-01");
}

TEST(Coordinate, SimilarEllipsoidsAreIdentifiedWhenUnique) {
    hvc_test::MeasurePlatform platform;
    Coordinate c;
    // GRS80 lies a tenth of a millimetre from WGS 84: the same shape.
    Cs::Ellipsoid wgs = c.getSimilarEllipsoid(6378137, 6356752.314245);
    EXPECT_STREQ(wgs.name.in(), "WGS84");
    EXPECT_EQ(wgs.inverseFlattening, 298.257223563);
    Cs::Ellipsoid clarke = c.getSimilarEllipsoid(6378206.4, 6356583.8);
    EXPECT_STREQ(clarke.name.in(), "clrk66");
    EXPECT_STREQ(clarke.description.in(), "Clarke 1866");
    // Within the tolerance of a metre.
    EXPECT_STREQ(c.getSimilarEllipsoid(6378206.0, 6356584.5).name.in(), "clrk66");
    const int fetched = platform.coordinates().ellipsoidLookups();

    hvc_test::StderrCapture err;
    const std::string text = "Unable to uniquely identify the requested  1.000000 X  1.000000 "
                             "ellipsoid";
    EXPECT_EQ(hvc_test::reasonOf([&] { c.getSimilarEllipsoid(1, 1); }), text);
    EXPECT_EQ(err.text(), text + "\n");
    // The catalogue was fetched once.
    EXPECT_EQ(platform.coordinates().ellipsoidLookups(), fetched);
}

TEST(Coordinate, AnEllipsoidCatalogueThatFailsPartWayIsFetchedAgain) {
    hvc_test::MeasurePlatform platform;
    platform.coordinates().failEllipsoidLookup(3);
    Coordinate c;
    EXPECT_EQ(hvc_test::reasonOf([&] { c.getSimilarEllipsoid(6378137, 6356752.314245); }),
              "Error in Coordinate Service: Valid name not recognized.");
    const int first = platform.coordinates().ellipsoidLookups();
    EXPECT_EQ(first, 4);
    EXPECT_STREQ(c.getSimilarEllipsoid(6378137, 6356752.314245).name.in(), "WGS84");
    EXPECT_GT(platform.coordinates().ellipsoidLookups(), first + 40);
}

TEST(Coordinate, AnswersOfAnotherLengthAreNoTransformation) {
    hvc_test::MeasurePlatform platform;
    // A service that answers with one point more than it was given.
    hvc_test::System served("miscounting");
    served.servant->extraPoints = 1;
    const Cs::System_ptr miscounting = served.ref.in();
    Cs::System_var utm = platform.system("EPSG:32631");

    EXPECT_EQ(hvc_test::reasonOf([&] {
                  Coordinate::applyTransformation(Coordinate::makeCoordinate(1, 2, 3, miscounting),
                                                  utm);
              }),
              "Error applying transformation.");
    EXPECT_EQ(
        hvc_test::reasonOf([&] { Coordinate::applyTransformation(pointsIn(miscounting, 3), utm); }),
        "Error applying transformation.");
}
