#include "services/ServiceResolver.h"

#include "bindings/Diagnostics.h"
#include "hvc_util/BootStrapIORs.h"
#include "hvc_util/ExceptionDescription.h"
#include "hvc_util/UserProfile.h"

#include <EpUser.hh>

#include <exception>
#include <memory>

namespace hvc_util {

ResolveOnce& ServiceResolver::gate(const ServiceCatalogue::Entry& entry) {
    static const std::unique_ptr<ResolveOnce[]> gates(new ResolveOnce[ServiceCatalogue::size()]);
    return gates[static_cast<std::size_t>(entry.service)];
}

bool ServiceResolver::outOfTime(Trail& trail) {
    if (!CallTimeout::Budget::spent())
        return false;
    trail.add(Means::None, "time",
              "the operation's " + std::to_string(CallTimeout::milliseconds()) +
                  " ms are used up; nothing more is tried");
    return true;
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

std::optional<std::string> ServiceResolver::variableValue(const ServiceCatalogue::Entry& entry,
                                                          Trail& trail) {
    const std::string what = std::string("variable ") + entry.variable;
    std::optional<std::string> value = Environment::get(entry.variable);
    if (!value) {
        trail.add(Means::Environment, what, "unset");
        return std::nullopt;
    }
    if (value->empty()) {
        trail.add(Means::Environment, what, entry.emptyCountsAsAbsent ? "empty" : "empty, taken");
        if (entry.emptyCountsAsAbsent)
            return std::nullopt;
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
