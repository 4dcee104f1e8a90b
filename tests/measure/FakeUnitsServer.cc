#include "FakeUnitsServer.h"

#include "sandbox/Platform.h"
#include "sandbox/common/ServerServant.h"

namespace hvc_test {

namespace {

class AnsweringFinder : public POA_CosLifeCycle::FactoryFinder {
public:
    explicit AnsweringFinder(FakeUnitsServer::Answer a) : answer(std::move(a)) {}
    CosLifeCycle::Factories* find_factories(const CosLifeCycle::Key& key) override {
        keys.push_back(key.length() > 0 ? key[0].id.in() : "");
        return answer(keys.back());
    }
    FakeUnitsServer::Answer answer;
    std::vector<std::string> keys;
};

} // namespace

struct FakeUnitsServer::Servants {
    PortableServer::POA_var poa;
    PortableServer::Servant_var<AnsweringFinder> finder;
    PortableServer::Servant_var<hvc_sandbox::ServerServantOf<POA_EpUnitOfMeasureService::Server>>
        server;
    PortableServer::ObjectId_var finderId, serverId;
    CORBA::Object_var serverRef;
};

FakeUnitsServer::FakeUnitsServer(Answer answer) : servants(new Servants) {
    CORBA::ORB_var orb = hvc_sandbox::Platform::initOrb();
    CORBA::Object_var rootObj = orb->resolve_initial_references("RootPOA");
    servants->poa = PortableServer::POA::_narrow(rootObj);
    PortableServer::POAManager_var manager = servants->poa->the_POAManager();
    manager->activate();
    servants->finder = new AnsweringFinder(std::move(answer));
    servants->finderId = servants->poa->activate_object(servants->finder.in());
    CORBA::Object_var finderRef = servants->poa->id_to_reference(servants->finderId.in());
    CosLifeCycle::FactoryFinder_var f = CosLifeCycle::FactoryFinder::_narrow(finderRef.in());
    servants->server = new hvc_sandbox::ServerServantOf<POA_EpUnitOfMeasureService::Server>(f.in());
    servants->serverId = servants->poa->activate_object(servants->server.in());
    servants->serverRef = servants->poa->id_to_reference(servants->serverId.in());
}

FakeUnitsServer::~FakeUnitsServer() {
    try {
        servants->poa->deactivate_object(servants->serverId.in());
        servants->poa->deactivate_object(servants->finderId.in());
    } catch (const CORBA::Exception&) {
    }
    delete servants;
}

std::string FakeUnitsServer::ior() const {
    CORBA::ORB_var orb = hvc_sandbox::Platform::initOrb();
    CORBA::String_var text = orb->object_to_string(servants->serverRef.in());
    return text.in();
}

const std::vector<std::string>& FakeUnitsServer::keys() const {
    return servants->finder->keys;
}

CosLifeCycle::Factories* FakeUnitsServer::factories(std::vector<CORBA::Object_ptr> objects) {
    CosLifeCycle::Factories_var out = new CosLifeCycle::Factories;
    out->length(static_cast<CORBA::ULong>(objects.size()));
    for (CORBA::ULong i = 0; i < out->length(); ++i)
        out[i] = objects[i]; // consumes the caller's reference
    return out._retn();
}

} // namespace hvc_test
