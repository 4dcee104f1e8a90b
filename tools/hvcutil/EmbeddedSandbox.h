// The sandbox platform started inside hvcutil (--sandbox): its installation
// root is a temporary folder named by HVC_HOME while the object lives.
#pragma once

#include "sandbox/Platform.h"
#include "sandbox/common/ScratchDirectory.h"

#include <string>

namespace hvcutil {

class EmbeddedSandbox {
public:
    // Raises std::runtime_error or a CORBA exception when it cannot start.
    EmbeddedSandbox();
    const std::string& home() const { return dir.path(); }

private:
    hvc_sandbox::ScratchDirectory dir;
    hvc_sandbox::Platform platform;
};

} // namespace hvcutil
