#include "hvc_util/BootStrapIORs.h"
#include "hvc_util/Coordinate.h"
#include "hvc_util/Notification.h"
#include "hvc_util/ReferenceValue.h"
#include "hvc_util/ServiceResolution.h"
#include "hvc_util/Trader.h"
#include "hvc_util/UnitOfMeasure.h"
#include "hvc_util/UserProfile.h"

#include "sandbox/Platform.h"
#include "sandbox/UserProfileServant.h"
#include "support/ChildProcess.h"
#include "support/Failures.h"
#include "support/ScopedEnv.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using hvc_sandbox::Platform;
using hvc_test::ScopedEnv;
using hvc_test::StderrCapture;
using hvc_test::TempDir;
using hvc_test::TempHome;
using hvc_util::ServiceResolution;
using Means = hvc_util::ServiceResolution::Means;

using hvc_test::reasonOf;

namespace {

const char* const allVariables[] = {"HVC_COORD_FIND_IOR", "HVC_COORD_FACT_IOR", "HVC_USER_IOR",
                                    "HVC_UAS_IOR",        "HVC_UNITS_IOR",      "HVC_TRADER_IOR",
                                    "HVC_RVS_IOR",        "HVC_NOTIFY_IOR"};

// Every service resolves and each by the expected means.
void expectAllResolvedBy(Means means) {
    CORBA::Object_var refs[] = {hvc_util::Coordinate::getFinder(),
                                hvc_util::Coordinate::getFactory(),
                                hvc_util::Notification::getChannelFactory(),
                                hvc_util::ReferenceValue::getService(),
                                hvc_util::Trader::lookupTradingService(),
                                hvc_util::UnitOfMeasure::getServer(),
                                hvc_util::UserProfile::getUserAliasService(),
                                hvc_util::UserProfile::getUserProfile()};
    for (auto& r : refs)
        EXPECT_FALSE(CORBA::is_nil(r));
    for (const char* name :
         {"EpCoordinateService::Finder", "EpCoordinateService::Factory",
          "CosNotifyChannelAdmin::EventChannelFactory",
          "EpReferenceValueService::ReferenceValueService", "CosTrading::Lookup",
          "EpUnitOfMeasureService::Server", "EpUser::AliasService", "EpUser::UserProfile"})
        EXPECT_EQ(ServiceResolution::meansOf(name), means) << name;
}

std::string scriptFor(const Platform& platform, std::initializer_list<const char*> variables) {
    std::string text;
    for (const char* v : variables)
        text += std::string(v) + "=" + platform.ior(v) + "\n";
    return TempHome::printing(text);
}

} // namespace

TEST(ServiceResolver, NothingResolvesWithoutAPlatform) {
    StderrCapture err;
    EXPECT_EQ(reasonOf(hvc_util::Coordinate::getFinder),
              "Error in getFinder; cannot resolve 'EpCoordinateService::Finder' service.");
    EXPECT_EQ(reasonOf(hvc_util::Coordinate::getFactory),
              "Error in getFactory; cannot resolve 'EpCoordinateService::Factory' service.");
    EXPECT_EQ(reasonOf(hvc_util::Notification::getChannelFactory),
              "Error in getChannelFactory; cannot resolve "
              "'CosNotifyChannelAdmin::EventChannelFactory' service.");
    EXPECT_EQ(reasonOf(hvc_util::ReferenceValue::getService),
              "Error in getService; cannot resolve "
              "'EpReferenceValueService::ReferenceValueService' service.");
    EXPECT_EQ(reasonOf(hvc_util::UnitOfMeasure::getServer),
              "Error in getServer; cannot resolve 'EpUnitOfMeasureService::Server' service.");
    EXPECT_EQ(reasonOf(hvc_util::UserProfile::getUserAliasService),
              "Error in getUserAliasService; cannot resolve 'EpUser::AliasService' service.");
    // The profile reports the reference script's own failure.
    EXPECT_EQ(reasonOf([] { return hvc_util::UserProfile::getUserProfile(); }),
              "BootstrapIOR : HVC_HOME is not set");
    const std::string before = err.text();

    StderrCapture traderErr;
    EXPECT_EQ(reasonOf(hvc_util::Trader::lookupTradingService),
              "Cannot resolve CosTrading::Lookup service.");
    EXPECT_EQ(traderErr.text(), "Could not bind to CosTrading::Lookup\n"
                                "Ensure that the Trader service is running.\n"
                                "Cannot resolve CosTrading::Lookup service.\n");

    // Bind failures, in the order the services were asked.
    const std::string coordinate = "Could not bind to EpCoordinateService\n"
                                   "Ensure that the Coordinate Service is running.\n\n"
                                   "CORBA::NO_RESOURCES (minor NO_RESOURCES_InitialRefNotFound, "
                                   "completed no)\n";
    EXPECT_EQ(before, coordinate + coordinate +
                          "Could not bind to CosNotifyChannelAdmin::EventChannelFactory\n"
                          "Ensure that the Notification service is running.\n\n"
                          "Could not bind to Server.EpReferenceValueService\n"
                          "Ensure that the Reference Value Service is running.\n\n"
                          "CORBA::NO_RESOURCES (minor NO_RESOURCES_InitialRefNotFound, "
                          "completed no)\n"
                          "Could not bind to Server.EpUnitOfMeasureService\n"
                          "Ensure that the UnitOfMeasure Service is running.\n");
}

