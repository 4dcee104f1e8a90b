// hvc-sandbox --home keeps its platform: restarted on the same home it serves
// what clients made before, under the references handed out before (the
// library's cached ones included); killed in the middle of a stream of
// writes it has lost none it acknowledged; a home it cannot use is refused
// with a clear message and exit status 3.
#include "hvc_util/Coordinate.h"
#include "hvc_util/Notification.h"
#include "hvc_util/ReferenceValue.h"
#include "hvc_util/ServiceCatalogue.h"
#include "hvc_util/Session.h"
#include "hvc_util/Trader.h"
#include "hvc_util/UnitOfMeasure.h"
#include "hvc_util/UserProfile.h"

#include "support/ChildProcess.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <EpProject.hh>
#include <EpReferenceValueService.hh>
#include <EpTypesService.hh>
#include <EpUser.hh>
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <thread>

using hvc_test::ScopedEnv;
using hvc_test::TempDir;
using hvc_util::Session;
using hvc_util::UserProfile;

namespace {

std::string databaseOf(const TempDir& home) {
    return home.path() + "/var/sandbox.db";
}

// Runs `sql` on the home's database, as another program (or a damaged disk)
// would change it.
void alter(const TempDir& home, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(databaseOf(home).c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db);
    sqlite3_close(db);
}

// hvc-sandbox on `home`, run to its end (a sandbox that starts is stopped).
hvc_test::ProgramRun runSandbox(const TempDir& home) {
    return hvc_test::runProgram({std::getenv("HVC_SANDBOX_EXE"), "--home", home.path()}, "", 10);
}

// bob's alias on another host, registered before a restart.
EpUser::AliasInfo carol() {
    EpUser::AliasInfo alias;
    alias.hostName = "elsewhere";
    alias.userName = "carol";
    alias.osName = "UNIX";
    alias.scope = EpUser::SCOPE_LOCAL;
    return alias;
}

std::string textProperty(CosPropertyService::PropertySet_ptr holder, const char* name) {
    CORBA::Any_var value = holder->get_property_value(name);
    const char* text = nullptr;
    return (value.in() >>= text) ? std::string(text) : std::string("(not a text)");
}

} // namespace

TEST(SandboxHome, RestartServesEverythingAgainUnderTheReferencesHandedOutBefore) {
    TempDir home("hvc-home");
    ScopedEnv env("USERNAME", "tester");
    env.set("HVC_HOME", home.path());
    env.unset("halvercast.sessionName");

    EpUser::UserProfile_var profile;
    EpUser::AliasService_var aliases;
    EpSession::SessionManager_var manager;
    EpSession::Session_var session, gone;
    EpProject::ProjectSet_var survey;
    std::string identifier;
    {
        hvc_test::SandboxProcess first(home.path(), {"--user", "tester", "--user", "bob"});
        profile = UserProfile::getUserProfile();
        aliases = UserProfile::getUserAliasService();
        manager = Session::getSessionManager();
        session = Session::createSession("S", EpProject::ProjectSet::_nil());
        identifier = Session::getSessionUUID(session).getValue();
        session->marker("kept");
        Session::setInterpreter(session, "Store", "Proj", "alice");
        CORBA::Any colour;
        colour <<= "blue";
        session->define_property("colour", colour);
        profile->define_property("colour", colour);

        CORBA::Object_var setsObj = profile->getProjectSetManager();
        EpProject::ProjectSetManager_var sets = EpProject::ProjectSetManager::_narrow(setsObj);
        survey = sets->createProjectSet("Survey");
        survey->addProject("Store", "P1");
        survey->define_property("colour", colour);
        session->setProjectSet(survey);

        const char* stores[] = {"Store"};
        const char* projects[] = {"Proj"};
        const char* passwords[] = {"hunter2"};
        UserProfile::setProjectPassword(profile, stores, projects, passwords, 1);

        aliases->registerAlias("user:2", carol(), "");

        gone = Session::createSession("Gone", EpProject::ProjectSet::_nil());
        gone->remove();
    }

    // Restarted without naming users: the ones it knows. Nothing can be
    // resolved anew: the library answers from its cache.
    hvc_test::SandboxProcess second(home.path(), {});
    env.unset("HVC_HOME");
    EpUser::UserProfile_var cachedProfile = UserProfile::getUserProfile();
    EXPECT_EQ(cachedProfile.in(), profile.in());
    EpSession::SessionManager_var cachedManager = Session::getSessionManager();
    EXPECT_EQ(cachedManager.in(), manager.in());

    EXPECT_STREQ(CORBA::String_var(session->name()).in(), "S");
    EXPECT_EQ(std::string(Session::getSessionUUID(session).getValue()), identifier);
    EXPECT_STREQ(CORBA::String_var(session->marker()).in(), "kept");
    EXPECT_EQ(std::string(Session::getInterpreter(session, "Store", "Proj").getValue()), "alice");
    EXPECT_EQ(textProperty(session, "colour"), "blue");
    EpProject::ProjectSet_var attached = session->getProjectSet();
    EXPECT_TRUE(attached->_is_equivalent(survey));
    DosTypes::StringSeq_var names = survey->getProjectNames();
    ASSERT_EQ(names->length(), 1u);
    EXPECT_STREQ(names[0].in(), "Store/P1");
    EXPECT_EQ(textProperty(survey, "colour"), "blue");

    // The key pair came back with the platform: the sealed password opens.
    EXPECT_TRUE(profile->checkProjectPassword("Store", "Proj", "hunter2"));
    EXPECT_FALSE(profile->checkProjectPassword("Store", "Proj", "guess"));
    EXPECT_TRUE(UserProfile::projectPasswordExists(profile, "Store", "Proj"));
    EXPECT_STREQ(CORBA::String_var(profile->account()).in(), "tester");

    EpUser::UserInfo_var owner = aliases->lookupAlias(carol());
    EXPECT_STREQ(owner->account.in(), "bob");
    EXPECT_EQ(owner->id, 2);

    // A removed session stays removed, and its old reference names nothing.
    DosTypes::StringSeq_var sessions = manager->getSessionNames();
    ASSERT_EQ(sessions->length(), 1u);
    EXPECT_STREQ(sessions[0].in(), "S");
    EXPECT_THROW(CORBA::String_var(gone->name()), CORBA::OBJECT_NOT_EXIST);
}

