// A user's project-set manager: the user's project sets by name.
#pragma once

#include <EpProject.hh>

#include <map>
#include <mutex>
#include <string>

namespace hvc_sandbox {

// Activates the sets it creates in `poa`, which owns them; holds one
// reference of its own to each set and to the POA.
class ProjectSetManagerServant : public POA_EpProject::ProjectSetManager {
public:
    explicit ProjectSetManagerServant(PortableServer::POA_ptr poa);

    // EpProject::ProjectSetNotExistException for an unknown name.
    EpProject::ProjectSet_ptr getProjectSet(const char* name,
                                            EpUser::UserProfile_ptr profile) override;
    // EpTypes::BadArgumentsException for a name that is no valid identifier;
    // EpProject::DuplicateProjectSetException for a name in use.
    EpProject::ProjectSet_ptr createProjectSet(const char* name) override;
    DosTypes::StringSeq* getProjectSetNames() override;

    PortableServer::POA_ptr _default_POA() override;

private:
    PortableServer::POA_var poa;
    std::mutex lock;
    std::map<std::string, EpProject::ProjectSet_var> sets;
};

} // namespace hvc_sandbox
