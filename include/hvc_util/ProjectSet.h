// The project set a session works on.
#pragma once

#include <hvc_util/Export.h>

#include <EpProject.hh>
#include <EpSession.hh>

namespace hvc_util {

// Set of static operations; owns nothing. Every reference it returns is new
// and owned by the caller and carries the library's call timeout.
// Thread-safe.
class HVC_UTIL_API ProjectSet {
public:
    // The session's project set, or nil. A temporary session is given the
    // set named by halvercast.projectSetName (looked up and attached on every
    // call; one it already has is kept). A nil session writes "No Session
    // Object" to stderr and answers nil. Remote failures of the session pass.
    static EpProject::ProjectSet_ptr getProjectSet(EpSession::Session_ptr session);

private:
    // The set named by halvercast.projectSetName for the calling user; nil
    // when the variable is unset or when anything remote fails.
    static EpProject::ProjectSet_ptr getProjectSet();
};

} // namespace hvc_util
