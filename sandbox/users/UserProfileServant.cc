#include "UserProfileServant.h"

#include "ProjectSetManagerServant.h"
#include "SessionManagerServant.h"
#include "sandbox/common/Activation.h"

#include <EpProject.hh>

#include <cstring>

namespace hvc_sandbox {

namespace {

const char* const defaultProjectSet = "Default";

bool isPasswordTable(const char* name) {
    return name != nullptr &&
           std::strcmp(name, EpProject::DataStoreDescriptor::PROP_DATASTORE_PASSWORD) == 0;
}

} // namespace

UserProfileServant::UserProfileServant(std::string account, PortableServer::POA_ptr poa,
                                       const PasswordTable& table, StateStore& store,
                                       CosLifeCycle::FactoryFinder_ptr factories)
    : accountName(std::move(account)), passwords(table),
      sessionManager(new SessionManagerServant(poa, factories, store, accountName)),
      projectSetManager(new ProjectSetManagerServant(poa, store, accountName)) {
    keepIn(store, objectIdOf(accountName));
    // The project sets come first: sessions name theirs.
    sessionManager->restore();
    sessionManagerRef = Activation::activate(poa, "sessions:" + accountName, sessionManager.in());
    projectSetManagerRef =
        Activation::activate(poa, "projectsets:" + accountName, projectSetManager.in());
    // Every user starts with one project set to work in.
    if (!projectSetManager->has(defaultProjectSet))
        EpProject::ProjectSet_var initial = projectSetManager->createProjectSet(defaultProjectSet);
}

std::string UserProfileServant::objectIdOf(const std::string& account) {
    return "profile:" + account;
}

char* UserProfileServant::account() {
    return CORBA::string_dup(accountName.c_str());
}

CORBA::Object_ptr UserProfileServant::getSessionManager() {
    std::lock_guard<std::mutex> hold(lock);
    return CORBA::Object::_duplicate(sessionManagerRef.in());
}

CORBA::Object_ptr UserProfileServant::getProjectSetManager() {
    return CORBA::Object::_duplicate(projectSetManagerRef.in());
}

CORBA::Boolean UserProfileServant::checkProjectPassword(const char* dataStoreName,
                                                        const char* projectName,
                                                        const char* password) {
    CORBA::Any table;
    if (!lookUp(EpProject::DataStoreDescriptor::PROP_DATASTORE_PASSWORD, table))
        return false;
    std::string clear;
    return passwords.open(table, dataStoreName, projectName, clear) && clear == password;
}

void UserProfileServant::define_property(const char* name, const CORBA::Any& value) {
    if (isPasswordTable(name) && !passwords.acceptable(value))
        throw CosPropertyService::UnsupportedProperty();
    PropertySetServant::define_property(name, value);
}

void UserProfileServant::handOutSessionManager(CORBA::Object_ptr manager) {
    std::lock_guard<std::mutex> hold(lock);
    sessionManagerRef = CORBA::Object::_duplicate(manager);
}

void UserProfileServant::store(const std::string& name, const CORBA::Any& value) {
    PropertySetServant::define_property(name.c_str(), value);
}

} // namespace hvc_sandbox
