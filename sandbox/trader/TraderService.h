// The trading service of the sandbox: for now a placeholder lookup.
#pragma once

#include "sandbox/common/PlaceholderRoom.h"

#include <CosTrading.hh>

namespace hvc_sandbox {

class TraderService : public PlaceholderRoom {
public:
    TraderService()
        : PlaceholderRoom("trader", hvc_util::ServiceCatalogue::Service::TraderLookup,
                          {CosTrading::Lookup::_PD_repoId, CosTrading::TraderComponents::_PD_repoId,
                           CosTrading::SupportAttributes::_PD_repoId,
                           CosTrading::ImportAttributes::_PD_repoId}) {}
};

} // namespace hvc_sandbox
