#include "hvc_util/Types.h"

#include "LabelServants.h"
#include "bindings/Orb.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using hvc_test::StderrCapture;
using hvc_util::Types;

namespace {

template <class T> std::string anyText(const T& value) {
    CORBA::Any any;
    any <<= value;
    return Types::toString(any).getValue();
}

template <class... T> std::string shown(const T&... values) {
    return Types::toString(values...).getValue();
}

EpTypes::DataValue doubleValue(double d) {
    EpTypes::DataValue v;
    v.doubleValue(d);
    return v;
}

// Structure members take over the references they are given, hence the
// duplicates.
EpiTypes::DataQuantity quantityOf(double d, EpUnitOfMeasureService::Unit_ptr unit) {
    EpiTypes::DataQuantity q;
    q.value = doubleValue(d);
    q.unit = EpUnitOfMeasureService::Unit::_duplicate(unit);
    return q;
}

EpCoordinateService::Coordinate coordinateOf(EpCoordinateService::System_ptr system) {
    EpCoordinateService::Coordinate c;
    c.system = EpCoordinateService::System::_duplicate(system);
    c.point.x = 1;
    c.point.y = 2;
    c.point.z = 3;
    return c;
}

EpiTypes::CoordinateAngle angleOf(EpCoordinateService::System_ptr system,
                                  EpUnitOfMeasureService::Angular_ptr unit) {
    EpiTypes::CoordinateAngle a;
    a.value = 45;
    a.system = EpCoordinateService::System::_duplicate(system);
    a.referenceAxis = EpiTypes::COORD_AXIS_2;
    a.unit = EpUnitOfMeasureService::Angular::_duplicate(unit);
    return a;
}

template <class Extent>
Extent extentOf(float first, float second, EpUnitOfMeasureService::Unit_ptr unit) {
    Extent e{first, second, {}};
    e.unit = EpUnitOfMeasureService::Unit::_duplicate(unit);
    return e;
}

CosPropertyService::Properties properties(const CORBA::Any& colour, const CORBA::Any& size) {
    CosPropertyService::Properties p;
    p.length(2);
    p[0].property_name = "colour";
    p[0].property_value = colour;
    p[1].property_name = "size";
    p[1].property_value = size;
    return p;
}

std::string percentF(double d) {
    char area[400];
    std::snprintf(area, sizeof area, "%f", d);
    return area;
}

// Values holding texts are copied by marshalling, which needs the ORB.
class TypesTest : public ::testing::Test {
protected:
    void SetUp() override { orb = hvc_util::Orb::init(); }
    CORBA::ORB_var orb;
};

} // namespace

TEST_F(TypesTest, AnyKindsWithATextAndTheirNumbers) {
    StderrCapture capture;
    EXPECT_EQ(anyText("hello"), "hello");
    EXPECT_EQ(anyText(static_cast<CORBA::ULong>(4000000000u)), "4000000000");
    EXPECT_EQ(anyText(static_cast<CORBA::Long>(-2147483647 - 1)), "-2147483648");
    EXPECT_EQ(anyText(static_cast<CORBA::LongLong>(5000000000LL)), "5000000000");
    EXPECT_EQ(anyText(static_cast<CORBA::LongLong>(-5000000000LL)), "-5000000000");
    EXPECT_EQ(anyText(static_cast<CORBA::ULongLong>(18446744073709551615ULL)),
              "18446744073709551615");
    EXPECT_EQ(anyText(CORBA::Any::from_boolean(true)), "yes");
    EXPECT_EQ(anyText(CORBA::Any::from_boolean(false)), "no");
    EXPECT_EQ(anyText(static_cast<CORBA::Float>(0.5f)), "0.500000");
    // Nothing cut: a float's "%f" text can run to 46 characters.
    EXPECT_EQ(anyText(static_cast<CORBA::Float>(3.0e38f)), percentF(3.0e38f));
    EXPECT_EQ(anyText(EpiTypes::COORD_AXIS_2), "COORD_AXIS_2");
    EXPECT_EQ(shown(CORBA::Any()), "");

    CORBA::Object_var obj = orb->string_to_object("corbaloc::127.0.0.1:1/Unit");
    EpUnitOfMeasureService::Unit_var unit = EpUnitOfMeasureService::Unit::_unchecked_narrow(obj);
    CORBA::String_var ior = orb->object_to_string(unit);
    EXPECT_EQ(anyText(unit.in()), ior.in());
    EXPECT_EQ(capture.text(), "");
}

