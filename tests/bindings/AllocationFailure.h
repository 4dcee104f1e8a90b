// Running out of memory on demand: this test program replaces the global
// operator new so that a thread can make its own allocations fail.
#pragma once

namespace hvc_test {

// While one is alive, every operator new of the constructing thread raises
// std::bad_alloc. Other threads allocate as usual.
class AllocationFailure {
public:
    AllocationFailure();
    ~AllocationFailure();
    AllocationFailure(const AllocationFailure&) = delete;
    AllocationFailure& operator=(const AllocationFailure&) = delete;
};

} // namespace hvc_test
