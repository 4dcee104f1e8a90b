#include <hvc_util/Date.h>

#include "support/Failures.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

using hvc_util::Date;

using BadRange = EpTypes::BadRangeException;
using hvc_test::reasonOf;

namespace {

using DatePtr = std::unique_ptr<EpTypes::Date>;

DatePtr at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return DatePtr(Date::makeDate(year, month, day, hour, minute, second, "CST"));
}

std::string formatted(const EpTypes::Date& d) {
    CORBA::String_var text = Date::format(d);
    return text.in();
}

} // namespace

TEST(Date, RangesAreCheckedInOrderWithExactMessages) {
    DatePtr d(Date::makeDate(2002, 2, 31, 0, 0, 0, "CST"));
    EXPECT_EQ(31, d->day) << "the day is only checked against 31";
    EXPECT_STREQ("CST", d->timeZone.in());

    auto make = [](int y, int mo, int d, int h, int mi, int s) {
        return [=] { DatePtr(Date::makeDate(y, mo, d, h, mi, s, "CST")); };
    };
    EXPECT_EQ("Invalid month value = 13", reasonOf<BadRange>(make(999, 13, 32, 24, 60, 60)));
    EXPECT_EQ("Invalid day value = 32", reasonOf<BadRange>(make(999, 12, 32, 24, 60, 60)));
    EXPECT_EQ("Invalid hour value = 24", reasonOf<BadRange>(make(999, 12, 31, 24, 60, 60)));
    EXPECT_EQ("Invalid minute value = 60", reasonOf<BadRange>(make(999, 12, 31, 23, 60, 60)));
    EXPECT_EQ("Invalid second value = 60", reasonOf<BadRange>(make(999, 12, 31, 23, 59, 60)));
    EXPECT_EQ("Invalid year value = 999", reasonOf<BadRange>(make(999, 1, 1, 0, 0, 0)));
    EXPECT_EQ("(no exception)", reasonOf<BadRange>(make(1000, 1, 1, 0, 0, 0)));
    EXPECT_EQ("(no exception)", reasonOf<BadRange>(make(9999, 12, 31, 23, 59, 59)));

    // The offset comes before the year.
    auto withOffset = [](int year, int offset) {
        return [=] { DatePtr(Date::makeDate(year, 1, 1, 0, 0, 0, offset)); };
    };
    EXPECT_EQ("Invalid offset value = 50400001", reasonOf<BadRange>(withOffset(999, 50400001)));
    EXPECT_EQ("Invalid offset value = -39600001", reasonOf<BadRange>(withOffset(2002, -39600001)));
    EXPECT_EQ("Invalid year value = 999", reasonOf<BadRange>(withOffset(999, -39600000)));
    DatePtr offset(Date::makeDate(2002, 1, 1, 0, 0, 0, 50400000));
    EXPECT_STREQ("", offset->timeZone.in());
}

TEST(Date, CompareIsTheCalendarDifferenceInSeconds) {
    EXPECT_EQ(1, Date::compare(*at(2002, 1, 1, 0, 0, 1), *at(2002, 1, 1)));
    EXPECT_EQ(86400, Date::compare(*at(2002, 3, 1), *at(2002, 2, 28)));
    EXPECT_EQ(-86400, Date::compare(*at(2002, 1, 31), *at(2002, 2, 1)));
    EXPECT_EQ(0, Date::compare(*at(2002, 4, 31), *at(2002, 5, 1))) << "31 April is 1 May";

    // Outside the 32-bit time range, and at the second that mktime reports
    // as -1.
    EXPECT_EQ(86400, Date::compare(*at(1900, 1, 2), *at(1900, 1, 1)));
    EXPECT_EQ(1, Date::compare(*at(2100, 6, 1, 0, 0, 1), *at(2100, 6, 1)));
    EXPECT_EQ(-1, Date::compare(*at(1969, 12, 31, 23, 59, 59), *at(1970, 1, 1)));
    EXPECT_EQ(INT_MIN, Date::compare(*at(1000, 1, 1), *at(9999, 1, 1))) << "clamped";
    EXPECT_EQ(INT_MAX, Date::compare(*at(9999, 1, 1), *at(1000, 1, 1)));

    // Time zones are not compared; out-of-range dates are refused.
    DatePtr other(Date::makeDate(2002, 1, 1, 0, 0, 0, "UTC"));
    EXPECT_EQ(0, Date::compare(*at(2002, 1, 1), *other));
    EpTypes::Date bad = *at(2002, 1, 1);
    bad.minute = 75;
    EXPECT_EQ("Invalid minute value = 75",
              reasonOf<BadRange>([&] { Date::compare(*at(2002, 1, 1), bad); }));
    bad.minute = 0;
    bad.timeZone = static_cast<char*>(nullptr);
    EXPECT_EQ("Null timezone value in hvc_util::Date::validateTimeZone",
              reasonOf<BadRange>([&] { Date::compare(bad, bad); }));
    EXPECT_EQ("Null timezone value in hvc_util::Date::validateTimeZone",
              reasonOf<BadRange>([&] { CORBA::string_free(Date::format(bad)); }));
}

