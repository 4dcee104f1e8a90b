#include "ReferenceValueServants.h"

#include "ReferenceValueService.h"

#include <algorithm>
#include <string>

namespace hvc_sandbox {

namespace {

// Values [from, from + count) of `values`, as the platform's sequence.
EpReferenceValueService::ReferenceValueSeq* sequence(const ValueList& values, std::size_t from,
                                                     std::size_t count) {
    auto* seq = new EpReferenceValueService::ReferenceValueSeq(static_cast<CORBA::ULong>(count));
    seq->length(static_cast<CORBA::ULong>(count));
    for (std::size_t i = 0; i < count; ++i) {
        (*seq)[static_cast<CORBA::ULong>(i)].value = values[from + i].value.c_str();
        (*seq)[static_cast<CORBA::ULong>(i)].description = values[from + i].description.c_str();
    }
    return seq;
}

// How many of the values left after `from` one call hands out.
std::size_t portion(const ValueList& values, std::size_t from, CORBA::ULong howMany) {
    const std::size_t left = from < values.size() ? values.size() - from : 0;
    return std::min({left, static_cast<std::size_t>(howMany),
                     static_cast<std::size_t>(ReferenceValueService::batch)});
}

} // namespace

EpReferenceValueService::IdentificationSeq* ReferenceValueServiceServant::getIdentifications() {
    auto* ids = new EpReferenceValueService::IdentificationSeq;
    ids->length(static_cast<CORBA::ULong>(room.setCount()));
    for (std::size_t i = 0; i < room.setCount(); ++i)
        (*ids)[static_cast<CORBA::ULong>(i)] = room.identification(i);
    return ids;
}

EpReferenceValueService::ReferenceValueSet_ptr ReferenceValueServiceServant::getReferenceValueSet(
    const EpReferenceValueService::Identification& id) {
    const long index = room.request(id);
    if (index < 0)
        throw EpTypes::BadArgumentsException((std::string("No reference value set '") +
                                              id.name.in() + "' of source '" + id.source.in() + "'")
                                                 .c_str());
    return room.set(static_cast<std::size_t>(index));
}

EpReferenceValueService::Identification* ReferenceValueSetServant::identification() {
    return new EpReferenceValueService::Identification(room.identification(index));
}

CORBA::ULong ReferenceValueSetServant::getCount() {
    return static_cast<CORBA::ULong>(room.values(index)->size());
}

EpReferenceValueService::ReferenceValueSeq*
ReferenceValueSetServant::getValues(CORBA::ULong howMany,
                                    EpReferenceValueService::ReferenceValueIterator_out rest) {
    std::shared_ptr<const ValueList> values = room.values(index);
    const std::size_t count = portion(*values, 0, howMany);
    EpReferenceValueService::ReferenceValueSeq_var first = sequence(*values, 0, count);
    rest = count < values->size() ? room.iterator(values, count)
                                  : EpReferenceValueService::ReferenceValueIterator::_nil();
    return first._retn();
}

CORBA::Boolean
ReferenceValueIteratorServant::nextN(CORBA::ULong howMany,
                                     EpReferenceValueService::ReferenceValueSeq_out out) {
    room.iteratorCall();
    std::lock_guard<std::mutex> hold(lock);
    const std::size_t count = portion(*values, next, howMany);
    out = sequence(*values, next, count);
    next += count;
    return count > 0;
}

void ReferenceValueIteratorServant::destroy() {
    std::lock_guard<std::mutex> hold(lock);
    if (gone)
        return; // a second destroy() that raced the first
    gone = true;
    room.destroyed(this);
}

} // namespace hvc_sandbox
