#include "sandbox/trader/TraderService.h"
#include "support/TraderPlatform.h"

#include <gtest/gtest.h>

using hvc_test::namesOf;

namespace {

const char* const thing = hvc_test::TraderPlatform::thingType;

CosTrading::PropertySeq props(std::initializer_list<std::pair<const char*, CORBA::Any>> items) {
    CosTrading::PropertySeq seq;
    seq.length(static_cast<CORBA::ULong>(items.size()));
    CORBA::ULong i = 0;
    for (const auto& [name, value] : items) {
        seq[i].name = name;
        seq[i++].value = value;
    }
    return seq;
}

CORBA::Any text(const char* s) {
    CORBA::Any a;
    a <<= s;
    return a;
}

CORBA::Any number(CORBA::Long n) {
    CORBA::Any a;
    a <<= n;
    return a;
}

struct Query {
    CosTrading::OfferSeq_var offers;
    CosTrading::OfferIterator_var rest;
    CosTrading::PolicyNameSeq_var limits;
};

// The platform's trader as its clients call it.
struct Trader {
    hvc_test::TraderPlatform platform;
    CosTrading::Lookup_var lookup = [&] {
        CORBA::Object_var obj =
            platform->reference(hvc_util::ServiceCatalogue::Service::TraderLookup);
        return CosTrading::Lookup::_narrow(obj.in());
    }();
    CosTrading::Register_var reg = lookup->register_if();

    hvc_sandbox::TraderCore& core() { return platform.trader(); }
    CORBA::Object_ptr object() { return platform.thing(); }

    std::string offer(CORBA::Object_ptr object, const CosTrading::PropertySeq& properties) {
        CORBA::String_var id = reg->_cxx_export(object, thing, properties);
        return id.in();
    }

    Query query(const char* constraint, CORBA::ULong howMany = 1000,
                const CosTrading::PolicySeq& policies = CosTrading::PolicySeq(),
                CosTrading::Lookup::SpecifiedProps desired = all(), const char* pref = "") {
        Query q;
        lookup->query(thing, constraint, pref, policies, desired, howMany, q.offers.out(),
                      q.rest.out(), q.limits.out());
        return q;
    }

    static CosTrading::Lookup::SpecifiedProps all() {
        CosTrading::Lookup::SpecifiedProps desired;
        desired._d(CosTrading::Lookup::all);
        return desired;
    }
};

CosTrading::PolicySeq policy(const char* name, const CORBA::Any& value) {
    CosTrading::PolicySeq seq;
    seq.length(1);
    seq[0].name = name;
    seq[0].value = value;
    return seq;
}

} // namespace

TEST(TraderService, ExportKeepsTheOfferAsGivenOrRefusesIt) {
    Trader t;
    CORBA::Object_var object = t.object();
    const std::string first = t.offer(object, props({{"Z", text("z")}, {"A", number(1)}}));
    const std::string second = t.offer(object, CosTrading::PropertySeq());
    EXPECT_NE(first, second);
    CosTrading::Register::OfferInfo_var info = t.reg->describe(first.c_str());
    EXPECT_EQ(namesOf(info->properties), (std::vector<std::string>{"Z", "A"}));
    EXPECT_STREQ(info->type.in(), thing);
    EXPECT_TRUE(info->reference->_is_equivalent(object));
    // Every interface of the platform is a service type.
    CORBA::String_var platformType =
        t.reg->_cxx_export(object, "IDL:EpSession/Session:1.0", CosTrading::PropertySeq());

    EXPECT_THROW(t.reg->_cxx_export(CORBA::Object::_nil(), thing, CosTrading::PropertySeq()),
                 CosTrading::Register::InvalidObjectRef);
    EXPECT_THROW(t.reg->_cxx_export(object, "not a type", CosTrading::PropertySeq()),
                 CosTrading::IllegalServiceType);
    EXPECT_THROW(t.reg->_cxx_export(object, "IDL:No/Such:1.0", CosTrading::PropertySeq()),
                 CosTrading::UnknownServiceType);
    EXPECT_THROW(t.offer(object, props({{"1st", text("x")}})), CosTrading::IllegalPropertyName);
    EXPECT_THROW(t.offer(object, props({{"A", text("x")}, {"A", text("y")}})),
                 CosTrading::DuplicatePropertyName);
    EXPECT_THROW(
        t.reg->modify(first.c_str(), CosTrading::PropertyNameSeq(), CosTrading::PropertySeq()),
        CosTrading::NotImplemented);
    EXPECT_EQ(t.core().offers.size(), 3u);

    t.reg->withdraw(first.c_str());
    EXPECT_THROW(t.reg->describe(first.c_str()), CosTrading::UnknownOfferId);
    EXPECT_THROW(t.reg->withdraw(first.c_str()), CosTrading::UnknownOfferId);
    EXPECT_THROW(t.reg->withdraw("offer-0"), CosTrading::IllegalOfferId);
    EXPECT_THROW(t.reg->describe("something"), CosTrading::IllegalOfferId);
}

