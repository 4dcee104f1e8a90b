#include "Proj.h"

#include <proj.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace hvc_sandbox {

struct Proj::Crs {
    PJ* pj;
};

namespace {

void quiet(void*, int, const char*) {}

// "a=6378137.0" -> 6378137.
double valueOf(const char* assignment) {
    const char* eq = std::strchr(assignment, '=');
    return eq != nullptr ? std::strtod(eq + 1, nullptr) : 0.0;
}

} // namespace

Proj::Proj() : context(proj_context_create()) {
    if (context == nullptr)
        throw std::runtime_error("PROJ: cannot create a context");
    proj_context_set_enable_network(context, 0);
    proj_log_func(context, nullptr, quiet);
    proj_log_level(context, PJ_LOG_NONE);
}

Proj::~Proj() {
    for (auto& op : operations)
        proj_destroy(op.second);
    for (auto& crs : made)
        proj_destroy(crs->pj);
    proj_context_destroy(context);
}

const Proj::Crs* Proj::adopt(PJ* pj) {
    PJ* normal = proj_normalize_for_visualization(context, pj);
    proj_destroy(pj);
    if (normal == nullptr)
        throw std::invalid_argument("PROJ cannot order the system's axes");
    made.push_back(std::make_unique<Crs>(Crs{normal}));
    return made.back().get();
}

const Proj::Crs* Proj::create(const std::string& definition) {
    std::lock_guard<std::mutex> hold(lock);
    PJ* pj = proj_create(context, definition.c_str());
    if (pj == nullptr)
        throw std::invalid_argument("PROJ does not know '" + definition + "'");
    if (!proj_is_crs(pj)) {
        proj_destroy(pj);
        throw std::invalid_argument("'" + definition + "' is not a coordinate reference system");
    }
    return adopt(pj);
}

Proj::Kind Proj::kindLocked(const Crs* crs) {
    switch (proj_get_type(crs->pj)) {
    case PJ_TYPE_GEOGRAPHIC_2D_CRS:
    case PJ_TYPE_GEOGRAPHIC_3D_CRS:
        return Kind::Geographic;
    case PJ_TYPE_PROJECTED_CRS:
        return Kind::Projected;
    case PJ_TYPE_GEOCENTRIC_CRS:
        return Kind::Geocentric;
    default:
        return Kind::Other;
    }
}

Proj::Kind Proj::kind(const Crs* crs) {
    std::lock_guard<std::mutex> hold(lock);
    return kindLocked(crs);
}

std::string Proj::name(const Crs* crs) {
    std::lock_guard<std::mutex> hold(lock);
    const char* n = proj_get_name(crs->pj);
    return n != nullptr ? n : "";
}

std::string Proj::identifier(const Crs* crs) {
    std::lock_guard<std::mutex> hold(lock);
    const char* authority = proj_get_id_auth_name(crs->pj, 0);
    const char* code = proj_get_id_code(crs->pj, 0);
    if (authority == nullptr || code == nullptr)
        return "";
    return std::string(authority) + ":" + code;
}

bool Proj::equivalent(const Crs* a, const Crs* b) {
    if (a == b)
        return true;
    std::lock_guard<std::mutex> hold(lock);
    return proj_is_equivalent_to_with_ctx(context, a->pj, b->pj, PJ_COMP_EQUIVALENT) != 0;
}

std::vector<Proj::Axis> Proj::axes(const Crs* crs) {
    std::lock_guard<std::mutex> hold(lock);
    std::vector<Axis> all;
    PJ* cs = proj_crs_get_coordinate_system(context, crs->pj);
    if (cs == nullptr)
        return all;
    const int n = proj_cs_get_axis_count(context, cs);
    // An ellipsoidal system's first two axes are its longitude and latitude.
    const bool ellipsoidal = proj_cs_get_type(context, cs) == PJ_CS_TYPE_ELLIPSOIDAL;
    for (int i = 0; i < n; ++i) {
        const char* name = nullptr;
        double factor = 1;
        if (!proj_cs_get_axis_info(context, cs, i, &name, nullptr, nullptr, &factor, nullptr,
                                   nullptr, nullptr))
            continue;
        all.push_back({name != nullptr ? name : "", ellipsoidal && i < 2, factor});
    }
    proj_destroy(cs);
    return all;
}

