#include "ChannelServants.h"

#include "AdminServants.h"
#include "sandbox/common/Activation.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>

namespace hvc_sandbox {

using namespace CosNotifyChannelAdmin;

namespace {

template <class Admins> AdminIDSeq* idsOf(const Admins& admins) {
    AdminIDSeq_var ids = new AdminIDSeq;
    ids->length(static_cast<CORBA::ULong>(admins.size()));
    CORBA::ULong i = 0;
    for (const auto& entry : admins)
        ids[i++] = entry.first;
    return ids._retn();
}

template <class Admins> CORBA::Object_ptr referenceOf(const Admins& admins, AdminID id) {
    auto found = admins.find(id);
    if (found == admins.end())
        throw AdminNotFound();
    return CORBA::Object::_duplicate(found->second.ref.in());
}

const char* const consumerSide = "consumer";
const char* const supplierSide = "supplier";
// Identifiers are never handed out twice, across restarts too: an old
// reference to a destroyed channel does not come to name a new one.
const char* const nextChannelFact = "notification.nextChannel";

// The named properties as unsupported, for UnsupportedQoS and UnsupportedAdmin.
CosNotification::PropertyErrorSeq unsupported(const CosNotification::PropertySeq& given) {
    CosNotification::PropertyErrorSeq errors;
    errors.length(given.length());
    for (CORBA::ULong i = 0; i < given.length(); ++i) {
        errors[i].code = CosNotification::UNSUPPORTED_PROPERTY;
        errors[i].name = given[i].name;
    }
    return errors;
}

} // namespace

EventChannelServant::EventChannelServant(EventChannelFactoryServant& owner,
                                         PortableServer::POA_ptr p, const ChannelState& state)
    : factory(owner), poa(PortableServer::POA::_duplicate(p)), channelId(state.id), record(state) {}

EventChannelServant::~EventChannelServant() {
    delivery.stop();
}

std::string EventChannelServant::objectId() const {
    return "channel:" + std::to_string(channelId);
}

std::string EventChannelServant::adminId(const char* side, AdminID id) const {
    return objectId() + ":" + side + ":" + std::to_string(id);
}

void EventChannelServant::change(const ChannelState& next) {
    factory.keep(next);
    record = next;
}

void EventChannelServant::start() {
    CORBA::Object_var ref = Activation::activate(poa, objectId(), this);
    self = CosNotifyChannelAdmin::EventChannel::_narrow(ref);
    std::lock_guard<std::mutex> hold(lock);
    for (const AdminState& admin : record.consumerAdmins)
        addConsumerAdmin(admin);
    for (const AdminState& admin : record.supplierAdmins)
        addSupplierAdmin(admin);
}

AdminID EventChannelServant::addConsumerAdmin(const AdminState& admin) {
    PortableServer::Servant_var<ConsumerAdminServant> servant(
        new ConsumerAdminServant(*this, poa, admin));
    CORBA::Object_var ref =
        Activation::activate(poa, adminId(consumerSide, admin.id), servant.in());
    consumerAdmins[admin.id] = {servant, ref};
    return admin.id;
}

AdminID EventChannelServant::addSupplierAdmin(const AdminState& admin) {
    PortableServer::Servant_var<SupplierAdminServant> servant(
        new SupplierAdminServant(*this, poa, admin));
    CORBA::Object_var ref =
        Activation::activate(poa, adminId(supplierSide, admin.id), servant.in());
    supplierAdmins[admin.id] = {servant, ref};
    return admin.id;
}

EventChannelFactory_ptr EventChannelServant::MyFactory() {
    return factory.reference();
}

ConsumerAdmin_ptr EventChannelServant::default_consumer_admin() {
    return get_consumeradmin(ChannelState::defaultAdmin);
}

SupplierAdmin_ptr EventChannelServant::default_supplier_admin() {
    return get_supplieradmin(ChannelState::defaultAdmin);
}

CosNotifyFilter::FilterFactory_ptr EventChannelServant::default_filter_factory() {
    notImplemented();
}

ConsumerAdmin_ptr EventChannelServant::new_for_consumers(InterFilterGroupOperator op, AdminID& id) {
    std::lock_guard<std::mutex> hold(lock);
    if (closed)
        throw CORBA::OBJECT_NOT_EXIST(0, CORBA::COMPLETED_NO);
    const AdminState admin{record.nextAdmin, op};
    ChannelState next = record;
    ++next.nextAdmin;
    next.consumerAdmins.push_back(admin);
    change(next);
    id = addConsumerAdmin(admin);
    return ConsumerAdmin::_narrow(consumerAdmins[id].ref);
}

SupplierAdmin_ptr EventChannelServant::new_for_suppliers(InterFilterGroupOperator op, AdminID& id) {
    std::lock_guard<std::mutex> hold(lock);
    if (closed)
        throw CORBA::OBJECT_NOT_EXIST(0, CORBA::COMPLETED_NO);
    const AdminState admin{record.nextAdmin, op};
    ChannelState next = record;
    ++next.nextAdmin;
    next.supplierAdmins.push_back(admin);
    change(next);
    id = addSupplierAdmin(admin);
    return SupplierAdmin::_narrow(supplierAdmins[id].ref);
}

ConsumerAdmin_ptr EventChannelServant::get_consumeradmin(AdminID id) {
    std::lock_guard<std::mutex> hold(lock);
    CORBA::Object_var ref = referenceOf(consumerAdmins, id);
    return ConsumerAdmin::_narrow(ref);
}

SupplierAdmin_ptr EventChannelServant::get_supplieradmin(AdminID id) {
    std::lock_guard<std::mutex> hold(lock);
    CORBA::Object_var ref = referenceOf(supplierAdmins, id);
    return SupplierAdmin::_narrow(ref);
}

AdminIDSeq* EventChannelServant::get_all_consumeradmins() {
    std::lock_guard<std::mutex> hold(lock);
    return idsOf(consumerAdmins);
}

AdminIDSeq* EventChannelServant::get_all_supplieradmins() {
    std::lock_guard<std::mutex> hold(lock);
    return idsOf(supplierAdmins);
}

CosEventChannelAdmin::ConsumerAdmin_ptr EventChannelServant::for_consumers() {
    return default_consumer_admin();
}

CosEventChannelAdmin::SupplierAdmin_ptr EventChannelServant::for_suppliers() {
    return default_supplier_admin();
}

void EventChannelServant::destroy() {
    // The caller may be a consumer inside a delivery of this very channel:
    // the deliveries are told to end, not waited for.
    close(false);
    factory.forget(channelId);
}

EventChannel_ptr EventChannelServant::reference() const {
    return CosNotifyChannelAdmin::EventChannel::_duplicate(self.in());
}

ChannelState EventChannelServant::state() const {
    std::lock_guard<std::mutex> hold(lock);
    return record;
}

void EventChannelServant::close(bool wait) {
    std::map<AdminID, Admin<ConsumerAdminServant>> consumers;
    std::map<AdminID, Admin<SupplierAdminServant>> suppliers;
    {
        std::lock_guard<std::mutex> hold(lock);
        closed = true;
        consumers.swap(consumerAdmins);
        suppliers.swap(supplierAdmins);
    }
    // The administrations let go of their proxies (and the proxies of their
    // administrations), which ends the holders' cycles.
    for (auto& entry : consumers) {
        entry.second.servant->close();
        Activation::deactivate(poa, entry.second.servant.in());
    }
    for (auto& entry : suppliers) {
        entry.second.servant->close();
        Activation::deactivate(poa, entry.second.servant.in());
    }
    if (wait)
        delivery.stop();
    else
        delivery.retireAll();
    Activation::deactivate(poa, this);
}

// Removes the administration `id` from `admins` and from the side of the
// channel's state `side` picks, once the state without it is kept.
template <class Admins, class Change>
void forgetAdmin(std::mutex& lock, Admins& admins, const ChannelState& current,
                 std::vector<AdminState> ChannelState::*side, AdminID id,
                 PortableServer::POA_ptr poa, Change&& change) {
    typename Admins::mapped_type admin;
    {
        std::lock_guard<std::mutex> hold(lock);
        auto found = admins.find(id);
        if (found == admins.end())
            return;
        ChannelState record = current;
        std::vector<AdminState>& states = record.*side;
        states.erase(std::remove_if(states.begin(), states.end(),
                                    [id](const AdminState& s) { return s.id == id; }),
                     states.end());
        change(record);
        admin = found->second;
        admins.erase(found);
    }
    admin.servant->close();
    Activation::deactivate(poa, admin.servant.in());
}

void EventChannelServant::forgetConsumerAdmin(AdminID id) {
    forgetAdmin(lock, consumerAdmins, record, &ChannelState::consumerAdmins, id, poa,
                [this](const ChannelState& next) { change(next); });
}

void EventChannelServant::forgetSupplierAdmin(AdminID id) {
    forgetAdmin(lock, supplierAdmins, record, &ChannelState::supplierAdmins, id, poa,
                [this](const ChannelState& next) { change(next); });
}

EventChannelFactoryServant::EventChannelFactoryServant(PortableServer::POA_ptr p, StateStore& state)
    : poa(PortableServer::POA::_duplicate(p)), store(state) {
    if (const std::optional<std::string> recorded = store.fact(nextChannelFact))
        next = static_cast<ChannelID>(std::stol(*recorded));
}

const std::vector<std::string>& EventChannelFactoryServant::schema() {
    static const std::vector<std::string> steps = {
        "CREATE TABLE channels(id INTEGER PRIMARY KEY, next_admin INTEGER NOT NULL);"
        "CREATE TABLE channel_admins(channel_id INTEGER NOT NULL REFERENCES channels(id)"
        " ON DELETE CASCADE, side TEXT NOT NULL CHECK(side IN ('consumer', 'supplier')),"
        " admin_id INTEGER NOT NULL, operator INTEGER NOT NULL,"
        " PRIMARY KEY(channel_id, side, admin_id));",
    };
    return steps;
}

std::vector<ChannelState> EventChannelFactoryServant::kept(StateStore& store) {
    std::vector<ChannelState> all;
    {
        StateStore::Statement read(store, "SELECT id, next_admin FROM channels ORDER BY id");
        while (read.step()) {
            ChannelState state;
            state.id = static_cast<ChannelID>(read.integer(0));
            state.nextAdmin = static_cast<AdminID>(read.integer(1));
            state.consumerAdmins.clear();
            state.supplierAdmins.clear();
            all.push_back(state);
        }
    }
    StateStore::Statement admins(store, "SELECT side, admin_id, operator FROM channel_admins"
                                        " WHERE channel_id = ? ORDER BY admin_id");
    for (ChannelState& state : all) {
        admins.bind(1, static_cast<std::int64_t>(state.id));
        while (admins.step()) {
            const AdminState admin{static_cast<AdminID>(admins.integer(1)),
                                   static_cast<InterFilterGroupOperator>(admins.integer(2))};
            (admins.text(0) == consumerSide ? state.consumerAdmins : state.supplierAdmins)
                .push_back(admin);
        }
        admins.reset();
    }
    return all;
}

void EventChannelFactoryServant::keep(const ChannelState& state) {
    StateStore::Transaction writing(store);
    StateStore::Statement channel(store, "INSERT INTO channels(id, next_admin) VALUES(?, ?)"
                                         " ON CONFLICT(id) DO UPDATE SET"
                                         " next_admin = excluded.next_admin");
    channel.bind(1, static_cast<std::int64_t>(state.id));
    channel.bind(2, static_cast<std::int64_t>(state.nextAdmin)).run();
    StateStore::Statement erase(store, "DELETE FROM channel_admins WHERE channel_id = ?");
    erase.bind(1, static_cast<std::int64_t>(state.id)).run();
    StateStore::Statement admin(store, "INSERT INTO channel_admins(channel_id, side, admin_id,"
                                       " operator) VALUES(?, ?, ?, ?)");
    for (const auto* side : {&state.consumerAdmins, &state.supplierAdmins}) {
        for (const AdminState& a : *side) {
            admin.bind(1, static_cast<std::int64_t>(state.id));
            admin.bind(2, std::string(side == &state.consumerAdmins ? consumerSide : supplierSide));
            admin.bind(3, static_cast<std::int64_t>(a.id));
            admin.bind(4, static_cast<std::int64_t>(a.op)).run();
            admin.reset();
        }
    }
    writing.commit();
}

ChannelID EventChannelFactoryServant::create(ChannelState state) {
    {
        std::lock_guard<std::mutex> hold(lock);
        if (channels.count(state.id) != 0)
            state.id = next;
        StateStore::Transaction writing(store);
        keep(state);
        store.setFact(nextChannelFact, std::to_string(std::max<ChannelID>(next, state.id + 1)));
        writing.commit();
    }
    return restore(state);
}

EventChannelFactoryServant::~EventChannelFactoryServant() {
    close();
}

EventChannel_ptr
EventChannelFactoryServant::create_channel(const CosNotification::QoSProperties& initialQos,
                                           const CosNotification::AdminProperties& initialAdmin,
                                           ChannelID& id) {
    if (initialQos.length() != 0)
        throw CosNotification::UnsupportedQoS(unsupported(initialQos));
    if (initialAdmin.length() != 0)
        throw CosNotification::UnsupportedAdmin(unsupported(initialAdmin));
    ChannelState state;
    {
        std::lock_guard<std::mutex> hold(lock);
        reapClosing();
        state.id = next;
    }
    id = create(state);
    return channel(id)->reference();
}

ChannelIDSeq* EventChannelFactoryServant::get_all_channels() {
    ChannelIDSeq_var ids = new ChannelIDSeq;
    std::lock_guard<std::mutex> hold(lock);
    ids->length(static_cast<CORBA::ULong>(channels.size()));
    CORBA::ULong i = 0;
    for (const auto& entry : channels)
        ids[i++] = entry.first;
    return ids._retn();
}

EventChannel_ptr EventChannelFactoryServant::get_event_channel(ChannelID id) {
    std::lock_guard<std::mutex> hold(lock);
    auto found = channels.find(id);
    if (found == channels.end())
        throw ChannelNotFound();
    return found->second->reference();
}

void EventChannelFactoryServant::activated(CORBA::Object_ptr ref) {
    self = CosNotifyChannelAdmin::EventChannelFactory::_narrow(ref);
}

EventChannelFactory_ptr EventChannelFactoryServant::reference() const {
    return CosNotifyChannelAdmin::EventChannelFactory::_duplicate(self.in());
}

ChannelID EventChannelFactoryServant::restore(ChannelState state) {
    std::lock_guard<std::mutex> hold(lock);
    if (channels.count(state.id) != 0)
        state.id = next;
    PortableServer::Servant_var<EventChannelServant> servant(
        new EventChannelServant(*this, poa, state));
    servant->start();
    channels.emplace(state.id, servant);
    next = std::max(next, state.id + 1);
    return state.id;
}

std::vector<ChannelState> EventChannelFactoryServant::states() const {
    std::vector<PortableServer::Servant_var<EventChannelServant>> all;
    {
        std::lock_guard<std::mutex> hold(lock);
        for (const auto& entry : channels)
            all.push_back(entry.second);
    }
    std::vector<ChannelState> result;
    for (const auto& servant : all)
        result.push_back(servant->state());
    return result;
}

PortableServer::Servant_var<EventChannelServant> EventChannelFactoryServant::channel(ChannelID id) {
    std::lock_guard<std::mutex> hold(lock);
    return channels.at(id);
}

void EventChannelFactoryServant::forget(ChannelID id) {
    std::lock_guard<std::mutex> hold(lock);
    reapClosing();
    auto found = channels.find(id);
    if (found == channels.end())
        return;
    {
        StateStore::Transaction writing(store);
        StateStore::Statement erase(store, "DELETE FROM channels WHERE id = ?");
        erase.bind(1, static_cast<std::int64_t>(id)).run();
        writing.commit();
    }
    closing.push_back(found->second);
    channels.erase(found);
}

void EventChannelFactoryServant::reapClosing() {
    // Their threads have ended, so the final stop() joins without waiting.
    for (auto it = closing.begin(); it != closing.end();) {
        if ((*it)->hub().finished()) {
            (*it)->hub().stop();
            it = closing.erase(it);
        } else {
            ++it;
        }
    }
}

void EventChannelFactoryServant::close() {
    std::map<ChannelID, PortableServer::Servant_var<EventChannelServant>> ending;
    std::vector<PortableServer::Servant_var<EventChannelServant>> destroyed;
    {
        std::lock_guard<std::mutex> hold(lock);
        ending.swap(channels);
        destroyed.swap(closing);
    }
    for (auto& entry : ending)
        entry.second->close(true);
    for (auto& channel : destroyed)
        channel->hub().stop();
}

} // namespace hvc_sandbox