TEST(TraderService, WithdrawingByConstraintTakesTheMatchesOnly) {
    Trader t;
    CORBA::Object_var object = t.object();
    for (CORBA::Long n : {1, 2, 3, 4})
        t.offer(object, props({{"N", number(n)}}));
    t.reg->withdraw_using_constraint(thing, "N < 3");
    Query left = t.query("");
    ASSERT_EQ(left.offers->length(), 2u);
    EXPECT_THROW(t.reg->withdraw_using_constraint(thing, "N < 3"),
                 CosTrading::Register::NoMatchingOffers);
    EXPECT_THROW(t.reg->withdraw_using_constraint(thing, "N <"), CosTrading::IllegalConstraint);
    EXPECT_THROW(t.reg->withdraw_using_constraint("IDL:No/Such:1.0", ""),
                 CosTrading::UnknownServiceType);
}

TEST(TraderService, QueriesHandOutHowManyAndTheRestThroughAnIterator) {
    Trader t;
    EXPECT_GE(t.lookup->def_return_card(), 1000u);
    EXPECT_GE(t.lookup->max_return_card(), t.lookup->def_return_card());
    CORBA::Object_var object = t.object();
    for (CORBA::Long n = 0; n < 1200; ++n)
        t.offer(object, props({{"N", number(n)}, {"Even", text(n % 2 == 0 ? "y" : "n")}}));

    Query q = t.query("Even == 'y'", 10);
    ASSERT_EQ(q.offers->length(), 10u);
    CORBA::Long n = 0;
    q.offers[9].properties[0].value >>= n;
    EXPECT_EQ(n, 18);
    ASSERT_FALSE(CORBA::is_nil(q.rest));
    EXPECT_EQ(q.rest->max_left(), 590u);
    CosTrading::OfferSeq_var batch;
    EXPECT_TRUE(q.rest->next_n(500, batch.out()));
    EXPECT_EQ(batch->length(), 500u);
    EXPECT_FALSE(q.rest->next_n(1000, batch.out()));
    EXPECT_EQ(batch->length(), 90u);
    EXPECT_EQ(t.core().iterators.live(), 1u);
    q.rest->destroy();
    EXPECT_EQ(t.core().iterators.live(), 0u);
    EXPECT_THROW(q.rest->max_left(), CORBA::OBJECT_NOT_EXIST);

    // The default cardinalities end the matches; larger ones are taken, one
    // past the maximum is cut to it and said so.
    Query everything = t.query("", 0);
    EXPECT_EQ(everything.rest->max_left(), 1000u);
    CORBA::Any larger;
    larger <<= CORBA::ULong(1200);
    CosTrading::PolicySeq cards = policy("return_card", larger);
    cards.length(2);
    cards[1].name = "match_card";
    cards[1].value = larger;
    EXPECT_EQ(t.query("", 0, cards).rest->max_left(), 1200u);
    CORBA::Any huge;
    huge <<= CORBA::ULong(1000000);
    Query capped = t.query("", 0, policy("return_card", huge));
    ASSERT_EQ(capped.limits->length(), 1u);
    EXPECT_STREQ(capped.limits[0].in(), "return_card");
    Query none = t.query("N < 0");
    EXPECT_EQ(none.offers->length(), 0u);
    EXPECT_TRUE(CORBA::is_nil(none.rest));
}

