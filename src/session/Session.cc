// The session manager and the lifecycle of sessions.
#include "hvc_util/Session.h"

#include "hvc_util/Date.h"
#include "hvc_util/Identifier.h"
#include "hvc_util/UUID.h"
#include "hvc_util/UserProfile.h"

#include "bindings/CallTimeout.h"
#include "bindings/Diagnostics.h"
#include "bindings/Environment.h"
#include "bindings/Handlers.h"
#include "bindings/ResolveOnce.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace hvc_util {

namespace {

const char* const sessionNameVariable = "halvercast.sessionName";

const char* const badManager = "User Profile returned bad ProjectSetManager.";
const OperationFailures managerFailures = {
    "Could not connect to the Halvercast UserServer",
    "Unknown exception trying to connnect to the Halvercast UserServer"};
const OperationFailures findFailures = {
    "Could not retrieve the session manager from the Halvercast UserServer",
    "Unknown exception trying to connnect to the Halvercast UserServer"};
const OperationFailures createFailures = {"Could not create a session",
                                          "Unknown exception trying to create a session"};

// How many temporary names getSession() tries before it gives up.
const int temporaryNameAttempts = 16;

const char* const monthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
// Shown for a month the clock cannot name, rather than reading past the table.
const char* const unknownMonth = "???";

ResolveOnce managerGate;

// A session handed to the caller carries the call timeout, as the manager does.
EpSession::Session_ptr timed(EpSession::Session_ptr session) {
    CallTimeout::apply(session);
    return session;
}

// Best effort: the session's server may be the very thing that failed.
void removeUnmarked(EpSession::Session_ptr session) noexcept {
    try {
        session->remove();
    } catch (...) {
    }
}

} // namespace

const String Session::temporarySessionName("temporarySession");
std::atomic<EpSession::SessionManager_ptr> Session::manager{nullptr};
std::atomic<int> Session::temporaryNameCount{0};

bool Session::isValidSessionName(const char* name) {
    return Identifier::isValidIdentifier(name);
}

EpSession::SessionManager_ptr Session::getSessionManager() {
    if (EpSession::SessionManager_ptr cached = manager.load(std::memory_order_acquire))
        return EpSession::SessionManager::_duplicate(cached);
    EpSession::SessionManager_ptr found = managerGate.resolve(
        manager,
        [] {
            return withHandlers(managerFailures, [] {
                EpUser::UserProfile_var profile = UserProfile::getUserProfile();
                CORBA::Object_var handedOut = profile->getSessionManager();
                CallTimeout::apply(handedOut);
                EpSession::SessionManager_var narrowed =
                    EpSession::SessionManager::_narrow(handedOut);
                if (CORBA::is_nil(narrowed))
                    throw EpTypes::FailedOperationException(badManager);
                CallTimeout::apply(narrowed);
                return narrowed._retn();
            });
        },
        [](EpSession::SessionManager_ptr lost) { CORBA::release(lost); });
    if (found == nullptr) // only the manager's own resolution asks for it again
        throw EpTypes::FailedOperationException(managerFailures.communication);
    return EpSession::SessionManager::_duplicate(found);
}

EpSession::Session_ptr Session::getSession(String name) {
    EpSession::SessionManager_var sessions = getSessionManager();
    return withHandlers<EpSession::SessionNotExistException, EpTypes::BadArgumentsException>(
        findFailures, [&] { return timed(sessions->getSession(name.getValue())); });
}

