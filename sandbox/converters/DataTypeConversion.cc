#include "DataTypeConversion.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

namespace hvc_sandbox {

namespace {

using EpTypes::DataType;

bool isReal(DataType t) {
    return t == EpTypes::DATA_TYPE_FLOAT || t == EpTypes::DATA_TYPE_DOUBLE;
}

void checkType(DataType t) {
    if (t < EpTypes::DATA_TYPE_UBYTE || t > EpTypes::DATA_TYPE_CHAR)
        throw EpTypes::InvalidDataTypeException(("unknown data type " + std::to_string(t)).c_str());
}

std::string text(double x) {
    char area[32];
    std::snprintf(area, sizeof area, "%.15g", x);
    return area;
}

const char* typeName(DataType t) {
    static const char* const names[] = {"octet", "short", "long", "float", "double", "char"};
    return names[t];
}

// The number as the target type holds it: rounded half away from zero into an
// integer type's range, within the float range for a float. `where` names
// the value in a refusal.
double fit(double x, DataType to, const std::string& where) {
    if (isReal(to)) {
        if (to == EpTypes::DATA_TYPE_FLOAT && std::isfinite(x) && std::fabs(x) > FLT_MAX)
            throw EpTypes::InvalidDataTypeException(
                (where + text(x) + " is out of the float range").c_str());
        return x;
    }
    static const double low[] = {
        0, -32768, static_cast<double>(std::numeric_limits<CORBA::Long>::min()), 0, 0, -128};
    static const double high[] = {
        255, 32767, static_cast<double>(std::numeric_limits<CORBA::Long>::max()), 0, 0, 127};
    if (std::isnan(x))
        throw EpTypes::InvalidDataTypeException(
            (where + "NaN has no " + typeName(to) + " value").c_str());
    const double r = std::round(x);
    if (r < low[to] || r > high[to])
        throw EpTypes::InvalidDataTypeException(
            (where + text(x) + " is out of the " + typeName(to) + " range").c_str());
    return r;
}

double scaled(double x, DataType from, DataType to, double scale, double offset) {
    if (isReal(from) && !isReal(to))
        return (x - offset) / scale;
    if (!isReal(from) && isReal(to))
        return offset + scale * x;
    return x;
}

template <class Seq> void readInto(const Seq& seq, std::vector<double>& out) {
    out.resize(seq.length());
    for (CORBA::ULong i = 0; i < seq.length(); ++i)
        out[i] = static_cast<double>(seq[i]);
}

template <class Seq, class T> Seq sequenceOf(const std::vector<double>& xs) {
    Seq seq;
    seq.length(static_cast<CORBA::ULong>(xs.size()));
    for (CORBA::ULong i = 0; i < seq.length(); ++i)
        seq[i] = static_cast<T>(xs[i]);
    return seq;
}

} // namespace

EpTypes::DataValue DataTypeConversion::value(const EpTypes::DataValue& in, DataType to) const {
    checkType(to);
    const DataType from = in._d();
    checkType(from);
    double x = 0;
    switch (from) {
    case EpTypes::DATA_TYPE_UBYTE:
        x = in.ubyteValue();
        break;
    case EpTypes::DATA_TYPE_SHORT:
        x = in.shortValue();
        break;
    case EpTypes::DATA_TYPE_LONG:
        x = in.longValue();
        break;
    case EpTypes::DATA_TYPE_FLOAT:
        x = in.floatValue();
        break;
    case EpTypes::DATA_TYPE_DOUBLE:
        x = in.doubleValue();
        break;
    default:
        x = static_cast<signed char>(in.charValue());
        break;
    }
    const double v = fit(scaled(x, from, to, scale, offset), to, "");
    EpTypes::DataValue out;
    switch (to) {
    case EpTypes::DATA_TYPE_UBYTE:
        out.ubyteValue(static_cast<CORBA::Octet>(v));
        break;
    case EpTypes::DATA_TYPE_SHORT:
        out.shortValue(static_cast<CORBA::Short>(v));
        break;
    case EpTypes::DATA_TYPE_LONG:
        out.longValue(static_cast<CORBA::Long>(v));
        break;
    case EpTypes::DATA_TYPE_FLOAT:
        out.floatValue(static_cast<CORBA::Float>(v));
        break;
    case EpTypes::DATA_TYPE_DOUBLE:
        out.doubleValue(v);
        break;
    default:
        out.charValue(static_cast<CORBA::Char>(static_cast<signed char>(v)));
        break;
    }
    return out;
}

EpTypes::DataSequence* DataTypeConversion::sequence(const EpTypes::DataSequence& in,
                                                    DataType to) const {
    checkType(to);
    const DataType from = in._d();
    checkType(from);
    std::vector<double> xs;
    switch (from) {
    case EpTypes::DATA_TYPE_UBYTE:
        readInto(in.ubyteValues(), xs);
        break;
    case EpTypes::DATA_TYPE_SHORT:
        readInto(in.shortValues(), xs);
        break;
    case EpTypes::DATA_TYPE_LONG:
        readInto(in.longValues(), xs);
        break;
    case EpTypes::DATA_TYPE_FLOAT:
        readInto(in.floatValues(), xs);
        break;
    case EpTypes::DATA_TYPE_DOUBLE:
        readInto(in.doubleValues(), xs);
        break;
    default: {
        const DosTypes::CharSeq& chars = in.charValues();
        xs.resize(chars.length());
        for (CORBA::ULong i = 0; i < chars.length(); ++i)
            xs[i] = static_cast<signed char>(chars[i]);
        break;
    }
    }
    for (std::size_t i = 0; i < xs.size(); ++i)
        xs[i] =
            fit(scaled(xs[i], from, to, scale, offset), to, "element " + std::to_string(i) + ": ");
    EpTypes::DataSequence_var out = new EpTypes::DataSequence;
    switch (to) {
    case EpTypes::DATA_TYPE_UBYTE:
        out->ubyteValues(sequenceOf<DosTypes::OctetSeq, CORBA::Octet>(xs));
        break;
    case EpTypes::DATA_TYPE_SHORT:
        out->shortValues(sequenceOf<DosTypes::ShortSeq, CORBA::Short>(xs));
        break;
    case EpTypes::DATA_TYPE_LONG:
        out->longValues(sequenceOf<DosTypes::LongSeq, CORBA::Long>(xs));
        break;
    case EpTypes::DATA_TYPE_FLOAT:
        out->floatValues(sequenceOf<DosTypes::FloatSeq, CORBA::Float>(xs));
        break;
    case EpTypes::DATA_TYPE_DOUBLE:
        out->doubleValues(sequenceOf<DosTypes::DoubleSeq, CORBA::Double>(xs));
        break;
    default: {
        DosTypes::CharSeq chars;
        chars.length(static_cast<CORBA::ULong>(xs.size()));
        for (CORBA::ULong i = 0; i < chars.length(); ++i)
            chars[i] = static_cast<CORBA::Char>(static_cast<signed char>(xs[i]));
        out->charValues(chars);
        break;
    }
    }
    return out._retn();
}

} // namespace hvc_sandbox
