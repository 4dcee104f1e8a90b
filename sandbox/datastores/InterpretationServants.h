// The seismic and interpretation objects of a sandbox data store: survey
// geometries, and the horizon, fault and fault segment representations
// picked on them, whose origins the store keeps.
#pragma once

#include "DataServant.h"
#include "StoreCatalogue.h"
#include "StoredOrigin.h"

#include <EpiInterpretation.hh>
#include <EpiSeismic.hh>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace hvc_sandbox {

class DataStore;

// The coordinate system of a name (a new reference; nil when the platform's
// coordinate service has none of that name).
using SystemLookup = std::function<EpCoordinateService::System_ptr(const std::string&)>;

// A geometry's name and the system its traces are located in, looked up by
// name when asked. Immutable.
template <class Skeleton> class GeometryServant : public StoredData<Skeleton> {
public:
    GeometryServant(const EpDataStore::DataKey& key, std::string keyString, std::string name,
                    std::string systemName, SystemLookup systems)
        : StoredData<Skeleton>(key, std::move(keyString)), geometryName(std::move(name)),
          systemName(std::move(systemName)), systems(std::move(systems)) {}

    char* name() override { return CORBA::string_dup(geometryName.c_str()); }
    EpCoordinateService::System_ptr getSystem() override {
        return systems ? systems(systemName) : EpCoordinateService::System::_nil();
    }

private:
    const std::string geometryName;
    const std::string systemName;
    const SystemLookup systems;
};

// A 3D survey on a regular grid of inlines and crosslines over a seismic bin
// grid system.
class SeismicGeometry3dServant : public GeometryServant<POA_EpiSeismic::SeismicGeometry3d> {
public:
    struct Range {
        CORBA::Long first;
        CORBA::Long last;
        CORBA::Long step;
    };
    SeismicGeometry3dServant(const EpDataStore::DataKey& key, std::string keyString,
                             std::string name, std::string systemName, SystemLookup systems,
                             Range inlines, Range crosslines)
        : GeometryServant(key, std::move(keyString), std::move(name), std::move(systemName),
                          std::move(systems)),
          inlines(inlines), crosslines(crosslines) {}

    // The system, when it is a bin grid; nil otherwise.
    EpCoordinateService::SeismicBinGridSystem_ptr getBinGridSystem() override;
    void getInlineRange(CORBA::Long& first, CORBA::Long& last, CORBA::Long& step) override;
    void getCrosslineRange(CORBA::Long& first, CORBA::Long& last, CORBA::Long& step) override;

private:
    const Range inlines;
    const Range crosslines;
};

// 2D lines, each a straight run of equally spaced traces.
class SeismicGeometry2dServant : public GeometryServant<POA_EpiSeismic::SeismicGeometry2d> {
public:
    struct Line {
        std::string name;
        double x, y;   // the first trace
        double dx, dy; // from one trace to the next
        CORBA::ULong traces;
    };
    SeismicGeometry2dServant(const EpDataStore::DataKey& key, std::string keyString,
                             std::string name, std::string systemName, SystemLookup systems,
                             std::vector<Line> lines)
        : GeometryServant(key, std::move(keyString), std::move(name), std::move(systemName),
                          std::move(systems)),
          lines(std::move(lines)) {}

    DosTypes::StringSeq* getLineNames() override;
    // EpTypes::BadArgumentsException for a line the geometry does not have.
    EpTypes::PointSeq* getTraceLocations(const char* lineName) override;

private:
    const std::vector<Line> lines;
};

// A representation's name and its origin, which the store keeps as a plain
// StoredOrigin. Origins are read and replaced whole under a lock.
template <class Skeleton> class FeatureServant : public StoredData<Skeleton> {
public:
    FeatureServant(const EpDataStore::DataKey& key, std::string keyString, std::string name,
                   const DataStore& store, StoredOrigin origin)
        : StoredData<Skeleton>(key, std::move(keyString)), store(store),
          featureName(std::move(name)), kept(std::move(origin)) {}

    char* name() override { return CORBA::string_dup(featureName.c_str()); }
    CosPropertyService::Properties* getOrigin() override {
        StoredOrigin now;
        {
            std::lock_guard<std::mutex> hold(lock);
            now = kept;
        }
        return now.restore(store);
    }
    // EpDataStore::StoreException for a value the store cannot keep, which
    // leaves the origin as it was.
    void setOrigin(const CosPropertyService::Properties& origin) override {
        StoredOrigin replacement = StoredOrigin::keep(store, origin);
        std::lock_guard<std::mutex> hold(lock);
        kept = std::move(replacement);
    }

    // What the store keeps now.
    StoredOrigin stored() {
        std::lock_guard<std::mutex> hold(lock);
        return kept;
    }

protected:
    const DataStore& store;

private:
    const std::string featureName;
    std::mutex lock;
    StoredOrigin kept; // guarded by lock
};

// A horizon or fault representation: a feature with a classification of the
// reference value service's vocabularies.
template <class Skeleton> class ClassifiedServant : public FeatureServant<Skeleton> {
public:
    ClassifiedServant(const EpDataStore::DataKey& key, std::string keyString, std::string name,
                      const DataStore& store, StoredOrigin origin, std::string classification)
        : FeatureServant<Skeleton>(key, std::move(keyString), std::move(name), store,
                                   std::move(origin)),
          classified(std::move(classification)) {}

    char* classification() override { return CORBA::string_dup(classified.c_str()); }

private:
    const std::string classified;
};

using HorizonServant = ClassifiedServant<POA_EpiInterpretation::HorizonRepresentation>;
using FaultServant = ClassifiedServant<POA_EpiInterpretation::FaultRepresentation>;

// A fault picked on one seismic section, part of a fault of the same store.
class FaultSegmentServant : public FeatureServant<POA_EpiInterpretation::FaultSegment> {
public:
    FaultSegmentServant(const EpDataStore::DataKey& key, std::string keyString, std::string name,
                        const DataStore& store, StoredOrigin origin, std::string faultKeyText)
        : FeatureServant(key, std::move(keyString), std::move(name), store, std::move(origin)),
          faultKey(std::move(faultKeyText)) {}

    EpiInterpretation::FaultRepresentation_ptr getFault() override;

private:
    const std::string faultKey;
};

// Makes the servants of the seismic and interpretation data types from their
// entries in the data file (members in README.md beside this file).
class InterpretationObjects {
public:
    // The servant of `object`, whose key is `key` and current key text
    // `keyText`; null for an object of another data type. Raises
    // std::runtime_error naming what the entry lacks or gets wrong, such as
    // an origin geometry or a fault that is no such object of its project.
    static PortableServer::ServantBase* make(const EpDataStore::DataKey& key,
                                             const std::string& keyText,
                                             const StoreCatalogue::Object& object,
                                             const StoreCatalogue::Store& catalogue,
                                             const DataStore& store, const SystemLookup& systems);
};

} // namespace hvc_sandbox
