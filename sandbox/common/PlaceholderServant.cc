#include "PlaceholderServant.h"

namespace hvc_sandbox {

const char* const PlaceholderServant::markId = "IDL:hvc-sandbox/Placeholder:1.0";

PlaceholderServant::PlaceholderServant(std::vector<std::string> repositoryIds)
    : ids(std::move(repositoryIds)) {
    ids.push_back("IDL:omg.org/CORBA/Object:1.0");
    ids.push_back(markId);
}

void PlaceholderServant::invoke(CORBA::ServerRequest_ptr) {
    throw CORBA::NO_IMPLEMENT(0, CORBA::COMPLETED_NO);
}

CORBA::RepositoryId PlaceholderServant::_primary_interface(const PortableServer::ObjectId&,
                                                           PortableServer::POA_ptr) {
    return CORBA::string_dup(ids.front().c_str());
}

const char* PlaceholderServant::_mostDerivedRepoId() {
    return ids.front().c_str();
}

CORBA::Boolean PlaceholderServant::_is_a(const char* repositoryId) {
    for (const std::string& id : ids)
        if (id == repositoryId)
            return true;
    return false;
}

} // namespace hvc_sandbox
