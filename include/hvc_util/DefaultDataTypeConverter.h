// The data-type converter factories the platform offers each user through the
// trader.
#pragma once

#include <hvc_util/Export.h>

#include <EpTypesService.hh>

namespace hvc_util {

// Set of static operations. Owns one cached reference per factory kind for
// the life of the process, replaced when the cached factory no longer exists
// (it says so, or its existence probe raises). Safe to call from several
// threads: one lookup runs at a time and the others take its result.
class HVC_UTIL_API DefaultDataTypeConverter {
public:
    // The first factory in the trader's order among the offers of the
    // factory's repository id whose "UserName" is the process user's login
    // name (Trader::userName; the empty text when none is known). A new
    // reference owned by the caller. Raises EpTypes::FailedOperationException
    // "Error in getDefaultFactory; cannot resolve
    // EpTypesService::DefaultDataTypeConverterFactory from trader." when the
    // trader cannot be asked or offers none.
    static EpTypesService::DefaultDataTypeConverterFactory_ptr getDefaultFactory();

    // As getDefaultFactory, for the scaling factory; its failure text is
    // "Error in getScalingFactory; cannot resolve
    // EpTypesService::DefaultScalingDataTypeConverterFactory from trader."
    static EpTypesService::DefaultScalingDataTypeConverterFactory_ptr getScalingFactory();
};

} // namespace hvc_util
