#include "services/ServiceResolver.h"

#include "bindings/Diagnostics.h"
#include "hvc_util/BootStrapIORs.h"
#include "hvc_util/ExceptionDescription.h"
#include "hvc_util/UserProfile.h"

#include <EpUser.hh>

#include <exception>

namespace hvc_util {

namespace {

// Per thread: a nested call of an operation this thread is resolving fails at
// once, while other threads may resolve the same service.
thread_local std::vector<bool> resolvingNow(ServiceCatalogue::size());

} // namespace

bool ServiceResolver::resolving(const ServiceCatalogue::Entry& entry) {
    return resolvingNow[static_cast<std::size_t>(entry.service)];
}

void ServiceResolver::setResolving(const ServiceCatalogue::Entry& entry, bool on) {
    resolvingNow[static_cast<std::size_t>(entry.service)] = on;
}

std::string ServiceResolver::failureText(const ServiceCatalogue::Entry& entry) {
    if (entry.failureText != nullptr)
        return entry.failureText;
    return std::string("Error in ") + entry.operation + "; cannot resolve '" + entry.interfaceName +
           "' service.";
}

void ServiceResolver::fail(const ServiceCatalogue::Entry& entry) {
    const std::string text = failureText(entry);
    if (entry.printFailure)
        Diagnostics::print("%s\n", text.c_str());
    throw EpTypes::FailedOperationException(text.c_str());
}

void ServiceResolver::bootstrap(const ServiceCatalogue::Entry& entry, Trail& trail) {
    if (!entry.forceScript && BootStrapIORs::isBootstrapped()) {
        trail.add(Means::Environment, "reference script", "already ran in this process");
        return;
    }
    try {
        BootStrapIORs::bootstrapIORs(entry.forceScript);
    } catch (...) {
        trail.add(Means::Environment, "reference script", outcomeOfCurrentException());
        throw;
    }
    trail.add(Means::Environment, "reference script", "ran");
}

const char* ServiceResolver::variableValue(const ServiceCatalogue::Entry& entry, Trail& trail) {
    const std::string what = std::string("variable ") + entry.variable;
    const char* value = Environment::get(entry.variable);
    if (value == nullptr) {
        trail.add(Means::Environment, what, "unset");
        return nullptr;
    }
    if (*value == '\0') {
        trail.add(Means::Environment, what, entry.emptyCountsAsAbsent ? "empty" : "empty, taken");
        if (entry.emptyCountsAsAbsent)
            return nullptr;
        return value;
    }
    trail.add(Means::Environment, what, "set");
    return value;
}

CORBA::Object_ptr ServiceResolver::profileProperty(const ServiceCatalogue::Entry& entry,
                                                   Trail& trail) {
    const std::string what = std::string("profile property ") + entry.interfaceName;
    try {
        EpUser::UserProfile_var profile = UserProfile::getUserProfile();
        CORBA::Any_var value = profile->get_property_value(entry.interfaceName);
        CORBA::Object_var obj;
        if (!(value.in() >>= CORBA::Any::to_object(obj.out()))) {
            trail.add(Means::Profile, what, "holds no object reference");
            return CORBA::Object::_nil();
        }
        trail.add(Means::Profile, what, CORBA::is_nil(obj) ? "holds a nil reference" : "found");
        return obj._retn();
    } catch (...) {
        trail.add(Means::Profile, what, outcomeOfCurrentException());
        throw;
    }
}

std::string ServiceResolver::firstAttemptText(const ServiceCatalogue::Entry& entry) {
    switch (entry.firstAttempt) {
    case ServiceCatalogue::FirstAttempt::ServerFactory:
        return std::string("bind ") + entry.bindName + ", factory of " + entry.interfaceName;
    case ServiceCatalogue::FirstAttempt::AliasLookup:
        return std::string("alias service's account, bind ") + entry.bindName + "<account>";
    case ServiceCatalogue::FirstAttempt::Bind:
        break;
    }
    return std::string("bind ") + entry.bindName;
}

std::string ServiceResolver::outcomeOfCurrentException() {
    try {
        throw;
    } catch (const EpTypes::FailedOperationException& e) {
        return e.reason.in();
    } catch (const CORBA::Exception& e) {
        return describe(e);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "an unknown exception";
    }
}

} // namespace hvc_util
