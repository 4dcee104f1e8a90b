// The proxies of one administration: activated on demand, found by
// identifier, deactivated when their client disconnects or the administration
// goes.
#pragma once

#include "sandbox/common/Activation.h"

#include <CosNotifyChannelAdmin.hh>

#include <map>
#include <mutex>

namespace hvc_sandbox {

// Owns its proxies through Servant_var holders. Thread-safe. `Proxy` has
// close(), which ends its connection.
template <class Proxy> class ProxyTable {
public:
    explicit ProxyTable(PortableServer::POA_ptr poa) : poa(PortableServer::POA::_duplicate(poa)) {}

    // Activates the proxy `make(id)` returns under the next identifier, which
    // `id` receives. Returns a new reference owned by the caller. Raises
    // OBJECT_NOT_EXIST once the table is closed.
    template <class Make> CORBA::Object_ptr add(Make&& make, CosNotifyChannelAdmin::ProxyID& id) {
        std::lock_guard<std::mutex> hold(lock);
        if (closed)
            throw CORBA::OBJECT_NOT_EXIST(0, CORBA::COMPLETED_NO);
        id = next++;
        PortableServer::Servant_var<Proxy> proxy(make(id));
        CORBA::Object_ptr ref = Activation::activate(poa, proxy.in());
        proxies.emplace(id, proxy);
        return ref;
    }

    // Removes and deactivates a proxy; an unknown identifier is ignored.
    void forget(CosNotifyChannelAdmin::ProxyID id) {
        PortableServer::Servant_var<Proxy> proxy;
        {
            std::lock_guard<std::mutex> hold(lock);
            auto found = proxies.find(id);
            if (found == proxies.end())
                return;
            proxy = found->second;
            proxies.erase(found);
        }
        Activation::deactivate(poa, proxy.in());
    }

    // A new reference to the proxy, or nil for an unknown identifier.
    CORBA::Object_ptr find(CosNotifyChannelAdmin::ProxyID id) const {
        PortableServer::Servant_var<Proxy> proxy;
        {
            std::lock_guard<std::mutex> hold(lock);
            auto found = proxies.find(id);
            if (found == proxies.end())
                return CORBA::Object::_nil();
            proxy = found->second;
        }
        return poa->servant_to_reference(proxy.in());
    }

    // The identifiers of the proxies, in order; the caller owns the result.
    CosNotifyChannelAdmin::ProxyIDSeq* ids() const {
        CosNotifyChannelAdmin::ProxyIDSeq_var seq = new CosNotifyChannelAdmin::ProxyIDSeq;
        std::lock_guard<std::mutex> hold(lock);
        seq->length(static_cast<CORBA::ULong>(proxies.size()));
        CORBA::ULong i = 0;
        for (const auto& entry : proxies)
            seq[i++] = entry.first;
        return seq._retn();
    }

    // Ends every proxy's connection and deactivates it; the table takes no
    // new proxies afterwards.
    void closeAll() {
        std::map<CosNotifyChannelAdmin::ProxyID, PortableServer::Servant_var<Proxy>> ending;
        {
            std::lock_guard<std::mutex> hold(lock);
            closed = true;
            ending.swap(proxies);
        }
        for (auto& entry : ending) {
            entry.second->close();
            Activation::deactivate(poa, entry.second.in());
        }
    }

private:
    PortableServer::POA_var poa;
    mutable std::mutex lock;
    std::map<CosNotifyChannelAdmin::ProxyID, PortableServer::Servant_var<Proxy>> proxies;
    CosNotifyChannelAdmin::ProxyID next = 1;
    bool closed = false;
};

} // namespace hvc_sandbox
