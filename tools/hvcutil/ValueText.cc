#include "ValueText.h"

#include "bindings/private/AnyValues.h"

#include <sstream>
#include <type_traits>

namespace hvcutil {

std::string valueText(const CORBA::Any& value) {
    std::ostringstream out;
    const bool printed = hvc_util::visitScalar(value, [&](auto v) {
        using V = decltype(v);
        if constexpr (std::is_same_v<V, bool>)
            out << (v ? "TRUE" : "FALSE");
        else
            out << v;
    });
    return printed ? out.str() : "(a value of another type)";
}

} // namespace hvcutil
