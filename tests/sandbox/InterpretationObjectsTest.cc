// The data file's seismic and interpretation entries: what a store makes of
// them and what stops its start, with the error naming the entry.
#include "sandbox/datastores/DataStore.h"
#include "sandbox/datastores/StoreCatalogue.h"

#include "support/RootPoa.h"

#include "support/Failures.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

using hvc_sandbox::DataStore;
using hvc_sandbox::StoreCatalogue;

namespace {

const std::string survey =
    R"({"project": "P", "localKey": "s", "dataType": "IDL:EpiSeismic/SeismicGeometry3d:1.0",
        "name": "S", "system": "Grid", "inlines": [1, 10, 1], "crosslines": [5, 50, 5]})";
const std::string line =
    R"({"project": "P", "localKey": "l", "dataType": "IDL:EpiSeismic/SeismicGeometry2d:1.0",
        "name": "L", "system": "EPSG:23031",
        "lines": [{"name": "A", "first": [0, 0], "step": [1, 0], "traces": 3}]})";
const std::string fault =
    R"({"project": "P", "localKey": "f", "dataType": "IDL:EpiInterpretation/FaultRepresentation:1.0",
        "name": "F", "classification": "Normal"})";

std::string segment(const std::string& members) {
    return R"({"project": "P", "localKey": "g", "dataType": "IDL:EpiInterpretation/FaultSegment:1.0",
              "name": "G", )" +
           members + "}";
}

// How a store of these objects starts: "(no exception)" or the error.
std::string start(const std::string& objects) {
    const auto stores = StoreCatalogue::parse(
        R"({"stores": [{"name": "S", "factoryType": "T", "objects": [)" + objects + "]}]}");
    PortableServer::POA_var poa = hvc_test::activeUserIdPoa();
    std::string outcome =
        hvc_test::whatOf<std::runtime_error>([&] { DataStore store(stores[0], poa.in()); });
    poa->destroy(true, true);
    return outcome;
}

} // namespace

TEST(InterpretationObjects, EntriesAreCheckedWhenTheStoreStarts) {
    const std::string at = "data store S, object g of project P";
    EXPECT_EQ(start(survey + "," + line + "," + fault + "," +
                    segment(R"("fault": "f", "origin": {"geometries": ["s", "l"],
                               "axisName": "Time", "axisIndex": 12.5})")),
              "(no exception)");
    EXPECT_EQ(start(survey + "," + fault + "," + segment(R"("fault": "s")")),
              at + ": s is a IDL:EpiSeismic/SeismicGeometry3d:1.0");
    EXPECT_EQ(start(fault + "," + segment(R"("fault": "f", "origin": {"geometries": ["x"]})")),
              at + ", origin: project P has no object x");
    EXPECT_EQ(start(fault + "," + segment(R"("fault": "f", "origin": {"geometries": ["f"]})")),
              at + ", origin: f is a IDL:EpiInterpretation/FaultRepresentation:1.0");
    EXPECT_EQ(start(fault + "," + segment(R"("fault": "f", "origin": {"axisName": "Slice"})")),
              at + ", origin: \"axisName\" must be Inline, Crossline, Time or Depth");
    EXPECT_EQ(start(fault + "," + segment(R"("fault": "f", "origin": {"axisIndex": 3})")),
              at + ", origin: \"axisIndex\" needs an \"axisName\"");
    EXPECT_EQ(start(fault + "," + segment(R"("fault": "f", "origin": {"axisName": "Depth",
                                                                      "axisIndex": "3"})")),
              at + ", origin: \"axisIndex\" must be a number");
    EXPECT_EQ(start(segment(R"("origin": {})")), at + ": \"fault\" must be a string");

    const std::string s = "data store S, object s of project P";
    EXPECT_EQ(start(R"({"project": "P", "localKey": "s",
                        "dataType": "IDL:EpiSeismic/SeismicGeometry3d:1.0", "name": "S",
                        "system": "Grid", "inlines": [10, 1, 1], "crosslines": [5, 50, 5]})"),
              s + ": \"inlines\" must be [first, last, step], whole numbers with first <= last "
                  "and step > 0");
    EXPECT_EQ(start(R"({"project": "P", "localKey": "s",
                        "dataType": "IDL:EpiSeismic/SeismicGeometry3d:1.0", "name": "S",
                        "inlines": [1, 10, 1], "crosslines": [5, 50, 5]})"),
              s + ": \"system\" must be a string");
    EXPECT_EQ(start(R"({"project": "P", "localKey": "l",
                        "dataType": "IDL:EpiSeismic/SeismicGeometry2d:1.0", "name": "L",
                        "system": "EPSG:23031", "lines": [{"name": "A", "first": [0, 0],
                        "step": [1], "traces": 3}]})"),
              "data store S, object l of project P, line 1: \"step\" must be [x, y]");
    EXPECT_EQ(start(R"({"project": "P", "localKey": "x", "dataType": "IDL:EpiWell/Well:1.0"})"),
              "the sandbox has no data objects of type IDL:EpiWell/Well:1.0 (object x)");
}

TEST(InterpretationObjects, TheBuiltInSamplesStartAndAreListedInFileOrder) {
    PortableServer::POA_var poa = hvc_test::activeUserIdPoa();
    DataStore store(StoreCatalogue::builtIn()[0], poa.in());
    const auto listing = store.listing();
    ASSERT_GE(listing.size(), 16u);
    EXPECT_EQ(listing[0].keyText, "hvc:Sandbox/Demo/well-A1");
    EXPECT_EQ(listing[4].keyText, "hvc:Sandbox/F3 Demo/survey-F3");
    EXPECT_EQ(listing[4].dataType, "IDL:EpiSeismic/SeismicGeometry3d:1.0");
    EXPECT_EQ(listing[4].name, "F3 Block");
    EXPECT_EQ(listing[0].name, "");
    EXPECT_TRUE(store.isKeyText("hvc:Sandbox/F3 Demo/survey-F3"));
    EXPECT_FALSE(store.isKeyText("hvc:Other/F3 Demo/survey-F3"));
    EXPECT_FALSE(store.isKeyText("IOR:0000"));
    EpDataStore::Data_var survey = store.object(std::string("hvc:Sandbox/F3 Demo/survey-F3"));
    EXPECT_EQ(store.keyTextOf(survey.in()), "hvc:Sandbox/F3 Demo/survey-F3");
    EXPECT_EQ(store.keyTextOf(CORBA::Object::_nil()), "");
}
