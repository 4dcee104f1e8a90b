// A room whose service is still to come: one placeholder object published for
// its catalogue entry.
#pragma once

#include "sandbox/Room.h"

#include <hvc_util/ServiceCatalogue.h>

#include <string>
#include <vector>

namespace hvc_sandbox {

class PlaceholderRoom : public Room {
public:
    // `repositoryIds` starts with the most derived interface.
    PlaceholderRoom(const char* roomName, hvc_util::ServiceCatalogue::Service service,
                    std::vector<std::string> repositoryIds);

    const char* name() const override { return roomName; }
    void start(Platform& platform, PortableServer::POA_ptr poa) override;

private:
    const char* roomName;
    hvc_util::ServiceCatalogue::Service service;
    std::vector<std::string> ids;
};

} // namespace hvc_sandbox
