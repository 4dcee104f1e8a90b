#include "hvc_util/Session.h"

#include "SessionPlatform.h"
#include "support/ScopedEnv.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <regex>
#include <string>

using hvc_util::Session;

namespace {

const char* const temporaryPattern =
    "temp_[0-3][0-9]_(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)_[0-9]{4}_[0-2][0-9]_[0-5]"
    "[0-9]_[0-6][0-9]_";

std::string nameOf(EpSession::Session_ptr session) {
    CORBA::String_var name = session->name();
    return name.in();
}

std::string markerOf(EpSession::Session_ptr session) {
    CORBA::String_var marker = session->marker();
    return marker.in();
}

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "<unset>";
}

// The identifier's text form made from its bytes, independently of UUID.
std::string hexOf(EpSession::Session_ptr session) {
    EpEntity::Identifier_var id = session->identifier();
    std::string text;
    for (int i = 0; i < 16; ++i) {
        char two[3];
        std::snprintf(two, sizeof two, "%02x", static_cast<unsigned>(id[i]));
        text += two;
        if (i == 3 || i == 5 || i == 7 || i == 9)
            text += '-';
    }
    return text;
}

} // namespace

TEST(Session, FirstGetSessionCreatesAMarkedTemporarySessionThatLaterCallsFind) {
    hvc_test::SessionPlatform platform;
    EpSession::Session_var first = Session::getSession();
    ASSERT_FALSE(CORBA::is_nil(first));
    const std::string name = nameOf(first);
    EXPECT_TRUE(std::regex_match(name, std::regex(std::string(temporaryPattern) + "1")));
    EXPECT_EQ(markerOf(first), "temporarySession");
    EXPECT_EQ(env("halvercast.sessionName"), name);

    EpSession::Session_var second = Session::getSession();
    ASSERT_FALSE(CORBA::is_nil(second));
    EXPECT_EQ(nameOf(second), name);
    EXPECT_EQ(std::string(Session::getSessionUUID(second)), hexOf(first));
    DosTypes::StringSeq_var names = platform.sessions().getSessionNames();
    EXPECT_EQ(names->length(), 1u);
}

TEST(Session, ATemporaryNameInUseIsFollowedByTheNext) {
    hvc_test::SessionPlatform platform;
    // What other processes made in this second.
    char prefix[64];
    const std::time_t now = std::time(nullptr);
    std::strftime(prefix, sizeof prefix, "temp_%d_%b_%Y_%H_%M_%S_", std::localtime(&now));
    for (const char* n : {"1", "2"})
        EpSession::Session_var(Session::createSession((std::string(prefix) + n).c_str()));

    EpSession::Session_var made = Session::getSession();
    ASSERT_FALSE(CORBA::is_nil(made));
    const std::string name = nameOf(made);
    EXPECT_EQ(markerOf(made), "temporarySession");
    EXPECT_EQ(env("halvercast.sessionName"), name);
    // Unless the clock passed into the next second meanwhile.
    if (name.compare(0, std::strlen(prefix), prefix) == 0) {
        EXPECT_EQ(name, std::string(prefix) + "3");
    }
    DosTypes::StringSeq_var names = platform.sessions().getSessionNames();
    EXPECT_EQ(names->length(), 3u);
}

TEST(Session, ATemporarySessionThatCannotBeMarkedIsRemovedAndNotHandedOut) {
    hvc_test::SessionPlatform platform;
    platform.sessions().failMarking();
    EpSession::Session_var none;
    EXPECT_NO_THROW(none = Session::getSession());
    EXPECT_TRUE(CORBA::is_nil(none));
    DosTypes::StringSeq_var names = platform.sessions().getSessionNames();
    EXPECT_EQ(names->length(), 0u);
    EXPECT_EQ(env("halvercast.sessionName"), "<unset>");

    // Its server refusing the removal as well changes nothing for the caller.
    platform.sessions().refuseEveryRemoval();
    EXPECT_NO_THROW(none = Session::getSession());
    EXPECT_TRUE(CORBA::is_nil(none));
    EXPECT_EQ(env("halvercast.sessionName"), "<unset>");
    names = platform.sessions().getSessionNames();
    ASSERT_EQ(names->length(), 1u);
    EXPECT_TRUE(std::regex_match(names[0].in(), std::regex(std::string(temporaryPattern) + "2")));
}

TEST(Session, NamedCurrentSessionThatCannotBeHadIsNilAndNothingIsCreated) {
    hvc_test::SessionPlatform platform;
    hvc_test::ScopedEnv scoped("halvercast.sessionName", "nosuch");
    EXPECT_TRUE(CORBA::is_nil(EpSession::Session_var(Session::getSession())));
    scoped.set("halvercast.sessionName", "not valid");
    EXPECT_TRUE(CORBA::is_nil(EpSession::Session_var(Session::getSession())));
    DosTypes::StringSeq_var names = platform.sessions().getSessionNames();
    EXPECT_EQ(names->length(), 0u);
    EXPECT_EQ(env("halvercast.sessionName"), "not valid");
}

