#include "ScratchDirectory.h"

#include <cstdio>
#include <cstdlib>
#include <ftw.h>
#include <stdexcept>
#include <vector>

namespace hvc_sandbox {

namespace {

int removeOne(const char* path, const struct stat*, int, struct FTW*) {
    return std::remove(path);
}

} // namespace

ScratchDirectory::ScratchDirectory(const std::string& prefix) {
    std::string pattern = "/tmp/" + prefix + "-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr)
        throw std::runtime_error("cannot create a directory under /tmp");
    dir = name.data();
}

ScratchDirectory::~ScratchDirectory() {
    ::nftw(dir.c_str(), removeOne, 16, FTW_DEPTH | FTW_PHYS);
}

} // namespace hvc_sandbox
