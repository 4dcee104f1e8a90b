// Origin property lists built and read back: every combination of geometry,
// axis name and index, geometries of any kind and in any place of a list,
// partial and mistyped fault segment origins, and hasSurvey's identity
// questions and failure texts.
#include "hvc_util/Interpretation.h"

#include "InterpretationServants.h"
#include "support/Failures.h"

#include <EpCoordinateService.hh>
#include <EpDataStore.hh>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using hvc_test::reasonOf;
using hvc_util::Interpretation;

namespace {

using Origin = std::unique_ptr<CosPropertyService::Properties>;

const double notSet = Interpretation::AXIS_INDEX_NOT_SET;

CosPropertyService::Property entry(const char* name, const CORBA::Any& value) {
    CosPropertyService::Property p;
    p.property_name = name;
    p.property_value = value;
    return p;
}

template <class T> CORBA::Any any(T value) {
    CORBA::Any a;
    a <<= value;
    return a;
}

CosPropertyService::Properties list(const std::vector<CosPropertyService::Property>& entries) {
    CosPropertyService::Properties origin;
    origin.length(static_cast<CORBA::ULong>(entries.size()));
    for (CORBA::ULong i = 0; i < origin.length(); ++i)
        origin[i] = entries[i];
    return origin;
}

// The entry names of a list, joined by commas.
std::string names(const CosPropertyService::Properties& origin) {
    std::string out;
    for (CORBA::ULong i = 0; i < origin.length(); ++i)
        out += (i ? "," : "") + std::string(origin[i].property_name.in());
    return out;
}

bool holds(const CORBA::Any& value, CORBA::Object_ptr expected) {
    CORBA::Object_var object;
    return (value >>= CORBA::Any::to_object(object.out())) && object->_is_equivalent(expected);
}

} // namespace

TEST(Origins, CreateOriginNamesTheGeometryOrNothing) {
    hvc_test::Geometry3d survey;
    Origin empty(Interpretation::createOrigin());
    EXPECT_EQ(empty->length(), 0u);

    Origin named(Interpretation::createOrigin(survey.ref.in()));
    ASSERT_EQ(names(*named), "SeismicGeometry");
    EXPECT_TRUE(holds((*named)[0].property_value, survey.ref.in()));

    // A nil geometry is kept as a nil reference of the geometry's type.
    Origin nil(Interpretation::createOrigin(EpiSeismic::SeismicGeometry::_nil()));
    ASSERT_EQ(names(*nil), "SeismicGeometry");
    CORBA::Object_var object;
    const bool extracted = (*nil)[0].property_value >>= CORBA::Any::to_object(object.out());
    EXPECT_TRUE(!extracted || CORBA::is_nil(object));
    CORBA::TypeCode_var type = (*nil)[0].property_value.type();
    EXPECT_TRUE(type->equivalent(EpiSeismic::_tc_SeismicGeometry));
    EXPECT_EQ(Interpretation::getSeismicGeometry(*nil).length(), 0u);
}

