// Plain text of the values hvcutil prints (offer properties): strings,
// numbers and booleans as they are, anything else by its kind.
#pragma once

#include <omniORB4/CORBA.h>

#include <string>

namespace hvcutil {

std::string valueText(const CORBA::Any& value);

} // namespace hvcutil
