// A servant for an interface whose sandbox implementation is still to come:
// it exists, answers _is_a for its interface, its bases and the placeholder
// mark (so tools can say it is no real service), and raises
// CORBA::NO_IMPLEMENT for every operation.
#pragma once

#include <omniORB4/CORBA.h>

#include <string>
#include <vector>

namespace hvc_sandbox {

class PlaceholderServant : public PortableServer::DynamicImplementation {
public:
    // The repository id every placeholder answers _is_a for.
    static const char* const markId;

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
