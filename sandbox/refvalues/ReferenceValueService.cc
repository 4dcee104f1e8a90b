#include "ReferenceValueService.h"

#include "sandbox/Platform.h"
#include "sandbox/common/Activation.h"

#include <algorithm>
#include <stdexcept>

namespace hvc_sandbox {

void ReferenceValueService::start(Platform& platform, PortableServer::POA_ptr roomPoa) {
    poa = PortableServer::POA::_duplicate(roomPoa);
    const std::vector<ValueSets::Set> file = ValueSets::builtIn();
    sets.resize(file.size());
    for (std::size_t i = 0; i < file.size(); ++i) {
        Served& s = sets[i];
        s.id.source = file[i].source.c_str();
        s.id.name = file[i].name.c_str();
        s.values = std::make_shared<const ValueList>(file[i].values);
        s.servant = new ReferenceValueSetServant(*this, i);
        // The service and its sets are the same across restarts of a platform
        // with a home; iterators live only as long as the process.
        CORBA::Object_var ref =
            Activation::activate(poa, "set:" + file[i].source + ":" + file[i].name, s.servant.in());
        s.ref = EpReferenceValueService::ReferenceValueSet::_narrow(ref.in());
    }
    service = new ReferenceValueServiceServant(*this);
    CORBA::Object_var ref = Activation::activate(poa, "service", service.in());
    platform.publish(hvc_util::ServiceCatalogue::Service::ReferenceValues, poa, ref);
}

long ReferenceValueService::request(const EpReferenceValueService::Identification& id) {
    {
        std::lock_guard<std::mutex> hold(lock);
        ++requested[id.name.in()];
    }
    int left = failing.load();
    while (left > 0 && !failing.compare_exchange_weak(left, left - 1)) {
    }
    if (left > 0)
        throw CORBA::NO_RESOURCES(0, CORBA::COMPLETED_NO);
    for (std::size_t i = 0; i < sets.size(); ++i)
        if (std::string(sets[i].id.source.in()) == id.source.in() &&
            std::string(sets[i].id.name.in()) == id.name.in())
            return static_cast<long>(i);
    return -1;
}

EpReferenceValueService::ReferenceValueSet_ptr ReferenceValueService::set(std::size_t index) const {
    return EpReferenceValueService::ReferenceValueSet::_duplicate(sets[index].ref.in());
}

std::shared_ptr<const ValueList> ReferenceValueService::values(std::size_t index) const {
    std::lock_guard<std::mutex> hold(lock);
    return sets[index].values;
}

EpReferenceValueService::ReferenceValueIterator_ptr
ReferenceValueService::iterator(std::shared_ptr<const ValueList> values, std::size_t from) {
    PortableServer::Servant_var<ReferenceValueIteratorServant> servant(
        new ReferenceValueIteratorServant(*this, std::move(values), from));
    CORBA::Object_var ref = Activation::activate(poa, servant.in());
    PortableServer::Servant_var<ReferenceValueIteratorServant> oldest;
    {
        std::lock_guard<std::mutex> hold(lock);
        open.push_back(servant);
        if (open.size() > maxIterators) {
            oldest = open.front();
            open.pop_front();
        }
    }
    if (oldest.in() != nullptr)
        Activation::deactivate(poa, oldest.in());
    return EpReferenceValueService::ReferenceValueIterator::_narrow(ref.in());
}

void ReferenceValueService::destroyed(PortableServer::ServantBase* iterator) {
    {
        std::lock_guard<std::mutex> hold(lock);
        auto found = std::find_if(open.begin(), open.end(),
                                  [&](const auto& held) { return held.in() == iterator; });
        if (found == open.end())
            return; // already let go as the oldest
        open.erase(found);
    }
    Activation::deactivate(poa, iterator);
}

int ReferenceValueService::liveIterators() const {
    std::lock_guard<std::mutex> hold(lock);
    return static_cast<int>(open.size());
}

void ReferenceValueService::iteratorCall() const {
    if (iteratorsFail)
        throw CORBA::NO_RESOURCES(0, CORBA::COMPLETED_NO);
}

void ReferenceValueService::replaceValues(const std::string& source, const std::string& setName,
                                          const std::vector<std::string>& values) {
    auto list = std::make_shared<ValueList>();
    for (const std::string& v : values)
        list->push_back({v, ""});
    std::lock_guard<std::mutex> hold(lock);
    for (Served& s : sets)
        if (source == s.id.source.in() && setName == s.id.name.in()) {
            s.values = std::move(list);
            return;
        }
    throw std::out_of_range("no reference value set " + source + "/" + setName);
}

int ReferenceValueService::requests(const std::string& setName) const {
    std::lock_guard<std::mutex> hold(lock);
    auto found = requested.find(setName);
    return found != requested.end() ? found->second : 0;
}

} // namespace hvc_sandbox
