#include "PropertySetServant.h"

namespace hvc_sandbox {

namespace {

void checkName(const char* name) {
    if (name == nullptr || *name == '\0')
        throw CosPropertyService::InvalidPropertyName();
}

} // namespace

void PropertySetServant::keepIn(StateStore& where, const std::string& key) {
    std::lock_guard<std::mutex> hold(lock);
    store = &where;
    owner = key;
    StateStore::Statement read(where, "SELECT name, value FROM properties WHERE owner = ?");
    read.bind(1, owner);
    while (read.step()) {
        CORBA::Any value;
        StateStore::decode(read.blob(1), value);
        properties[read.text(0)] = value;
    }
}

void PropertySetServant::forget(StateStore& where, const std::string& key) {
    StateStore::Statement erase(where, "DELETE FROM properties WHERE owner = ?");
    erase.bind(1, key).run();
}

void PropertySetServant::save(const std::string& name, const CORBA::Any* value) {
    if (store == nullptr)
        return;
    StateStore::Transaction writing(*store);
    if (value != nullptr) {
        StateStore::Statement write(*store, "INSERT INTO properties(owner, name, value)"
                                            " VALUES(?, ?, ?) ON CONFLICT(owner, name)"
                                            " DO UPDATE SET value = excluded.value");
        write.bind(1, owner).bind(2, name).bindBlob(3, StateStore::encode(*value)).run();
    } else {
        StateStore::Statement erase(*store, "DELETE FROM properties WHERE owner = ? AND name = ?");
        erase.bind(1, owner).bind(2, name).run();
    }
    writing.commit();
}

void PropertySetServant::define_property(const char* name, const CORBA::Any& value) {
    checkName(name);
    std::lock_guard<std::mutex> hold(lock);
    save(name, &value);
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
    if (properties.count(name) == 0)
        throw CosPropertyService::PropertyNotFound();
    save(name, nullptr);
    properties.erase(name);
}

void PropertySetServant::delete_properties(const CosPropertyService::PropertyNames& names) {
    std::lock_guard<std::mutex> hold(lock);
    if (store != nullptr) {
        StateStore::Transaction writing(*store);
        for (CORBA::ULong i = 0; i < names.length(); ++i)
            save(names[i].in(), nullptr);
        writing.commit();
    }
    for (CORBA::ULong i = 0; i < names.length(); ++i)
        properties.erase(names[i].in());
}

CORBA::Boolean PropertySetServant::delete_all_properties() {
    std::lock_guard<std::mutex> hold(lock);
    if (store != nullptr) {
        StateStore::Transaction writing(*store);
        forget(*store, owner);
        writing.commit();
    }
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
