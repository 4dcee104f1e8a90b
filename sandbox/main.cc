// hvc-sandbox: serves the sandbox platform until it is told to stop.
#include "Platform.h"

#include <csignal>
#include <cstring>
#include <iostream>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void onSignal(int) {
    stopRequested = 1;
}

int usage() {
    std::cerr << "usage: hvc-sandbox [--home DIR] [--user ACCOUNT[:PRINCIPAL]]...\n"
                 "  --home DIR  write DIR/bin/GetIORS.sh and DIR/etc/password.pub\n"
                 "  --user      a platform user (default: the login name)\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string home;
    hvc_sandbox::Platform::Options options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--home") == 0 && i + 1 < argc) {
            home = argv[++i];
        } else if (std::strcmp(argv[i], "--user") == 0 && i + 1 < argc) {
            std::string user = argv[++i];
            auto colon = user.find(':');
            if (colon == std::string::npos)
                options.users.push_back({user, user});
            else
                options.users.push_back({user.substr(0, colon), user.substr(colon + 1)});
        } else {
            return usage();
        }
    }
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    try {
        hvc_sandbox::Platform platform(options);
        std::string why;
        if (!platform.bindNames(why))
            std::cerr << "hvc-sandbox: names not registered: " << why << std::endl;
        if (!home.empty())
            platform.writeHome(home);
        std::cout << platform.readyLine(home) << std::endl;
        while (!stopRequested)
            ::pause();
        CORBA::ORB_var orb = hvc_sandbox::Platform::initOrb();
        orb->shutdown(true);
        orb->destroy();
    } catch (const CORBA::Exception& e) {
        std::cerr << "hvc-sandbox: " << e._name() << std::endl;
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "hvc-sandbox: " << e.what() << std::endl;
        return 1;
    }
    return 0;
}
