// hvcutil alias: who the local account belongs to, and registering it.
#include "CommandTable.h"
#include "Reporting.h"
#include "SessionOptions.h"

#include "hvc_util/UserProfile.h"

#include <cstdio>

namespace hvcutil {

namespace {

const char* const usage =
    "whoami | register HOST USER [TEXT] [--scope local|domain|global] [-envfile FILE]";

bool scopeNamed(const std::string& name, EpUser::AccountScope& scope) {
    if (name == "local")
        scope = EpUser::SCOPE_LOCAL;
    else if (name == "domain")
        scope = EpUser::SCOPE_DOMAIN;
    else if (name == "global")
        scope = EpUser::SCOPE_GLOBAL;
    else
        return false;
    return true;
}

int run(const std::vector<std::string>& args) {
    std::vector<std::string> words = standardOptions(args);
    EpUser::AccountScope scope = EpUser::SCOPE_LOCAL;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i] != "--scope")
            continue;
        if (i + 1 == words.size() || !scopeNamed(words[i + 1], scope))
            return usageOf("alias", usage);
        words.erase(words.begin() + static_cast<long>(i), words.begin() + static_cast<long>(i) + 2);
        break;
    }
    if (words.size() == 1 && words[0] == "whoami") {
        EpUser::UserInfo info = hvc_util::UserProfile::getUserInfo();
        std::printf("id: %ld\naccount: %s\nname: %s\nemail: %s\n", static_cast<long>(info.id),
                    info.account.in(), info.fullName.in(), info.email.in());
        return exitOk;
    }
    if ((words.size() == 3 || words.size() == 4) && words[0] == "register") {
        hvc_util::UserProfile::registerAlias(scope, words[1].c_str(), words[2].c_str(),
                                             words.size() == 4 ? words[3].c_str() : "");
        std::printf("registered\n");
        return exitOk;
    }
    return usageOf("alias", usage);
}

const CommandRegistration registration({"alias", usage,
                                        "show the platform user of the local account, or "
                                        "register it as an alias of a UNIX account's owner",
                                        run});

} // namespace

} // namespace hvcutil
