// Project passwords in the password table of a user's profile, sealed to the
// platform's key before they leave the process.
#include "hvc_util/UserProfile.h"

#include "bindings/Handlers.h"
#include "bindings/internal/InternalString.h"
#include "session/NullText.h"
#include "bindings/private/AnyValues.h"

#include <cstring>
#include <string>

namespace hvc_util {

namespace {

const char* const noProjects = "The # of projects  cannot be <= 0";
const char* const invalidPasswordProperty = "Invalid password property name.";
const char* const sealFailure = "Could not seal the project password: ";
const char* const noNames = "Datastore/projectname is null.";
const OperationFailures setPasswordFailures = {"Error setting project password",
                                               "Unknown exception trying to set project password"};
const OperationFailures passwordExistsFailures = {
    "Error determining if project password exists",
    "Unknown exception trying to set determine if project password exists"};

void requireProfile(EpUser::UserProfile_ptr profile) {
    if (CORBA::is_nil(profile))
        throw CORBA::BAD_PARAM(0, CORBA::COMPLETED_NO);
}

// The password table, or false when the profile has none. Raises
// "Invalid password property name." for a refused name; other failures pass.
bool readPasswordTable(EpUser::UserProfile_ptr profile, CosPropertyService::Properties& table) {
    CORBA::Any_var value;
    try {
        value =
            profile->get_property_value(EpProject::DataStoreDescriptor::PROP_DATASTORE_PASSWORD);
    } catch (const CosPropertyService::PropertyNotFound&) {
        return false;
    } catch (const CosPropertyService::InvalidPropertyName&) {
        throw EpTypes::FailedOperationException(invalidPasswordProperty);
    }
    const CosPropertyService::Properties* stored = nullptr;
    if (extractExact(value.in(), CosPropertyService::_tc_Properties, stored))
        table = *stored;
    else
        table.length(0); // a table of another type counts as empty
    return true;
}

// A data store's project list; another type counts as an empty list.
EpProject::ProjectAccessInfoSeq projectsOf(const CosPropertyService::Property& store) {
    const EpProject::ProjectAccessInfoSeq* projects = nullptr;
    if (extractExact(store.property_value, EpProject::_tc_ProjectAccessInfoSeq, projects))
        return *projects;
    return EpProject::ProjectAccessInfoSeq();
}

CORBA::String_var seal(const char* clear) {
    InternalString sealed(hvc_util_internal_encrypt(orEmpty(clear)));
    if (!sealed)
        throw EpTypes::FailedOperationException(
            (std::string(sealFailure) + hvc_util_internal_last_error()).c_str());
    return CORBA::string_dup(sealed.get());
}

// Records the entry's sealed password under its data store and project,
// adding the store or the project where the table has none.
void apply(CosPropertyService::Properties& table, const EpProject::ProjectAccessInfo& entry) {
    CORBA::String_var sealed = seal(entry.password);
    CORBA::ULong i = 0;
    while (i < table.length() && std::strcmp(table[i].property_name, entry.dataStoreName) != 0)
        ++i;
    EpProject::ProjectAccessInfoSeq projects;
    if (i == table.length()) {
        table.length(i + 1);
        table[i].property_name = entry.dataStoreName;
    } else {
        projects = projectsOf(table[i]);
    }
    CORBA::ULong j = 0;
    while (j < projects.length() && std::strcmp(projects[j].projectName, entry.projectName) != 0)
        ++j;
    if (j == projects.length()) {
        projects.length(j + 1);
        projects[j].dataStoreName = entry.dataStoreName;
        projects[j].projectName = entry.projectName;
    }
    projects[j].accessNote = entry.accessNote;
    projects[j].password = sealed;
    table[i].property_value <<= projects;
}

} // namespace

void UserProfile::setProjectPassword(EpUser::UserProfile_ptr profile,
                                     const EpProject::ProjectAccessInfoSeq& projects) {
    if (projects.length() == 0)
        throw EpTypes::FailedOperationException(noProjects);
    requireProfile(profile);
    CosPropertyService::Properties table;
    withHandlers(setPasswordFailures, [&] { readPasswordTable(profile, table); });
    withHandlers(setPasswordFailures, [&] {
        for (CORBA::ULong i = 0; i < projects.length(); ++i)
            apply(table, projects[i]);
        CORBA::Any value;
        value <<= table;
        profile->define_property(EpProject::DataStoreDescriptor::PROP_DATASTORE_PASSWORD, value);
    });
}

void UserProfile::setProjectPassword(EpUser::UserProfile_ptr profile,
                                     const char* const* dataStoreNames,
                                     const char* const* projectNames, const char* const* passwords,
                                     int count) {
    if (count <= 0)
        throw EpTypes::FailedOperationException(noProjects);
    if (dataStoreNames == nullptr || projectNames == nullptr || passwords == nullptr)
        throw CORBA::BAD_PARAM(0, CORBA::COMPLETED_NO);
    EpProject::ProjectAccessInfoSeq projects;
    projects.length(static_cast<CORBA::ULong>(count));
    for (int i = 0; i < count; ++i) {
        projects[i].dataStoreName = orEmpty(dataStoreNames[i]);
        projects[i].projectName = orEmpty(projectNames[i]);
        projects[i].accessNote = "";
        projects[i].password = orEmpty(passwords[i]);
    }
    setProjectPassword(profile, projects);
}

bool UserProfile::projectPasswordExists(EpUser::UserProfile_ptr profile, const char* dataStoreName,
                                        const char* projectName) {
    if (dataStoreName == nullptr || projectName == nullptr)
        throw EpTypes::FailedOperationException(noNames);
    requireProfile(profile);
    return withHandlers(passwordExistsFailures, [&] {
        CosPropertyService::Properties table;
        if (!readPasswordTable(profile, table))
            return false;
        for (CORBA::ULong i = 0; i < table.length(); ++i) {
            if (std::strcmp(table[i].property_name, dataStoreName) != 0)
                continue;
            EpProject::ProjectAccessInfoSeq projects = projectsOf(table[i]);
            for (CORBA::ULong j = 0; j < projects.length(); ++j)
                if (std::strcmp(projects[j].projectName, projectName) == 0)
                    return true;
            return false;
        }
        return false;
    });
}

} // namespace hvc_util
