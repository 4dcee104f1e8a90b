#include "support/TraderPlatform.h"

#include "hvc_util/String.h"
#include "hvc_util/System.h"
#include "hvc_util/Trader.h"
#include "sandbox/trader/LookupServant.h"
#include "support/Failures.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

#include <functional>
#include <unistd.h>

using hvc_test::namesOf;
using hvc_test::properties;
using hvc_test::reasonOf;
using hvc_test::StderrCapture;
using hvc_test::TraderPlatform;
using hvc_test::valueOf;
using hvc_util::Trader;
using Names = std::vector<std::string>;

namespace {

const char* const thing = TraderPlatform::thingType;

CosTrading::Lookup::SpecifiedProps wantAll() {
    CosTrading::Lookup::SpecifiedProps all;
    all._d(CosTrading::Lookup::all);
    return all;
}

CosTrading::Lookup::SpecifiedProps wantSome(std::initializer_list<const char*> names) {
    CosTrading::PropertyNameSeq seq;
    seq.length(static_cast<CORBA::ULong>(names.size()));
    CORBA::ULong i = 0;
    for (const char* n : names)
        seq[i++] = n;
    CosTrading::Lookup::SpecifiedProps some;
    some.prop_names(seq);
    return some;
}

// The properties of the offer `id`, as the trader stores them.
CosTrading::PropertySeq described(const char* id) {
    CosTrading::Register::OfferInfo_var info = Trader::describe(id);
    return info->properties;
}

std::string exported(CORBA::Object_ptr object, const CosTrading::PropertySeq& props) {
    CORBA::String_var id = Trader::exportObject(object, thing, props);
    return id.in();
}

// The `field` of the `E` that `call` raises, or "(no exception)".
template <class E, class Field>
std::string fieldOf(Field E::*field, const std::function<void()>& call) {
    try {
        call();
    } catch (const E& e) {
        return (e.*field).in();
    }
    return "(no exception)";
}

// A lookup whose query raises what it is told, or answers with every
// property whatever was asked.
class TestLookup : public hvc_sandbox::LookupServant {
public:
    using LookupServant::LookupServant;
    std::function<void()> raise;
    bool ignoreDesired = false;

    void query(const char* type, const char* constr, const char* pref,
               const CosTrading::PolicySeq& policies,
               const CosTrading::Lookup::SpecifiedProps& desired, CORBA::ULong howMany,
               CosTrading::OfferSeq_out offers, CosTrading::OfferIterator_out rest,
               CosTrading::PolicyNameSeq_out limits) override {
        if (raise)
            raise();
        LookupServant::query(type, constr, pref, policies, ignoreDesired ? wantAll() : desired,
                             howMany, offers, rest, limits);
    }
};

// The platform's trader seen through a TestLookup, which the library uses.
struct TestTrader {
    TraderPlatform platform;
    PortableServer::Servant_var<TestLookup> lookup{new TestLookup(platform.trader())};
    TestTrader() {
        CORBA::Object_var ref = hvc_sandbox::Activation::activate(platform.rootPoa(), lookup.in());
        CORBA::String_var ior = platform->orb()->object_to_string(ref.in());
        platform.useTrader(ior.in());
    }
};

} // namespace

