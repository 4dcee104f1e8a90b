#include "hvc_util/NVPSet.h"
#include "hvc_util/NVP.h"
#include "hvc_util/String.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

using hvc_util::NVP;
using hvc_util::NVPSet;

namespace {

CORBA::Any longValue(CORBA::Long n) {
    CORBA::Any value;
    value <<= n;
    return value;
}

CORBA::Long longOf(const CORBA::Any& value) {
    CORBA::Long n = -1;
    EXPECT_TRUE(value >>= n);
    return n;
}

using Listing = std::vector<std::pair<std::string, CORBA::Long>>;

// The names and long values of each conversion, which must all agree.
Listing listingOf(const NVPSet& set) {
    std::unique_ptr<CosPropertyService::Properties> properties(set.properties());
    std::unique_ptr<CosCollection::ParameterList> pairs(set.pairs());
    CosLifeCycle::Criteria criteria = set.criteria();
    EXPECT_EQ(properties->length(), set.length());
    EXPECT_EQ(properties->maximum(), set.length());
    EXPECT_EQ(pairs->length(), set.length());
    EXPECT_EQ(pairs->maximum(), set.length());
    EXPECT_EQ(criteria.length(), set.length());
    Listing out;
    for (CORBA::ULong i = 0; i < properties->length(); ++i) {
        const char* name = (*properties)[i].property_name.in();
        EXPECT_STREQ((*pairs)[i].name.in(), name);
        EXPECT_STREQ(criteria[i].name.in(), name);
        CORBA::Long n = longOf((*properties)[i].property_value);
        EXPECT_EQ(longOf((*pairs)[i].value), n);
        EXPECT_EQ(longOf(criteria[i].value), n);
        out.emplace_back(name, n);
    }
    return out;
}

NVPSet setOf(const std::vector<std::string>& names) {
    NVPSet set;
    CORBA::Long n = 0;
    for (const std::string& name : names)
        set.value(name.c_str(), longValue(n++));
    return set;
}

// Names with the values 0, 1, 2, ... in order.
template <class Seq, class Element>
Seq sequenceOf(const std::vector<std::string>& names, CORBA::String_member Element::*name,
               CORBA::Any Element::*value) {
    Seq seq;
    seq.length(static_cast<CORBA::ULong>(names.size()));
    for (CORBA::ULong i = 0; i < seq.length(); ++i) {
        seq[i].*name = names[i].c_str();
        seq[i].*value = longValue(static_cast<CORBA::Long>(i));
    }
    return seq;
}

std::size_t positionOf(const Listing& listing, const std::string& name) {
    for (std::size_t i = 0; i < listing.size(); ++i) {
        if (listing[i].first == name)
            return i;
    }
    ADD_FAILURE() << name << " is not listed";
    return listing.size();
}

// 81 names that keep out of the buckets of "a" and "8" in both sizes used.
std::vector<std::string> fillers(int count) {
    std::vector<std::string> names;
    for (int i = 0; static_cast<int>(names.size()) < count; ++i) {
        std::string name = "filler" + std::to_string(i);
        unsigned int h = hvc_util::String::getHash(name.c_str());
        if (h % 41 != 15 && h % 83 != 14 && h % 83 != 56)
            names.push_back(name);
    }
    return names;
}

} // namespace

TEST(NVPSet, TheFirstValueOfANameStaysUntilItIsRemoved) {
    NVPSet set;
    set.value("a", longValue(1));
    set.value("a", longValue(2));
    set.value("A", longValue(3));
    EXPECT_EQ(set.length(), 2u);
    EXPECT_EQ(longOf(set.value("a")), 1);
    EXPECT_EQ(longOf(set.value("A")), 3);
    EXPECT_EQ(set.has("a"), 1);

    CORBA::TypeCode_var absent = set.value("b").type();
    EXPECT_EQ(absent->kind(), CORBA::tk_null);
    EXPECT_EQ(set.find("b"), nullptr);
    set.remove("b");
    EXPECT_EQ(set.length(), 2u);

    const CORBA::Any* stored = set.find("a");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(longOf(*stored), 1);
    set.remove("a");
    EXPECT_EQ(set.has("a"), 0);
    EXPECT_EQ(set.length(), 1u);
    set.value("a", longValue(4));
    EXPECT_EQ(longOf(set.value("a")), 4);
}

TEST(NVPSet, NullNamesAreIgnoredAndPairsOwnTheirNames) {
    NVPSet set = setOf({"a"});
    set.value(nullptr, longValue(9));
    set.remove(nullptr);
    EXPECT_EQ(set.has(nullptr), 0);
    EXPECT_EQ(set.find(nullptr), nullptr);
    CORBA::TypeCode_var type = set.value(nullptr).type();
    EXPECT_EQ(type->kind(), CORBA::tk_null);
    EXPECT_EQ(listingOf(set), (Listing{{"a", 0}}));

    EXPECT_FALSE(NVP() == hvc_util::String(""));
    NVP named("a", longValue(1));
    EXPECT_FALSE(named == hvc_util::String());
    NVP copy(named);
    EXPECT_NE(copy.name.in(), named.name.in());
    EXPECT_TRUE(copy == hvc_util::String("a"));
}

