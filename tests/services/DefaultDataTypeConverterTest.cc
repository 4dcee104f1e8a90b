#include "support/TraderPlatform.h"

#include "hvc_util/DefaultDataTypeConverter.h"
#include "hvc_util/Trader.h"
#include "sandbox/converters/ConvertersRoom.h"
#include "support/ChildProcess.h"
#include "support/Failures.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

using hvc_test::properties;
using hvc_test::reasonOf;
using hvc_test::StderrCapture;
using hvc_test::TraderPlatform;
using hvc_util::DefaultDataTypeConverter;
using Factory = EpTypesService::DefaultDataTypeConverterFactory;
using ScalingFactory = EpTypesService::DefaultScalingDataTypeConverterFactory;

namespace {

const char* const noDefault = "Error in getDefaultFactory; cannot resolve "
                              "EpTypesService::DefaultDataTypeConverterFactory from trader.";
const char* const noScaling = "Error in getScalingFactory; cannot resolve "
                              "EpTypesService::DefaultScalingDataTypeConverterFactory from trader.";

const char* defaultType() {
    return EpTypesService::_tc_DefaultDataTypeConverterFactory->id();
}

CORBA::Object_ptr converters(TraderPlatform& platform, const std::string& account) {
    return platform->room<hvc_sandbox::ConvertersRoom>().defaultFactory(account);
}

void offer(CORBA::Object_ptr factory, const char* user) {
    CORBA::String_var id =
        hvc_util::Trader::exportObject(factory, defaultType(), properties({{"UserName", user}}));
}

// The default converter factory a child sandbox offers its user "tester",
// asked of the child's own trader.
CORBA::Object_ptr childFactory(hvc_test::SandboxProcess& sandbox, CORBA::ORB_ptr orb) {
    CORBA::Object_var obj = orb->string_to_object(
        sandbox.reference(hvc_util::Trader::traderLookupEnvironmentVariableName()).c_str());
    CosTrading::Lookup_var lookup = CosTrading::Lookup::_narrow(obj.in());
    CosTrading::Lookup::SpecifiedProps none;
    CosTrading::OfferSeq_var offers;
    CosTrading::OfferIterator_var rest;
    CosTrading::PolicyNameSeq_var limits;
    lookup->query(defaultType(), "UserName == 'tester'", "", CosTrading::PolicySeq(), none, 10,
                  offers.out(), rest.out(), limits.out());
    return offers->length() == 1 ? CORBA::Object::_duplicate(offers[0].reference.in())
                                 : CORBA::Object::_nil();
}

} // namespace

TEST(DefaultDataTypeConverter, FactoriesOfferedForTheProcessUserAreFoundAndAnswer) {
    TraderPlatform platform;
    {
        StderrCapture err;
        EXPECT_EQ(reasonOf(DefaultDataTypeConverter::getDefaultFactory), noDefault);
        EXPECT_EQ(reasonOf(DefaultDataTypeConverter::getScalingFactory), noScaling);
    }
    // A failure is not kept: once offered, both are found.
    platform->exportOffers();
    Factory::_var_type factory = DefaultDataTypeConverter::getDefaultFactory();
    CORBA::Object_var mine = converters(platform, "tester");
    CORBA::Object_var bobs = converters(platform, "bob");
    EXPECT_TRUE(factory->_is_equivalent(mine));
    EXPECT_FALSE(factory->_is_equivalent(bobs));
    EpTypesService::DefaultDataTypeConverter_var converter = factory->createConverter();
    EXPECT_FALSE(converter->_non_existent());

    ScalingFactory::_var_type scaling = DefaultDataTypeConverter::getScalingFactory();
    CORBA::Object_var myScaling =
        platform->room<hvc_sandbox::ConvertersRoom>().scalingFactory("tester");
    EXPECT_TRUE(scaling->_is_equivalent(myScaling));
    EpTypesService::DefaultScalingDataTypeConverter_var scaled = scaling->createConverter(2.5, -1);
    EXPECT_EQ(scaled->scale(), 2.5);
    EXPECT_EQ(scaled->offset(), -1);

    // Cached: the same factory again.
    Factory::_var_type again = DefaultDataTypeConverter::getDefaultFactory();
    EXPECT_TRUE(again->_is_equivalent(factory));
}

TEST(DefaultDataTypeConverter, TheUserNameIsQuotedInTheConstraint) {
    TraderPlatform platform;
    CORBA::Object_var bobs = converters(platform, "bob");
    offer(bobs, "bob");
    // A name crafted to end the quoted text and ask for bob's factory finds nothing.
    platform.environment().set("USERNAME", "x' or UserName=='bob");
    StderrCapture err;
    EXPECT_EQ(reasonOf(DefaultDataTypeConverter::getDefaultFactory), noDefault);

    // A name with a quote and a backslash finds its own.
    const char* odd = "o'brien\\2";
    CORBA::Object_var testers = converters(platform, "tester");
    offer(testers, odd);
    platform.environment().set("USERNAME", odd);
    Factory::_var_type found = DefaultDataTypeConverter::getDefaultFactory();
    EXPECT_TRUE(found->_is_equivalent(testers));
}

TEST(DefaultDataTypeConverter, ACachedFactoryWhoseServerEndedIsLookedUpAgain) {
    TraderPlatform platform;
    auto sandbox =
        std::make_unique<hvc_test::SandboxProcess>(std::vector<std::string>{"--user", "tester"});
    CORBA::Object_var remote = childFactory(*sandbox, platform->orb());
    ASSERT_FALSE(CORBA::is_nil(remote));
    offer(remote, "tester");
    Factory::_var_type first = DefaultDataTypeConverter::getDefaultFactory();
    EXPECT_TRUE(first->_is_equivalent(remote));

    // The child's process ends; its offer stays with the trader, ahead of a
    // live one. Asking the cached factory, or the stale offer's object,
    // raises rather than answering: both count as gone.
    sandbox.reset();
    platform->exportOffers();
    StderrCapture err;
    Factory::_var_type second = DefaultDataTypeConverter::getDefaultFactory();
    CORBA::Object_var mine = converters(platform, "tester");
    EXPECT_TRUE(second->_is_equivalent(mine));
    EXPECT_EQ(err.text(), "");
}
