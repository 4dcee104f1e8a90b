// hvcutil events: listen to the platform's notification channel, or send one
// of the platform's standard events to it.
#include "CommandTable.h"
#include "Reporting.h"

#include "bindings/Orb.h"
#include "hvc_util/Notification.h"
#include "hvc_util/Types.h"

#include <EpEntity.hh>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace hvcutil {

namespace {

using CosNotification::PropertySeq;
using CosNotification::StructuredEvent;
using hvc_util::Notification;
using hvc_util::Types;

const char* const usage = "listen [--count N] [--channel ID]\n"
                          "       | send cursor X Y Z [LABEL...]\n"
                          "       | send poi X Y Z left|middle|right [LABEL...]\n"
                          "       | send datachange TEXT\n"
                          "       | send selection [IOR...]   (each with [--channel ID])";

struct Misuse : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string text(const CORBA::Any& value) {
    return Types::toString(value).getValue();
}

std::string senderText(CORBA::Object_ptr sender) {
    if (CORBA::is_nil(sender))
        return "nil";
    CORBA::Any any;
    any <<= sender;
    return text(any);
}

const char* const buttonNames[] = {"left", "middle", "right"};

std::string buttonText(const EpEventService::MouseButtonPressed& b) {
    auto yes = [](CORBA::Boolean on) { return on ? "yes" : "no"; };
    const unsigned index = static_cast<unsigned>(b.button);
    return std::string(index < 3 ? buttonNames[index] : "?") + " shift=" + yes(b.shiftDown) +
           " control=" + yes(b.controlDown) + " alt=" + yes(b.altDown);
}

bool isType(const StructuredEvent& event, const char* typeName) {
    return std::strcmp(event.header.fixed_header.event_type.type_name.in(), typeName) == 0;
}

// One line per event: its kind, sender and data, as the library formats them.
std::string describe(const StructuredEvent& event) {
    CORBA::Object_var sender;
    if (isType(event, EpEventService::CURSOR_LOCATION_EVENT)) {
        EpCoordinateService::Coordinate location{};
        DosTypes::StringSeq labels;
        Notification::parseCursorLocationEvent(event, sender.out(), location, labels);
        return "cursor sender=" + senderText(sender) +
               " location=" + Types::toString(location).getValue() +
               " labels=" + Types::toString(labels).getValue();
    }
    if (isType(event, EpEventService::POINT_OF_INTEREST_EVENT)) {
        EpCoordinateService::Coordinate location{};
        EpEventService::MouseButtonPressed button{};
        DosTypes::StringSeq labels;
        Notification::parsePointOfInterestEvent(event, sender.out(), location, button, labels);
        return "poi sender=" + senderText(sender) +
               " location=" + Types::toString(location).getValue() +
               " button=" + buttonText(button) + " labels=" + Types::toString(labels).getValue();
    }
    if (isType(event, EpEventService::OBJECT_SELECTION_EVENT)) {
        DosTypes::ObjectSeq objects;
        Notification::parseObjectSelectionEvent(event, sender.out(), objects);
        std::string line = "selection sender=" + senderText(sender) + " objects=[";
        for (CORBA::ULong i = 0; i < objects.length(); ++i)
            line += (i == 0 ? "" : ",") + senderText(objects[i]);
        return line + "]";
    }
    CORBA::String_var eventName, typeName;
    CORBA::Any data;
    Notification::parseDataChangeEvent(event, eventName.out(), typeName.out(), sender.out(), data);
    const char* kind = isType(event, EpEventService::DATA_CHANGE_EVENT) ? "datachange" : "event";
    return std::string(kind) + " type=" + typeName.in() + " sender=" + senderText(sender) +
           " data=" + text(data);
}

// The channel named by --channel, else the factory's first; `id` receives
// its identifier.
CosNotifyChannelAdmin::EventChannel_ptr channelOf(std::string& id) {
    CosNotifyChannelAdmin::EventChannelFactory_var factory = Notification::getChannelFactory();
    if (!id.empty())
        return factory->get_event_channel(std::atoi(id.c_str()));
    CosNotifyChannelAdmin::ChannelIDSeq_var ids = factory->get_all_channels();
    if (ids->length() == 0)
        throw std::runtime_error("the notification channel factory has no channel");
    CORBA::Long first = ids[0];
    for (CORBA::ULong i = 1; i < ids->length(); ++i)
        first = std::min(first, ids[i]);
    id = std::to_string(first);
    return factory->get_event_channel(first);
}

std::atomic<bool> interrupted{false};

extern "C" void onInterrupt(int) {
    interrupted = true;
}

// Prints every event it is given, one line each, until it has printed
// `wanted` (0: no limit) or the channel disconnects it.
class Printer : public POA_CosNotifyComm::StructuredPushConsumer {
public:
    explicit Printer(unsigned long wanted) : wanted(wanted) {}