TEST(Origins, FaultSegmentOriginsForEveryGeometryAxisAndIndex) {
    hvc_test::Geometry3d survey;
    const std::string badAxis = "', must be EpCoordinateService::INLINE, XLINE, TIME, or DEPTH";
    const std::string needsGeometry =
        "SeismicGeometry cannot be null if the axisName is INLINE or XLINE";
    struct Case {
        bool geometry;
        const char* axis;
        double index;
        std::string expected; // entry names, or the failure text
    };
    const Case cases[] = {
        {false, nullptr, notSet, ""},
        {false, nullptr, 5.0, ""},
        {false, "", notSet, ""},
        {false, "", 5.0, ""},
        {false, "Inline", notSet, needsGeometry},
        {false, "Inline", 12.5, needsGeometry},
        {false, "Crossline", notSet, needsGeometry},
        {false, "Crossline", 12.5, needsGeometry},
        {false, "Time", notSet, "AxisName"},
        {false, "Time", 100.0, "AxisName,AxisIndex"},
        {false, "Depth", notSet, "AxisName"},
        {false, "Depth", 2500.0, "AxisName,AxisIndex"},
        {false, "inline", 12.5, "Invalid axisName: 'inline" + badAxis},
        {false, "Slice", notSet, "Invalid axisName: 'Slice" + badAxis},
        {true, nullptr, notSet, "SeismicGeometry"},
        {true, nullptr, 5.0, "SeismicGeometry"},
        {true, "", notSet, "SeismicGeometry"},
        {true, "", 5.0, "SeismicGeometry"},
        {true, "Inline", notSet, "SeismicGeometry,AxisName"},
        {true, "Inline", 12.5, "SeismicGeometry,AxisName,AxisIndex"},
        {true, "Crossline", notSet, "SeismicGeometry,AxisName"},
        {true, "Crossline", 0.0, "SeismicGeometry,AxisName,AxisIndex"},
        {true, "Time", notSet, "SeismicGeometry,AxisName"},
        {true, "Time", -999.0, "SeismicGeometry,AxisName,AxisIndex"},
        {true, "Depth", notSet, "SeismicGeometry,AxisName"},
        {true, "Depth", 2500.0, "SeismicGeometry,AxisName,AxisIndex"},
        {true, "CROSSLINE", notSet, "Invalid axisName: 'CROSSLINE" + badAxis},
        {true, "Time ", 12.5, "Invalid axisName: 'Time " + badAxis},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.geometry ? "geometry, " : "nil, ") +
                     (c.axis ? "'" + std::string(c.axis) + "'" : "null") + ", " +
                     std::to_string(c.index));
        EpiSeismic::SeismicGeometry_ptr geometry =
            c.geometry ? survey.ref.in() : EpiSeismic::SeismicGeometry::_nil();
        const bool fails = c.expected.find(' ') != std::string::npos;
        if (fails) {
            EXPECT_EQ(reasonOf([&] {
                          delete Interpretation::createFaultSegmentOrigin(geometry, c.axis,
                                                                          c.index);
                      }),
                      c.expected);
            continue;
        }
        Origin origin(Interpretation::createFaultSegmentOrigin(geometry, c.axis, c.index));
        EXPECT_EQ(names(*origin), c.expected);
        // Read back through the structure, entry by entry.
        const Interpretation::FaultSegmentOrigin read =
            Interpretation::getFaultSegmentOrigin(*origin);
        EXPECT_EQ(CORBA::is_nil(read.geometry), !c.geometry);
        if (c.geometry) {
            EXPECT_TRUE(read.geometry->_is_equivalent(survey.ref.in()));
        }
        const bool hasAxis = c.expected.find("AxisName") != std::string::npos;
        EXPECT_EQ(read.axisName == static_cast<const char*>(nullptr), !hasAxis);
        if (hasAxis) {
            EXPECT_STREQ(read.axisName.getValue(), c.axis);
        }
        const bool hasIndex = c.expected.find("AxisIndex") != std::string::npos;
        EXPECT_EQ(read.axisIndex, hasIndex ? c.index : notSet);
        if (c.index == notSet) {
            // The form without an index is the same as passing AXIS_INDEX_NOT_SET.
            Origin shorter(Interpretation::createFaultSegmentOrigin(geometry, c.axis));
            EXPECT_EQ(names(*shorter), c.expected);
        }
    }
    EXPECT_EQ(notSet, -999.25);
}

TEST(Origins, GeometriesOfAnyKindAreFoundInListOrder) {
    hvc_test::Geometry3d survey;
    hvc_test::Geometry2d line;
    hvc_test::Geometry3d other;
    // The 3D survey stored under its own type code, as a store may hand it out.
    CORBA::Any survey3d;
    survey3d <<= survey.ref.in();
    CORBA::Any line2d;
    line2d <<= line.ref.in();
    const CosPropertyService::Properties origin = list({
        entry("SeismicGeometry", survey3d),
        entry("AxisName", any("Inline")),
        entry("SeismicGeometry", any(EpiSeismic::SeismicGeometry::_nil())),
        entry("SeismicGeometry", line2d),
        entry("SeismicGeometry", any("not a reference")),
        entry("seismicGeometry", any(static_cast<EpiSeismic::SeismicGeometry_ptr>(other.ref.in()))),
        entry("SeismicGeometry", any(CORBA::Double(3.0))),
        entry("SeismicGeometry", any(static_cast<EpiSeismic::SeismicGeometry_ptr>(other.ref.in()))),
    });
    const EpiSeismic::SeismicGeometrySeq found = Interpretation::getSeismicGeometry(origin);
    ASSERT_EQ(found.length(), 3u);
    EXPECT_TRUE(found[0]->_is_equivalent(survey.ref.in()));
    EXPECT_TRUE(found[1]->_is_equivalent(line.ref.in()));
    EXPECT_TRUE(found[2]->_is_equivalent(other.ref.in()));

    // Same length, nil where a geometry is not three-dimensional.
    const EpiSeismic::SeismicGeometry3dSeq found3d = Interpretation::getSeismicGeometry3d(origin);
    ASSERT_EQ(found3d.length(), 3u);
    EXPECT_TRUE(found3d[0]->_is_equivalent(survey.ref.in()));
    EXPECT_TRUE(CORBA::is_nil(found3d[1]));
    EXPECT_TRUE(found3d[2]->_is_equivalent(other.ref.in()));

    EXPECT_EQ(Interpretation::getSeismicGeometry(CosPropertyService::Properties()).length(), 0u);
    EXPECT_EQ(Interpretation::getSeismicGeometry3d(CosPropertyService::Properties()).length(), 0u);
}

