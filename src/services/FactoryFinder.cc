#include "hvc_util/FactoryFinder.h"

#include "bindings/Diagnostics.h"

#include <EpFactory.hh>

namespace hvc_util {

namespace {

bool given(const char* part) {
    return part != nullptr && *part != '\0';
}

void addComponent(CosNaming::Name& key, CORBA::ULong& at, const char* id, const char* kind) {
    if (!given(id))
        return;
    key[at].id = CORBA::string_dup(id);
    key[at].kind = CORBA::string_dup(kind);
    ++at;
}

const char* const nilSession = "Session object is_nil, can not find factories";
const char* const notFound = "Error trying to find factory";

} // namespace

CosNaming::Name* FactoryFinder::createFactoryKey(const char* storeName, const char* factoryType,
                                                 const char* factoryInterface) {
    const CORBA::ULong parts = (given(storeName) ? 1 : 0) + (given(factoryType) ? 1 : 0) +
                               (given(factoryInterface) ? 1 : 0);
    CosNaming::Name_var key = new CosNaming::Name;
    key->length(parts);
    CORBA::ULong at = 0;
    addComponent(key.inout(), at, storeName, EpDataStore::STORE_NAME);
    addComponent(key.inout(), at, factoryType, EpFactory::FACTORY_TYPE);
    addComponent(key.inout(), at, factoryInterface, EpFactory::FACTORY_INTERFACE);
    return key._retn();
}

CORBA::Object_ptr FactoryFinder::findFactoryObject(EpSession::Session_ptr session,
                                                   const char* factoryType, const char* storeName,
                                                   const char* factoryInterface) {
    try {
        CosNaming::Name_var key = createFactoryKey(storeName, factoryType, factoryInterface);
        if (CORBA::is_nil(session)) {
            Diagnostics::print("%s\n", nilSession);
            throw EpTypes::FailedOperationException(nilSession);
        }
        CosLifeCycle::Factories_var factories = session->find_factories(key.in());
        // An empty answer or a nil factory is no factory to hand out.
        if (factories->length() == 0 || CORBA::is_nil(factories[0]))
            throw EpTypes::FailedOperationException(notFound);
        return CORBA::Object::_duplicate(factories[0].in());
    } catch (const CosLifeCycle::NoFactory&) {
        throw EpTypes::FailedOperationException("No factories met the search criteria");
    } catch (const CORBA::Exception&) {
        throw EpTypes::FailedOperationException(notFound);
    } catch (...) {
        throw EpTypes::FailedOperationException("Unknown exception trying to find factory");
    }
}

CORBA::Object_ptr FactoryFinder::findFactory(EpSession::Session_ptr session,
                                             const char* factoryType, const char* storeName) {
    return findFactoryObject(session, factoryType, storeName, nullptr);
}

CORBA::Object_ptr FactoryFinder::findFactory(EpSession::Session_ptr session,
                                             const char* factoryType, const char* storeName,
                                             const char* factoryInterface) {
    return findFactoryObject(session, factoryType, storeName, factoryInterface);
}

CORBA::Object_ptr FactoryFinder::findFactory(EpSession::Session_ptr session,
                                             const char* factoryInterface) {
    return findFactoryObject(session, nullptr, nullptr, factoryInterface);
}

CORBA::Object_ptr FactoryFinder::findFactory(EpSession::Session_ptr session,
                                             const EpDataStore::DataKey& key,
                                             const char* factoryInterface) {
    return findFactoryObject(session, key.factoryType.in(), key.storeName.in(), factoryInterface);
}

CORBA::Object_ptr FactoryFinder::findFactory(EpSession::Session_ptr session,
                                             const EpDataStore::StoreKey& key,
                                             const char* factoryInterface) {
    return findFactoryObject(session, key.factoryType.in(), key.storeName.in(), factoryInterface);
}

} // namespace hvc_util
