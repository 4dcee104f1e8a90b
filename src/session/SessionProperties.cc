// The session's interpreter and source-priority tables.
#include "hvc_util/Session.h"

#include "bindings/Diagnostics.h"
#include "bindings/Handlers.h"
#include "bindings/private/AnyValues.h"
#include "hvc_util/ExceptionDescription.h"

#include <EpiWell.hh>
#include <omniORB4/Naming.hh>

#include <cstring>
#include <string>

namespace hvc_util {

namespace {

const char* const getInterpreterName = "getInterpreter";
const char* const setInterpreterName = "setInterpreter";
const char* const getSourcePriorityName = "getSourcePriority";
const char* const setSourcePriorityName = "setSourcePriority";

// getInterpreter and getInterpreters share their texts for a refused name.
const char* const invalidInterpreterName =
    "Unexpected exception in hvc_util::Session.getInterpreter";

const char* const nullProject = "Null project name in hvc_util::Session.";
const char* const nullDataStore = "Null dataStoreName in hvc_util::Session.";
const char* const nullSession = "Null session in hvc_util::Session.";

// Checks common to the operations naming a project, in this order.
void checkArguments(EpSession::Session_ptr session, const char* dataStoreName,
                    const char* projectName, const char* operation) {
    const char* missing = nullptr;
    if (projectName == nullptr)
        missing = nullProject;
    else if (dataStoreName == nullptr)
        missing = nullDataStore;
    else if (CORBA::is_nil(session))
        missing = nullSession;
    if (missing != nullptr)
        throw EpTypes::FailedOperationException((std::string(missing) + operation).c_str());
}

bool same(const char* a, const char* b) {
    return std::strcmp(a, b) == 0;
}

// The session's property `name`; false when it is not defined. A refused
// name raises FailedOperationException `invalidName`; other failures pass.
bool readProperty(EpSession::Session_ptr session, const char* name, const char* invalidName,
                  CORBA::Any_var& value) {
    try {
        value = session->get_property_value(name);
        return true;
    } catch (const CosPropertyService::PropertyNotFound&) {
        return false;
    } catch (const CosPropertyService::InvalidPropertyName&) {
        throw EpTypes::FailedOperationException(invalidName);
    }
}

// The table stored under `property`, empty when it is not defined.
// `invalidName` for a refused name, `failures.communication` for a value of
// another type; other failures are translated by `failures`.
template <class Table>
Table readTable(EpSession::Session_ptr session, const char* property, CORBA::TypeCode_ptr type,
                const char* invalidName, const OperationFailures& failures) {
    return withHandlers(failures, [&] {
        CORBA::Any_var value;
        if (!readProperty(session, property, invalidName, value))
            return Table();
        const Table* table = nullptr;
        if (!extractExact(value.in(), type, table))
            throw EpTypes::FailedOperationException(failures.communication);
        return *table;
    });
}

EpiTypes::StoreSourcePrioritiesSeq readPriorities(EpSession::Session_ptr session,
                                                  const char* invalidName,
                                                  const OperationFailures& failures) {
    return readTable<EpiTypes::StoreSourcePrioritiesSeq>(session, EpiWell::PROP_SOURCE_PRIORITIES,
                                                         EpiTypes::_tc_StoreSourcePrioritiesSeq,
                                                         invalidName, failures);
}

// Gives every entry of `project` the interpreter, or appends one entry.
void setProjectInterpreter(CosNaming::Name& projects, const char* project,
                           const char* interpreter) {
    bool found = false;
    for (CORBA::ULong j = 0; j < projects.length(); ++j) {
        if (same(projects[j].id, project)) {
            projects[j].kind = interpreter;
            found = true;
        }
    }
    if (!found) {
        const CORBA::ULong n = projects.length();
        projects.length(n + 1);
        projects[n].id = project;
        projects[n].kind = interpreter;
    }
}

} // namespace

String Session::getInterpreter(EpSession::Session_ptr session, const char* dataStoreName,
                               const char* projectName) {
    checkArguments(session, dataStoreName, projectName, getInterpreterName);
    CORBA::Any_var value;
    if (!readProperty(session, EpSession::PROP_INTERPRETER_ROLE, invalidInterpreterName, value))
        return String();
    const CosPropertyService::Properties* table = nullptr;
    if (!extractExact(value.in(), CosPropertyService::_tc_Properties, table))
        throw EpTypes::FailedOperationException("Unable to extract CosPropertyService::Properties "
                                                "from CORBA::Any in "
                                                "hvc_util::Session.getInterpreter");
    for (CORBA::ULong i = 0; i < table->length(); ++i) {
        if (!same((*table)[i].property_name, dataStoreName))
            continue;
        const CosNaming::Name* projects = nullptr;
        if (!extractExact((*table)[i].property_value, CosNaming::_tc_Name, projects))
            throw EpTypes::FailedOperationException(
                "Unable to extract CosNaming::Name from CORBA::Any in "
                "hvc_util::Session.getInterpreter");
        for (CORBA::ULong j = 0; j < projects->length(); ++j)
            if (same((*projects)[j].id, projectName))
                return String((*projects)[j].kind.in());
    }
    return String();
}

CosPropertyService::Properties Session::getInterpreters(EpSession::Session_ptr session) {
    if (CORBA::is_nil(session))
        throw EpTypes::FailedOperationException(
            (std::string(nullSession) + getInterpreterName).c_str());
    const OperationFailures failures = {"Error, could not get interpreters.",
                                        "Unknown exception, could not get interpreters"};
    return readTable<CosPropertyService::Properties>(session, EpSession::PROP_INTERPRETER_ROLE,
                                                     CosPropertyService::_tc_Properties,
                                                     invalidInterpreterName, failures);
}

void Session::setInterpreter(EpSession::Session_ptr session, const char* dataStoreName,
                             const char* projectName, const char* interpreter) {
    checkArguments(session, dataStoreName, projectName, setInterpreterName);
    // A null interpreter cannot be stored in a name component.
    if (interpreter == nullptr)
        throw EpTypes::FailedOperationException(
            "Null interpreter in hvc_util::Session.setInterpreter");
    CosPropertyService::Properties table;
    try {
        table = getInterpreters(session);
    } catch (const EpTypes::FailedOperationException& e) {
        throw EpTypes::FailedOperationException(
            (std::string("Caught Failed Operation Exception") + e.reason.in()).c_str());
    } catch (const CORBA::Exception&) {
        throw EpTypes::FailedOperationException("Error, could not set interpreters.");
    } catch (...) {
        throw EpTypes::FailedOperationException("Unknown exception, could not set interpreters");
    }

    bool storeFound = false;
    for (CORBA::ULong i = 0; i < table.length(); ++i) {
        if (!same(table[i].property_name, dataStoreName))
            continue;
        storeFound = true;
        const CosNaming::Name* stored = nullptr;
        if (!extractExact(table[i].property_value, CosNaming::_tc_Name, stored))
            throw EpTypes::FailedOperationException(
                "Unable to extract CosNaming::Name from CORBA::Any in "
                "hvc_util::Session.setInterpreter");
        CosNaming::Name projects = *stored;
        setProjectInterpreter(projects, projectName, interpreter);
        table[i].property_value <<= projects;
    }
    if (!storeFound) {
        CosNaming::Name projects;
        setProjectInterpreter(projects, projectName, interpreter);
        const CORBA::ULong n = table.length();
        table.length(n + 1);
        table[n].property_name = dataStoreName;
        table[n].property_value <<= projects;
    }

    CORBA::Any value;
    value <<= table;
    try {
        session->define_property(EpSession::PROP_INTERPRETER_ROLE, value);
    } catch (const CORBA::Exception& e) {
        Diagnostics::line("Caught Exception " + describe(e));
        throw EpTypes::FailedOperationException(
            "Failed to define the session interpreter property.Exception Caught.");
    } catch (...) {
        throw EpTypes::FailedOperationException(
            "Unknown exception, when defining the session interpreter property");
    }
}

DosTypes::StringSeq* Session::getSourcePriority(EpSession::Session_ptr session,
                                                const char* dataStoreName,
                                                const char* projectName) {
    checkArguments(session, dataStoreName, projectName, getSourcePriorityName);
    DosTypes::StringSeq_var result = new DosTypes::StringSeq;
    const OperationFailures failures = {
        "CORBA exception, when retrieving the interpreter property from the session.",
        "Unknown exception, when retrieving the interpreter property from the session."};
    EpiTypes::StoreSourcePrioritiesSeq table = readPriorities(
        session, "Unexpected exception in hvc_util::Session.getSourcePriority", failures);
    for (CORBA::ULong i = 0; i < table.length(); ++i) {
        if (!same(table[i].dataStoreName, dataStoreName))
            continue;
        const EpiTypes::ProjectSourcePrioritiesSeq& projects = table[i].projects;
        if (projects.length() == 0)
            throw EpTypes::FailedOperationException(
                "No priorities in the session in hvc_util::Session.getSourcePriority");
        for (CORBA::ULong j = 0; j < projects.length(); ++j) {
            if (same(projects[j].projectName, projectName)) {
                result.inout() = projects[j].priorities;
                return result._retn();
            }
        }
    }
    return result._retn();
}

void Session::setSourcePriority(EpSession::Session_ptr session, const char* dataStoreName,
                                const char* projectName, const DosTypes::StringSeq& priorities) {
    checkArguments(session, dataStoreName, projectName, setSourcePriorityName);
    if (priorities.length() == 0)
        throw EpTypes::FailedOperationException(
            "The source priority length cannot be <= 0 in setSourcePriority.");
    const OperationFailures readFailures = {
        "CORBA exception, when trying to retrieve PROP_SOURCE_PRIORITIES.",
        "Unknown exception, when trying to retrieve PROP_SOURCE_PRIORITIES."};
    EpiTypes::StoreSourcePrioritiesSeq table = readPriorities(
        session, "Unexpected exception in hvc_util::Session.setSourcePriority", readFailures);

    CORBA::ULong i = 0;
    while (i < table.length() && !same(table[i].dataStoreName, dataStoreName))
        ++i;
    if (i == table.length()) {
        table.length(i + 1);
        table[i].dataStoreName = dataStoreName;
    }
    EpiTypes::ProjectSourcePrioritiesSeq& projects = table[i].projects;
    CORBA::ULong j = 0;
    while (j < projects.length() && !same(projects[j].projectName, projectName))
        ++j;
    if (j == projects.length()) {
        projects.length(j + 1);
        projects[j].projectName = projectName;
    }
    projects[j].priorities = priorities;

    const OperationFailures writeFailures = {
        "CORBA exception, when trying to define PROP_SOURCE_PRIORITIES.",
        "Unknown exception, when trying to define PROP_SOURCE_PRIORITIES."};
    withHandlers(writeFailures, [&] {
        CORBA::Any value;
        value <<= table;
        session->define_property(EpiWell::PROP_SOURCE_PRIORITIES, value);
    });
}

} // namespace hvc_util