TEST(Origins, PartialAndMistypedFaultSegmentOrigins) {
    hvc_test::Geometry3d survey;
    hvc_test::Geometry2d line;
    CORBA::Any survey3d;
    survey3d <<= survey.ref.in();

    const Interpretation::FaultSegmentOrigin none =
        Interpretation::getFaultSegmentOrigin(CosPropertyService::Properties());
    EXPECT_TRUE(CORBA::is_nil(none.geometry));
    EXPECT_TRUE(none.axisName == static_cast<const char*>(nullptr));
    EXPECT_EQ(none.axisIndex, notSet);

    // A position without an axis, as another program may store it.
    Interpretation::FaultSegmentOrigin read =
        Interpretation::getFaultSegmentOrigin(list({entry("AxisIndex", any(CORBA::Double(7.5)))}));
    EXPECT_TRUE(CORBA::is_nil(read.geometry));
    EXPECT_TRUE(read.axisName == static_cast<const char*>(nullptr));
    EXPECT_EQ(read.axisIndex, 7.5);

    // A 3D geometry under its own type code, and an axis name alone.
    read = Interpretation::getFaultSegmentOrigin(
        list({entry("AxisName", any("Depth")), entry("SeismicGeometry", survey3d)}));
    EXPECT_TRUE(read.geometry->_is_equivalent(survey.ref.in()));
    EXPECT_STREQ(read.axisName.getValue(), "Depth");
    EXPECT_EQ(read.axisIndex, notSet);

    // Values of other types leave their field as it was.
    read = Interpretation::getFaultSegmentOrigin(list({
        entry("SeismicGeometry", any("survey")),
        entry("AxisName", any(CORBA::Long(1))),
        entry("AxisIndex", any("12.5")),
    }));
    EXPECT_TRUE(CORBA::is_nil(read.geometry));
    EXPECT_TRUE(read.axisName == static_cast<const char*>(nullptr));
    EXPECT_EQ(read.axisIndex, notSet);
    read = Interpretation::getFaultSegmentOrigin(list({entry("AxisIndex", any(CORBA::Float(2)))}));
    EXPECT_EQ(read.axisIndex, notSet);

    // Of a name given twice, the first value counts.
    read = Interpretation::getFaultSegmentOrigin(list({
        entry("AxisName", any("Time")),
        entry("SeismicGeometry", any(static_cast<EpiSeismic::SeismicGeometry_ptr>(line.ref.in()))),
        entry("AxisName", any("Depth")),
        entry("SeismicGeometry", survey3d),
        entry("AxisIndex", any(CORBA::Double(1.0))),
        entry("AxisIndex", any(CORBA::Double(2.0))),
    }));
    EXPECT_TRUE(read.geometry->_is_equivalent(line.ref.in()));
    EXPECT_STREQ(read.axisName.getValue(), "Time");
    EXPECT_EQ(read.axisIndex, 1.0);

    // An absent axis name stays absent in copies; a present one is copied.
    const Interpretation::FaultSegmentOrigin copy(none);
    EXPECT_TRUE(copy.axisName == static_cast<const char*>(nullptr));
    Interpretation::FaultSegmentOrigin assigned = read;
    EXPECT_STREQ(assigned.axisName.getValue(), "Time");
    EXPECT_TRUE(assigned.geometry->_is_equivalent(line.ref.in()));
    assigned = none;
    EXPECT_TRUE(assigned.axisName == static_cast<const char*>(nullptr));
    EXPECT_TRUE(CORBA::is_nil(assigned.geometry));
    EXPECT_EQ(assigned.axisIndex, notSet);
}

