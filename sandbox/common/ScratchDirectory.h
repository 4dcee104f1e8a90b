// A fresh directory under /tmp that is removed, with everything in it, when
// the object goes: installation roots of sandboxes and test folders.
#pragma once

#include <string>

namespace hvc_sandbox {

class ScratchDirectory {
public:
    // `prefix` starts the directory's name. Raises std::runtime_error when no
    // directory can be made.
    explicit ScratchDirectory(const std::string& prefix);
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& path() const { return dir; }

private:
    std::string dir;
};

} // namespace hvc_sandbox
