// Data-key texts into data objects: current keys through the session, older
// keys through their data store's factories.
#include "hvc_util/Session.h"

#include "hvc_util/FactoryFinder.h"

#include <cstring>
#include <mutex>
#include <string>

namespace hvc_util {

namespace {

const char* const marker = "|StoreKey|";
const char* const unknown = "unknown";

// The store factory of the last older key, with the store name and factory
// type it was looked up for; shared by every session and thread. The lock
// guards only the copy and the swap: remote calls happen outside it.
class StoreFactoryCache {
public:
    // A new reference to the cached factory when it was looked up for these
    // names; nil otherwise.
    EpDataStore::StoreFactory_ptr find(const std::string& storeName,
                                       const std::string& factoryType) {
        std::lock_guard<std::mutex> hold(lock);
        if (!known || storeName != cachedStoreName || factoryType != cachedFactoryType)
            return EpDataStore::StoreFactory::_nil();
        return EpDataStore::StoreFactory::_duplicate(factory.in());
    }

    void remember(const std::string& storeName, const std::string& factoryType,
                  EpDataStore::StoreFactory_ptr found) {
        std::lock_guard<std::mutex> hold(lock);
        factory = EpDataStore::StoreFactory::_duplicate(found);
        cachedStoreName = storeName;
        cachedFactoryType = factoryType;
        known = true;
    }

