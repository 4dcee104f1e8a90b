// A fresh directory under /tmp, removed with its contents at the end.
#pragma once

#include "sandbox/common/ScratchDirectory.h"
#include "support/ScopedEnv.h"

#include <string>

namespace hvc_test {

class TempDir {
public:
    explicit TempDir(const std::string& prefix = "hvc-test") : dir(prefix) {}

    const std::string& path() const { return dir.path(); }

    // Writes `text` to the file at `relative` (folders created), with `mode`.
    std::string write(const std::string& relative, const std::string& text,
                      unsigned mode = 0644) const;

private:
    hvc_sandbox::ScratchDirectory dir;
};

// A platform installation root holding a reference script of the given
// content, set as HVC_HOME for the object's life.
class TempHome {
public:
    explicit TempHome(const std::string& script);

    const std::string& path() const { return root.path(); }
    std::string scriptPath() const { return root.path() + "/bin/GetIORS.sh"; }
    // Replaces the script.
    void setScript(const std::string& script) const;
    // A script that prints `text` exactly and counts its runs.
    static std::string printing(const std::string& text);
    // How often a script made by printing() ran.
    int runs() const;

private:
    TempDir root;
    ScopedEnv home;
};

} // namespace hvc_test
