#include "hvc_util/ServiceCatalogue.h"

#include "hvc_util/Coordinate.h"
#include "hvc_util/Notification.h"
#include "hvc_util/ReferenceValue.h"
#include "hvc_util/Trader.h"
#include "hvc_util/UnitOfMeasure.h"
#include "hvc_util/UserProfile.h"

#include <cstring>

namespace hvc_util {

namespace {

using Service = ServiceCatalogue::Service;
using FirstAttempt = ServiceCatalogue::FirstAttempt;

// Columns: service, interface, repository id, operation, variable, bind name,
// first attempt, empty counts as absent, force the script, consult the
// profile, failure text, print the failure, failures pass.
const ServiceCatalogue::Entry entries[] = {
    {Service::CoordinateFinder, "EpCoordinateService::Finder", "IDL:EpCoordinateService/Finder:1.0",
     "getFinder", "HVC_COORD_FIND_IOR", "EpCoordinateService", FirstAttempt::ServerFactory, true,
     true, true, nullptr, false, false,
     []() -> CORBA::Object_ptr { return Coordinate::getFinder(); }},
    {Service::CoordinateFactory, "EpCoordinateService::Factory",
     "IDL:EpCoordinateService/Factory:1.0", "getFactory", "HVC_COORD_FACT_IOR",
     "EpCoordinateService", FirstAttempt::ServerFactory, false, true, true, nullptr, false, false,
     []() -> CORBA::Object_ptr { return Coordinate::getFactory(); }},
    {Service::ChannelFactory, "CosNotifyChannelAdmin::EventChannelFactory",
     "IDL:omg.org/CosNotifyChannelAdmin/EventChannelFactory:1.0", "getChannelFactory",
     "HVC_NOTIFY_IOR", "NotificationService", FirstAttempt::Bind, true, true, true, nullptr, false,
     false, []() -> CORBA::Object_ptr { return Notification::getChannelFactory(); }},
    {Service::ReferenceValues, "EpReferenceValueService::ReferenceValueService",
     "IDL:EpReferenceValueService/ReferenceValueService:1.0", "getService", "HVC_RVS_IOR",
     "Server.EpReferenceValueService", FirstAttempt::Bind, true, true, true, nullptr, false, false,
     []() -> CORBA::Object_ptr { return ReferenceValue::getService(); }},
    {Service::TraderLookup, "CosTrading::Lookup", "IDL:omg.org/CosTrading/Lookup:1.0",
     "lookupTradingService", "HVC_TRADER_IOR", "TradingService", FirstAttempt::Bind, true, true,
     true, "Cannot resolve CosTrading::Lookup service.", true, false,
     []() -> CORBA::Object_ptr { return Trader::lookupTradingService(); }},
    // The units server is not worth a second script run in a process that has
    // already run it successfully.
    {Service::UnitsServer, "EpUnitOfMeasureService::Server",
     "IDL:EpUnitOfMeasureService/Server:1.0", "getServer", "HVC_UNITS_IOR",
     "Server.EpUnitOfMeasureService", FirstAttempt::Bind, false, false, true, nullptr, false, false,
     []() -> CORBA::Object_ptr { return UnitOfMeasure::getServer(); }},
    {Service::AliasService, "EpUser::AliasService", "IDL:EpUser/AliasService:1.0",
     "getUserAliasService", "HVC_UAS_IOR", "Server.EpUser_AliasService", FirstAttempt::Bind, true,
     true, true, nullptr, false, false,
     []() -> CORBA::Object_ptr { return UserProfile::getUserAliasService(); }},
    // The profile is the last means of the others, so it cannot consult
    // itself; an unknown alias or a failing script is the caller's to know.
    {Service::UserProfile, "EpUser::UserProfile", "IDL:EpUser/UserProfile:1.0", "getUserProfile",
     "HVC_USER_IOR", "UserProfile.", FirstAttempt::AliasLookup, true, true, false,
     "Cannot connect to your Halvercast user server, Ensure that your Halvercast user server is "
     "running.",
     false, true, []() -> CORBA::Object_ptr { return UserProfile::getUserProfile(); }},
};

constexpr std::size_t count = sizeof entries / sizeof entries[0];

} // namespace

const ServiceCatalogue::Entry* ServiceCatalogue::begin() {
    return entries;
}

const ServiceCatalogue::Entry* ServiceCatalogue::end() {
    return entries + count;
}

std::size_t ServiceCatalogue::size() {
    return count;
}

const ServiceCatalogue::Entry& ServiceCatalogue::entry(Service service) {
    return entries[static_cast<std::size_t>(service)];
}

const ServiceCatalogue::Entry* ServiceCatalogue::find(const char* interfaceName) {
    if (interfaceName == nullptr)
        return nullptr;
    for (const Entry& e : entries)
        if (std::strcmp(e.interfaceName, interfaceName) == 0)
            return &e;
    return nullptr;
}

} // namespace hvc_util
