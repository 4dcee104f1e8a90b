// hvcutil doctor: for each platform service of the library's catalogue, every
// means of resolution tried and how it ended, the means that won, and whether
// the object answers.
#include "CommandTable.h"
#include "Reporting.h"

#include "hvc_util/ExceptionDescription.h"
#include "hvc_util/ServiceCatalogue.h"
#include "hvc_util/ServiceResolution.h"
#include "sandbox/common/PlaceholderServant.h"

#include <EpTypes.hh>

#include <chrono>
#include <cstdio>
#include <string>

namespace hvcutil {

namespace {

using hvc_util::ServiceCatalogue;
using hvc_util::ServiceResolution;

enum class Health { Ok, Placeholder, Gone, Failed };

// Asks the object whether it exists and times the round trip; `detail` says
// what came back.
Health probe(CORBA::Object_ptr ref, std::string& detail) {
    try {
        const auto start = std::chrono::steady_clock::now();
        const bool gone = ref->_non_existent();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        char time[64];
        std::snprintf(time, sizeof time, "%.2f ms", took.count());
        if (gone) {
            detail = std::string("no, the object does not exist (") + time + ")";
            return Health::Gone;
        }
        detail = std::string("yes, in ") + time;
        if (ref->_is_a(hvc_sandbox::PlaceholderServant::markId)) {
            detail += "; a sandbox placeholder: its operations are not implemented yet";
            return Health::Placeholder;
        }
        return Health::Ok;
    } catch (const CORBA::Exception& e) {
        detail = "no, " + hvc_util::describe(e);
        return Health::Gone;
    }
}

const char* word(Health health) {
    switch (health) {
    case Health::Ok:
        return "ok";
    case Health::Placeholder:
        return "placeholder";
    case Health::Gone:
        return "gone";
    case Health::Failed:
        break;
    }
    return "failed";
}

int doctor(const std::vector<std::string>& args) {
    if (!args.empty())
        return usageOf("doctor", "");
    int failures = 0;
    for (const ServiceCatalogue::Entry* e = ServiceCatalogue::begin(); e != ServiceCatalogue::end();
         ++e) {
        const ServiceCatalogue::Entry& entry = *e;
        Health health = Health::Failed;
        std::string status;
        std::string answer;
        try {
            CORBA::Object_var ref = entry.resolve();
            health = probe(ref, answer);
            status = std::string(word(health)) + " " +
                     ServiceResolution::name(ServiceResolution::meansOf(entry.service));
        } catch (const EpTypes::FailedOperationException& e) {
            status = e.reason.in();
        } catch (const CORBA::Exception& e) {
            status = hvc_util::describe(e);
        }
        if (health == Health::Failed || health == Health::Gone)
            ++failures;
        std::printf("%-47s %s\n", entry.interfaceName, status.c_str());
        for (const ServiceResolution::Step& step : ServiceResolution::stepsOf(entry.service))
            std::printf("    %s: %s\n", step.what.c_str(), step.outcome.c_str());
        if (!answer.empty())
            std::printf("    answers: %s\n", answer.c_str());
        std::fflush(stdout);
    }
    return failures == 0 ? 0 : 1;
}

const CommandRegistration registration(
    {"doctor", "",
     "resolve each platform service: every means tried (bind, environment, profile) with its "
     "outcome, the means that won, and whether the object answers",
     doctor});

} // namespace

} // namespace hvcutil
