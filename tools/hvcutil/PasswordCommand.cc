// hvcutil password: the user's project passwords, kept sealed by the profile.
#include "CommandTable.h"
#include "Reporting.h"
#include "SessionOptions.h"

#include "hvc_util/UserProfile.h"

#include <cstdio>

namespace hvcutil {

namespace {

const char* const usage = "set STORE PROJECT PASSWORD | exists STORE PROJECT [-envfile FILE]";

int run(const std::vector<std::string>& args) {
    const std::vector<std::string> words = standardOptions(args);
    if (words.size() == 4 && words[0] == "set") {
        EpUser::UserProfile_var profile = hvc_util::UserProfile::getUserProfile();
        const char* stores[] = {words[1].c_str()};
        const char* projects[] = {words[2].c_str()};
        const char* passwords[] = {words[3].c_str()};
        hvc_util::UserProfile::setProjectPassword(profile, stores, projects, passwords, 1);
        return 0;
    }
    if (words.size() == 3 && words[0] == "exists") {
        EpUser::UserProfile_var profile = hvc_util::UserProfile::getUserProfile();
        const bool known = hvc_util::UserProfile::projectPasswordExists(profile, words[1].c_str(),
                                                                        words[2].c_str());
        std::printf("%s\n", known ? "yes" : "no");
        return known ? 0 : 1;
    }
    return usageOf("password", usage);
}

const CommandRegistration registration({"password", usage,
                                        "record a project password (sealed before it leaves "
                                        "this process) or ask whether one is recorded",
                                        run});

} // namespace

} // namespace hvcutil
