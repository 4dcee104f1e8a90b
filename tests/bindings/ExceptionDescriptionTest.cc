#include "hvc_util/ExceptionDescription.h"

#include <CosPropertyService.hh>
#include <EpTypes.hh>
#include <EpUser.hh>
#include <gtest/gtest.h>
#include <omniORB4/Naming.hh>

using hvc_util::describe;

TEST(ExceptionDescription, SystemExceptionsNameMinorCodeAndCompletion) {
    EXPECT_EQ(describe(CORBA::TRANSIENT(0, CORBA::COMPLETED_MAYBE)),
              "CORBA::TRANSIENT (minor 0x0, completed maybe)");
    EXPECT_EQ(describe(CORBA::BAD_PARAM(0, CORBA::COMPLETED_YES)),
              "CORBA::BAD_PARAM (minor 0x0, completed yes)");
    EXPECT_EQ(
        describe(CORBA::NO_RESOURCES(omni::NO_RESOURCES_InitialRefNotFound, CORBA::COMPLETED_NO)),
        "CORBA::NO_RESOURCES (minor NO_RESOURCES_InitialRefNotFound, completed no)");
}

TEST(ExceptionDescription, UserExceptionsByScopedNameWithTheirReason) {
    // Not "CORBA::PropertyNotFound": the scope is the exception's own.
    EXPECT_EQ(describe(CosPropertyService::PropertyNotFound()),
              "CosPropertyService::PropertyNotFound");
    EXPECT_EQ(describe(CosNaming::NamingContext::NotFound()), "CosNaming::NamingContext::NotFound");
    EXPECT_EQ(describe(EpTypes::BadRangeException("day 32")), "EpTypes::BadRangeException: day 32");
    // The reason need not be the first member.
    EXPECT_EQ(describe(EpUser::NoKnownAliasException(EpUser::AliasInfo(), "who")),
              "EpUser::NoKnownAliasException: who");
    EXPECT_EQ(describe(EpTypes::KeyConversionException(3, "bad key", "detail", "k")),
              "EpTypes::KeyConversionException: bad key");
    EXPECT_EQ(describe(EpTypes::FailedOperationException("")), "EpTypes::FailedOperationException");
}
