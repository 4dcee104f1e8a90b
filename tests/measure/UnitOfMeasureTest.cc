#include "hvc_util/UnitOfMeasure.h"
#include "hvc_util/DataQuantity.h"

#include "MeasurePlatform.h"
#include "sandbox/common/ServerServant.h"
#include "support/Failures.h"
#include "support/Served.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>
#include <udunits2.h>

#include <atomic>
#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

using hvc_util::UnitOfMeasure;
namespace Uom = EpUnitOfMeasureService;

namespace {

Uom::Unit::Conversion conversion(double a, double b, double c, double d) {
    Uom::Unit::Conversion k;
    k.a = a;
    k.b = b;
    k.c = c;
    k.d = d;
    return k;
}

// x in `from` as the units service converts it into `to`.
double converted(double x, const char* from, const char* to) {
    Uom::Unit_var source = UnitOfMeasure::getUnit(from);
    Uom::Unit_var target = UnitOfMeasure::getUnit(to);
    return UnitOfMeasure::convert(x, source->getConversion(target));
}

std::string acronymOf(Uom::Unit_ptr unit) {
    CORBA::String_var text = unit->acronym();
    return text.in();
}

// The sandbox's real declaration and finder, as its server's finder lists them.
struct RealFactories {
    CORBA::Object_var declaration, finder;
    explicit RealFactories(hvc_test::MeasurePlatform& platform) {
        CORBA::Object_var obj =
            platform->reference(hvc_test::MeasurePlatform::Service::UnitsServer);
        Uom::Server_var server = Uom::Server::_narrow(obj.in());
        CosLifeCycle::FactoryFinder_var factories = server->getFactoryFinder();
        CosLifeCycle::Key key;
        key.length(1);
        key[0].id = "*";
        key[0].kind = Uom::FACTORY_KEY_KIND;
        CosLifeCycle::Factories_var all = factories->find_factories(key);
        declaration = CORBA::Object::_duplicate(all[0]);
        finder = CORBA::Object::_duplicate(all[1]);
    }
};

// The finder of a units server of the test's own: it records the key ids it
// is asked for and answers each as the test says (or raises).
class AnsweringFinder : public POA_CosLifeCycle::FactoryFinder {
public:
    using Answer = std::function<CosLifeCycle::Factories*(const std::string& id)>;
    explicit AnsweringFinder(Answer a) : answer(std::move(a)) {}
    CosLifeCycle::Factories* find_factories(const CosLifeCycle::Key& key) override {
        keys.push_back(key.length() > 0 ? key[0].id.in() : "");
        return answer(keys.back());
    }
    Answer answer;
    std::vector<std::string> keys;
};

// That units server, named to the library in place of the sandbox's.
struct FakeUnitsServer {
    FakeUnitsServer(hvc_test::MeasurePlatform& platform, AnsweringFinder::Answer answer)
        : finder(std::move(answer)), server(finder.ref.in()) {
        CORBA::String_var ior = platform->orb()->object_to_string(server.ref.in());
        platform.name(hvc_test::MeasurePlatform::Service::UnitsServer, ior.in());
    }
    hvc_test::Served<AnsweringFinder, CosLifeCycle::FactoryFinder> finder;
    hvc_test::Served<hvc_sandbox::ServerServantOf<POA_EpUnitOfMeasureService::Server>, Uom::Server>
        server;
};

// Factories made of the given references, in order; consumes them.
CosLifeCycle::Factories* factories(const std::vector<CORBA::Object_ptr>& objects) {
    CosLifeCycle::Factories_var out = new CosLifeCycle::Factories;
    out->length(static_cast<CORBA::ULong>(objects.size()));
    for (CORBA::ULong i = 0; i < out->length(); ++i)
        out[i] = objects[i];
    return out._retn();
}

} // namespace

