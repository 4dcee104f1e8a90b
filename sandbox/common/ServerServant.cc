#include "ServerServant.h"

namespace hvc_sandbox {

ServerServant::ServerServant(CosLifeCycle::FactoryFinder_ptr f)
    : finder(CosLifeCycle::FactoryFinder::_duplicate(f)) {}

CosLifeCycle::FactoryFinder_ptr ServerServant::getFactoryFinder() {
    return CosLifeCycle::FactoryFinder::_duplicate(finder.in());
}

} // namespace hvc_sandbox
