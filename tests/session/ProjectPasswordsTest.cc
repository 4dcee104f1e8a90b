#include "hvc_util/UserProfile.h"

#include "SessionPlatform.h"
#include "bindings/private/PasswordSeal.h"
#include "support/Failures.h"
#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using hvc_util::UserProfile;

using hvc_test::reasonOf;

namespace {

struct Entry {
    std::string store, project, note, password;
};

EpProject::ProjectAccessInfoSeq accessList(const std::vector<Entry>& entries) {
    EpProject::ProjectAccessInfoSeq seq;
    seq.length(static_cast<CORBA::ULong>(entries.size()));
    for (CORBA::ULong i = 0; i < seq.length(); ++i) {
        seq[i].dataStoreName = entries[i].store.c_str();
        seq[i].projectName = entries[i].project.c_str();
        seq[i].accessNote = entries[i].note.c_str();
        seq[i].password = entries[i].password.c_str();
    }
    return seq;
}

struct ProjectPasswordsTest : ::testing::Test {
    hvc_test::SessionPlatform platform;
    EpUser::UserProfile_var profile = UserProfile::getUserProfile();

    // The stored table, opened with the platform's key pair.
    std::vector<std::pair<std::string, std::vector<Entry>>> stored() {
        CORBA::Any value;
        EXPECT_TRUE(platform.profile().lookUp(
            EpProject::DataStoreDescriptor::PROP_DATASTORE_PASSWORD, value));
        const CosPropertyService::Properties* table = nullptr;
        EXPECT_TRUE(value >>= table);
        std::vector<std::pair<std::string, std::vector<Entry>>> out;
        for (CORBA::ULong i = 0; table != nullptr && i < table->length(); ++i) {
            const EpProject::ProjectAccessInfoSeq* projects = nullptr;
            EXPECT_TRUE((*table)[i].property_value >>= projects);
            std::vector<Entry> entries;
            for (CORBA::ULong j = 0; projects != nullptr && j < projects->length(); ++j) {
                const auto& p = (*projects)[j];
                std::string clear;
                EXPECT_NE(std::string(p.password.in()).rfind("sealed:", 0), std::string::npos);
                EXPECT_TRUE(hvc_util::PasswordSeal::open(
                    platform->publicKey(), platform->secretKey(), p.password.in(), clear));
                entries.push_back(
                    {p.dataStoreName.in(), p.projectName.in(), p.accessNote.in(), clear});
            }
            out.push_back({(*table)[i].property_name.in(), entries});
        }
        return out;
    }
};

bool operator==(const Entry& a, const Entry& b) {
    return a.store == b.store && a.project == b.project && a.note == b.note &&
           a.password == b.password;
}

} // namespace

TEST_F(ProjectPasswordsTest, PasswordsAreStoredSealedPerDataStoreAndReplacedInPlace) {
    UserProfile::setProjectPassword(profile, accessList({{"S", "P1", "n1", "secret1"},
                                                         {"S", "P2", "n2", "secret2"},
                                                         {"T", "P1", "", "secret3"}}));
    UserProfile::setProjectPassword(profile, accessList({{"S", "P1", "n9", "changed"}}));
    const char* stores[] = {"T", "S"};
    const char* projects[] = {"P2", "P3"};
    const char* passwords[] = {"", "secret4"};
    UserProfile::setProjectPassword(profile, stores, projects, passwords, 2);

    using Table = std::vector<std::pair<std::string, std::vector<Entry>>>;
    EXPECT_EQ(stored(), (Table{{"S",
                                {{"S", "P1", "n9", "changed"},
                                 {"S", "P2", "n2", "secret2"},
                                 {"S", "P3", "", "secret4"}}},
                               {"T", {{"T", "P1", "", "secret3"}, {"T", "P2", "", ""}}}}));
    EXPECT_TRUE(profile->checkProjectPassword("S", "P1", "changed"));
    EXPECT_FALSE(profile->checkProjectPassword("S", "P1", "secret1"));
}

