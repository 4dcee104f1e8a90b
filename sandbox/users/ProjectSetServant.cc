#include "ProjectSetServant.h"

namespace hvc_sandbox {

ProjectSetServant::ProjectSetServant(std::string name) : setName(std::move(name)) {}

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
    projects.push_back(std::string(dataStoreName) + "/" + projectName);
}

} // namespace hvc_sandbox
