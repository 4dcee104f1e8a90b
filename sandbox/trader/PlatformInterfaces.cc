#include "PlatformInterfaces.h"

namespace hvc_sandbox {

const char* const platformInterfaceIds[] = {
#include "PlatformInterfaces.inc"
};

const std::size_t platformInterfaceCount =
    sizeof platformInterfaceIds / sizeof *platformInterfaceIds;

} // namespace hvc_sandbox
