#include <hvc_util/Types.h>

#include "bindings/Diagnostics.h"
#include "bindings/Orb.h"
#include "bindings/private/AnyValues.h"

#include <cstdio>
#include <cstring>
#include <type_traits>

namespace hvc_util {

namespace {

const char* const yes = "yes";
const char* const no = "no";
const char* const blank = " ";
const char* const endOfLine = "\n";
const char* const nullText = "<null>";
const char* const unset = "unset";
const char* const nullSystem = "NullSystem  ";
const char* const afterSystem = "  ";
const char* const betweenAxes = "    ";
const char* const axisNames[] = {"COORD_AXIS_1", "COORD_AXIS_2", "COORD_AXIS_3"};

// "%g", "%lld" and "%llu" texts are at most 24 characters, so a small area
// holds every one of them.
template <class T> String& appendFormatted(String& text, const char* format, T number) {
    char area[32];
    std::snprintf(area, sizeof area, format, number);
    return text << area;
}

String& appendG(String& text, double number) {
    return appendFormatted(text, "%g", number);
}

// The number `value` holds as a `T`, shown as a `Shown`: through String's
// own formatting, or `format` for the 64-bit integers it has none for. The
// empty text when the value holds no `T`.
template <class T, class Shown>
String numberText(const CORBA::Any& value, const char* format = nullptr) {
    T n{};
    String text;
    if (!(value >>= n))
        return text;
    if constexpr (std::is_integral_v<Shown> && sizeof(Shown) > sizeof(int))
        return appendFormatted(text, format, static_cast<Shown>(n));
    else
        return text << static_cast<Shown>(n);
}

// The first non-empty of the unit's acronym and name; the empty text for a
// nil unit. Raises what the unit's server raises.
String unitLabel(EpUnitOfMeasureService::Unit_ptr unit) {
    if (CORBA::is_nil(unit))
        return String();
    CORBA::String_var acronym = unit->acronym();
    if (acronym.in() != nullptr && acronym.in()[0] != '\0')
        return String(acronym.in());
    CORBA::String_var name = unit->name();
    return String(name.in());
}

// unitLabel, with an unreachable unit labelled by the empty text.
String quietUnitLabel(EpUnitOfMeasureService::Unit_ptr unit) {
    try {
        return unitLabel(unit);
    } catch (const CORBA::SystemException&) {
        return String();
    }
}

// The system's name; the empty text when its server cannot be reached.
String systemLabel(EpCoordinateService::System_ptr system) {
    try {
        CORBA::String_var name = system->name();
        return String(name.in());
    } catch (const CORBA::SystemException&) {
        return String();
    }
}

// The text of an extent: two lengths and their unit.
String extentText(float first, float second, EpUnitOfMeasureService::Unit_ptr unit) {
    if (CORBA::is_nil(unit))
        return String(unset);
    String text(blank);
    text << static_cast<double>(first) << blank << static_cast<double>(second) << blank
         << quietUnitLabel(unit) << endOfLine;
    return text;
}

// "[", the texts in double quotes separated by ",", "]"; the separator and
// the quotes around it go in as one piece.
template <class At> String stringList(CORBA::ULong count, At at) {
    if (count == 0)
        return String("[]");
    String text("[\"");
    for (CORBA::ULong i = 0; i < count; ++i) {
        if (i > 0)
            text << "\",\"";
        text << at(i);
    }
    text << "\"]";
    return text;
}

// Formats the value of `any` as `T` with `format` when it decodes as `T`,
// otherwise formats a value-initialised `T` (the empty list, the nil unit).
template <class T, class Format>
String decoded(const CORBA::Any& any, CORBA::TypeCode_ptr expected, Format format) {
    const T* value = nullptr;
    if (extractEquivalent(any, expected, value))
        return format(*value);
    return format(T());
}

} // namespace

const char* Types::typeCodeName(CORBA::TCKind kind) {
    static const char* const names[] = {
        "null",    "void", "short",  "long",     "ushort",   "ulong",     "float",  "double",
        "boolean", "char", "octet",  "any",      "TypeCode", "Principal", "objref", "struct",
        "union",   "enum", "string", "sequence", "array",    "alias",     "except"};
    auto index = static_cast<unsigned int>(kind);
    return index < sizeof names / sizeof names[0] ? names[index] : "<invalid>";
}

String Types::toString(const CORBA::Any& value) {
    try {
        CORBA::TypeCode_var declared = value.type();
        CORBA::TypeCode_var type = bareType(declared);
        switch (type->kind()) {
        case CORBA::tk_string:
            return stringAny(value);
        case CORBA::tk_ulong:
            return ulongAny(value);
        case CORBA::tk_long:
            return longAny(value);
        case CORBA::tk_longlong:
            return longlongAny(value);
        case CORBA::tk_ulonglong:
            return ulonglongAny(value);
        case CORBA::tk_boolean:
            return booleanAny(value);
        case CORBA::tk_float:
            return floatAny(value);
        case CORBA::tk_union:
            return dataValueAny(value);
        case CORBA::tk_sequence: {
            CORBA::TypeCode_var content = type->content_type();
            CORBA::TypeCode_var element = bareType(content);
            return element->kind() == CORBA::tk_string ? stringSeqAny(value)
                                                       : propertySeqAny(value);
        }
        case CORBA::tk_enum:
            return enumAny(value);
        case CORBA::tk_struct: {
            const char* name = type->name();
            if (std::strcmp(name, "DataQuantity") == 0)
                return dataQuantityAny(value);
            if (std::strcmp(name, "Coordinate") == 0)
                return coordinateAny(value);
            if (std::strcmp(name, "CoordinateAngle") == 0)
                return coordinateAngleAny(value);
            if (std::strcmp(name, "Axes") == 0)
                return AxesAny(value);
            if (std::strcmp(name, "Dimensions") == 0)
                return DimensionsAny(value);
            if (std::strcmp(name, "Key") == 0)
                return stringAny(value);
            if (std::strcmp(name, "Property") == 0)
                return propertyAny(value);
            Diagnostics::print("%s not supported\n", name);
            return String();
        }
        case CORBA::tk_objref:
            return objrefAny(value);
        case CORBA::tk_null:
        case CORBA::tk_void:
            return String();
        default:
            Diagnostics::print("%d is an unsupported TCKind\n", static_cast<int>(type->kind()));
            return String();
        }
    } catch (const CORBA::Exception&) {
        return String();
    }
}

String Types::toString(CORBA::TypeCode_ptr type) {
    if (type == nullptr || CORBA::is_nil(type))
        return String(nullText);
    try {
        CORBA::TCKind kind = type->kind();
        String text;
        switch (kind) {
        case CORBA::tk_objref:
        case CORBA::tk_struct:
        case CORBA::tk_union:
        case CORBA::tk_enum:
        case CORBA::tk_alias:
        case CORBA::tk_except:
            return String(type->name());
        case CORBA::tk_string:
            text = "string";
            if (type->length() != 0)
                text << '<' << static_cast<unsigned int>(type->length()) << '>';
            return text;
        case CORBA::tk_sequence: {
            CORBA::TypeCode_var content = type->content_type();
            text << "sequence<" << typeCodeName(content->kind());
            if (type->length() != 0)
                text << ',' << static_cast<unsigned int>(type->length());
            return text << '>';
        }
        case CORBA::tk_array: {
            CORBA::TypeCode_var content = type->content_type();
            return text << typeCodeName(content->kind()) << '['
                        << static_cast<unsigned int>(type->length()) << ']';
        }
        default:
            return String(typeCodeName(kind));
        }
    } catch (const CORBA::Exception&) {
        return String();
    }
}

String Types::toString(const CosPropertyService::Properties& properties) {
    String text;
    for (CORBA::ULong i = 0; i < properties.length(); ++i) {
        const CosPropertyService::Property& p = properties[i];
        const char* s = nullptr;
        text << p.property_name.in() << blank;
        if (p.property_value >>= s)
            text << s;
        else
            text << toString(p.property_value);
        text << endOfLine;
    }
    return text;
}

String Types::toString(const CosPropertyService::Property& property) {
    return toString(property.property_value);
}

String Types::toString(const EpTypes::DataValue& value) {
    String text;
    switch (value._d()) {
    case EpTypes::DATA_TYPE_UBYTE:
        return text << static_cast<unsigned int>(value.ubyteValue());
    case EpTypes::DATA_TYPE_SHORT:
        return text << static_cast<int>(value.shortValue());
    case EpTypes::DATA_TYPE_LONG:
        return text << static_cast<int>(value.longValue());
    case EpTypes::DATA_TYPE_FLOAT:
        return text << static_cast<double>(value.floatValue());
    case EpTypes::DATA_TYPE_DOUBLE:
        return appendG(text, value.doubleValue());
    case EpTypes::DATA_TYPE_CHAR:
        // An IDL char arrives unsigned; the platform means a signed byte.
        return text << static_cast<int>(static_cast<signed char>(value.charValue()));
    default:
        return text;
    }
}

String Types::toString(const EpiTypes::DataQuantity& quantity) {
    String text = toString(quantity.value);
    text << blank;
    try {
        text << unitLabel(quantity.unit);
    } catch (const CORBA::BAD_OPERATION&) {
        Diagnostics::print("can't decode\n");
    } catch (const CORBA::SystemException&) {
    }
    return text;
}

String Types::toString(const EpiTypes::DataQuantity* quantity) {
    return quantity != nullptr ? toString(*quantity) : String(nullText);
}

String Types::toString(const char* const* strings, int count) {
    if (strings == nullptr || count < 1)
        return String("[]");
    return stringList(static_cast<CORBA::ULong>(count), [&](CORBA::ULong i) { return strings[i]; });
}

String Types::toString(const DosTypes::StringSeq& strings) {
    return stringList(strings.length(), [&](CORBA::ULong i) { return strings[i].in(); });
}

String Types::toString(const EpCoordinateService::Coordinate& coordinate) {
    EpCoordinateService::System_ptr system = coordinate.system.in();
    String text;
    if (CORBA::is_nil(system))
        text << nullSystem;
    else
        text << systemLabel(system) << afterSystem;
    const double numbers[] = {coordinate.point.x, coordinate.point.y, coordinate.point.z};
    for (short axis = 1; axis <= 3; ++axis) {
        if (axis > 1)
            text << betweenAxes;
        text << numbers[axis - 1] << blank << getUnitString(system, axis);
    }
    return text;
}

String Types::toString(const EpiTypes::CoordinateAngle& angle) {
    if (CORBA::is_nil(angle.unit.in()) || CORBA::is_nil(angle.system.in()))
        return String(unset);
    String text = systemLabel(angle.system.in());
    text << blank;
    appendG(text, angle.value) << blank << quietUnitLabel(angle.unit.in()) << blank;
    auto axis = static_cast<unsigned int>(angle.referenceAxis);
    if (axis < 3)
        text << axisNames[axis];
    return text << endOfLine;
}

String Types::toString(const EpPlanarGeometry::EllipticCylinder::Axes& axes) {
    return extentText(axes.semiMajorAxis, axes.semiMinorAxis, axes.unit.in());
}

String Types::toString(const EpPlanarGeometry::RectangularPrism::Dimensions& dimensions) {
    return extentText(dimensions.width, dimensions.length, dimensions.unit.in());
}

String Types::booleanAny(const CORBA::Any& value) {
    CORBA::Boolean b = false;
    if (!(value >>= CORBA::Any::to_boolean(b)))
        return String();
    return String(b ? yes : no);
}

String Types::floatAny(const CORBA::Any& value) {
    return numberText<CORBA::Float, double>(value);
}

String Types::longAny(const CORBA::Any& value) {
    return numberText<CORBA::Long, int>(value);
}

String Types::ulongAny(const CORBA::Any& value) {
    return numberText<CORBA::ULong, unsigned int>(value);
}

String Types::longlongAny(const CORBA::Any& value) {
    return numberText<CORBA::LongLong, long long>(value, "%lld");
}

String Types::ulonglongAny(const CORBA::Any& value) {
    return numberText<CORBA::ULongLong, unsigned long long>(value, "%llu");
}

String Types::stringAny(const CORBA::Any& value) {
    const char* text = nullptr;
    return String((value >>= text) ? text : nullptr);
}

String Types::stringSeqAny(const CORBA::Any& value) {
    return decoded<DosTypes::StringSeq>(value, DosTypes::_tc_StringSeq,
                                        [](const DosTypes::StringSeq& s) { return toString(s); });
}

String Types::propertySeqAny(const CORBA::Any& value) {
    return decoded<CosPropertyService::Properties>(
        value, CosPropertyService::_tc_Properties,
        [](const CosPropertyService::Properties& p) { return toString(p); });
}

String Types::propertyAny(const CORBA::Any& value) {
    return decoded<CosPropertyService::Property>(
        value, CosPropertyService::_tc_Property,
        [](const CosPropertyService::Property& p) { return toString(p); });
}

String Types::objrefAny(const CORBA::Any& value) {
    CORBA::Object_var object;
    if (!(value >>= CORBA::Any::to_object(object.out())))
        return String();
    CORBA::ORB_var orb = Orb::init();
    CORBA::String_var text = orb->object_to_string(object.in());
    return String(text.in());
}

// The C++ mapping has no extraction for an enum known only at run time, so
// the value is marshalled (an enum is its 32-bit index) and read back.
String Types::enumAny(const CORBA::Any& value) {
    CORBA::TypeCode_var declared = value.type();
    CORBA::TypeCode_var type = bareType(declared);
    cdrMemoryStream data;
    value.NP_marshalDataOnly(data);
    CORBA::ULong index = 0;
    index <<= data;
    return String(type->member_name(index));
}

// Every union lands here; one of another type formats as an empty data
// value, whose discriminator is none of the six.
String Types::dataValueAny(const CORBA::Any& value) {
    return decoded<EpTypes::DataValue>(value, EpTypes::_tc_DataValue,
                                       [](const EpTypes::DataValue& v) { return toString(v); });
}

String Types::dataQuantityAny(const CORBA::Any& value) {
    const EpiTypes::DataQuantity* quantity = nullptr;
    if (extractEquivalent(value, EpiTypes::_tc_DataQuantity, quantity))
        return toString(*quantity);
    return String();
}

String Types::coordinateAny(const CORBA::Any& value) {
    const EpCoordinateService::Coordinate* coordinate = nullptr;
    if (extractEquivalent(value, EpCoordinateService::_tc_Coordinate, coordinate))
        return toString(*coordinate);
    return String();
}

String Types::coordinateAngleAny(const CORBA::Any& value) {
    return decoded<EpiTypes::CoordinateAngle>(
        value, EpiTypes::_tc_CoordinateAngle,
        [](const EpiTypes::CoordinateAngle& a) { return toString(a); });
}

String Types::AxesAny(const CORBA::Any& value) {
    return decoded<EpPlanarGeometry::EllipticCylinder::Axes>(
        value, EpPlanarGeometry::EllipticCylinder::_tc_Axes,
        [](const EpPlanarGeometry::EllipticCylinder::Axes& a) { return toString(a); });
}

String Types::DimensionsAny(const CORBA::Any& value) {
    return decoded<EpPlanarGeometry::RectangularPrism::Dimensions>(
        value, EpPlanarGeometry::RectangularPrism::_tc_Dimensions,
        [](const EpPlanarGeometry::RectangularPrism::Dimensions& d) { return toString(d); });
}

String Types::getUnitString(EpCoordinateService::System_ptr system, short axis) {
    if (CORBA::is_nil(system))
        return String();
    EpUnitOfMeasureService::Unit_var unit;
    try {
        unit = system->getAxisUnit(axis);
    } catch (const EpTypes::BadArgumentsException& e) {
        Diagnostics::print(
            "Exception caught while getting coord unit: EpTypes::BadArgumentsException: %s\n",
            e.reason.in());
    } catch (const CORBA::SystemException&) {
    }
    String label("");
    return label << quietUnitLabel(unit.in());
}

} // namespace hvc_util
