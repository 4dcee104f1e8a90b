// The sandbox's sample survey and interpretation objects as a client of a
// child hvc-sandbox meets them over IIOP: their origins read through the
// library, hasSurvey by the store's identity comparison, origins written and
// read back, and what the store refuses to keep. What hvcutil origin shows of
// them is tests/tools/origin.sh's.
#include "hvc_util/Interpretation.h"
#include "hvc_util/Session.h"

#include "interpretation/InterpretationServants.h"
#include "support/ChildProcess.h"
#include "support/Failures.h"
#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using hvc_test::reasonOf;
using hvc_util::Interpretation;

namespace {

const double notSet = Interpretation::AXIS_INDEX_NOT_SET;

// A child hvc-sandbox named by HVC_HOME and a temporary session on it, in
// which sample keys ("fault-F1-IL425") become objects.
class SampleSurvey : public ::testing::Test {
protected:
    SampleSurvey() : user("USERNAME", "tester"), home("HVC_HOME", sandbox.home()) {
        session = hvc_util::Session::getSession();
    }
    ~SampleSurvey() override {
        if (!CORBA::is_nil(session))
            hvc_util::Session::removeIfTemporary(session);
    }

    template <class T> typename T::_ptr_type object(const std::string& localKey) {
        EpDataStore::Data_var data = hvc_util::Session::dataKeyToObject(
            session, ("hvc:Sandbox/F3 Demo/" + localKey).c_str());
        typename T::_var_type typed = T::_narrow(data.in());
        EXPECT_FALSE(CORBA::is_nil(typed)) << localKey;
        return typed._retn();
    }
    EpiInterpretation::FeatureRepresentation_ptr feature(const std::string& localKey) {
        return object<EpiInterpretation::FeatureRepresentation>(localKey);
    }
    EpiSeismic::SeismicGeometry_ptr geometry(const std::string& localKey) {
        return object<EpiSeismic::SeismicGeometry>(localKey);
    }
    Interpretation::FaultSegmentOrigin segmentOrigin(const std::string& localKey) {
        EpiInterpretation::FeatureRepresentation_var f = feature(localKey);
        CosPropertyService::Properties_var origin = f->getOrigin();
        return Interpretation::getFaultSegmentOrigin(origin.in());
    }

    hvc_test::ScopedEnv user;
    hvc_test::SandboxProcess sandbox;
    hvc_test::ScopedEnv home;
    EpSession::Session_var session;
};

std::string nameOf(EpiSeismic::SeismicGeometry_ptr geometry) {
    return CORBA::String_var(geometry->name()).in();
}

} // namespace

