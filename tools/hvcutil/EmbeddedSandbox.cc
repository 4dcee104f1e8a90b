#include "EmbeddedSandbox.h"

#include <cstdlib>

namespace hvcutil {

EmbeddedSandbox::EmbeddedSandbox() : dir("hvcutil-sandbox") {
    platform.writeHome(dir.path());
    ::setenv("HVC_HOME", dir.path().c_str(), 1);
}

} // namespace hvcutil