const Proj::Crs* Proj::geographicBase(const Crs* crs) {
    std::lock_guard<std::mutex> hold(lock);
    PJ* base = proj_crs_get_geodetic_crs(context, crs->pj);
    if (base == nullptr)
        throw std::invalid_argument("the system has no geodetic base");
    return adopt(base);
}

Proj::Ellipsoid Proj::ellipsoid(const Crs* crs) {
    std::lock_guard<std::mutex> hold(lock);
    PJ* e = proj_get_ellipsoid(context, crs->pj);
    if (e == nullptr)
        throw std::invalid_argument("the system has no ellipsoid");
    double a = 0, b = 0, rf = 0;
    int computed = 0;
    proj_ellipsoid_get_parameters(context, e, &a, &b, &computed, &rf);
    Ellipsoid out;
    const char* n = proj_get_name(e);
    out.name = n != nullptr ? n : "";
    const char* authority = proj_get_id_auth_name(e, 0);
    const char* code = proj_get_id_code(e, 0);
    if (authority != nullptr && code != nullptr)
        out.description = std::string(authority) + ":" + code;
    out.a = a;
    out.rf = a == b ? 0 : rf;
    proj_destroy(e);
    return out;
}

bool Proj::transform(const Crs* from, const Crs* to, double* xyz, std::size_t stride,
                     std::size_t count) {
    std::lock_guard<std::mutex> hold(lock);
    PJ*& op = operations[{from, to}];
    if (op == nullptr) {
        PJ* made = proj_create_crs_to_crs_from_pj(context, from->pj, to->pj, nullptr, nullptr);
        if (made == nullptr) {
            operations.erase({from, to});
            return false;
        }
        op = proj_normalize_for_visualization(context, made);
        proj_destroy(made);
        if (op == nullptr) {
            operations.erase({from, to});
            return false;
        }
    }
    if (count == 0)
        return true;
    proj_trans_generic(op, PJ_FWD, xyz, stride, count, xyz + 1, stride, count, xyz + 2, stride,
                       count, nullptr, 0, 0);
    proj_errno_reset(op);
    return true;
}

std::vector<std::string> Proj::epsgSystems() {
    std::lock_guard<std::mutex> hold(lock);
    std::vector<std::string> all;
    for (PJ_TYPE type : {PJ_TYPE_GEOGRAPHIC_2D_CRS, PJ_TYPE_GEOGRAPHIC_3D_CRS,
                         PJ_TYPE_PROJECTED_CRS, PJ_TYPE_GEOCENTRIC_CRS}) {
        PROJ_STRING_LIST codes = proj_get_codes_from_database(context, "EPSG", type, 0);
        for (PROJ_STRING_LIST c = codes; c != nullptr && *c != nullptr; ++c)
            all.push_back(std::string("EPSG:") + *c);
        proj_string_list_destroy(codes);
    }
    return all;
}

std::vector<Proj::Ellipsoid> Proj::ellipsoids() {
    std::vector<Ellipsoid> all;
    for (const PJ_ELLPS* e = proj_list_ellps(); e->id != nullptr; ++e) {
        const double a = valueOf(e->major);
        double rf = 0;
        if (std::strncmp(e->ell, "rf=", 3) == 0) {
            rf = valueOf(e->ell);
        } else {
            const double b = valueOf(e->ell);
            rf = a == b ? 0 : a / (a - b);
        }
        all.push_back({e->id, e->name, a, rf});
    }
    return all;
}

} // namespace hvc_sandbox
