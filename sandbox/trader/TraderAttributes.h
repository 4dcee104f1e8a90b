// The attributes every interface of the trader answers alike: its components
// and what it supports.
#pragma once

#include "TraderCore.h"

#include <CosTrading.hh>

namespace hvc_sandbox {

// `Skeleton` is the POA skeleton of one of the trader's interfaces. Refers to
// the trader's core, which outlives the servant.
template <class Skeleton> class TraderAttributes : public Skeleton {
public:
    explicit TraderAttributes(TraderCore& trader) : core(trader) {}

    CosTrading::Lookup_ptr lookup_if() override {
        return CosTrading::Lookup::_duplicate(core.lookup.in());
    }
    CosTrading::Register_ptr register_if() override {
        return CosTrading::Register::_duplicate(core.traderRegister.in());
    }
    // No links, proxies or administration here.
    CosTrading::Link_ptr link_if() override { return CosTrading::Link::_nil(); }
    CosTrading::Proxy_ptr proxy_if() override { return CosTrading::Proxy::_nil(); }
    CosTrading::Admin_ptr admin_if() override { return CosTrading::Admin::_nil(); }

    CORBA::Boolean supports_modifiable_properties() override { return false; }
    CORBA::Boolean supports_dynamic_properties() override { return false; }
    CORBA::Boolean supports_proxy_offers() override { return false; }
    // The service types are not a CORBA object of their own.
    CosTrading::TypeRepository_ptr type_repos() override { return CORBA::Object::_nil(); }

protected:
    TraderCore& core;
};

} // namespace hvc_sandbox