TEST(Trader, ExportedPropertiesAreTheCallersThenTheDefaultsTheyDoNotName) {
    TraderPlatform platform;
    CORBA::Object_var object = platform.thing();

    // Nothing of the caller's: the four defaults, describing this process.
    const std::string plain = exported(object, CosTrading::PropertySeq());
    const CosTrading::PropertySeq defaults = described(plain.c_str());
    EXPECT_EQ(namesOf(defaults), (Names{"HostName", "IPAddress", "ProcessId", "UserName"}));
    hvc_util::String host;
    hvc_util::System::getNodeName(host);
    hvc_util::String address;
    hvc_util::System::getNodeAddress(address);
    EXPECT_EQ(valueOf(defaults, "HostName"), host.getValue());
    EXPECT_EQ(valueOf(defaults, "IPAddress"), address.getValue());
    EXPECT_EQ(valueOf(defaults, "ProcessId"), std::to_string(::getpid()));
    EXPECT_EQ(valueOf(defaults, "UserName"), "tester");

    // The caller's first, its UserName replacing the default one.
    const std::string named =
        exported(object, properties({{"Name", "n"}, {"UserName", "someone"}}));
    const CosTrading::PropertySeq mine = described(named.c_str());
    EXPECT_EQ(namesOf(mine), (Names{"Name", "UserName", "HostName", "IPAddress", "ProcessId"}));
    EXPECT_EQ(valueOf(mine, "UserName"), "someone");

    // Names match exactly: another letter case replaces nothing.
    const std::string cased = exported(object, properties({{"username", "x"}}));
    EXPECT_EQ(namesOf(described(cased.c_str())),
              (Names{"username", "HostName", "IPAddress", "ProcessId", "UserName"}));
    EXPECT_NE(plain, named);
    EXPECT_NE(named, cased);

    // The second name of exportObject does the same.
    CORBA::String_var again = Trader::_cxx_export(object, thing, CosTrading::PropertySeq());
    EXPECT_EQ(namesOf(described(again.in())), namesOf(defaults));
}

TEST(Trader, ProvideOfferReplacesOnlyWhatItsConstraintMatches) {
    TraderPlatform platform;
    CORBA::Object_var object = platform.thing();
    Trader::provideOffer(object, thing, nullptr, properties({{"Slot", "a"}}));
    Trader::provideOffer(object, thing, nullptr, properties({{"Slot", "b"}}));
    EXPECT_EQ(platform.trader().offers.size(), 2u) << "a null constraint withdraws nothing";
    Trader::provideOffer(object, thing, "Slot == 'none'", properties({{"Slot", "c"}}));
    EXPECT_EQ(platform.trader().offers.size(), 3u) << "no match still exports";
    Trader::provideOffer(object, thing, "Slot == 'a' or Slot == 'b'", properties({{"Slot", "d"}}));
    CosTrading::OfferSeq_var left = Trader::findOffers(thing, "", wantAll());
    ASSERT_EQ(left->length(), 2u);
    EXPECT_EQ(valueOf(left[0].properties, "Slot"), "c");
    EXPECT_EQ(valueOf(left[1].properties, "Slot"), "d");
}

TEST(Trader, FindOffersKeepsTheFirstHundredAndDestroysTheIterator) {
    TraderPlatform platform;
    CORBA::Object_var object = platform.thing();
    std::vector<std::string> ids;
    for (int i = 0; i < 150; ++i)
        ids.push_back(exported(object, properties({{"N", std::to_string(i).c_str()}})));

    CosTrading::OfferSeq_var offers = Trader::findOffers(thing, nullptr, wantAll());
    ASSERT_EQ(offers->length(), 100u);
    for (CORBA::ULong i = 0; i < offers->length(); ++i)
        ASSERT_EQ(valueOf(offers[i].properties, "N"), std::to_string(i));
    // The trader handed the other fifty to an iterator; nothing is left open.
    EXPECT_EQ(platform.trader().iterators.live(), 0u);

    DosTypes::ObjectSeq_var objects = Trader::findObjects(thing, "N != '3'");
    EXPECT_EQ(objects->length(), 100u);
    EXPECT_TRUE(objects[3]->_is_equivalent(object));
    EXPECT_EQ(platform.trader().iterators.live(), 0u);
}

TEST(Trader, RequestedPropertiesLeadInTheOrderAsked) {
    TestTrader t;
    CORBA::Object_var object = t.platform.thing();
    exported(object, properties({{"A", "a"}, {"C", "c"}, {"B", "b"}}));

    // A trader that honours the request sends B and A in stored order.
    CosTrading::OfferSeq_var honoured = Trader::findOffers(thing, "", wantSome({"B", "A"}));
    ASSERT_EQ(honoured->length(), 1u);
    EXPECT_EQ(namesOf(honoured[0].properties), (Names{"B", "A"}));

    // One that sends everything: the requested lead, the rest keep their places.
    t.lookup->ignoreDesired = true;
    CosTrading::OfferSeq_var all = Trader::findOffers(thing, "", wantSome({"B", "A"}));
    EXPECT_EQ(namesOf(all[0].properties),
              (Names{"B", "A", "C", "HostName", "IPAddress", "ProcessId", "UserName"}));
    CosTrading::OfferSeq_var missing = Trader::findOffers(thing, "", wantSome({"X", "A"}));
    EXPECT_EQ(namesOf(missing[0].properties),
              (Names{"A", "C", "B", "HostName", "IPAddress", "ProcessId", "UserName"}));
}

