// Large private mappings with huge-page advice, and the chunked storage of geometry blocks.
#include "document/large_memory.h"

#include <atomic>
#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

namespace quentar::document {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kChunk = std::size_t{4} << 20;
// A block larger than this gets a region of its own, so that a chunk's unused tail stays small.
constexpr std::size_t kOwnRegion = kChunk / 16;
constexpr std::size_t kBlockAlign = 8;

// Under AddressSanitizer every block and array comes from the ordinary heap, where the sanitizer
// sees each one's bounds; in a chunk, a block running over would only meet its neighbour.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPlainHeap = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kPlainHeap = true;
#else
constexpr bool kPlainHeap = false;
#endif
#else
constexpr bool kPlainHeap = false;
#endif

std::size_t pageRounded(std::size_t bytes) {
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return (bytes + page - 1) / page * page;
}

// A mapping of `bytes` (page-rounded) starting at a multiple of `align` (a power of two): more is
// mapped and the ends beyond the aligned part are given back at once.
void *mapAligned(std::size_t bytes, std::size_t align) {
    bytes = pageRounded(bytes);
    const std::size_t span = bytes + align;
    void *raw = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + align - 1) & ~(std::uintptr_t{align} - 1);
    if (aligned > start) munmap(raw, aligned - start);
    const std::uintptr_t end = aligned + bytes;
    if (start + span > end) munmap(reinterpret_cast<void *>(end), start + span - end);
    void *p = reinterpret_cast<void *>(aligned);
#ifdef MADV_HUGEPAGE
    if (bytes >= kHugePage) madvise(p, bytes, MADV_HUGEPAGE);
#endif
    return p;
}

// The start of every chunk and own region; blocks follow it. Both are aligned to kChunk, so a
// block finds its region by masking its address.
struct alignas(64) Region {
    // Blocks not yet released, plus one while this is a thread's chunk to cut from.
    std::atomic<std::size_t> live{1};
    std::size_t mapped = 0;
};
static_assert(sizeof(Region) == 64);

std::atomic<std::size_t> regionsInUse{0};

Region *newRegion(std::size_t bytes) {
    void *p = mapAligned(bytes, kChunk);
    auto *r = new (p) Region;
    r->mapped = pageRounded(bytes);
    regionsInUse.fetch_add(1, std::memory_order_relaxed);
    return r;
}

void drop(Region *r) noexcept {
    if (r->live.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
    const std::size_t mapped = r->mapped;
    r->~Region();
    munmap(r, mapped);
    regionsInUse.fetch_sub(1, std::memory_order_relaxed);
}

// The chunk this thread cuts blocks from. Plain values on purpose: a destructor would run at
// thread exit before blocks held by static objects are released. The chunk of a thread that
// ends is therefore kept (the program reads drawings on one thread).
thread_local Region *current = nullptr;
thread_local std::size_t used = 0;

} // namespace

void *mapLargeRegion(std::size_t bytes) {
    if constexpr (kPlainHeap) return ::operator new(bytes);
    return mapAligned(bytes, kHugePage);
}

void unmapLargeRegion(void *p, std::size_t bytes) noexcept {
    if constexpr (kPlainHeap) return ::operator delete(p);
    if (p) munmap(p, pageRounded(bytes));
}

bool geometryBlocksPooled() noexcept { return !kPlainHeap; }

void *allocateGeometryBlock(std::size_t bytes) {
    if constexpr (kPlainHeap) return ::operator new(bytes);
    bytes = (bytes + kBlockAlign - 1) & ~(kBlockAlign - 1);
    if (bytes > kOwnRegion) {
        Region *r = newRegion(sizeof(Region) + bytes);
        return r + 1;
    }
    if (!current || used + bytes > kChunk) {
        Region *fresh = newRegion(kChunk);
        if (current) drop(current);
        current = fresh;
        used = sizeof(Region);
    }
    void *p = reinterpret_cast<char *>(current) + used;
    used += bytes;
    current->live.fetch_add(1, std::memory_order_relaxed);
    return p;
}

void releaseGeometryBlock(void *p) noexcept {
    if constexpr (kPlainHeap) return ::operator delete(p);
    if (!p) return;
    drop(reinterpret_cast<Region *>(reinterpret_cast<std::uintptr_t>(p) & ~(kChunk - 1)));
}

std::size_t geometryRegionsInUse() noexcept {
    return regionsInUse.load(std::memory_order_relaxed);
}

} // namespace quentar::document