    void push_structured_event(const StructuredEvent& event) override {
        std::string line;
        try {
            line = describe(event);
        } catch (const EpTypes::FailedOperationException& e) {
            line = std::string("invalid event: ") + e.reason.in();
        }
        std::lock_guard<std::mutex> hold(lock);
        if (isDone())
            return;
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
        ++printed;
        if (isDone())
            done.notify_all();
    }
    void disconnect_structured_push_consumer() override {
        std::lock_guard<std::mutex> hold(lock);
        disconnected = true;
        done.notify_all();
    }
    void offer_change(const CosNotification::EventTypeSeq&,
                      const CosNotification::EventTypeSeq&) override {}

    // Waits for the count, a disconnect or an interrupt.
    void wait() {
        std::unique_lock<std::mutex> hold(lock);
        while (!isDone() && !disconnected && !interrupted)
            done.wait_for(hold, std::chrono::milliseconds(100));
    }

private:
    bool isDone() const { return wanted != 0 && printed >= wanted; }

    const unsigned long wanted;
    unsigned long printed = 0;
    bool disconnected = false;
    std::mutex lock;
    std::condition_variable done;
};

// A whole decimal number of at most `high`.
unsigned long whole(const std::string& word, unsigned long high) {
    char* end = nullptr;
    const unsigned long n = std::strtoul(word.c_str(), &end, 10);
    if (word.empty() || word[0] == '-' || *end != '\0' || n > high)
        throw Misuse(word);
    return n;
}

int listen(const std::vector<std::string>& args) {
    unsigned long count = 0;
    std::string channelId;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--count" && i + 1 < args.size())
            count = whole(args[++i], ~0ul);
        else if (args[i] == "--channel" && i + 1 < args.size())
            channelId = std::to_string(whole(args[++i], 0x7fffffff));
        else
            throw Misuse("listen");
    }
    CosNotifyChannelAdmin::EventChannel_var channel = channelOf(channelId);
    CORBA::ORB_var orb = hvc_util::Orb::init();
    CORBA::Object_var rootObj = orb->resolve_initial_references("RootPOA");
    PortableServer::POA_var root = PortableServer::POA::_narrow(rootObj);
    PortableServer::POAManager_var manager = root->the_POAManager();
    manager->activate();

    PortableServer::Servant_var<Printer> printer(new Printer(count));
    PortableServer::ObjectId_var oid = root->activate_object(printer.in());
    CORBA::Object_var ref = root->id_to_reference(oid.in());
    CosNotifyComm::StructuredPushConsumer_var consumer =
        CosNotifyComm::StructuredPushConsumer::_narrow(ref);

    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    CosNotifyChannelAdmin::StructuredProxyPushSupplier_var proxy =
        Notification::connectStructuredPushConsumer(channel, consumer);
    // On stderr, so that standard output holds only events.
    std::fprintf(stderr, "listening on channel %s\n", channelId.c_str());
    printer->wait();
    try {
        proxy->disconnect_structured_push_supplier();
    } catch (const CORBA::Exception&) {
        // The channel may have gone first; the listener ends all the same.
    }
    root->deactivate_object(oid.in());
    return 0;
}

double number(const std::string& word) {
    char* end = nullptr;
    const double value = std::strtod(word.c_str(), &end);
    if (word.empty() || *end != '\0')
        throw Misuse("send");
    return value;
}

DosTypes::StringSeq labelsFrom(const std::vector<std::string>& words, std::size_t from) {
    DosTypes::StringSeq labels;
    for (std::size_t i = from; i < words.size(); ++i) {
        labels.length(labels.length() + 1);
        labels[labels.length() - 1] = words[i].c_str();
    }
    return labels;
}

