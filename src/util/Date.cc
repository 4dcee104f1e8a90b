#include <hvc_util/Date.h>

#include <cctype>
#include <climits>
#include <cstdio>
#include <string>

namespace hvc_util {

namespace {

const char dateFormat[] = "%4d-%02d-%02d %02d:%02d:%02d %s";

[[noreturn]] void badRange(const char* format, int value) {
    char reason[64];
    std::snprintf(reason, sizeof reason, format, value);
    throw EpTypes::BadRangeException(reason);
}

EpTypes::Date* newDate(int year, int month, int day, int hour, int minute, int second,
                       const char* timeZone) {
    EpTypes::Date* date = new EpTypes::Date;
    date->year = year;
    date->month = month;
    date->day = day;
    date->hour = hour;
    date->minute = minute;
    date->second = second;
    date->timeZone = timeZone; // String_member copies a const char*
    return date;
}

} // namespace

void Date::validate(int year, int month, int day, int hour, int minute, int second,
                    const char* timeZone, int offset, bool checkTimeZone) {
    if (month < 1 || month > 12)
        badRange("Invalid month value = %d", month);
    if (day < 1 || day > 31)
        badRange("Invalid day value = %d", day);
    if (hour < 0 || hour > 23)
        badRange("Invalid hour value = %d", hour);
    if (minute < 0 || minute > 59)
        badRange("Invalid minute value = %d", minute);
    if (second < 0 || second > 59)
        badRange("Invalid second value = %d", second);
    if (offset < -39600000 || offset > 50400000)
        badRange("Invalid offset value = %d", offset);
    if (year < 1000 || year > 9999)
        badRange("Invalid year value = %d", year);
    if (checkTimeZone)
        validateTimeZone(timeZone);
}

void Date::validateTimeZone(const char* timeZone) {
    if (!timeZone)
        throw EpTypes::BadRangeException("Null timezone value in hvc_util::Date::validateTimeZone");
}

EpTypes::Date* Date::makeDate(int year, int month, int day, int hour, int minute, int second,
                              String timeZone) {
    validate(year, month, day, hour, minute, second, timeZone.getValue(), 0, true);
    return newDate(year, month, day, hour, minute, second, timeZone.getValue());
}

EpTypes::Date* Date::makeDate(int year, int month, int day, int hour, int minute, int second,
                              int offset) {
    validate(year, month, day, hour, minute, second, "", offset, false);
    return newDate(year, month, day, hour, minute, second, "");
}

// localtime_r rather than localtime: no shared result area, and with a 64-bit
// time_t every year of the platform's range is representable.
EpTypes::Date* Date::getCurrentDate() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (now == static_cast<std::time_t>(-1) || !localtime_r(&now, &local))
        throw EpTypes::BadRangeException(
            "Error getting the current date in hvc_util::Date::getCurrentDate.");
    return newDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                   local.tm_min, local.tm_sec, "");
}

std::tm Date::makeTM(const EpTypes::Date& date) {
    validate(date.year, date.month, date.day, date.hour, date.minute, date.second,
             date.timeZone.in(), 0, true);
    std::tm tm{};
    tm.tm_year = date.year - 1900;
    tm.tm_mon = date.month - 1;
    tm.tm_mday = date.day;
    tm.tm_hour = date.hour;
    tm.tm_min = date.minute;
    tm.tm_sec = date.second;
    tm.tm_isdst = 0;
    return tm;
}

int Date::compare(const EpTypes::Date& a, const EpTypes::Date& b) {
    std::tm ta = makeTM(a);
    std::tm tb = makeTM(b);
    // mktime's -1 is also a valid second, so success is told by the weekday
    // it fills in.
    ta.tm_wday = tb.tm_wday = -1;
    std::time_t sa = std::mktime(&ta);
    std::time_t sb = std::mktime(&tb);
    if (ta.tm_wday < 0 || tb.tm_wday < 0)
        throw EpTypes::BadRangeException("Error comparing two dates in hvc_util::Date::compare.");
    double difference = std::difftime(sa, sb);
    if (difference > INT_MAX)
        return INT_MAX;
    if (difference < INT_MIN)
        return INT_MIN;
    return static_cast<int>(difference);
}

char* Date::format(const EpTypes::Date& date) {
    validate(date.year, date.month, date.day, date.hour, date.minute, date.second,
             date.timeZone.in(), 0, true);
    const char* timeZone = date.timeZone.in();
    int length = std::snprintf(nullptr, 0, dateFormat, static_cast<int>(date.year),
                               static_cast<int>(date.month), static_cast<int>(date.day),
                               static_cast<int>(date.hour), static_cast<int>(date.minute),
                               static_cast<int>(date.second), timeZone);
    char* text = CORBA::string_alloc(static_cast<CORBA::ULong>(length));
    std::snprintf(text, static_cast<std::size_t>(length) + 1, dateFormat,
                  static_cast<int>(date.year), static_cast<int>(date.month),
                  static_cast<int>(date.day), static_cast<int>(date.hour),
                  static_cast<int>(date.minute), static_cast<int>(date.second), timeZone);
    return text;
}

EpTypes::Date* Date::parse(const char* text) {
    if (!text)
        throw EpTypes::BadRangeException("Date string to parse is null");
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    int zoneAt = -1;
    int fields = std::sscanf(text, "%4d-%2d-%2d %2d:%2d:%2d %n", &year, &month, &day, &hour,
                             &minute, &second, &zoneAt);
    // The time-zone word runs to the next blank, however long it is.
    std::string zone;
    if (fields == 6 && zoneAt >= 0) {
        for (const char* p = text + zoneAt; *p && !std::isspace(static_cast<unsigned char>(*p));
             ++p)
            zone += *p;
    }
    return makeDate(year, month, day, hour, minute, second, String(zone.c_str()));
}

} // namespace hvc_util
