// A user's project-set manager: the user's project sets by name.
#pragma once

#include "sandbox/common/StateStore.h"

#include <EpProject.hh>

#include <map>
#include <mutex>
#include <string>

namespace hvc_sandbox {

// Activates the sets it creates in `poa`, which owns them; holds one
// reference of its own to each set and to the POA. Its user's sets are kept
// in the platform's state, which outlives it.
class ProjectSetManagerServant : public POA_EpProject::ProjectSetManager {
public:
    // Activates every set of `account` the state records.
    ProjectSetManagerServant(PortableServer::POA_ptr poa, StateStore& store, std::string account);

    // Whether the user has a set of that name.
    bool has(const std::string& name);

    // EpProject::ProjectSetNotExistException for an unknown name.
    EpProject::ProjectSet_ptr getProjectSet(const char* name,
                                            EpUser::UserProfile_ptr profile) override;
    // EpTypes::BadArgumentsException for a name that is no valid identifier;
    // EpProject::DuplicateProjectSetException for a name in use.
    EpProject::ProjectSet_ptr createProjectSet(const char* name) override;
    DosTypes::StringSeq* getProjectSetNames() override;

    PortableServer::POA_ptr _default_POA() override;

private:
    // Activates the set's servant; the caller holds `lock`.
    EpProject::ProjectSet_ptr activate(const std::string& name);

    PortableServer::POA_var poa;
    StateStore& store;
    const std::string account;
    std::mutex lock;
    std::map<std::string, EpProject::ProjectSet_var> sets;
};

} // namespace hvc_sandbox
