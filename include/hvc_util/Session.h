// The process's sessions on the user's session manager, and their properties.
#pragma once

#include <hvc_util/Export.h>

#include <hvc_util/String.h>

#include <CosPropertyService.hh>
#include <DosTypes.hh>
#include <EpDataStore.hh>
#include <EpProject.hh>
#include <EpSession.hh>

#include <atomic>

namespace hvc_util {

// Set of static operations. Owns the cached session manager reference for the
// life of the process; every reference it returns is new and owned by the
// caller, who releases it. Failures are EpTypes::FailedOperationException
// unless an operation says otherwise. Thread-safe: threads asking for the
// manager at once share one resolution, temporary names stay distinct, and
// the session name variable is read and written under the library's
// environment lock. The manager and the sessions handed out carry the
// library's call timeout.
class HVC_UTIL_API Session {
public:
    // The marker text of a temporary session: "temporarySession".
    static const String temporarySessionName;

    // Whether `name` is a valid identifier (Identifier::isValidIdentifier).
    static bool isValidSessionName(const char* name);

    // The user's session manager, from the user's profile. Raises the
    // profile's failure reason, "User Profile returned bad
    // ProjectSetManager." when the profile hands out no session manager,
    // "Could not connect to the Halvercast UserServer" for other CORBA
    // failures, "Unknown exception trying to connnect to the Halvercast
    // UserServer" for anything else.
    static EpSession::SessionManager_ptr getSessionManager();

    // The session named `name`. Raises EpSession::SessionNotExistException
    // and EpTypes::BadArgumentsException as the manager does, "Could not
    // retrieve the session manager from the Halvercast UserServer" for other
    // CORBA failures, "Unknown exception trying to connnect to the Halvercast
    // UserServer" for anything else.
    static EpSession::Session_ptr getSession(String name);

    // The process's current session: the one named by halvercast.sessionName,
    // or, with the variable unset, a new temporary session (marked and named
    // in the variable; a temporary name already in use on the platform, as
    // another process may have made it in the same second, is followed by the
    // next one). Nil when the named session cannot be had or no
    // session could be created and marked; a new session that could not be
    // marked is removed again (if its server allows) rather than left
    // unmarked.
    static EpSession::Session_ptr getSession();

    // The session's identifier in its text form. Raises CORBA::BAD_PARAM for
    // a nil session; remote failures pass.
    static String getSessionUUID(EpSession::Session_ptr session);

    // A new session named `name` with `projectSet` (nil allowed); nil for a
    // null or empty name, after the manager was obtained. Raises what
    // getSessionManager raises, EpSession::DuplicateNameException and
    // EpTypes::BadArgumentsException as the manager does, "Could not create a
    // session" for other CORBA failures, "Unknown exception trying to create
    // a session" for anything else.
    static EpSession::Session_ptr createSession(const char* name,
                                                EpProject::ProjectSet_ptr projectSet);

    // As above without a project set, but every failure of the three kinds is
    // written as one line to stderr and answered with nil.
    static EpSession::Session_ptr createSession(const char* name);

    // Removes `session` when its marker is exactly temporarySessionName; a
    // session that refuses removal stays. Remote failures pass.
    static void removeIfTemporary(EpSession::Session_ptr session);

    // "temp_DD_Mon_YYYY_HH_MM_SS_N" of the current local time, N counting the
    // names made in this process from 1.
    static String createTemporaryName();

    // Acts on the options -session NAME, -projectSet NAME and -envfile PATH
    // and returns the other arguments, in order. The result is an array of
    // `argc` slots of which the first *newArgc hold copies; the caller owns
    // the array and the copies and releases each with delete[]. Never throws;
    // failures are lines on stderr.
    static char** parseCmdLineArgs(const char** argv, int argc, int* newArgc);

    // The interpreter recorded for the project, or an unset String.
    static String getInterpreter(EpSession::Session_ptr session, const char* dataStoreName,
                                 const char* projectName);

    // A copy of the whole interpreter table; empty when none is recorded.
    static CosPropertyService::Properties getInterpreters(EpSession::Session_ptr session);

    // Records `interpreter` for the project, keeping the table's order.
    static void setInterpreter(EpSession::Session_ptr session, const char* dataStoreName,
                               const char* projectName, const char* interpreter);

    // A new copy of the project's source priorities, owned by the caller (who
    // deletes it); empty when none is recorded.
    static DosTypes::StringSeq* getSourcePriority(EpSession::Session_ptr session,
                                                  const char* dataStoreName,
                                                  const char* projectName);

    // Records `priorities`, most preferred first, for the project.
    static void setSourcePriority(EpSession::Session_ptr session, const char* dataStoreName,
                                  const char* projectName, const DosTypes::StringSeq& priorities);

    // The data object `key` names in `session` (a null key counts as the
    // empty text): a new reference owned by the caller. The session converts
    // the key; when that fails with a CORBA system exception the key is taken
    // in the older form ("...|StoreKey|name=STORE|factoryType=TYPE...") and
    // converted through the store's factories, found with FactoryFinder. Nil
    // when the older form's store factory cannot be had. The session's other
    // failures pass unchanged; the older form's failures are
    // EpTypes::KeyConversionException with code 4 (the store refused the
    // key; the detail is its text) or 5 (communication or anything else; the
    // detail names where it was caught). The last store factory looked up is
    // kept for the process and shared by every thread and session.
    static EpDataStore::Data_ptr dataKeyToObject(EpSession::Session_ptr session, const char* key);

    // One element per key, in order: the data object, or nil when the key
    // failed (a KeyConversionException, recorded in `errors` with its code,
    // texts and key) or gave nothing. `errors` receives a new sequence only
    // when the call returns; every other exception ends the call and passes.
    // The caller deletes both sequences.
    static EpDataStore::DataSeq* dataKeysToObjects(EpSession::Session_ptr session,
                                                   const DosTypes::StringSeq& keys,
                                                   EpTypes::KeyConversionErrorSeq*& errors);

private:
    // Puts every NAME=VALUE line of the file at `path` into the environment.
    static void setEnvVars(const char* path);

    // Null until the manager is resolved; then its one reference for the life
    // of the process.
    static std::atomic<EpSession::SessionManager_ptr> manager;
    static std::atomic<int> temporaryNameCount;
};

} // namespace hvc_util
