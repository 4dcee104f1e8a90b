// The trader's service-type repository: the names offers may be exported and
// looked up under.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace hvc_sandbox {

// Knows the repository id of every interface of the platform's interface
// definitions and the further names it is given. Immutable once made, so it
// may be read from any thread.
class ServiceTypes {
public:
    // Raises std::invalid_argument for a further name that is not a legal
    // service-type name.
    explicit ServiceTypes(const std::vector<std::string>& further);

    // A scoped name ("Mod::Iface", "::Iface") or a repository id
    // ("IDL:Mod/Iface:1.0").
    static bool isLegal(const std::string& type);
    bool knows(const std::string& type) const;

    // A property (and policy) name: a letter, then letters, digits and '_'.
    static bool isLegalPropertyName(const char* name);

private:
    std::set<std::string> known;
};

} // namespace hvc_sandbox
