#include "hvc_util/DataQuantity.h"

namespace hvc_util {

namespace {

template <class T>
EpiTypes::DataQuantity quantity(T value, void (EpTypes::DataValue::*store)(T),
                                EpUnitOfMeasureService::Unit_ptr unit) {
    EpiTypes::DataQuantity q;
    (q.value.*store)(value);
    q.unit = EpUnitOfMeasureService::Unit::_duplicate(unit);
    return q;
}

} // namespace

EpiTypes::DataQuantity DataQuantity::makeDataQuantity(double value,
                                                      EpUnitOfMeasureService::Unit_ptr unit) {
    return quantity<CORBA::Double>(value, &EpTypes::DataValue::doubleValue, unit);
}

EpiTypes::DataQuantity DataQuantity::makeDataQuantity(float value,
                                                      EpUnitOfMeasureService::Unit_ptr unit) {
    return quantity<CORBA::Float>(value, &EpTypes::DataValue::floatValue, unit);
}

} // namespace hvc_util
