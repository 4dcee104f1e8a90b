// hvcutil format: a value given as a small typed literal, printed the way the
// library formats it, so that people can read what applications log.
#include "CommandTable.h"
#include "Reporting.h"

#include "hvc_util/Types.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

namespace hvcutil {

namespace {

const char* const usage =
    "--string TEXT | --long N | --ulong N | --longlong N | --ulonglong N | --boolean yes|no"
    " | --float X | --double X | --strings TEXT... | --data-value 0..5 NUMBER"
    " | --properties NAME=VALUE...";

// A literal that is not a number of the wanted type.
struct BadLiteral : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void refuse(const char* what, const std::string& text) {
    throw BadLiteral(std::string("not ") + what + ": '" + text + "'");
}

// The whole text as a whole number within [low, high].
long long integer(const std::string& text, long long low, long long high, const char* what) {
    errno = 0;
    char* end = nullptr;
    long long n = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno == ERANGE || n < low || n > high)
        refuse(what, text);
    return n;
}

unsigned long long unsignedInteger(const std::string& text, unsigned long long high,
                                   const char* what) {
    errno = 0;
    char* end = nullptr;
    unsigned long long n = std::strtoull(text.c_str(), &end, 10);
    if (text.empty() || text[0] == '-' || *end != '\0' || errno == ERANGE || n > high)
        refuse(what, text);
    return n;
}

double real(const std::string& text, const char* what) {
    char* end = nullptr;
    double d = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0')
        refuse(what, text);
    return d;
}

template <class T> long long limitsLow() {
    return static_cast<long long>(std::numeric_limits<T>::min());
}
template <class T> long long limitsHigh() {
    return static_cast<long long>(std::numeric_limits<T>::max());
}

EpTypes::DataValue dataValue(const std::string& discriminator, const std::string& number) {
    EpTypes::DataValue v;
    switch (integer(discriminator, 0, 5, "a data type (0 to 5)")) {
    case EpTypes::DATA_TYPE_UBYTE:
        v.ubyteValue(static_cast<CORBA::Octet>(integer(number, 0, 255, "an unsigned byte")));
        break;
    case EpTypes::DATA_TYPE_SHORT:
        v.shortValue(static_cast<CORBA::Short>(
            integer(number, limitsLow<CORBA::Short>(), limitsHigh<CORBA::Short>(), "a short")));
        break;
    case EpTypes::DATA_TYPE_LONG:
        v.longValue(static_cast<CORBA::Long>(
            integer(number, limitsLow<CORBA::Long>(), limitsHigh<CORBA::Long>(), "a long")));
        break;
    case EpTypes::DATA_TYPE_FLOAT:
        v.floatValue(static_cast<CORBA::Float>(real(number, "a float")));
        break;
    case EpTypes::DATA_TYPE_DOUBLE:
        v.doubleValue(real(number, "a double"));
        break;
    default:
        // Signed as the platform reads it; 128 to 255 are taken as their byte.
        v.charValue(static_cast<CORBA::Char>(integer(number, -128, 255, "a character number")));
        break;
    }
    return v;
}

CORBA::Any literal(const std::vector<std::string>& args) {
    const std::string& type = args[0];
    const std::size_t values = args.size() - 1;
    CORBA::Any any;
    if (type == "--strings") {
        DosTypes::StringSeq strings;
        strings.length(static_cast<CORBA::ULong>(values));
        for (CORBA::ULong i = 0; i < strings.length(); ++i)
            strings[i] = args[i + 1].c_str();
        any <<= strings;
        return any;
    }
    if (type == "--properties") {
        CosPropertyService::Properties properties;
        properties.length(static_cast<CORBA::ULong>(values));
        for (CORBA::ULong i = 0; i < properties.length(); ++i) {
            const std::string& pair = args[i + 1];
            std::size_t eq = pair.find('=');
            if (eq == std::string::npos)
                refuse("NAME=VALUE", pair);
            properties[i].property_name = pair.substr(0, eq).c_str();
            properties[i].property_value <<= pair.substr(eq + 1).c_str();
        }
        any <<= properties;
        return any;
    }
    if (type == "--data-value") {
        if (values != 2)
            throw std::invalid_argument(type);
        any <<= dataValue(args[1], args[2]);
        return any;
    }
    if (values != 1)
        throw std::invalid_argument(type);
    const std::string& v = args[1];
    if (type == "--string")
        any <<= v.c_str();
    else if (type == "--long")
        any <<= static_cast<CORBA::Long>(
            integer(v, limitsLow<CORBA::Long>(), limitsHigh<CORBA::Long>(), "a long"));
    else if (type == "--ulong")
        any <<= static_cast<CORBA::ULong>(
            unsignedInteger(v, std::numeric_limits<CORBA::ULong>::max(), "an unsigned long"));
    else if (type == "--longlong")
        any <<= static_cast<CORBA::LongLong>(
            integer(v, limitsLow<CORBA::LongLong>(), limitsHigh<CORBA::LongLong>(), "a long long"));
    else if (type == "--ulonglong")
        any <<= static_cast<CORBA::ULongLong>(unsignedInteger(
            v, std::numeric_limits<CORBA::ULongLong>::max(), "an unsigned long long"));
    else if (type == "--boolean" && (v == "yes" || v == "true"))
        any <<= CORBA::Any::from_boolean(true);
    else if (type == "--boolean" && (v == "no" || v == "false"))
        any <<= CORBA::Any::from_boolean(false);
    else if (type == "--boolean")
        refuse("a boolean (yes, no, true, false)", v);
    else if (type == "--float")
        any <<= static_cast<CORBA::Float>(real(v, "a float"));
    else if (type == "--double")
        any <<= static_cast<CORBA::Double>(real(v, "a double"));
    else
        throw std::invalid_argument(type);
    return any;
}

int run(const std::vector<std::string>& args) {
    if (args.empty())
        return usageOf("format", usage);
    // Values holding texts are copied by marshalling, which needs the ORB.
    int argc = 0;
    CORBA::ORB_var orb = CORBA::ORB_init(argc, nullptr);
    CORBA::Any value;
    try {
        value = literal(args);
    } catch (const BadLiteral& e) {
        std::fprintf(stderr, "hvcutil format: %s\n", e.what());
        return 2;
    } catch (const std::invalid_argument&) {
        return usageOf("format", usage);
    }
    hvc_util::String text = hvc_util::Types::toString(value);
    std::fputs(text.getValue(), stdout);
    std::size_t length = text.lengthOf();
    if (length == 0 || text.getValue()[length - 1] != '\n')
        std::fputc('\n', stdout);
    return 0;
}

const CommandRegistration registration({"format", usage,
                                        "print a typed value the way the library formats "
                                        "values, as applications log them",
                                        run});

} // namespace

} // namespace hvcutil
