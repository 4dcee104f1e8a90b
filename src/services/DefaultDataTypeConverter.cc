#include "hvc_util/DefaultDataTypeConverter.h"

#include "hvc_util/Trader.h"

#include <EpTypes.hh>

#include <mutex>
#include <string>

namespace hvc_util {

namespace {

// One factory kind's cached reference. The lock guards only the copy and the
// swap of the reference; `lookup` lets one thread at a time ask the trader.
template <class Factory> struct FactoryCache {
    std::mutex lock;
    std::mutex lookup;
    typename Factory::_ptr_type factory = Factory::_nil();

    typename Factory::_ptr_type get() {
        std::lock_guard<std::mutex> hold(lock);
        return Factory::_duplicate(factory);
    }
    void set(typename Factory::_ptr_type found) {
        std::lock_guard<std::mutex> hold(lock);
        CORBA::release(factory);
        factory = Factory::_duplicate(found);
    }
    // Drops `stale` unless another thread has replaced it already.
    void drop(typename Factory::_ptr_type stale) {
        std::lock_guard<std::mutex> hold(lock);
        if (factory != stale)
            return;
        CORBA::release(factory);
        factory = Factory::_nil();
    }
};

// The constraint text of an offer made for `user`: the name is a string
// literal of the constraint language, so its quotes and backslashes are
// escaped (a name cannot end the literal early or pick another user's offer).
std::string userConstraint(const char* user) {
    std::string text = "UserName=='";
    for (const char* c = user != nullptr ? user : ""; *c != '\0'; ++c) {
        if (*c == '\'' || *c == '\\')
            text += '\\';
        text += *c;
    }
    text += '\'';
    return text;
}

bool usable(CORBA::Object_ptr factory) {
    try {
        return !factory->_non_existent();
    } catch (...) {
        return false;
    }
}

template <class Factory>
typename Factory::_ptr_type findFactory(FactoryCache<Factory>& cache, CORBA::TypeCode_ptr type,
                                        const char* failure) {
    const std::string constraint = userConstraint(Trader::userName());
    typename Factory::_var_type factory = cache.get();
    if (!CORBA::is_nil(factory) && !usable(factory.in())) {
        cache.drop(factory.in());
        factory = Factory::_nil();
    }
    if (CORBA::is_nil(factory)) {
        std::lock_guard<std::mutex> one(cache.lookup);
        // Another thread may have looked it up while this one waited.
        factory = cache.get();
        if (CORBA::is_nil(factory)) {
            DosTypes::ObjectSeq_var objects;
            try {
                objects = Trader::findObjects(type->id(), constraint.c_str());
            } catch (...) {
                throw EpTypes::FailedOperationException(failure);
            }
            if (objects->length() > 0) {
                try {
                    factory = Factory::_narrow(objects[0].in());
                } catch (...) {
                    factory = Factory::_nil();
                }
            }
            cache.set(factory.in());
        }
    }
    if (CORBA::is_nil(factory))
        throw EpTypes::FailedOperationException(failure);
    return factory._retn();
}

FactoryCache<EpTypesService::DefaultDataTypeConverterFactory> defaultCache;
FactoryCache<EpTypesService::DefaultScalingDataTypeConverterFactory> scalingCache;

} // namespace

EpTypesService::DefaultDataTypeConverterFactory_ptr DefaultDataTypeConverter::getDefaultFactory() {
    return findFactory(defaultCache, EpTypesService::_tc_DefaultDataTypeConverterFactory,
                       "Error in getDefaultFactory; cannot resolve "
                       "EpTypesService::DefaultDataTypeConverterFactory from trader.");
}

EpTypesService::DefaultScalingDataTypeConverterFactory_ptr
DefaultDataTypeConverter::getScalingFactory() {
    return findFactory(scalingCache, EpTypesService::_tc_DefaultScalingDataTypeConverterFactory,
                       "Error in getScalingFactory; cannot resolve "
                       "EpTypesService::DefaultScalingDataTypeConverterFactory from trader.");
}

} // namespace hvc_util