void add(PropertySeq& fields, const char* name, const CORBA::Any& value) {
    fields.length(fields.length() + 1);
    fields[fields.length() - 1].name = name;
    fields[fields.length() - 1].value = value;
}

// The filterable data and type name of the event `words` describe.
const char* buildFields(const std::vector<std::string>& words, PropertySeq& fields) {
    const std::string& kind = words.at(0);
    CORBA::Any value;
    if ((kind == "cursor" || kind == "poi") && words.size() >= 4) {
        EpCoordinateService::Coordinate location{};
        location.point.x = number(words[1]);
        location.point.y = number(words[2]);
        location.point.z = number(words[3]);
        value <<= location;
        add(fields, EpEventService::CURSOR_LOCATION_FIELD, value);
        if (kind == "cursor") {
            CORBA::Any labels;
            labels <<= labelsFrom(words, 4);
            add(fields, EpEventService::AXIS_LABELS_FIELD, labels);
            return EpEventService::CURSOR_LOCATION_EVENT;
        }
        if (words.size() < 5)
            throw Misuse("send");
        EpEventService::MouseButtonPressed button{};
        const auto* name = std::find(std::begin(buttonNames), std::end(buttonNames), words[4]);
        if (name == std::end(buttonNames))
            throw Misuse("send");
        button.button = static_cast<EpEventService::MouseButton>(name - std::begin(buttonNames));
        CORBA::Any pressed;
        pressed <<= button;
        add(fields, "MouseButtonPressed", pressed);
        CORBA::Any labels;
        labels <<= labelsFrom(words, 5);
        add(fields, EpEventService::AXIS_LABELS_FIELD, labels);
        return EpEventService::POINT_OF_INTEREST_EVENT;
    }
    if (kind == "datachange" && words.size() == 2) {
        value <<= words[1].c_str();
        add(fields, EpEventService::DATA_CHANGED_DATA_FIELD, value);
        return EpEventService::DATA_CHANGE_EVENT;
    }
    if (kind == "selection") {
        CORBA::ORB_var orb = hvc_util::Orb::init();
        DosTypes::ObjectSeq objects;
        objects.length(static_cast<CORBA::ULong>(words.size() - 1));
        for (std::size_t i = 1; i < words.size(); ++i)
            objects[static_cast<CORBA::ULong>(i - 1)] = orb->string_to_object(words[i].c_str());
        value <<= objects;
        add(fields, EpEventService::OBJECT_SELECTION_FIELD, value);
        return EpEventService::OBJECT_SELECTION_EVENT;
    }
    throw Misuse("send");
}

int send(std::vector<std::string> words) {
    std::string channelId;
    for (std::size_t i = 0; i + 1 < words.size(); ++i) {
        if (words[i] == "--channel") {
            channelId = std::to_string(whole(words[i + 1], 0x7fffffff));
            words.erase(words.begin() + static_cast<long>(i),
                        words.begin() + static_cast<long>(i) + 2);
            break;
        }
    }
    if (words.empty())
        throw Misuse("send");
    // First, so the ORB is ready before strings go into an Any.
    CosNotifyChannelAdmin::EventChannel_var channel = channelOf(channelId);
    PropertySeq fields;
    const char* typeName = buildFields(words, fields);
    CosNotification::StructuredEvent_var event = Notification::buildEvent(
        typeName, CORBA::Object::_nil(), PropertySeq(), fields, CORBA::Any());
    CosNotifyChannelAdmin::StructuredProxyPushConsumer_var proxy =
        Notification::connectStructuredPushSupplier(channel,
                                                    CosNotifyComm::StructuredPushSupplier::_nil());
    proxy->push_structured_event(event.in());
    proxy->disconnect_structured_push_consumer();
    std::printf("sent %s\n", describe(event.in()).c_str());
    return 0;
}

int run(const std::vector<std::string>& args) {
    try {
        if (!args.empty() && args[0] == "listen")
            return listen(std::vector<std::string>(args.begin() + 1, args.end()));
        if (!args.empty() && args[0] == "send")
            return send(std::vector<std::string>(args.begin() + 1, args.end()));
    } catch (const Misuse&) {
    }
    return usageOf("events", usage);
}

const CommandRegistration registration({"events", usage,
                                        "print the events on the platform's notification "
                                        "channel, or send one of its standard events",
                                        run});

} // namespace

} // namespace hvcutil
