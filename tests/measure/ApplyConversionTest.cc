#include "hvc_util/DataQuantity.h"
#include "hvc_util/Trader.h"
#include "hvc_util/UnitOfMeasure.h"

#include "MeasurePlatform.h"
#include "bindings/Environment.h"
#include "support/Failures.h"
#include "support/Served.h"
#include "support/StderrCapture.h"

#include <EpTypesService.hh>
#include <gtest/gtest.h>

#include <string>

using hvc_util::DataQuantity;
using hvc_util::UnitOfMeasure;
namespace Uom = EpUnitOfMeasureService;

namespace {

std::string acronymOf(Uom::Unit_ptr unit) {
    CORBA::String_var text = unit->acronym();
    return text.in();
}

EpiTypes::DataQuantities shorts(std::vector<CORBA::Short> values, Uom::Unit_ptr unit) {
    EpiTypes::DataQuantities q;
    DosTypes::ShortSeq seq;
    seq.length(static_cast<CORBA::ULong>(values.size()));
    for (CORBA::ULong i = 0; i < seq.length(); ++i)
        seq[i] = values[i];
    q.values.shortValues(seq);
    q.unit = Uom::Unit::_duplicate(unit);
    return q;
}

// A converter that answers every sequence with longs, whatever was asked.
class LongsConverter : public POA_EpTypesService::DefaultDataTypeConverter {
public:
    EpTypes::DataValue convertValue(const EpTypes::DataValue& v, EpTypes::DataType) override {
        return v;
    }
    EpTypes::DataSequence* convertSequence(const EpTypes::DataSequence&,
                                           EpTypes::DataType) override {
        auto* out = new EpTypes::DataSequence;
        DosTypes::LongSeq longs;
        longs.length(1);
        longs[0] = 7;
        out->longValues(longs);
        return out;
    }
};

class LongsFactory : public POA_EpTypesService::DefaultDataTypeConverterFactory {
public:
    explicit LongsFactory(EpTypesService::DefaultDataTypeConverter_ptr c)
        : converter(EpTypesService::DefaultDataTypeConverter::_duplicate(c)) {}
    EpTypesService::DefaultDataTypeConverter_ptr createConverter() override {
        return EpTypesService::DefaultDataTypeConverter::_duplicate(converter.in());
    }

private:
    EpTypesService::DefaultDataTypeConverter_var converter;
};

} // namespace

TEST(ApplyConversion, QuantitiesKeepTheirDataTypeAndTakeTheTargetUnit) {
    hvc_test::MeasurePlatform platform;
    platform.offerConverters();
    Uom::Unit_var ft = UnitOfMeasure::getUnit("ft");
    Uom::Unit_var m = UnitOfMeasure::getUnit("m");
    Uom::Unit_var cm = UnitOfMeasure::getUnit("cm");

    EpiTypes::DataQuantity depth = DataQuantity::makeDataQuantity(10.0, ft.in());
    UnitOfMeasure::applyConversion(depth, m.in());
    EXPECT_EQ(depth.value._d(), EpTypes::DATA_TYPE_DOUBLE);
    EXPECT_DOUBLE_EQ(depth.value.doubleValue(), 3.048);
    EXPECT_TRUE(depth.unit->_is_equivalent(m.in()));

    EpiTypes::DataQuantity single = DataQuantity::makeDataQuantity(10.0f, ft.in());
    UnitOfMeasure::applyConversion(single, m.in());
    EXPECT_EQ(single.value._d(), EpTypes::DATA_TYPE_FLOAT);
    EXPECT_EQ(single.value.floatValue(), 3.048f);

    // Equivalent units: nothing changes, not even the unit reference.
    EpiTypes::DataQuantity same = DataQuantity::makeDataQuantity(2.0, m.in());
    Uom::Unit_var metreAgain = UnitOfMeasure::metre();
    UnitOfMeasure::applyConversion(same, metreAgain.in());
    EXPECT_EQ(same.value.doubleValue(), 2.0);
    EXPECT_TRUE(same.unit->_is_equivalent(m.in()));

    // A sequence of shorts in centimetres becomes metres, rounded half away from zero.
    EpiTypes::DataQuantities lengths = shorts({100, 250, -250}, cm.in());
    UnitOfMeasure::applyConversion(lengths, m.in());
    ASSERT_EQ(lengths.values._d(), EpTypes::DATA_TYPE_SHORT);
    EXPECT_EQ(lengths.values.shortValues()[0], 1);
    EXPECT_EQ(lengths.values.shortValues()[1], 3);
    EXPECT_EQ(lengths.values.shortValues()[2], -3);
    EXPECT_EQ(acronymOf(lengths.unit.in()), "m");
}

