// Date::parse over arbitrary text: it either refuses with BadRangeException
// or gives a date whose text form parses back to the same date.
#include <hvc_util/Date.h>

#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<EpTypes::Date> date;
    try {
        date.reset(hvc_util::Date::parse(text.c_str()));
    } catch (const EpTypes::BadRangeException& e) {
        HVC_FUZZ_CHECK(e.reason.in() != nullptr && std::strlen(e.reason.in()) > 0);
        return 0;
    }
    HVC_FUZZ_CHECK(date->year >= 1000 && date->year <= 9999);
    CORBA::String_var printed = hvc_util::Date::format(*date);
    std::unique_ptr<EpTypes::Date> again(hvc_util::Date::parse(printed.in()));
    HVC_FUZZ_CHECK(again->year == date->year && again->month == date->month &&
                   again->day == date->day && again->hour == date->hour &&
                   again->minute == date->minute && again->second == date->second);
    HVC_FUZZ_CHECK(std::strcmp(again->timeZone.in(), date->timeZone.in()) == 0);
    HVC_FUZZ_CHECK(hvc_util::Date::compare(*again, *date) == 0);
    return 0;
}
