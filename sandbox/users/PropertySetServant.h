// Property storage shared by every sandbox object that is a
// CosPropertyService::PropertySet (user profiles, sessions).
#pragma once

#include "sandbox/common/StateStore.h"

#include <CosPropertyService.hh>

#include <map>
#include <mutex>
#include <string>

namespace hvc_sandbox {

// Owns copies of its property values. Calls arrive on the ORB's threads, so
// the storage is locked. Once kept in the platform's state, every change is
// committed there before the call returns (a failing store raises
// CORBA::PERSIST_STORE and changes nothing).
class PropertySetServant : public virtual POA_CosPropertyService::PropertySet {
public:
    // Reads the properties kept under `owner` (the object's id) in `store`,
    // which outlives the servant, and keeps every later change there.
    void keepIn(StateStore& store, const std::string& owner);
    // Removes the properties kept under `owner`; for a Transaction of the
    // caller's.
    static void forget(StateStore& store, const std::string& owner);

    void define_property(const char* name, const CORBA::Any& value) override;
    void define_properties(const CosPropertyService::Properties& properties) override;
    CORBA::ULong get_number_of_properties() override;
    // Every name comes back in the sequence; no iterator is handed out.
    void get_all_property_names(CORBA::ULong howMany, CosPropertyService::PropertyNames_out names,
                                CosPropertyService::PropertyNamesIterator_out rest) override;
    CORBA::Any* get_property_value(const char* name) override;
    CORBA::Boolean get_properties(const CosPropertyService::PropertyNames& names,
                                  CosPropertyService::Properties_out properties) override;
    void get_all_properties(CORBA::ULong howMany, CosPropertyService::Properties_out properties,
                            CosPropertyService::PropertiesIterator_out rest) override;
    void delete_property(const char* name) override;
    void delete_properties(const CosPropertyService::PropertyNames& names) override;
    CORBA::Boolean delete_all_properties() override;
    CORBA::Boolean is_property_defined(const char* name) override;

    // For the sandbox itself and for tests: the stored value, if any.
    bool lookUp(const std::string& name, CORBA::Any& value) const;

protected:
    mutable std::mutex lock;
    std::map<std::string, CORBA::Any> properties;

private:
    // Writes (or, for null, removes) one property in the store; the caller
    // holds `lock`.
    void save(const std::string& name, const CORBA::Any* value);

    StateStore* store = nullptr;
    std::string owner;
};

} // namespace hvc_sandbox
