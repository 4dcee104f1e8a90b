#include "LookupServant.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace hvc_sandbox {

namespace {

struct Limits {
    CORBA::ULong search = LookupServant::searchCard;
    CORBA::ULong match = LookupServant::defaultCard;
    CORBA::ULong ret = LookupServant::defaultCard;
    std::vector<std::string> applied;
};

bool isCard(const char* name) {
    return std::strcmp(name, "search_card") == 0 || std::strcmp(name, "match_card") == 0 ||
           std::strcmp(name, "return_card") == 0 || std::strcmp(name, "hop_count") == 0;
}

bool isFlag(const char* name) {
    for (const char* flag : {"exact_type_match", "use_dynamic_properties",
                             "use_modifiable_properties", "use_proxy_offers"})
        if (std::strcmp(name, flag) == 0)
            return true;
    return false;
}

// The caller's value, capped at `most`; the cap is recorded.
void take(CORBA::ULong value, CORBA::ULong most, const char* name, CORBA::ULong& into,
          Limits& limits) {
    into = value;
    if (value > most) {
        into = most;
        limits.applied.push_back(name);
    }
}

Limits readPolicies(const CosTrading::PolicySeq& policies) {
    Limits limits;
    std::set<std::string> seen;
    for (CORBA::ULong i = 0; i < policies.length(); ++i) {
        const CosTrading::Policy& policy = policies[i];
        const char* name = policy.name.in();
        if (!ServiceTypes::isLegalPropertyName(name))
            throw CosTrading::Lookup::IllegalPolicyName(name != nullptr ? name : "");
        if (!seen.insert(name).second)
            throw CosTrading::DuplicatePolicyName(name);
        if (isCard(name)) {
            CORBA::ULong value = 0;
            if (!(policy.value >>= value))
                throw CosTrading::Lookup::PolicyTypeMismatch(policy);
            if (std::strcmp(name, "search_card") == 0)
                take(value, LookupServant::searchCard, name, limits.search, limits);
            else if (std::strcmp(name, "match_card") == 0)
                take(value, LookupServant::maxCard, name, limits.match, limits);
            else if (std::strcmp(name, "return_card") == 0)
                take(value, LookupServant::maxCard, name, limits.ret, limits);
        } else if (isFlag(name)) {
            CORBA::Boolean flag = false;
            if (!(policy.value >>= CORBA::Any::to_boolean(flag)))
                throw CosTrading::Lookup::PolicyTypeMismatch(policy);
        } else if (std::strcmp(name, "link_follow_rule") == 0) {
            CosTrading::FollowOption rule = CosTrading::local_only;
            if (!(policy.value >>= rule))
                throw CosTrading::Lookup::PolicyTypeMismatch(policy);
        } else if (std::strcmp(name, "starting_trader") == 0) {
            const CosTrading::TraderName* start = nullptr;
            if (!(policy.value >>= start))
                throw CosTrading::Lookup::PolicyTypeMismatch(policy);
            if (start->length() != 0)
                throw CosTrading::Lookup::InvalidPolicyValue(policy);
        }
    }
    return limits;
}

void checkDesired(const CosTrading::Lookup::SpecifiedProps& desired) {
    if (desired._d() != CosTrading::Lookup::some)
        return;
    std::set<std::string> seen;
    const CosTrading::PropertyNameSeq& names = desired.prop_names();
    for (CORBA::ULong i = 0; i < names.length(); ++i) {
        if (!ServiceTypes::isLegalPropertyName(names[i].in()))
            throw CosTrading::IllegalPropertyName(names[i]);
        if (!seen.insert(names[i].in()).second)
            throw CosTrading::DuplicatePropertyName(names[i]);
    }
}

bool isNamed(const CosTrading::PropertyNameSeq& names, const char* name) {
    for (CORBA::ULong i = 0; i < names.length(); ++i)
        if (std::strcmp(names[i].in(), name) == 0)
            return true;
    return false;
}

// The offer as the query returns it: its properties as asked, in stored
// order.
void copyOffer(const OfferTable::Offer& from, const CosTrading::Lookup::SpecifiedProps& desired,
               CosTrading::Offer& into) {
    into.reference = CORBA::Object::_duplicate(from.reference.in());
    switch (desired._d()) {
    case CosTrading::Lookup::all:
        into.properties = from.properties;
        return;
    case CosTrading::Lookup::none:
        into.properties.length(0);
        return;
    case CosTrading::Lookup::some:
        break;
    }
    const CosTrading::PropertyNameSeq& names = desired.prop_names();
    CORBA::ULong kept = 0;
    into.properties.length(from.properties.length());
    for (CORBA::ULong i = 0; i < from.properties.length(); ++i)
        if (isNamed(names, from.properties[i].name.in()))
            into.properties[kept++] = from.properties[i];
    into.properties.length(kept);
}

} // namespace

