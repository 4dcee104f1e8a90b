// The platform's structured events: building them and taking them apart.
#include "hvc_util/Notification.h"

#include "bindings/Diagnostics.h"
#include "bindings/Orb.h"
#include "bindings/private/AnyValues.h"
#include "hvc_util/String.h"
#include "hvc_util/UUID.h"

#include <EpEntity.hh>

#include <cstring>
#include <string>

namespace hvc_util {

namespace {

using CosNotification::PropertySeq;
using CosNotification::StructuredEvent;

const char* const missingSender = "Invalid event. The first element of the variable header "
                                  "property does not contain the event sender.";
const char* const invalidCursorLocation =
    "Invalid cursor location event.\n Cannot find the data in the body of the event structure";
const char* const invalidDataChange =
    "Invalid data change event.\n Cannot find the data in the filterable_data field of the event";
const char* const invalidPointOfInterest =
    "Invalid Point Of Interest event.\n Cannot find the data in the body of the event "
    "structure: ";
const char* const invalidObjectSelection =
    "Invalid object selection event.\n Cannot find the data in the body of the event structure";

[[noreturn]] void fail(const std::string& text) {
    throw EpTypes::FailedOperationException(text.c_str());
}

bool named(const CosNotification::Property& p, const char* name) {
    return std::strcmp(p.name.in(), name) == 0;
}

// `out` receives the value of `any` when its type code is `tc`; otherwise it
// is left as it was.
template <class T> void readExact(const CORBA::Any& any, CORBA::TypeCode_ptr tc, T& out) {
    const T* value = nullptr;
    if (extractExact(any, tc, value))
        out = *value;
}

// The reference an Any holds under any interface's type code (to_object
// accepts a derived interface's reference too); nil when it holds none.
CORBA::Object_ptr referenceIn(const CORBA::Any& any) {
    CORBA::Object_var ref;
    if (!(any >>= CORBA::Any::to_object(ref.out())))
        return CORBA::Object::_nil();
    return CORBA::Object::_narrow(ref);
}

bool isReferenceSequence(const CORBA::Any& any) {
    CORBA::TypeCode_var tc = any.type();
    CORBA::TypeCode_var seq = bareType(tc);
    if (seq->kind() != CORBA::tk_sequence)
        return false;
    CORBA::TypeCode_var element = seq->content_type();
    CORBA::TypeCode_var bare = bareType(element);
    return bare->kind() == CORBA::tk_objref;
}

// The references of a sequence of any interface's references, in order; the
// elements are read one by one so that a derived interface's sequence is not
// lost. Empty for any other value.
void readReferences(const CORBA::Any& any, DosTypes::ObjectSeq& out) {
    out.length(0);
    const DosTypes::ObjectSeq* exact = nullptr;
    if (extractExact(any, DosTypes::_tc_ObjectSeq, exact)) {
        out.length(exact->length());
        for (CORBA::ULong i = 0; i < exact->length(); ++i)
            out[i] = CORBA::Object::_duplicate((*exact)[i].in());
        return;
    }
    if (!isReferenceSequence(any))
        return;
    CORBA::ORB_var orb = Orb::init();
    CORBA::Object_var obj = orb->resolve_initial_references("DynAnyFactory");
    DynamicAny::DynAnyFactory_var factory = DynamicAny::DynAnyFactory::_narrow(obj);
    DynamicAny::DynAny_var dyn = factory->create_dyn_any(any);
    DynamicAny::DynSequence_var seq = DynamicAny::DynSequence::_narrow(dyn);
    DynamicAny::AnySeq_var elements = seq->get_elements();
    dyn->destroy();
    out.length(elements->length());
    for (CORBA::ULong i = 0; i < elements->length(); ++i)
        out[i] = referenceIn(elements[i]);
}

// parseEvent with the outputs a kind's parser does not hand on.
struct Dropped {
    CORBA::String_var eventName;
    CORBA::String_var typeName;
    PropertySeq variableHeader;
    CORBA::Any body;
};

void parseKeepingSender(const StructuredEvent& event, CORBA::Object_ptr& sender,
                        PropertySeq& filterableData) {
    Dropped dropped;
    Notification::parseEvent(event, dropped.eventName.out(), dropped.typeName.out(), sender,
                             dropped.variableHeader, filterableData, dropped.body);
}

} // namespace

StructuredEvent* Notification::buildEvent(const char* typeName, CORBA::Object_ptr sender,
                                          const PropertySeq& variableHeader,
                                          const PropertySeq& filterableData,
                                          const CORBA::Any& body) {
    if (typeName == nullptr)
        throw CORBA::BAD_PARAM(0, CORBA::COMPLETED_NO);
    String eventName;
    UUID(false).getString(eventName);

    CosNotification::StructuredEvent_var event = new StructuredEvent;
    CosNotification::FixedEventHeader& fixed = event->header.fixed_header;
    fixed.event_type.domain_name = EpEventService::EVENT_DOMAIN_NAME;
    fixed.event_type.type_name = typeName;
    fixed.event_name = eventName.getValue();

    PropertySeq& header = event->header.variable_header;
    header.length(variableHeader.length() + 1);
    header[0].name = EpEventService::EVENT_SENDER_FIELD;
    header[0].value <<= sender;
    for (CORBA::ULong i = 0; i < variableHeader.length(); ++i)
        header[i + 1] = variableHeader[i];

    event->filterable_data = filterableData;
    event->remainder_of_body = body;
    return event._retn();
}

void Notification::parseEvent(const StructuredEvent& event, char*& eventName, char*& typeName,
                              CORBA::Object_ptr& sender, PropertySeq& variableHeader,
                              PropertySeq& filterableData, CORBA::Any& body) {
    const CosNotification::FixedEventHeader& fixed = event.header.fixed_header;
    // The domain comes from the wire: it is quoted as text, never formatted.
    if (std::strcmp(fixed.event_type.domain_name.in(), EpEventService::EVENT_DOMAIN_NAME) != 0)
        fail(std::string("Invalid event.  Expected event domain = ") +
             EpEventService::EVENT_DOMAIN_NAME + " not " + fixed.event_type.domain_name.in());
    eventName = CORBA::string_dup(fixed.event_name);
    typeName = CORBA::string_dup(fixed.event_type.type_name);

    const PropertySeq& header = event.header.variable_header;
    if (header.length() == 0 || !named(header[0], EpEventService::EVENT_SENDER_FIELD)) {
        Diagnostics::print("Failed operation...\n");
        fail(missingSender);
    }
    sender = referenceIn(header[0].value);

    variableHeader.length(header.length() - 1);
    for (CORBA::ULong i = 1; i < header.length(); ++i)
        variableHeader[i - 1] = header[i];
    filterableData = event.filterable_data;
    body = event.remainder_of_body;
}

void Notification::parseCursorLocationEvent(const StructuredEvent& event, CORBA::Object_ptr& sender,
                                            EpCoordinateService::Coordinate& location,
                                            DosTypes::StringSeq& axisLabels) {
    PropertySeq data;
    parseKeepingSender(event, sender, data);
    if (data.length() == 0 || !named(data[0], EpEventService::CURSOR_LOCATION_FIELD))
        fail(invalidCursorLocation);
    readExact(data[0].value, EpCoordinateService::_tc_Coordinate, location);
    if (data.length() > 1 && named(data[1], EpEventService::AXIS_LABELS_FIELD))
        readExact(data[1].value, DosTypes::_tc_StringSeq, axisLabels);
    else
        axisLabels.length(0);
}

void Notification::parseDataChangeEvent(const StructuredEvent& event, char*& eventName,
                                        char*& typeName, CORBA::Object_ptr& sender,
                                        CORBA::Any& data) {
    PropertySeq variableHeader;
    PropertySeq fields;
    CORBA::Any body;
    parseEvent(event, eventName, typeName, sender, variableHeader, fields, body);
    if (fields.length() == 0)
        return;
    if (!named(fields[0], EpEventService::DATA_CHANGED_DATA_FIELD) &&
        !named(fields[0], EpEntity::PROPERTY_CHANGE_DATA_FIELD))
        fail(invalidDataChange);
    data = fields[0].value;
}

void Notification::parsePointOfInterestEvent(const StructuredEvent& event,
                                             CORBA::Object_ptr& sender,
                                             EpCoordinateService::Coordinate& location,
                                             EpEventService::MouseButtonPressed& button,
                                             DosTypes::StringSeq& axisLabels) {
    PropertySeq data;
    parseKeepingSender(event, sender, data);
    if (data.length() < 2 || !named(data[0], EpEventService::CURSOR_LOCATION_FIELD))
        fail(invalidPointOfInterest + std::to_string(static_cast<long>(data.length())));
    readExact(data[0].value, EpCoordinateService::_tc_Coordinate, location);
    readExact(data[1].value, EpEventService::_tc_MouseButtonPressed, button);
    if (data.length() > 2)
        readExact(data[2].value, DosTypes::_tc_StringSeq, axisLabels);
    else
        axisLabels.length(0);
}

void Notification::parseObjectSelectionEvent(const StructuredEvent& event,
                                             CORBA::Object_ptr& sender,
                                             DosTypes::ObjectSeq& objects) {
    PropertySeq data;
    parseKeepingSender(event, sender, data);
    if (data.length() == 0 || !named(data[0], EpEventService::OBJECT_SELECTION_FIELD))
        fail(invalidObjectSelection);
    DosTypes::ObjectSeq found;
    readReferences(data[0].value, found);
    objects = found;
}

} // namespace hvc_util
