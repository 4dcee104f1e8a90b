// The coordinate service of the sandbox: the coordinate server, whose factory
// finder hands out the finder and the factory (for now placeholders).
#pragma once

#include "sandbox/Room.h"

namespace hvc_sandbox {

class CoordinateService : public Room {
public:
    const char* name() const override { return "coordinates"; }
    void start(Platform& platform, PortableServer::POA_ptr poa) override;
};

} // namespace hvc_sandbox
