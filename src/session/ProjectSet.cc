// Project sets of sessions, from the user's project-set manager.
#include "hvc_util/ProjectSet.h"

#include "hvc_util/Session.h"
#include "hvc_util/UserProfile.h"

#include "bindings/CallTimeout.h"
#include "bindings/Diagnostics.h"
#include "bindings/Environment.h"

#include <cstring>

namespace hvc_util {

namespace {

const char* const projectSetNameVariable = "halvercast.projectSetName";

} // namespace

EpProject::ProjectSet_ptr ProjectSet::getProjectSet(EpSession::Session_ptr session) {
    if (CORBA::is_nil(session)) {
        Diagnostics::print("No Session Object\n");
        return EpProject::ProjectSet::_nil();
    }
    CORBA::String_var marker = session->marker();
    if (std::strcmp(marker.in(), Session::temporarySessionName.getValue()) != 0) {
        EpProject::ProjectSet_var own = session->getProjectSet();
        CallTimeout::apply(own);
        return own._retn();
    }
    EpProject::ProjectSet_var named = getProjectSet();
    if (!CORBA::is_nil(named)) {
        try {
            session->setProjectSet(named);
        } catch (const EpSession::ProjectSetAlreadyExistException&) {
        }
    }
    return named._retn();
}

EpProject::ProjectSet_ptr ProjectSet::getProjectSet() {
    try {
        EpUser::UserProfile_var profile = UserProfile::getUserProfile();
        if (CORBA::is_nil(profile))
            return EpProject::ProjectSet::_nil();
        CORBA::Object_var handedOut = profile->getProjectSetManager();
        CallTimeout::apply(handedOut);
        EpProject::ProjectSetManager_var sets = EpProject::ProjectSetManager::_narrow(handedOut);
        if (CORBA::is_nil(sets))
            return EpProject::ProjectSet::_nil();
        CallTimeout::apply(sets);
        const std::optional<std::string> name = Environment::get(projectSetNameVariable);
        if (!name)
            return EpProject::ProjectSet::_nil();
        EpProject::ProjectSet_var set = sets->getProjectSet(name->c_str(), profile);
        CallTimeout::apply(set);
        return set._retn();
    } catch (const CORBA::Exception&) {
        return EpProject::ProjectSet::_nil();
    }
}

} // namespace hvc_util
