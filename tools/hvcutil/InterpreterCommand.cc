// hvcutil interpreter: the current session's interpreter table.
#include "CommandTable.h"
#include "Reporting.h"
#include "SessionOptions.h"

#include "hvc_util/Session.h"

#include <omniORB4/Naming.hh>

#include <cstdio>

namespace hvcutil {

namespace {

const char* const usage = "get [STORE PROJECT] -session NAME | set STORE PROJECT INTERPRETER"
                          " [-session NAME | --keep] [-envfile FILE]";

int get(const std::vector<std::string>& words) {
    if (const int status = requireSessionName("interpreter get"); status != exitOk)
        return status;
    CurrentSession session(false);
    if (words.size() == 3) {
        hvc_util::String who =
            hvc_util::Session::getInterpreter(session.in(), words[1].c_str(), words[2].c_str());
        if (!who.isSet()) {
            std::fprintf(stderr, "hvcutil: no interpreter recorded\n");
            return exitFailure;
        }
        std::printf("%s\n", who.getValue());
        return exitOk;
    }
    CosPropertyService::Properties table = hvc_util::Session::getInterpreters(session.in());
    for (CORBA::ULong i = 0; i < table.length(); ++i) {
        const CosNaming::Name* projects = nullptr;
        if (!(table[i].property_value >>= projects))
            continue;
        for (CORBA::ULong j = 0; j < projects->length(); ++j)
            std::printf("%s %s %s\n", table[i].property_name.in(), (*projects)[j].id.in(),
                        (*projects)[j].kind.in());
    }
    return exitOk;
}

int run(const std::vector<std::string>& args) {
    std::vector<std::string> words = standardOptions(args);
    const bool keep = takeKeep(words);
    if (!keep && (words.size() == 1 || words.size() == 3) && words[0] == "get")
        return get(words);
    if (words.size() == 4 && words[0] == "set") {
        CurrentSession session(keep);
        hvc_util::Session::setInterpreter(session.in(), words[1].c_str(), words[2].c_str(),
                                          words[3].c_str());
        return session.finish(exitOk);
    }
    return usageOf("interpreter", usage);
}

const CommandRegistration registration({"interpreter", usage,
                                        "read or record who interprets a project of a data "
                                        "store in a session (set without -session works in a "
                                        "temporary session, removed at the end unless --keep)",
                                        run});

} // namespace

} // namespace hvcutil
