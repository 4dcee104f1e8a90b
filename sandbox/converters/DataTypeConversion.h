// Numbers from one of the platform's data types into another: what the
// sandbox's data-type converters do.
#pragma once

#include <EpTypes.hh>

namespace hvc_sandbox {

// A conversion with a scale and an offset: a real value y packs into an
// integer x by y = offset + scale * x, so real -> integer computes
// (y - offset) / scale and integer -> real offset + scale * x. Between two
// integer types or two real types the value passes unscaled. The plain
// converter is scale 1, offset 0. Immutable; safe from any thread.
//
// Data types are the discriminators of DataValue and DataSequence: 0 octet,
// 1 short, 2 long, 3 float, 4 double, 5 char read as a signed 8-bit number.
// Integer targets round half away from zero. EpTypes::InvalidDataTypeException
// is raised for an unknown data type, an integer target out of range or
// NaN, and a finite value beyond the float range for a float target.
class DataTypeConversion {
public:
    explicit DataTypeConversion(double scale = 1, double offset = 0)
        : scale(scale), offset(offset) {}

    EpTypes::DataValue value(const EpTypes::DataValue& in, EpTypes::DataType to) const;
    // A new sequence of the same length, owned by the caller.
    EpTypes::DataSequence* sequence(const EpTypes::DataSequence& in, EpTypes::DataType to) const;

private:
    double scale;
    double offset;
};

} // namespace hvc_sandbox
