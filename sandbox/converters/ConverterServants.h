// The data-type converters and the factories that make them; the
// conversions are DataTypeConversion's.
#pragma once

#include <EpTypesService.hh>

#include <map>
#include <mutex>
#include <string>
#include <utility>

namespace hvc_sandbox {

class DefaultConverterServant : public POA_EpTypesService::DefaultDataTypeConverter {
public:
    // EpTypes::InvalidDataTypeException for an unknown type or a value the
    // target type cannot hold.
    EpTypes::DataValue convertValue(const EpTypes::DataValue& value,
                                    EpTypes::DataType dataType) override;
    EpTypes::DataSequence* convertSequence(const EpTypes::DataSequence& values,
                                           EpTypes::DataType dataType) override;
};

// Immutable once made.
class ScalingConverterServant : public POA_EpTypesService::DefaultScalingDataTypeConverter {
public:
    ScalingConverterServant(CORBA::Double scale, CORBA::Double offset);

    CORBA::Double scale() override { return factor; }
    CORBA::Double offset() override { return shift; }
    // EpTypes::InvalidDataTypeException for an unknown type or a value the
    // target type cannot hold.
    EpTypes::DataValue convertValue(const EpTypes::DataValue& value,
                                    EpTypes::DataType dataType) override;
    EpTypes::DataSequence* convertSequence(const EpTypes::DataSequence& values,
                                           EpTypes::DataType dataType) override;

private:
    const CORBA::Double factor;
    const CORBA::Double shift;
};

// Hands out its one converter, activated in `poa` when the factory is made.
class DefaultConverterFactoryServant : public POA_EpTypesService::DefaultDataTypeConverterFactory {
public:
    // Activates its converter in `poa` under the object id `converterId`.
    DefaultConverterFactoryServant(PortableServer::POA_ptr poa, const std::string& converterId);
    EpTypesService::DefaultDataTypeConverter_ptr createConverter() override;

private:
    PortableServer::Servant_var<DefaultConverterServant> converter;
    EpTypesService::DefaultDataTypeConverter_var converterRef;
};

// One converter per scale and offset asked for, activated in `poa` on first
// request and kept while the factory lives.
class ScalingConverterFactoryServant
    : public POA_EpTypesService::DefaultScalingDataTypeConverterFactory {
public:
    explicit ScalingConverterFactoryServant(PortableServer::POA_ptr poa);
    EpTypesService::DefaultScalingDataTypeConverter_ptr
    createConverter(CORBA::Double scale, CORBA::Double offset) override;

private:
    PortableServer::POA_var poa;
    std::mutex lock;
    std::map<std::pair<CORBA::Double, CORBA::Double>,
             EpTypesService::DefaultScalingDataTypeConverter_var>
        converters;
};

} // namespace hvc_sandbox
