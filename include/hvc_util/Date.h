// Helpers around the platform's date structure.
#pragma once

#include <hvc_util/Export.h>

#include <hvc_util/String.h>

#include <EpTypes.hh>

#include <ctime>

namespace hvc_util {

// Static operations that build, take, compare, print and parse
// EpTypes::Date values. Every date returned is new and owned by the caller
// (release with delete). Range violations raise EpTypes::BadRangeException
// whose reason names the bad value, checked in the order month, day, hour,
// minute, second, offset, year, time zone. The text form is
// "%4d-%02d-%02d %02d:%02d:%02d %s", for example 2002-11-26 20:23:31 CST.
// Thread-safe: every operation works on the caller's values only.
class HVC_UTIL_API Date {
public:
    // A new date of the values and a copy of the time-zone text.
    // Raises EpTypes::BadRangeException.
    static EpTypes::Date* makeDate(int year, int month, int day, int hour, int minute, int second,
                                   String timeZone);
    // A new date of the values with an empty time zone; `offset`, in
    // milliseconds from -11 h to +14 h, is only checked.
    // Raises EpTypes::BadRangeException.
    static EpTypes::Date* makeDate(int year, int month, int day, int hour, int minute, int second,
                                   int offset);
    // A new date of the current local time, with an empty time zone.
    // Raises EpTypes::BadRangeException when the clock cannot be read.
    static EpTypes::Date* getCurrentDate();
    // a - b in seconds, both read as local standard time (a day past the
    // month's end rolls over); the time zones are not compared. Differences
    // beyond the range of int are clamped to it.
    // Raises EpTypes::BadRangeException for a date out of range.
    static int compare(const EpTypes::Date& a, const EpTypes::Date& b);
    // The text form as a new CORBA string owned by the caller (release with
    // CORBA::string_free). Raises EpTypes::BadRangeException.
    static char* format(const EpTypes::Date& date);
    // A new date read from the text form; fields not found stay 0 and a
    // missing time-zone word gives an empty time zone.
    // Raises EpTypes::BadRangeException for a null text or a value out of range.
    static EpTypes::Date* parse(const char* text);

private:
    static std::tm makeTM(const EpTypes::Date& date);
    static void validate(int year, int month, int day, int hour, int minute, int second,
                         const char* timeZone, int offset, bool checkTimeZone);
    static void validateTimeZone(const char* timeZone);
};

} // namespace hvc_util
