// The units service of the sandbox: for now a placeholder units server.
#pragma once

#include "sandbox/common/PlaceholderRoom.h"

#include <EpUnitOfMeasureService.hh>

namespace hvc_sandbox {

class UnitsService : public PlaceholderRoom {
public:
    UnitsService()
        : PlaceholderRoom(
              "units", hvc_util::ServiceCatalogue::Service::UnitsServer,
              {EpUnitOfMeasureService::Server::_PD_repoId, EpServer::Server::_PD_repoId}) {}
};

} // namespace hvc_sandbox
