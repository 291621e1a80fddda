#include "bench/alloc_counter.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> counting{false};
std::atomic<std::int64_t> current{0};
std::atomic<std::int64_t> peak{0};

void Added(void* block) {
    if (!block || !counting.load(std::memory_order_relaxed)) return;
    std::int64_t now = current.fetch_add(static_cast<std::int64_t>(_msize(block)), std::memory_order_relaxed) +
                       static_cast<std::int64_t>(_msize(block));
    std::int64_t high = peak.load(std::memory_order_relaxed);
    while (now > high && !peak.compare_exchange_weak(high, now, std::memory_order_relaxed)) {
    }
}

void Removed(void* block) {
    if (block && counting.load(std::memory_order_relaxed))
        current.fetch_sub(static_cast<std::int64_t>(_msize(block)), std::memory_order_relaxed);
}

void* Allocate(std::size_t size) {
    void* block = std::malloc(size ? size : 1);
    if (!block) throw std::bad_alloc();
    Added(block);
    return block;
}

void Release(void* block) noexcept {
    Removed(block);
    std::free(block);
}

}  // namespace

namespace alloc_counter {

void Start() {
    current = 0;
    peak = 0;
    counting = true;
}
void Stop() { counting = false; }
std::int64_t Current() { return current.load(); }
std::int64_t Peak() { return peak.load(); }

}  // namespace alloc_counter

// The whole program's operator new and delete, the scanner's and the pages' included (static link).
void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, std::size_t) noexcept { Release(block); }
void operator delete[](void* block, std::size_t) noexcept { Release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Release(block); }
