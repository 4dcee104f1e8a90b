// hvc-sandbox: serves the sandbox platform until it is told to stop.
#include "Platform.h"

#include "hvc_util/ExceptionDescription.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <iostream>
#include <pthread.h>
#include <thread>
#include <unistd.h>

namespace {

// Past this, a stop that waits on calls still in progress ends the process
// anyway: a stop request must not depend on what clients do.
constexpr auto stopGrace = std::chrono::milliseconds(800);

// Exit statuses besides 0 (stopped when asked).
constexpr int cannotStart = 1;
constexpr int badCommandLine = 2;
constexpr int homeUnusable = 3;

int usage() {
    std::cerr << "usage: hvc-sandbox [--home DIR] [--user ACCOUNT[:PRINCIPAL]]... "
                 "[--service-type NAME]...\n"
                 "  --home DIR           keep the platform's state in DIR (DIR/var/sandbox.db,\n"
                 "                       its key pair in DIR/etc) so it survives a restart;\n"
                 "                       write DIR/bin/GetIORS.sh and DIR/etc/password.pub\n"
                 "  --user               a platform user (default: the login name, or with a\n"
                 "                       home the users it already has)\n"
                 "  --service-type NAME  a further service type the trader knows\n"
                 "Stops on SIGTERM or SIGINT with exit status 0; exits 1 when it cannot start,\n"
                 "2 on a bad command line, 3 when the home's state cannot be used.\n";
    return badCommandLine;
}

} // namespace

int main(int argc, char** argv) {
    std::string home;
    hvc_sandbox::Platform::Options options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--home") == 0 && i + 1 < argc) {
            home = argv[++i];
        } else if (std::strcmp(argv[i], "--service-type") == 0 && i + 1 < argc) {
            options.serviceTypes.push_back(argv[++i]);
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

    // Blocked before the ORB starts its threads, so every thread inherits the
    // mask and only sigwait below ever takes the stop signals.
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stops, nullptr);

    options.home = home;
    try {
        hvc_sandbox::Platform platform(options);
        std::string why;
        if (!platform.bindNames(why))
            std::cerr << "hvc-sandbox: names not registered: " << why << std::endl;
        platform.exportOffers();
        if (!home.empty())
            platform.writeHome(home);
        std::cout << platform.readyLine(home) << std::endl;

        int signal = 0;
        while (sigwait(&stops, &signal) != 0) {
        }
        std::thread([] {
            std::this_thread::sleep_for(stopGrace);
            ::_exit(0);
        }).detach();
        platform.shutdown();
    } catch (const hvc_sandbox::StateStore::Unusable& e) {
        std::cerr << "hvc-sandbox: " << e.what() << std::endl;
        return homeUnusable;
    } catch (const CORBA::Exception& e) {
        std::cerr << "hvc-sandbox: " << hvc_util::describe(e) << std::endl;
        return cannotStart;
    } catch (const std::exception& e) {
        std::cerr << "hvc-sandbox: " << e.what() << std::endl;
        return cannotStart;
    }
    return 0;
}
