// The coordinate service of the sandbox, on PROJ: the coordinate server,
// whose factory finder hands out the finder and the factory, and one object
// per coordinate system (see README.md).
#pragma once

#include "Proj.h"
#include "SystemDefinition.h"

#include "sandbox/Room.h"
#include "sandbox/common/StateStore.h"

#include <EpCoordinateService.hh>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace hvc_sandbox {

class UnitsService;

// Owns the PROJ engine, the system definitions and, through Servant_var
// holders and its POA, the servants. Serves any number of clients at once;
// the knobs are for tests. Needs the units room started before it.
class CoordinateService : public Room {
public:
    CoordinateService();
    ~CoordinateService() override;

    const char* name() const override { return "coordinates"; }
    void start(Platform& platform, PortableServer::POA_ptr poa) override;

    // The system of that name (a new reference): a grid of systems.json, or
    // an AUTHORITY:CODE PROJ knows as a geographic, projected or geocentric
    // system. The same name gives the same object, after a restart of a
    // platform with a home too (the names handed out are kept in its state).
    // Raises std::invalid_argument with the reason for any other name.
    EpCoordinateService::System_ptr system(const std::string& name);

    // A new system object made from a PROJ definition text, for the life of
    // the process; raises std::invalid_argument when PROJ makes no system of
    // the three kinds.
    EpCoordinateService::System_ptr createSystem(const std::string& name,
                                                 const std::string& definition);

    // The definition behind one of this service's system objects; null for
    // nil and for other objects.
    std::shared_ptr<const SystemDefinition> definitionOf(CORBA::Object_ptr system);

    // Carries `points` from `from` into `to` in place; `failed` receives the
    // indices of the points that could not be transformed. False when there
    // is no operation between the two.
    bool transform(const SystemDefinition& from, const SystemDefinition& to,
                   EpTypes::PointSeq& points, DosTypes::ULongSeq& failed);

    // Same definition, whatever the objects.
    bool equal(const SystemDefinition& a, const SystemDefinition& b);

    // The unit object of an acronym, nil for none.
    EpUnitOfMeasureService::Unit_ptr unit(const std::string& acronym);

    // The names the finder lists: the grids, then PROJ's EPSG systems.
    std::vector<std::string> systemNames();

    Proj& engine() { return *proj; }

    // Knobs: how often systems were asked to transform and to compare.
    int transformCalls() const { return transforms.load(); }
    int equalityCalls() const { return comparisons.load(); }
    void countTransform() { ++transforms; }
    void countEquality() { ++comparisons; }
    // How often the factory was asked for an ellipsoid; `failAt` makes that
    // look-up (0 the first) raise NoSuchNameException, once.
    int ellipsoidLookups() const { return ellipsoidCalls.load(); }
    void failEllipsoidLookup(int failAt) { failingLookup = failAt; }
    // Counts a look-up; true when it is to fail.
    bool countEllipsoidLookup() {
        const int n = ellipsoidCalls++;
        int expected = n;
        return failingLookup.compare_exchange_strong(expected, -1);
    }

private:
    std::shared_ptr<SystemDefinition> projSystem(const std::string& name,
                                                 const std::string& definition);
    // Activates the system under `id`; a fresh one when it is empty.
    EpCoordinateService::System_ptr activate(std::shared_ptr<const SystemDefinition> def,
                                             const std::string& id);
    std::string unitOf(const Proj::Axis& axis);
    void loadGrids();

    std::shared_ptr<Proj> proj;
    UnitsService* units = nullptr;
    PortableServer::POA_var systemPoa;
    StateStore* store = nullptr;
    std::mutex lock;
    std::map<std::string, std::shared_ptr<const SystemDefinition>> definitions;
    std::map<std::string, EpCoordinateService::System_var> objects;
    std::vector<std::string> gridNames;
    std::vector<std::string> epsgNames;
    std::atomic<int> transforms{0};
    std::atomic<int> comparisons{0};
    std::atomic<int> ellipsoidCalls{0};
    std::atomic<int> failingLookup{-1};
};

} // namespace hvc_sandbox
