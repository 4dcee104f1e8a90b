#include "sandbox/converters/DataTypeConversion.h"

#include "support/Failures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using hvc_sandbox::DataTypeConversion;

namespace {

EpTypes::DataValue valueOf(EpTypes::DataType type, double x) {
    EpTypes::DataValue v;
    switch (type) {
    case 0:
        v.ubyteValue(static_cast<CORBA::Octet>(x));
        break;
    case 1:
        v.shortValue(static_cast<CORBA::Short>(x));
        break;
    case 2:
        v.longValue(static_cast<CORBA::Long>(x));
        break;
    case 3:
        v.floatValue(static_cast<CORBA::Float>(x));
        break;
    case 4:
        v.doubleValue(x);
        break;
    default:
        v.charValue(static_cast<CORBA::Char>(static_cast<signed char>(x)));
        break;
    }
    return v;
}

double number(const EpTypes::DataValue& v) {
    switch (v._d()) {
    case 0:
        return v.ubyteValue();
    case 1:
        return v.shortValue();
    case 2:
        return v.longValue();
    case 3:
        return v.floatValue();
    case 4:
        return v.doubleValue();
    default:
        return static_cast<signed char>(v.charValue());
    }
}

std::string refusal(const DataTypeConversion& c, const EpTypes::DataValue& v,
                    EpTypes::DataType to) {
    return hvc_test::reasonOf<EpTypes::InvalidDataTypeException>([&] { c.value(v, to); });
}

} // namespace

TEST(DataTypeConversion, EveryPairOfDataTypesCarriesASmallNumber) {
    const DataTypeConversion plain;
    for (EpTypes::DataType from = 0; from <= 5; ++from)
        for (EpTypes::DataType to = 0; to <= 5; ++to) {
            const EpTypes::DataValue out = plain.value(valueOf(from, 100), to);
            EXPECT_EQ(out._d(), to);
            EXPECT_EQ(number(out), 100) << from << " -> " << to;
        }
}

TEST(DataTypeConversion, IntegersRoundHalfAwayFromZeroAndStayInRange) {
    const DataTypeConversion plain;
    EXPECT_EQ(number(plain.value(valueOf(4, 2.5), 2)), 3);
    EXPECT_EQ(number(plain.value(valueOf(4, -2.5), 1)), -3);
    EXPECT_EQ(number(plain.value(valueOf(3, 254.5f), 0)), 255);
    EXPECT_EQ(number(plain.value(valueOf(1, -128), 5)), -128);
    EXPECT_EQ(refusal(plain, valueOf(4, 255.5), 0), "255.5 is out of the octet range");
    EXPECT_EQ(refusal(plain, valueOf(1, 128), 5), "128 is out of the char range");
    EXPECT_EQ(refusal(plain, valueOf(4, -0.5), 0), "-0.5 is out of the octet range");
    EXPECT_EQ(refusal(plain, valueOf(4, std::nan("")), 2), "NaN has no long value");
    EXPECT_EQ(refusal(plain, valueOf(4, 1e39), 3), "1e+39 is out of the float range");
    EXPECT_TRUE(std::isinf(number(plain.value(valueOf(4, HUGE_VAL), 3))));
    EXPECT_EQ(refusal(plain, valueOf(4, 1), 6), "unknown data type 6");
}

TEST(DataTypeConversion, ScalingPacksRealsIntoIntegersAndBack) {
    const DataTypeConversion scaled(0.5, 100); // real = 100 + 0.5 * packed
    EXPECT_EQ(number(scaled.value(valueOf(1, 10), 4)), 105);
    EXPECT_EQ(number(scaled.value(valueOf(4, 105), 1)), 10);
    EXPECT_EQ(number(scaled.value(valueOf(4, 105.3), 2)), 11); // 10.6 rounds up
    // Reals among themselves and integers among themselves are not scaled.
    EXPECT_EQ(number(scaled.value(valueOf(3, 7), 4)), 7);
    EXPECT_EQ(number(scaled.value(valueOf(0, 7), 2)), 7);
}

TEST(DataTypeConversion, SequencesConvertElementByElement) {
    const DataTypeConversion plain;
    EpTypes::DataSequence in;
    DosTypes::FloatSeq floats;
    floats.length(3);
    floats[0] = 1.5f;
    floats[1] = -1.5f;
    floats[2] = 40000.0f;
    in.floatValues(floats);
    EpTypes::DataSequence_var longs = plain.sequence(in, EpTypes::DATA_TYPE_LONG);
    ASSERT_EQ(longs->_d(), EpTypes::DATA_TYPE_LONG);
    ASSERT_EQ(longs->longValues().length(), 3u);
    EXPECT_EQ(longs->longValues()[0], 2);
    EXPECT_EQ(longs->longValues()[1], -2);
    try {
        EpTypes::DataSequence_var shorts = plain.sequence(in, EpTypes::DATA_TYPE_SHORT);
        ADD_FAILURE() << "40000 became a short";
    } catch (const EpTypes::InvalidDataTypeException& e) {
        EXPECT_STREQ(e.reason.in(), "element 2: 40000 is out of the short range");
    }
    DosTypes::CharSeq chars;
    chars.length(2);
    chars[0] = static_cast<CORBA::Char>(-5);
    chars[1] = 'A';
    in.charValues(chars);
    EpTypes::DataSequence_var doubles = plain.sequence(in, EpTypes::DATA_TYPE_DOUBLE);
    EXPECT_EQ(doubles->doubleValues()[0], -5);
    EXPECT_EQ(doubles->doubleValues()[1], 65);
    in.doubleValues(DosTypes::DoubleSeq());
    EpTypes::DataSequence_var empty = plain.sequence(in, EpTypes::DATA_TYPE_UBYTE);
    EXPECT_EQ(empty->ubyteValues().length(), 0u);
}