TEST_F(TypesTest, KindsWithoutATextWriteTheirNumber) {
    StderrCapture capture;
    CORBA::Any inner;
    EXPECT_EQ(anyText(0.5), "");
    EXPECT_EQ(anyText(static_cast<CORBA::Short>(1)), "");
    EXPECT_EQ(anyText(CORBA::Any::from_char('c')), "");
    EXPECT_EQ(anyText(CORBA::Any::from_octet(1)), "");
    EXPECT_EQ(anyText(inner), "");
    EXPECT_EQ(anyText(CORBA::_tc_long), "");
    EXPECT_EQ(capture.text(), "7 is an unsupported TCKind\n"
                              "2 is an unsupported TCKind\n"
                              "9 is an unsupported TCKind\n"
                              "10 is an unsupported TCKind\n"
                              "11 is an unsupported TCKind\n"
                              "12 is an unsupported TCKind\n");
}

// The platform's sequences are typedefs: their Any says alias, and what is
// under it decides.
TEST_F(TypesTest, AliasedAndBareSequencesReachTheirFormatters) {
    StderrCapture capture;
    DosTypes::StringSeq names;
    names.length(2);
    names[0] = "a";
    names[1] = "b";
    EXPECT_EQ(anyText(names), "[\"a\",\"b\"]");
    CORBA::StringSeq bare;
    bare.length(1);
    bare[0] = "c";
    EXPECT_EQ(anyText(bare), "[\"c\"]");
    EXPECT_EQ(anyText(DosTypes::StringSeq()), "[]");

    CORBA::Any red;
    red <<= "red";
    CORBA::Any five;
    five <<= static_cast<CORBA::Long>(5);
    EXPECT_EQ(anyText(properties(red, five)), "colour red\nsize 5\n");
    EXPECT_EQ(anyText(properties(red, five)[0]), "red");

    DosTypes::LongSeq numbers;
    numbers.length(2);
    EXPECT_EQ(anyText(numbers), "");
    EXPECT_EQ(capture.text(), "");
}

TEST_F(TypesTest, StructuresAndUnionsAreDispatchedByTheirTypeCode) {
    StderrCapture capture;
    EpTypes::Point point{1, 2, 3};
    EXPECT_EQ(anyText(point), "");

    EXPECT_EQ(anyText(doubleValue(0.5)), "0.5");
    // Another union is read as a data value, which it is not.
    EpCoordinateService::ParameterValue parameter;
    parameter.doubleValue(0.5);
    EXPECT_EQ(anyText(parameter), "");

    using Axes = EpPlanarGeometry::EllipticCylinder::Axes;
    EXPECT_EQ(anyText(extentOf<Axes>(1.5f, 2.0f, EpUnitOfMeasureService::Unit::_nil())), "unset");
    EXPECT_EQ(anyText(quantityOf(2.5, EpUnitOfMeasureService::Unit::_nil())), "2.5 ");
    EXPECT_EQ(anyText(coordinateOf(EpCoordinateService::System::_nil())),
              "NullSystem  1.000000     2.000000     3.000000 ");
    EXPECT_EQ(capture.text(), "Point not supported\n");
}

