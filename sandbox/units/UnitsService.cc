#include "UnitsService.h"

#include "UnitServants.h"

#include "sandbox/Platform.h"
#include "sandbox/common/Activation.h"
#include "sandbox/common/FactoryFinderServant.h"
#include "sandbox/common/ServerServant.h"

#include <stdexcept>

namespace hvc_sandbox {

// The bytes of units.json, built in by the build.
extern const unsigned char unitsJson[];
extern const std::size_t unitsJsonSize;

namespace {

using hvc_util::ServiceCatalogue;

template <class Servant>
EpUnitOfMeasureService::Unit_ptr activateAs(PortableServer::POA_ptr poa, UnitsService& room,
                                            const UnitCatalogue::Definition& d) {
    PortableServer::Servant_var<Servant> servant(new Servant(room, d));
    // A unit is its acronym: the same object across restarts of a platform
    // with a home.
    CORBA::Object_var obj = Activation::activate(poa, "unit:" + d.acronym, servant.in());
    return EpUnitOfMeasureService::Unit::_narrow(obj.in());
}

} // namespace

void UnitsService::start(Platform& platform, PortableServer::POA_ptr poa) {
    nlohmann::json data;
    try {
        data = nlohmann::json::parse(unitsJson, unitsJson + unitsJsonSize);
    } catch (const nlohmann::json::exception& e) {
        throw std::runtime_error(std::string("units/units.json: ") + e.what());
    }
    units = std::make_unique<UnitCatalogue>(data);
    unitPoa = PortableServer::POA::_duplicate(poa);
    for (const std::string& acronym : units->acronyms())
        CORBA::release(activate(*units->find(acronym)));

    PortableServer::Servant_var<UnitDeclarationServant> declaration(
        new UnitDeclarationServant(*this));
    CORBA::Object_var declarationRef = Activation::activate(poa, "declaration", declaration.in());
    PortableServer::Servant_var<UnitFinderServant> finder(new UnitFinderServant(*this));
    CORBA::Object_var finderRef = Activation::activate(poa, "finder", finder.in());

    // Keyed by repository id, or "*" for both: the declaration first.
    PortableServer::Servant_var<FactoryFinderServant> factories(new FactoryFinderServant);
    const std::string kind = EpUnitOfMeasureService::FACTORY_KEY_KIND;
    factories->add({{kind, "*"}, {kind, EpUnitOfMeasureService::Declaration::_PD_repoId}},
                   declarationRef);
    factories->add({{kind, "*"}, {kind, EpUnitOfMeasureService::Finder::_PD_repoId}}, finderRef);
    CORBA::Object_var factoriesRef = Activation::activate(poa, "factories", factories.in());
    CosLifeCycle::FactoryFinder_var factoryFinder =
        CosLifeCycle::FactoryFinder::_narrow(factoriesRef.in());

    PortableServer::Servant_var<ServerServantOf<POA_EpUnitOfMeasureService::Server>> server(
        new ServerServantOf<POA_EpUnitOfMeasureService::Server>(factoryFinder.in()));
    CORBA::Object_var serverRef = Activation::activate(poa, "server", server.in());
    platform.publish(ServiceCatalogue::Service::UnitsServer, poa, serverRef.in());
}

EpUnitOfMeasureService::Unit_ptr UnitsService::activate(const UnitCatalogue::Definition& d) {
    std::lock_guard<std::mutex> hold(lock);
    auto found = objects.find(d.acronym);
    if (found != objects.end())
        return EpUnitOfMeasureService::Unit::_duplicate(found->second.in());
    EpUnitOfMeasureService::Unit_var made;
    switch (d.kind) {
    case UnitCatalogue::Kind::Linear:
        made = activateAs<LinearUnitServant>(unitPoa.in(), *this, d);
        break;
    case UnitCatalogue::Kind::Angular:
        made = activateAs<AngularUnitServant>(unitPoa.in(), *this, d);
        break;
    default:
        made = activateAs<UnitServant>(unitPoa.in(), *this, d);
        break;
    }
    objects[d.acronym] = EpUnitOfMeasureService::Unit::_duplicate(made.in());
    return made._retn();
}

EpUnitOfMeasureService::Unit_ptr UnitsService::unit(const std::string& acronym) {
    std::lock_guard<std::mutex> hold(lock);
    auto found = objects.find(acronym);
    return found != objects.end() ? EpUnitOfMeasureService::Unit::_duplicate(found->second.in())
                                  : EpUnitOfMeasureService::Unit::_nil();
}

const UnitCatalogue::Definition* UnitsService::definitionOf(EpUnitOfMeasureService::Unit_ptr unit) {
    if (CORBA::is_nil(unit))
        return nullptr;
    try {
        PortableServer::ServantBase_var servant = unitPoa->reference_to_servant(unit);
        if (auto* identity = dynamic_cast<UnitIdentity*>(servant.in()))
            return &identity->definition();
        return nullptr;
    } catch (const PortableServer::POA::WrongAdapter&) {
    } catch (const PortableServer::POA::ObjectNotActive&) {
        return nullptr;
    }
    // Another service's unit: known here when its acronym is.
    CORBA::String_var acronym = unit->acronym();
    return units->find(acronym.in());
}

int UnitsService::lookups(const std::string& acronym) const {
    std::lock_guard<std::mutex> hold(lock);
    auto found = counts.find(acronym);
    return found != counts.end() ? found->second : 0;
}

void UnitsService::countLookup(const std::string& acronym) {
    std::lock_guard<std::mutex> hold(lock);
    ++counts[acronym];
}

} // namespace hvc_sandbox
