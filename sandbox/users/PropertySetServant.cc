#include "PropertySetServant.h"

namespace hvc_sandbox {

namespace {

void checkName(const char* name) {
    if (name == nullptr || *name == '\0')
        throw CosPropertyService::InvalidPropertyName();
}

} // namespace

void PropertySetServant::define_property(const char* name, const CORBA::Any& value) {
    checkName(name);
    std::lock_guard<std::mutex> hold(lock);
    properties[name] = value;
}

void PropertySetServant::define_properties(const CosPropertyService::Properties& list) {
    for (CORBA::ULong i = 0; i < list.length(); ++i)
        define_property(list[i].property_name, list[i].property_value);
}

CORBA::ULong PropertySetServant::get_number_of_properties() {
    std::lock_guard<std::mutex> hold(lock);
    return static_cast<CORBA::ULong>(properties.size());
}

void PropertySetServant::get_all_property_names(
    CORBA::ULong, CosPropertyService::PropertyNames_out names,
    CosPropertyService::PropertyNamesIterator_out rest) {
    std::lock_guard<std::mutex> hold(lock);
    names = new CosPropertyService::PropertyNames;
    names->length(static_cast<CORBA::ULong>(properties.size()));
    CORBA::ULong i = 0;
    for (const auto& entry : properties)
        (*names)[i++] = entry.first.c_str();
    rest = CosPropertyService::PropertyNamesIterator::_nil();
}

CORBA::Any* PropertySetServant::get_property_value(const char* name) {
    checkName(name);
    std::lock_guard<std::mutex> hold(lock);
    auto found = properties.find(name);
    if (found == properties.end())
        throw CosPropertyService::PropertyNotFound();
    return new CORBA::Any(found->second);
}

CORBA::Boolean PropertySetServant::get_properties(const CosPropertyService::PropertyNames& names,
                                                  CosPropertyService::Properties_out out) {
    std::lock_guard<std::mutex> hold(lock);
    out = new CosPropertyService::Properties;
    out->length(names.length());
    bool all = true;
    for (CORBA::ULong i = 0; i < names.length(); ++i) {
        (*out)[i].property_name = names[i];
        auto found = properties.find(names[i].in());
        if (found == properties.end())
            all = false;
        else
            (*out)[i].property_value = found->second;
    }
    return all;
}

void PropertySetServant::get_all_properties(CORBA::ULong, CosPropertyService::Properties_out out,
                                            CosPropertyService::PropertiesIterator_out rest) {
    std::lock_guard<std::mutex> hold(lock);
    out = new CosPropertyService::Properties;
    out->length(static_cast<CORBA::ULong>(properties.size()));
    CORBA::ULong i = 0;
    for (const auto& entry : properties) {
        (*out)[i].property_name = entry.first.c_str();
        (*out)[i].property_value = entry.second;
        ++i;
    }
    rest = CosPropertyService::PropertiesIterator::_nil();
}

void PropertySetServant::delete_property(const char* name) {
    checkName(name);
    std::lock_guard<std::mutex> hold(lock);
    if (properties.erase(name) == 0)
        throw CosPropertyService::PropertyNotFound();
}

void PropertySetServant::delete_properties(const CosPropertyService::PropertyNames& names) {
    std::lock_guard<std::mutex> hold(lock);
    for (CORBA::ULong i = 0; i < names.length(); ++i)
        properties.erase(names[i].in());
}

CORBA::Boolean PropertySetServant::delete_all_properties() {
    std::lock_guard<std::mutex> hold(lock);
    properties.clear();
    return true;
}

CORBA::Boolean PropertySetServant::is_property_defined(const char* name) {
    checkName(name);
    std::lock_guard<std::mutex> hold(lock);
    return properties.count(name) != 0;
}

bool PropertySetServant::lookUp(const std::string& name, CORBA::Any& value) const {
    std::lock_guard<std::mutex> hold(lock);
    auto found = properties.find(name);
    if (found == properties.end())
        return false;
    value = found->second;
    return true;
}

} // namespace hvc_sandbox
