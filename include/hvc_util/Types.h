// Readable text of CORBA values, type codes and the platform's value types.
#pragma once

#include <hvc_util/Export.h>
#include <hvc_util/String.h>

#include <CosPropertyService.hh>
#include <DosTypes.hh>
#include <EpCoordinateService.hh>
#include <EpPlanarGeometry.hh>
#include <EpTypes.hh>
#include <EpiTypes.hh>

namespace hvc_util {

// A set of static operations that keeps no state: calls on values that are
// not shared between threads may run in parallel. Every result is a new String owned by the caller.
// Nothing raises on account of a value's shape: what cannot be formatted gives the empty text, and
// some cases write one of these lines to standard error:
//   "<kind> is an unsupported TCKind"        an Any of a kind without text
//   "<name> not supported"                   a structure of another name
//   "can't decode"                           a quantity's unit raised BAD_OPERATION
//   "Exception caught while getting coord unit: EpTypes::BadArgumentsException: <reason>"
// Units, systems and the ORB are asked for labels and reference texts; a
// system exception from them (a dead server) leaves that label empty and
// the numbers are still printed. Only CORBA::NO_MEMORY-like failures of the
// ORB's own copies in the typed overloads pass through.
//
// A unit's label is the first non-empty of its acronym and its name; a
// system's label is its name.
class HVC_UTIL_API Types {
public:
    // By the kind of the value's type code, aliases stripped first:
    //   string "text"; long, unsigned long, long long, unsigned long long in
    //   decimal; boolean "yes"/"no"; float "%f"; union as EpTypes::DataValue;
    //   sequence of strings as a string list, any other sequence as a
    //   property list; enum the enumerator's name; object reference the
    //   ORB's stringified reference; null and void the empty text.
    //   Structures by name: DataQuantity, Coordinate, CoordinateAngle, Axes,
    //   Dimensions, Property as their overloads below, Key as a string (the
    //   empty text, a structure holds no string).
    // A platform value whose type code is not equivalent to the expected
    // one formats as an empty one: "[]" for a string list, "unset" for an
    // angle or an extent, the empty text for the rest. Any other kind or
    // structure, or a CORBA exception while formatting, gives the empty text.
    static String toString(const CORBA::Any& value);
    // The type's text: the name of an object reference, structure, union,
    // enum, alias or exception; "string" or "string<bound>"; "sequence<k>"
    // or "sequence<k,bound>" and "k[length]" with k the element's kind name;
    // otherwise the kind's name ("<invalid>" past the exception kind).
    // "<null>" for a null or nil type code.
    static String toString(CORBA::TypeCode_ptr type);
    // Per property: its name, " ", its value and "\n"; a string value as it
    // is, any other value as toString(const CORBA::Any&) gives it.
    static String toString(const CosPropertyService::Properties& properties);
    // toString of the property's value; the name is not printed.
    static String toString(const CosPropertyService::Property& property);
    // By discriminator: 0 the unsigned byte, 1 the short and 2 the long in
    // decimal, 3 the float with "%f", 4 the double with "%g", 5 the character
    // as a signed 8-bit number; the empty text for any other discriminator.
    static String toString(const EpTypes::DataValue& value);
    // The value's text, " ", the unit's label (empty for a nil unit).
    static String toString(const EpiTypes::DataQuantity& quantity);
    // "<null>" for a null pointer, otherwise the quantity's text.
    static String toString(const EpiTypes::DataQuantity* quantity);
    // "[" the strings in double quotes separated by "," "]"; "[]" for a
    // `count` below 1 or null `strings`; a null entry prints as "".
    static String toString(const char* const* strings, int count);
    static String toString(const DosTypes::StringSeq& strings);
    // The system's label and "  " (or "NullSystem  " without a system), then
    // per axis the number with "%f", " " and the axis unit's label, the three
    // groups separated by four blanks.
    static String toString(const EpCoordinateService::Coordinate& coordinate);
    // "unset" when the unit or the system is nil; otherwise the system's
    // label, the value with "%g", the unit's label and the reference axis's
    // name (empty for an unknown axis), separated by " " and ended by "\n".
    static String toString(const EpiTypes::CoordinateAngle& angle);
    // "unset" when the unit is nil; otherwise " ", the two numbers with
    // "%f %f", " ", the unit's label and "\n".
    static String toString(const EpPlanarGeometry::EllipticCylinder::Axes& axes);
    static String toString(const EpPlanarGeometry::RectangularPrism::Dimensions& dimensions);

private:
    static String booleanAny(const CORBA::Any& value);
    static String floatAny(const CORBA::Any& value);
    static String longAny(const CORBA::Any& value);
    static String ulongAny(const CORBA::Any& value);
    static String longlongAny(const CORBA::Any& value);
    static String ulonglongAny(const CORBA::Any& value);
    static String stringAny(const CORBA::Any& value);
    static String stringSeqAny(const CORBA::Any& value);
    static String propertySeqAny(const CORBA::Any& value);
    static String propertyAny(const CORBA::Any& value);
    static String objrefAny(const CORBA::Any& value);
    static String enumAny(const CORBA::Any& value);
    static String dataValueAny(const CORBA::Any& value);
    static String dataQuantityAny(const CORBA::Any& value);
    static String coordinateAny(const CORBA::Any& value);
    static String coordinateAngleAny(const CORBA::Any& value);
    static String AxesAny(const CORBA::Any& value);
    static String DimensionsAny(const CORBA::Any& value);

    // The kind's name: "null" to "except" for kinds 0 to 22, else "<invalid>".
    static const char* typeCodeName(CORBA::TCKind kind);
    // The label of the unit of `axis` (1 to 3) of `system`: unset for a nil
    // system, the empty text for a nil or unreachable unit. A refused axis
    // writes the BadArgumentsException line.
    static String getUnitString(EpCoordinateService::System_ptr system, short axis);
};

} // namespace hvc_util
