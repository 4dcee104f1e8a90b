#include "ProjectSetManagerServant.h"

#include "sandbox/common/Activation.h"

#include "ProjectSetServant.h"

#include <hvc_util/Identifier.h>

#include <vector>

namespace hvc_sandbox {

ProjectSetManagerServant::ProjectSetManagerServant(PortableServer::POA_ptr where, StateStore& state,
                                                   std::string user)
    : poa(PortableServer::POA::_duplicate(where)), store(state), account(std::move(user)) {
    std::vector<std::string> names;
    {
        StateStore::Statement read(store, "SELECT name FROM project_sets WHERE account = ?");
        read.bind(1, account);
        while (read.step())
            names.push_back(read.text(0));
    }
    std::lock_guard<std::mutex> hold(lock);
    for (const std::string& name : names)
        EpProject::ProjectSet_var set = activate(name);
}

bool ProjectSetManagerServant::has(const std::string& name) {
    std::lock_guard<std::mutex> hold(lock);
    return sets.count(name) != 0;
}

EpProject::ProjectSet_ptr ProjectSetManagerServant::activate(const std::string& name) {
    PortableServer::Servant_var<ProjectSetServant> servant(
        new ProjectSetServant(name, store, account));
    CORBA::Object_var obj =
        Activation::activate(poa, ProjectSetServant::objectIdOf(account, name), servant.in());
    EpProject::ProjectSet_var set = EpProject::ProjectSet::_narrow(obj);
    if (CORBA::is_nil(set))
        throw CORBA::INTERNAL(0, CORBA::COMPLETED_NO);
    sets.emplace(name, EpProject::ProjectSet::_duplicate(set.in()));
    return set._retn();
}

EpProject::ProjectSet_ptr ProjectSetManagerServant::getProjectSet(const char* name,
                                                                  EpUser::UserProfile_ptr) {
    std::lock_guard<std::mutex> hold(lock);
    auto found = sets.find(name);
    if (found == sets.end())
        throw EpProject::ProjectSetNotExistException(
            ("No project set named '" + std::string(name) + "'").c_str());
    return EpProject::ProjectSet::_duplicate(found->second.in());
}

EpProject::ProjectSet_ptr ProjectSetManagerServant::createProjectSet(const char* name) {
    if (!hvc_util::Identifier::isValidIdentifier(name))
        throw EpTypes::BadArgumentsException(
            ("'" + std::string(name != nullptr ? name : "") + "' is not a valid project set name")
                .c_str());
    std::lock_guard<std::mutex> hold(lock);
    if (sets.count(name) != 0)
        throw EpProject::DuplicateProjectSetException(
            ("A project set named '" + std::string(name) + "' exists already").c_str());
    {
        StateStore::Transaction writing(store);
        StateStore::Statement insert(store, "INSERT INTO project_sets(account, name) VALUES(?, ?)");
        insert.bind(1, account).bind(2, std::string(name)).run();
        writing.commit();
    }
    return activate(name);
}

DosTypes::StringSeq* ProjectSetManagerServant::getProjectSetNames() {
    std::lock_guard<std::mutex> hold(lock);
    DosTypes::StringSeq_var names = new DosTypes::StringSeq;
    names->length(static_cast<CORBA::ULong>(sets.size()));
    CORBA::ULong i = 0;
    for (const auto& entry : sets)
        names[i++] = entry.first.c_str();
    return names._retn();
}

PortableServer::POA_ptr ProjectSetManagerServant::_default_POA() {
    return PortableServer::POA::_duplicate(poa.in());
}

} // namespace hvc_sandbox
