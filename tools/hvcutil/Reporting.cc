#include "Reporting.h"

#include <CosLifeCycle.hh>
#include <EpSession.hh>
#include <EpUser.hh>

#include <cstdio>
#include <exception>

namespace hvcutil {

int reporting(const std::function<int()>& body) {
    try {
        return body();
    } catch (const EpTypes::FailedOperationException& e) {
        std::fprintf(stderr, "hvcutil: %s\n", e.reason.in());
    } catch (const EpTypes::BadArgumentsException& e) {
        std::fprintf(stderr, "hvcutil: EpTypes::BadArgumentsException: %s\n", e.reason.in());
    } catch (const EpSession::SessionNotExistException& e) {
        std::fprintf(stderr, "hvcutil: EpSession::SessionNotExistException: %s\n", e.reason.in());
    } catch (const EpSession::DuplicateNameException& e) {
        std::fprintf(stderr, "hvcutil: EpSession::DuplicateNameException: %s\n", e.reason.in());
    } catch (const EpUser::NoKnownAliasException& e) {
        std::fprintf(stderr, "hvcutil: EpUser::NoKnownAliasException: %s\n", e.reason.in());
    } catch (const CosLifeCycle::NotRemovable& e) {
        std::fprintf(stderr, "hvcutil: CosLifeCycle::NotRemovable: %s\n", e.reason.in());
    } catch (const CORBA::Exception& e) {
        std::fprintf(stderr, "hvcutil: CORBA::%s\n", e._name());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "hvcutil: %s\n", e.what());
    }
    return exitFailure;
}

int usageOf(const char* command, const char* usage) {
    std::fprintf(stderr, "usage: hvcutil %s %s\n", command, usage);
    return exitUsage;
}

} // namespace hvcutil
