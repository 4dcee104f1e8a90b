// The one resolve-and-cache mechanism behind every service-reference getter:
// a first attempt (a bind or a lookup), then the stringified reference in an
// environment variable (running the reference script when it is missing),
// then a property of the user's profile. What differs between services is
// their catalogue entry; each records the steps it took for hvcutil doctor.
#pragma once

#include "bindings/CallTimeout.h"
#include "bindings/Environment.h"
#include "bindings/Orb.h"
#include "bindings/ResolveOnce.h"
#include "hvc_util/ServiceCatalogue.h"
#include "hvc_util/ServiceResolution.h"

#include <EpTypes.hh>
#include <omniORB4/CORBA.h>

#include <atomic>
#include <optional>
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
    // member (null until resolved); it keeps its one reference for the life
    // of the process. Once it is filled a call costs one atomic load and a
    // _duplicate. `attempt(orb)` is the first means and returns a reference
    // the resolver owns (nil allowed) or raises. Raises
    // EpTypes::FailedOperationException with the entry's failure text when no
    // means yields a reference, or when the operation's time budget
    // (CallTimeout::Budget) ran out on the way (what was found stays cached).
    // Thread-safe: threads asking at once share one resolution. A call made
    // while the same thread is already resolving the service (the user
    // profile and the alias service ask each other) fails at once.
    template <class T, class Attempt>
    static typename T::_ptr_type
    resolve(const ServiceRow& row, std::atomic<typename T::_ptr_type>& cache, Attempt&& attempt) {
        if (typename T::_ptr_type cached = cache.load(std::memory_order_acquire))
            return T::_duplicate(cached);
        return T::_duplicate(firstResolution<T>(row, cache, attempt));
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

    // The one resolution at a time of the entry's cache.
    static ResolveOnce& gate(const ServiceCatalogue::Entry& entry);
    [[noreturn]] static void fail(const ServiceCatalogue::Entry& entry);
    // Runs the reference script as the entry says and records the run.
    static void bootstrap(const ServiceCatalogue::Entry& entry, Trail& trail);
    // Nothing when the variable is missing, or empty where an empty value
    // counts as missing; records what it found.
    static std::optional<std::string> variableValue(const ServiceCatalogue::Entry& entry,
                                                    Trail& trail);
    static CORBA::Object_ptr profileProperty(const ServiceCatalogue::Entry& entry, Trail& trail);
    // What the first attempt tried, for the trail.
    static std::string firstAttemptText(const ServiceCatalogue::Entry& entry);
    // How a failed step ended, from the exception in flight.
    static std::string outcomeOfCurrentException();

    template <class T, class Attempt>
    static typename T::_ptr_type firstResolution(const ServiceRow& row,
                                                 std::atomic<typename T::_ptr_type>& cache,
                                                 Attempt& attempt) {
        CallTimeout::Budget budget;
        bool searchedHere = false;
        typename T::_ptr_type found = gate(row.entry).resolve(
            cache,
            [&] {
                searchedHere = true;
                return search<T>(row, attempt);
            },
            [](typename T::_ptr_type lost) { CORBA::release(lost); });
        // Time spent waiting for another thread's search does not count.
        if (found == nullptr || (searchedHere && CallTimeout::Budget::spent()))
            fail(row.entry);
        return found;
    }

    // One resolution: a reference carrying the call timeout, owned by the
    // caller, or null when no means yields one.
    template <class T, class Attempt>
    static typename T::_ptr_type search(const ServiceRow& row, Attempt& attempt) {
        Trail trail(row.entry);
        typename T::_var_type found;
        try {
            fill<T>(row, found, attempt, trail);
        } catch (const EpTypes::FailedOperationException&) {
            if (row.entry.failuresPass)
                throw;
        } catch (...) {
        }
        if (CORBA::is_nil(found))
            return nullptr;
        CallTimeout::apply(found);
        return found._retn();
    }

    // Narrows `obj` into `found`, both given the call timeout before they are
    // used; the outcome says why nothing came of it.
    template <class T>
    static std::string take(const ServiceCatalogue::Entry& entry, typename T::_var_type& found,
                            CORBA::Object_ptr obj) {
        CallTimeout::apply(obj);
        found = T::_narrow(obj);
        CallTimeout::apply(found);
        if (!CORBA::is_nil(found))
            return "found";
        if (CORBA::is_nil(obj))
            return "nothing found";
        return std::string("the object is not a ") + entry.interfaceName;
    }

    // Whether the operation's time is up; recorded in the trail.
    static bool outOfTime(Trail& trail);

    template <class T, class Attempt>
    static void fill(const ServiceRow& row, typename T::_var_type& found, Attempt& attempt,
                     Trail& trail) {
        const ServiceCatalogue::Entry& entry = row.entry;
        CORBA::ORB_var orb = Orb::init();

        const std::string first = firstAttemptText(entry);
        try {
            CORBA::Object_var obj = attempt(orb.in());
            trail.add(Means::Bind, first, take<T>(entry, found, obj.in()));
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
        if (!CORBA::is_nil(found)) {
            trail.means = Means::Bind;
            return;
        }
        if (outOfTime(trail))
            return;

        std::optional<std::string> value = variableValue(entry, trail);
        if (!value) {
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
        if (value && !outOfTime(trail)) {
            if (entry.failuresPass) {
                convert<T>(entry, orb.in(), found, *value, trail);
            } else {
                try {
                    convert<T>(entry, orb.in(), found, *value, trail);
                } catch (...) {
                    trail.add(Means::Environment, std::string("conversion of ") + entry.variable,
                              outcomeOfCurrentException());
                }
            }
        }
        if (!CORBA::is_nil(found)) {
            trail.means = Means::Environment;
            return;
        }

        if (entry.consultProfile && !outOfTime(trail)) {
            try {
                CORBA::Object_var obj = profileProperty(entry, trail);
                CallTimeout::apply(obj);
                found = T::_narrow(obj);
            } catch (...) {
            }
            if (!CORBA::is_nil(found))
                trail.means = Means::Profile;
        }
    }

    // A reference that cannot be narrowed or whose object is gone sends the
    // resolver back to the script once more for a fresher value.
    template <class T>
    static void convert(const ServiceCatalogue::Entry& entry, CORBA::ORB_ptr orb,
                        typename T::_var_type& found, const std::string& value, Trail& trail) {
        const std::string what = std::string("conversion of ") + entry.variable;
        CORBA::Object_var first = orb->string_to_object(value.c_str());
        std::string outcome = take<T>(entry, found, first.in());
        if (!CORBA::is_nil(found)) {
            bool gone = false;
            try {
                gone = found->_non_existent();
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
        if (outOfTime(trail))
            return;
        bootstrap(entry, trail);
        const std::optional<std::string> again = Environment::get(entry.variable);
        found = T::_nil();
        CORBA::Object_var second = orb->string_to_object(again ? again->c_str() : "");
        trail.add(Means::Environment, what, take<T>(entry, found, second.in()));
    }
};

} // namespace hvc_util
