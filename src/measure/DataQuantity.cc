#include "hvc_util/DataQuantity.h"

namespace hvc_util {

EpiTypes::DataQuantity DataQuantity::makeDataQuantity(double value,
                                                      EpUnitOfMeasureService::Unit_ptr unit) {
    EpiTypes::DataQuantity quantity;
    quantity.value.doubleValue(value);
    quantity.unit = EpUnitOfMeasureService::Unit::_duplicate(unit);
    return quantity;
}

EpiTypes::DataQuantity DataQuantity::makeDataQuantity(float value,
                                                      EpUnitOfMeasureService::Unit_ptr unit) {
    EpiTypes::DataQuantity quantity;
    quantity.value.floatValue(value);
    quantity.unit = EpUnitOfMeasureService::Unit::_duplicate(unit);
    return quantity;
}

} // namespace hvc_util
