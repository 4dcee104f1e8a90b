// The sandbox's reference value service as a client of hvc-sandbox meets it:
// its sets, counts, batches, iterators and refusals; and the checks of its
// data file.
#include "hvc_util/ReferenceValue.h"

#include "bindings/Orb.h"
#include "sandbox/Platform.h"
#include "sandbox/refvalues/ReferenceValueService.h"
#include "sandbox/refvalues/ValueSets.h"

#include "support/ChildProcess.h"
#include "support/Failures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

using Identification = EpReferenceValueService::Identification;

namespace {

// The reference value service of a child hvc-sandbox.
EpReferenceValueService::ReferenceValueService_ptr
serviceOf(const hvc_test::SandboxProcess& sandbox) {
    CORBA::ORB_var orb = hvc_util::Orb::init();
    CORBA::Object_var obj = orb->string_to_object(
        sandbox.reference(hvc_util::ReferenceValue::serviceEnvironmentVariableName()).c_str());
    return EpReferenceValueService::ReferenceValueService::_narrow(obj);
}

Identification id(const char* source, const char* name) {
    Identification i;
    i.source = source;
    i.name = name;
    return i;
}

std::vector<std::string> texts(const EpReferenceValueService::ReferenceValueSeq& values) {
    std::vector<std::string> out;
    for (CORBA::ULong i = 0; i < values.length(); ++i)
        out.emplace_back(values[i].value.in());
    return out;
}

std::string parseError(const std::string& text) {
    return hvc_test::whatOf<std::runtime_error>([&] { hvc_sandbox::ValueSets::parse(text); });
}

} // namespace

TEST(ReferenceValueService, SetsCountsBatchesAndIterators) {
    hvc_test::SandboxProcess sandbox;
    EpReferenceValueService::ReferenceValueService_var service = serviceOf(sandbox);
    ASSERT_FALSE(CORBA::is_nil(service));

    EpReferenceValueService::IdentificationSeq_var ids = service->getIdentifications();
    std::vector<std::string> named;
    for (CORBA::ULong i = 0; i < ids->length(); ++i)
        named.push_back(std::string(ids[i].source.in()) + "/" + ids[i].name.in());
    EXPECT_EQ(named, (std::vector<std::string>{"Halvercast/ShapePropertyType",
                                               "Halvercast/HorizonClassfication",
                                               "Halvercast/FaultClassification"}));

    EpReferenceValueService::ReferenceValueSet_var faults =
        service->getReferenceValueSet(id("Halvercast", "FaultClassification"));
    EpReferenceValueService::Identification_var which = faults->identification();
    EXPECT_STREQ(which->name.in(), "FaultClassification");
    const CORBA::ULong count = faults->getCount();
    EXPECT_EQ(count, 12u);

    // Asked for all, the set gives one batch and an iterator for the rest.
    EpReferenceValueService::ReferenceValueIterator_var rest;
    EpReferenceValueService::ReferenceValueSeq_var first = faults->getValues(count, rest.out());
    EXPECT_EQ(texts(first.in()), (std::vector<std::string>{"Normal", "Reverse", "Thrust",
                                                           "Strike-slip", "Oblique-slip"}));
    EXPECT_STREQ(first[0].description.in(), "Hanging wall moved down relative to the footwall");
    ASSERT_FALSE(CORBA::is_nil(rest));
    EpReferenceValueService::ReferenceValueSeq_var next;
    EXPECT_TRUE(rest->nextN(2, next.out()));
    EXPECT_EQ(texts(next.in()), (std::vector<std::string>{"Growth", "Listric"}));
    EXPECT_TRUE(rest->nextN(100, next.out()));
    EXPECT_EQ(texts(next.in()), (std::vector<std::string>{"Transfer", "Antithetic", "Synthetic",
                                                          "Detachment", "Inverted"}));
    EXPECT_FALSE(rest->nextN(100, next.out()));
    EXPECT_EQ(next->length(), 0u);
    rest->destroy();
    EXPECT_THROW(rest->nextN(1, next.out()), CORBA::OBJECT_NOT_EXIST);

    // A part that fits in a batch comes without an iterator; so does nothing.
    first = faults->getValues(3, rest.out());
    EXPECT_EQ(first->length(), 3u);
    ASSERT_FALSE(CORBA::is_nil(rest)); // the other nine remain
    rest->destroy();
    first = faults->getValues(0, rest.out());
    EXPECT_EQ(first->length(), 0u);
    EXPECT_FALSE(CORBA::is_nil(rest));
    rest->destroy();

    // Set names are exact: the horizon set is the platform's spelling only.
    for (const Identification& unknown : {id("Halvercast", "HorizonClassification"),
                                          id("halvercast", "FaultClassification"), id("", "")}) {
        EXPECT_EQ(hvc_test::reasonOf<EpTypes::BadArgumentsException>(
                      [&] { return service->getReferenceValueSet(unknown); }),
                  std::string("No reference value set '") + unknown.name.in() + "' of source '" +
                      unknown.source.in() + "'");
    }
}

