#include "ConvertersRoom.h"

#include "sandbox/Platform.h"
#include "sandbox/common/Activation.h"
#include "sandbox/trader/TraderService.h"
#include "sandbox/users/UserServer.h"

#include <hvc_util/Trader.h>

namespace hvc_sandbox {

namespace {

// The offer of `factory` under `type` the trader already holds (kept from an
// earlier start of a platform with a home); empty for none.
std::string offered(TraderCore& trader, CORBA::Object_ptr factory, CORBA::TypeCode_ptr type) {
    std::string id;
    trader.offers.forEach(type->id(), [&](const OfferTable::Offer& o) {
        if (!o.reference->_is_equivalent(factory))
            return true;
        id = o.id;
        return false;
    });
    return id;
}

void offer(TraderCore& trader, CORBA::Object_ptr factory, CORBA::TypeCode_ptr type,
           const std::string& account, std::vector<std::string>& ids) {
    const std::string kept = offered(trader, factory, type);
    if (!kept.empty()) {
        ids.push_back(kept);
        return;
    }
    CosTrading::PropertySeq properties;
    properties.length(1);
    properties[0].name = "UserName";
    properties[0].value <<= account.c_str();
    CORBA::String_var id = hvc_util::Trader::exportObject(factory, type->id(), properties);
    ids.push_back(id.in());
}

} // namespace

void ConvertersRoom::start(Platform& platform, PortableServer::POA_ptr poa) {
    for (const UserDirectory::User& user : platform.room<UserServer>().users().users()) {
        UserFactories& mine = factories[user.account];
        if (mine.defaultServant.in() != nullptr)
            continue; // a user named twice gets one pair
        accounts.push_back(user.account);
        const std::string prefix = "converters:" + user.account;
        mine.defaultServant = new DefaultConverterFactoryServant(poa, prefix + ":converter");
        mine.scalingServant = new ScalingConverterFactoryServant(poa);
        mine.defaultRef = Activation::activate(poa, prefix + ":default", mine.defaultServant.in());
        mine.scalingRef = Activation::activate(poa, prefix + ":scaling", mine.scalingServant.in());
    }
}

void ConvertersRoom::exportOffers(Platform& platform) {
    TraderCore& trader = platform.room<TraderService>().core();
    for (const std::string& account : accounts) {
        const UserFactories& mine = factories.at(account);
        offer(trader, mine.defaultRef.in(), EpTypesService::_tc_DefaultDataTypeConverterFactory,
              account, offers);
        offer(trader, mine.scalingRef.in(),
              EpTypesService::_tc_DefaultScalingDataTypeConverterFactory, account, offers);
    }
}

CORBA::Object_ptr ConvertersRoom::defaultFactory(const std::string& account) const {
    auto found = factories.find(account);
    return found != factories.end() ? CORBA::Object::_duplicate(found->second.defaultRef.in())
                                    : CORBA::Object::_nil();
}

CORBA::Object_ptr ConvertersRoom::scalingFactory(const std::string& account) const {
    auto found = factories.find(account);
    return found != factories.end() ? CORBA::Object::_duplicate(found->second.scalingRef.in())
                                    : CORBA::Object::_nil();
}

} // namespace hvc_sandbox
