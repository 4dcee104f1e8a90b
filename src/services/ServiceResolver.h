// The one resolve-and-cache mechanism behind every service-reference getter:
// a first attempt (a bind or a lookup), then the stringified reference in an
// environment variable (running the reference script when it is missing),
// then a property of the user's profile. Each getter differs only by its row.
#pragma once

#include "bindings/Orb.h"
#include "hvc_util/ServiceResolution.h"

#include <EpTypes.hh>
#include <omniORB4/CORBA.h>

#include <string>

namespace hvc_util {

struct ServiceRow {
    const char* operation;     // "getFinder"
    const char* interfaceName; // "EpCoordinateService::Finder", also the profile property
    const char* variable;      // "HVC_COORD_FIND_IOR"
    // Lines printed when a CORBA exception ends the first attempt; may be null.
    void (*bindFailure)(const CORBA::Exception&);
    bool emptyCountsAsAbsent = true; // an empty variable runs the script like a missing one
    bool force = true;               // force flag of both script runs
    bool consultProfile = true;      // whether the profile property is the last means
    // Fixed failure text; null for "Error in <operation>; cannot resolve '<interface>' service."
    const char* failureText = nullptr;
    bool printFailure = false; // the failure text also goes to stderr before the throw
    // The user profile lets FailedOperationException (an unknown alias, a failing
    // reference script) leave the operation, and converts the variable's value
    // without a handler of its own.
    bool failuresPass = false;
    bool resolving = false; // set while a call is resolving: a nested call fails at once

    // The row of most services; the modifiers below state how a row differs.
    static ServiceRow common(const char* operation, const char* interfaceName, const char* variable,
                             void (*bindFailure)(const CORBA::Exception&)) {
        ServiceRow row;
        row.operation = operation;
        row.interfaceName = interfaceName;
        row.variable = variable;
        row.bindFailure = bindFailure;
        return row;
    }
    // An empty variable is converted like any other value.
    ServiceRow emptyIsAValue() const {
        ServiceRow row = *this;
        row.emptyCountsAsAbsent = false;
        return row;
    }
    // The script runs only if no run has succeeded yet.
    ServiceRow scriptOnce() const {
        ServiceRow row = *this;
        row.force = false;
        return row;
    }
    ServiceRow failingWith(const char* text, bool print) const {
        ServiceRow row = *this;
        row.failureText = text;
        row.printFailure = print;
        return row;
    }
    ServiceRow asUserProfile() const {
        ServiceRow row = *this;
        row.consultProfile = false;
        row.failuresPass = true;
        return row;
    }
};

class ServiceResolver {
public:
    // Returns a new reference to the service, owned by the caller, resolving
    // and caching it on the first call. `cache` is the class's own static
    // member; it keeps its one reference for the life of the process.
    // `attempt(orb)` is the first means and returns a reference the resolver
    // owns (nil allowed) or raises. Raises EpTypes::FailedOperationException
    // with the row's failure text when no means yields a reference.
    template <class T, class Attempt>
    static typename T::_ptr_type resolve(ServiceRow& row, typename T::_ptr_type& cache,
                                         Attempt&& attempt) {
        if (!CORBA::is_nil(cache))
            return T::_duplicate(cache);
        if (!row.resolving) {
            Guard guard(row);
            try {
                fill<T>(row, cache, attempt);
            } catch (const EpTypes::FailedOperationException&) {
                if (row.failuresPass)
                    throw;
            } catch (...) {
            }
        }
        if (CORBA::is_nil(cache))
            fail(row);
        return T::_duplicate(cache);
    }

    // The row's failure text.
    static std::string failureText(const ServiceRow& row);

private:
    struct Guard {
        ServiceRow& row;
        explicit Guard(ServiceRow& r) : row(r) { row.resolving = true; }
        ~Guard() { row.resolving = false; }
    };

    [[noreturn]] static void fail(const ServiceRow& row);
    static void bootstrap(const ServiceRow& row);
    static const char* variableValue(const ServiceRow& row);
    static CORBA::Object_ptr profileProperty(const ServiceRow& row);

    template <class T>
    static void replace(typename T::_ptr_type& cache, typename T::_ptr_type value) {
        typename T::_ptr_type old = cache;
        cache = value;
        CORBA::release(old);
    }

    template <class T, class Attempt>
    static void fill(ServiceRow& row, typename T::_ptr_type& cache, Attempt& attempt) {
        CORBA::ORB_var orb = Orb::init();

        try {
            CORBA::Object_var obj = attempt(orb.in());
            replace<T>(cache, T::_narrow(obj));
        } catch (const EpTypes::FailedOperationException&) {
            if (row.failuresPass)
                throw;
        } catch (const CORBA::Exception& e) {
            if (row.bindFailure != nullptr)
                row.bindFailure(e);
        } catch (...) {
        }
        if (!CORBA::is_nil(cache)) {
            ServiceResolution::record(row.interfaceName, ServiceResolution::Means::Bind);
            return;
        }

        const char* value = variableValue(row);
        if (value == nullptr) {
            try {
                bootstrap(row);
            } catch (const EpTypes::FailedOperationException&) {
                if (row.failuresPass)
                    throw;
                return;
            } catch (...) {
                return;
            }
            value = variableValue(row);
        }
        if (value != nullptr) {
            if (row.failuresPass) {
                convert<T>(row, orb.in(), cache, value);
            } else {
                try {
                    convert<T>(row, orb.in(), cache, value);
                } catch (...) {
                }
            }
        }
        if (!CORBA::is_nil(cache)) {
            ServiceResolution::record(row.interfaceName, ServiceResolution::Means::Environment);
            return;
        }

        if (row.consultProfile) {
            try {
                CORBA::Object_var obj = profileProperty(row);
                replace<T>(cache, T::_narrow(obj));
            } catch (...) {
            }
            if (!CORBA::is_nil(cache))
                ServiceResolution::record(row.interfaceName, ServiceResolution::Means::Profile);
        }
    }

    // A reference that cannot be narrowed or whose object is gone sends the
    // resolver back to the script once more for a fresher value.
    template <class T>
    static void convert(const ServiceRow& row, CORBA::ORB_ptr orb, typename T::_ptr_type& cache,
                        const char* value) {
        CORBA::Object_var first = orb->string_to_object(value);
        replace<T>(cache, T::_narrow(first));
        if (!CORBA::is_nil(cache) && !cache->_non_existent())
            return;
        bootstrap(row);
        const char* again = variableValue(row);
        replace<T>(cache, T::_nil());
        CORBA::Object_var second = orb->string_to_object(again != nullptr ? again : "");
        replace<T>(cache, T::_narrow(second));
    }
};

} // namespace hvc_util