TEST(ReferenceValueService, TheDataFileIsChecked) {
    const auto sets = hvc_sandbox::ValueSets::builtIn();
    ASSERT_EQ(sets.size(), 3u);
    std::size_t largest = 0;
    for (const auto& s : sets)
        largest = std::max(largest, s.values.size());
    EXPECT_LT(hvc_sandbox::ReferenceValueService::batch, largest);

    EXPECT_EQ(parseError("{").rfind("reference values: ", 0), 0u);
    EXPECT_EQ(parseError("{}"), "reference values: \"sets\" must be an array");
    EXPECT_EQ(parseError(R"({"sets": [{"source": "S", "values": []}]})"),
              "reference value set 1: \"name\" must be a string");
    EXPECT_EQ(parseError(R"({"sets": [{"source": "", "name": "N", "values": []}]})"),
              "reference value set 1: \"source\" must not be empty");
    EXPECT_EQ(parseError(R"({"sets": [{"source": "S", "name": "N"}]})"),
              "reference value set S/N: \"values\" must be an array");
    EXPECT_EQ(parseError(R"({"sets": [{"source": "S", "name": "N", "values": []},
                                     {"source": "S", "name": "N", "values": []}]})"),
              "reference value set S/N is named twice");
    EXPECT_EQ(parseError(R"({"sets": [{"source": "S", "name": "N", "values": [
                  {"value": "a", "description": ""}, {"value": "a", "description": "again"}]}]})"),
              "reference value set S/N, value 2: \"a\" is listed twice");
    EXPECT_EQ(parseError(R"({"sets": [{"source": "S", "name": "N", "values": [{"value": "a"}]}]})"),
              "reference value set S/N, value 1: \"description\" must be a string");
    EXPECT_EQ(parseError(R"({"sets": [{"source": "S", "name": "N", "values": [
                  {"value": "a", "description": ""}, {"value": "A", "description": ""}]}]})"),
              "(no exception)"); // values differ in letter case
}

TEST(ReferenceValueService, IteratorsNeverDestroyedAreCappedOldestFirst) {
    hvc_sandbox::Platform platform;
    hvc_sandbox::ReferenceValueService& room = platform.room<hvc_sandbox::ReferenceValueService>();
    CORBA::ORB_var orb = hvc_util::Orb::init();
    CORBA::Object_var obj = orb->string_to_object(
        platform.ior(hvc_util::ServiceCatalogue::Service::ReferenceValues).c_str());
    EpReferenceValueService::ReferenceValueService_var service =
        EpReferenceValueService::ReferenceValueService::_narrow(obj);
    EpReferenceValueService::ReferenceValueSet_var faults =
        service->getReferenceValueSet(id("Halvercast", "FaultClassification"));

    std::vector<EpReferenceValueService::ReferenceValueIterator_var> made;
    for (std::size_t i = 0; i <= hvc_sandbox::ReferenceValueService::maxIterators; ++i) {
        EpReferenceValueService::ReferenceValueIterator_var rest;
        EpReferenceValueService::ReferenceValueSeq_var first = faults->getValues(1, rest.out());
        made.push_back(rest._retn());
    }
    EXPECT_EQ(room.liveIterators(),
              static_cast<int>(hvc_sandbox::ReferenceValueService::maxIterators));
    EpReferenceValueService::ReferenceValueSeq_var next;
    EXPECT_THROW(made.front()->nextN(1, next.out()), CORBA::OBJECT_NOT_EXIST);
    EXPECT_TRUE(made[1]->nextN(1, next.out()));
    EXPECT_STREQ(next[0].value.in(), "Reverse");
    made.back()->destroy();
    EXPECT_EQ(room.liveIterators(),
              static_cast<int>(hvc_sandbox::ReferenceValueService::maxIterators) - 1);
}
