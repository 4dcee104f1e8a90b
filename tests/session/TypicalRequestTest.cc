// The typical request of an application started without a session name,
// against a child hvc-sandbox process over IIOP, with a second process (the
// session reader, HVC_SESSION_READER) reading back what the first wrote.
#include "hvc_util/ProjectSet.h"
#include "hvc_util/Session.h"
#include "hvc_util/UserProfile.h"

#include "support/ChildProcess.h"
#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using hvc_util::ProjectSet;
using hvc_util::Session;
using hvc_util::UserProfile;

namespace {

const char* const readerLine = "reader: ";

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "<unset>";
}

} // namespace

TEST(TypicalRequest, TemporarySessionFromStartToRemoval) {
    hvc_test::ScopedEnv scoped("USERNAME", "tester");
    hvc_test::SandboxProcess sandbox;
    scoped.set("HVC_HOME", sandbox.home());

    const char* argv[] = {"app", "-projectSet", "Survey", "input.dat"};
    int rest = 0;
    char** kept = Session::parseCmdLineArgs(argv, 4, &rest);
    ASSERT_EQ(rest, 2);
    for (int i = 0; i < rest; ++i)
        delete[] kept[i];
    delete[] kept;

    EpUser::UserProfile_var profile = UserProfile::getUserProfile();
    CORBA::Object_var setsObj = profile->getProjectSetManager();
    EpProject::ProjectSetManager_var sets = EpProject::ProjectSetManager::_narrow(setsObj);
    ASSERT_FALSE(CORBA::is_nil(sets));
    EpProject::ProjectSet_var survey = sets->createProjectSet("Survey");

    // No session name: a temporary session is created and named (its name
    // and marker are SessionTest's).
    ASSERT_EQ(env("halvercast.sessionName"), "<unset>");
    EpSession::Session_var session = Session::getSession();
    ASSERT_FALSE(CORBA::is_nil(session));
    const std::string name = CORBA::String_var(session->name()).in();
    EXPECT_EQ(env("halvercast.sessionName"), name);
    const std::string id(Session::getSessionUUID(session));

    // Properties written here are read by another process.
    Session::setInterpreter(session, "Store", "Proj", "alice");
    DosTypes::StringSeq order;
    order.length(2);
    order[0] = "lab";
    order[1] = "field";
    Session::setSourcePriority(session, "Store", "Proj", order);
    {
        hvc_test::ChildProcess reader({HVC_SESSION_READER});
        EXPECT_EQ(reader.waitForLine(readerLine, 30),
                  std::string(readerLine) + id + " alice lab,field");
        EXPECT_EQ(reader.waitForExit(30), "exit 0");
    }

    // The project set named on the command line is attached.
    EpProject::ProjectSet_var set = ProjectSet::getProjectSet(session);
    ASSERT_FALSE(CORBA::is_nil(set));
    EXPECT_STREQ(CORBA::String_var(set->name()).in(), "Survey");
    EpProject::ProjectSet_var attached = session->getProjectSet();
    ASSERT_FALSE(CORBA::is_nil(attached));
    EXPECT_TRUE(attached->_is_equivalent(survey));

    // At the end the temporary session is removed for every client.
    Session::removeIfTemporary(session);
    EpSession::SessionManager_var manager = Session::getSessionManager();
    EXPECT_THROW(manager->getSession(name.c_str()), EpSession::SessionNotExistException);
    EXPECT_TRUE(CORBA::is_nil(EpSession::Session_var(Session::getSession())));
}
