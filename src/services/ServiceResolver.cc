#include "services/ServiceResolver.h"

#include "bindings/Diagnostics.h"
#include "bindings/Environment.h"
#include "hvc_util/BootStrapIORs.h"
#include "hvc_util/UserProfile.h"

#include <EpUser.hh>

namespace hvc_util {

std::string ServiceResolver::failureText(const ServiceRow& row) {
    if (row.failureText != nullptr)
        return row.failureText;
    return std::string("Error in ") + row.operation + "; cannot resolve '" + row.interfaceName +
           "' service.";
}

void ServiceResolver::fail(const ServiceRow& row) {
    const std::string text = failureText(row);
    if (row.printFailure)
        Diagnostics::print("%s\n", text.c_str());
    throw EpTypes::FailedOperationException(text.c_str());
}

void ServiceResolver::bootstrap(const ServiceRow& row) {
    BootStrapIORs::bootstrapIORs(row.force);
}

// Null when the variable is missing, or empty where an empty value counts as
// missing.
const char* ServiceResolver::variableValue(const ServiceRow& row) {
    const char* value = Environment::get(row.variable);
    if (value != nullptr && row.emptyCountsAsAbsent && *value == '\0')
        return nullptr;
    return value;
}

CORBA::Object_ptr ServiceResolver::profileProperty(const ServiceRow& row) {
    EpUser::UserProfile_var profile = UserProfile::getUserProfile();
    CORBA::Any_var value = profile->get_property_value(row.interfaceName);
    CORBA::Object_var obj;
    if (!(value.in() >>= CORBA::Any::to_object(obj.out())))
        return CORBA::Object::_nil();
    return obj._retn();
}

} // namespace hvc_util
