#include "ConvertersRoom.h"

#include "sandbox/Platform.h"
#include "sandbox/common/Activation.h"

#include <hvc_util/Trader.h>

namespace hvc_sandbox {

namespace {

void offer(CORBA::Object_ptr factory, CORBA::TypeCode_ptr type, const std::string& account,
           std::vector<std::string>& ids) {
    CosTrading::PropertySeq properties;
    properties.length(1);
    properties[0].name = "UserName";
    properties[0].value <<= account.c_str();
    CORBA::String_var id = hvc_util::Trader::exportObject(factory, type->id(), properties);
    ids.push_back(id.in());
}

} // namespace

void ConvertersRoom::start(Platform& platform, PortableServer::POA_ptr poa) {
    for (const Platform::UserSpec& spec : platform.userSpecs()) {
        UserFactories& mine = factories[spec.account];
        if (mine.defaultServant.in() != nullptr)
            continue; // a user named twice gets one pair
        accounts.push_back(spec.account);
        mine.defaultServant = new DefaultConverterFactoryServant(poa);
        mine.scalingServant = new ScalingConverterFactoryServant(poa);
        mine.defaultRef = Activation::activate(poa, mine.defaultServant.in());
        mine.scalingRef = Activation::activate(poa, mine.scalingServant.in());
    }
}

void ConvertersRoom::exportOffers(Platform&) {
    for (const std::string& account : accounts) {
        const UserFactories& mine = factories.at(account);
        offer(mine.defaultRef.in(), EpTypesService::_tc_DefaultDataTypeConverterFactory, account,
              offers);
        offer(mine.scalingRef.in(), EpTypesService::_tc_DefaultScalingDataTypeConverterFactory,
              account, offers);
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
