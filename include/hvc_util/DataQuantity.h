// Measured values: a number and its unit.
#pragma once

#include <hvc_util/Export.h>

#include <EpiTypes.hh>

namespace hvc_util {

// Set of static operations; keeps no state and is safe from any thread.
class HVC_UTIL_API DataQuantity {
public:
    // A quantity holding `value` as a double (discriminator 4) and its own
    // duplicate of `unit`, which is borrowed (nil stays nil). Raises nothing.
    static EpiTypes::DataQuantity makeDataQuantity(double value,
                                                   EpUnitOfMeasureService::Unit_ptr unit);
    // The same holding a float (discriminator 3).
    static EpiTypes::DataQuantity makeDataQuantity(float value,
                                                   EpUnitOfMeasureService::Unit_ptr unit);
};

} // namespace hvc_util
