#include "EmbeddedSandbox.h"

#include <cstdlib>

namespace hvcutil {

namespace {

EmbeddedSandbox* running = nullptr;

} // namespace

EmbeddedSandbox::EmbeddedSandbox() : dir("hvcutil-sandbox") {
    platform.writeHome(dir.path());
    ::setenv("HVC_HOME", dir.path().c_str(), 1);
    // With a naming service configured (ORBInitRef), the services resolve by
    // bind as on a platform; without one the reference script serves.
    std::string why;
    platform.bindNames(why);
    running = this;
}

EmbeddedSandbox::~EmbeddedSandbox() {
    running = nullptr;
}

void EmbeddedSandbox::offersNeeded() {
    if (running == nullptr || running->exported)
        return;
    running->platform.exportOffers();
    running->exported = true;
}

const hvc_sandbox::Platform* EmbeddedSandbox::platformIfRunning() {
    return running != nullptr ? &running->platform : nullptr;
}

} // namespace hvcutil
