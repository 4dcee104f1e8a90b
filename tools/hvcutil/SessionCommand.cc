// hvcutil session: the current session, and sessions by name.
#include "CommandTable.h"
#include "Reporting.h"
#include "SessionOptions.h"

#include "hvc_util/ProjectSet.h"
#include "hvc_util/Session.h"

#include <cstdio>
#include <cstring>

namespace hvcutil {

namespace {

const char* const usage = "current [--keep] | create NAME | remove NAME | uuid NAME"
                          " [-session NAME] [-projectSet NAME] [-envfile FILE]";

void describe(EpSession::Session_ptr session) {
    CORBA::String_var name = session->name();
    CORBA::String_var marker = session->marker();
    std::printf("name: %s\nidentifier: %s\n", name.in(),
                hvc_util::Session::getSessionUUID(session).getValue());
    const bool temporary =
        std::strcmp(marker.in(), hvc_util::Session::temporarySessionName.getValue()) == 0;
    std::printf("temporary: %s\n", temporary ? "yes" : "no");
    EpProject::ProjectSet_var set = hvc_util::ProjectSet::getProjectSet(session);
    if (!CORBA::is_nil(set))
        std::printf("project set: %s\n", CORBA::String_var(set->name()).in());
    std::fflush(stdout);
}

EpSession::Session_ptr named(const std::string& name) {
    return hvc_util::Session::getSession(hvc_util::String(name.c_str()));
}

int run(const std::vector<std::string>& args) {
    std::vector<std::string> words = standardOptions(args);
    const bool keep = takeKeep(words);
    if (words.size() == 1 && words[0] == "current") {
        CurrentSession session(keep);
        describe(session.in());
        return session.finish(exitOk, false); // describe() printed its name
    }
    if (keep || words.size() != 2)
        return usageOf("session", usage);
    const std::string& verb = words[0];
    const std::string& name = words[1];
    if (verb == "create") {
        EpSession::Session_var session = hvc_util::Session::createSession(name.c_str());
        if (CORBA::is_nil(session))
            return exitFailure; // the library has said why
        describe(session);
        return exitOk;
    }
    if (verb == "remove") {
        EpSession::Session_var session = named(name);
        CORBA::String_var marker = session->marker();
        if (std::strcmp(marker.in(), hvc_util::Session::temporarySessionName.getValue()) == 0)
            hvc_util::Session::removeIfTemporary(session);
        else
            session->remove();
        std::printf("removed: %s\n", name.c_str());
        return exitOk;
    }
    if (verb == "uuid") {
        EpSession::Session_var session = named(name);
        std::printf("%s\n", hvc_util::Session::getSessionUUID(session).getValue());
        return exitOk;
    }
    return usageOf("session", usage);
}

const CommandRegistration registration({"session", usage,
                                        "show the current session (without -session a new "
                                        "temporary one, removed at the end unless --keep), or "
                                        "create, remove or identify one",
                                        run});

} // namespace

} // namespace hvcutil
