#include "hvc_util/BootStrapIORs.h"
#include "hvc_util/Coordinate.h"
#include "hvc_util/Notification.h"
#include "hvc_util/ReferenceValue.h"
#include "hvc_util/ServiceResolution.h"
#include "hvc_util/Trader.h"
#include "hvc_util/UnitOfMeasure.h"
#include "hvc_util/UserProfile.h"

#include "sandbox/Platform.h"
#include "sandbox/users/UserServer.h"
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
using hvc_util::ServiceCatalogue;
using Entry = hvc_util::ServiceCatalogue::Entry;
using Service = hvc_util::ServiceCatalogue::Service;

using hvc_test::reasonOf;

namespace {

std::string variable(Service service) {
    return ServiceCatalogue::entry(service).variable;
}

// A reference script setting the variables of `services` to the platform's
// references.
std::string scriptFor(const Platform& platform, std::initializer_list<Service> services) {
    std::string text;
    for (Service service : services)
        text += variable(service) + "=" + platform.ior(service) + "\n";
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

    // Bind failures, in the order the services were asked (the trader's are
    // TraderTest's).
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
    ScopedEnv uas(variable(Service::AliasService), platform.ior(Service::AliasService));
    CORBA::Object_var aliases = hvc_util::UserProfile::getUserAliasService();
    EXPECT_FALSE(CORBA::is_nil(aliases));
}

TEST(ServiceResolver, EveryServiceResolvesByBindThroughANamingService) {
    hvc_test::NamingService names;
    ScopedEnv initRef("ORBInitRef", names.initRef());
    Platform platform;
    std::string why;
    ASSERT_TRUE(platform.bindNames(why)) << why;
    StderrCapture err;
    for (const Entry* e = ServiceCatalogue::begin(); e != ServiceCatalogue::end(); ++e) {
        CORBA::Object_var ref = e->resolve();
        EXPECT_FALSE(CORBA::is_nil(ref)) << e->interfaceName;
        EXPECT_EQ(ServiceResolution::meansOf(e->service), Means::Bind) << e->interfaceName;
    }
    EXPECT_EQ(err.text(), "");
    EXPECT_FALSE(hvc_util::BootStrapIORs::isBootstrapped());
}

TEST(ServiceResolver, ProfilePropertyIsTheLastMeans) {
    Platform platform;
    CORBA::Object_var finder = platform.reference(Service::CoordinateFinder);
    CORBA::Any value;
    value <<= finder.in();
    platform.room<hvc_sandbox::UserServer>()
        .profile(platform.userSpecs().front().account)
        .define_property("EpCoordinateService::Finder", value);
    // The script runs but names only the profile.
    TempHome home(scriptFor(platform, {Service::UserProfile}));
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
    vars.set(variable(Service::AliasService), platform.ior(Service::AliasService));
    vars.set(variable(Service::UserProfile), platform.ior(Service::UserProfile));
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
    vars.set(variable(Service::AliasService), platform.ior(Service::AliasService));
    vars.set(variable(Service::UserProfile), platform.ior(Service::UserProfile));
    vars.set(variable(Service::CoordinateFinder), "");
    vars.set(variable(Service::CoordinateFactory), "");
    TempHome home(TempHome::printing(variable(Service::CoordinateFinder) + "=" +
                                     platform.ior(Service::CoordinateFinder) + "\n"));
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
    const std::string deadUnits = platform.ior(Service::UnitsServer);
    const std::string deadFinder = platform.ior(Service::CoordinateFinder);
    platform.deactivate(Service::UnitsServer);
    platform.deactivate(Service::CoordinateFinder);
    Platform::Options second;
    Platform live(second);
    TempHome home(TempHome::printing(variable(Service::UnitsServer) + "=" + deadUnits + "\n" +
                                     variable(Service::CoordinateFinder) + "=" + deadFinder +
                                     "\n"));
    StderrCapture err;
    hvc_util::BootStrapIORs::bootstrapIORs(false);
    ASSERT_EQ(home.runs(), 1);

    // Units: the script already ran, so the same gone reference is cached.
    EpUnitOfMeasureService::Server_var units = hvc_util::UnitOfMeasure::getServer();
    EXPECT_EQ(home.runs(), 1);
    EXPECT_TRUE(units->_non_existent());

    // Finder: the script runs again and its new value is taken.
    home.setScript(TempHome::printing(variable(Service::CoordinateFinder) + "=" +
                                      live.ior(Service::CoordinateFinder) + "\n"));
    EpCoordinateService::Finder_var finder = hvc_util::Coordinate::getFinder();
    EXPECT_FALSE(finder->_non_existent());
    CORBA::Object_var expected = live.reference(Service::CoordinateFinder);
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
    clean.unset(variable(Service::UnitsServer));
    clean.unset("HVC_HOME");
    StderrCapture err;
    for (int i = 0; i < 3; ++i) {
        EpUnitOfMeasureService::Server_var again = hvc_util::UnitOfMeasure::getServer();
        EXPECT_TRUE(again->_is_equivalent(first));
    }
    EXPECT_EQ(err.text(), "");
}

TEST(ServiceResolver, StaleReferenceWhoseProbeFailsStaysCached) {
    const std::string stale =
        hvc_test::SandboxProcess().reference(variable(Service::ReferenceValues));
    // Only the variable is left; the server behind it has ended, so the
    // existence probe raises instead of answering.
    ScopedEnv vars(variable(Service::ReferenceValues), stale);
    StderrCapture err;
    EpReferenceValueService::ReferenceValueService_var rvs = hvc_util::ReferenceValue::getService();
    EXPECT_FALSE(CORBA::is_nil(rvs));
    EXPECT_EQ(ServiceResolution::meansOf("EpReferenceValueService::ReferenceValueService"),
              Means::Environment);
}

TEST(ServiceCatalogue, EntriesAreInOrderAndNameWhatTheSandboxServes) {
    Platform platform;
    ASSERT_EQ(ServiceCatalogue::size(),
              static_cast<std::size_t>(ServiceCatalogue::end() - ServiceCatalogue::begin()));
    std::size_t position = 0;
    for (const Entry* e = ServiceCatalogue::begin(); e != ServiceCatalogue::end(); ++e) {
        EXPECT_EQ(static_cast<std::size_t>(e->service), position++) << e->interfaceName;
        EXPECT_EQ(&ServiceCatalogue::entry(e->service), e);
        EXPECT_EQ(ServiceCatalogue::find(e->interfaceName), e);
        CORBA::Object_var ref = platform.reference(e->service);
        ASSERT_FALSE(CORBA::is_nil(ref)) << "the sandbox publishes " << e->interfaceName;
        EXPECT_TRUE(ref->_is_a(e->repositoryId)) << e->repositoryId;
    }
    EXPECT_EQ(ServiceCatalogue::find("EpUser::Nothing"), nullptr);
    EXPECT_EQ(ServiceCatalogue::find(nullptr), nullptr);

    // The name getters answer from the catalogue.
    const std::pair<const char*, Service> getters[] = {
        {hvc_util::Coordinate::finderEnvironmentVariableName(), Service::CoordinateFinder},
        {hvc_util::Coordinate::factoryEnvironmentVariableName(), Service::CoordinateFactory},
        {hvc_util::Notification::channelFactoryEnvironmentVariableName(), Service::ChannelFactory},
        {hvc_util::ReferenceValue::serviceEnvironmentVariableName(), Service::ReferenceValues},
        {hvc_util::Trader::traderLookupEnvironmentVariableName(), Service::TraderLookup},
        {hvc_util::UnitOfMeasure::unitEnvironmentVariableName(), Service::UnitsServer},
        {hvc_util::UserProfile::aliasServiceEnvironmentVariableName(), Service::AliasService},
        {hvc_util::UserProfile::userProfileEnvironmentVariableName(), Service::UserProfile}};
    for (const auto& [name, service] : getters)
        EXPECT_EQ(name, variable(service));
}

TEST(ServiceResolver, EveryStepTriedIsRecordedInOrder) {
    Platform platform;
    TempHome home(scriptFor(platform, {Service::UnitsServer}));
    StderrCapture err;
    CORBA::Object_var units = hvc_util::UnitOfMeasure::getServer();
    const std::string var = variable(Service::UnitsServer);
    const std::string bind =
        std::string("bind ") + ServiceCatalogue::entry(Service::UnitsServer).bindName;
    std::vector<std::string> steps;
    for (const auto& step : ServiceResolution::stepsOf(Service::UnitsServer))
        steps.push_back(step.what + ": " + step.outcome);
    EXPECT_EQ(steps, (std::vector<std::string>{
                         bind + ": CORBA::NO_RESOURCES (minor NO_RESOURCES_InitialRefNotFound, "
                                "completed no)",
                         "variable " + var + ": unset", "reference script: ran",
                         "variable " + var + ": set", "conversion of " + var + ": found"}));

    // A failed resolution keeps its steps too: the profile's property is last.
    EXPECT_THROW(CORBA::Object_var none = hvc_util::Trader::lookupTradingService(),
                 EpTypes::FailedOperationException);
    const auto trader = ServiceResolution::stepsOf(Service::TraderLookup);
    ASSERT_FALSE(trader.empty());
    EXPECT_EQ(trader.back().means, Means::Profile);
    EXPECT_EQ(ServiceResolution::meansOf(Service::TraderLookup), Means::None);
}
