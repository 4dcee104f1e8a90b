// The trader's register interface: exporting, describing and withdrawing
// offers.
#pragma once

#include "TraderAttributes.h"

#include <CosTrading.hh>

namespace hvc_sandbox {

// Refers to the trader's core, which outlives it.
class RegisterServant : public TraderAttributes<POA_CosTrading::Register> {
public:
    explicit RegisterServant(TraderCore& core);

    // Keeps the properties in the order received. Raises InvalidObjectRef for
    // nil, IllegalServiceType, UnknownServiceType, IllegalPropertyName and
    // DuplicatePropertyName.
    char* _cxx_export(CORBA::Object_ptr reference, const char* type,
                      const CosTrading::PropertySeq& properties) override;
    // IllegalOfferId for an identifier not of the trader's form,
    // UnknownOfferId for one it does not hold.
    void withdraw(const char* id) override;
    CosTrading::Register::OfferInfo* describe(const char* id) override;
    // NotImplemented: properties are not modifiable here.
    void modify(const char* id, const CosTrading::PropertyNameSeq& del_list,
                const CosTrading::PropertySeq& modify_list) override;
    // Withdraws every offer of `type` matching `constr`; NoMatchingOffers
    // when there is none.
    void withdraw_using_constraint(const char* type, const char* constr) override;
    // This trader has no links: IllegalTraderName for an empty name,
    // UnknownTraderName otherwise.
    CosTrading::Register_ptr resolve(const CosTrading::TraderName& name) override;

private:
    // Raises IllegalOfferId or UnknownOfferId unless the trader holds `id`.
    OfferTable::Offer held(const char* id) const;
};

} // namespace hvc_sandbox