TEST(ServiceResolver, ProfileFailsWithItsOwnTextWhenTheScriptLoadsNothingUseful) {
    TempHome home(TempHome::printing("UNRELATED=1\n"));
    EXPECT_EQ(reasonOf([] { return hvc_util::UserProfile::getUserProfile(); }),
              "Cannot connect to your Halvercast user server, Ensure that your Halvercast user "
              "server is running.");
    // The alias service asked the profile, which asked the alias service: the
    // nested call failed at once instead of recursing, and nothing stays stuck.
    EXPECT_EQ(reasonOf(hvc_util::UserProfile::getUserAliasService),
              "Error in getUserAliasService; cannot resolve 'EpUser::AliasService' service.");
    Platform platform;
    ScopedEnv uas("HVC_UAS_IOR", platform.ior("HVC_UAS_IOR"));
    CORBA::Object_var aliases = hvc_util::UserProfile::getUserAliasService();
    EXPECT_FALSE(CORBA::is_nil(aliases));
}

TEST(ServiceResolver, EveryServiceResolvesThroughTheReferenceScript) {
    Platform platform;
    TempDir dir;
    platform.writeHome(dir.path());
    ScopedEnv home("HVC_HOME", dir.path());
    expectAllResolvedBy(Means::Environment);
}

TEST(ServiceResolver, EveryServiceResolvesByBindThroughANamingService) {
    hvc_test::NamingService names;
    ScopedEnv initRef("ORBInitRef", names.initRef());
    Platform platform;
    std::string why;
    ASSERT_TRUE(platform.bindNames(why)) << why;
    StderrCapture err;
    expectAllResolvedBy(Means::Bind);
    EXPECT_EQ(err.text(), "");
    EXPECT_FALSE(hvc_util::BootStrapIORs::isBootstrapped());
}

TEST(ServiceResolver, ProfilePropertyIsTheLastMeans) {
    Platform platform;
    CORBA::Object_var finder = platform.reference("HVC_COORD_FIND_IOR");
    CORBA::Any value;
    value <<= finder.in();
    platform.profile(platform.userSpecs().front().account)
        ->define_property("EpCoordinateService::Finder", value);
    // The script runs but names only the profile.
    TempHome home(scriptFor(platform, {"HVC_USER_IOR"}));
    StderrCapture err;
    EpCoordinateService::Finder_var got = hvc_util::Coordinate::getFinder();
    err.text();
    EXPECT_TRUE(got->_is_equivalent(finder));
    EXPECT_EQ(ServiceResolution::meansOf("EpCoordinateService::Finder"), Means::Profile);
}

TEST(ServiceResolver, UnknownAliasStopsTheProfileBeforeItsVariable) {
    Platform::Options options;
    options.users.push_back({"other", "nobody-here"});
    Platform platform(options);
    ScopedEnv vars;
    vars.set("HVC_UAS_IOR", platform.ior("HVC_UAS_IOR"));
    vars.set("HVC_USER_IOR", platform.ior("HVC_USER_IOR"));
    EXPECT_EQ(reasonOf([] { return hvc_util::UserProfile::getUserProfile(); }),
              "Could not obtain user information:  Make sure an alias is registered for this "
              "account.");
    EXPECT_EQ(reasonOf([] { return hvc_util::UserProfile::getUserProfile("h", "u", "UNIX"); }),
              "Could not obtain user information: Make sure an alias is registered for this "
              "account");
}

