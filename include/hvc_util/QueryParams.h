// The options of a query against the platform's data collections.
#pragma once

#include <hvc_util/Export.h>

#include <CosCollection.hh>
#include <DosTypes.hh>
#include <EpSession.hh>

namespace hvc_util {

class NVPSet;

// Builds and reads a CosCollection::ParameterList with typed operations for
// the parameters the platform knows. A thin layer over one NVPSet that it
// owns: values are copied in and out, and the first value stored under a
// name stays (only addSingleProjectNameParameter replaces its list). Copies
// are deep. A null name is ignored everywhere (absent, nothing stored). Not
// thread-safe: one object is used by one thread at a time. Nothing is
// printed; the first object made initialises the process ORB (see NVPSet),
// and failures of the ORB's copies (CORBA::NO_MEMORY) pass through.
class HVC_UTIL_API QueryParams {
public:
    // Parameter names.
    static const char* const session_name;          // "Session": the EpSession::Session
    static const char* const limitParameter;        // "Limit": a CORBA long
    static const char* const projectNamesParameter; // "ProjectNames": a DosTypes::StringSeq
    static const char* const resultType;            // "ResultType": a string
    // Result types; the first is the default.
    static const char* const entityCollectionType; // "EpCollection::EntityCollection"
    static const char* const entitySequenceType;   // "EpEntity::EntitySeq"

    QueryParams();
    // As addSession(session) on an empty set.
    explicit QueryParams(EpSession::Session_ptr session);
    // Filled from the pairs (first value per name wins); null `pairs` or a
    // `count` below 1 give an empty set.
    QueryParams(const CosCollection::NVPair* pairs, int count);
    QueryParams(const QueryParams& other);
    QueryParams& operator=(const QueryParams& other);
    ~QueryParams();

    // Stores a copy of `value` under `name` unless `name` is present.
    void addParameter(const char* name, const CORBA::Any& value);
    // The same with a copy of `text` as a CORBA string; a null text stores
    // nothing.
    void addParameter(const char* name, const char* text);
    // The same with a copy of `names` under DosTypes::_tc_StringSeq.
    void addParameter(const char* name, const DosTypes::StringSeq& names);
    // "Session": the value keeps a reference of its own to `session`.
    void addSession(EpSession::Session_ptr session);
    // "Limit": `limit` as a CORBA long.
    void addLimitParameter(int limit);
    // "ResultType": entityCollectionType or entitySequenceType.
    void entityCollectionResultType();
    void entitySequenceResultType();
    // Adds `project` to the end of the "ProjectNames" list unless the list
    // holds it already; a list of another type is replaced by one holding
    // only `project`. A null `project` changes nothing.
    void addSingleProjectNameParameter(const char* project);

    // A copy of the value under `name`; an empty Any when absent.
    CORBA::Any getParameter(const char* name) const;
    // The string stored under `name`, or null when the name is absent or
    // holds no string (an alias of string counts as a string). The text is
    // owned by this object and stays valid until it is assigned to or
    // destroyed (for "ProjectNames", until addSingleProjectNameParameter
    // replaces the value); copy it to keep it longer. Raises
    // CosCollection::ParameterInvalid (which 0, why "parameter of name:" +
    // name + "is not a string value") when reading the value raises a CORBA
    // exception.
    const char* getStringParameter(const char* name) const;
    // The long under "Limit"; 0 when absent, not a long or unreadable.
    int getLimitParameter() const;
    // A new sequence owned by the caller (release with delete): a copy of the
    // string list under `name` when its type is DosTypes::StringSeq or an
    // equivalent sequence of strings, otherwise empty. Raises
    // CosCollection::ParameterInvalid (which 0, why "parameter is not a
    // string value") when reading the value raises a CORBA exception.
    DosTypes::StringSeq* getStringSeqParameter(const char* name) const;
    // A new reference to the session under "Session", owned by the caller;
    // nil when absent or not a session.
    EpSession::Session_ptr getSession() const;
    // The string under "ResultType", or entityCollectionType when it is
    // absent, not a string or unreadable. A stored text is owned by this
    // object and lives as getStringParameter's; the default is a constant.
    const char* getResultType() const;
    // A new list of every parameter (as NVPSet::pairs), owned by the caller.
    CosCollection::ParameterList* parameters() const;

    // Always nil. The ORB's CORBA::InterfaceDef_ptr is this type; it is only
    // complete where the ORB's interface-repository support is included.
    static CORBA::_objref_InterfaceDef* queryLanguage();

private:
    NVPSet* set;
};

} // namespace hvc_util
