#include "bindings/Environment.h"
#include "bindings/Handlers.h"
#include "bindings/Orb.h"
#include "bindings/internal/hvc_internal.h"
#include "bindings/private/PasswordSeal.h"

#include "AllocationFailure.h"
#include "support/ChildProcess.h"
#include "support/ScopedEnv.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"

#include <EpUser.hh>
#include <gtest/gtest.h>
#include <omniORB4/Naming.hh>

#include <memory>
#include <string>
#include <thread>

using hvc_test::ScopedEnv;
using hvc_util::PasswordSeal;

namespace {

struct Freed {
    void operator()(char* text) const { hvc_util_internal_free_string(text); }
};
using Text = std::unique_ptr<char, Freed>;

std::string str(const Text& t) {
    return t ? t.get() : "(null)";
}

} // namespace

TEST(InternalModule, IdentityTexts) {
    ScopedEnv env;
    env.set("USERNAME", "first");
    env.set("LOGNAME", "second");
    env.set("USER", "third");
    EXPECT_EQ(str(Text(hvc_util_internal_get_principal())), "first");
    env.unset("USERNAME");
    EXPECT_EQ(str(Text(hvc_util_internal_get_principal())), "second");
    env.unset("LOGNAME");
    EXPECT_EQ(str(Text(hvc_util_internal_get_principal())), "third");

    EXPECT_EQ(str(Text(hvc_util_internal_get_user_profile_name("jdoe"))), "UserProfile.jdoe");
    EXPECT_EQ(str(Text(hvc_util_internal_get_user_profile_name(""))), "(null)");
    EXPECT_EQ(str(Text(hvc_util_internal_get_user_profile_name(nullptr))), "(null)");
    EXPECT_EQ(str(Text(hvc_util_internal_id_to_key(42))), "user:42");
    EXPECT_EQ(str(Text(hvc_util_internal_id_to_key(-7))), "user:-7");
}

TEST(InternalModule, EncryptSealsToTheConfiguredKeyOnly) {
    // No key anywhere: no text, and a reason.
    EXPECT_EQ(str(Text(hvc_util_internal_encrypt("secret"))), "(null)");
    EXPECT_NE(std::string(hvc_util_internal_last_error()), "");

    std::string pub, sec;
    PasswordSeal::keyPair(pub, sec);
    {
        ScopedEnv key("HVC_PASSWORD_KEY", pub);
        Text sealed(hvc_util_internal_encrypt("secret"));
        ASSERT_TRUE(sealed);
        const std::string text = sealed.get();
        EXPECT_EQ(text.compare(0, 7, "sealed:"), 0);
        EXPECT_EQ(text.find("secret"), std::string::npos);
        std::string clear;
        ASSERT_TRUE(PasswordSeal::open(pub, sec, text, clear));
        EXPECT_EQ(clear, "secret");
        // Another pair cannot open it.
        std::string pub2, sec2;
        PasswordSeal::keyPair(pub2, sec2);
        EXPECT_FALSE(PasswordSeal::open(pub2, sec2, text, clear));
    }
    {
        // The installation's key file, written with a Windows line end.
        hvc_test::TempDir home;
        home.write("etc/password.pub", pub + "\r\n");
        ScopedEnv root("HVC_HOME", home.path());
        Text sealed(hvc_util_internal_encrypt(""));
        ASSERT_TRUE(sealed);
        std::string clear = "x";
        ASSERT_TRUE(PasswordSeal::open(pub, sec, sealed.get(), clear));
        EXPECT_EQ(clear, "");
    }
    ScopedEnv bad("HVC_PASSWORD_KEY", "not a key");
    EXPECT_EQ(str(Text(hvc_util_internal_encrypt("secret"))), "(null)");
}

TEST(InternalModule, RunningOutOfMemoryIsANullResultWithItsReason) {
    std::string pub, sec;
    PasswordSeal::keyPair(pub, sec);
    ScopedEnv key("HVC_PASSWORD_KEY", pub);
    const std::string account(100, 'a'); // past any small-string buffer
    char* profile = nullptr;
    char* sealed = nullptr;
    std::string afterProfile, afterSeal;
    {
        hvc_test::AllocationFailure noMemory;
        profile = hvc_util_internal_get_user_profile_name(account.c_str());
        afterProfile = hvc_util_internal_last_error();
        sealed = hvc_util_internal_encrypt("secret");
        afterSeal = hvc_util_internal_last_error();
    }
    EXPECT_EQ(str(Text(profile)), "(null)");
    EXPECT_EQ(afterProfile, "out of memory");
    EXPECT_EQ(str(Text(sealed)), "(null)");
    EXPECT_EQ(afterSeal, "out of memory");
    // Memory back, the same calls succeed.
    EXPECT_EQ(str(Text(hvc_util_internal_get_user_profile_name("jdoe"))), "UserProfile.jdoe");
    EXPECT_NE(str(Text(hvc_util_internal_encrypt("secret"))), "(null)");
}

