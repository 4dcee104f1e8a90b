// A units server of the test's own whose factory finder answers as the test
// says, in front of the sandbox's real finder and declaration.
#pragma once

#include <EpUnitOfMeasureService.hh>

#include <functional>
#include <string>
#include <vector>

namespace hvc_test {

// Serves in the root POA of the process ORB while the object lives; not
// thread-safe (tests drive it from one thread).
class FakeUnitsServer {
public:
    // What the factory finder does with a key id: return these objects in
    // this order, or raise (then `answer` raises itself).
    using Answer = std::function<CosLifeCycle::Factories*(const std::string& id)>;

    explicit FakeUnitsServer(Answer answer);
    ~FakeUnitsServer();
    FakeUnitsServer(const FakeUnitsServer&) = delete;
    FakeUnitsServer& operator=(const FakeUnitsServer&) = delete;

    std::string ior() const;
    // The ids the finder was asked for, in order.
    const std::vector<std::string>& keys() const;

    // Factories made of the given references, in order.
    static CosLifeCycle::Factories* factories(std::vector<CORBA::Object_ptr> objects);

private:
    struct Servants;
    Servants* servants;
};

} // namespace hvc_test