TEST(UnitOfMeasure, ConvertEvaluatesTheDescriptionWithoutGuardingTheDenominator) {
    EXPECT_EQ(UnitOfMeasure::convert(7.25, conversion(0, 1, 1, 0)), 7.25);
    EXPECT_DOUBLE_EQ(UnitOfMeasure::convert(10, conversion(0, 0.3048, 1, 0)), 3.048);
    EXPECT_TRUE(std::isinf(UnitOfMeasure::convert(1, conversion(1, 0, 0, 0))));
    EXPECT_TRUE(std::isnan(UnitOfMeasure::convert(0, conversion(0, 1, 0, 0))));

    DosTypes::DoubleSeq values;
    values.length(3);
    values[0] = 0;
    values[1] = 100;
    values[2] = -40;
    // Celsius to Fahrenheit: (160 + 9x) / 5.
    DosTypes::DoubleSeq out = UnitOfMeasure::convert(values, conversion(160, 9, 5, 0));
    ASSERT_EQ(out.length(), 3u);
    EXPECT_DOUBLE_EQ(out[0], 32);
    EXPECT_DOUBLE_EQ(out[1], 212);
    EXPECT_DOUBLE_EQ(out[2], -40);
    EXPECT_EQ(values[1], 100); // the argument is left as it was
    EXPECT_EQ(UnitOfMeasure::convert(DosTypes::DoubleSeq(), conversion(0, 1, 1, 0)).length(), 0u);
}

TEST(UnitOfMeasure, TheCatalogueConvertsAsIndependentlyKnownValuesSay) {
    hvc_test::MeasurePlatform platform;
    EXPECT_DOUBLE_EQ(converted(1, "ft", "m"), 0.3048);
    EXPECT_DOUBLE_EQ(converted(1, "ftUS", "m"), 1200.0 / 3937.0);
    EXPECT_DOUBLE_EQ(converted(1, "dega", "rad"), M_PI / 180);
    EXPECT_DOUBLE_EQ(converted(0, "degC", "K"), 273.15);
    EXPECT_NEAR(converted(32, "degF", "degC"), 0, 1e-12);
    EXPECT_DOUBLE_EQ(converted(212, "degF", "degC"), 100);
    EXPECT_DOUBLE_EQ(converted(1, "bbl", "galUS"), 42);
    EXPECT_DOUBLE_EQ(converted(1, "mi", "km"), 1.609344);
    EXPECT_DOUBLE_EQ(converted(1, "miUS", "ftUS"), 5280);
    EXPECT_DOUBLE_EQ(converted(1, "psi", "Pa"), 6894.757293168361);
    EXPECT_DOUBLE_EQ(converted(1, "Ma", "a"), 1e6);
    EXPECT_DOUBLE_EQ(converted(1, "d", "h"), 24);

    // Across dimensions there is no conversion; an unknown acronym is the caller's.
    EXPECT_EQ(hvc_test::reasonOf<Uom::ConversionException>([] { converted(1, "m", "s"); }),
              "cannot convert m (length) into s (time)");
    EXPECT_EQ(hvc_test::reasonOf<EpTypes::BadArgumentsException>(
                  [] { return UnitOfMeasure::getUnit("furlongs"); }),
              "unknown unit acronym 'furlongs'");
}