TEST(Session, NamedSessionsAreCreatedOnceAndFoundByName) {
    hvc_test::SessionPlatform platform;
    EpProject::ProjectSet_var set = platform.projectSets().createProjectSet("Main");
    EpSession::Session_var made = Session::createSession("work", set);
    ASSERT_FALSE(CORBA::is_nil(made));
    EpProject::ProjectSet_var attached = made->getProjectSet();
    ASSERT_FALSE(CORBA::is_nil(attached));
    EXPECT_EQ(std::string(CORBA::String_var(attached->name()).in()), "Main");
    EXPECT_EQ(markerOf(made), "");

    EpSession::Session_var found = Session::getSession(hvc_util::String("work"));
    EXPECT_EQ(hexOf(found), hexOf(made));
    EXPECT_THROW(Session::getSession(hvc_util::String("other")),
                 EpSession::SessionNotExistException);
    EXPECT_THROW(Session::getSession(hvc_util::String("a b")), EpTypes::BadArgumentsException);

    try {
        Session::createSession("work", EpProject::ProjectSet::_nil());
        FAIL() << "a second session of one name";
    } catch (const EpSession::DuplicateNameException& e) {
        EXPECT_STREQ(e.reason.in(), "A session named 'work' exists already");
    }
    EXPECT_THROW(Session::createSession("a b", EpProject::ProjectSet::_nil()),
                 EpTypes::BadArgumentsException);
}

TEST(Session, OneArgumentCreateReportsFailuresOnStderrAndAnswersNil) {
    hvc_test::SessionPlatform platform;
    EpSession::Session_var made = Session::createSession("work");
    ASSERT_FALSE(CORBA::is_nil(made));
    hvc_test::StderrCapture capture;
    EXPECT_TRUE(CORBA::is_nil(EpSession::Session_var(Session::createSession("work"))));
    EXPECT_TRUE(CORBA::is_nil(EpSession::Session_var(Session::createSession("a b"))));
    EXPECT_TRUE(CORBA::is_nil(EpSession::Session_var(Session::createSession(""))));
    EXPECT_TRUE(CORBA::is_nil(EpSession::Session_var(Session::createSession(nullptr))));
    EXPECT_EQ(capture.text(),
              "EpSession::DuplicateNameException: A session named 'work' exists already\n"
              "EpTypes::BadArgumentsException: 'a b' is not a valid session name\n");
}

TEST(Session, WithoutAPlatformCreationFailsWithTheProfileReason) {
    const char* const reason = "BootstrapIOR : HVC_HOME is not set";
    // The two-argument form obtains the manager before looking at the name.
    try {
        Session::createSession("", EpProject::ProjectSet::_nil());
        FAIL() << "no platform";
    } catch (const EpTypes::FailedOperationException& e) {
        EXPECT_STREQ(e.reason.in(), reason);
    }
    hvc_test::StderrCapture capture;
    EXPECT_TRUE(CORBA::is_nil(EpSession::Session_var(Session::createSession(""))));
    EXPECT_TRUE(CORBA::is_nil(EpSession::Session_var(Session::createSession("x"))));
    EXPECT_TRUE(CORBA::is_nil(EpSession::Session_var(Session::getSession())));
    EXPECT_EQ(capture.text(), std::string("EpTypes::FailedOperationException: ") + reason + "\n");
    EXPECT_EQ(env("halvercast.sessionName"), "<unset>");
}

TEST(Session, AProfileWithoutSessionManagerIsABadProfile) {
    hvc_test::SessionPlatform platform;
    CORBA::Object_var wrong = platform.profile().getProjectSetManager();
    platform.profile().handOutSessionManager(wrong);
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            CORBA::release(Session::getSessionManager());
            FAIL() << "a project-set manager is no session manager";
        } catch (const EpTypes::FailedOperationException& e) {
            EXPECT_STREQ(e.reason.in(), "User Profile returned bad ProjectSetManager.");
        }
        platform.profile().handOutSessionManager(CORBA::Object::_nil());
    }
}

TEST(Session, OnlyExactlyMarkedSessionsAreRemovedAndRemovalIsSeenByEveryone) {
    hvc_test::SessionPlatform platform;
    Session::removeIfTemporary(EpSession::Session::_nil());
    const char* const markers[] = {"temporarySession", "temporarySessionX", "temporarySessio", ""};
    const char* const names[] = {"t0", "t1", "t2", "t3"};
    EpSession::Session_var sessions[4];
    for (int i = 0; i < 4; ++i) {
        sessions[i] = Session::createSession(names[i]);
        sessions[i]->marker(markers[i]);
        Session::removeIfTemporary(sessions[i]);
    }
    EXPECT_FALSE(platform.sessions().knows("t0"));
    EXPECT_THROW(Session::getSession(hvc_util::String("t0")), EpSession::SessionNotExistException);
    EXPECT_THROW(sessions[0]->marker(), CORBA::OBJECT_NOT_EXIST);
    for (int i = 1; i < 4; ++i)
        EXPECT_TRUE(platform.sessions().knows(names[i])) << names[i];

    EpSession::Session_var kept = Session::createSession("kept");
    kept->marker("temporarySession");
    platform.sessions().refuseRemoval("kept");
    EXPECT_NO_THROW(Session::removeIfTemporary(kept));
    EXPECT_TRUE(platform.sessions().knows("kept"));
}

TEST(Session, TheIdentifierTextIsTheSessionsOwn) {
    hvc_test::SessionPlatform platform;
    EpSession::Session_var a = Session::createSession("a");
    EpSession::Session_var b = Session::createSession("b");
    const std::string textA(Session::getSessionUUID(a));
    EXPECT_EQ(textA, hexOf(a));
    EXPECT_NE(textA, std::string(Session::getSessionUUID(b)));
    EXPECT_THROW(Session::getSessionUUID(EpSession::Session::_nil()), CORBA::BAD_PARAM);
}

TEST(Session, SessionNamesAreIdentifiers) {
    EXPECT_TRUE(Session::isValidSessionName("a-b_c"));
    EXPECT_TRUE(Session::isValidSessionName("9lives"));
    EXPECT_FALSE(Session::isValidSessionName("a--b"));
    EXPECT_FALSE(Session::isValidSessionName("a_"));
    EXPECT_FALSE(Session::isValidSessionName(""));
    EXPECT_FALSE(Session::isValidSessionName(nullptr));
}
