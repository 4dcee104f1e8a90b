// hvc-sandbox stops when asked: SIGTERM or SIGINT end it with status 0 within
// a second, whatever its clients are doing.
#include "hvc_util/ServiceCatalogue.h"

#include "bindings/Orb.h"

#include "support/ChildProcess.h"
#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <EpUser.hh>
#include <omniORB4/Naming.hh>

#include <csignal>
#include <future>
#include <memory>

namespace {

// The sandbox's profile reference, read afresh from its reference script
// (the library's cache would keep the first sandbox's).
EpUser::UserProfile_ptr profileOf(const hvc_test::SandboxProcess& sandbox) {
    const auto& entry =
        hvc_util::ServiceCatalogue::entry(hvc_util::ServiceCatalogue::Service::UserProfile);
    CORBA::ORB_var orb = hvc_util::Orb::init();
    CORBA::Object_var obj = orb->string_to_object(sandbox.reference(entry.variable).c_str());
    return EpUser::UserProfile::_narrow(obj);
}

// A client call in flight on its own thread; its outcome does not matter.
std::future<void> callInFlight(EpUser::UserProfile_ptr profile) {
    return std::async(std::launch::async, [profile] {
        try {
            CORBA::String_var account = profile->account();
        } catch (...) {
        }
    });
}

void expectCleanExit(const std::string& ending) {
    EXPECT_EQ(ending, "exit 0") << (ending.empty()
                                        ? "hvc-sandbox still ran a second after the signal"
                                        : "");
}

} // namespace

TEST(SandboxStop, TermOrInterruptWhileAClientWaitsExitsZeroWithinASecond) {
    // Connected to, stopped while a client waits, continued, then signalled:
    // the signal may arrive while an ORB thread runs, and must still end it.
    for (int signal : {SIGTERM, SIGINT}) {
        hvc_test::SandboxProcess sandbox;
        EpUser::UserProfile_var profile = profileOf(sandbox);
        ::kill(sandbox.process().pid(), SIGSTOP);
        std::future<void> waiting = callInFlight(profile);
        ::kill(sandbox.process().pid(), SIGCONT);
        expectCleanExit(sandbox.process().signalAndWait(signal, 1000));
        waiting.wait();
    }
}

TEST(SandboxStop, AStoppedSandboxTakesItsNamesAwayButNotAnotherPlatformsNames) {
    hvc_test::NamingService names;
    hvc_test::ScopedEnv initRef("ORBInitRef", names.initRef());
    const auto& entry =
        hvc_util::ServiceCatalogue::entry(hvc_util::ServiceCatalogue::Service::UnitsServer);
    CORBA::ORB_var orb = hvc_util::Orb::init();
    CORBA::Object_var obj = orb->resolve_initial_references("NameService");
    CosNaming::NamingContext_var context = CosNaming::NamingContext::_narrow(obj);
    ASSERT_FALSE(CORBA::is_nil(context));
    CosNaming::Name name;
    name.length(1);
    name[0].id = entry.bindName;

    auto first = std::make_unique<hvc_test::SandboxProcess>();
    // The second binds the same names over the first's.
    auto second = std::make_unique<hvc_test::SandboxProcess>();
    first.reset();
    CORBA::Object_var bound = context->resolve(name);
    CORBA::Object_var secondUnits =
        orb->string_to_object(second->reference(entry.variable).c_str());
    EXPECT_TRUE(bound->_is_equivalent(secondUnits));

    second.reset();
    EXPECT_THROW(context->resolve(name), CosNaming::NamingContext::NotFound);
}
