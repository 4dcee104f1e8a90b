#include "ConverterServants.h"

#include "DataTypeConversion.h"

#include "sandbox/common/Activation.h"

namespace hvc_sandbox {

EpTypes::DataValue DefaultConverterServant::convertValue(const EpTypes::DataValue& value,
                                                         EpTypes::DataType dataType) {
    return DataTypeConversion().value(value, dataType);
}

EpTypes::DataSequence* DefaultConverterServant::convertSequence(const EpTypes::DataSequence& values,
                                                                EpTypes::DataType dataType) {
    return DataTypeConversion().sequence(values, dataType);
}

ScalingConverterServant::ScalingConverterServant(CORBA::Double scale, CORBA::Double offset)
    : factor(scale), shift(offset) {}

EpTypes::DataValue ScalingConverterServant::convertValue(const EpTypes::DataValue& value,
                                                         EpTypes::DataType dataType) {
    return DataTypeConversion(factor, shift).value(value, dataType);
}

EpTypes::DataSequence* ScalingConverterServant::convertSequence(const EpTypes::DataSequence& values,
                                                                EpTypes::DataType dataType) {
    return DataTypeConversion(factor, shift).sequence(values, dataType);
}

DefaultConverterFactoryServant::DefaultConverterFactoryServant(PortableServer::POA_ptr poa,
                                                               const std::string& converterId)
    : converter(new DefaultConverterServant) {
    CORBA::Object_var ref = Activation::activate(poa, converterId, converter.in());
    converterRef = EpTypesService::DefaultDataTypeConverter::_narrow(ref.in());
}

EpTypesService::DefaultDataTypeConverter_ptr DefaultConverterFactoryServant::createConverter() {
    return EpTypesService::DefaultDataTypeConverter::_duplicate(converterRef.in());
}

ScalingConverterFactoryServant::ScalingConverterFactoryServant(PortableServer::POA_ptr where)
    : poa(PortableServer::POA::_duplicate(where)) {}

EpTypesService::DefaultScalingDataTypeConverter_ptr
ScalingConverterFactoryServant::createConverter(CORBA::Double scale, CORBA::Double offset) {
    std::lock_guard<std::mutex> hold(lock);
    auto found = converters.find({scale, offset});
    if (found == converters.end()) {
        PortableServer::Servant_var<ScalingConverterServant> servant(
            new ScalingConverterServant(scale, offset));
        CORBA::Object_var ref = Activation::activate(poa, servant.in());
        found = converters
                    .emplace(std::make_pair(scale, offset),
                             EpTypesService::DefaultScalingDataTypeConverter::_narrow(ref.in()))
                    .first;
    }
    return EpTypesService::DefaultScalingDataTypeConverter::_duplicate(found->second.in());
}

} // namespace hvc_sandbox
