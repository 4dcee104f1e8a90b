#include "CoordinateServants.h"

#include "CoordinateService.h"

#include <random>
#include <stdexcept>

namespace hvc_sandbox {

namespace {

using EpCoordinateService::NoKnownTransformException;

const SystemDefinition::Axis& axisOf(const SystemDefinition& def, CORBA::Short axis) {
    if (axis < 1 || axis > 3)
        throw EpTypes::BadArgumentsException(
            ("axis " + std::to_string(axis) + ": the axes are numbered 1, 2 and 3").c_str());
    return def.axes[static_cast<std::size_t>(axis - 1)];
}

EpCoordinateService::Ellipsoid* ellipsoidOf(const Proj::Ellipsoid& e) {
    auto* out = new EpCoordinateService::Ellipsoid;
    out->semiMajorAxis = e.a;
    out->inverseFlattening = e.rf;
    out->name = e.name.c_str();
    out->description = e.description.c_str();
    return out;
}

} // namespace

SystemIdentity::SystemIdentity(std::shared_ptr<const SystemDefinition> d) : def(std::move(d)) {
    std::random_device random;
    for (CORBA::Octet& byte : id)
        byte = static_cast<CORBA::Octet>(random());
}

template <class Skeleton> EpEntity::Identifier_slice* SystemServantOf<Skeleton>::identifier() {
    return EpEntity::Identifier_dup(id);
}

template <class Skeleton>
CORBA::Boolean SystemServantOf<Skeleton>::isIdentical(EpEntity::Entity_ptr other) {
    return service.definitionOf(other) == def;
}

template <class Skeleton>
CORBA::Boolean SystemServantOf<Skeleton>::isEqual(EpEntity::Entity_ptr other) {
    service.countEquality();
    std::shared_ptr<const SystemDefinition> that = service.definitionOf(other);
    return that != nullptr && service.equal(*def, *that);
}

template <class Skeleton> char* SystemServantOf<Skeleton>::name() {
    return CORBA::string_dup(def->name.c_str());
}

template <class Skeleton>
EpCoordinateService::ParameterSeq* SystemServantOf<Skeleton>::getParameters() {
    return new EpCoordinateService::ParameterSeq(def->parameters());
}

template <class Skeleton> char* SystemServantOf<Skeleton>::getAxisName(CORBA::Short axis) {
    return CORBA::string_dup(axisOf(*def, axis).name.c_str());
}

template <class Skeleton>
EpUnitOfMeasureService::Unit_ptr SystemServantOf<Skeleton>::getAxisUnit(CORBA::Short axis) {
    return service.unit(axisOf(*def, axis).unit);
}

template <class Skeleton>
EpTypes::PointSeq*
SystemServantOf<Skeleton>::transformPoints(EpCoordinateService::System_ptr destination,
                                           const EpTypes::PointSeq& points,
                                           DosTypes::ULongSeq_out failedPoints) {
    service.countTransform();
    std::shared_ptr<const SystemDefinition> to = service.definitionOf(destination);
    if (to == nullptr)
        throw NoKnownTransformException("the destination is not a system of this service");
    EpTypes::PointSeq_var out = new EpTypes::PointSeq(points);
    DosTypes::ULongSeq_var failed = new DosTypes::ULongSeq;
    if (!service.transform(*def, *to, out.inout(), failed.inout()))
        throw NoKnownTransformException(
            ("no known transformation from " + def->name + " to " + to->name).c_str());
    failedPoints = failed._retn();
    return out._retn();
}

EpCoordinateService::Ellipsoid* GeographicalSystemServant::getEllipsoid() {
    return ellipsoidOf(service.engine().ellipsoid(def->crs));
}

EpCoordinateService::Ellipsoid* GeocentricSystemServant::getEllipsoid() {
    return ellipsoidOf(service.engine().ellipsoid(def->crs));
}

EpCoordinateService::GeographicalSystem_ptr MapSystemServant::getGeographicalSystem() {
    Proj& proj = service.engine();
    const Proj::Crs* base = proj.geographicBase(def->crs);
    std::string id = proj.identifier(base);
    EpCoordinateService::System_var system =
        !id.empty() ? service.system(id) : service.createSystem(proj.name(base), def->definition);
    return EpCoordinateService::GeographicalSystem::_narrow(system.in());
}

EpCoordinateService::System_ptr IJKSystemServant::getParentSystem() {
    return service.system(def->parent->name);
}

EpCoordinateService::MapSystem_ptr SeismicBinGridSystemServant::getMapSystem() {
    EpCoordinateService::System_var system = service.system(def->parent->name);
    return EpCoordinateService::MapSystem::_narrow(system.in());
}

template class SystemServantOf<POA_EpCoordinateService::GeographicalSystem>;
template class SystemServantOf<POA_EpCoordinateService::GeocentricSystem>;
template class SystemServantOf<POA_EpCoordinateService::MapSystem>;
template class SystemServantOf<POA_EpCoordinateService::IJKSystem>;
template class SystemServantOf<POA_EpCoordinateService::SeismicBinGridSystem>;

DosTypes::StringSeq* CoordinateFinderServant::getSystemNames() {
    const std::vector<std::string> names = service.systemNames();
    DosTypes::StringSeq_var out = new DosTypes::StringSeq;
    out->length(static_cast<CORBA::ULong>(names.size()));
    for (CORBA::ULong i = 0; i < out->length(); ++i)
        out[i] = names[i].c_str();
    return out._retn();
}

EpCoordinateService::System_ptr CoordinateFinderServant::findSystem(const char* name) {
    try {
        return service.system(name != nullptr ? name : "");
    } catch (const std::invalid_argument& e) {
        throw EpTypes::BadArgumentsException(e.what());
    }
}

DosTypes::StringSeq* CoordinateFactoryServant::getEllipsoidNames() {
    const std::vector<Proj::Ellipsoid> all = Proj::ellipsoids();
    DosTypes::StringSeq_var out = new DosTypes::StringSeq;
    out->length(static_cast<CORBA::ULong>(all.size()));
    for (CORBA::ULong i = 0; i < out->length(); ++i)
        out[i] = all[i].name.c_str();
    return out._retn();
}

EpCoordinateService::Ellipsoid* CoordinateFactoryServant::getEllipsoid(const char* name) {
    const std::string wanted = name != nullptr ? name : "";
    if (service.countEllipsoidLookup())
        throw EpCoordinateService::Factory::NoSuchNameException("failing as the test asked");
    for (const Proj::Ellipsoid& e : Proj::ellipsoids())
        if (e.name == wanted)
            return ellipsoidOf(e);
    throw EpCoordinateService::Factory::NoSuchNameException(
        ("no ellipsoid named '" + wanted + "'").c_str());
}

EpCoordinateService::System_ptr
CoordinateFactoryServant::createSystem(const char* name,
                                       const EpCoordinateService::ParameterSeq& parameters) {
    for (CORBA::ULong i = 0; i < parameters.length(); ++i) {
        if (std::string(parameters[i].name.in()) != "definition" ||
            parameters[i].value._d() != EpCoordinateService::PARAMETER_STRING)
            continue;
        try {
            return service.createSystem(name != nullptr ? name : "",
                                        parameters[i].value.stringValue());
        } catch (const std::invalid_argument& e) {
            throw EpTypes::BadArgumentsException(e.what());
        }
    }
    throw EpTypes::BadArgumentsException("a system needs the string parameter 'definition'");
}

} // namespace hvc_sandbox
