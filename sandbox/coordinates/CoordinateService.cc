#include "CoordinateService.h"

#include "CoordinateServants.h"

#include "sandbox/Platform.h"
#include "sandbox/common/Activation.h"
#include "sandbox/common/FactoryFinderServant.h"
#include "sandbox/common/ServerServant.h"
#include "sandbox/units/UnitsService.h"

#include <cctype>
#include <cmath>
#include <stdexcept>

namespace hvc_sandbox {

// The bytes of systems.json, built in by the build.
extern const unsigned char systemsJson[];
extern const std::size_t systemsJsonSize;

namespace {

using hvc_util::ServiceCatalogue;

// "epsg:4326" -> "EPSG:4326"; empty for a text that is no AUTHORITY:CODE.
std::string authorityCode(const std::string& name) {
    const std::size_t colon = name.find(':');
    if (colon == 0 || colon == std::string::npos || colon + 1 == name.size())
        return "";
    std::string canonical;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (i == colon) {
            canonical += ':';
        } else if (std::isalnum(c) || (c == '_' && i < colon) || (c == '.' && i > colon)) {
            canonical += static_cast<char>(i < colon ? std::toupper(c) : c);
        } else {
            return "";
        }
    }
    return canonical;
}

template <class Servant>
EpCoordinateService::System_ptr activateAs(PortableServer::POA_ptr poa, CoordinateService& room,
                                           std::shared_ptr<const SystemDefinition> def,
                                           const std::string& id) {
    PortableServer::Servant_var<Servant> servant(new Servant(room, std::move(def)));
    CORBA::Object_var obj = id.empty() ? Activation::activate(poa, servant.in())
                                       : Activation::activate(poa, id, servant.in());
    return EpCoordinateService::System::_narrow(obj.in());
}

// The names of the systems handed out, so that they answer again after a
// restart; steps are only appended.
const std::vector<std::string> schema = {
    "CREATE TABLE coordinate_systems(name TEXT PRIMARY KEY);",
};

bool sameVector(const SystemDefinition::Vector& a, const SystemDefinition::Vector& b) {
    return a == b;
}

} // namespace

CoordinateService::CoordinateService() : proj(std::make_shared<Proj>()) {}

CoordinateService::~CoordinateService() = default;

void CoordinateService::start(Platform& platform, PortableServer::POA_ptr poa) {
    units = &platform.room<UnitsService>();
    systemPoa = PortableServer::POA::_duplicate(poa);
    store = &platform.state();
    store->migrate(name(), schema);
    loadGrids();

    PortableServer::Servant_var<CoordinateFinderServant> finderServant(
        new CoordinateFinderServant(*this));
    CORBA::Object_var finder = Activation::activate(poa, "finder", finderServant.in());
    platform.publish(ServiceCatalogue::Service::CoordinateFinder, poa, finder);

    PortableServer::Servant_var<CoordinateFactoryServant> factoryServant(
        new CoordinateFactoryServant(*this));
    CORBA::Object_var factory = Activation::activate(poa, "factory", factoryServant.in());
    platform.publish(ServiceCatalogue::Service::CoordinateFactory, poa, factory);

    // The coordinate server hands out its finder and factory by interface.
    PortableServer::Servant_var<FactoryFinderServant> factories(new FactoryFinderServant);
    factories->addInterface(EpCoordinateService::Finder::_PD_repoId, finder);
    factories->addInterface(EpCoordinateService::Factory::_PD_repoId, factory);
    CORBA::Object_var finderObj = Activation::activate(poa, "factories", factories.in());
    CosLifeCycle::FactoryFinder_var factoryFinder = CosLifeCycle::FactoryFinder::_narrow(finderObj);
    PortableServer::Servant_var<ServerServant> server(new ServerServant(factoryFinder));
    CORBA::Object_var serverRef = Activation::activate(poa, "server", server.in());
    platform.publishName(
        ServiceCatalogue::entry(ServiceCatalogue::Service::CoordinateFinder).bindName, serverRef);

    std::vector<std::string> handedOut;
    {
        StateStore::Statement read(*store, "SELECT name FROM coordinate_systems ORDER BY name");
        while (read.step())
            handedOut.push_back(read.text(0));
    }
    for (const std::string& kept : handedOut) {
        try {
            EpCoordinateService::System_var again = system(kept);
        } catch (const std::invalid_argument&) {
            // A name this build no longer knows names nothing.
        }
    }
}

