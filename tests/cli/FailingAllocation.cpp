// Preloaded into quennet-cli by the out-of-memory test: the allocation numbered
// QUENNET_FAIL_ALLOCATION (from 0, in the order the process's threads make them) fails, as
// it would when memory runs out there. Counted: operator new in all its forms and
// posix_memalign (the scanners' chunks); the C library's own allocations are left alone.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> allocations{0};

bool ThisOneFails() {
    static const long failing = [] {
        const char* number = std::getenv("QUENNET_FAIL_ALLOCATION");
        return number ? std::atol(number) : -1;
    }();
    return allocations.fetch_add(1, std::memory_order_relaxed) == failing;
}

void* Allocate(std::size_t size) {
    if (ThisOneFails())
        return nullptr;
    return std::malloc(size == 0 ? 1 : size);
}

void* AllocateAligned(std::size_t size, std::size_t alignment) {
    if (ThisOneFails())
        return nullptr;
    // aligned_alloc wants a multiple of the alignment; free() takes what it gives.
    return std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
}

// With QUENNET_COUNT_ALLOCATIONS set, how many there were, to size the sweep.
struct Count {
    ~Count() {
        if (std::getenv("QUENNET_COUNT_ALLOCATIONS"))
            std::fprintf(stderr, "allocations: %ld\n", allocations.load());
    }
} count;

} // namespace

void* operator new(std::size_t size) {
    if (void* p = Allocate(size))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    if (void* p = AllocateAligned(size, static_cast<std::size_t>(alignment)))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return operator new(size, alignment);
}

extern "C" int posix_memalign(void** result, std::size_t alignment, std::size_t size) {
    *result = AllocateAligned(size, alignment);
    return *result ? 0 : 12; // ENOMEM
}
