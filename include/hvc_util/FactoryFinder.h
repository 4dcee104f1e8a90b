// Finding data factories through a session: the session is a
// CosLifeCycle::FactoryFinder keyed by store name, factory type and factory
// interface.
#pragma once

#include <hvc_util/Export.h>

#include <EpDataStore.hh>
#include <EpSession.hh>
#include <omniORB4/Naming.hh>

namespace hvc_util {

// Set of static operations; holds no state and is safe from any thread.
//
// Every findFactory returns a new reference to the first factory the session
// finds for the key (the caller owns it and narrows it to the interface it
// expects), or raises EpTypes::FailedOperationException: "No factories met
// the search criteria" when the session knows none (CosLifeCycle::NoFactory),
// "Error trying to find factory" for a nil session (after "Session object
// is_nil, can not find factories" on stderr), an empty answer, a nil first
// factory or any other CORBA failure, and "Unknown exception trying to find
// factory" for anything else. Null or empty parts are left out of the key.
class HVC_UTIL_API FactoryFinder {
public:
    static CORBA::Object_ptr findFactory(EpSession::Session_ptr session, const char* factoryType,
                                         const char* storeName);
    static CORBA::Object_ptr findFactory(EpSession::Session_ptr session, const char* factoryType,
                                         const char* storeName, const char* factoryInterface);
    static CORBA::Object_ptr findFactory(EpSession::Session_ptr session,
                                         const char* factoryInterface);
    // The key's store name and factory type, and `factoryInterface`.
    static CORBA::Object_ptr findFactory(EpSession::Session_ptr session,
                                         const EpDataStore::DataKey& key,
                                         const char* factoryInterface);
    static CORBA::Object_ptr findFactory(EpSession::Session_ptr session,
                                         const EpDataStore::StoreKey& key,
                                         const char* factoryInterface);

    // A key of one component per given part (neither null nor empty), in the
    // order store name (kind EpDataStore::STORE_NAME), factory type
    // (EpFactory::FACTORY_TYPE), factory interface
    // (EpFactory::FACTORY_INTERFACE). The caller deletes it.
    static CosNaming::Name* createFactoryKey(const char* storeName, const char* factoryType,
                                             const char* factoryInterface);

private:
    static CORBA::Object_ptr findFactoryObject(EpSession::Session_ptr session,
                                               const char* factoryType, const char* storeName,
                                               const char* factoryInterface);
};

} // namespace hvc_util