TEST_F(ProjectPasswordsTest, ExistenceIsAskedPerProject) {
    EXPECT_FALSE(UserProfile::projectPasswordExists(profile, "S", "P"));
    const char* stores[] = {"S"};
    const char* projects[] = {"P"};
    const char* passwords[] = {""};
    UserProfile::setProjectPassword(profile, stores, projects, passwords, 1);
    EXPECT_TRUE(UserProfile::projectPasswordExists(profile, "S", "P"));
    EXPECT_FALSE(UserProfile::projectPasswordExists(profile, "S", "Q"));
    EXPECT_FALSE(UserProfile::projectPasswordExists(profile, "T", "P"));
    EXPECT_FALSE(UserProfile::projectPasswordExists(profile, "s", "P"));
    EXPECT_EQ(reasonOf([&] { UserProfile::projectPasswordExists(profile, nullptr, "P"); }),
              "Datastore/projectname is null.");
    EXPECT_EQ(reasonOf([&] { UserProfile::projectPasswordExists(profile, "S", nullptr); }),
              "Datastore/projectname is null.");
}

TEST_F(ProjectPasswordsTest, TablesOfAnotherTypeCountAsEmpty) {
    CORBA::Any text;
    text <<= "not a table";
    platform.profile().store(EpProject::DataStoreDescriptor::PROP_DATASTORE_PASSWORD, text);
    EXPECT_FALSE(UserProfile::projectPasswordExists(profile, "S", "P"));

    CosPropertyService::Properties table;
    table.length(1);
    table[0].property_name = "S";
    table[0].property_value <<= static_cast<CORBA::Long>(1);
    CORBA::Any value;
    value <<= table;
    platform.profile().store(EpProject::DataStoreDescriptor::PROP_DATASTORE_PASSWORD, value);
    EXPECT_FALSE(UserProfile::projectPasswordExists(profile, "S", "P"));
    UserProfile::setProjectPassword(profile, accessList({{"S", "P", "", "pw"}}));
    using Table = std::vector<std::pair<std::string, std::vector<Entry>>>;
    EXPECT_EQ(stored(), (Table{{"S", {{"S", "P", "", "pw"}}}}));
}

TEST_F(ProjectPasswordsTest, NothingIsStoredWithoutTheKey) {
    platform.environment().unset("HVC_PASSWORD_KEY");
    const std::string reason = reasonOf([&] {
        UserProfile::setProjectPassword(profile, accessList({{"S", "P", "", "pw"}}));
    });
    EXPECT_EQ(reason.rfind("Could not seal the project password: ", 0), 0u) << reason;
    CORBA::Any value;
    EXPECT_FALSE(
        platform.profile().lookUp(EpProject::DataStoreDescriptor::PROP_DATASTORE_PASSWORD, value));
}

TEST_F(ProjectPasswordsTest, TheProfileRefusesClearTextPasswords) {
    CosPropertyService::Properties table;
    table.length(1);
    table[0].property_name = "S";
    table[0].property_value <<= accessList({{"S", "P", "", "clear"}});
    CORBA::Any value;
    value <<= table;
    EXPECT_THROW(
        profile->define_property(EpProject::DataStoreDescriptor::PROP_DATASTORE_PASSWORD, value),
        CosPropertyService::UnsupportedProperty);
}

TEST(ProjectPasswords, NoProjectsFailBeforeTheProfileIsUsed) {
    const char* none[] = {nullptr};
    const auto nil = EpUser::UserProfile::_nil();
    EXPECT_EQ(reasonOf([&] { UserProfile::setProjectPassword(nil, none, none, none, 0); }),
              "The # of projects  cannot be <= 0");
    EXPECT_EQ(reasonOf([&] { UserProfile::setProjectPassword(nil, none, none, none, -1); }),
              "The # of projects  cannot be <= 0");
    EXPECT_EQ(reasonOf([&] { UserProfile::setProjectPassword(nil, accessList({})); }),
              "The # of projects  cannot be <= 0");
    EXPECT_THROW(UserProfile::projectPasswordExists(nil, "S", "P"), CORBA::BAD_PARAM);
}
