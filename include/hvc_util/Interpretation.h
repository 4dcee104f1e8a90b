// Interpretation support: the classification vocabularies of the reference
// value service, and the origin property lists of interpretation objects.
#pragma once

#include <hvc_util/Export.h>
#include <hvc_util/String.h>

#include <CosPropertyService.hh>
#include <DosTypes.hh>
#include <EpiInterpretation.hh>
#include <EpiSeismic.hh>

#include <atomic>

namespace hvc_util {

// Set of static operations.
//
// Vocabularies: the shape property types, horizon classifications and fault
// classifications of the reference value service (source "Halvercast"), each
// loaded whole into a process-wide cache on first use and kept, never
// refreshed, for the life of the process. A set the service returns empty is
// not kept, nor is one whose loading failed: the next call asks again.
// Thread-safe: threads asking at once share one loading; a loaded cache is
// read with one atomic load and is never changed afterwards.
//
// Origins: built and read without any state; references placed in lists and
// sequences are new ones owned by what holds them.
class HVC_UTIL_API Interpretation {
public:
    // Axis index meaning that no position along the axis is given.
    static const double AXIS_INDEX_NOT_SET;

    // The origin of a fault segment as a structure. Copies keep an absent
    // axis name absent (unset), unlike a plain String copy.
    struct HVC_UTIL_API FaultSegmentOrigin {
        // Nil when the origin names no geometry.
        EpiSeismic::SeismicGeometry_var geometry;
        // Unset when the origin names no axis.
        String axisName;
        // AXIS_INDEX_NOT_SET when the origin gives no position.
        double axisIndex = AXIS_INDEX_NOT_SET;

        FaultSegmentOrigin() = default;
        FaultSegmentOrigin(const FaultSegmentOrigin& other);
        FaultSegmentOrigin& operator=(const FaultSegmentOrigin& other);
    };

    // Each vocabulary: a copy of the cache, in the service's order, loading
    // it first. Raises EpTypes::FailedOperationException: the loader's texts
    // ("Error when loading the property cache." for a failure of the service,
    // "Unknown Exception when loading the property cache." for anything else;
    // "horizon classification" and "fault classification" for the other
    // two), or the text of a FailedOperationException met on the way (one of
    // ReferenceValue::getService when the service cannot be resolved).
    static DosTypes::StringSeq validShapePropertyTypes();
    // The same list under the name of its check.
    static DosTypes::StringSeq validPropertyTypes();
    static DosTypes::StringSeq validHorizonClassifications();
    static DosTypes::StringSeq validFaultClassifications();

    // Whether `value` is in the vocabulary, byte for byte (case-sensitive).
    // The cache is loaded first, so these raise what the lists raise, even
    // for a null `value`, which is never valid. A failure never reads as
    // false.
    static bool isValidPropertyType(const char* value);
    static bool isValidHorizonClassification(const char* value);
    static bool isValidFaultClassification(const char* value);

    // A new empty origin list, owned by the caller.
    static CosPropertyService::Properties* createOrigin();
    // A new list owned by the caller naming `geometry` (a new reference; nil
    // is stored as nil).
    static CosPropertyService::Properties* createOrigin(EpiSeismic::SeismicGeometry_ptr geometry);

    // A new list owned by the caller holding, in this order and each only
    // when given: the geometry (not nil), the axis name (neither null nor
    // empty) and the axis index (an axis name is given and the index is not
    // AXIS_INDEX_NOT_SET). The axis name must be one of
    // EpCoordinateService::INLINE, XLINE, TIME or DEPTH exactly; INLINE and
    // XLINE need a geometry. Raises EpTypes::FailedOperationException
    // "SeismicGeometry cannot be null if the axisName is INLINE or XLINE" or
    // "Invalid axisName: '<name>', must be EpCoordinateService::INLINE,
    // XLINE, TIME, or DEPTH".
    static CosPropertyService::Properties*
    createFaultSegmentOrigin(EpiSeismic::SeismicGeometry_ptr geometry, const char* axisName);
    static CosPropertyService::Properties*
    createFaultSegmentOrigin(EpiSeismic::SeismicGeometry_ptr geometry, const char* axisName,
                             double axisIndex);

    // The geometries the origin names, in list order: every entry named
    // EpiInterpretation::SEISMIC_GEOMETRY_KIND holding a reference of a
    // seismic geometry (of any kind) that is not nil. Other entries are
    // skipped. New references, owned by the result. Raises nothing of its
    // own; a reference whose type must be asked of its object may raise what
    // that call raises.
    static EpiSeismic::SeismicGeometrySeq
    getSeismicGeometry(const CosPropertyService::Properties& origin);
    // As getSeismicGeometry, each element narrowed to a three-dimensional
    // geometry: nil in the place of one that is not.
    static EpiSeismic::SeismicGeometry3dSeq
    getSeismicGeometry3d(const CosPropertyService::Properties& origin);
    // The origin's geometry, axis name and axis index as a structure; absent
    // or mistyped values give nil, unset and AXIS_INDEX_NOT_SET. Of a name
    // listed twice the first value counts.
    static FaultSegmentOrigin getFaultSegmentOrigin(const CosPropertyService::Properties& origin);

    // Whether the representation's origin names `geometry`, as the found
    // geometries' identity comparison tells. A nil `geometry` is named by no
    // origin (the origin is still read). Raises
    // EpTypes::FailedOperationException: the text of an
    // EpDataStore::StoreException or FailedOperationException met on the
    // way; "Error when checking the Feature Representation." for a nil
    // representation or a failure to reach the objects; "Unknown Exception
    // when checking the Feature Representation." for anything else.
    static bool hasSurvey(EpiInterpretation::FeatureRepresentation_ptr representation,
                          EpiSeismic::SeismicGeometry_ptr geometry);

private:
    // A loaded vocabulary: the values in service order and an index of them.
    class Vocabulary;
    // One vocabulary's set name and failure texts.
    struct VocabularySource;

    // Each loads its cache when it is not loaded and returns it; null when
    // the service returned an empty set. Raise the texts listed above.
    static const Vocabulary* loadPropertyTypes();
    static const Vocabulary* loadHorizonClassifications();
    static const Vocabulary* loadFaultClassifications();
    static const Vocabulary* load(std::atomic<const Vocabulary*>& cache,
                                  const VocabularySource& source);

    static std::atomic<const Vocabulary*> propertyTypes;
    static std::atomic<const Vocabulary*> horizonClassifications;
    static std::atomic<const Vocabulary*> faultClassifications;
};

} // namespace hvc_util
