// A named project set: its projects and its own properties.
#pragma once

#include "PropertySetServant.h"

#include <EpProject.hh>

#include <mutex>
#include <string>
#include <vector>

namespace hvc_sandbox {

class ProjectSetServant : public virtual POA_EpProject::ProjectSet, public PropertySetServant {
public:
    explicit ProjectSetServant(std::string name);

    char* name() override;
    DosTypes::StringSeq* getProjectNames() override;
    // EpTypes::BadArgumentsException for an empty data store or project name.
    void addProject(const char* dataStoreName, const char* projectName) override;

private:
    const std::string setName;
    std::mutex projectsLock;
    std::vector<std::string> projects;
};

} // namespace hvc_sandbox