TEST_F(SampleSurvey, OriginsOfTheSamplesAndHasSurveyByTheStoresIdentityComparison) {
    EpiSeismic::SeismicGeometry_var survey = geometry("survey-F3");
    EpiSeismic::SeismicGeometry_var line = geometry("line-L2D-01");

    Interpretation::FaultSegmentOrigin o = segmentOrigin("fault-F1-XL900");
    EXPECT_TRUE(o.geometry->isIdentical(survey.in()));
    EXPECT_STREQ(o.axisName.getValue(), "Crossline");
    EXPECT_EQ(o.axisIndex, 900.0);
    o = segmentOrigin("fault-F2-T1200");
    EXPECT_EQ(nameOf(o.geometry), "F3 Block");
    EXPECT_STREQ(o.axisName.getValue(), "Time");
    EXPECT_EQ(o.axisIndex, 1200.0);
    o = segmentOrigin("horizon-TopChalk-wells"); // no origin at all
    EXPECT_TRUE(CORBA::is_nil(o.geometry));
    EXPECT_TRUE(o.axisName == static_cast<const char*>(nullptr));
    EXPECT_EQ(o.axisIndex, notSet);

    // The store hands the 3D survey out under its own type code.
    EpiInterpretation::FeatureRepresentation_var mfs4 = feature("horizon-MFS4");
    CosPropertyService::Properties_var origin = mfs4->getOrigin();
    ASSERT_EQ(origin->length(), 2u);
    CORBA::TypeCode_var type = origin[0].property_value.type();
    EXPECT_TRUE(type->equivalent(EpiSeismic::_tc_SeismicGeometry3d));
    const EpiSeismic::SeismicGeometry3dSeq surveys =
        Interpretation::getSeismicGeometry3d(origin.in());
    ASSERT_EQ(surveys.length(), 2u);
    EXPECT_TRUE(surveys[0]->isIdentical(survey.in()));
    EXPECT_TRUE(CORBA::is_nil(surveys[1])); // the 2D line

    EpiInterpretation::FeatureRepresentation_var fs8 = feature("horizon-FS8");
    EpiInterpretation::FeatureRepresentation_var truncation = feature("horizon-Truncation");
    EXPECT_FALSE(Interpretation::hasSurvey(truncation.in(), survey.in()));
    EXPECT_FALSE(Interpretation::hasSurvey(fs8.in(), EpiSeismic::SeismicGeometry::_nil()));
    // The same survey reached again, and through its older key form.
    EpiSeismic::SeismicGeometry_var again = geometry("survey-F3");
    EXPECT_TRUE(Interpretation::hasSurvey(fs8.in(), again.in()));
    EpDataStore::Data_var older = hvc_util::Session::dataKeyToObject(
        session, "survey-F3|StoreKey|name=Sandbox|factoryType=SandboxStore|project=F3 Demo");
    EpiSeismic::SeismicGeometry_var viaOlder = EpiSeismic::SeismicGeometry::_narrow(older.in());
    EXPECT_TRUE(Interpretation::hasSurvey(fs8.in(), viaOlder.in()));

    // An object of this process that claims nothing is never the survey.
    hvc_test::Geometry3d local;
    EXPECT_FALSE(Interpretation::hasSurvey(fs8.in(), local.ref.in()));
    EXPECT_FALSE(survey->isIdentical(local.ref.in()));
    EXPECT_EQ(local.servant->identityQuestions.load(), 0); // the store asked it nothing
}

TEST_F(SampleSurvey, OriginsAreKeptAsWrittenAndRefusedWhole) {
    EpiSeismic::SeismicGeometry_var line = geometry("line-L2D-01");
    EpiInterpretation::FeatureRepresentation_var segment = feature("fault-F2-T1200");

    std::unique_ptr<CosPropertyService::Properties> written(
        Interpretation::createFaultSegmentOrigin(line.in(), "Depth", 2250.5));
    segment->setOrigin(*written);
    CosPropertyService::Properties_var read = segment->getOrigin();
    ASSERT_EQ(read->length(), 3u);
    Interpretation::FaultSegmentOrigin o = Interpretation::getFaultSegmentOrigin(read.in());
    EXPECT_TRUE(o.geometry->isIdentical(line.in()));
    EXPECT_STREQ(o.axisName.getValue(), "Depth");
    EXPECT_EQ(o.axisIndex, 2250.5);
    // Another process reading the same object sees the change.
    EpiInterpretation::FeatureRepresentation_var same = feature("fault-F2-T1200");
    EXPECT_TRUE(Interpretation::hasSurvey(same.in(), line.in()));

    // An object of another server is kept by its reference.
    hvc_test::Geometry2d elsewhere;
    written.reset(Interpretation::createOrigin(elsewhere.ref.in()));
    segment->setOrigin(*written);
    read = segment->getOrigin();
    const EpiSeismic::SeismicGeometrySeq found = Interpretation::getSeismicGeometry(read.in());
    ASSERT_EQ(found.length(), 1u);
    EXPECT_TRUE(found[0]->_is_equivalent(elsewhere.ref.in()));

    // A value the store cannot keep refuses the whole list.
    CosPropertyService::Properties odd(*written);
    odd.length(2);
    odd[1].property_name = "AxisIndex";
    odd[1].property_value <<= CORBA::Long(12);
    EXPECT_EQ(reasonOf<EpDataStore::StoreException>([&] { segment->setOrigin(odd); }),
              "The data store Sandbox keeps object references, strings and doubles in an origin; "
              "'AxisIndex' holds an integer");
    read = segment->getOrigin();
    EXPECT_EQ(read->length(), 1u);

    // An empty origin.
    segment->setOrigin(CosPropertyService::Properties());
    read = segment->getOrigin();
    EXPECT_EQ(read->length(), 0u);
    EXPECT_FALSE(Interpretation::hasSurvey(segment.in(), line.in()));
}