// The whole catalogue against UDUNITS-2, unit by unit, wherever UDUNITS
// knows the unit (by its own name where the two spell it differently).
TEST(UnitOfMeasure, TheCatalogueAgreesWithUdunits) {
    hvc_test::MeasurePlatform platform;
    ut_set_error_message_handler(ut_ignore);
    ut_system* system = ut_read_xml(nullptr);
    ASSERT_NE(system, nullptr);
    const std::map<std::string, std::string> spelling = {{"unitless", "1"},
                                                         {"Euc", "1"},
                                                         {"ftUS", "US_survey_foot"},
                                                         {"miUS", "US_survey_mile"},
                                                         {"nautmi", "nautical_mile"},
                                                         {"dega", "arc_degree"},
                                                         {"mina", "arc_minute"},
                                                         {"seca", "arc_second"},
                                                         {"gon", "grade"},
                                                         {"rev", "revolution"},
                                                         {"wk", "week"},
                                                         {"a", "julian_year"},
                                                         {"ka", "1000 julian_year"},
                                                         {"Ma", "1e6 julian_year"},
                                                         {"Ga", "1e9 julian_year"},
                                                         {"lbm", "lb"},
                                                         {"galUS", "US_liquid_gallon"},
                                                         {"galUK", "UK_liquid_gallon"},
                                                         {"bbl", "42 US_liquid_gallon"},
                                                         {"acre", "international_acre"},
                                                         {"ppm", "1e-6"},
                                                         {"%", "percent"},
                                                         {"t", "tonne"},
                                                         {"fathom", "6 ft"}};
    Uom::Finder_var finder = UnitOfMeasure::getFinder();
    DosTypes::StringSeq_var acronyms = finder->getAcronyms();
    ASSERT_GE(acronyms->length(), 60u);
    int checked = 0;
    std::string unknown;
    for (CORBA::ULong i = 0; i < acronyms->length(); ++i) {
        const std::string acronym = acronyms[i].in();
        auto named = spelling.find(acronym);
        const std::string name = named != spelling.end() ? named->second : acronym;
        ut_unit* ours = ut_parse(system, name.c_str(), UT_ASCII);
        if (ours == nullptr) {
            unknown += " " + acronym;
            continue;
        }
        // Into the unit the catalogue counts as the base of the dimension.
        Uom::Unit_var unit = finder->findUnit(acronym.c_str());
        for (const char* into :
             {"m", "rad", "s", "K", "Pa", "kg", "m3", "m2", "m/s", "kg/m3", "Hz", "unitless"}) {
            Uom::Unit_var target = finder->findUnit(into);
            Uom::Unit::Conversion k;
            try {
                k = unit->getConversion(target);
            } catch (const Uom::ConversionException&) {
                continue;
            }
            ut_unit* theirs =
                ut_parse(system, std::string(into) == "unitless" ? "1" : into, UT_ASCII);
            ASSERT_NE(theirs, nullptr) << into;
            cv_converter* cv = ut_get_converter(ours, theirs);
            ASSERT_NE(cv, nullptr) << acronym << " -> " << into;
            for (double x : {0.0, 1.0, -17.5, 1234.5}) {
                const double expected = cv_convert_double(cv, x);
                // UDUNITS keeps a few units to seven digits (its US gallon
                // is 3.785412 L); the exact factors are checked above.
                EXPECT_NEAR(UnitOfMeasure::convert(x, k), expected,
                            1e-7 * std::fmax(1.0, std::fabs(expected)))
                    << x << " " << acronym << " in " << into;
            }
            cv_free(cv);
            ut_free(theirs);
            ++checked;
            break;
        }
        ut_free(ours);
    }
    ut_free_system(system);
    EXPECT_GE(checked, 60) << "UDUNITS did not know:" << unknown;
}

TEST(UnitOfMeasure, TheBuiltInUnitsAreLookedUpOnceAndPromotedToTheirKind) {
    hvc_test::MeasurePlatform platform;
    // Asked again, none reaches the service.
    for (int round = 0; round < 2; ++round) {
        const std::vector<std::pair<std::string, Uom::Unit_var>> all = {
            {"unitless", UnitOfMeasure::unitless()}, {"m", UnitOfMeasure::metre()},
            {"rad", UnitOfMeasure::radian()},        {"ft", UnitOfMeasure::feet()},
            {"ftUS", UnitOfMeasure::feetUS()},       {"s", UnitOfMeasure::second()},
            {"ms", UnitOfMeasure::millisecond()},    {"dega", UnitOfMeasure::dega()},
            {"Ma", UnitOfMeasure::megayear()}};
        for (const auto& unit : all) {
            ASSERT_FALSE(CORBA::is_nil(unit.second)) << unit.first;
            EXPECT_EQ(acronymOf(unit.second.in()), unit.first);
            EXPECT_EQ(platform.units().lookups(unit.first), 1) << unit.first;
        }
    }
    EXPECT_TRUE(Uom::Angular_var(UnitOfMeasure::radian())->_is_a(Uom::Angular::_PD_repoId));
}

