// The classification vocabularies of Interpretation: loaded whole from the
// reference value service once, then answered from a process-wide cache.
#include "hvc_util/Interpretation.h"

#include "bindings/Handlers.h"
#include "bindings/ResolveOnce.h"
#include "hvc_util/ReferenceValue.h"

#include <EpReferenceValueService.hh>

#include <cstring>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace hvc_util {

// Built whole, then only read.
class Interpretation::Vocabulary {
public:
    // In the service's order.
    DosTypes::StringSeq values;

    // Indexes `values`, which must not change afterwards.
    void index() {
        std::size_t size = 2;
        while (size < 2 * std::size_t{values.length()})
            size *= 2;
        slots.assign(size, Slot{});
        mask = size - 1;
        for (CORBA::ULong i = 0; i < values.length(); ++i) {
            const std::string_view text(values[i].in());
            if (contains(text))
                continue;
            const std::size_t hash = std::hash<std::string_view>()(text);
            std::size_t at = hash & mask;
            while (slots[at].text != nullptr)
                at = (at + 1) & mask;
            slots[at] = Slot{hash, text.size(), text.data()};
        }
    }

    bool contains(std::string_view text) const {
        const std::size_t hash = std::hash<std::string_view>()(text);
        for (std::size_t at = hash & mask; slots[at].text != nullptr; at = (at + 1) & mask) {
            const Slot& s = slots[at];
            if (s.hash == hash && s.length == text.size() &&
                std::memcmp(s.text, text.data(), text.size()) == 0)
                return true;
        }
        return false;
    }

private:
    // Open addressing over a power-of-two table at most half full: a lookup
    // is one hash, a mask and mostly one comparison.
    struct Slot {
        std::size_t hash = 0;
        std::size_t length = 0;
        const char* text = nullptr; // into `values`; null for a free slot
    };
    std::vector<Slot> slots;
    std::size_t mask = 0;
};

struct Interpretation::VocabularySource {
    const char* setName;
    OperationFailures failures;
    ResolveOnce& gate;
};

namespace {

// Every vocabulary the library reads comes from the platform's own source.
const char* const source = "Halvercast";

// How many values the library asks an iterator for once the set's count is
// reached (the set may have grown since it was counted).
const CORBA::ULong afterCount = 256;

ResolveOnce propertyTypesGate;
ResolveOnce horizonClassificationsGate;
ResolveOnce faultClassificationsGate;

void append(DosTypes::StringSeq& values, const EpReferenceValueService::ReferenceValueSeq& batch) {
    CORBA::ULong at = values.length();
    values.length(at + batch.length());
    for (CORBA::ULong i = 0; i < batch.length(); ++i)
        values[at++] = batch[i].value; // copies the text
}

// Destroys the service's iterator when the loading ends, whichever way: the
// server keeps it until then. Its own failure does not matter to the cache.
class IteratorDisposal {
public:
    explicit IteratorDisposal(EpReferenceValueService::ReferenceValueIterator_var& it)
        : iterator(it) {}
    ~IteratorDisposal() {
        if (CORBA::is_nil(iterator))
            return;
        try {
            iterator->destroy();
        } catch (...) {
        }
    }
    IteratorDisposal(const IteratorDisposal&) = delete;
    IteratorDisposal& operator=(const IteratorDisposal&) = delete;

private:
    EpReferenceValueService::ReferenceValueIterator_var& iterator;
};

} // namespace

std::atomic<const Interpretation::Vocabulary*> Interpretation::propertyTypes{nullptr};
std::atomic<const Interpretation::Vocabulary*> Interpretation::horizonClassifications{nullptr};
std::atomic<const Interpretation::Vocabulary*> Interpretation::faultClassifications{nullptr};

