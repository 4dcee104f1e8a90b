// The servants of the sandbox's coordinate service.
#pragma once

#include "SystemDefinition.h"

#include <EpCoordinateService.hh>

#include <memory>

namespace hvc_sandbox {

class CoordinateService;

// What every system servant carries: its definition and identity.
class SystemIdentity {
public:
    explicit SystemIdentity(std::shared_ptr<const SystemDefinition> d);
    virtual ~SystemIdentity() = default;
    const std::shared_ptr<const SystemDefinition>& definition() const { return def; }

protected:
    std::shared_ptr<const SystemDefinition> def;
    EpEntity::Identifier id;
};

// The operations every system has. Borrows the room, which outlives it.
template <class Skeleton> class SystemServantOf : public Skeleton, public SystemIdentity {
public:
    SystemServantOf(CoordinateService& room, std::shared_ptr<const SystemDefinition> d)
        : SystemIdentity(std::move(d)), service(room) {}

    EpEntity::Identifier_slice* identifier() override;
    CORBA::Boolean isIdentical(EpEntity::Entity_ptr other) override;
    CORBA::Boolean isEqual(EpEntity::Entity_ptr other) override;
    char* name() override;
    EpCoordinateService::ParameterSeq* getParameters() override;
    // Axes 1 to 3; BadArgumentsException for any other number.
    char* getAxisName(CORBA::Short axis) override;
    EpUnitOfMeasureService::Unit_ptr getAxisUnit(CORBA::Short axis) override;
    // NoKnownTransformException for a destination of another service or a
    // pair without an operation.
    EpTypes::PointSeq* transformPoints(EpCoordinateService::System_ptr destination,
                                       const EpTypes::PointSeq& points,
                                       DosTypes::ULongSeq_out failedPoints) override;

protected:
    CoordinateService& service;
};

class GeographicalSystemServant
    : public SystemServantOf<POA_EpCoordinateService::GeographicalSystem> {
public:
    using SystemServantOf::SystemServantOf;
    EpCoordinateService::Ellipsoid* getEllipsoid() override;
};

class GeocentricSystemServant : public SystemServantOf<POA_EpCoordinateService::GeocentricSystem> {
public:
    using SystemServantOf::SystemServantOf;
    EpCoordinateService::Ellipsoid* getEllipsoid() override;
};

class MapSystemServant : public SystemServantOf<POA_EpCoordinateService::MapSystem> {
public:
    using SystemServantOf::SystemServantOf;
    EpCoordinateService::GeographicalSystem_ptr getGeographicalSystem() override;
};

class IJKSystemServant : public SystemServantOf<POA_EpCoordinateService::IJKSystem> {
public:
    using SystemServantOf::SystemServantOf;
    EpCoordinateService::System_ptr getParentSystem() override;
};

class SeismicBinGridSystemServant
    : public SystemServantOf<POA_EpCoordinateService::SeismicBinGridSystem> {
public:
    using SystemServantOf::SystemServantOf;
    EpCoordinateService::MapSystem_ptr getMapSystem() override;
};

class CoordinateFinderServant : public POA_EpCoordinateService::Finder {
public:
    explicit CoordinateFinderServant(CoordinateService& room) : service(room) {}
    DosTypes::StringSeq* getSystemNames() override;
    // BadArgumentsException for a name the service cannot make a system of.
    EpCoordinateService::System_ptr findSystem(const char* name) override;

private:
    CoordinateService& service;
};

class CoordinateFactoryServant : public POA_EpCoordinateService::Factory {
public:
    explicit CoordinateFactoryServant(CoordinateService& room) : service(room) {}
    DosTypes::StringSeq* getEllipsoidNames() override;
    // NoSuchNameException for a name not in PROJ's list of ellipsoids.
    EpCoordinateService::Ellipsoid* getEllipsoid(const char* name) override;
    // The string parameter "definition" (what proj_create accepts) makes a
    // geographic, projected or geocentric system; BadArgumentsException
    // otherwise.
    EpCoordinateService::System_ptr
    createSystem(const char* name, const EpCoordinateService::ParameterSeq& parameters) override;

private:
    CoordinateService& service;
};

} // namespace hvc_sandbox
