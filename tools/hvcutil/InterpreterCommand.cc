// hvcutil interpreter: the current session's interpreter table.
#include "CommandTable.h"
#include "Reporting.h"
#include "SessionOptions.h"

#include "hvc_util/Session.h"

#include <omniORB4/Naming.hh>

#include <cstdio>

namespace hvcutil {

namespace {

const char* const usage = "get [STORE PROJECT] | set STORE PROJECT INTERPRETER"
                          " [-session NAME] [-envfile FILE]";

int run(const std::vector<std::string>& args) {
    const std::vector<std::string> words = standardOptions(args);
    if (words.size() == 1 && words[0] == "get") {
        EpSession::Session_var session = currentSession();
        CosPropertyService::Properties table = hvc_util::Session::getInterpreters(session);
        for (CORBA::ULong i = 0; i < table.length(); ++i) {
            const CosNaming::Name* projects = nullptr;
            if (!(table[i].property_value >>= projects))
                continue;
            for (CORBA::ULong j = 0; j < projects->length(); ++j)
                std::printf("%s %s %s\n", table[i].property_name.in(), (*projects)[j].id.in(),
                            (*projects)[j].kind.in());
        }
        return 0;
    }
    if (words.size() == 3 && words[0] == "get") {
        EpSession::Session_var session = currentSession();
        hvc_util::String who =
            hvc_util::Session::getInterpreter(session, words[1].c_str(), words[2].c_str());
        if (!who.isSet()) {
            std::fprintf(stderr, "hvcutil: no interpreter recorded\n");
            return 1;
        }
        std::printf("%s\n", who.getValue());
        return 0;
    }
    if (words.size() == 4 && words[0] == "set") {
        EpSession::Session_var session = currentSession();
        hvc_util::Session::setInterpreter(session, words[1].c_str(), words[2].c_str(),
                                          words[3].c_str());
        return 0;
    }
    return usageOf("interpreter", usage);
}

const CommandRegistration registration({"interpreter", usage,
                                        "read or record who interprets a project of a data "
                                        "store in the current session",
                                        run});

} // namespace

} // namespace hvcutil