const Interpretation::Vocabulary* Interpretation::load(std::atomic<const Vocabulary*>& cache,
                                                       const VocabularySource& from) {
    if (const Vocabulary* loaded = cache.load(std::memory_order_acquire))
        return loaded;
    auto fetch = [&from]() -> const Vocabulary* {
        return withHandlers(from.failures, [&from]() -> const Vocabulary* {
            EpReferenceValueService::ReferenceValueService_var service =
                ReferenceValue::getService();
            EpReferenceValueService::Identification id;
            id.source = source;
            id.name = from.setName;
            EpReferenceValueService::ReferenceValueSet_var set = service->getReferenceValueSet(id);
            const CORBA::ULong count = set->getCount();

            EpReferenceValueService::ReferenceValueIterator_var rest;
            IteratorDisposal disposal(rest);
            EpReferenceValueService::ReferenceValueSeq_var first =
                set->getValues(count, rest.out());
            auto vocabulary = std::make_unique<Vocabulary>();
            append(vocabulary->values, first.in());
            // The service may hand out only part at once: the rest comes
            // through the iterator, and the cache is whole or not kept.
            while (!CORBA::is_nil(rest)) {
                const CORBA::ULong have = vocabulary->values.length();
                EpReferenceValueService::ReferenceValueSeq_var more;
                const bool left = rest->nextN(count > have ? count - have : afterCount, more.out());
                append(vocabulary->values, more.in());
                if (!left || more->length() == 0)
                    break;
            }
            if (vocabulary->values.length() == 0)
                return nullptr; // nothing is kept: the next call asks again
            vocabulary->index();
            return vocabulary.release();
        });
    };
    return from.gate.resolve(cache, fetch, [](const Vocabulary* lost) { delete lost; });
}

const Interpretation::Vocabulary* Interpretation::loadPropertyTypes() {
    static const VocabularySource from{"ShapePropertyType",
                                       {"Error when loading the property cache.",
                                        "Unknown Exception when loading the property cache."},
                                       propertyTypesGate};
    return load(propertyTypes, from);
}

// The set name is the platform's, spelling included.
const Interpretation::Vocabulary* Interpretation::loadHorizonClassifications() {
    static const VocabularySource from{
        "HorizonClassfication",
        {"Error when loading the horizon classification cache.",
         "Unknown Exception when loading the horizon classification cache."},
        horizonClassificationsGate};
    return load(horizonClassifications, from);
}

const Interpretation::Vocabulary* Interpretation::loadFaultClassifications() {
    static const VocabularySource from{
        "FaultClassification",
        {"Error when loading the fault classification cache.",
         "Unknown Exception when loading the fault classification cache."},
        faultClassificationsGate};
    return load(faultClassifications, from);
}

DosTypes::StringSeq Interpretation::validShapePropertyTypes() {
    const Vocabulary* v = loadPropertyTypes();
    return v != nullptr ? v->values : DosTypes::StringSeq();
}

DosTypes::StringSeq Interpretation::validPropertyTypes() {
    return validShapePropertyTypes();
}

DosTypes::StringSeq Interpretation::validHorizonClassifications() {
    const Vocabulary* v = loadHorizonClassifications();
    return v != nullptr ? v->values : DosTypes::StringSeq();
}

DosTypes::StringSeq Interpretation::validFaultClassifications() {
    const Vocabulary* v = loadFaultClassifications();
    return v != nullptr ? v->values : DosTypes::StringSeq();
}

bool Interpretation::isValidPropertyType(const char* value) {
    const Vocabulary* v = loadPropertyTypes();
    return value != nullptr && v != nullptr && v->contains(value);
}

bool Interpretation::isValidHorizonClassification(const char* value) {
    const Vocabulary* v = loadHorizonClassifications();
    return value != nullptr && v != nullptr && v->contains(value);
}

bool Interpretation::isValidFaultClassification(const char* value) {
    const Vocabulary* v = loadFaultClassifications();
    return value != nullptr && v != nullptr && v->contains(value);
}

} // namespace hvc_util
