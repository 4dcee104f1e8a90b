// One session of a user: its name, marker, identifier, project set and
// properties (the interpreter and source-priority tables among them).
#pragma once

#include "PropertySetServant.h"

#include "sandbox/common/EntityIdentity.h"

#include <EpSession.hh>

#include <mutex>
#include <string>

namespace hvc_sandbox {

class SessionManagerServant;

// Activated by its session manager, whose POA then owns it. Holds one
// reference of its own to its project set and to the platform's factory
// finder; refers to the manager, which outlives it. Its marker, project set
// and properties are kept in the platform's state under its object id.
class SessionServant : public IdentifiedEntity<POA_EpSession::Session>, public PropertySetServant {
public:
    // A new session with a fresh identity.
    SessionServant(SessionManagerServant& manager, std::string name,
                   CosLifeCycle::FactoryFinder_ptr factories);
    // A recorded session, as it was: its identity, marker and project set
    // (nil allowed).
    SessionServant(SessionManagerServant& manager, std::string name,
                   CosLifeCycle::FactoryFinder_ptr factories, const EntityIdentity& identity,
                   std::string marker, EpProject::ProjectSet_ptr projectSet);

    // The object id it is activated under and kept by: "session:" and its
    // identifier's text.
    const std::string& objectId() const { return key; }
    // Records the session in the platform's state.
    void record(StateStore& store, const std::string& account);

    char* name() override;
    char* marker() override;
    // Raises CORBA::COMM_FAILURE when the manager was told to fail marking.
    void marker(const char* text) override;
    EpProject::ProjectSet_ptr getProjectSet() override;
    // Raises EpSession::ProjectSetAlreadyExistException once the session has
    // a project set.
    void setProjectSet(EpProject::ProjectSet_ptr projectSet) override;
    // The data object a current key names, made by its store's factories
    // (found through the platform's factory finder). Raises
    // EpTypes::KeyConversionException (code 4) for a key no store knows, and
    // CORBA::BAD_PARAM for a key in the older form, which the session leaves
    // to its client.
    CORBA::Object_ptr keyStringToObject(const char* keyString) override;

    // The platform's factories; CosLifeCycle::NoFactory when it has none.
    CosLifeCycle::Factories* find_factories(const CosLifeCycle::Key& key) override;

    // Sessions are neither copied nor moved.
    CosLifeCycle::LifeCycleObject_ptr copy(CosLifeCycle::FactoryFinder_ptr there,
                                           const CosLifeCycle::Criteria& criteria) override;
    void move(CosLifeCycle::FactoryFinder_ptr there,
              const CosLifeCycle::Criteria& criteria) override;
    // Leaves the manager and the POA, unless the manager was told to refuse
    // this session's removal (CosLifeCycle::NotRemovable).
    void remove() override;

    // The manager's POA, so that references are made where the session lives.
    PortableServer::POA_ptr _default_POA() override;

private:
    SessionManagerServant& manager;
    const std::string sessionName;
    const std::string key;
    CosLifeCycle::FactoryFinder_var factories;
    std::mutex stateLock;
    std::string markerText;
    EpProject::ProjectSet_var projectSet;
};

} // namespace hvc_sandbox
