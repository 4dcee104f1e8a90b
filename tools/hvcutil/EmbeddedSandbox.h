// The sandbox platform started inside hvcutil (--sandbox): its installation
// root is a temporary folder named by HVC_HOME while the object lives.
#pragma once

#include "sandbox/Platform.h"
#include "sandbox/common/ScratchDirectory.h"

#include <string>

namespace hvcutil {

// One at a time per process; made and used by main's thread.
class EmbeddedSandbox {
public:
    // Raises std::runtime_error or a CORBA exception when it cannot start.
    EmbeddedSandbox();
    ~EmbeddedSandbox();
    EmbeddedSandbox(const EmbeddedSandbox&) = delete;
    EmbeddedSandbox& operator=(const EmbeddedSandbox&) = delete;

    const std::string& home() const { return dir.path(); }

    // Commands that read the trader's offers call this first: the embedded
    // sandbox, if there is one, then exports its offers (once) through the
    // library, which resolves the trader for it. Other commands leave the
    // trader alone, so they print nothing of its resolution. Raises what
    // Platform::exportOffers raises.
    static void offersNeeded();

    // The embedded sandbox's platform, or null when hvcutil runs without one.
    static const hvc_sandbox::Platform* platformIfRunning();

private:
    hvc_sandbox::ScratchDirectory dir;
    hvc_sandbox::Platform platform;
    bool exported = false;
};

} // namespace hvcutil