TEST(TraderService, OffersCarryTheAskedPropertiesInStoredOrder) {
    Trader t;
    CORBA::Object_var object = t.object();
    t.offer(object, props({{"A", text("a")}, {"C", text("c")}, {"B", text("b")}}));
    CosTrading::PropertyNameSeq wanted;
    wanted.length(3);
    wanted[0] = "B";
    wanted[1] = "X";
    wanted[2] = "A";
    CosTrading::Lookup::SpecifiedProps some;
    some.prop_names(wanted);
    EXPECT_EQ(namesOf(t.query("", 10, CosTrading::PolicySeq(), some).offers[0].properties),
              (std::vector<std::string>{"A", "B"}));
    CosTrading::Lookup::SpecifiedProps none;
    EXPECT_EQ(t.query("", 10, CosTrading::PolicySeq(), none).offers[0].properties.length(), 0u);
}

TEST(TraderService, QueriesRefuseWhatTheyCannotTake) {
    Trader t;
    CosTrading::Lookup::SpecifiedProps desired = Trader::all();
    CosTrading::OfferSeq_var offers;
    CosTrading::OfferIterator_var rest;
    CosTrading::PolicyNameSeq_var limits;
    auto queryType = [&](const char* type) {
        t.lookup->query(type, "", "", CosTrading::PolicySeq(), desired, 1, offers.out(), rest.out(),
                        limits.out());
    };
    EXPECT_THROW(queryType("::"), CosTrading::IllegalServiceType);
    EXPECT_THROW(queryType("IDL:No/Such:1.0"), CosTrading::UnknownServiceType);
    EXPECT_THROW(t.query("N =="), CosTrading::IllegalConstraint);
    EXPECT_THROW(t.query("", 1, CosTrading::PolicySeq(), desired, "max N"),
                 CosTrading::Lookup::IllegalPreference);
    EXPECT_NO_THROW(t.query("", 1, CosTrading::PolicySeq(), desired, "first"));

    CORBA::Any card;
    card <<= CORBA::ULong(5);
    EXPECT_THROW(t.query("", 1, policy("no such policy", card)),
                 CosTrading::Lookup::IllegalPolicyName);
    EXPECT_THROW(t.query("", 1, policy("match_card", text("5"))),
                 CosTrading::Lookup::PolicyTypeMismatch);
    CosTrading::PolicySeq twice = policy("match_card", card);
    twice.length(2);
    twice[1] = twice[0];
    EXPECT_THROW(t.query("", 1, twice), CosTrading::DuplicatePolicyName);
    CosTrading::TraderName elsewhere;
    elsewhere.length(1);
    elsewhere[0] = "other";
    CORBA::Any start;
    start <<= elsewhere;
    EXPECT_THROW(t.query("", 1, policy("starting_trader", start)),
                 CosTrading::Lookup::InvalidPolicyValue);
    EXPECT_NO_THROW(t.query("", 1, policy("some_other_policy", card)));
}

TEST(TraderService, IteratorsLeftOpenAreClosedOldestFirst) {
    Trader t;
    hvc_sandbox::OfferIterators iterators(t.platform.rootPoa(), 2);
    CosTrading::OfferIterator_var first = iterators.open(new CosTrading::OfferSeq);
    CosTrading::OfferIterator_var second = iterators.open(new CosTrading::OfferSeq);
    CosTrading::OfferIterator_var third = iterators.open(new CosTrading::OfferSeq);
    EXPECT_EQ(iterators.live(), 2u);
    EXPECT_THROW(first->max_left(), CORBA::OBJECT_NOT_EXIST);
    EXPECT_EQ(third->max_left(), 0u);
}