    // Forgets `stale` unless another thread has replaced it already.
    void forget(EpDataStore::StoreFactory_ptr stale) {
        std::lock_guard<std::mutex> hold(lock);
        if (!known || factory.in() != stale)
            return;
        factory = EpDataStore::StoreFactory::_nil();
        known = false;
    }

private:
    std::mutex lock;
    bool known = false;
    std::string cachedStoreName;
    std::string cachedFactoryType;
    EpDataStore::StoreFactory_var factory;
};

StoreFactoryCache cachedStoreFactory;

[[noreturn]] void throwKeyConversionError(const char* reason, const char* detail, const char* key,
                                          CORBA::Long code) {
    throw EpTypes::KeyConversionException(code, reason, detail, key);
}

// The texts of one step of an older key's conversion, for each way it can
// fail: the store refusing the key (null where the step asks no store), a
// communication failure, and anything else.
struct StepFailures {
    const char* refused;
    const char* communication;
    const char* communicationDetail;
    const char* unknown;
    const char* unknownDetail;
};

// Runs one step, turning its failures into KeyConversionException for `key`:
// code 4 with the store's text as detail, or code 5. `onCommunication` runs
// first when a system exception ends the step.
template <class Step, class Then = void (*)()>
auto convertStep(
    const char* key, const StepFailures& texts, Step&& step, Then&& onCommunication = [] {})
    -> decltype(step()) {
    try {
        return step();
    } catch (const EpDataStore::StoreException& e) {
        if (texts.refused != nullptr)
            throwKeyConversionError(texts.refused, e.reason.in(), key, 4);
        throwKeyConversionError(texts.unknown, texts.unknownDetail, key, 5);
    } catch (const CORBA::SystemException&) {
        onCommunication();
        throwKeyConversionError(texts.communication, texts.communicationDetail, key, 5);
    } catch (...) {
        throwKeyConversionError(texts.unknown, texts.unknownDetail, key, 5);
    }
}

const StepFailures storeLookup = {
    nullptr, "Communication error while attempting to contact an Halvercast data server.",
    "Caught CORBA::SystemException in stringToDataKey()",
    "Unknown Exception encountered while attempting to contact an Halvercast data server.",
    "Caught ... in stringToDataKey()"};
const StepFailures keyConversion = {
    "Error converting Halvercast data key string.",
    "Communication error while converting Halvercast data key string.",
    "Caught CORBA::SystemException (2) in stringToDataKey()",
    "Unknown exception encountered while converting Halvercast data key string.",
    "Caught ... (2) in stringToDataKey()"};
const StepFailures factoryLookup = {
    nullptr, "Communication error while attempting to contact an Halvercast factory for data key.",
    "Caught CORBA::SystemException in oldKeyStringToObject()",
    "Unknown Exception encountered while attempting to contact an Halvercast factory.",
    "Caught ... in oldKeyStringToObject()"};
const StepFailures dataCreation = {
    "Error while attempting to create data object for key.",
    "Communication error while attempting to create data object for key.",
    "Caught CORBA::SystemException (2) in oldKeyStringToObject()",
    "Unknown Exception encountered while attempting to create data object for key.",
    "Caught ... (2) in oldKeyStringToObject()"};

// The store name and factory type an older key names: the fields after the
// first marker, separated by '|', that begin with "name=" and
// "factoryType="; a later field of a kind replaces an earlier one.
void parseOldKeyString(const char* key, std::string& storeName, std::string& factoryType) {
    storeName = unknown;
    factoryType = unknown;
    const char* fields = std::strstr(key, marker);
    if (fields == nullptr)
        return;
    fields += std::strlen(marker);
    while (*fields != '\0') {
        const char* end = std::strchr(fields, '|');
        const std::string field(fields, end != nullptr ? end : fields + std::strlen(fields));
        if (field.compare(0, 5, "name=") == 0)
            storeName = field.substr(5);
        else if (field.compare(0, 12, "factoryType=") == 0)
            factoryType = field.substr(12);
        if (end == nullptr)
            break;
        fields = end + 1;
    }
}

// The data key an older key names, from its store's factory; null when the
// store factory cannot be had.
EpDataStore::DataKey* stringToDataKey(EpSession::Session_ptr session, const char* key) {
    std::string storeName;
    std::string factoryType;
    parseOldKeyString(key, storeName, factoryType);

    EpDataStore::StoreFactory_var factory = cachedStoreFactory.find(storeName, factoryType);
    if (CORBA::is_nil(factory)) {
        factory = convertStep(key, storeLookup, [&] {
            CORBA::Object_var found =
                FactoryFinder::findFactory(session, factoryType.c_str(), storeName.c_str());
            return EpDataStore::StoreFactory::_narrow(found.in());
        });
        // A factory that is not a store factory is not remembered: the next
        // key of this store looks again.
        if (CORBA::is_nil(factory))
            return nullptr;
        cachedStoreFactory.remember(storeName, factoryType, factory.in());
    }
    // The store's server may have gone: the next key looks it up again.
    return convertStep(
        key, keyConversion, [&] { return factory->stringToDataKey(key); },
        [&] { cachedStoreFactory.forget(factory.in()); });
}

EpDataStore::Data_ptr oldKeyStringToObject(EpSession::Session_ptr session, const char* key) {
    EpDataStore::DataKey_var dataKey = stringToDataKey(session, key);
    if (dataKey.operator->() == nullptr)
        return EpDataStore::Data::_nil();
    EpDataStore::ExistingDataFactory_var factory = convertStep(key, factoryLookup, [&] {
        CORBA::Object_var found = FactoryFinder::findFactory(
            session, dataKey.in(), EpDataStore::_tc_ExistingDataFactory->id());
        return EpDataStore::ExistingDataFactory::_narrow(found.in());
    });
    // Something that is no data factory is no factory to ask.
    if (CORBA::is_nil(factory))
        throwKeyConversionError(factoryLookup.unknown, factoryLookup.unknownDetail, key, 5);
    return convertStep(key, dataCreation,
                       [&] { return factory->createData(dataKey.in(), session); });
}

} // namespace

EpDataStore::Data_ptr Session::dataKeyToObject(EpSession::Session_ptr session, const char* key) {
    const char* text = key != nullptr ? key : "";
    try {
        CORBA::Object_var object = session->keyStringToObject(text);
        return EpDataStore::Data::_narrow(object.in());
    } catch (const CORBA::SystemException&) {
        return oldKeyStringToObject(session, text);
    }
}

EpDataStore::DataSeq* Session::dataKeysToObjects(EpSession::Session_ptr session,
                                                 const DosTypes::StringSeq& keys,
                                                 EpTypes::KeyConversionErrorSeq*& errors) {
    EpDataStore::DataSeq_var objects = new EpDataStore::DataSeq;
    objects->length(keys.length());
    EpTypes::KeyConversionErrorSeq_var failures = new EpTypes::KeyConversionErrorSeq;
    for (CORBA::ULong i = 0; i < keys.length(); ++i) {
        try {
            objects[i] = dataKeyToObject(session, keys[i].in());
        } catch (const EpTypes::KeyConversionException& e) {
            const CORBA::ULong at = failures->length();
            failures->length(at + 1);
            failures[at].code = e.code;
            failures[at].reason = e.reason;
            failures[at].detail = e.detail;
            failures[at].key = e.key;
        }
    }
    errors = failures._retn();
    return objects._retn();
}

} // namespace hvc_util
