// The units service of the sandbox: its server, whose factory finder hands
// out the declaration and the finder, and one object per catalogued unit.
#pragma once

#include "UnitCatalogue.h"

#include "sandbox/Room.h"

#include <EpUnitOfMeasureService.hh>

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace hvc_sandbox {

// Owns the catalogue and, through Servant_var holders and its POA, the
// servants. Serves any number of clients at once; the knobs are for tests.
class UnitsService : public Room {
public:
    const char* name() const override { return "units"; }
    void start(Platform& platform, PortableServer::POA_ptr poa) override;

    UnitCatalogue& catalogue() { return *units; }

    // The unit object of `acronym` (a new reference), or nil for an unknown one.
    EpUnitOfMeasureService::Unit_ptr unit(const std::string& acronym);

    // The catalogue entry a unit reference stands for: one of this service's
    // objects, or another service's unit known here by its acronym. Null for
    // nil and for what this service does not know. May ask a foreign unit
    // for its acronym.
    const UnitCatalogue::Definition* definitionOf(EpUnitOfMeasureService::Unit_ptr unit);

    // How often the finder has been asked for `acronym`.
    int lookups(const std::string& acronym) const;

    // For the servants.
    void countLookup(const std::string& acronym);
    // Activates the object of a catalogue entry (once) and returns it.
    EpUnitOfMeasureService::Unit_ptr activate(const UnitCatalogue::Definition& definition);

private:
    std::unique_ptr<UnitCatalogue> units;
    PortableServer::POA_var unitPoa;
    mutable std::mutex lock;
    std::map<std::string, EpUnitOfMeasureService::Unit_var> objects;
    std::map<std::string, int> counts;
};

} // namespace hvc_sandbox
