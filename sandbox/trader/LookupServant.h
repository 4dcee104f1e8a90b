// The trader's lookup interface: queries over the offer table.
#pragma once

#include "TraderAttributes.h"

#include <CosTrading.hh>

namespace hvc_sandbox {

// Refers to the trader's core, which outlives it.
class LookupServant : public TraderAttributes<POA_CosTrading::Lookup> {
public:
    explicit LookupServant(TraderCore& core);

    // The offers of `type` (exactly that type) matching `constr`, in export
    // order: the first `how_many` in `offers`, the rest, up to the return
    // cardinality, in `offer_itr` (nil when there is no rest). Each offer
    // carries the properties `desired_props` asks for, in stored order.
    // Preferences: "" and "first" only (IllegalPreference otherwise).
    // Policies: search_card, match_card and return_card (unsigned long,
    // capped by the maxima, which `limits_applied` then names),
    // exact_type_match, use_dynamic_properties, use_modifiable_properties and
    // use_proxy_offers (boolean), hop_count (unsigned long),
    // link_follow_rule (FollowOption), starting_trader (an empty TraderName:
    // this trader has no links, InvalidPolicyValue otherwise) and request_id;
    // other well-formed names are ignored.
    void query(const char* type, const char* constr, const char* pref,
               const CosTrading::PolicySeq& policies,
               const CosTrading::Lookup::SpecifiedProps& desired_props, CORBA::ULong how_many,
               CosTrading::OfferSeq_out offers, CosTrading::OfferIterator_out offer_itr,
               CosTrading::PolicyNameSeq_out limits_applied) override;

    CORBA::ULong def_search_card() override;
    CORBA::ULong max_search_card() override;
    CORBA::ULong def_match_card() override;
    CORBA::ULong max_match_card() override;
    CORBA::ULong def_return_card() override;
    CORBA::ULong max_return_card() override;
    CORBA::ULong max_list() override;
    CORBA::ULong def_hop_count() override;
    CORBA::ULong max_hop_count() override;
    CosTrading::FollowOption def_follow_policy() override;
    CosTrading::FollowOption max_follow_policy() override;

    // The match and return cardinalities this trader applies by default and
    // the most a query may ask for; every offer of a type is searched, up to
    // searchCard.
    static const CORBA::ULong defaultCard = 1000;
    static const CORBA::ULong maxCard = 10000;
    static const CORBA::ULong searchCard = 100000;
};

} // namespace hvc_sandbox
