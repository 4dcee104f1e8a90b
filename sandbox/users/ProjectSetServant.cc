#include "ProjectSetServant.h"

namespace hvc_sandbox {

ProjectSetServant::ProjectSetServant(std::string name, StateStore& state, std::string user)
    : setName(std::move(name)), store(state), account(std::move(user)) {
    StateStore::Statement read(store, "SELECT project FROM projects WHERE account = ? AND"
                                      " set_name = ? ORDER BY position");
    read.bind(1, account).bind(2, setName);
    while (read.step())
        projects.push_back(read.text(0));
    keepIn(store, objectIdOf(account, setName));
}

std::string ProjectSetServant::objectIdOf(const std::string& account, const std::string& name) {
    // Set names are identifiers and accounts hold no ':', so the id is unique.
    return "projectset:" + account + ":" + name;
}

char* ProjectSetServant::name() {
    return CORBA::string_dup(setName.c_str());
}

DosTypes::StringSeq* ProjectSetServant::getProjectNames() {
    std::lock_guard<std::mutex> hold(projectsLock);
    DosTypes::StringSeq_var names = new DosTypes::StringSeq;
    names->length(static_cast<CORBA::ULong>(projects.size()));
    for (CORBA::ULong i = 0; i < names->length(); ++i)
        names[i] = projects[i].c_str();
    return names._retn();
}

void ProjectSetServant::addProject(const char* dataStoreName, const char* projectName) {
    if (dataStoreName == nullptr || *dataStoreName == '\0' || projectName == nullptr ||
        *projectName == '\0')
        throw EpTypes::BadArgumentsException("A project needs a data store and a project name");
    std::lock_guard<std::mutex> hold(projectsLock);
    const std::string project = std::string(dataStoreName) + "/" + projectName;
    StateStore::Transaction writing(store);
    StateStore::Statement insert(store, "INSERT INTO projects(account, set_name, position,"
                                        " project) VALUES(?, ?, ?, ?)");
    insert.bind(1, account).bind(2, setName);
    insert.bind(3, static_cast<std::int64_t>(projects.size())).bind(4, project).run();
    writing.commit();
    projects.push_back(project);
}

} // namespace hvc_sandbox
