// hvcutil trader: the trader's offers, found, described, exported and
// withdrawn through the library.
#include "CommandTable.h"
#include "EmbeddedSandbox.h"
#include "Reporting.h"

#include "bindings/Orb.h"
#include "hvc_util/Trader.h"
#include "hvc_util/Types.h"

#include <cstdio>

namespace hvcutil {

namespace {

const char* const usage = "find TYPE [CONSTRAINT] | describe ID | export TYPE IOR [NAME=VALUE...]"
                          " | withdraw ID";

void printProperties(const CosTrading::PropertySeq& properties) {
    for (CORBA::ULong i = 0; i < properties.length(); ++i)
        std::printf("    %s = %s\n", properties[i].name.in(),
                    hvc_util::Types::toString(properties[i].value).getValue());
}

std::string iorOf(CORBA::Object_ptr object) {
    CORBA::ORB_var orb = hvc_util::Orb::init();
    CORBA::String_var text = orb->object_to_string(object);
    return text.in();
}

int find(const std::vector<std::string>& words) {
    CosTrading::Lookup::SpecifiedProps all;
    all._d(CosTrading::Lookup::all);
    CosTrading::OfferSeq_var offers = hvc_util::Trader::findOffers(
        words[1].c_str(), words.size() == 3 ? words[2].c_str() : "", all);
    for (CORBA::ULong i = 0; i < offers->length(); ++i) {
        std::printf("%s\n", iorOf(offers[i].reference.in()).c_str());
        printProperties(offers[i].properties);
    }
    std::printf("%u offer%s\n", static_cast<unsigned>(offers->length()),
                offers->length() == 1 ? "" : "s");
    return exitOk;
}

int describe(const std::string& id) {
    CosTrading::Register::OfferInfo_var info = hvc_util::Trader::describe(id.c_str());
    std::printf("type: %s\nreference: %s\nproperties:\n", info->type.in(),
                iorOf(info->reference.in()).c_str());
    printProperties(info->properties);
    return exitOk;
}

int exportOffer(const std::vector<std::string>& words) {
    CORBA::ORB_var orb = hvc_util::Orb::init();
    CORBA::Object_var object = orb->string_to_object(words[2].c_str());
    CosTrading::PropertySeq properties;
    for (std::size_t i = 3; i < words.size(); ++i) {
        const std::size_t eq = words[i].find('=');
        if (eq == std::string::npos || eq == 0)
            return usageOf("trader", usage);
        const CORBA::ULong at = properties.length();
        properties.length(at + 1);
        properties[at].name = words[i].substr(0, eq).c_str();
        properties[at].value <<= words[i].substr(eq + 1).c_str();
    }
    CORBA::String_var id =
        hvc_util::Trader::exportObject(object.in(), words[1].c_str(), properties);
    std::printf("%s\n", id.in());
    return exitOk;
}

int run(const std::vector<std::string>& words) {
    EmbeddedSandbox::offersNeeded();
    const std::string verb = words.empty() ? "" : words[0];
    if (verb == "find" && (words.size() == 2 || words.size() == 3))
        return find(words);
    if (verb == "describe" && words.size() == 2)
        return describe(words[1]);
    if (verb == "export" && words.size() >= 3)
        return exportOffer(words);
    if (verb == "withdraw" && words.size() == 2) {
        hvc_util::Trader::withdraw(words[1].c_str());
        std::printf("withdrawn: %s\n", words[1].c_str());
        return exitOk;
    }
    return usageOf("trader", usage);
}

const CommandRegistration registration(
    {"trader", usage,
     "list the offers of a service type (with a constraint over their properties), describe "
     "or withdraw an offer by its identifier, or export an object with the process's offer "
     "properties",
     run});

} // namespace

} // namespace hvcutil
