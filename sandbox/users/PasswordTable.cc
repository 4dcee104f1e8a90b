#include "PasswordTable.h"

#include "bindings/private/AnyValues.h"
#include "bindings/private/PasswordSeal.h"

#include <CosPropertyService.hh>
#include <EpProject.hh>

namespace hvc_sandbox {

namespace {

const CosPropertyService::Properties* tableOf(const CORBA::Any& value) {
    const CosPropertyService::Properties* table = nullptr;
    return hvc_util::extractExact(value, CosPropertyService::_tc_Properties, table) ? table
                                                                                    : nullptr;
}

const EpProject::ProjectAccessInfoSeq* projectsOf(const CORBA::Any& value) {
    const EpProject::ProjectAccessInfoSeq* projects = nullptr;
    return hvc_util::extractExact(value, EpProject::_tc_ProjectAccessInfoSeq, projects) ? projects
                                                                                        : nullptr;
}

} // namespace

PasswordTable::PasswordTable(std::string pub, std::string sec)
    : publicKey(std::move(pub)), secretKey(std::move(sec)) {}

bool PasswordTable::acceptable(const CORBA::Any& value) const {
    const CosPropertyService::Properties* table = tableOf(value);
    if (table == nullptr)
        return false;
    for (CORBA::ULong i = 0; i < table->length(); ++i) {
        const EpProject::ProjectAccessInfoSeq* projects = projectsOf((*table)[i].property_value);
        if (projects == nullptr)
            return false;
        std::string clear;
        for (CORBA::ULong j = 0; j < projects->length(); ++j)
            if (!hvc_util::PasswordSeal::open(publicKey, secretKey, (*projects)[j].password.in(),
                                              clear))
                return false;
    }
    return true;
}

bool PasswordTable::open(const CORBA::Any& value, const std::string& dataStoreName,
                         const std::string& projectName, std::string& clear) const {
    const CosPropertyService::Properties* table = tableOf(value);
    if (table == nullptr)
        return false;
    for (CORBA::ULong i = 0; i < table->length(); ++i) {
        if (dataStoreName != (*table)[i].property_name.in())
            continue;
        const EpProject::ProjectAccessInfoSeq* projects = projectsOf((*table)[i].property_value);
        if (projects == nullptr)
            return false;
        for (CORBA::ULong j = 0; j < projects->length(); ++j)
            if (projectName == (*projects)[j].projectName.in())
                return hvc_util::PasswordSeal::open(publicKey, secretKey,
                                                    (*projects)[j].password.in(), clear);
        return false;
    }
    return false;
}

} // namespace hvc_sandbox
