// hvcutil priority: the current session's source priorities.
#include "CommandTable.h"
#include "Reporting.h"
#include "SessionOptions.h"

#include "hvc_util/Session.h"

#include <cstdio>
#include <memory>

namespace hvcutil {

namespace {

const char* const usage = "get STORE PROJECT -session NAME | set STORE PROJECT SOURCE..."
                          " [-session NAME | --keep] [-envfile FILE]";

int run(const std::vector<std::string>& args) {
    std::vector<std::string> words = standardOptions(args);
    const bool keep = takeKeep(words);
    if (!keep && words.size() == 3 && words[0] == "get") {
        if (const int status = requireSessionName("priority get"); status != exitOk)
            return status;
        CurrentSession session(false);
        std::unique_ptr<DosTypes::StringSeq> order(
            hvc_util::Session::getSourcePriority(session.in(), words[1].c_str(), words[2].c_str()));
        for (CORBA::ULong i = 0; i < order->length(); ++i)
            std::printf("%s\n", (*order)[i].in());
        return exitOk;
    }
    if (words.size() >= 4 && words[0] == "set") {
        CurrentSession session(keep);
        DosTypes::StringSeq order;
        order.length(static_cast<CORBA::ULong>(words.size() - 3));
        for (CORBA::ULong i = 0; i < order.length(); ++i)
            order[i] = words[i + 3].c_str();
        hvc_util::Session::setSourcePriority(session.in(), words[1].c_str(), words[2].c_str(),
                                             order);
        return session.finish(exitOk);
    }
    return usageOf("priority", usage);
}

const CommandRegistration registration({"priority", usage,
                                        "read or record the preferred data sources of a project "
                                        "in a session, most preferred first (set without "
                                        "-session works in a temporary session, removed at the "
                                        "end unless --keep)",
                                        run});

} // namespace

} // namespace hvcutil