TEST(Trader, OffersOfGoneObjectsAreLeftOutInTraderOrder) {
    TraderPlatform platform;
    CORBA::Object_var first = platform.thing();
    CORBA::Object_var ended = platform.thing();
    CORBA::Object_var unreachable = platform.unreachable();
    CORBA::Object_var last = platform.thing();
    exported(first, properties({{"N", "1"}}));
    exported(ended, properties({{"N", "2"}}));
    exported(unreachable, properties({{"N", "3"}}));
    exported(last, properties({{"N", "4"}}));
    platform.end(ended);

    // The trader keeps all four; the library leaves out the object that says
    // it is gone and the one whose server cannot be reached.
    EXPECT_EQ(platform.trader().offers.size(), 4u);
    StderrCapture err;
    CosTrading::OfferSeq_var offers = Trader::findOffers(thing, "", wantAll());
    ASSERT_EQ(offers->length(), 2u);
    EXPECT_EQ(valueOf(offers[0].properties, "N"), "1");
    EXPECT_EQ(valueOf(offers[1].properties, "N"), "4");
    DosTypes::ObjectSeq_var objects = Trader::findObjects(thing, "");
    ASSERT_EQ(objects->length(), 2u);
    EXPECT_TRUE(objects[0]->_is_equivalent(first));
    EXPECT_TRUE(objects[1]->_is_equivalent(last));
    EXPECT_EQ(err.text(), "");
}

TEST(Trader, TheTradersRefusalsReachTheCallerAsTheyAreMapped) {
    TestTrader t;
    CORBA::Object_var object = t.platform.thing();
    exported(object, CosTrading::PropertySeq());
    StderrCapture err;

    // Passed on as the same exception, nothing written.
    EXPECT_EQ(fieldOf(&CosTrading::IllegalServiceType::type,
                      [] { delete Trader::findOffers("no such type", "", wantAll()); }),
              "no such type");
    EXPECT_EQ(fieldOf(&CosTrading::UnknownServiceType::type,
                      [] { delete Trader::findOffers("IDL:Nowhere/X:1.0", "", wantAll()); }),
              "IDL:Nowhere/X:1.0");
    EXPECT_EQ(fieldOf(&CosTrading::IllegalPropertyName::name,
                      [] { delete Trader::findOffers(thing, "", wantSome({"not-a-name"})); }),
              "not-a-name");
    EXPECT_EQ(fieldOf(&CosTrading::DuplicatePropertyName::name,
                      [] {
                          delete Trader::findOffers(thing, "", wantSome({"A", "A"}));
                      }),
              "A");
    EXPECT_EQ(err.text(), "");

    // The rest: the operation's sentence, written first.
    auto findReason = [] {
        return reasonOf([] { delete Trader::findOffers(thing, "", wantAll()); });
    };
    const std::vector<std::pair<std::function<void()>, std::string>> refusals = {
        {[] { throw CosTrading::DuplicatePolicyName("p"); },
         "Unexpected CosTrading::DuplicatePolicyName exception thrown"},
        {[] { throw CosTrading::Lookup::IllegalPreference("p"); },
         "Unexpected CosTrading::Lookup.IllegalPreference exception thrown"},
        {[] { throw CosTrading::Lookup::IllegalPolicyName("p"); },
         "Unexpected CosTrading::Lookup.IllegalPolicyName exception thrown"},
        {[] { throw CosTrading::Lookup::InvalidPolicyValue(CosTrading::Policy()); },
         "Unexpected exception CosTrading::Lookup.InvalidPolicyValue thrown"},
        {[] { throw CosTrading::Lookup::PolicyTypeMismatch(CosTrading::Policy()); },
         "Unexpected exception CosTrading::Lookup.PolicyTypeMismatch thrown"},
        {[] { throw CosTrading::IllegalConstraint("c"); },
         "Unexpected exception CosTrading::Illegal Constraint thrown"},
    };
    for (const auto& [raise, text] : refusals) {
        t.lookup->raise = raise;
        StderrCapture lines;
        EXPECT_EQ(findReason(), text);
        EXPECT_EQ(lines.text(), text + "\n");
    }

    // A failed call (the real trader's constraint check is trader.sh's).
    t.lookup->raise = [] { throw CORBA::NO_MEMORY(0, CORBA::COMPLETED_NO); };
    StderrCapture quiet;
    EXPECT_EQ(findReason(), "Error when finding offers.");
    EXPECT_EQ(reasonOf([] { delete Trader::findObjects(thing, ""); }),
              "Error when finding offers.");
    EXPECT_EQ(quiet.text(), "");
}