TEST_F(TypesTest, DataValuesOfEachDiscriminator) {
    EpTypes::DataValue v;
    v.ubyteValue(200);
    EXPECT_EQ(shown(v), "200");
    v.shortValue(-3);
    EXPECT_EQ(shown(v), "-3");
    v.longValue(-2147483647 - 1);
    EXPECT_EQ(shown(v), "-2147483648");
    v.floatValue(0.5f);
    EXPECT_EQ(shown(v), "0.500000");
    v.floatValue(3.0e38f);
    EXPECT_EQ(shown(v), percentF(3.0e38f));
    v.doubleValue(0.5);
    EXPECT_EQ(shown(v), "0.5");
    v.charValue(static_cast<CORBA::Char>(0xFF));
    EXPECT_EQ(shown(v), "-1");
    EXPECT_EQ(anyText(v), "-1");
    EXPECT_EQ(shown(EpTypes::DataValue()), "");
}

TEST_F(TypesTest, StringLists) {
    const char* ab[] = {"a", "b"};
    EXPECT_EQ(shown(ab, 2), "[\"a\",\"b\"]");
    EXPECT_EQ(shown(ab, 0), "[]");
    EXPECT_EQ(shown(ab, -1), "[]");
    EXPECT_EQ(shown(static_cast<const char* const*>(nullptr), 2), "[]");
    const char* withNull[] = {"a", nullptr, ""};
    EXPECT_EQ(shown(withNull, 3), "[\"a\",\"\",\"\"]");
    DosTypes::StringSeq one;
    one.length(1);
    EXPECT_EQ(shown(one), "[\"\"]");
}

TEST_F(TypesTest, TypeCodeTexts) {
    auto tc = [](CORBA::TypeCode_ptr t) {
        CORBA::TypeCode_var owned = t;
        return shown(owned.in());
    };
    EXPECT_EQ(tc(orb->create_string_tc(10)), "string<10>");
    EXPECT_EQ(tc(orb->create_string_tc(4000000000u)), "string<4000000000>");
    EXPECT_EQ(tc(CORBA::TypeCode::_duplicate(CORBA::_tc_string)), "string");
    EXPECT_EQ(tc(orb->create_sequence_tc(0, CORBA::_tc_long)), "sequence<long>");
    EXPECT_EQ(tc(orb->create_sequence_tc(5, CORBA::_tc_long)), "sequence<long,5>");
    EXPECT_EQ(tc(orb->create_sequence_tc(0, EpTypes::_tc_Point)), "sequence<struct>");
    EXPECT_EQ(tc(orb->create_array_tc(3, CORBA::_tc_double)), "double[3]");
    EXPECT_EQ(tc(CORBA::TypeCode::_duplicate(DosTypes::_tc_StringSeq)), "StringSeq");
    EXPECT_EQ(tc(CORBA::TypeCode::_duplicate(EpTypes::_tc_DataValue)), "DataValue");
    EXPECT_EQ(tc(CORBA::TypeCode::_duplicate(EpTypes::_tc_BadRangeException)), "BadRangeException");
    EXPECT_EQ(tc(CORBA::TypeCode::_duplicate(CORBA::_tc_null)), "null");
    EXPECT_EQ(tc(CORBA::TypeCode::_duplicate(CORBA::_tc_longlong)), "<invalid>");
    EXPECT_EQ(shown(static_cast<CORBA::TypeCode_ptr>(nullptr)), "<null>");
    EXPECT_EQ(shown(CORBA::TypeCode::_nil()), "<null>");
}

TEST_F(TypesTest, QuantitiesTakeTheFirstNonEmptyLabel) {
    hvc_test::Unit metre("m", "metre");
    hvc_test::Unit nameOnly("", "metre");
    EXPECT_EQ(shown(quantityOf(2.5, metre.ref.in())), "2.5 m");
    EpiTypes::DataQuantity named = quantityOf(2.5, nameOnly.ref.in());
    EXPECT_EQ(shown(named), "2.5 metre");
    EXPECT_EQ(anyText(named), "2.5 metre");
    EXPECT_EQ(shown(&named), "2.5 metre");
    EXPECT_EQ(shown(static_cast<const EpiTypes::DataQuantity*>(nullptr)), "<null>");

    StderrCapture capture;
    metre.servant->undecodable = true;
    EXPECT_EQ(shown(quantityOf(2.5, metre.ref.in())), "2.5 ");
    nameOnly.kill();
    EXPECT_EQ(shown(named), "2.5 ");
    EXPECT_EQ(capture.text(), "can't decode\n");
}