TEST(SandboxHome, KilledAmidWritesKeepsEveryAcknowledgedWrite) {
    TempDir home("hvc-home");
    ScopedEnv env("USERNAME", "tester");
    env.set("HVC_HOME", home.path());
    std::unique_ptr<hvc_test::SandboxProcess> sandbox =
        std::make_unique<hvc_test::SandboxProcess>(home.path(), std::vector<std::string>());
    EpSession::Session_var session = Session::createSession("W", EpProject::ProjectSet::_nil());

    // One client writes property after property; a write counts once its
    // call has returned.
    std::atomic<int> acknowledged{0};
    std::thread writer([&] {
        try {
            for (int i = 0;; ++i) {
                CORBA::Any value;
                value <<= static_cast<CORBA::Long>(i);
                session->define_property(("k" + std::to_string(i)).c_str(), value);
                acknowledged = i + 1;
            }
        } catch (const CORBA::Exception&) {
        }
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (acknowledged < 200 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(sandbox->crash(), "signal 9");
    writer.join();
    const int written = acknowledged;
    ASSERT_GE(written, 200);

    sandbox = std::make_unique<hvc_test::SandboxProcess>(home.path(), std::vector<std::string>());
    env.unset("HVC_HOME"); // no new resolution: the cached references serve
    for (int i = 0; i < written; ++i) {
        CORBA::Any_var value = session->get_property_value(("k" + std::to_string(i)).c_str());
        CORBA::Long got = -1;
        ASSERT_TRUE(value.in() >>= got) << i;
        ASSERT_EQ(got, i);
    }
    EpSession::Session_var again = Session::getSession(hvc_util::String("W"));
    EXPECT_TRUE(again->_is_equivalent(session));
}

TEST(SandboxHome, UnusableHomesAreRefusedWithAClearMessage) {
    TempDir home("hvc-home");
    { hvc_test::SandboxProcess made(home.path(), {}); }
    const std::string db = databaseOf(home);
    const std::string pid = "(process ";

    // Written by a newer sandbox: its format, then one room's tables.
    alter(home, "PRAGMA user_version = 7");
    hvc_test::ProgramRun run = runSandbox(home);
    EXPECT_EQ(run.ending, "exit 3");
    EXPECT_EQ(run.err, "hvc-sandbox: " + db +
                           " was written by a newer hvc-sandbox (format 7; this one reads up to "
                           "1)\n");
    alter(home, "PRAGMA user_version = 1; UPDATE schema_versions SET version = 9 WHERE part = "
                "'users'");
    run = runSandbox(home);
    EXPECT_EQ(run.ending, "exit 3");
    EXPECT_EQ(run.err, "hvc-sandbox: " + db +
                           " holds users state of version 9, written by a newer hvc-sandbox; this "
                           "one knows up to version 1\n");
    alter(home, "UPDATE schema_versions SET version = 1 WHERE part = 'users'");

    // Damaged: a page of its tables overwritten.
    alter(home, "PRAGMA wal_checkpoint(TRUNCATE)");
    {
        std::fstream file(db, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(4096 * 2);
        const std::string noise(4096, '\xA5');
        file.write(noise.data(), static_cast<std::streamsize>(noise.size()));
    }
    run = runSandbox(home);
    EXPECT_EQ(run.ending, "exit 3");
    EXPECT_EQ(run.err.rfind("hvc-sandbox: " + db + " is damaged: ", 0), 0u) << run.err;

    // Not a database at all, and another program's database.
    TempDir text("hvc-home");
    text.write("var/sandbox.db", "name,value\nnot,sqlite\n");
    run = runSandbox(text);
    EXPECT_EQ(run.ending, "exit 3");
    EXPECT_EQ(run.err, "hvc-sandbox: " + databaseOf(text) +
                           " is not an hvc-sandbox state database: file is not a database\n");
    TempDir foreign("hvc-home");
    ::mkdir((foreign.path() + "/var").c_str(), 0755);
    alter(foreign, "CREATE TABLE accounts(id INTEGER)");
    run = runSandbox(foreign);
    EXPECT_EQ(run.ending, "exit 3");
    EXPECT_EQ(run.err, "hvc-sandbox: " + databaseOf(foreign) +
                           " is not an hvc-sandbox state database (it belongs to another "
                           "program); give the sandbox a home of its own\n");
}

TEST(SandboxHome, SecretKeyReadableByOthersAndASecondSandboxAreRefused) {
    TempDir home("hvc-home");
    hvc_test::SandboxProcess first(home.path(), {});
    hvc_test::ProgramRun run = runSandbox(home);
    EXPECT_EQ(run.ending, "exit 3");
    EXPECT_EQ(run.err, "hvc-sandbox: another hvc-sandbox (process " +
                           std::to_string(first.process().pid()) + ") serves the home " +
                           home.path() + "\n");

    TempDir other("hvc-home");
    { hvc_test::SandboxProcess made(other.path(), {}); }
    const std::string key = other.path() + "/etc/password.key";
    struct stat st;
    ASSERT_EQ(::stat(key.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ::chmod(key.c_str(), 0644);
    run = runSandbox(other);
    EXPECT_EQ(run.ending, "exit 3");
    EXPECT_EQ(run.err, "hvc-sandbox: " + key +
                           " holds the platform's secret key but others may read it (mode 0644); "
                           "make it 0600: chmod 600 " +
                           key + "\n");
}

TEST(SandboxHome, ChannelsOffersUnitsSystemsAndVocabulariesOutliveARestart) {
    using namespace CosNotifyChannelAdmin;
    TempDir home("hvc-home");
    ScopedEnv env("USERNAME", "tester");
    env.set("HVC_HOME", home.path());
    const char* const profileType = EpUser::UserProfile::_PD_repoId;
    CosNotification::QoSProperties qos;
    CosNotification::AdminProperties admin;
    EventChannelFactory_var factory;
    EventChannel_var channel;
    ConsumerAdmin_var orAdmin;
    ChannelID id = 0, destroyed = 0;
    AdminID orId = 0;
    EpUnitOfMeasureService::Linear_var metre;
    EpCoordinateService::System_var wgs84;
    EpReferenceValueService::ReferenceValueSet_var horizons;
    std::string kept, dropped;
    {
        hvc_test::SandboxProcess first(home.path(), {});
        factory = hvc_util::Notification::getChannelFactory();
        channel = factory->create_channel(qos, admin, id);
        orAdmin = channel->new_for_consumers(OR_OP, orId);
        AdminID droppedAdmin = 0;
        ConsumerAdmin_var extra = channel->new_for_consumers(AND_OP, droppedAdmin);
        extra->destroy();
        EventChannel_var goneChannel = factory->create_channel(qos, admin, destroyed);
        goneChannel->destroy();

        metre = hvc_util::UnitOfMeasure::metre();
        EpReferenceValueService::ReferenceValueService_var values =
            hvc_util::ReferenceValue::getService();
        EpReferenceValueService::IdentificationSeq_var ids = values->getIdentifications();
        ASSERT_GT(ids->length(), 0u);
        horizons = values->getReferenceValueSet(ids[0]);
        EpCoordinateService::Finder_var finder = hvc_util::Coordinate::getFinder();
        wgs84 = finder->findSystem("EPSG:4326");
        // One offer of a lasting object, one of an object that goes.
        EpUser::UserProfile_var profile = UserProfile::getUserProfile();
        CosTrading::PropertySeq none;
        kept = CORBA::String_var(hvc_util::Trader::exportObject(profile, profileType, none)).in();
        EpSession::Session_var gone = Session::createSession("Gone", EpProject::ProjectSet::_nil());
        dropped = CORBA::String_var(hvc_util::Trader::exportObject(gone, profileType, none)).in();
        gone->remove();
    }
    hvc_test::SandboxProcess second(home.path(), {});
    env.unset("HVC_HOME");
    EventChannelFactory_var cached = hvc_util::Notification::getChannelFactory();
    EXPECT_EQ(cached.in(), factory.in());
    ChannelIDSeq_var channels = factory->get_all_channels();
    ASSERT_EQ(channels->length(), 2u); // the platform's and ours
    EXPECT_EQ(channels[1], id);
    EXPECT_EQ(orAdmin->MyOperator(), OR_OP);
    EXPECT_EQ(orAdmin->MyID(), orId);
    EventChannel_var owner = orAdmin->MyChannel();
    EXPECT_TRUE(owner->_is_equivalent(channel));
    AdminIDSeq_var admins = channel->get_all_consumeradmins();
    ASSERT_EQ(admins->length(), 2u); // the default and the OR one
    EXPECT_EQ(admins[1], orId);
    // Identifiers are not handed out again, across the restart either.
    ChannelID fresh = 0;
    EventChannel_var another = factory->create_channel(qos, admin, fresh);
    EXPECT_GT(fresh, destroyed);
    AdminID next = 0;
    ConsumerAdmin_var third = channel->new_for_consumers(AND_OP, next);
    EXPECT_GT(next, orId + 1);

    // The library's cached unit and a system handed out answer again.
    EXPECT_STREQ(CORBA::String_var(metre->acronym()).in(), "m");
    EXPECT_STREQ(CORBA::String_var(wgs84->name()).in(), "EPSG:4326");
    EXPECT_GT(horizons->getCount(), 0u);
    EpReferenceValueService::ReferenceValueService_var values =
        hvc_util::ReferenceValue::getService();
    EpReferenceValueService::IdentificationSeq_var ids = values->getIdentifications();
    EXPECT_GT(ids->length(), 0u);

    // The trader kept both offers; the library leaves out the one whose
    // object has gone.
    CosTrading::Register::OfferInfo_var info = hvc_util::Trader::describe(dropped.c_str());
    EXPECT_STREQ(info->type.in(), profileType);
    CosTrading::Lookup::SpecifiedProps all;
    all._d(CosTrading::Lookup::all);
    CosTrading::OfferSeq_var offers = hvc_util::Trader::findOffers(profileType, "", all);
    ASSERT_EQ(offers->length(), 1u);
    EpUser::UserProfile_var profile = UserProfile::getUserProfile();
    EXPECT_TRUE(offers[0].reference->_is_equivalent(profile));
    // The converter factories offered at the first start are not offered
    // again: one offer of each kind for the one user.
    CosTrading::OfferSeq_var converters = hvc_util::Trader::findOffers(
        EpTypesService::DefaultDataTypeConverterFactory::_PD_repoId, "", all);
    EXPECT_EQ(converters->length(), 1u);
    // Identifiers are not handed out again.
    EpUser::UserProfile_var again = UserProfile::getUserProfile();
    CosTrading::PropertySeq none;
    const std::string offer =
        CORBA::String_var(hvc_util::Trader::exportObject(again, profileType, none)).in();
    EXPECT_NE(offer, kept);
    EXPECT_NE(offer, dropped);
}
