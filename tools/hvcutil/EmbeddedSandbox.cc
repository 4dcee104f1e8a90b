#include "EmbeddedSandbox.h"

#include "sandbox/Platform.h"

#include <cstdlib>
#include <ftw.h>
#include <stdexcept>

namespace hvcutil {

namespace {

int removeOne(const char* path, const struct stat*, int, struct FTW*) {
    return ::remove(path);
}

} // namespace

EmbeddedSandbox::EmbeddedSandbox() {
    char pattern[] = "/tmp/hvcutil-sandbox-XXXXXX";
    if (::mkdtemp(pattern) == nullptr)
        throw std::runtime_error("cannot create a folder for the sandbox");
    dir = pattern;
    platform = std::make_unique<hvc_sandbox::Platform>();
    platform->writeHome(dir);
    ::setenv("HVC_HOME", dir.c_str(), 1);
}

EmbeddedSandbox::~EmbeddedSandbox() {
    ::nftw(dir.c_str(), removeOne, 16, FTW_DEPTH | FTW_PHYS);
}

} // namespace hvcutil
