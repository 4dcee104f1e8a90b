// The reference value service of the sandbox: the platform's controlled
// vocabularies, from the data file it ships (refvalues.json, see README.md).
#pragma once

#include "ReferenceValueServants.h"
#include "ValueSets.h"

#include "sandbox/Room.h"

#include <EpReferenceValueService.hh>

#include <atomic>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace hvc_sandbox {

// Owns the sets read at start and, through Servant_var holders and its POA,
// the service, set and iterator servants. Serves any number of clients at
// once; the knobs are for tests.
class ReferenceValueService : public Room {
public:
    // The most values one call hands out; less than the largest set, so
    // that clients meet the iterator.
    static constexpr CORBA::ULong batch = 5;
    // The most iterators alive at once: a client that never destroys its
    // iterators cannot grow the platform without bound; past it the oldest
    // goes (later calls on it raise OBJECT_NOT_EXIST).
    static constexpr std::size_t maxIterators = 1000;

    const char* name() const override { return "refvalues"; }
    // Raises std::runtime_error when the data file is not as it should be.
    void start(Platform& platform, PortableServer::POA_ptr poa) override;

    // For the servants.
    std::size_t setCount() const { return sets.size(); }
    const EpReferenceValueService::Identification& identification(std::size_t index) const {
        return sets[index].id;
    }
    // The index of the set `id` names; -1 for none. Counts the request.
    long request(const EpReferenceValueService::Identification& id);
    EpReferenceValueService::ReferenceValueSet_ptr set(std::size_t index) const;
    std::shared_ptr<const ValueList> values(std::size_t index) const;
    // A new iterator over `values` from `from` on (a new reference).
    EpReferenceValueService::ReferenceValueIterator_ptr
    iterator(std::shared_ptr<const ValueList> values, std::size_t from);
    // An iterator's destroy(): it serves nothing afterwards.
    void destroyed(PortableServer::ServantBase* iterator);
    // Raises CORBA::NO_RESOURCES while the knob says iterators fail.
    void iteratorCall() const;

    // Knobs. The set of that source and name gets these values (empty
    // descriptions); raises std::out_of_range for a set it does not serve.
    void replaceValues(const std::string& source, const std::string& setName,
                       const std::vector<std::string>& values);
    // How often a set of that name was asked for.
    int requests(const std::string& setName) const;
    // The next `count` requests for a set raise CORBA::NO_RESOURCES.
    void failRequests(int count) { failing = count; }
    // While on, iterators raise CORBA::NO_RESOURCES instead of values.
    void failIterators(bool on) { iteratorsFail = on; }
    // Iterators made and not yet destroyed.
    int liveIterators() const;

private:
    struct Served {
        EpReferenceValueService::Identification id;
        std::shared_ptr<const ValueList> values; // guarded by lock
        PortableServer::Servant_var<ReferenceValueSetServant> servant;
        EpReferenceValueService::ReferenceValueSet_var ref;
    };

    PortableServer::POA_var poa;
    PortableServer::Servant_var<ReferenceValueServiceServant> service;
    std::vector<Served> sets;
    mutable std::mutex lock;
    std::map<std::string, int> requested; // guarded by lock
    std::atomic<int> failing{0};
    std::atomic<bool> iteratorsFail{false};
    // Iterators made and not yet destroyed, oldest first; guarded by lock.
    std::deque<PortableServer::Servant_var<ReferenceValueIteratorServant>> open;
};

} // namespace hvc_sandbox