void CoordinateService::loadGrids() {
    nlohmann::json data;
    try {
        data = nlohmann::json::parse(systemsJson, systemsJson + systemsJsonSize);
    } catch (const nlohmann::json::exception& e) {
        throw std::runtime_error(std::string("coordinates/systems.json: ") + e.what());
    }
    for (const auto& entry : data.at("systems")) {
        const std::string name = entry.value("name", std::string());
        try {
            const std::string parentName = authorityCode(entry.at("parent").get<std::string>());
            if (parentName.empty())
                throw std::invalid_argument("'parent' is not an AUTHORITY:CODE");
            auto parent = definitions.count(parentName) != 0 ? definitions[parentName]
                                                             : projSystem(parentName, parentName);
            definitions[parentName] = parent;
            auto grid = SystemDefinition::grid(entry, parent);
            if (definitions.count(grid->name) != 0)
                throw std::invalid_argument("the name is taken");
            definitions[grid->name] = grid;
            gridNames.push_back(grid->name);
        } catch (const std::exception& e) {
            throw std::runtime_error("coordinates/systems.json: system '" + name +
                                     "': " + e.what());
        }
    }
}

std::string CoordinateService::unitOf(const Proj::Axis& axis) {
    const char* dimension = axis.angular ? "plane angle" : "length";
    for (const std::string& acronym : units->catalogue().acronyms()) {
        const UnitCatalogue::Definition* d = units->catalogue().find(acronym);
        if (d == nullptr || d->dimension != dimension || d->toBase.a != 0 || d->toBase.d != 0)
            continue;
        const double factor = d->toBase.b / d->toBase.c;
        if (std::fabs(factor - axis.toBase) <= 1e-12 * factor)
            return acronym;
    }
    return "";
}

std::shared_ptr<SystemDefinition> CoordinateService::projSystem(const std::string& name,
                                                                const std::string& definition) {
    auto def = std::make_shared<SystemDefinition>();
    def->name = name;
    def->definition = definition;
    def->crs = proj->create(definition);
    switch (proj->kind(def->crs)) {
    case Proj::Kind::Geographic:
        def->kind = SystemDefinition::Kind::Geographic;
        break;
    case Proj::Kind::Projected:
        def->kind = SystemDefinition::Kind::Map;
        break;
    case Proj::Kind::Geocentric:
        def->kind = SystemDefinition::Kind::Geocentric;
        break;
    default:
        throw std::invalid_argument("'" + definition +
                                    "' is not a geographic, projected or geocentric system");
    }
    const std::vector<Proj::Axis> axes = proj->axes(def->crs);
    for (std::size_t i = 0; i < 3; ++i)
        def->axes[i] = i < axes.size() ? SystemDefinition::Axis{axes[i].name, unitOf(axes[i])}
                                       : SystemDefinition::Axis{"Height", "m"};
    return def;
}

EpCoordinateService::System_ptr
CoordinateService::activate(std::shared_ptr<const SystemDefinition> def, const std::string& id) {
    switch (def->kind) {
    case SystemDefinition::Kind::Geographic:
        return activateAs<GeographicalSystemServant>(systemPoa.in(), *this, std::move(def), id);
    case SystemDefinition::Kind::Map:
        return activateAs<MapSystemServant>(systemPoa.in(), *this, std::move(def), id);
    case SystemDefinition::Kind::Geocentric:
        return activateAs<GeocentricSystemServant>(systemPoa.in(), *this, std::move(def), id);
    case SystemDefinition::Kind::IJK:
        return activateAs<IJKSystemServant>(systemPoa.in(), *this, std::move(def), id);
    default:
        return activateAs<SeismicBinGridSystemServant>(systemPoa.in(), *this, std::move(def), id);
    }
}

