// Every kind of library operation against a platform that has stopped
// answering (a child hvc-sandbox held by SIGSTOP) fails with its own text
// within the call timeout; against one that has ended (SIGKILL), at once.
#include "hvc_util/ProjectSet.h"
#include "hvc_util/Session.h"
#include "hvc_util/UserProfile.h"

#include "support/ChildProcess.h"
#include "support/ScopedEnv.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using hvc_util::ProjectSet;
using hvc_util::Session;
using hvc_util::UserProfile;

namespace {

constexpr long timeoutMs = 500;
// Room for a loaded machine on top of the timeout.
constexpr long slackMs = 900;

struct Outcome {
    std::string text;
    long ms;
};

// What `call` ends with: the reason of a FailedOperationException, the name
// of another CORBA exception, "nil" or "ok"; and how long it took.
Outcome outcomeOf(const std::function<CORBA::Object_ptr()>& call) {
    const auto start = std::chrono::steady_clock::now();
    std::string text;
    try {
        CORBA::Object_var result = call();
        text = CORBA::is_nil(result) ? "nil" : "ok";
    } catch (const EpTypes::FailedOperationException& e) {
        text = e.reason.in();
    } catch (const CORBA::SystemException&) {
        text = "a CORBA system exception";
    } catch (const CORBA::Exception& e) {
        text = e._name();
    }
    const auto took = std::chrono::steady_clock::now() - start;
    return {text,
            static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count())};
}

// A call whose outcome is only what it raises.
template <class Call> std::function<CORBA::Object_ptr()> answering(Call call) {
    return [call] {
        call();
        return CORBA::Object::_nil();
    };
}

// A platform with the calling user, a session "S" and a recorded password,
// everything the library caches already resolved.
class StoppedPlatform : public ::testing::Test {
protected:
    void SetUp() override {
        env.set("USERNAME", "tester");
        env.set("HVC_CALL_TIMEOUT_MS", std::to_string(timeoutMs));
        env.unset("halvercast.sessionName");
        sandbox = std::make_unique<hvc_test::SandboxProcess>();
        env.set("HVC_HOME", sandbox->home());
        profile = UserProfile::getUserProfile();
        EpUser::AliasService_var aliases = UserProfile::getUserAliasService();
        session = Session::createSession("S", EpProject::ProjectSet::_nil());
        const char* stores[] = {"Store"};
        const char* projects[] = {"Proj"};
        const char* passwords[] = {"hunter2"};
        UserProfile::setProjectPassword(profile, stores, projects, passwords, 1);
    }

    void TearDown() override { sandbox->process().resume(); }

    // Every kind of operation, by name, with its outcome.
    std::vector<std::pair<std::string, Outcome>> everyKind() {
        EpSession::Session_ptr s = session.in();
        EpUser::UserProfile_ptr p = profile.in();
        DosTypes::StringSeq order;
        order.length(1);
        order[0] = "lab";
        const std::vector<std::pair<std::string, std::function<CORBA::Object_ptr()>>> calls = {
            {"getSession(name)", [] { return Session::getSession(hvc_util::String("S")); }},
            {"createSession",
             [] { return Session::createSession("T", EpProject::ProjectSet::_nil()); }},
            {"getSession()",
             [] {
                 hvc_test::ScopedEnv named("halvercast.sessionName", "S");
                 return Session::getSession();
             }},
            {"getInterpreters", answering([s] { Session::getInterpreters(s); })},
            {"getInterpreter", answering([s] { Session::getInterpreter(s, "Store", "Proj"); })},
            {"setSourcePriority",
             answering([s, &order] { Session::setSourcePriority(s, "Store", "Proj", order); })},
            {"getProjectSet", [s] { return ProjectSet::getProjectSet(s); }},
            {"removeIfTemporary", answering([s] { Session::removeIfTemporary(s); })},
            {"projectPasswordExists",
             answering([p] { UserProfile::projectPasswordExists(p, "Store", "Proj"); })},
            {"setProjectPassword", answering([p] {
                 const char* stores[] = {"Store"};
                 const char* projects[] = {"Proj"};
                 const char* passwords[] = {"other"};
                 UserProfile::setProjectPassword(p, stores, projects, passwords, 1);
             })},
            {"getUserInfo", answering([] { UserProfile::getUserInfo(); })},
            {"registerAlias", answering([] {
                 UserProfile::registerAlias(EpUser::SCOPE_LOCAL, "host", "someone", "");
             })},
        };
        std::vector<std::pair<std::string, Outcome>> outcomes;
        hvc_test::StderrCapture err; // createSession(name) says why it answers nil
        for (const auto& [name, call] : calls)
            outcomes.emplace_back(name, outcomeOf(call));
        return outcomes;
    }

