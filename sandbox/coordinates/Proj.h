// The sandbox's coordinate engine: PROJ, with the network off and its log
// silenced (the sandbox shares standard error with the library it serves).
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

struct pj_ctx;
struct PJconsts;

namespace hvc_sandbox {

// Owns one PROJ context and every object made through it, for its own life:
// a Crs handed out stays valid until the engine is destroyed. Every call is
// serialised on the engine's lock, so it may be used from any thread.
class Proj {
public:
    // A coordinate reference system with its axes in easting/longitude-first
    // order.
    struct Crs;

    enum class Kind { Geographic, Projected, Geocentric, Other };

    struct Axis {
        std::string name;
        bool angular;
        double toBase; // factor into the metre or the radian
    };

    struct Ellipsoid {
        std::string name;
        std::string description;
        double a;
        double rf; // inverse flattening; 0 for a sphere
    };

    Proj();
    ~Proj();
    Proj(const Proj&) = delete;
    Proj& operator=(const Proj&) = delete;

    // The system PROJ makes of `definition` (an AUTHORITY:CODE, WKT or PROJ
    // string). Raises std::invalid_argument when PROJ cannot make one, or
    // what it makes is not a coordinate reference system.
    const Crs* create(const std::string& definition);

    Kind kind(const Crs* crs);
    // PROJ's name of the system ("WGS 84 / UTM zone 31N").
    std::string name(const Crs* crs);
    // "AUTHORITY:CODE" of the system; empty when it has none.
    std::string identifier(const Crs* crs);
    // The same definition, axis order apart from nothing: PROJ's equivalence.
    bool equivalent(const Crs* a, const Crs* b);
    std::vector<Axis> axes(const Crs* crs);
    // The geographic system a projected one is based on.
    const Crs* geographicBase(const Crs* crs);
    // The system's ellipsoid; raises std::invalid_argument when it has none.
    Ellipsoid ellipsoid(const Crs* crs);

    // Carries `count` points (x, y, z at `stride` bytes from one to the
    // next, starting at `xyz`) from `from` into `to` in place. A point PROJ
    // cannot transform becomes infinite. Returns false, leaving the points,
    // when PROJ has no operation between the two.
    bool transform(const Crs* from, const Crs* to, double* xyz, std::size_t stride,
                   std::size_t count);

    // "EPSG:<code>" of every geographic, projected and geocentric system in
    // PROJ's database, in its order.
    std::vector<std::string> epsgSystems();

    // PROJ's own list of ellipsoids: its short name ("WGS84"), its long name
    // as the description, a and rf.
    static std::vector<Ellipsoid> ellipsoids();

private:
    Kind kindLocked(const Crs* crs);
    const Crs* adopt(PJconsts* pj);

    std::mutex lock;
    pj_ctx* context;
    std::vector<std::unique_ptr<Crs>> made;
    std::map<std::pair<const Crs*, const Crs*>, PJconsts*> operations;
};

} // namespace hvc_sandbox
