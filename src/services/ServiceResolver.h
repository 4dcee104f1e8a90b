// The one resolve-and-cache mechanism behind every service-reference getter:
// a first attempt (a bind or a lookup), then the stringified reference in an
// environment variable (running the reference script when it is missing),
// then a property of the user's profile. What differs between services is
// their catalogue entry; each records the steps it took for hvcutil doctor.
#pragma once

#include "bindings/Environment.h"
#include "bindings/Orb.h"
#include "hvc_util/ServiceCatalogue.h"
#include "hvc_util/ServiceResolution.h"

#include <EpTypes.hh>
#include <omniORB4/CORBA.h>

#include <string>
#include <vector>

namespace hvc_util {

// A catalogue entry with the lines its operation prints when a CORBA
// exception ends the first attempt (null: nothing is printed).
struct ServiceRow {
    const ServiceCatalogue::Entry& entry;
    void (*bindFailure)(const CORBA::Exception&);
};

class ServiceResolver {
public:
    using Means = ServiceResolution::Means;

    // Returns a new reference to the service, owned by the caller, resolving
    // and caching it on the first call. `cache` is the class's own static
    // member; it keeps its one reference for the life of the process.
    // `attempt(orb)` is the first means and returns a reference the resolver
    // owns (nil allowed) or raises. Raises EpTypes::FailedOperationException
    // with the entry's failure text when no means yields a reference. A call
    // made while the same thread is already resolving the service (the user
    // profile and the alias service ask each other) fails at once.
    template <class T, class Attempt>
    static typename T::_ptr_type resolve(const ServiceRow& row, typename T::_ptr_type& cache,
                                         Attempt&& attempt) {
        if (!CORBA::is_nil(cache))
            return T::_duplicate(cache);
        if (!resolving(row.entry)) {
            Guard guard(row.entry);
            Trail trail(row.entry);
            try {
                fill<T>(row, cache, attempt, trail);
            } catch (const EpTypes::FailedOperationException&) {
                if (row.entry.failuresPass)
                    throw;
            } catch (...) {
            }
        }
        if (CORBA::is_nil(cache))
            fail(row.entry);
        return T::_duplicate(cache);
    }

    // The entry's failure text.
    static std::string failureText(const ServiceCatalogue::Entry& entry);

private:
    // The steps of one resolution, recorded when it ends, whatever the way.
    struct Trail {
        const ServiceCatalogue::Entry& entry;
        Means means = Means::None;
        std::vector<ServiceResolution::Step> steps;
        explicit Trail(const ServiceCatalogue::Entry& e) : entry(e) {}
        ~Trail() { ServiceResolution::record(entry.service, means, std::move(steps)); }
        void add(Means m, std::string what, std::string outcome) {
            steps.push_back({m, std::move(what), std::move(outcome)});
        }
    };

    struct Guard {
        const ServiceCatalogue::Entry& entry;
        explicit Guard(const ServiceCatalogue::Entry& e) : entry(e) { setResolving(entry, true); }
        ~Guard() { setResolving(entry, false); }
    };

    static bool resolving(const ServiceCatalogue::Entry& entry);
    static void setResolving(const ServiceCatalogue::Entry& entry, bool on);
    [[noreturn]] static void fail(const ServiceCatalogue::Entry& entry);
    // Runs the reference script as the entry says and records the run.
    static void bootstrap(const ServiceCatalogue::Entry& entry, Trail& trail);
    // Null when the variable is missing, or empty where an empty value counts
    // as missing; records what it found.
    static const char* variableValue(const ServiceCatalogue::Entry& entry, Trail& trail);
    static CORBA::Object_ptr profileProperty(const ServiceCatalogue::Entry& entry, Trail& trail);
    // What the first attempt tried, for the trail.
    static std::string firstAttemptText(const ServiceCatalogue::Entry& entry);
    // How a failed step ended, from the exception in flight.
    static std::string outcomeOfCurrentException();

    template <class T>
    static void replace(typename T::_ptr_type& cache, typename T::_ptr_type value) {
        typename T::_ptr_type old = cache;
        cache = value;
        CORBA::release(old);
    }

