#include "SessionArgs.h"

#include "hvc_util/Session.h"

#include <CosLifeCycle.hh>
#include <EpUser.hh>

#include <cstdio>
#include <stdexcept>

namespace hvcutil {

std::vector<std::string> standardOptions(const std::vector<std::string>& args) {
    std::vector<const char*> argv;
    argv.push_back("hvcutil");
    for (const std::string& a : args)
        argv.push_back(a.c_str());
    int kept = 0;
    char** rest =
        hvc_util::Session::parseCmdLineArgs(argv.data(), static_cast<int>(argv.size()), &kept);
    std::vector<std::string> words;
    for (int i = 0; i < kept; ++i) {
        if (i > 0)
            words.push_back(rest[i]);
        delete[] rest[i];
    }
    delete[] rest;
    return words;
}

EpSession::Session_ptr currentSession() {
    EpSession::Session_var session = hvc_util::Session::getSession();
    if (CORBA::is_nil(session))
        throw std::runtime_error("no current session");
    return session._retn();
}

int reporting(const std::function<int()>& body) {
    try {
        return body();
    } catch (const EpTypes::FailedOperationException& e) {
        std::fprintf(stderr, "hvcutil: %s\n", e.reason.in());
    } catch (const EpTypes::BadArgumentsException& e) {
        std::fprintf(stderr, "hvcutil: EpTypes::BadArgumentsException: %s\n", e.reason.in());
    } catch (const EpSession::SessionNotExistException& e) {
        std::fprintf(stderr, "hvcutil: EpSession::SessionNotExistException: %s\n", e.reason.in());
    } catch (const EpSession::DuplicateNameException& e) {
        std::fprintf(stderr, "hvcutil: EpSession::DuplicateNameException: %s\n", e.reason.in());
    } catch (const EpUser::NoKnownAliasException& e) {
        std::fprintf(stderr, "hvcutil: EpUser::NoKnownAliasException: %s\n", e.reason.in());
    } catch (const CosLifeCycle::NotRemovable& e) {
        std::fprintf(stderr, "hvcutil: CosLifeCycle::NotRemovable: %s\n", e.reason.in());
    } catch (const CORBA::Exception& e) {
        std::fprintf(stderr, "hvcutil: CORBA::%s\n", e._name());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "hvcutil: %s\n", e.what());
    }
    return 1;
}

int usageOf(const char* command, const char* usage) {
    std::fprintf(stderr, "usage: hvcutil %s %s\n", command, usage);
    return 2;
}

} // namespace hvcutil
