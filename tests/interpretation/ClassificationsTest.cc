// The classification caches against the sandbox's reference value service in
// this process: loaded once and whole, asked again after an empty answer or
// a failure, the service's iterator destroyed, exact texts.
#include "hvc_util/Interpretation.h"
#include "hvc_util/ReferenceValue.h"

#include "sandbox/Platform.h"
#include "sandbox/refvalues/ReferenceValueService.h"
#include "sandbox/refvalues/ValueSets.h"
#include "support/Failures.h"
#include "support/ScopedEnv.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

using hvc_test::reasonOf;
using hvc_util::Interpretation;
using Service = hvc_util::ServiceCatalogue::Service;

namespace {

// The sandbox platform named by the reference value service's variable.
class Vocabularies {
public:
    Vocabularies() {
        platform = std::make_unique<hvc_sandbox::Platform>();
        env.set(hvc_util::ReferenceValue::serviceEnvironmentVariableName(),
                platform->ior(Service::ReferenceValues));
    }
    hvc_sandbox::ReferenceValueService& service() {
        return platform->room<hvc_sandbox::ReferenceValueService>();
    }

private:
    hvc_test::ScopedEnv env;
    std::unique_ptr<hvc_sandbox::Platform> platform;
};

std::vector<std::string> texts(const DosTypes::StringSeq& seq) {
    std::vector<std::string> out;
    for (CORBA::ULong i = 0; i < seq.length(); ++i)
        out.emplace_back(seq[i].in());
    return out;
}

// The values of the data file's set of that name.
std::vector<std::string> fileValues(const std::string& setName) {
    for (const hvc_sandbox::ValueSets::Set& s : hvc_sandbox::ValueSets::builtIn())
        if (s.source == "Halvercast" && s.name == setName) {
            std::vector<std::string> out;
            for (const auto& v : s.values)
                out.push_back(v.value);
            return out;
        }
    return {};
}

} // namespace

TEST(Classifications, EachVocabularyIsLoadedOnceWholeAndItsIteratorDestroyed) {
    Vocabularies platform;
    struct Case {
        const char* setName;
        DosTypes::StringSeq (*list)();
    } cases[] = {{"ShapePropertyType", Interpretation::validShapePropertyTypes},
                 {"HorizonClassfication", Interpretation::validHorizonClassifications},
                 {"FaultClassification", Interpretation::validFaultClassifications}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setName);
        const std::vector<std::string> expected = fileValues(c.setName);
        // Each set is longer than one batch, so part comes through the iterator.
        ASSERT_GT(expected.size(), hvc_sandbox::ReferenceValueService::batch);
        EXPECT_EQ(texts(c.list()), expected);
        EXPECT_EQ(texts(c.list()), expected);
        EXPECT_EQ(platform.service().requests(c.setName), 1);
        EXPECT_EQ(platform.service().liveIterators(), 0);
    }
    EXPECT_EQ(texts(Interpretation::validPropertyTypes()), fileValues("ShapePropertyType"));
    EXPECT_EQ(platform.service().requests("ShapePropertyType"), 1);
    // The horizon set is asked for under the platform's spelling only.
    EXPECT_EQ(platform.service().requests("HorizonClassification"), 0);
}

TEST(Classifications, ValidityIsExactAndLoadsFirst) {
    Vocabularies platform;
    // A null value is never valid, but the cache is loaded all the same.
    EXPECT_FALSE(Interpretation::isValidPropertyType(nullptr));
    EXPECT_EQ(platform.service().requests("ShapePropertyType"), 1);
    EXPECT_TRUE(Interpretation::isValidPropertyType("Depth"));
    EXPECT_TRUE(Interpretation::isValidPropertyType("Net to gross")); // the last one
    for (const char* other : {"depth", "DEPTH", "Depth ", " Depth", "Dept", "", "Depthh"})
        EXPECT_FALSE(Interpretation::isValidPropertyType(other)) << other;

    EXPECT_TRUE(Interpretation::isValidHorizonClassification("Maximum flooding surface"));
    EXPECT_FALSE(Interpretation::isValidHorizonClassification("maximum flooding surface"));
    EXPECT_FALSE(Interpretation::isValidHorizonClassification(nullptr));

    EXPECT_TRUE(Interpretation::isValidFaultClassification("Strike-slip"));
    EXPECT_FALSE(Interpretation::isValidFaultClassification("Strike-Slip"));
    EXPECT_FALSE(Interpretation::isValidFaultClassification("Normal\n"));
    // Values of one vocabulary are not valid in another.
    EXPECT_FALSE(Interpretation::isValidFaultClassification("Top"));
    EXPECT_EQ(platform.service().requests("ShapePropertyType"), 1);
    EXPECT_EQ(platform.service().requests("HorizonClassfication"), 1);
    EXPECT_EQ(platform.service().requests("FaultClassification"), 1);
}

