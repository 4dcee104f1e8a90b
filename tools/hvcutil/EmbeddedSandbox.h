// The sandbox platform started inside hvcutil (--sandbox): its installation
// root is a temporary folder named by HVC_HOME while the object lives.
#pragma once

#include <memory>
#include <string>

namespace hvc_sandbox {
class Platform;
}

namespace hvcutil {

class EmbeddedSandbox {
public:
    // Raises std::runtime_error or a CORBA exception when it cannot start.
    EmbeddedSandbox();
    ~EmbeddedSandbox();
    const std::string& home() const { return dir; }

private:
    std::string dir;
    std::unique_ptr<hvc_sandbox::Platform> platform;
};

} // namespace hvcutil
