// hvcutil refvalues: the classification vocabularies the library caches from
// the reference value service.
#include "CommandTable.h"
#include "Reporting.h"

#include "hvc_util/Interpretation.h"

#include <cstdio>

namespace hvcutil {

namespace {

const char* const usage = "list property|horizon|fault | check property|horizon|fault VALUE";

struct Kind {
    const char* word;
    DosTypes::StringSeq (*list)();
    bool (*check)(const char*);
};

const Kind kinds[] = {
    {"property", hvc_util::Interpretation::validShapePropertyTypes,
     hvc_util::Interpretation::isValidPropertyType},
    {"horizon", hvc_util::Interpretation::validHorizonClassifications,
     hvc_util::Interpretation::isValidHorizonClassification},
    {"fault", hvc_util::Interpretation::validFaultClassifications,
     hvc_util::Interpretation::isValidFaultClassification},
};

const Kind* kindOf(const std::string& word) {
    for (const Kind& k : kinds)
        if (word == k.word)
            return &k;
    return nullptr;
}

int run(const std::vector<std::string>& args) {
    const Kind* kind = args.size() >= 2 ? kindOf(args[1]) : nullptr;
    if (kind == nullptr)
        return usageOf("refvalues", usage);
    if (args.size() == 2 && args[0] == "list") {
        const DosTypes::StringSeq values = kind->list();
        for (CORBA::ULong i = 0; i < values.length(); ++i)
            std::printf("%s\n", values[i].in());
        return exitOk;
    }
    if (args.size() == 3 && args[0] == "check") {
        const bool valid = kind->check(args[2].c_str());
        std::printf("%s\n", valid ? "valid" : "not valid");
        return valid ? exitOk : exitNo;
    }
    return usageOf("refvalues", usage);
}

const CommandRegistration
    registration({"refvalues", usage,
                  "list a classification vocabulary (shape property types, horizon or fault "
                  "classifications), or check a value against it (exactly, letter case included)",
                  run});

} // namespace

} // namespace hvcutil
