// A named project set: its projects and its own properties.
#pragma once

#include "PropertySetServant.h"

#include <EpProject.hh>

#include <mutex>
#include <string>
#include <vector>

namespace hvc_sandbox {

// Its projects and properties are kept in the platform's state, which
// outlives it, under its user's account and its name.
class ProjectSetServant : public virtual POA_EpProject::ProjectSet, public PropertySetServant {
public:
    // Reads what the state keeps of the set.
    ProjectSetServant(std::string name, StateStore& store, std::string account);

    // The object id it is activated under and kept by.
    static std::string objectIdOf(const std::string& account, const std::string& name);

    char* name() override;
    DosTypes::StringSeq* getProjectNames() override;
    // EpTypes::BadArgumentsException for an empty data store or project name.
    void addProject(const char* dataStoreName, const char* projectName) override;

private:
    const std::string setName;
    StateStore& store;
    const std::string account;
    std::mutex projectsLock;
    std::vector<std::string> projects;
};

} // namespace hvc_sandbox