// Single characters hash to their code: "a" and "8" share bucket 15 of 41,
// "b" and "9" bucket 16; "A", "P" and "(" lie in 24, 39 and 40. Filled back
// from its own listing, a set lists the names of a shared bucket reversed.
TEST(NVPSet, ConversionsListByBucketThenNewestFirst) {
    NVPSet set = setOf({"a", "b", "8", "P", "(", "A", "9"});
    const Listing expected{{"8", 2}, {"a", 0}, {"9", 6}, {"b", 1}, {"A", 5}, {"P", 3}, {"(", 4}};
    EXPECT_EQ(listingOf(set), expected);
    EXPECT_EQ(listingOf(set), expected);
    EXPECT_TRUE(listingOf(NVPSet()).empty());

    std::unique_ptr<CosPropertyService::Properties> asProperties(set.properties());
    std::unique_ptr<CosCollection::ParameterList> asPairs(set.pairs());
    CosLifeCycle::Criteria asCriteria = set.criteria();
    const Listing back{{"a", 0}, {"8", 2}, {"b", 1}, {"9", 6}, {"A", 5}, {"P", 3}, {"(", 4}};
    EXPECT_EQ(listingOf(NVPSet(*asProperties)), back);
    EXPECT_EQ(listingOf(NVPSet(asPairs->get_buffer(), static_cast<int>(asPairs->length()))), back);
    EXPECT_EQ(listingOf(NVPSet(&asCriteria)), back);
}

TEST(NVPSet, EachSequenceFillsASetAndTheFirstValueOfANameWins) {
    const std::vector<std::string> xyx{"x", "y", "x"};
    auto criteria = sequenceOf<CosLifeCycle::Criteria>(xyx, &CosLifeCycle::NVP::name,
                                                       &CosLifeCycle::NVP::value);
    auto list = sequenceOf<CosCollection::ParameterList>(xyx, &CosCollection::NVPair::name,
                                                         &CosCollection::NVPair::value);
    auto properties = sequenceOf<CosPropertyService::Properties>(
        xyx, &CosPropertyService::Property::property_name,
        &CosPropertyService::Property::property_value);
    const Listing xy{{"x", 0}, {"y", 1}};
    EXPECT_EQ(listingOf(NVPSet(&criteria)), xy);
    EXPECT_EQ(listingOf(NVPSet(criteria.get_buffer(), 3)), xy);
    EXPECT_EQ(listingOf(NVPSet(list.get_buffer(), 3)), xy);
    EXPECT_EQ(listingOf(NVPSet(properties)), xy);

    EXPECT_EQ(NVPSet(criteria.get_buffer(), 0).length(), 0u);
    EXPECT_EQ(NVPSet(list.get_buffer(), -1).length(), 0u);
    EXPECT_EQ(NVPSet(static_cast<const CosLifeCycle::NVP*>(nullptr), 3).length(), 0u);
    EXPECT_EQ(NVPSet(static_cast<const CosLifeCycle::Criteria*>(nullptr)).length(), 0u);
    EXPECT_EQ(NVPSet(static_cast<const CosCollection::NVPair*>(nullptr), 1).length(), 0u);
}

// The table starts with 41 buckets and has 83 from the 84th pair on: "a"
// (97) and "8" (56) then land in buckets 14 and 56 instead of sharing 15.
TEST(NVPSet, GrowthPastTheThresholdReordersTheListing) {
    std::vector<std::string> names{"a", "8"};
    for (const std::string& f : fillers(81))
        names.push_back(f);
    NVPSet set = setOf(names);
    ASSERT_EQ(set.length(), 83u);
    Listing before = listingOf(set);
    EXPECT_EQ(positionOf(before, "8") + 1, positionOf(before, "a"));

    set.value("filler-last", longValue(83));
    Listing after = listingOf(set);
    ASSERT_EQ(after.size(), 84u);
    EXPECT_LT(positionOf(after, "a"), positionOf(after, "8"));
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(longOf(set.value(names[i].c_str())), static_cast<CORBA::Long>(i));
}

TEST(NVPSet, CopiesAreDeepAndListAsTheOriginal) {
    std::vector<std::string> names{"a", "8"};
    for (const std::string& f : fillers(82))
        names.push_back(f);
    NVPSet grown = setOf(names);
    for (std::size_t i = 2; i < names.size(); ++i)
        grown.remove(names[i].c_str());
    // Still 83 buckets: "a" before "8", where a fresh set lists "8" first.
    const Listing expected{{"a", 0}, {"8", 1}};
    ASSERT_EQ(listingOf(grown), expected);
    ASSERT_EQ(listingOf(setOf({"a", "8"})), (Listing{{"8", 1}, {"a", 0}}));

    NVPSet copy(grown);
    EXPECT_EQ(listingOf(copy), expected);
    NVPSet assigned = setOf({"z"});
    assigned = grown;
    EXPECT_EQ(listingOf(assigned), expected);
    NVPSet& self = assigned;
    assigned = self;
    EXPECT_EQ(listingOf(assigned), expected);

    copy.remove("a");
    copy.value("8", longValue(5));
    assigned.value("new", longValue(6));
    EXPECT_EQ(listingOf(grown), expected);
    EXPECT_NE(grown.find("8"), copy.find("8"));
    EXPECT_EQ(copy.length(), 1u);
    EXPECT_EQ(assigned.length(), 3u);
}
