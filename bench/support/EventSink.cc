// hvc_event_sink: bare structured push consumers for the notification
// benchmark. `hvc_event_sink N [STALLED]` serves N consumers and prints each
// one's reference on a line; consumer STALLED never returns from a delivery.
// Each time every other consumer has received an event of type "end", it
// prints "round".
#include <CosNotifyComm.hh>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

std::mutex lock;
std::condition_variable never;
std::vector<unsigned long> ends;
unsigned long rounds = 0;
int stalled = -1;

class Sink : public POA_CosNotifyComm::StructuredPushConsumer {
public:
    explicit Sink(int index) : index(index) {}
    void push_structured_event(const CosNotification::StructuredEvent& event) override {
        std::unique_lock<std::mutex> hold(lock);
        if (index == stalled) {
            never.wait(hold, [] { return false; });
            return;
        }
        if (std::strcmp(event.header.fixed_header.event_type.type_name.in(), "end") != 0)
            return;
        ++ends[static_cast<std::size_t>(index)];
        for (std::size_t i = 0; i < ends.size(); ++i)
            if (static_cast<int>(i) != stalled && ends[i] <= rounds)
                return;
        ++rounds;
        std::printf("round\n");
        std::fflush(stdout);
    }
    void disconnect_structured_push_consumer() override {}
    void offer_change(const CosNotification::EventTypeSeq&,
                      const CosNotification::EventTypeSeq&) override {}

private:
    const int index;
};

} // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 1;
    stalled = argc > 2 ? std::atoi(argv[2]) : -1;
    ends.assign(static_cast<std::size_t>(count), 0);
    int zero = 0;
    CORBA::ORB_var orb = CORBA::ORB_init(zero, nullptr);
    CORBA::Object_var obj = orb->resolve_initial_references("RootPOA");
    PortableServer::POA_var root = PortableServer::POA::_narrow(obj);
    PortableServer::POAManager_var manager = root->the_POAManager();
    manager->activate();
    for (int i = 0; i < count; ++i) {
        PortableServer::Servant_var<Sink> sink(new Sink(i));
        PortableServer::ObjectId_var id = root->activate_object(sink.in());
        CORBA::Object_var ref = root->id_to_reference(id.in());
        CORBA::String_var text = orb->object_to_string(ref);
        std::printf("%s\n", text.in());
    }
    std::fflush(stdout);
    orb->run();
    return 0;
}
