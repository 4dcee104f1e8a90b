// The servants of the sandbox's reference value service: the service, one
// object per value set, and the iterators that hand out what a set did not
// return at once.
#pragma once

#include "ValueSets.h"

#include <EpReferenceValueService.hh>

#include <memory>
#include <mutex>
#include <vector>

namespace hvc_sandbox {

class ReferenceValueService;

using ValueList = std::vector<ValueSets::Value>;

// Looks sets up in its room; holds nothing of its own.
class ReferenceValueServiceServant : public POA_EpReferenceValueService::ReferenceValueService {
public:
    explicit ReferenceValueServiceServant(hvc_sandbox::ReferenceValueService& room) : room(room) {}

    EpReferenceValueService::IdentificationSeq* getIdentifications() override;
    // Raises EpTypes::BadArgumentsException for a set the room does not
    // serve.
    EpReferenceValueService::ReferenceValueSet_ptr
    getReferenceValueSet(const EpReferenceValueService::Identification& id) override;

private:
    hvc_sandbox::ReferenceValueService& room;
};

// One set: its values are the room's at the time of each call.
class ReferenceValueSetServant : public POA_EpReferenceValueService::ReferenceValueSet {
public:
    ReferenceValueSetServant(ReferenceValueService& room, std::size_t index)
        : room(room), index(index) {}

    EpReferenceValueService::Identification* identification() override;
    CORBA::ULong getCount() override;
    // At most the room's batch of the first howMany values; `rest` hands out
    // every value after those (nil when there are none).
    EpReferenceValueService::ReferenceValueSeq*
    getValues(CORBA::ULong howMany,
              EpReferenceValueService::ReferenceValueIterator_out rest) override;

private:
    hvc_sandbox::ReferenceValueService& room;
    const std::size_t index;
};

// The values of a set from a position on, as they were when it was made.
// Lives until the client destroys it. Serves one client at a time safely.
class ReferenceValueIteratorServant : public POA_EpReferenceValueService::ReferenceValueIterator {
public:
    ReferenceValueIteratorServant(ReferenceValueService& room,
                                  std::shared_ptr<const ValueList> values, std::size_t from)
        : room(room), values(std::move(values)), next(from) {}

    // At most the room's batch of the next howMany values; false when none
    // were left to give.
    CORBA::Boolean nextN(CORBA::ULong howMany,
                         EpReferenceValueService::ReferenceValueSeq_out out) override;
    void destroy() override;

private:
    hvc_sandbox::ReferenceValueService& room;
    const std::shared_ptr<const ValueList> values;
    std::mutex lock;
    std::size_t next;  // guarded by lock
    bool gone = false; // guarded by lock
};

} // namespace hvc_sandbox
