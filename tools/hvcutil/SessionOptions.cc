#include "SessionOptions.h"

#include "hvc_util/Session.h"

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

} // namespace hvcutil
