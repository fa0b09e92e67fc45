// The heap peak of the benchmark's own process: every block of the C
// allocator (which C++'s new uses too) is counted with its usable size while
// it is held. glibc lets a program replace malloc and its relatives; these
// replacements hand the work on to glibc's own allocator and only count.
#include "heap_counter.h"

#include <malloc.h>

#include <atomic>
#include <cerrno>
#include <cstddef>

extern "C" {
void* __libc_malloc(size_t size);
void __libc_free(void* block);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void* __libc_valloc(size_t size);
void* __libc_pvalloc(size_t size);
}

namespace {

std::atomic<long long> g_held{0};
std::atomic<long long> g_peak{0};

void count(long long change) {
    const long long now = g_held.fetch_add(change, std::memory_order_relaxed) + change;
    long long peak = g_peak.load(std::memory_order_relaxed);
    while (now > peak && !g_peak.compare_exchange_weak(peak, now, std::memory_order_relaxed)) {
    }
}

void* taken(void* block) {
    if (block) count(static_cast<long long>(malloc_usable_size(block)));
    return block;
}

void given_back(void* block) {
    if (block) count(-static_cast<long long>(malloc_usable_size(block)));
}

}  // namespace

long long heap_peak_bytes() { return g_peak.load(); }
long long heap_held_bytes() { return g_held.load(); }
void heap_peak_reset() { g_peak.store(g_held.load()); }

extern "C" {

void* malloc(size_t size) { return taken(__libc_malloc(size)); }
void* calloc(size_t count, size_t size) { return taken(__libc_calloc(count, size)); }
void* memalign(size_t alignment, size_t size) { return taken(__libc_memalign(alignment, size)); }
void* aligned_alloc(size_t alignment, size_t size) { return taken(__libc_memalign(alignment, size)); }
void* valloc(size_t size) { return taken(__libc_valloc(size)); }
void* pvalloc(size_t size) { return taken(__libc_pvalloc(size)); }

void free(void* block) {
    given_back(block);
    __libc_free(block);
}

void* realloc(void* block, size_t size) {
    const long long before = block ? static_cast<long long>(malloc_usable_size(block)) : 0;
    void* moved = __libc_realloc(block, size);
    if (moved) count(static_cast<long long>(malloc_usable_size(moved)) - before);
    else if (block && size == 0) count(-before);  // realloc(block, 0) frees it
    return moved;
}

int posix_memalign(void** result, size_t alignment, size_t size) {
    if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0) return EINVAL;
    void* block = __libc_memalign(alignment, size);
    if (!block && size != 0) return ENOMEM;
    *result = taken(block);
    return 0;
}

}  // extern "C"