    // Narrows `obj` into the cache; the outcome says why nothing came of it.
    template <class T>
    static std::string take(const ServiceCatalogue::Entry& entry, typename T::_ptr_type& cache,
                            CORBA::Object_ptr obj) {
        replace<T>(cache, T::_narrow(obj));
        if (!CORBA::is_nil(cache))
            return "found";
        if (CORBA::is_nil(obj))
            return "nothing found";
        return std::string("the object is not a ") + entry.interfaceName;
    }

    template <class T, class Attempt>
    static void fill(const ServiceRow& row, typename T::_ptr_type& cache, Attempt& attempt,
                     Trail& trail) {
        const ServiceCatalogue::Entry& entry = row.entry;
        CORBA::ORB_var orb = Orb::init();

        const std::string first = firstAttemptText(entry);
        try {
            CORBA::Object_var obj = attempt(orb.in());
            trail.add(Means::Bind, first, take<T>(entry, cache, obj.in()));
        } catch (const EpTypes::FailedOperationException& e) {
            trail.add(Means::Bind, first, e.reason.in());
            if (entry.failuresPass)
                throw;
        } catch (const CORBA::Exception& e) {
            trail.add(Means::Bind, first, outcomeOfCurrentException());
            if (row.bindFailure != nullptr)
                row.bindFailure(e);
        } catch (...) {
            trail.add(Means::Bind, first, outcomeOfCurrentException());
        }
        if (!CORBA::is_nil(cache)) {
            trail.means = Means::Bind;
            return;
        }

        const char* value = variableValue(entry, trail);
        if (value == nullptr) {
            try {
                bootstrap(entry, trail);
            } catch (const EpTypes::FailedOperationException&) {
                if (entry.failuresPass)
                    throw;
                return;
            } catch (...) {
                return;
            }
            value = variableValue(entry, trail);
        }
        if (value != nullptr) {
            if (entry.failuresPass) {
                convert<T>(entry, orb.in(), cache, value, trail);
            } else {
                try {
                    convert<T>(entry, orb.in(), cache, value, trail);
                } catch (...) {
                    trail.add(Means::Environment, std::string("conversion of ") + entry.variable,
                              outcomeOfCurrentException());
                }
            }
        }
        if (!CORBA::is_nil(cache)) {
            trail.means = Means::Environment;
            return;
        }

        if (entry.consultProfile) {
            try {
                CORBA::Object_var obj = profileProperty(entry, trail);
                replace<T>(cache, T::_narrow(obj));
            } catch (...) {
            }
            if (!CORBA::is_nil(cache))
                trail.means = Means::Profile;
        }
    }

    // A reference that cannot be narrowed or whose object is gone sends the
    // resolver back to the script once more for a fresher value.
    template <class T>
    static void convert(const ServiceCatalogue::Entry& entry, CORBA::ORB_ptr orb,
                        typename T::_ptr_type& cache, const char* value, Trail& trail) {
        const std::string what = std::string("conversion of ") + entry.variable;
        CORBA::Object_var first = orb->string_to_object(value);
        std::string outcome = take<T>(entry, cache, first.in());
        if (!CORBA::is_nil(cache)) {
            bool gone = false;
            try {
                gone = cache->_non_existent();
            } catch (...) {
                // A probe that cannot answer leaves the reference as found.
                trail.add(Means::Environment, what,
                          "found; its existence probe failed: " + outcomeOfCurrentException());
                return;
            }
            if (!gone) {
                trail.add(Means::Environment, what, outcome);
                return;
            }
            outcome = "the object no longer exists";
        }
        trail.add(Means::Environment, what, outcome + "; asking the reference script again");
        bootstrap(entry, trail);
        const char* again = Environment::get(entry.variable);
        replace<T>(cache, T::_nil());
        CORBA::Object_var second = orb->string_to_object(again != nullptr ? again : "");
        trail.add(Means::Environment, what, take<T>(entry, cache, second.in()));
    }
};

} // namespace hvc_util
