// The interface repository's declarations give CORBA::InterfaceDef its nil
// object; they must come before the ORB's header is first read.
#define ENABLE_CLIENT_IR_SUPPORT
#include <hvc_util/QueryParams.h>

#include <hvc_util/NVPSet.h>

#include "bindings/private/AnyValues.h"

#include <cstring>
#include <memory>
#include <string>
#include <utility>

namespace hvc_util {

const char* const QueryParams::session_name = "Session";
const char* const QueryParams::limitParameter = "Limit";
const char* const QueryParams::projectNamesParameter = "ProjectNames";
const char* const QueryParams::resultType = "ResultType";
const char* const QueryParams::entityCollectionType = "EpCollection::EntityCollection";
const char* const QueryParams::entitySequenceType = "EpEntity::EntitySeq";

QueryParams::QueryParams() : set(new NVPSet) {}

QueryParams::QueryParams(EpSession::Session_ptr session) : QueryParams() {
    addSession(session);
}

QueryParams::QueryParams(const CosCollection::NVPair* pairs, int count)
    : set(new NVPSet(pairs, count)) {}

QueryParams::QueryParams(const QueryParams& other) : set(new NVPSet(*other.set)) {}

QueryParams& QueryParams::operator=(const QueryParams& other) {
    auto copy = std::make_unique<NVPSet>(*other.set);
    delete set;
    set = copy.release();
    return *this;
}

QueryParams::~QueryParams() {
    delete set;
}

void QueryParams::addParameter(const char* name, const CORBA::Any& value) {
    set->value(name, value);
}

void QueryParams::addParameter(const char* name, const char* text) {
    if (text == nullptr)
        return;
    CORBA::Any value;
    value <<= text;
    set->value(name, value);
}

void QueryParams::addParameter(const char* name, const DosTypes::StringSeq& names) {
    CORBA::Any value;
    value <<= names;
    set->value(name, value);
}

void QueryParams::addSession(EpSession::Session_ptr session) {
    CORBA::Any value;
    value <<= session;
    set->value(session_name, value);
}

void QueryParams::addLimitParameter(int limit) {
    CORBA::Any value;
    value <<= static_cast<CORBA::Long>(limit);
    set->value(limitParameter, value);
}

void QueryParams::entityCollectionResultType() {
    addParameter(resultType, entityCollectionType);
}

void QueryParams::entitySequenceResultType() {
    addParameter(resultType, entitySequenceType);
}

void QueryParams::addSingleProjectNameParameter(const char* project) {
    if (project == nullptr)
        return;
    std::unique_ptr<DosTypes::StringSeq> names;
    try {
        names.reset(getStringSeqParameter(projectNamesParameter));
    } catch (const CosCollection::ParameterInvalid&) {
        names = std::make_unique<DosTypes::StringSeq>();
    }
    CORBA::ULong n = names->length();
    for (CORBA::ULong i = 0; i < n; ++i) {
        if (std::strcmp((*names)[i].in(), project) == 0)
            return;
    }
    names->length(n + 1);
    (*names)[n] = project;
    // Removed first: the set keeps the first value stored under a name.
    set->remove(projectNamesParameter);
    addParameter(projectNamesParameter, *names);
}

CORBA::Any QueryParams::getParameter(const char* name) const {
    return set->value(name);
}

// Read in place: the text belongs to the stored value, not to a copy.
const char* QueryParams::getStringParameter(const char* name) const {
    const CORBA::Any* value = set->find(name);
    if (value == nullptr)
        return nullptr;
    try {
        const char* text = nullptr;
        return (*value >>= text) ? text : nullptr;
    } catch (const CORBA::Exception&) {
        std::string why = "parameter of name:";
        why += name;
        why += "is not a string value";
        throw CosCollection::ParameterInvalid(0, why.c_str());
    }
}

int QueryParams::getLimitParameter() const {
    const CORBA::Any* value = set->find(limitParameter);
    CORBA::Long limit = 0;
    try {
        if (value != nullptr && (*value >>= limit))
            return limit;
    } catch (const CORBA::Exception&) {
    }
    return 0;
}

DosTypes::StringSeq* QueryParams::getStringSeqParameter(const char* name) const {
    const CORBA::Any* value = set->find(name);
    try {
        const DosTypes::StringSeq* names = nullptr;
        if (value != nullptr && extractEquivalent(*value, DosTypes::_tc_StringSeq, names))
            return new DosTypes::StringSeq(*names);
    } catch (const CORBA::Exception&) {
        throw CosCollection::ParameterInvalid(0, "parameter is not a string value");
    }
    return new DosTypes::StringSeq;
}

EpSession::Session_ptr QueryParams::getSession() const {
    const CORBA::Any* value = set->find(session_name);
    EpSession::Session_ptr session = EpSession::Session::_nil();
    try {
        // The extracted reference stays the value's own.
        if (value != nullptr && (*value >>= session))
            return EpSession::Session::_duplicate(session);
    } catch (const CORBA::Exception&) {
    }
    return EpSession::Session::_nil();
}

const char* QueryParams::getResultType() const {
    const char* type = nullptr;
    try {
        type = getStringParameter(resultType);
    } catch (const CosCollection::ParameterInvalid&) {
    }
    return type != nullptr ? type : entityCollectionType;
}

CosCollection::ParameterList* QueryParams::parameters() const {
    return set->pairs();
}

CORBA::_objref_InterfaceDef* QueryParams::queryLanguage() {
    return CORBA::InterfaceDef::_nil();
}

} // namespace hvc_util
