// The units the sandbox's units service knows: read from its data file
// (units.json), each defined by its conversion into the base unit of its
// dimension, and grown by declarations while the service runs.
#pragma once

#include <EpUnitOfMeasureService.hh>
#include <nlohmann/json.hpp>

#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace hvc_sandbox {

// Owns its definitions, which stay at their address for its life. Safe to
// use from several threads at once.
class UnitCatalogue {
public:
    using Conversion = EpUnitOfMeasureService::Unit::Conversion;

    // Which promotion the units of a dimension allow.
    enum class Kind { None, Linear, Angular };

    struct Definition {
        std::string acronym;
        std::string name;
        std::string dimension;
        Kind kind;
        // y = (a + b*x) / (c + d*x) turns x in this unit into the dimension's base unit.
        Conversion toBase;
    };

    // Reads the data file's content (format: see units.json's "about").
    // Raises std::runtime_error naming the entry for a malformed catalogue: an
    // unknown dimension or kind, a repeated acronym, a conversion that is not
    // four finite numbers or cannot be inverted, a dimension without its base
    // unit or whose base unit does not convert into itself as it is.
    explicit UnitCatalogue(const nlohmann::json& data);

    // Null for an unknown acronym.
    const Definition* find(const std::string& acronym) const;

    // Every acronym: the data file's in its order, then the declared ones.
    std::vector<std::string> acronyms() const;

    // Adds the unit `acronym` defined by `toBase` into the known unit `base`.
    // Raises std::invalid_argument with the reason for a repeated acronym,
    // an unknown base or a conversion that is not finite or not invertible.
    const Definition& declare(const std::string& acronym, const std::string& name,
                              const std::string& base, const Conversion& toBase);

    // The description that turns a value in `from` into `to`, composed
    // through their base unit. Raises std::domain_error across dimensions.
    static Conversion conversion(const Definition& from, const Definition& to);

    // Whether the two denote the same unit: one dimension and a conversion
    // between them that leaves every value as it is (to rounding).
    static bool equivalent(const Definition& a, const Definition& b);

    static const char* kindName(Kind kind);

private:
    const Definition& add(Definition definition);

    mutable std::mutex lock;
    std::deque<Definition> definitions;
    std::map<std::string, const Definition*> byAcronym;
    std::map<std::string, Kind> dimensions;
};

} // namespace hvc_sandbox