TEST(Date, CompareIgnoresDaylightSaving) {
    // A zone that moves its clocks on the first Sunday of April 2002 (the 7th).
    ::setenv("TZ", "CST6CDT,M4.1.0,M10.5.0", 1);
    ::tzset();
    EXPECT_EQ(2 * 3600, Date::compare(*at(2002, 4, 7, 3), *at(2002, 4, 7, 1)));
    EXPECT_EQ(86400 * 30, Date::compare(*at(2002, 5, 7), *at(2002, 4, 7)));
}

TEST(Date, FormatAndParseRoundTrip) {
    DatePtr d(Date::makeDate(2002, 11, 26, 20, 23, 31, "CST"));
    EXPECT_EQ("2002-11-26 20:23:31 CST", formatted(*d));
    DatePtr noZone(Date::makeDate(2002, 1, 2, 3, 4, 5, 0));
    EXPECT_EQ("2002-01-02 03:04:05 ", formatted(*noZone));

    EXPECT_EQ("2002-11-26 20:23:31 CST", formatted(*DatePtr(Date::parse(formatted(*d).c_str()))));

    // Without a zone word the zone is empty; a long word is kept whole.
    EXPECT_STREQ("", DatePtr(Date::parse("2002-11-26 20:23:31"))->timeZone.in());
    std::string longZone(300, 'Z');
    std::string text = "1999-01-02 03:04:05 " + longZone + " trailing";
    DatePtr longOne(Date::parse(text.c_str()));
    EXPECT_EQ(longZone, longOne->timeZone.in());
    EXPECT_EQ("1999-01-02 03:04:05 " + longZone, formatted(*longOne));

    EXPECT_EQ("Date string to parse is null", reasonOf<BadRange>([] { Date::parse(nullptr); }));
    EXPECT_EQ("Invalid month value = 0", reasonOf<BadRange>([] { DatePtr(Date::parse("2002")); }));
    EXPECT_EQ("Invalid day value = 0", reasonOf<BadRange>([] { DatePtr(Date::parse("2002-11")); }));
    EXPECT_EQ("Invalid month value = 0",
              reasonOf<BadRange>([] { DatePtr(Date::parse("x-1-1 0:0:0 Z")); }));
    EXPECT_EQ("Invalid year value = 999",
              reasonOf<BadRange>([] { DatePtr(Date::parse("0999-01-01 00:00:00 Z")); }));
    EXPECT_EQ("Invalid hour value = 25",
              reasonOf<BadRange>([] { DatePtr(Date::parse("2002-11-26 25:00:00 CST")); }));
}

TEST(Date, CurrentDateIsLocalTime) {
    std::time_t before = std::time(nullptr);
    DatePtr now(Date::getCurrentDate());
    std::tm local{};
    localtime_r(&before, &local);
    EXPECT_EQ(local.tm_year + 1900, now->year);
    EXPECT_EQ(local.tm_mon + 1, now->month);
    EXPECT_STREQ("", now->timeZone.in());
    now->timeZone = "CST";
    DatePtr then(at(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                    local.tm_min, local.tm_sec));
    int elapsed = Date::compare(*now, *then);
    EXPECT_GE(elapsed, 0);
    EXPECT_LE(elapsed, 5);
}
