// The user alias service: maps operating-system accounts to platform users.
#pragma once

#include "UserDirectory.h"

#include <EpUser.hh>

namespace hvc_sandbox {

// Refers to the platform's user directory, which outlives it.
class AliasServiceServant : public POA_EpUser::AliasService {
public:
    explicit AliasServiceServant(UserDirectory& users);

    char* getAccount(const char* principal) override;
    char* getAccountFor(const char* principal, const char* hostName, const char* userName,
                        const char* osName) override;
    EpUser::UserInfo* lookupAlias(const EpUser::AliasInfo& alias) override;
    void registerAlias(const char* userKey, const EpUser::AliasInfo& alias,
                       const char* text) override;

private:
    UserDirectory& users;
};

} // namespace hvc_sandbox
