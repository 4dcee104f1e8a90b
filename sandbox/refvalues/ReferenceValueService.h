// The reference value service of the sandbox: for now a placeholder.
#pragma once

#include "sandbox/common/PlaceholderRoom.h"

#include <EpReferenceValueService.hh>

namespace hvc_sandbox {

class ReferenceValueService : public PlaceholderRoom {
public:
    ReferenceValueService()
        : PlaceholderRoom("refvalues", hvc_util::ServiceCatalogue::Service::ReferenceValues,
                          {EpReferenceValueService::ReferenceValueService::_PD_repoId}) {}
};

} // namespace hvc_sandbox