TEST(Origins, HasSurveyAsksTheFoundGeometriesInOrder) {
    hvc_test::Geometry3d survey;
    hvc_test::Geometry2d line;
    hvc_test::Geometry3d other;
    hvc_test::Representation horizon;
    Origin origin(Interpretation::createOrigin(line.ref.in()));
    origin->length(3);
    (*origin)[1] = entry("SeismicGeometry", any(EpiSeismic::SeismicGeometry::_nil()));
    (*origin)[2] = entry("SeismicGeometry",
                         any(static_cast<EpiSeismic::SeismicGeometry_ptr>(survey.ref.in())));
    horizon.servant->origin = *origin;

    EXPECT_TRUE(Interpretation::hasSurvey(horizon.ref.in(), survey.ref.in()));
    EXPECT_EQ(line.servant->identityQuestions.load(), 1);
    EXPECT_EQ(survey.servant->identityQuestions.load(), 1);
    EXPECT_TRUE(Interpretation::hasSurvey(horizon.ref.in(), line.ref.in()));
    EXPECT_EQ(survey.servant->identityQuestions.load(), 1); // the first yes ends the search
    EXPECT_FALSE(Interpretation::hasSurvey(horizon.ref.in(), other.ref.in()));
    EXPECT_EQ(line.servant->identityQuestions.load(), 3);
    EXPECT_EQ(survey.servant->identityQuestions.load(), 2);

    // A nil geometry: the origin is read, nobody is asked.
    EXPECT_FALSE(Interpretation::hasSurvey(horizon.ref.in(), EpiSeismic::SeismicGeometry::_nil()));
    EXPECT_EQ(horizon.servant->originReads.load(), 4);
    EXPECT_EQ(line.servant->identityQuestions.load(), 3);
    EXPECT_EQ(survey.servant->identityQuestions.load(), 2);

    // An origin that names no geometry.
    hvc_test::Representation picked;
    picked.servant->origin = list({entry("AxisName", any("Time"))});
    EXPECT_FALSE(Interpretation::hasSurvey(picked.ref.in(), survey.ref.in()));
    picked.servant->origin = CosPropertyService::Properties();
    EXPECT_FALSE(Interpretation::hasSurvey(picked.ref.in(), survey.ref.in()));
}

TEST(Origins, HasSurveyFailureTexts) {
    hvc_test::Geometry3d survey;
    hvc_test::Representation horizon;
    auto check = [&](EpiSeismic::SeismicGeometry_ptr geometry) {
        return
            [&horizon, geometry] { return Interpretation::hasSurvey(horizon.ref.in(), geometry); };
    };
    const EpiSeismic::SeismicGeometry_ptr nil = EpiSeismic::SeismicGeometry::_nil();

    horizon.servant->fail = [] {
        throw EpDataStore::StoreException("The store Sandbox is closed");
    };
    EXPECT_EQ(reasonOf(check(survey.ref.in())), "The store Sandbox is closed");
    // A nil geometry still reads the origin, so the store's failure shows.
    EXPECT_EQ(reasonOf(check(nil)), "The store Sandbox is closed");

    horizon.servant->fail = [] { throw CORBA::NO_RESOURCES(0, CORBA::COMPLETED_NO); };
    EXPECT_EQ(reasonOf(check(survey.ref.in())), "Error when checking the Feature Representation.");

    horizon.servant->fail = [] { throw std::runtime_error("servant bug"); };
    EXPECT_EQ(reasonOf(check(survey.ref.in())), "Error when checking the Feature Representation.");

    // A geometry that cannot be asked.
    hvc_test::Representation gone;
    {
        hvc_test::Geometry3d dead;
        gone.servant->origin = *Origin(Interpretation::createOrigin(dead.ref.in()));
    }
    EXPECT_EQ(reasonOf([&] { return Interpretation::hasSurvey(gone.ref.in(), survey.ref.in()); }),
              "Error when checking the Feature Representation.");

    // A nil representation fails as an unreachable one does, without a call.
    EXPECT_EQ(reasonOf([&] {
                  return Interpretation::hasSurvey(EpiInterpretation::FeatureRepresentation::_nil(),
                                                   survey.ref.in());
              }),
              "Error when checking the Feature Representation.");
    EXPECT_EQ(survey.servant->identityQuestions.load(), 0);
}
