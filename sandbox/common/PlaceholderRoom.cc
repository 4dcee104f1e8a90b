#include "PlaceholderRoom.h"

#include "Activation.h"
#include "PlaceholderServant.h"

#include "sandbox/Platform.h"

namespace hvc_sandbox {

PlaceholderRoom::PlaceholderRoom(const char* name, hvc_util::ServiceCatalogue::Service of,
                                 std::vector<std::string> repositoryIds)
    : roomName(name), service(of), ids(std::move(repositoryIds)) {}

void PlaceholderRoom::start(Platform& platform, PortableServer::POA_ptr poa) {
    PortableServer::Servant_var<PlaceholderServant> servant(new PlaceholderServant(ids));
    CORBA::Object_var ref = Activation::activate(poa, "placeholder", servant.in());
    platform.publish(service, poa, ref);
}

} // namespace hvc_sandbox