    static const std::vector<std::pair<std::string, std::string>>& documented() {
        static const std::vector<std::pair<std::string, std::string>> texts = {
            {"getSession(name)",
             "Could not retrieve the session manager from the Halvercast UserServer"},
            {"createSession", "Could not create a session"},
            {"getSession()", "nil"},
            {"getInterpreters", "Error, could not get interpreters."},
            {"getInterpreter", "a CORBA system exception"},
            {"setSourcePriority",
             "CORBA exception, when trying to retrieve PROP_SOURCE_PRIORITIES."},
            {"getProjectSet", "a CORBA system exception"},
            {"removeIfTemporary", "a CORBA system exception"},
            {"projectPasswordExists", "Error determining if project password exists"},
            {"setProjectPassword", "Error setting project password"},
            {"getUserInfo", "Error connecting to User Alias Service"},
            {"registerAlias", "Error connecting to User Alias Service to register an alias"},
        };
        return texts;
    }

    void expectEveryKindFailsWithin(long limitMs) {
        const auto outcomes = everyKind();
        ASSERT_EQ(outcomes.size(), documented().size());
        for (std::size_t i = 0; i < outcomes.size(); ++i) {
            const auto& [name, outcome] = outcomes[i];
            EXPECT_EQ(name, documented()[i].first);
            EXPECT_EQ(outcome.text, documented()[i].second) << name;
            EXPECT_LT(outcome.ms, limitMs) << name;
        }
    }

    hvc_test::ScopedEnv env;
    std::unique_ptr<hvc_test::SandboxProcess> sandbox;
    EpUser::UserProfile_var profile;
    EpSession::Session_var session;
};

} // namespace

TEST_F(StoppedPlatform, EveryKindOfOperationFailsWithItsTextWithinTheTimeout) {
    sandbox->process().pause();
    expectEveryKindFailsWithin(timeoutMs + slackMs);
}

TEST_F(StoppedPlatform, EveryKindOfOperationFailsWithItsTextAtOnceWhenTheServerIsGone) {
    ASSERT_EQ(sandbox->crash(), "signal 9");
    expectEveryKindFailsWithin(slackMs / 3);
}

TEST(StoppedPlatformResolution, FirstResolutionFailsWithinOneTimeoutNotOnePerStep) {
    hvc_test::ScopedEnv env;
    env.set("USERNAME", "tester");
    env.set("HVC_CALL_TIMEOUT_MS", std::to_string(timeoutMs));
    hvc_test::SandboxProcess sandbox;
    env.set("HVC_HOME", sandbox.home());
    sandbox.process().pause();
    // The alias service's probe, its account query, the profile's probe and
    // the manager's query would each wait a whole timeout.
    const Outcome manager = outcomeOf([] { return Session::getSessionManager(); });
    EXPECT_EQ(manager.text, "Cannot connect to your Halvercast user server, Ensure that your "
                            "Halvercast user server is running.");
    EXPECT_LT(manager.ms, timeoutMs + slackMs);
    const Outcome aliases = outcomeOf([] { return UserProfile::getUserAliasService(); });
    EXPECT_EQ(aliases.text, "ok"); // found before the time ran out, and kept
    EXPECT_LT(aliases.ms, 50);
    sandbox.process().resume();
}
