// The repository id of every interface the platform's interface definitions
// (idl/) declare, listed by the build from the definitions themselves.
#pragma once

#include <cstddef>

namespace hvc_sandbox {

extern const char* const platformInterfaceIds[];
extern const std::size_t platformInterfaceCount;

} // namespace hvc_sandbox