TEST(InternalModule, EachThreadReadsItsOwnLastError) {
    EXPECT_EQ(str(Text(hvc_util_internal_get_user_profile_name(""))), "(null)");
    std::string other;
    std::thread([&] {
        other = hvc_util_internal_last_error();
        EXPECT_EQ(str(Text(hvc_util_internal_encrypt(nullptr))), "(null)");
        other += "|" + std::string(hvc_util_internal_last_error());
    }).join();
    EXPECT_EQ(other, "|no password text");
    EXPECT_STREQ(hvc_util_internal_last_error(), "no account");
}

TEST(Environment, RefusesBadEntriesAndRemovesOnEmpty) {
    ScopedEnv env("HVC_TEST_VAR", "x");
    EXPECT_FALSE(hvc_util::Environment::set("A=B", "1"));
    EXPECT_FALSE(hvc_util::Environment::set("", "1"));
    EXPECT_FALSE(hvc_util::Environment::put("=1"));
    EXPECT_FALSE(hvc_util::Environment::put("NOEQUALS"));
    EXPECT_TRUE(hvc_util::Environment::put("HVC_TEST_VAR=a=b"));
    EXPECT_EQ(hvc_util::Environment::get("HVC_TEST_VAR").value_or("(unset)"), "a=b");
    EXPECT_TRUE(hvc_util::Environment::put("HVC_TEST_VAR="));
    EXPECT_FALSE(hvc_util::Environment::get("HVC_TEST_VAR"));
}

TEST(Environment, MillisecondsAcceptPositiveNumbersOnlyAndSaySoOtherwise) {
    ScopedEnv env;
    env.unset("HVC_TEST_MS");
    EXPECT_EQ(hvc_util::Environment::milliseconds("HVC_TEST_MS", 30000), 30000);
    env.set("HVC_TEST_MS", "2500");
    EXPECT_EQ(hvc_util::Environment::milliseconds("HVC_TEST_MS", 30000), 2500);
    for (const char* bad : {"0", "-5", "2s", "x", " "}) {
        env.set("HVC_TEST_MS", bad);
        hvc_test::StderrCapture err;
        EXPECT_EQ(hvc_util::Environment::milliseconds("HVC_TEST_MS", 30000), 30000) << bad;
        EXPECT_EQ(err.text(), std::string("HVC_TEST_MS is not a positive number of milliseconds "
                                          "(\"") +
                                  bad + "\"); 30000 ms applies\n");
    }
}

TEST(Handlers, TranslateByKind) {
    const hvc_util::OperationFailures failures{"Error talking", "Unknown exception talking"};
    auto reason = [&](auto body) -> std::string {
        try {
            hvc_util::withHandlers<EpUser::NoKnownAliasException>(failures, body);
        } catch (const EpTypes::FailedOperationException& e) {
            return std::string("failed: ") + e.reason.in();
        } catch (const EpUser::NoKnownAliasException& e) {
            return std::string("alias: ") + e.reason.in();
        } catch (...) {
            return "other";
        }
        return "none";
    };
    EXPECT_EQ(reason([] { throw EpTypes::FailedOperationException("as it was"); }),
              "failed: as it was");
    EXPECT_EQ(reason([] { throw EpUser::NoKnownAliasException(EpUser::AliasInfo(), "who"); }),
              "alias: who");
    EXPECT_EQ(reason([] { throw EpTypes::BadArgumentsException("not passed"); }),
              "failed: Error talking");
    EXPECT_EQ(reason([] { throw CORBA::TRANSIENT(0, CORBA::COMPLETED_NO); }),
              "failed: Error talking");
    EXPECT_EQ(reason([] { throw 42; }), "failed: Unknown exception talking");
    EXPECT_EQ(reason([] {}), "none");
    EXPECT_EQ(hvc_util::withHandlers(failures, [] { return 7; }), 7);
}

TEST(Orb, BindWithoutANamingServiceIsACorbaException) {
    CORBA::ORB_var orb = hvc_util::Orb::init();
    EXPECT_THROW(CORBA::Object_var o = hvc_util::Orb::bind(orb, "Anything"), CORBA::Exception);
}

TEST(Orb, BindResolvesOneComponentNamesAndNarrowsByType) {
    hvc_test::NamingService names;
    ScopedEnv initRef("ORBInitRef", names.initRef());
    CORBA::ORB_var orb = hvc_util::Orb::init();
    CORBA::ORB_var same = hvc_util::Orb::init();
    EXPECT_EQ(orb.in(), same.in());
    EXPECT_THROW(CORBA::Object_var o = hvc_util::Orb::bind(orb, "Missing"),
                 CosNaming::NamingContext::NotFound);

    // Bind the naming context itself under a name: it is found, and it is no
    // alias service.
    CORBA::Object_var rootObj = orb->resolve_initial_references("NameService");
    CosNaming::NamingContext_var root = CosNaming::NamingContext::_narrow(rootObj);
    CosNaming::Name name;
    name.length(1);
    name[0].id = "Server.Context";
    name[0].kind = "";
    root->rebind(name, root);
    CORBA::Object_var found = hvc_util::Orb::bind(orb, "Server.Context");
    EXPECT_TRUE(found->_is_equivalent(root));
    EpUser::AliasService_var wrong =
        hvc_util::Orb::bindAs<EpUser::AliasService>(orb, "Server.Context");
    EXPECT_TRUE(CORBA::is_nil(wrong));
}
