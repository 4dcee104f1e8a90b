#include "UserProfileServant.h"

namespace hvc_sandbox {

UserProfileServant::UserProfileServant(std::string account) : accountName(std::move(account)) {}

char* UserProfileServant::account() {
    return CORBA::string_dup(accountName.c_str());
}

} // namespace hvc_sandbox
