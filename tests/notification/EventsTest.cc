// The platform's structured events: what buildEvent puts where, what the
// parsers hand out (and when), and their exact failure texts.
#include "hvc_util/Notification.h"

#include "bindings/Orb.h"

#include "support/Failures.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

#include <EpEntity.hh>

#include <string>

namespace {

using CosNotification::PropertySeq;
using CosNotification::StructuredEvent;
using CosNotification::StructuredEvent_var;
using hvc_test::reasonOf;
using hvc_util::Notification;

const char* const nullEventName = "00000000-0000-0000-0000-000000000000";

// References that need no servant: only their identity is compared.
class EventsTest : public ::testing::Test {
protected:
    void SetUp() override {
        orb = hvc_util::Orb::init();
        CORBA::Object_var obj = orb->resolve_initial_references("RootPOA");
        root = PortableServer::POA::_narrow(obj);
    }
    CORBA::Object_ptr reference(const char* repositoryId) {
        return root->create_reference(repositoryId);
    }
    CORBA::ORB_var orb;
    PortableServer::POA_var root;
};

PropertySeq fields(std::initializer_list<std::pair<const char*, CORBA::Any>> entries) {
    PropertySeq seq;
    for (const auto& entry : entries) {
        seq.length(seq.length() + 1);
        seq[seq.length() - 1].name = entry.first;
        seq[seq.length() - 1].value = entry.second;
    }
    return seq;
}

// Texts go in as strings (a literal decays to its characters).
template <class T> CORBA::Any anyOf(const T& value) {
    CORBA::Any any;
    any <<= value;
    return any;
}

EpCoordinateService::Coordinate point(double x, double y, double z) {
    EpCoordinateService::Coordinate c{};
    c.point.x = x;
    c.point.y = y;
    c.point.z = z;
    return c;
}

DosTypes::StringSeq labels(std::initializer_list<const char*> texts) {
    DosTypes::StringSeq seq;
    for (const char* t : texts) {
        seq.length(seq.length() + 1);
        seq[seq.length() - 1] = t;
    }
    return seq;
}

StructuredEvent* event(const char* type, CORBA::Object_ptr sender, const PropertySeq& data) {
    return Notification::buildEvent(type, sender, PropertySeq(), data, CORBA::Any());
}

// What parseDataChangeEvent hands out, kept between calls as a caller's
// variables would be.
struct DataChange {
    void parse(const StructuredEvent& e) {
        Notification::parseDataChangeEvent(e, eventName.out(), typeName.out(), sender.out(), data);
    }
    CORBA::String_var eventName, typeName;
    CORBA::Object_var sender;
    CORBA::Any data;
};

TEST_F(EventsTest, BuiltEventHasThePlatformLayoutAndParsesBackUnchanged) {
    CORBA::Object_var sender = reference(EpEntity::Entity::_PD_repoId);
    PropertySeq header = fields({{"Origin", anyOf("map")}, {"Rank", anyOf(CORBA::Long(7))}});
    PropertySeq data = fields({{"Depth", anyOf(CORBA::Double(2.5))}});
    StructuredEvent_var built =
        Notification::buildEvent("MyEvent", sender, header, data, anyOf("body"));

    const CosNotification::FixedEventHeader& fixed = built->header.fixed_header;
    EXPECT_STREQ(fixed.event_type.domain_name.in(), EpEventService::EVENT_DOMAIN_NAME);
    EXPECT_STREQ(fixed.event_type.type_name.in(), "MyEvent");
    EXPECT_STREQ(fixed.event_name.in(), nullEventName);
    ASSERT_EQ(built->header.variable_header.length(), 3u);
    EXPECT_STREQ(built->header.variable_header[0].name.in(), EpEventService::EVENT_SENDER_FIELD);
    EXPECT_STREQ(built->header.variable_header[1].name.in(), "Origin");

    CORBA::String_var eventName, typeName;
    CORBA::Object_var parsedSender;
    PropertySeq parsedHeader, parsedData;
    CORBA::Any body;
    Notification::parseEvent(built.in(), eventName.out(), typeName.out(), parsedSender.out(),
                             parsedHeader, parsedData, body);
    EXPECT_STREQ(eventName.in(), nullEventName);
    EXPECT_STREQ(typeName.in(), "MyEvent");
    EXPECT_TRUE(parsedSender->_is_equivalent(sender));
    ASSERT_EQ(parsedHeader.length(), 2u);
    EXPECT_STREQ(parsedHeader[0].name.in(), "Origin");
    EXPECT_STREQ(parsedHeader[1].name.in(), "Rank");
    CORBA::Long rank = 0;
    EXPECT_TRUE(parsedHeader[1].value >>= rank);
    EXPECT_EQ(rank, 7);
    ASSERT_EQ(parsedData.length(), 1u);
    CORBA::Double depth = 0;
    EXPECT_TRUE(parsedData[0].value >>= depth);
    EXPECT_EQ(depth, 2.5);
    const char* bodyText = nullptr;
    ASSERT_TRUE(body >>= bodyText);
    EXPECT_STREQ(bodyText, "body");

    // Every event carries the same name; an empty header leaves the sender alone.
    StructuredEvent_var second = event("Other", CORBA::Object::_nil(), PropertySeq());
    EXPECT_STREQ(second->header.fixed_header.event_name.in(), nullEventName);
    EXPECT_EQ(second->header.variable_header.length(), 1u);
    Notification::parseEvent(second.in(), eventName.out(), typeName.out(), parsedSender.out(),
                             parsedHeader, parsedData, body);
    EXPECT_TRUE(CORBA::is_nil(parsedSender));
    EXPECT_EQ(parsedHeader.length(), 0u);
}

TEST_F(EventsTest, NullTypeNameIsABadParameter) {
    EXPECT_THROW(StructuredEvent_var(event(nullptr, CORBA::Object::_nil(), PropertySeq())),
                 CORBA::BAD_PARAM);
}

TEST_F(EventsTest, CursorLocationRoundTripsWithAndWithoutLabels) {
    CORBA::Object_var sender = reference(EpEntity::Entity::_PD_repoId);
    StructuredEvent_var built =
        event(EpEventService::CURSOR_LOCATION_EVENT, sender,
              fields({{EpEventService::CURSOR_LOCATION_FIELD, anyOf(point(1, 2, 3))},
                      {EpEventService::AXIS_LABELS_FIELD, anyOf(labels({"x", "y", "z"}))}}));
    CORBA::Object_var parsedSender;
    EpCoordinateService::Coordinate location{};
    DosTypes::StringSeq axes;
    Notification::parseCursorLocationEvent(built.in(), parsedSender.out(), location, axes);
    EXPECT_TRUE(parsedSender->_is_equivalent(sender));
    EXPECT_EQ(location.point.y, 2);
    ASSERT_EQ(axes.length(), 3u);
    EXPECT_STREQ(axes[2].in(), "z");

    // A single field: the labels become empty. A location of another type
    // leaves the caller's as it was.
    StructuredEvent_var bare =
        event("Cursor", sender, fields({{EpEventService::CURSOR_LOCATION_FIELD, anyOf("x")}}));
    Notification::parseCursorLocationEvent(bare.in(), parsedSender.out(), location, axes);
    EXPECT_EQ(location.point.y, 2);
    EXPECT_EQ(axes.length(), 0u);
}

TEST_F(EventsTest, PointOfInterestRoundTripsWithAndWithoutLabels) {
    EpEventService::MouseButtonPressed pressed{EpEventService::MOUSE_BUTTON_RIGHT, true, false,
                                               true};
    StructuredEvent_var built =
        event(EpEventService::POINT_OF_INTEREST_EVENT, CORBA::Object::_nil(),
              fields({{EpEventService::CURSOR_LOCATION_FIELD, anyOf(point(4, 5, 6))},
                      {"AnyName", anyOf(pressed)},
                      {"Labels", anyOf(labels({"east"}))}}));
    CORBA::Object_var sender;
    EpCoordinateService::Coordinate location{};
    EpEventService::MouseButtonPressed button{};
    DosTypes::StringSeq axes;
    Notification::parsePointOfInterestEvent(built.in(), sender.out(), location, button, axes);
    EXPECT_TRUE(CORBA::is_nil(sender));
    EXPECT_EQ(location.point.z, 6);
    EXPECT_EQ(button.button, EpEventService::MOUSE_BUTTON_RIGHT);
    EXPECT_TRUE(button.shiftDown);
    EXPECT_FALSE(button.controlDown);
    EXPECT_TRUE(button.altDown);
    ASSERT_EQ(axes.length(), 1u);

    StructuredEvent_var two =
        event("Poi", CORBA::Object::_nil(),
              fields({{EpEventService::CURSOR_LOCATION_FIELD, anyOf(point(7, 8, 9))},
                      {"Button", anyOf("not a button")}}));
    Notification::parsePointOfInterestEvent(two.in(), sender.out(), location, button, axes);
    EXPECT_EQ(location.point.x, 7);
    EXPECT_EQ(button.button, EpEventService::MOUSE_BUTTON_RIGHT);
    EXPECT_EQ(axes.length(), 0u);
}

TEST_F(EventsTest, DataChangeTakesEitherFieldNameAndToleratesNoData) {
    for (const char* field :
         {EpEventService::DATA_CHANGED_DATA_FIELD, EpEntity::PROPERTY_CHANGE_DATA_FIELD}) {
        StructuredEvent_var built = event(EpEventService::DATA_CHANGE_EVENT, CORBA::Object::_nil(),
                                          fields({{field, anyOf(CORBA::Long(42))}}));
        DataChange parsed;
        parsed.parse(built.in());
        EXPECT_STREQ(parsed.eventName.in(), nullEventName);
        EXPECT_STREQ(parsed.typeName.in(), EpEventService::DATA_CHANGE_EVENT);
        CORBA::Long value = 0;
        EXPECT_TRUE(parsed.data >>= value);
        EXPECT_EQ(value, 42);
    }
    DataChange parsed;
    parsed.data = anyOf("kept");
    parsed.parse(StructuredEvent_var(event("Change", CORBA::Object::_nil(), PropertySeq())).in());
    const char* kept = nullptr;
    ASSERT_TRUE(parsed.data >>= kept);
    EXPECT_STREQ(kept, "kept");
}

TEST_F(EventsTest, ObjectSelectionKeepsReferencesOfDerivedInterfaces) {
    CORBA::Object_var a = reference(EpEntity::Entity::_PD_repoId);
    CORBA::Object_var b = reference("IDL:omg.org/CORBA/Object:1.0");
    DosTypes::ObjectSeq objects;
    objects.length(2);
    objects[0] = CORBA::Object::_duplicate(a);
    objects[1] = CORBA::Object::_duplicate(b);
    CORBA::Object_var sender;
    DosTypes::ObjectSeq found;

    StructuredEvent_var plain =
        event("Select", CORBA::Object::_nil(),
              fields({{EpEventService::OBJECT_SELECTION_FIELD, anyOf(objects)}}));
    Notification::parseObjectSelectionEvent(plain.in(), sender.out(), found);
    ASSERT_EQ(found.length(), 2u);
    EXPECT_TRUE(found[0]->_is_equivalent(a));
    EXPECT_TRUE(found[1]->_is_equivalent(b));

    // A sequence of a derived interface, and a sender inserted under it.
    EpEntity::EntitySeq entities;
    entities.length(1);
    entities[0] = EpEntity::Entity::_narrow(a);
    EpEntity::Entity_var entitySender = EpEntity::Entity::_narrow(a);
    CORBA::Any senderAny;
    senderAny <<= entitySender.in();
    StructuredEvent_var derived =
        event("Select", CORBA::Object::_nil(),
              fields({{EpEventService::OBJECT_SELECTION_FIELD, anyOf(entities)}}));
    derived->header.variable_header[0].value = senderAny;
    Notification::parseObjectSelectionEvent(derived.in(), sender.out(), found);
    ASSERT_FALSE(CORBA::is_nil(sender));
    EXPECT_TRUE(sender->_is_equivalent(a));
    ASSERT_EQ(found.length(), 1u);
    EXPECT_TRUE(found[0]->_is_equivalent(a));

    StructuredEvent_var other =
        event("Select", CORBA::Object::_nil(),
              fields({{EpEventService::OBJECT_SELECTION_FIELD, anyOf("no")}}));
    Notification::parseObjectSelectionEvent(other.in(), sender.out(), found);
    EXPECT_EQ(found.length(), 0u);
}

TEST_F(EventsTest, AnotherDomainFailsBeforeAnythingIsHandedOut) {
    StructuredEvent_var foreign = event("X", CORBA::Object::_nil(), PropertySeq());
    // A domain from the wire is quoted, never used as a format.
    foreign->header.fixed_header.event_type.domain_name = "Other %s%n";
    char* eventName = nullptr;
    char* typeName = nullptr;
    CORBA::Object_ptr sender = CORBA::Object::_nil();
    PropertySeq header, data;
    CORBA::Any body;
    EXPECT_EQ(reasonOf([&] {
                  Notification::parseEvent(foreign.in(), eventName, typeName, sender, header, data,
                                           body);
              }),
              "Invalid event.  Expected event domain = Halvercast not Other %s%n");
    EXPECT_EQ(eventName, nullptr);
    EXPECT_EQ(typeName, nullptr);
}

TEST_F(EventsTest, MissingSenderWritesOneLineAfterHandingOutTheNames) {
    StructuredEvent_var built = event("NoSender", CORBA::Object::_nil(), PropertySeq());
    built->header.variable_header[0].name = "Somebody";
    DataChange parsed;
    hvc_test::StderrCapture capture;
    const std::string reason = reasonOf([&] { parsed.parse(built.in()); });
    EXPECT_EQ(capture.text(), "Failed operation...\n");
    EXPECT_EQ(reason, "Invalid event. The first element of the variable header property does "
                      "not contain the event sender.");
    EXPECT_STREQ(parsed.eventName.in(), nullEventName);
    EXPECT_STREQ(parsed.typeName.in(), "NoSender");

    built->header.variable_header.length(0);
    EXPECT_EQ(reasonOf([&] { parsed.parse(built.in()); }), reason);
}

TEST_F(EventsTest, KindChecksFailWithTheirTextsAfterHandingOutTheSender) {
    CORBA::Object_var me = reference(EpEntity::Entity::_PD_repoId);
    StructuredEvent_var wrong = event("Kind", me, fields({{"Unrelated", anyOf("x")}}));
    StructuredEvent_var locationOnly =
        event("Kind", me, fields({{EpEventService::CURSOR_LOCATION_FIELD, anyOf(point(1, 2, 3))}}));
    EpCoordinateService::Coordinate location{};
    DosTypes::StringSeq axes;
    EpEventService::MouseButtonPressed button{};
    DosTypes::ObjectSeq objects;

    CORBA::Object_var sender;
    EXPECT_EQ(reasonOf([&] {
                  Notification::parseCursorLocationEvent(wrong.in(), sender.out(), location, axes);
              }),
              "Invalid cursor location event.\n Cannot find the data in the body of the event "
              "structure");
    EXPECT_TRUE(sender->_is_equivalent(me));

    sender = CORBA::Object::_nil();
    EXPECT_EQ(reasonOf([&] {
                  Notification::parsePointOfInterestEvent(locationOnly.in(), sender.out(), location,
                                                          button, axes);
              }),
              "Invalid Point Of Interest event.\n Cannot find the data in the body of the event "
              "structure: 1");
    EXPECT_TRUE(sender->_is_equivalent(me));

    DataChange change;
    EXPECT_EQ(reasonOf([&] { change.parse(wrong.in()); }),
              "Invalid data change event.\n Cannot find the data in the filterable_data field of "
              "the event");
    EXPECT_TRUE(change.sender->_is_equivalent(me));
    EXPECT_STREQ(change.typeName.in(), "Kind");

    sender = CORBA::Object::_nil();
    EXPECT_EQ(reasonOf([&] {
                  Notification::parseObjectSelectionEvent(wrong.in(), sender.out(), objects);
              }),
              "Invalid object selection event.\n Cannot find the data in the body of the event "
              "structure");
    EXPECT_TRUE(sender->_is_equivalent(me));
}

} // namespace