TEST(Classifications, AnEmptySetIsAskedForAgainUntilItHasValues) {
    Vocabularies platform;
    platform.service().replaceValues("Halvercast", "HorizonClassfication", {});
    EXPECT_EQ(Interpretation::validHorizonClassifications().length(), 0u);
    EXPECT_FALSE(Interpretation::isValidHorizonClassification("Top"));
    EXPECT_EQ(Interpretation::validHorizonClassifications().length(), 0u);
    EXPECT_EQ(platform.service().requests("HorizonClassfication"), 3);

    platform.service().replaceValues("Halvercast", "HorizonClassfication", {"Top", "Base"});
    EXPECT_TRUE(Interpretation::isValidHorizonClassification("Top"));
    EXPECT_EQ(platform.service().requests("HorizonClassfication"), 4);
    // Loaded now, and never refreshed.
    platform.service().replaceValues("Halvercast", "HorizonClassfication", {"Other"});
    EXPECT_EQ(texts(Interpretation::validHorizonClassifications()),
              (std::vector<std::string>{"Top", "Base"}));
    EXPECT_FALSE(Interpretation::isValidHorizonClassification("Other"));
    EXPECT_EQ(platform.service().requests("HorizonClassfication"), 4);
}

TEST(Classifications, AFailedLoadingKeepsNothingAndIsTriedAgain) {
    Vocabularies platform;
    platform.service().failRequests(1);
    EXPECT_EQ(reasonOf([] { return Interpretation::isValidPropertyType("Depth"); }),
              "Error when loading the property cache.");
    EXPECT_TRUE(Interpretation::isValidPropertyType("Depth"));
    EXPECT_EQ(platform.service().requests("ShapePropertyType"), 2);

    platform.service().failRequests(2);
    EXPECT_EQ(reasonOf(Interpretation::validHorizonClassifications),
              "Error when loading the horizon classification cache.");
    EXPECT_EQ(reasonOf([] { return Interpretation::isValidFaultClassification(nullptr); }),
              "Error when loading the fault classification cache.");

    // The first batch came, the rest failed: no truncated vocabulary is kept,
    // and the iterator is destroyed all the same.
    platform.service().failIterators(true);
    EXPECT_EQ(reasonOf(Interpretation::validFaultClassifications),
              "Error when loading the fault classification cache.");
    EXPECT_EQ(platform.service().liveIterators(), 0);
    platform.service().failIterators(false);
    EXPECT_EQ(texts(Interpretation::validFaultClassifications()),
              fileValues("FaultClassification"));
    EXPECT_TRUE(Interpretation::isValidFaultClassification("Inverted")); // from the last batch
    EXPECT_EQ(platform.service().requests("FaultClassification"), 3);
}

TEST(Classifications, AnUnresolvableServiceGivesItsResolutionText) {
    hvc_test::ScopedEnv env;
    env.unset(hvc_util::ReferenceValue::serviceEnvironmentVariableName());
    env.unset("HVC_HOME");
    hvc_test::StderrCapture quiet;
    const std::string text = "Error in getService; cannot resolve "
                             "'EpReferenceValueService::ReferenceValueService' service.";
    EXPECT_EQ(reasonOf(Interpretation::validShapePropertyTypes), text);
    EXPECT_EQ(reasonOf([] { return Interpretation::isValidFaultClassification("Normal"); }), text);
}

TEST(Classifications, AVocabularyIsLoadedOnceForThreadsAskingAtOnce) {
    Vocabularies platform;
    std::vector<std::string> many;
    for (int i = 0; i < 1000; ++i)
        many.push_back("fault class " + std::to_string(i));
    platform.service().replaceValues("Halvercast", "FaultClassification", many);
    std::vector<std::thread> threads;
    std::atomic<int> valid{0};
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&valid, t] {
            for (int i = t; i < 1000; i += 8)
                if (Interpretation::isValidFaultClassification(
                        ("fault class " + std::to_string(i)).c_str()))
                    ++valid;
        });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(valid.load(), 1000);
    EXPECT_EQ(platform.service().requests("FaultClassification"), 1);
    EXPECT_EQ(texts(Interpretation::validFaultClassifications()), many);
    EXPECT_EQ(platform.service().liveIterators(), 0);
}