LookupServant::LookupServant(TraderCore& trader) : TraderAttributes(trader) {}

void LookupServant::query(const char* type, const char* constr, const char* pref,
                          const CosTrading::PolicySeq& policies,
                          const CosTrading::Lookup::SpecifiedProps& desired_props,
                          CORBA::ULong how_many, CosTrading::OfferSeq_out offers,
                          CosTrading::OfferIterator_out offer_itr,
                          CosTrading::PolicyNameSeq_out limits_applied) {
    core.checkType(type);
    const Constraint constraint = TraderCore::parse(constr);
    const std::string preference = pref != nullptr ? pref : "";
    if (!preference.empty() && preference != "first")
        throw CosTrading::Lookup::IllegalPreference(preference.c_str());
    Limits limits = readPolicies(policies);
    checkDesired(desired_props);

    std::vector<CosTrading::Offer> matched;
    CORBA::ULong searched = 0;
    const CORBA::ULong wanted = std::min(limits.match, limits.ret);
    core.offers.forEach(type, [&](const OfferTable::Offer& offer) {
        if (searched++ >= limits.search || matched.size() >= wanted)
            return false;
        if (TraderCore::matches(constraint, offer.properties)) {
            matched.emplace_back();
            copyOffer(offer, desired_props, matched.back());
        }
        return true;
    });

    const CORBA::ULong total = static_cast<CORBA::ULong>(matched.size());
    const CORBA::ULong first = std::min(how_many, total);
    CosTrading::OfferSeq_var head = new CosTrading::OfferSeq;
    head->length(first);
    for (CORBA::ULong i = 0; i < first; ++i)
        head[i] = matched[i];
    CosTrading::OfferIterator_var rest;
    if (first < total) {
        CosTrading::OfferSeq_var tail = new CosTrading::OfferSeq;
        tail->length(total - first);
        for (CORBA::ULong i = first; i < total; ++i)
            tail[i - first] = matched[i];
        rest = core.iterators.open(tail._retn());
    }
    CosTrading::PolicyNameSeq_var applied = new CosTrading::PolicyNameSeq;
    applied->length(static_cast<CORBA::ULong>(limits.applied.size()));
    for (CORBA::ULong i = 0; i < applied->length(); ++i)
        applied[i] = limits.applied[i].c_str();

    offers = head._retn();
    offer_itr = rest._retn();
    limits_applied = applied._retn();
}

CORBA::ULong LookupServant::def_search_card() {
    return searchCard;
}

CORBA::ULong LookupServant::max_search_card() {
    return searchCard;
}

CORBA::ULong LookupServant::def_match_card() {
    return defaultCard;
}

CORBA::ULong LookupServant::max_match_card() {
    return maxCard;
}

CORBA::ULong LookupServant::def_return_card() {
    return defaultCard;
}

CORBA::ULong LookupServant::max_return_card() {
    return maxCard;
}

CORBA::ULong LookupServant::max_list() {
    return maxCard;
}

CORBA::ULong LookupServant::def_hop_count() {
    return 0;
}

CORBA::ULong LookupServant::max_hop_count() {
    return 0;
}

CosTrading::FollowOption LookupServant::def_follow_policy() {
    return CosTrading::local_only;
}

CosTrading::FollowOption LookupServant::max_follow_policy() {
    return CosTrading::local_only;
}

} // namespace hvc_sandbox
