#include "RegisterServant.h"

#include <set>
#include <string>

namespace hvc_sandbox {

RegisterServant::RegisterServant(TraderCore& trader) : TraderAttributes(trader) {}

char* RegisterServant::_cxx_export(CORBA::Object_ptr reference, const char* type,
                                   const CosTrading::PropertySeq& properties) {
    if (CORBA::is_nil(reference))
        throw CosTrading::Register::InvalidObjectRef(reference);
    core.checkType(type);
    std::set<std::string> seen;
    for (CORBA::ULong i = 0; i < properties.length(); ++i) {
        const char* name = properties[i].name.in();
        if (!ServiceTypes::isLegalPropertyName(name))
            throw CosTrading::IllegalPropertyName(name != nullptr ? name : "");
        if (!seen.insert(name).second)
            throw CosTrading::DuplicatePropertyName(name);
    }
    return CORBA::string_dup(core.offers.add(type, reference, properties).c_str());
}

OfferTable::Offer RegisterServant::held(const char* id) const {
    const std::string text = id != nullptr ? id : "";
    if (!OfferTable::isWellFormed(text))
        throw CosTrading::IllegalOfferId(text.c_str());
    OfferTable::Offer offer;
    if (!core.offers.find(text, offer))
        throw CosTrading::UnknownOfferId(text.c_str());
    return offer;
}

void RegisterServant::withdraw(const char* id) {
    const OfferTable::Offer offer = held(id);
    if (!core.offers.remove(offer.id))
        throw CosTrading::UnknownOfferId(id);
}

CosTrading::Register::OfferInfo* RegisterServant::describe(const char* id) {
    const OfferTable::Offer offer = held(id);
    CosTrading::Register::OfferInfo_var info = new CosTrading::Register::OfferInfo;
    info->reference = CORBA::Object::_duplicate(offer.reference.in());
    info->type = offer.type.c_str();
    info->properties = offer.properties;
    return info._retn();
}

void RegisterServant::modify(const char*, const CosTrading::PropertyNameSeq&,
                             const CosTrading::PropertySeq&) {
    throw CosTrading::NotImplemented();
}

void RegisterServant::withdraw_using_constraint(const char* type, const char* constr) {
    core.checkType(type);
    const Constraint constraint = TraderCore::parse(constr);
    const std::size_t withdrawn = core.offers.removeIf(type, [&](const OfferTable::Offer& offer) {
        return TraderCore::matches(constraint, offer.properties);
    });
    if (withdrawn == 0)
        throw CosTrading::Register::NoMatchingOffers(constr);
}

CosTrading::Register_ptr RegisterServant::resolve(const CosTrading::TraderName& name) {
    if (name.length() == 0)
        throw CosTrading::Register::IllegalTraderName(name);
    throw CosTrading::Register::UnknownTraderName(name);
}

} // namespace hvc_sandbox
