#include "UnitCatalogue.h"

#include <cmath>
#include <stdexcept>

namespace hvc_sandbox {

namespace {

using Conversion = UnitCatalogue::Conversion;

// A conversion as the matrix [[b, a], [d, c]] acting on (x, 1): composing
// conversions multiplies their matrices, and the adjugate inverts one.
struct Matrix {
    double m00, m01, m10, m11;
};

Matrix matrixOf(const Conversion& c) {
    return {c.b, c.a, c.d, c.c};
}

Conversion conversionOf(const Matrix& m) {
    Conversion c;
    c.a = m.m01;
    c.b = m.m00;
    c.c = m.m11;
    c.d = m.m10;
    // One sign for the denominator's constant, so equal conversions read alike.
    if (c.c < 0 || (c.c == 0 && c.d < 0)) {
        c.a = -c.a;
        c.b = -c.b;
        c.c = -c.c;
        c.d = -c.d;
    }
    return c;
}

Matrix product(const Matrix& l, const Matrix& r) {
    return {l.m00 * r.m00 + l.m01 * r.m10, l.m00 * r.m01 + l.m01 * r.m11,
            l.m10 * r.m00 + l.m11 * r.m10, l.m10 * r.m01 + l.m11 * r.m11};
}

Matrix inverse(const Matrix& m) {
    return {m.m11, -m.m01, -m.m10, m.m00};
}

// Why the conversion cannot define a unit, or null.
const char* flaw(const Conversion& c) {
    if (!std::isfinite(c.a) || !std::isfinite(c.b) || !std::isfinite(c.c) || !std::isfinite(c.d))
        return "its conversion is not four finite numbers";
    if (c.b * c.c - c.a * c.d == 0)
        return "its conversion cannot be inverted";
    return nullptr;
}

UnitCatalogue::Kind kindOf(const std::string& name) {
    if (name == "linear")
        return UnitCatalogue::Kind::Linear;
    if (name == "angular")
        return UnitCatalogue::Kind::Angular;
    if (name == "none")
        return UnitCatalogue::Kind::None;
    throw std::runtime_error("unknown unit kind '" + name + "'");
}

bool near(double x, double y) {
    return std::fabs(x - y) <= 1e-12 * std::fmax(1.0, std::fmax(std::fabs(x), std::fabs(y)));
}

} // namespace

UnitCatalogue::UnitCatalogue(const nlohmann::json& data) {
    try {
        std::map<std::string, std::string> bases;
        for (const auto& d : data.at("dimensions")) {
            const std::string name = d.at("name").get<std::string>();
            if (!dimensions.emplace(name, kindOf(d.at("kind").get<std::string>())).second)
                throw std::runtime_error("dimension '" + name + "' is listed twice");
            bases[name] = d.at("base").get<std::string>();
        }
        for (const auto& u : data.at("units")) {
            Definition def;
            def.acronym = u.at("acronym").get<std::string>();
            def.name = u.at("name").get<std::string>();
            def.dimension = u.at("dimension").get<std::string>();
            const auto& k = u.at("toBase");
            if (!k.is_array() || k.size() != 4)
                throw std::runtime_error("unit '" + def.acronym + "': toBase is not [A, B, C, D]");
            def.toBase.a = k[0].get<double>();
            def.toBase.b = k[1].get<double>();
            def.toBase.c = k[2].get<double>();
            def.toBase.d = k[3].get<double>();
            auto dim = dimensions.find(def.dimension);
            if (dim == dimensions.end())
                throw std::runtime_error("unit '" + def.acronym + "': unknown dimension '" +
                                         def.dimension + "'");
            def.kind = dim->second;
            if (const char* why = flaw(def.toBase))
                throw std::runtime_error("unit '" + def.acronym + "': " + why);
            if (byAcronym.count(def.acronym) != 0)
                throw std::runtime_error("unit '" + def.acronym + "' is listed twice");
            add(std::move(def));
        }
        for (const auto& b : bases) {
            const Definition* base = find(b.second);
            const Conversion& c = base != nullptr ? base->toBase : Conversion();
            if (base == nullptr || base->dimension != b.first || c.a != 0 || c.d != 0 || c.b != c.c)
                throw std::runtime_error("dimension '" + b.first + "': its base unit '" + b.second +
                                         "' is not listed as itself");
        }
    } catch (const nlohmann::json::exception& e) {
        throw std::runtime_error(std::string("unit catalogue: ") + e.what());
    }
}

const UnitCatalogue::Definition& UnitCatalogue::add(Definition definition) {
    definitions.push_back(std::move(definition));
    const Definition& stored = definitions.back();
    byAcronym[stored.acronym] = &stored;
    return stored;
}

const UnitCatalogue::Definition* UnitCatalogue::find(const std::string& acronym) const {
    std::lock_guard<std::mutex> hold(lock);
    auto found = byAcronym.find(acronym);
    return found != byAcronym.end() ? found->second : nullptr;
}

std::vector<std::string> UnitCatalogue::acronyms() const {
    std::lock_guard<std::mutex> hold(lock);
    std::vector<std::string> all;
    all.reserve(definitions.size());
    for (const Definition& d : definitions)
        all.push_back(d.acronym);
    return all;
}

const UnitCatalogue::Definition& UnitCatalogue::declare(const std::string& acronym,
                                                        const std::string& name,
                                                        const std::string& base,
                                                        const Conversion& toBase) {
    if (acronym.empty())
        throw std::invalid_argument("a unit needs an acronym");
    if (const char* why = flaw(toBase))
        throw std::invalid_argument("unit '" + acronym + "': " + why);
    std::lock_guard<std::mutex> hold(lock);
    if (byAcronym.count(acronym) != 0)
        throw std::invalid_argument("unit '" + acronym + "' exists already");
    auto found = byAcronym.find(base);
    if (found == byAcronym.end())
        throw std::invalid_argument("unknown base unit '" + base + "'");
    const Definition& via = *found->second;
    Definition def{acronym, name, via.dimension, via.kind,
                   conversionOf(product(matrixOf(via.toBase), matrixOf(toBase)))};
    return add(std::move(def));
}

UnitCatalogue::Conversion UnitCatalogue::conversion(const Definition& from, const Definition& to) {
    if (from.dimension != to.dimension)
        throw std::domain_error("cannot convert " + from.acronym + " (" + from.dimension +
                                ") into " + to.acronym + " (" + to.dimension + ")");
    if (&from == &to) {
        Conversion same;
        same.a = 0;
        same.b = 1;
        same.c = 1;
        same.d = 0;
        return same;
    }
    return conversionOf(product(inverse(matrixOf(to.toBase)), matrixOf(from.toBase)));
}

bool UnitCatalogue::equivalent(const Definition& a, const Definition& b) {
    if (a.dimension != b.dimension)
        return false;
    const Conversion c = conversion(a, b);
    if (c.c == 0)
        return false;
    // The identity up to a common factor: y = (0 + k*x) / (k + 0*x).
    return near(c.a / c.c, 0) && near(c.d / c.c, 0) && near(c.b / c.c, 1);
}

const char* UnitCatalogue::kindName(Kind kind) {
    switch (kind) {
    case Kind::Linear:
        return "linear";
    case Kind::Angular:
        return "angular";
    default:
        return "none";
    }
}

} // namespace hvc_sandbox