TEST(Trader, WithoutATraderEveryOperationSaysSoInItsOwnWords) {
    StderrCapture err;
    EXPECT_EQ(reasonOf([] { delete Trader::findOffers(thing, "", wantAll()); }),
              "Error when finding offers.");
    const std::string lookupLines = "Could not bind to CosTrading::Lookup\n"
                                    "Ensure that the Trader service is running.\n"
                                    "Cannot resolve CosTrading::Lookup service.\n";
    EXPECT_EQ(err.text(), lookupLines);

    StderrCapture exportErr;
    EXPECT_EQ(reasonOf([] {
                  CORBA::String_var id =
                      Trader::exportObject(CORBA::Object::_nil(), thing, CosTrading::PropertySeq());
              }),
              "Error when exporting object.");
    const std::string registerLines =
        lookupLines + "Caught CORBA::Exception during call to obtain trading service.\n"
                      "Error: Trader: could not get Register interface from CosTrading.Lookup\n";
    EXPECT_EQ(exportErr.text(), registerLines);

    StderrCapture registerErr;
    EXPECT_EQ(reasonOf([] { Trader::withdraw("offer-1"); }),
              "Error: Trader: could not get Register interface from CosTrading.Lookup");
    EXPECT_EQ(registerErr.text(), registerLines);
}

TEST(Trader, ExportRefusalsAndRegisterFailures) {
    TraderPlatform platform;
    CORBA::Object_var object = platform.thing();
    {
        StderrCapture bindLines; // the first resolution's, without a naming service
        CORBA::release(Trader::registerTradingService());
    }

    StderrCapture hint;
    EXPECT_EQ(fieldOf(&CosTrading::UnknownServiceType::type,
                      [&] {
                          CORBA::String_var id = Trader::exportObject(object, "IDL:Nowhere/X:1.0",
                                                                      CosTrading::PropertySeq());
                      }),
              "IDL:Nowhere/X:1.0");
    EXPECT_EQ(hint.text(), "Error: CosTrading.CosTrading::UnknownServiceType exception caught\n"
                           "Exception: IDL:Nowhere/X:1.0\n"
                           "Make sure all services were loaded with the OfferPrimer utility.\n");

    // Every other refusal of the trader is the one sentence, nothing written.
    StderrCapture quiet;
    EXPECT_EQ(reasonOf([&] {
                  CORBA::String_var id =
                      Trader::exportObject(object, thing, properties({{"bad name", "x"}}));
              }),
              "Error when exporting object.");
    EXPECT_EQ(reasonOf([&] {
                  CORBA::String_var id =
                      Trader::exportObject(CORBA::Object::_nil(), thing, CosTrading::PropertySeq());
              }),
              "Error when exporting object.");
    EXPECT_EQ(quiet.text(), "");

    // withdraw, describe and withdraw_using_constraint pass the register's own.
    EXPECT_THROW(Trader::withdraw("bogus"), CosTrading::IllegalOfferId);
    EXPECT_THROW(Trader::withdraw("offer-99"), CosTrading::UnknownOfferId);
    EXPECT_THROW(delete Trader::describe("offer-99"), CosTrading::UnknownOfferId);
    EXPECT_THROW(Trader::withdraw_using_constraint(thing, "N == 1"),
                 CosTrading::Register::NoMatchingOffers);
}
