// Process environment access; the one place that reads and writes it.
#pragma once

namespace hvc_util {

class Environment {
public:
    // The variable's value, or null when it is not set. The text belongs to
    // the environment and is valid until the variable changes.
    static const char* get(const char* name);

    // Sets `name` to `value`; an empty value removes the variable. Returns
    // false when the entry is refused (empty name, a name holding '=').
    static bool set(const char* name, const char* value);

    // Puts a "NAME=VALUE" entry; false when it has no '=' or an empty name.
    static bool put(const char* entry);

    // The process user's login name: USERNAME, else LOGNAME, else USER, else
    // the password database's name of the process user; null when none is known.
    static const char* userName();
};

} // namespace hvc_util
