// A platform user's profile: the user's own properties.
#pragma once

#include "PropertySetServant.h"

#include <EpUser.hh>

#include <string>

namespace hvc_sandbox {

class UserProfileServant : public virtual POA_EpUser::UserProfile, public PropertySetServant {
public:
    explicit UserProfileServant(std::string account);

    char* account() override;

private:
    const std::string accountName;
};

} // namespace hvc_sandbox
