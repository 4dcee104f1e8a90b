#include "hvc_util/UserProfile.h"

#include "SessionPlatform.h"
#include "support/Failures.h"
#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <string>
#include <unistd.h>

using hvc_util::UserProfile;

using hvc_test::reasonOf;

namespace {

std::string localHost() {
    char name[1024] = {};
    ::gethostname(name, sizeof name - 1);
    return name;
}

const hvc_sandbox::UserDirectory::User*
userNamed(const std::vector<hvc_sandbox::UserDirectory::User>& users, const std::string& account) {
    for (const auto& user : users)
        if (user.account == account)
            return &user;
    return nullptr;
}

} // namespace

TEST(UserProfileAliases, TheLocalAccountIsItsPlatformUsersAliasOrNobodys) {
    hvc_test::SessionPlatform platform;
    EpUser::UserInfo info = UserProfile::getUserInfo();
    EXPECT_STREQ(info.account.in(), "tester");
    EXPECT_EQ(info.id, userNamed(platform.users().users(), "tester")->id);

    // Without login variables the password database names the local account,
    // as for the profile's own resolution.
    const passwd* entry = ::getpwuid(::getuid());
    ASSERT_NE(entry, nullptr);
    for (const char* variable : {"USERNAME", "LOGNAME", "USER"})
        platform.environment().unset(variable);
    for (const std::string& account : {std::string(entry->pw_name), std::string("stranger")}) {
        try {
            UserProfile::getUserInfo();
            ADD_FAILURE() << account << " is nobody's alias";
        } catch (const EpUser::NoKnownAliasException& e) {
            EXPECT_EQ(e.alias.userName.in(), account);
            EXPECT_EQ(e.reason.in(), "No platform user has the alias " + account);
        }
        platform.environment().set("USERNAME", "stranger");
    }
}

TEST(UserProfileAliases, RegisteringMakesTheLocalAccountAnAliasOfTheUnixAccountsOwner) {
    hvc_test::SessionPlatform platform;
    platform.environment().set("USERNAME", "carol");
    UserProfile::registerAlias(EpUser::SCOPE_DOMAIN, localHost().c_str(), "bob", "note");
    const auto users = platform.users().users();
    const auto* bob = userNamed(users, "bob");
    ASSERT_NE(bob, nullptr);
    const auto& alias = bob->aliases.back();
    EXPECT_EQ(alias.userName, "carol");
    EXPECT_EQ(alias.hostName, localHost());
    EXPECT_EQ(alias.osName, "UNIX");
    EXPECT_EQ(alias.scope, EpUser::SCOPE_DOMAIN);
    EXPECT_EQ(UserProfile::getUserInfo().id, bob->id);
}

TEST(UserProfileAliases, RegisteringUnderAnUnknownUnixAccountFails) {
    hvc_test::SessionPlatform platform;
    const std::size_t before = userNamed(platform.users().users(), "tester")->aliases.size();
    EXPECT_EQ(reasonOf([] {
                  UserProfile::registerAlias(EpUser::SCOPE_LOCAL, "elsewhere", "nobody", "");
              }),
              "Error connecting to User Alias Service to register an alias");
    EXPECT_EQ(userNamed(platform.users().users(), "tester")->aliases.size(), before);
}

TEST(UserProfileAliases, WithoutAnAliasServiceRegistrationFailsWithItsReason) {
    EXPECT_EQ(reasonOf([] { UserProfile::registerAlias(EpUser::SCOPE_LOCAL, "h", "u", ""); }),
              "Error in getUserAliasService; cannot resolve 'EpUser::AliasService' service.");
}
