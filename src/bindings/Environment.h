// Process environment access; the one place that reads and writes it.
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace hvc_util {

// Every read and write of the process environment the library makes goes
// through here, under one lock, so that threads of one application may use
// the library at once. Applications must not call setenv or putenv
// themselves while other threads use the library: the C library's own
// environment is not guarded.
class Environment {
public:
    // Holds the environment lock while it lives, for a sequence of reads and
    // writes no other thread of the library may interleave with (the lock is
    // recursive: the operations below may be called under it).
    class Lock {
    public:
        Lock();

    private:
        std::unique_lock<std::recursive_mutex> hold;
    };

    // A copy of the variable's value; empty when it is not set.
    static std::optional<std::string> get(const char* name);

    // Sets `name` to `value`; an empty value removes the variable. Returns
    // false when the entry is refused (empty name, a name holding '=').
    static bool set(const char* name, const char* value);

    // Puts a "NAME=VALUE" entry; false when it has no '=' or an empty name.
    static bool put(const char* entry);

    // Every "NAME=VALUE" entry, for a child process's environment.
    static std::vector<std::string> entries();

    // The process user's login name: USERNAME, else LOGNAME, else USER, else
    // the password database's name of the process user; empty when none is
    // known.
    static std::optional<std::string> userName();

    // The variable read as a positive number of milliseconds; `fallback` when
    // it is unset. A value that is no positive number is reported on stderr
    // ("<name> is not a positive number of milliseconds (\"<value>\"); <fallback>
    // ms applies") and `fallback` applies.
    static long milliseconds(const char* name, long fallback);
};

} // namespace hvc_util