TEST_F(SampleSurvey, GeometriesFaultsAndTheBinGridOverEd50Utm31) {
    EpiInterpretation::FaultSegment_var segment =
        object<EpiInterpretation::FaultSegment>("fault-F1-IL425");
    EpiInterpretation::FaultRepresentation_var f1 =
        object<EpiInterpretation::FaultRepresentation>("fault-F1");
    EpiInterpretation::FaultRepresentation_var fault = segment->getFault();
    EXPECT_TRUE(fault->isIdentical(f1.in()));
    EXPECT_STREQ(CORBA::String_var(fault->classification()).in(), "Normal");
    EpiInterpretation::HorizonRepresentation_var mfs4 =
        object<EpiInterpretation::HorizonRepresentation>("horizon-MFS4");
    EXPECT_STREQ(CORBA::String_var(mfs4->classification()).in(), "Maximum flooding surface");

    EpiSeismic::SeismicGeometry2d_var line = object<EpiSeismic::SeismicGeometry2d>("line-L2D-01");
    DosTypes::StringSeq_var names = line->getLineNames();
    ASSERT_EQ(names->length(), 1u);
    EXPECT_STREQ(names[0].in(), "L2D-01");
    EpTypes::PointSeq_var traces = line->getTraceLocations("L2D-01");
    ASSERT_EQ(traces->length(), 3000u);
    EXPECT_EQ(traces[0].x, 600000.0);
    EXPECT_EQ(traces[2999].x, 600000.0 + 2999 * 12.5);
    EXPECT_EQ(traces[2999].y, 6080000.0);
    EXPECT_EQ(
        reasonOf<EpTypes::BadArgumentsException>([&] { delete line->getTraceLocations("L2D-02"); }),
        "No line 'L2D-02' in Regional line L2D-01");

    EpiSeismic::SeismicGeometry3d_var survey = object<EpiSeismic::SeismicGeometry3d>("survey-F3");
    EpCoordinateService::SeismicBinGridSystem_var grid = survey->getBinGridSystem();
    ASSERT_FALSE(CORBA::is_nil(grid));
    EpCoordinateService::System_var system = survey->getSystem();
    EXPECT_TRUE(system->isEqual(grid.in()));
    // Three corners of the published survey, back from inline and crossline
    // numbers to easting and northing on the 2D line's projected system.
    EpCoordinateService::System_var utm = line->getSystem();
    ASSERT_FALSE(CORBA::is_nil(utm));
    EpTypes::PointSeq corners;
    corners.length(3);
    corners[0] = {100, 300, 0};
    corners[1] = {100, 1250, 0};
    corners[2] = {750, 1250, 0};
    DosTypes::ULongSeq_var failed;
    EpTypes::PointSeq_var placed = grid->transformPoints(utm.in(), corners, failed.out());
    EXPECT_EQ(failed->length(), 0u);
    ASSERT_EQ(placed->length(), 3u);
    const double expected[3][2] = {
        {605835.5, 6073556.4}, {629576.3, 6074219.9}, {629122.5, 6090463.2}};
    for (CORBA::ULong i = 0; i < 3; ++i) {
        EXPECT_NEAR(placed[i].x, expected[i][0], 0.01) << i;
        EXPECT_NEAR(placed[i].y, expected[i][1], 0.01) << i;
    }
}
