#include "EmbeddedSandbox.h"

#include <cstdlib>

namespace hvcutil {

EmbeddedSandbox::EmbeddedSandbox() : dir("hvcutil-sandbox") {
    platform.writeHome(dir.path());
    ::setenv("HVC_HOME", dir.path().c_str(), 1);
    // With a naming service configured (ORBInitRef), the services resolve by
    // bind as on a platform; without one the reference script serves.
    std::string why;
    platform.bindNames(why);
}

} // namespace hvcutil