TEST(UnitOfMeasure, ConcurrentFirstCallsLookTheUnitUpOnce) {
    hvc_test::MeasurePlatform platform;
    std::atomic<int> found{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([&found] {
            Uom::Linear_var m = UnitOfMeasure::feet();
            found += CORBA::is_nil(m) ? 0 : 1;
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(found.load(), 8);
    EXPECT_EQ(platform.units().lookups("ft"), 1);
}

TEST(UnitOfMeasure, LinearTestAndExtraction) {
    hvc_test::MeasurePlatform platform;
    EXPECT_EQ(UnitOfMeasure::convertableToMeter(UnitOfMeasure::getUnit("ftUS")), 1);
    EXPECT_EQ(UnitOfMeasure::convertableToMeter(UnitOfMeasure::getUnit("s")), 0);
    Uom::Unit_var kept = UnitOfMeasure::getUnit("km");
    EXPECT_EQ(UnitOfMeasure::convertableToMeter(kept), 1); // a _var is copied, not consumed
    EXPECT_EQ(acronymOf(kept.in()), "km");

    CORBA::Any holdingUnit;
    holdingUnit <<= Uom::Unit::_duplicate(kept.in());
    Uom::Unit_var extracted = UnitOfMeasure::extract(holdingUnit);
    EXPECT_TRUE(extracted->_is_equivalent(kept.in()));
    CORBA::Any holdingLinear;
    holdingLinear <<= UnitOfMeasure::feet();
    extracted = UnitOfMeasure::extract(holdingLinear);
    EXPECT_EQ(acronymOf(extracted.in()), "ft");
    CORBA::Any holdingNumber;
    holdingNumber <<= 2.5;
    EXPECT_TRUE(CORBA::is_nil(Uom::Unit_var(UnitOfMeasure::extract(holdingNumber))));
    EXPECT_TRUE(CORBA::is_nil(Uom::Unit_var(UnitOfMeasure::extract(CORBA::Any()))));
}

TEST(DataQuantity, MakesDoubleAndFloatQuantitiesWithTheirOwnUnit) {
    EpiTypes::DataQuantity none = hvc_util::DataQuantity::makeDataQuantity(2.5, Uom::Unit::_nil());
    EXPECT_EQ(none.value._d(), EpTypes::DATA_TYPE_DOUBLE);
    EXPECT_EQ(none.value.doubleValue(), 2.5);
    EXPECT_TRUE(CORBA::is_nil(none.unit.in()));

    hvc_test::MeasurePlatform platform;
    Uom::Unit_var metre = UnitOfMeasure::metre();
    EpiTypes::DataQuantity f = hvc_util::DataQuantity::makeDataQuantity(1.5f, metre.in());
    EXPECT_EQ(f.value._d(), EpTypes::DATA_TYPE_FLOAT);
    EXPECT_EQ(f.value.floatValue(), 1.5f);
    EXPECT_TRUE(f.unit->_is_equivalent(metre.in()));
    metre = Uom::Unit::_nil(); // the quantity keeps its own reference
    EXPECT_EQ(acronymOf(f.unit.in()), "m");
}

// The server's factory finder, answering as the test says.
TEST(UnitOfMeasure, EachFactoryGoesToTheMemberItIsAndASetMemberStays) {
    hvc_test::MeasurePlatform platform(false);
    RealFactories real(platform);
    bool declarationToo = false;
    FakeUnitsServer server(platform, [&](const std::string&) {
        // The finder first, an object that is neither, and the declaration
        // only when the test lets it.
        std::vector<CORBA::Object_ptr> objects = {CORBA::Object::_duplicate(real.finder.in()),
                                                  platform.unit("m")};
        if (declarationToo)
            objects.push_back(CORBA::Object::_duplicate(real.declaration.in()));
        return factories(objects);
    });

    Uom::Finder_var finder = UnitOfMeasure::getFinder();
    EXPECT_TRUE(finder->_is_equivalent(real.finder.in()));
    hvc_test::StderrCapture err;
    EXPECT_EQ(hvc_test::reasonOf([] { return UnitOfMeasure::getDeclaration(); }),
              "EpUnitOfMeasure::getDeclaration() cannot resolve declaration.");
    EXPECT_EQ(err.text(), "EpUnitOfMeasure::getDeclaration() cannot resolve declaration.\n");

    declarationToo = true;
    Uom::Declaration_var declaration = UnitOfMeasure::getDeclaration();
    EXPECT_TRUE(declaration->_is_equivalent(real.declaration.in()));
    EXPECT_TRUE(Uom::Finder_var(UnitOfMeasure::getFinder())->_is_equivalent(real.finder.in()));
    // Only the missing member is asked for once the other is known.
    const std::vector<std::string> asked = {"*", Uom::_tc_Declaration->id(),
                                            Uom::_tc_Declaration->id()};
    EXPECT_EQ(server.finder.servant->keys, asked);
    // Both known: the server is not asked again.
    CORBA::release(UnitOfMeasure::getFinder());
    EXPECT_EQ(server.finder.servant->keys.size(), 3u);
}

TEST(UnitOfMeasure, AFailingFactoryFinderEndsInTheGetterOwnFailure) {
    hvc_test::MeasurePlatform platform(false);
    int calls = 0;
    FakeUnitsServer server(platform, [&](const std::string&) -> CosLifeCycle::Factories* {
        if (++calls == 1) {
            CosLifeCycle::Key key;
            throw CosLifeCycle::NoFactory(key);
        }
        throw CORBA::TRANSIENT(0, CORBA::COMPLETED_NO);
    });
    CORBA::release(UnitOfMeasure::getServer()); // its bind failure lines are not ours
    {
        hvc_test::StderrCapture err;
        EXPECT_EQ(hvc_test::reasonOf([] { return UnitOfMeasure::getFinder(); }),
                  "EpUnitOfMeasureService::getFinder() cannot resolve finder.");
        EXPECT_EQ(err.text(), "CosLifeCycle::NoFactory:\n"
                              "Could not get factories from factoryFinder->find_factories(key)\n"
                              "key[0].id = *\n"
                              "key[0].kind = factory interface\n"
                              "EpUnitOfMeasureService::getFinder() cannot resolve finder.\n");
    }
    hvc_test::StderrCapture err;
    EXPECT_EQ(hvc_test::reasonOf([] { return UnitOfMeasure::getFinder(); }),
              "EpUnitOfMeasureService::getFinder() cannot resolve finder.");
    EXPECT_EQ(err.text(), "Some Problem with factoryFinder->find_factories(key) ???\n"
                          "EpUnitOfMeasureService::getFinder() cannot resolve finder.\n");
}

namespace {

// A finder that knows the units of another one but promotes none, and does
// not know the acronyms it is told to forget.
class RefusingFinder : public POA_EpUnitOfMeasureService::Finder {
public:
    RefusingFinder(Uom::Finder_ptr real, std::vector<std::string> forget)
        : inner(Uom::Finder::_duplicate(real)), unknown(std::move(forget)) {}
    Uom::Unit_ptr findUnit(const char* acronym) override {
        for (const std::string& u : unknown)
            if (u == acronym)
                throw EpTypes::BadArgumentsException("forgotten");
        return inner->findUnit(acronym);
    }
    DosTypes::StringSeq* getAcronyms() override { return inner->getAcronyms(); }
    Uom::Linear_ptr toLinear(Uom::Unit_ptr) override { throw Uom::PromotionException("refused"); }
    Uom::Angular_ptr toAngular(Uom::Unit_ptr) override { throw Uom::PromotionException("refused"); }

private:
    Uom::Finder_var inner;
    std::vector<std::string> unknown;
};

} // namespace

TEST(UnitOfMeasure, BuiltInUnitsTheServiceCannotGiveOrPromote) {
    hvc_test::MeasurePlatform platform(false);
    RealFactories real(platform);
    Uom::Finder_var realFinder = Uom::Finder::_narrow(real.finder.in());
    hvc_test::Served<RefusingFinder, Uom::Finder> refusing(realFinder.in(),
                                                           std::vector<std::string>{"s", "Ma"});
    FakeUnitsServer server(platform, [&](const std::string&) {
        return factories({CORBA::Object::_duplicate(real.declaration.in()),
                          CORBA::Object::_duplicate(refusing.ref.in())});
    });

    CORBA::release(UnitOfMeasure::getServer()); // its bind failure lines are not ours
    // A refused promotion answers nil, caches nothing and says nothing.
    hvc_test::StderrCapture quiet;
    EXPECT_TRUE(CORBA::is_nil(Uom::Angular_var(UnitOfMeasure::radian())));
    EXPECT_TRUE(CORBA::is_nil(Uom::Linear_var(UnitOfMeasure::metre())));
    EXPECT_EQ(UnitOfMeasure::convertableToMeter(UnitOfMeasure::getUnit("m")), 0);
    EXPECT_EQ(quiet.text(), "");
    EXPECT_FALSE(CORBA::is_nil(Uom::Unit_var(UnitOfMeasure::unitless())));

    hvc_test::StderrCapture err;
    try {
        CORBA::release(UnitOfMeasure::second());
        ADD_FAILURE() << "an unknown built-in acronym raised nothing";
    } catch (const CORBA::UNKNOWN& e) {
        EXPECT_EQ(e.minor(), 0u);
        EXPECT_EQ(e.completed(), CORBA::COMPLETED_NO);
    }
    EXPECT_EQ(err.text(), "Unable to initialize hvc_util::UnitOfMeasure as a common unit acronym "
                          "is not recognized\n");
}
