// A servant for an interface whose sandbox implementation is still to come:
// it exists, answers _is_a for its interface and its bases, and raises
// CORBA::NO_IMPLEMENT for every operation.
#pragma once

#include <omniORB4/CORBA.h>

#include <string>
#include <vector>

namespace hvc_sandbox {

class PlaceholderServant : public PortableServer::DynamicImplementation {
public:
    // `repositoryIds` starts with the most derived interface.
    explicit PlaceholderServant(std::vector<std::string> repositoryIds);

    void invoke(CORBA::ServerRequest_ptr request) override;
    CORBA::RepositoryId _primary_interface(const PortableServer::ObjectId& oid,
                                           PortableServer::POA_ptr poa) override;
    CORBA::Boolean _is_a(const char* repositoryId) override;
    // The type id written into the object's references.
    const char* _mostDerivedRepoId() override;

private:
    std::vector<std::string> ids;
};

} // namespace hvc_sandbox
