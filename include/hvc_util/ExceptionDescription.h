// The one text form of a CORBA exception, for diagnostics and tools.
#pragma once

#include <hvc_util/Export.h>

#include <omniORB4/CORBA.h>

#include <string>

namespace hvc_util {

// A system exception as "CORBA::<NAME> (minor <code>, completed no|yes|maybe)",
// the minor code by omniORB's name for it when it has one, else in hex. A
// user exception by its scoped name ("CosPropertyService::PropertyNotFound"),
// followed by ": " and its reason when it carries a text member named
// "reason" ("EpTypes::FailedOperationException: No such unit"). Never raises;
// the result is the caller's.
HVC_UTIL_API std::string describe(const CORBA::Exception& e);

} // namespace hvc_util
