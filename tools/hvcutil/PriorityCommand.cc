// hvcutil priority: the current session's source priorities.
#include "CommandTable.h"
#include "Reporting.h"
#include "SessionOptions.h"

#include "hvc_util/Session.h"

#include <cstdio>
#include <memory>

namespace hvcutil {

namespace {

const char* const usage = "get STORE PROJECT | set STORE PROJECT SOURCE..."
                          " [-session NAME] [-envfile FILE]";

int run(const std::vector<std::string>& args) {
    const std::vector<std::string> words = standardOptions(args);
    if (words.size() == 3 && words[0] == "get") {
        EpSession::Session_var session = currentSession();
        std::unique_ptr<DosTypes::StringSeq> order(
            hvc_util::Session::getSourcePriority(session, words[1].c_str(), words[2].c_str()));
        for (CORBA::ULong i = 0; i < order->length(); ++i)
            std::printf("%s\n", (*order)[i].in());
        return 0;
    }
    if (words.size() >= 4 && words[0] == "set") {
        EpSession::Session_var session = currentSession();
        DosTypes::StringSeq order;
        order.length(static_cast<CORBA::ULong>(words.size() - 3));
        for (CORBA::ULong i = 0; i < order.length(); ++i)
            order[i] = words[i + 3].c_str();
        hvc_util::Session::setSourcePriority(session, words[1].c_str(), words[2].c_str(), order);
        return 0;
    }
    return usageOf("priority", usage);
}

const CommandRegistration registration({"priority", usage,
                                        "read or record the preferred data sources of a project "
                                        "in the current session, most preferred first",
                                        run});

} // namespace

} // namespace hvcutil
