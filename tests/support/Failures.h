// The reason text of the exception an operation raises, for exact checks of
// failure texts.
#pragma once

#include <EpTypes.hh>
#include <omniORB4/CORBA.h>

#include <string>
#include <type_traits>

namespace hvc_test {

// Runs `call` and returns the `reason` of the `Exception` it raises, or
// "(no exception)". A returned object reference is released.
template <class Exception = EpTypes::FailedOperationException, class Call>
std::string reasonOf(Call&& call) {
    try {
        using Result = decltype(call());
        if constexpr (std::is_void_v<Result>) {
            call();
        } else if constexpr (std::is_pointer_v<Result> &&
                             std::is_convertible_v<Result, CORBA::Object_ptr>) {
            CORBA::release(call());
        } else {
            [[maybe_unused]] Result result = call();
        }
    } catch (const Exception& e) {
        return e.reason.in();
    }
    return "(no exception)";
}

// Runs `call` and returns the what() of the `Exception` it raises, or
// "(no exception)".
template <class Exception, class Call> std::string whatOf(Call&& call) {
    try {
        call();
    } catch (const Exception& e) {
        return e.what();
    }
    return "(no exception)";
}

} // namespace hvc_test
