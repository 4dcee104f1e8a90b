// The origin property lists of interpretation objects: which seismic
// geometry a feature was picked on and, for fault segments, along which axis.
#include "hvc_util/Interpretation.h"

#include "bindings/Handlers.h"
#include "hvc_util/NVPSet.h"

#include <EpCoordinateService.hh>
#include <EpDataStore.hh>

#include <cstring>
#include <string>

namespace hvc_util {

const double Interpretation::AXIS_INDEX_NOT_SET = -999.25;

Interpretation::FaultSegmentOrigin::FaultSegmentOrigin(const FaultSegmentOrigin& other)
    : geometry(other.geometry), axisIndex(other.axisIndex) {
    if (!(other.axisName == static_cast<const char*>(nullptr)))
        axisName = other.axisName;
}

Interpretation::FaultSegmentOrigin&
Interpretation::FaultSegmentOrigin::operator=(const FaultSegmentOrigin& other) {
    if (this == &other)
        return *this;
    geometry = other.geometry;
    if (other.axisName == static_cast<const char*>(nullptr))
        axisName.reset();
    else
        axisName = other.axisName;
    axisIndex = other.axisIndex;
    return *this;
}

namespace {

bool same(const char* a, const char* b) {
    return std::strcmp(a, b) == 0;
}

// The seismic geometry an origin value holds: any object reference is taken
// and narrowed, so that a geometry stored under the type code of a derived
// interface counts too. Nil for anything else.
EpiSeismic::SeismicGeometry_ptr geometryIn(const CORBA::Any& value) {
    CORBA::Object_var object;
    if (!(value >>= CORBA::Any::to_object(object.out())) || CORBA::is_nil(object))
        return EpiSeismic::SeismicGeometry::_nil();
    return EpiSeismic::SeismicGeometry::_narrow(object.in());
}

} // namespace

CosPropertyService::Properties* Interpretation::createOrigin() {
    return new CosPropertyService::Properties();
}

CosPropertyService::Properties*
Interpretation::createOrigin(EpiSeismic::SeismicGeometry_ptr geometry) {
    CosPropertyService::Properties_var origin = new CosPropertyService::Properties(1);
    origin->length(1);
    origin[0].property_name = EpiInterpretation::SEISMIC_GEOMETRY_KIND;
    origin[0].property_value <<= geometry; // a new reference; nil stays nil
    return origin._retn();
}

CosPropertyService::Properties*
Interpretation::createFaultSegmentOrigin(EpiSeismic::SeismicGeometry_ptr geometry,
                                         const char* axisName) {
    return createFaultSegmentOrigin(geometry, axisName, AXIS_INDEX_NOT_SET);
}

CosPropertyService::Properties*
Interpretation::createFaultSegmentOrigin(EpiSeismic::SeismicGeometry_ptr geometry,
                                         const char* axisName, double axisIndex) {
    const bool hasGeometry = !CORBA::is_nil(geometry);
    const bool hasAxis = axisName != nullptr && *axisName != '\0';
    if (hasAxis) {
        if (same(axisName, EpCoordinateService::INLINE) ||
            same(axisName, EpCoordinateService::XLINE)) {
            if (!hasGeometry)
                throw EpTypes::FailedOperationException(
                    "SeismicGeometry cannot be null if the axisName is INLINE or XLINE");
        } else if (!same(axisName, EpCoordinateService::TIME) &&
                   !same(axisName, EpCoordinateService::DEPTH)) {
            const std::string reason =
                std::string("Invalid axisName: '") + axisName +
                "', must be EpCoordinateService::INLINE, XLINE, TIME, or DEPTH";
            throw EpTypes::FailedOperationException(reason.c_str());
        }
    }
    // The index is never stored without the axis it is a position on.
    const bool hasIndex = hasAxis && axisIndex != AXIS_INDEX_NOT_SET;
    const CORBA::ULong count = (hasGeometry ? 1 : 0) + (hasAxis ? 1 : 0) + (hasIndex ? 1 : 0);

    CosPropertyService::Properties_var origin = new CosPropertyService::Properties(count);
    origin->length(count);
    CORBA::ULong at = 0;
    if (hasGeometry) {
        origin[at].property_name = EpiInterpretation::SEISMIC_GEOMETRY_KIND;
        origin[at++].property_value <<= geometry;
    }
    if (hasAxis) {
        origin[at].property_name = EpiInterpretation::AXIS_NAME_KIND;
        origin[at++].property_value <<= axisName;
    }
    if (hasIndex) {
        origin[at].property_name = EpiInterpretation::AXIS_INDEX_KIND;
        origin[at++].property_value <<= static_cast<CORBA::Double>(axisIndex);
    }
    return origin._retn();
}

EpiSeismic::SeismicGeometrySeq
Interpretation::getSeismicGeometry(const CosPropertyService::Properties& origin) {
    EpiSeismic::SeismicGeometrySeq found;
    for (CORBA::ULong i = 0; i < origin.length(); ++i) {
        if (!same(origin[i].property_name.in(), EpiInterpretation::SEISMIC_GEOMETRY_KIND))
            continue;
        EpiSeismic::SeismicGeometry_var geometry = geometryIn(origin[i].property_value);
        if (CORBA::is_nil(geometry))
            continue;
        const CORBA::ULong at = found.length();
        found.length(at + 1);
        found[at] = geometry._retn();
    }
    return found;
}

EpiSeismic::SeismicGeometry3dSeq
Interpretation::getSeismicGeometry3d(const CosPropertyService::Properties& origin) {
    const EpiSeismic::SeismicGeometrySeq geometries = getSeismicGeometry(origin);
    EpiSeismic::SeismicGeometry3dSeq found(geometries.length());
    found.length(geometries.length());
    for (CORBA::ULong i = 0; i < geometries.length(); ++i)
        found[i] = EpiSeismic::SeismicGeometry3d::_narrow(geometries[i].in());
    return found;
}

Interpretation::FaultSegmentOrigin
Interpretation::getFaultSegmentOrigin(const CosPropertyService::Properties& origin) {
    FaultSegmentOrigin result;
    const NVPSet values(origin);
    if (const CORBA::Any* geometry = values.find(EpiInterpretation::SEISMIC_GEOMETRY_KIND))
        result.geometry = geometryIn(*geometry);
    if (const CORBA::Any* axisName = values.find(EpiInterpretation::AXIS_NAME_KIND)) {
        const char* text = nullptr;
        if (*axisName >>= text)
            result.axisName = text;
    }
    if (const CORBA::Any* axisIndex = values.find(EpiInterpretation::AXIS_INDEX_KIND)) {
        CORBA::Double index = 0;
        if (*axisIndex >>= index)
            result.axisIndex = index;
    }
    return result;
}

bool Interpretation::hasSurvey(EpiInterpretation::FeatureRepresentation_ptr representation,
                               EpiSeismic::SeismicGeometry_ptr geometry) {
    static const OperationFailures failures{
        "Error when checking the Feature Representation.",
        "Unknown Exception when checking the Feature Representation."};
    // A nil representation is the failure to reach it that a call on it
    // would be.
    if (CORBA::is_nil(representation))
        throw EpTypes::FailedOperationException(failures.communication);
    return withHandlers(failures, [&] {
        try {
            // Read even for a nil geometry, so that a store that cannot
            // answer says so.
            CosPropertyService::Properties_var origin = representation->getOrigin();
            if (CORBA::is_nil(geometry))
                return false;
            const EpiSeismic::SeismicGeometrySeq found = getSeismicGeometry(origin.in());
            for (CORBA::ULong i = 0; i < found.length(); ++i)
                if (found[i]->isIdentical(geometry))
                    return true;
            return false;
        } catch (const EpDataStore::StoreException& e) {
            throw EpTypes::FailedOperationException(e.reason.in());
        }
    });
}

} // namespace hvc_util
