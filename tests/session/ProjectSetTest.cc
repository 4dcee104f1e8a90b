#include "hvc_util/ProjectSet.h"
#include "hvc_util/Session.h"

#include "SessionPlatform.h"
#include "support/ScopedEnv.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

#include <string>

using hvc_util::ProjectSet;
using hvc_util::Session;

namespace {

std::string nameOf(EpProject::ProjectSet_ptr set) {
    CORBA::String_var name = set->name();
    return name.in();
}

} // namespace

TEST(ProjectSet, ANilSessionIsReportedAndHasNone) {
    hvc_test::StderrCapture capture;
    EXPECT_TRUE(CORBA::is_nil(
        EpProject::ProjectSet_var(ProjectSet::getProjectSet(EpSession::Session::_nil()))));
    EXPECT_EQ(capture.text(), "No Session Object\n");
}

TEST(ProjectSet, ATemporarySessionIsGivenTheNamedSetOnEveryCall) {
    hvc_test::SessionPlatform platform;
    EpProject::ProjectSet_var main = platform.projectSets().createProjectSet("Main");
    EpSession::Session_var session = Session::getSession();
    ASSERT_FALSE(CORBA::is_nil(session));

    EXPECT_TRUE(CORBA::is_nil(EpProject::ProjectSet_var(ProjectSet::getProjectSet(session))));
    EXPECT_TRUE(CORBA::is_nil(EpProject::ProjectSet_var(session->getProjectSet())));

    hvc_test::ScopedEnv scoped("halvercast.projectSetName", "Other");
    EXPECT_TRUE(CORBA::is_nil(EpProject::ProjectSet_var(ProjectSet::getProjectSet(session))));

    scoped.set("halvercast.projectSetName", "Main");
    for (int call = 0; call < 2; ++call) {
        EpProject::ProjectSet_var set = ProjectSet::getProjectSet(session);
        ASSERT_FALSE(CORBA::is_nil(set));
        EXPECT_EQ(nameOf(set), "Main");
    }
    EpProject::ProjectSet_var attached = session->getProjectSet();
    ASSERT_FALSE(CORBA::is_nil(attached));
    EXPECT_TRUE(attached->_is_equivalent(main));
}

TEST(ProjectSet, OtherSessionsKeepTheirOwnSet) {
    hvc_test::SessionPlatform platform;
    EpProject::ProjectSet_var own = platform.projectSets().createProjectSet("Own");
    EpProject::ProjectSet_var named = platform.projectSets().createProjectSet("Named");
    hvc_test::ScopedEnv scoped("halvercast.projectSetName", "Named");
    EpSession::Session_var session = Session::createSession("work", own);
    session->marker("temporarySessionX");
    EpProject::ProjectSet_var set = ProjectSet::getProjectSet(session);
    ASSERT_FALSE(CORBA::is_nil(set));
    EXPECT_EQ(nameOf(set), "Own");
}

TEST(ProjectSet, AnUnresolvableProfileMeansNoSet) {
    hvc_test::SessionPlatform platform;
    platform.projectSets().createProjectSet("Main");
    EpSession::Session_var session =
        platform.sessions().createSession("work", EpProject::ProjectSet::_nil());
    session->marker("temporarySession");
    for (hvc_test::Service service :
         {hvc_test::Service::UserProfile, hvc_test::Service::AliasService})
        platform.environment().unset(hvc_util::ServiceCatalogue::entry(service).variable);
    hvc_test::ScopedEnv scoped("halvercast.projectSetName", "Main");
    EpProject::ProjectSet_var set;
    EXPECT_NO_THROW(set = ProjectSet::getProjectSet(session));
    EXPECT_TRUE(CORBA::is_nil(set));
    EXPECT_TRUE(CORBA::is_nil(EpProject::ProjectSet_var(session->getProjectSet())));
}