EpCoordinateService::System_ptr CoordinateService::system(const std::string& name) {
    std::lock_guard<std::mutex> hold(lock);
    std::string key = name;
    if (definitions.count(key) == 0) {
        key = authorityCode(name);
        if (key.empty())
            throw std::invalid_argument("no system named '" + name + "'");
    }
    auto object = objects.find(key);
    if (object != objects.end())
        return EpCoordinateService::System::_duplicate(object->second.in());
    auto def = definitions.find(key);
    if (def == definitions.end())
        def = definitions.emplace(key, projSystem(key, key)).first;
    {
        StateStore::Transaction writing(*store);
        StateStore::Statement keep(*store,
                                   "INSERT OR IGNORE INTO coordinate_systems(name) VALUES(?)");
        keep.bind(1, key).run();
        writing.commit();
    }
    EpCoordinateService::System_var made = activate(def->second, "system:" + key);
    objects[key] = EpCoordinateService::System::_duplicate(made.in());
    return made._retn();
}

EpCoordinateService::System_ptr CoordinateService::createSystem(const std::string& name,
                                                                const std::string& definition) {
    std::lock_guard<std::mutex> hold(lock);
    auto def = projSystem(name, definition);
    return activate(def, std::string());
}

std::shared_ptr<const SystemDefinition> CoordinateService::definitionOf(CORBA::Object_ptr system) {
    if (CORBA::is_nil(system))
        return nullptr;
    try {
        PortableServer::ServantBase_var servant = systemPoa->reference_to_servant(system);
        if (auto* identity = dynamic_cast<SystemIdentity*>(servant.in()))
            return identity->definition();
    } catch (const PortableServer::POA::WrongAdapter&) {
    } catch (const PortableServer::POA::ObjectNotActive&) {
    }
    return nullptr;
}

bool CoordinateService::transform(const SystemDefinition& from, const SystemDefinition& to,
                                  EpTypes::PointSeq& points, DosTypes::ULongSeq& failed) {
    const CORBA::ULong n = points.length();
    if (from.isGrid())
        for (CORBA::ULong i = 0; i < n; ++i)
            from.toParent(points[i]);
    if (!proj->equivalent(from.crs, to.crs) &&
        !proj->transform(from.crs, to.crs, n > 0 ? &points[0].x : nullptr, sizeof(EpTypes::Point),
                         n))
        return false;
    if (to.isGrid())
        for (CORBA::ULong i = 0; i < n; ++i)
            to.fromParent(points[i]);
    failed.length(0);
    for (CORBA::ULong i = 0; i < n; ++i) {
        const EpTypes::Point& p = points[i];
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
            const CORBA::ULong at = failed.length();
            failed.length(at + 1);
            failed[at] = i;
        }
    }
    return true;
}

bool CoordinateService::equal(const SystemDefinition& a, const SystemDefinition& b) {
    if (&a == &b)
        return true;
    if (a.kind != b.kind)
        return false;
    if (!a.isGrid())
        return proj->equivalent(a.crs, b.crs);
    if (!equal(*a.parent, *b.parent) || !sameVector(a.origin, b.origin) ||
        !sameVector(a.first, b.first))
        return false;
    for (int i = 0; i < 3; ++i)
        if (!sameVector(a.columns[i], b.columns[i]) || a.axes[i].name != b.axes[i].name ||
            a.axes[i].unit != b.axes[i].unit)
            return false;
    return true;
}

EpUnitOfMeasureService::Unit_ptr CoordinateService::unit(const std::string& acronym) {
    return units->unit(acronym);
}

std::vector<std::string> CoordinateService::systemNames() {
    std::lock_guard<std::mutex> hold(lock);
    if (epsgNames.empty())
        epsgNames = proj->epsgSystems();
    std::vector<std::string> all = gridNames;
    all.insert(all.end(), epsgNames.begin(), epsgNames.end());
    return all;
}

} // namespace hvc_sandbox