EpSession::Session_ptr Session::getSession() {
    if (const std::optional<std::string> current = Environment::get(sessionNameVariable)) {
        try {
            return getSession(String(current->c_str()));
        } catch (const EpSession::SessionNotExistException&) {
        } catch (const EpTypes::FailedOperationException&) {
        } catch (const EpTypes::BadArgumentsException&) {
        }
        return EpSession::Session::_nil();
    }
    String name;
    EpSession::Session_var session;
    // Names count per process, so processes started within the same second
    // make the same name: a name in use is followed by the next one.
    for (int attempt = 0; attempt < temporaryNameAttempts && CORBA::is_nil(session); ++attempt) {
        name = createTemporaryName();
        try {
            session = createSession(name.getValue(), EpProject::ProjectSet::_nil());
        } catch (const EpSession::DuplicateNameException&) {
            continue;
        } catch (const EpTypes::FailedOperationException&) {
        } catch (const EpTypes::BadArgumentsException&) {
        }
        break;
    }
    if (CORBA::is_nil(session))
        return EpSession::Session::_nil();
    try {
        session->marker(temporarySessionName.getValue());
    } catch (...) {
        // Unmarked, removeIfTemporary would never remove it: it goes now if
        // its server lets it, and the caller gets none.
        removeUnmarked(session);
        return EpSession::Session::_nil();
    }
    Environment::set(sessionNameVariable, name.getValue());
    return session._retn();
}

String Session::getSessionUUID(EpSession::Session_ptr session) {
    if (CORBA::is_nil(session))
        throw CORBA::BAD_PARAM(0, CORBA::COMPLETED_NO);
    EpEntity::Identifier_var bytes = session->identifier();
    UUID id(static_cast<const unsigned char*>(bytes.in()));
    String text;
    id.getString(text);
    return text;
}

EpSession::Session_ptr Session::createSession(const char* name,
                                              EpProject::ProjectSet_ptr projectSet) {
    EpSession::SessionManager_var sessions = getSessionManager();
    if (name == nullptr || *name == '\0')
        return EpSession::Session::_nil();
    return withHandlers<EpSession::DuplicateNameException, EpTypes::BadArgumentsException>(
        createFailures, [&] { return timed(sessions->createSession(name, projectSet)); });
}

EpSession::Session_ptr Session::createSession(const char* name) {
    if (name == nullptr || *name == '\0')
        return EpSession::Session::_nil();
    try {
        return createSession(name, EpProject::ProjectSet::_nil());
    } catch (const EpTypes::FailedOperationException& e) {
        Diagnostics::print("EpTypes::FailedOperationException: %s\n", e.reason.in());
    } catch (const EpSession::DuplicateNameException& e) {
        Diagnostics::print("EpSession::DuplicateNameException: %s\n", e.reason.in());
    } catch (const EpTypes::BadArgumentsException& e) {
        Diagnostics::print("EpTypes::BadArgumentsException: %s\n", e.reason.in());
    }
    return EpSession::Session::_nil();
}

void Session::removeIfTemporary(EpSession::Session_ptr session) {
    if (CORBA::is_nil(session))
        return;
    CORBA::String_var marker = session->marker();
    if (std::strcmp(marker.in(), temporarySessionName.getValue()) != 0)
        return;
    try {
        session->remove();
    } catch (const CosLifeCycle::NotRemovable&) {
    }
}

String Session::createTemporaryName() {
    std::unique_ptr<EpTypes::Date> now(Date::getCurrentDate());
    const int count = ++temporaryNameCount;
    const int month = now->month;
    const char* monthName = month >= 1 && month <= 12 ? monthNames[month - 1] : unknownMonth;
    const char* const format = "temp_%02d_%.3s_%4d_%02d_%02d_%02d_%d";
    const int length =
        std::snprintf(nullptr, 0, format, static_cast<int>(now->day), monthName,
                      static_cast<int>(now->year), static_cast<int>(now->hour),
                      static_cast<int>(now->minute), static_cast<int>(now->second), count);
    std::string text(static_cast<size_t>(length), '\0');
    std::snprintf(text.data(), text.size() + 1, format, static_cast<int>(now->day), monthName,
                  static_cast<int>(now->year), static_cast<int>(now->hour),
                  static_cast<int>(now->minute), static_cast<int>(now->second), count);
    return String(text.c_str());
}

} // namespace hvc_util
