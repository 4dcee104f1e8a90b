#include "SystemDefinition.h"

#include <cmath>
#include <stdexcept>

namespace hvc_sandbox {

namespace {

using Vector = SystemDefinition::Vector;

Vector vectorOf(const nlohmann::json& entry, const char* field, std::size_t size) {
    const auto& v = entry.at(field);
    if (!v.is_array() || v.size() != size)
        throw std::invalid_argument(std::string("'") + field + "' needs " + std::to_string(size) +
                                    " numbers");
    Vector out{};
    for (std::size_t i = 0; i < size; ++i)
        out[i] = v[i].get<double>();
    return out;
}

void addParameter(EpCoordinateService::ParameterSeq& seq, const char* name,
                  const std::string& text) {
    const CORBA::ULong at = seq.length();
    seq.length(at + 1);
    seq[at].name = name;
    seq[at].value.stringValue(text.c_str());
}

void addParameter(EpCoordinateService::ParameterSeq& seq, const std::string& name, double value) {
    const CORBA::ULong at = seq.length();
    seq.length(at + 1);
    seq[at].name = name.c_str();
    seq[at].value.doubleValue(value);
}

void addParameter(EpCoordinateService::ParameterSeq& seq, const char* name, long value) {
    const CORBA::ULong at = seq.length();
    seq.length(at + 1);
    seq[at].name = name;
    seq[at].value.longValue(static_cast<CORBA::Long>(value));
}

} // namespace

void SystemDefinition::toParent(EpTypes::Point& p) const {
    const Vector g{p.x - first[0], p.y - first[1], p.z - first[2]};
    Vector out = origin;
    for (int axis = 0; axis < 3; ++axis)
        for (int row = 0; row < 3; ++row)
            out[row] += columns[axis][row] * g[axis];
    p.x = out[0];
    p.y = out[1];
    p.z = out[2];
}

void SystemDefinition::fromParent(EpTypes::Point& p) const {
    const Vector d{p.x - origin[0], p.y - origin[1], p.z - origin[2]};
    Vector g{};
    for (int row = 0; row < 3; ++row)
        g[row] =
            first[row] + inverse[row][0] * d[0] + inverse[row][1] * d[1] + inverse[row][2] * d[2];
    p.x = g[0];
    p.y = g[1];
    p.z = g[2];
}

const char* SystemDefinition::kindName(Kind kind) {
    switch (kind) {
    case Kind::Geographic:
        return "geographic";
    case Kind::Map:
        return "map";
    case Kind::Geocentric:
        return "geocentric";
    case Kind::IJK:
        return "IJK";
    default:
        return "SeismicBinGrid";
    }
}

EpCoordinateService::ParameterSeq SystemDefinition::parameters() const {
    EpCoordinateService::ParameterSeq seq;
    addParameter(seq, "kind", std::string(kindName(kind)));
    if (!isGrid()) {
        addParameter(seq, "definition", definition);
        return seq;
    }
    addParameter(seq, "parent", parent->name);
    if (kind == Kind::SeismicBinGrid) {
        addParameter(seq, "firstInline", static_cast<long>(first[0]));
        addParameter(seq, "firstCrossline", static_cast<long>(first[1]));
    }
    const char* const axisNames = "xyz";
    for (int row = 0; row < 3; ++row)
        addParameter(seq, std::string("origin") + axisNames[row], origin[row]);
    for (int axis = 0; axis < 3; ++axis)
        for (int row = 0; row < 3; ++row)
            addParameter(seq, axes[axis].name + "." + axisNames[row], columns[axis][row]);
    return seq;
}

std::shared_ptr<SystemDefinition>
SystemDefinition::grid(const nlohmann::json& entry,
                       std::shared_ptr<const SystemDefinition> parent) {
    auto def = std::make_shared<SystemDefinition>();
    def->name = entry.at("name").get<std::string>();
    const std::string kind = entry.at("kind").get<std::string>();
    def->crs = parent->crs;
    def->definition = parent->definition;
    if (kind == "IJK") {
        def->kind = Kind::IJK;
        def->origin = vectorOf(entry, "origin", 3);
        def->columns = {vectorOf(entry, "i", 3), vectorOf(entry, "j", 3), vectorOf(entry, "k", 3)};
    } else if (kind == "SeismicBinGrid") {
        def->kind = Kind::SeismicBinGrid;
        if (parent->kind != Kind::Map)
            throw std::invalid_argument("a seismic bin grid is laid out in a projected system");
        def->origin = vectorOf(entry, "origin", 2);
        def->first = {entry.at("firstInline").get<double>(),
                      entry.at("firstCrossline").get<double>(), 0};
        def->columns = {vectorOf(entry, "inlineStep", 2), vectorOf(entry, "crosslineStep", 2),
                        Vector{0, 0, 1}};
    } else {
        throw std::invalid_argument("unknown kind '" + kind + "'");
    }
    const auto& axes = entry.at("axes");
    if (!axes.is_array() || axes.size() != 3)
        throw std::invalid_argument("'axes' needs three entries");
    for (std::size_t i = 0; i < 3; ++i)
        def->axes[i] = {axes[i].at("name").get<std::string>(),
                        axes[i].at("unit").get<std::string>()};

    // The inverse of the matrix whose columns are the steps.
    const auto& c = def->columns;
    auto m = [&](int row, int col) { return c[col][row]; };
    const double det = m(0, 0) * (m(1, 1) * m(2, 2) - m(1, 2) * m(2, 1)) -
                       m(0, 1) * (m(1, 0) * m(2, 2) - m(1, 2) * m(2, 0)) +
                       m(0, 2) * (m(1, 0) * m(2, 1) - m(1, 1) * m(2, 0));
    if (!std::isfinite(det) || det == 0)
        throw std::invalid_argument("the grid's steps are parallel");
    for (int r = 0; r < 3; ++r)
        for (int col = 0; col < 3; ++col) {
            const int r1 = (col + 1) % 3, r2 = (col + 2) % 3;
            const int c1 = (r + 1) % 3, c2 = (r + 2) % 3;
            def->inverse[r][col] = (m(r1, c1) * m(r2, c2) - m(r1, c2) * m(r2, c1)) / det;
        }
    def->parent = std::move(parent);
    return def;
}

} // namespace hvc_sandbox
