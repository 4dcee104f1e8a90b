// Many clients of one sandbox at once: the platform's state takes their
// writes one transaction at a time and loses none. `make check-thread` runs
// this under ThreadSanitizer.
#include "sandbox/Platform.h"
#include "sandbox/users/UserServer.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

TEST(Concurrency, SixteenClientsWritingSessionsAndPropertiesAtOnceLoseNothing) {
    hvc_sandbox::Platform::Options options;
    options.users.push_back({"tester", "tester"});
    hvc_sandbox::Platform platform(options);
    hvc_sandbox::SessionManagerServant& servant =
        platform.room<hvc_sandbox::UserServer>().profile("tester").sessions();
    CORBA::Object_var obj = servant._this();
    EpSession::SessionManager_var manager = EpSession::SessionManager::_narrow(obj);
    EpSession::Session_var shared = manager->createSession("Shared", EpProject::ProjectSet::_nil());

    constexpr int threads = 16;
    constexpr int writes = 50;
    std::vector<std::thread> clients;
    for (int t = 0; t < threads; ++t)
        clients.emplace_back([&, t] {
            EpSession::Session_var own = manager->createSession(("S" + std::to_string(t)).c_str(),
                                                                EpProject::ProjectSet::_nil());
            for (int i = 0; i < writes; ++i) {
                CORBA::Any value;
                value <<= static_cast<CORBA::Long>(i);
                const std::string name = "t" + std::to_string(t) + "." + std::to_string(i);
                shared->define_property(name.c_str(), value);
                own->define_property("last", value);
                own->marker(name.c_str());
            }
        });
    for (std::thread& c : clients)
        c.join();

    EXPECT_EQ(shared->get_number_of_properties(), static_cast<CORBA::ULong>(threads * writes));
    DosTypes::StringSeq_var names = manager->getSessionNames();
    EXPECT_EQ(names->length(), static_cast<CORBA::ULong>(threads + 1));
    for (int t = 0; t < threads; ++t) {
        EpSession::Session_var own = manager->getSession(("S" + std::to_string(t)).c_str());
        CORBA::String_var marker = own->marker();
        EXPECT_EQ(std::string(marker.in()),
                  "t" + std::to_string(t) + "." + std::to_string(writes - 1));
    }
}
