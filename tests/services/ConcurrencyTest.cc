// Threads of one application using the library at once: every process-wide
// cache is resolved once and then shared. `make check-thread` runs these
// under ThreadSanitizer.
#include "hvc_util/ServiceCatalogue.h"
#include "hvc_util/ServiceResolution.h"
#include "hvc_util/Session.h"
#include "hvc_util/System.h"
#include "hvc_util/UserProfile.h"

#include "sandbox/Platform.h"
#include "support/ScopedEnv.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

using hvc_util::ServiceCatalogue;
using hvc_util::ServiceResolution;
using hvc_util::Session;

namespace {

constexpr int threadCount = 16;

// Runs `body(i)` on `threadCount` threads released together.
void atOnce(const std::function<void(int)>& body) {
    std::mutex lock;
    std::condition_variable go;
    int ready = 0;
    std::vector<std::thread> threads;
    for (int i = 0; i < threadCount; ++i)
        threads.emplace_back([&, i] {
            {
                std::unique_lock<std::mutex> hold(lock);
                if (++ready == threadCount)
                    go.notify_all();
                go.wait(hold, [&] { return ready == threadCount; });
            }
            body(i);
        });
    for (std::thread& t : threads)
        t.join();
}

} // namespace

TEST(Concurrency, EveryGetterTemporaryNameAndSessionAtOnceShareOneResolution) {
    hvc_test::ScopedEnv env("USERNAME", "tester");
    env.unset("halvercast.sessionName");
    hvc_sandbox::Platform::Options options;
    options.users.push_back({"tester", "tester"});
    hvc_sandbox::Platform platform(options);
    hvc_test::TempDir home;
    platform.writeHome(home.path());
    env.set("HVC_HOME", home.path());

    // What each thread got: per catalogue entry and for the session manager,
    // the reference's address (the cache's own, duplicated).
    const std::size_t services = ServiceCatalogue::size();
    std::vector<std::vector<const void*>> got(threadCount,
                                              std::vector<const void*>(services + 1, nullptr));
    std::vector<std::string> names(threadCount);
    std::vector<bool> sessions(threadCount, false);
    hvc_test::StderrCapture err;
    atOnce([&](int t) {
        for (std::size_t s = 0; s < services; ++s) {
            const ServiceCatalogue::Entry& entry = ServiceCatalogue::begin()[s];
            try {
                CORBA::Object_var ref = entry.resolve();
                got[t][s] = ref.in();
            } catch (const CORBA::Exception&) {
            }
        }
        EpSession::SessionManager_var manager = Session::getSessionManager();
        got[t][services] = manager.in();
        names[t] = Session::createTemporaryName().getValue();
        hvc_util::String node;
        hvc_util::System::getNodeName(node);
        EpSession::Session_var session = Session::getSession();
        sessions[t] = !CORBA::is_nil(session);
    });
    err.text();

    for (std::size_t s = 0; s <= services; ++s) {
        const std::string what =
            s < services ? ServiceCatalogue::begin()[s].interfaceName : "EpSession::SessionManager";
        ASSERT_NE(got[0][s], nullptr) << what;
        if (s < services) {
            EXPECT_EQ(ServiceResolution::meansOf(ServiceCatalogue::begin()[s].service),
                      ServiceResolution::Means::Environment)
                << what;
        }
        for (int t = 1; t < threadCount; ++t)
            EXPECT_EQ(got[t][s], got[0][s]) << what << " in thread " << t;
    }
    // Temporary names count on without repeats, whatever the interleaving.
    std::set<std::string> counters;
    for (const std::string& name : names)
        counters.insert(name.substr(name.rfind('_') + 1));
    EXPECT_EQ(counters.size(), static_cast<std::size_t>(threadCount));
    for (int t = 0; t < threadCount; ++t)
        EXPECT_TRUE(sessions[t]) << "thread " << t;
}

TEST(Concurrency, ThreadsAskingAtOnceWaitForOneResolutionAndShareItsFailure) {
    // A slow script that names nothing useful: one resolution runs it once
    // for everybody, and every thread gets the same failure.
    hvc_test::TempHome home("echo run >> \"$HVC_HOME/runs\"\nsleep 0.3\necho UNRELATED=1\n");
    std::vector<std::string> reasons(threadCount);
    hvc_test::StderrCapture err;
    atOnce([&](int t) {
        try {
            CORBA::Object_var finder =
                ServiceCatalogue::entry(ServiceCatalogue::Service::CoordinateFinder).resolve();
        } catch (const EpTypes::FailedOperationException& e) {
            reasons[t] = e.reason.in();
        }
    });
    err.text();
    for (int t = 0; t < threadCount; ++t)
        EXPECT_EQ(reasons[t],
                  "Error in getFinder; cannot resolve 'EpCoordinateService::Finder' service.");
    // One resolution runs it three times: for the finder's variable, then,
    // for its last means (the profile's property), for the alias service's
    // and the profile's. Sixteen resolutions would run it 48 times.
    EXPECT_EQ(home.runs(), 3);
}
