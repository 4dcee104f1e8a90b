// What a coordinate system of the sandbox is: a system PROJ knows, or an
// affine grid laid out in one.
#pragma once

#include "Proj.h"

#include <EpCoordinateService.hh>
#include <nlohmann/json.hpp>

#include <array>
#include <memory>
#include <string>

namespace hvc_sandbox {

// Immutable once made; shared by the servant that serves it and the room.
struct SystemDefinition {
    enum class Kind { Geographic, Map, Geocentric, IJK, SeismicBinGrid };
    using Vector = std::array<double, 3>;

    struct Axis {
        std::string name;
        std::string unit; // an acronym of the units service; empty for none
    };

    std::string name;
    Kind kind;
    // PROJ's system: the system itself, or a grid's parent's.
    const Proj::Crs* crs = nullptr;
    // The text the system was made from ("EPSG:32631", a WKT, ...).
    std::string definition;
    std::array<Axis, 3> axes;

    // Grids: parent = origin + columns * (p - first).
    std::shared_ptr<const SystemDefinition> parent;
    Vector origin{};
    Vector first{};
    std::array<Vector, 3> columns{}; // the steps along the grid's axes
    std::array<Vector, 3> inverse{}; // rows of the inverse of the columns' matrix

    bool isGrid() const { return kind == Kind::IJK || kind == Kind::SeismicBinGrid; }

    // Grid point <-> parent coordinates, in place.
    void toParent(EpTypes::Point& p) const;
    void fromParent(EpTypes::Point& p) const;

    // The parameters that describe the system (its kind, definition, and a
    // grid's layout).
    EpCoordinateService::ParameterSeq parameters() const;

    static const char* kindName(Kind kind);

    // A grid from its entry of systems.json (format in README.md), laid out
    // in `parent`. Raises std::invalid_argument naming what is wrong.
    static std::shared_ptr<SystemDefinition> grid(const nlohmann::json& entry,
                                                  std::shared_ptr<const SystemDefinition> parent);
};

} // namespace hvc_sandbox
