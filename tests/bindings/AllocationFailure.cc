#include "AllocationFailure.h"

#include <cstdlib>
#include <new>

namespace {

thread_local int failing = 0;

void* allocate(std::size_t size) {
    if (failing > 0)
        throw std::bad_alloc();
    if (void* p = std::malloc(size != 0 ? size : 1))
        return p;
    throw std::bad_alloc();
}

} // namespace

namespace hvc_test {

AllocationFailure::AllocationFailure() {
    ++failing;
}

AllocationFailure::~AllocationFailure() {
    --failing;
}

} // namespace hvc_test

// Every unaligned replaceable form, the nothrow ones included: a runtime
// (AddressSanitizer's) may supply any form we leave out, and its blocks
// must not reach our free. The aligned forms are left to the runtime, which
// pairs them among themselves.
void* operator new(std::size_t size) {
    return allocate(size);
}

void* operator new[](std::size_t size) {
    return allocate(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (...) {
        return nullptr;
    }
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (...) {
        return nullptr;
    }
}

void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete[](void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