TEST(ApplyConversion, FailuresLeaveTheQuantityAsItWas) {
    hvc_test::MeasurePlatform platform;
    platform.offerConverters();
    Uom::Unit_var m = UnitOfMeasure::getUnit("m");
    Uom::Unit_var cm = UnitOfMeasure::getUnit("cm");
    Uom::Unit_var s = UnitOfMeasure::getUnit("s");

    // 400 m are 40000 cm, more than a short holds.
    EpiTypes::DataQuantities far = shorts({400}, m.in());
    hvc_test::StderrCapture err;
    EXPECT_EQ(hvc_test::reasonOf<Uom::ConversionException>(
                  [&] { UnitOfMeasure::applyConversion(far, cm.in()); }),
              "Failed to convert dataValue to double.");
    EXPECT_EQ(err.text(), "Failed to convert dataValue to double\n");
    EXPECT_EQ(far.values.shortValues()[0], 400);
    EXPECT_EQ(acronymOf(far.unit.in()), "m");

    EpiTypes::DataQuantity time = DataQuantity::makeDataQuantity(1.0, s.in());
    EXPECT_EQ(hvc_test::reasonOf<Uom::ConversionException>(
                  [&] { UnitOfMeasure::applyConversion(time, m.in()); }),
              "UnitOfMeasure::applyConversion failed, unknown conversion error.");
    EXPECT_EQ(acronymOf(time.unit.in()), "s");
    EXPECT_EQ(time.value.doubleValue(), 1.0);
}

TEST(ApplyConversion, NilUnits) {
    EpiTypes::DataQuantity none = DataQuantity::makeDataQuantity(1.0, Uom::Unit::_nil());
    {
        hvc_test::StderrCapture err;
        UnitOfMeasure::applyConversion(none, Uom::Unit::_nil());
        EXPECT_EQ(err.text(), "No Conversion required\n");
    }
    hvc_test::MeasurePlatform platform;
    Uom::Unit_var m = UnitOfMeasure::getUnit("m");
    hvc_test::StderrCapture err;
    EXPECT_EQ(hvc_test::reasonOf<Uom::ConversionException>(
                  [&] { UnitOfMeasure::applyConversion(none, m.in()); }),
              "hvc_util::UnitOfMeasure.applyConversion: One of the unit in the input is NULL");
    EpiTypes::DataQuantities many = shorts({1}, Uom::Unit::_nil());
    UnitOfMeasure::applyConversion(many, Uom::Unit::_nil()); // silently
    EXPECT_EQ(hvc_test::reasonOf<Uom::ConversionException>(
                  [&] { UnitOfMeasure::applyConversion(many, m.in()); }),
              "UnitOfMeasureUtiltiy.applyconversion: One of the unit is NULL");
    EXPECT_EQ(err.text(),
              "hvc_util::UnitOfMeasure.applyConversion: One of the units is NULL\n"
              "UnitOfMeasurehvc_util::UnitOfMeasure::applyConversion: One of the unit is NULL\n");
}

// The converter's answer is read only as the type it was asked for.
TEST(ApplyConversion, AnAnswerThatIsNoDoubleSequenceIsAFailure) {
    hvc_test::MeasurePlatform platform;
    hvc_test::Served<LongsConverter, EpTypesService::DefaultDataTypeConverter> converter;
    hvc_test::Served<LongsFactory, EpTypesService::DefaultDataTypeConverterFactory> factory(
        converter.ref.in());
    // Offered first, it is the factory the library finds.
    hvc_util::Environment::set(
        hvc_util::Trader::traderLookupEnvironmentVariableName(),
        platform->ior(hvc_test::MeasurePlatform::Service::TraderLookup).c_str());
    CosTrading::PropertySeq properties;
    properties.length(1);
    properties[0].name = "UserName";
    properties[0].value <<= "tester";
    CORBA::String_var offer = hvc_util::Trader::exportObject(
        factory.ref.in(), EpTypesService::_tc_DefaultDataTypeConverterFactory->id(), properties);

    Uom::Unit_var m = UnitOfMeasure::getUnit("m");
    Uom::Unit_var cm = UnitOfMeasure::getUnit("cm");
    EpiTypes::DataQuantities lengths = shorts({100}, cm.in());
    EXPECT_EQ(hvc_test::reasonOf<Uom::ConversionException>(
                  [&] { UnitOfMeasure::applyConversion(lengths, m.in()); }),
              "UnitOfMeasure::applyConversion failed, unknown conversion error.");
    EXPECT_EQ(lengths.values.shortValues()[0], 100);
}