TEST(ServiceResolver, EmptyVariablesRunTheScriptOnlyWhereTheyCountAsAbsent) {
    Platform platform;
    ScopedEnv vars;
    // The profile, should it be consulted, resolves without the script.
    vars.set("HVC_UAS_IOR", platform.ior("HVC_UAS_IOR"));
    vars.set("HVC_USER_IOR", platform.ior("HVC_USER_IOR"));
    vars.set("HVC_COORD_FIND_IOR", "");
    vars.set("HVC_COORD_FACT_IOR", "");
    TempHome home(
        TempHome::printing("HVC_COORD_FIND_IOR=" + platform.ior("HVC_COORD_FIND_IOR") + "\n"));
    StderrCapture err;
    EXPECT_EQ(reasonOf(hvc_util::Coordinate::getFactory),
              "Error in getFactory; cannot resolve 'EpCoordinateService::Factory' service.");
    EXPECT_EQ(home.runs(), 0);
    CORBA::Object_var finder = hvc_util::Coordinate::getFinder();
    EXPECT_EQ(home.runs(), 1);
    EXPECT_EQ(ServiceResolution::meansOf("EpCoordinateService::Finder"), Means::Environment);
}

TEST(ServiceResolver, GoneObjectsSendForcedRowsBackToTheScript) {
    Platform platform;
    const std::string deadUnits = platform.ior("HVC_UNITS_IOR");
    const std::string deadFinder = platform.ior("HVC_COORD_FIND_IOR");
    platform.deactivate("HVC_UNITS_IOR");
    platform.deactivate("HVC_COORD_FIND_IOR");
    Platform::Options second;
    Platform live(second);
    TempHome home(TempHome::printing("HVC_UNITS_IOR=" + deadUnits +
                                     "\nHVC_COORD_FIND_IOR=" + deadFinder + "\n"));
    StderrCapture err;
    hvc_util::BootStrapIORs::bootstrapIORs(false);
    ASSERT_EQ(home.runs(), 1);

    // Units: the script already ran, so the same gone reference is cached.
    EpUnitOfMeasureService::Server_var units = hvc_util::UnitOfMeasure::getServer();
    EXPECT_EQ(home.runs(), 1);
    EXPECT_TRUE(units->_non_existent());

    // Finder: the script runs again and its new value is taken.
    home.setScript(
        TempHome::printing("HVC_COORD_FIND_IOR=" + live.ior("HVC_COORD_FIND_IOR") + "\n"));
    EpCoordinateService::Finder_var finder = hvc_util::Coordinate::getFinder();
    EXPECT_FALSE(finder->_non_existent());
    CORBA::Object_var expected = live.reference("HVC_COORD_FIND_IOR");
    EXPECT_TRUE(finder->_is_equivalent(expected));
}

TEST(ServiceResolver, CachedReferencesNeedNothingOnceResolved) {
    CORBA::Object_var first;
    {
        hvc_test::SandboxProcess sandbox;
        ScopedEnv home("HVC_HOME", sandbox.home());
        StderrCapture err;
        first = hvc_util::UnitOfMeasure::getServer();
        ASSERT_FALSE(CORBA::is_nil(first));
    }
    // The server is gone, the environment names nothing: the cache answers.
    ScopedEnv clean;
    clean.unset("HVC_UNITS_IOR");
    clean.unset("HVC_HOME");
    StderrCapture err;
    for (int i = 0; i < 3; ++i) {
        EpUnitOfMeasureService::Server_var again = hvc_util::UnitOfMeasure::getServer();
        EXPECT_TRUE(again->_is_equivalent(first));
    }
    EXPECT_EQ(err.text(), "");
}

TEST(ServiceResolver, StaleReferenceWhoseProbeFailsStaysCached) {
    std::string stale;
    {
        hvc_test::SandboxProcess sandbox;
        ScopedEnv home("HVC_HOME", sandbox.home());
        hvc_util::BootStrapIORs::bootstrapIORs(true);
        stale = std::getenv("HVC_RVS_IOR");
    }
    // Only the variable is left; the server behind it has ended, so the
    // existence probe raises instead of answering.
    ScopedEnv vars("HVC_RVS_IOR", stale);
    StderrCapture err;
    EpReferenceValueService::ReferenceValueService_var rvs = hvc_util::ReferenceValue::getService();
    EXPECT_FALSE(CORBA::is_nil(rvs));
    EXPECT_EQ(ServiceResolution::meansOf("EpReferenceValueService::ReferenceValueService"),
              Means::Environment);
}
