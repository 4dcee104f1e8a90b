// A session that records every key it is asked to find factories for, and
// answers them as told: by default through the factory finder it was given.
#pragma once

#include "sandbox/common/Activation.h"
#include "sandbox/users/SessionManagerServant.h"
#include "sandbox/users/SessionServant.h"

#include <EpSession.hh>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace hvc_test {

class RecordingSession : public hvc_sandbox::SessionServant {
public:
    RecordingSession(hvc_sandbox::SessionManagerServant& manager,
                     CosLifeCycle::FactoryFinder_ptr factories)
        : SessionServant(manager, "recording", factories) {}

    // A key as "id(kind) id(kind) ...".
    static std::string text(const CosLifeCycle::Key& key) {
        std::string out;
        for (CORBA::ULong i = 0; i < key.length(); ++i)
            out += std::string(i > 0 ? " " : "") + key[i].id.in() + "(" + key[i].kind.in() + ")";
        return out;
    }

    // The keys asked for, in order.
    std::vector<std::string> keys() {
        std::lock_guard<std::mutex> hold(lock);
        return asked;
    }

    // Answers find_factories instead of the factory finder when set.
    std::function<CosLifeCycle::Factories*(const CosLifeCycle::Key&)> answer;
    // Makes keyStringToObject raise CORBA::TRANSIENT for every key.
    bool unreachable = false;

    CosLifeCycle::Factories* find_factories(const CosLifeCycle::Key& key) override {
        {
            std::lock_guard<std::mutex> hold(lock);
            asked.push_back(text(key));
        }
        return answer ? answer(key) : SessionServant::find_factories(key);
    }

    CORBA::Object_ptr keyStringToObject(const char* key) override {
        if (unreachable)
            throw CORBA::TRANSIENT(0, CORBA::COMPLETED_NO);
        return SessionServant::keyStringToObject(key);
    }

    // Activates `servant` where sessions live; a new reference the caller owns.
    static EpSession::Session_ptr activate(RecordingSession* servant) {
        PortableServer::Servant_var<RecordingSession> held(servant);
        PortableServer::POA_var poa = servant->_default_POA();
        CORBA::Object_var ref = hvc_sandbox::Activation::activate(poa, servant);
        return EpSession::Session::_narrow(ref.in());
    }

private:
    std::mutex lock;
    std::vector<std::string> asked;
};

// A factory answer of the given objects, in order.
inline CosLifeCycle::Factories* factoriesOf(std::initializer_list<CORBA::Object_ptr> objects) {
    CosLifeCycle::Factories_var found = new CosLifeCycle::Factories;
    found->length(static_cast<CORBA::ULong>(objects.size()));
    CORBA::ULong i = 0;
    for (CORBA::Object_ptr o : objects)
        found[i++] = CORBA::Object::_duplicate(o);
    return found._retn();
}

} // namespace hvc_test
