// The one set of handlers every public operation wraps its remote calls in.
#pragma once

#include "bindings/CallTimeout.h"

#include <EpTypes.hh>
#include <omniORB4/CORBA.h>

namespace hvc_util {

// Failure texts of one operation: the sentence for failed communication and
// the one for anything that is not a CORBA exception.
struct OperationFailures {
    const char* communication;
    const char* unknown;
};

// Runs `body` and translates what it raises:
//  - EpTypes::FailedOperationException and each exception type in `Pass...`
//    (platform exceptions a caller can act on) leave with the same type and
//    content;
//  - any other CORBA exception becomes FailedOperationException with
//    `failures.communication`;
//  - anything else becomes FailedOperationException with `failures.unknown`.
// The body runs within the operation's time budget (CallTimeout::Budget): a
// nested operation entered once the budget is used up fails at once with
// `failures.communication`, as a call that timed out would.
template <class... Pass, class Body>
auto withHandlers(const OperationFailures& failures, Body&& body) -> decltype(body()) {
    CallTimeout::Budget budget;
    if (budget.nested() && CallTimeout::Budget::spent())
        throw EpTypes::FailedOperationException(failures.communication);
    try {
        return body();
    } catch (const EpTypes::FailedOperationException&) {
        throw;
    } catch (const CORBA::Exception& e) {
        [[maybe_unused]] auto* any = const_cast<CORBA::Exception*>(&e);
        if ((... || (Pass::_downcast(any) != nullptr)))
            throw;
        throw EpTypes::FailedOperationException(failures.communication);
    } catch (...) {
        throw EpTypes::FailedOperationException(failures.unknown);
    }
}

} // namespace hvc_util