TEST_F(TypesTest, CoordinatesWithAndWithoutASystem) {
    hvc_test::Unit metre("m", "metre");
    hvc_test::Unit foot("ft", "foot");
    hvc_test::System utm("UTM31");
    utm.servant->units[0] = EpUnitOfMeasureService::Unit::_duplicate(metre.ref.in());
    utm.servant->units[1] = EpUnitOfMeasureService::Unit::_duplicate(metre.ref.in());
    utm.servant->units[2] = EpUnitOfMeasureService::Unit::_duplicate(foot.ref.in());
    EpCoordinateService::Coordinate c = coordinateOf(utm.ref.in());
    EXPECT_EQ(shown(c), "UTM31  1.000000 m    2.000000 m    3.000000 ft");
    EXPECT_EQ(anyText(c), "UTM31  1.000000 m    2.000000 m    3.000000 ft");
    EpCoordinateService::Coordinate none = coordinateOf(EpCoordinateService::System::_nil());
    EXPECT_EQ(shown(none), "NullSystem  1.000000     2.000000     3.000000 ");
    none.point.x = 1e30;
    EXPECT_EQ(shown(none), "NullSystem  " + percentF(1e30) + "     2.000000     3.000000 ");

    StderrCapture capture;
    utm.servant->refusedAxis = 3;
    EXPECT_EQ(shown(c), "UTM31  1.000000 m    2.000000 m    3.000000 ");
    foot.kill();
    utm.servant->refusedAxis = 0;
    EXPECT_EQ(shown(c), "UTM31  1.000000 m    2.000000 m    3.000000 ");
    utm.kill();
    EXPECT_EQ(shown(c), "  1.000000     2.000000     3.000000 ");
    EXPECT_EQ(capture.text(), "Exception caught while getting coord unit: "
                              "EpTypes::BadArgumentsException: no such axis\n");
}

TEST_F(TypesTest, AnglesAndExtentsNeedTheirUnit) {
    hvc_test::Unit degree("deg", "degree");
    hvc_test::System utm("UTM31");
    EpiTypes::CoordinateAngle angle = angleOf(utm.ref.in(), degree.ref.in());
    EXPECT_EQ(shown(angle), "UTM31 45 deg COORD_AXIS_2\n");
    EXPECT_EQ(anyText(angle), "UTM31 45 deg COORD_AXIS_2\n");
    EXPECT_EQ(shown(angleOf(utm.ref.in(), EpUnitOfMeasureService::Angular::_nil())), "unset");
    EXPECT_EQ(shown(angleOf(EpCoordinateService::System::_nil(), degree.ref.in())), "unset");

    auto axes = extentOf<EpPlanarGeometry::EllipticCylinder::Axes>(1.5f, 2.0f, degree.ref.in());
    EXPECT_EQ(shown(axes), " 1.500000 2.000000 deg\n");
    EXPECT_EQ(anyText(axes), " 1.500000 2.000000 deg\n");
    auto dims =
        extentOf<EpPlanarGeometry::RectangularPrism::Dimensions>(3.0f, 3.0e38f, degree.ref.in());
    EXPECT_EQ(anyText(dims), " 3.000000 " + percentF(3.0e38f) + " deg\n");
    dims.unit = EpUnitOfMeasureService::Unit::_nil();
    EXPECT_EQ(shown(dims), "unset");
    EXPECT_EQ(anyText(dims), "unset");

    StderrCapture capture;
    degree.kill();
    EXPECT_EQ(shown(angle), "UTM31 45  COORD_AXIS_2\n");
    EXPECT_EQ(shown(axes), " 1.500000 2.000000 \n");
    EXPECT_EQ(capture.text(), "");
}
