// Memory for what a drawing holds by the million: entity records and their geometry blocks, in
// large mappings the kernel may back with huge pages.
#pragma once

#include <cstddef>
#include <memory>
#include <new>

namespace quentar::document {

// Reading a large drawing touches hundreds of megabytes once; with 4 KB pages every one of them
// costs a page fault, which on virtual machines made up a third of the reading time. Regions from
// here are mapped privately and advised for huge pages (a hint: where the kernel has none, they
// are ordinary pages). Both return/accept whole regions; `bytes` must be the same for both.
void *mapLargeRegion(std::size_t bytes);
void unmapLargeRegion(void *p, std::size_t bytes) noexcept;

// Below this size a container allocates as usual: a mapping of its own is not worth it.
inline constexpr std::size_t kLargeRegionThreshold = std::size_t{1} << 20;

// An allocator for the big arrays of a drawing (its entity records): small arrays from the heap,
// large ones as a mapping of their own.
template <class T>
struct LargeAllocator {
    using value_type = T;
    LargeAllocator() = default;
    template <class U>
    LargeAllocator(const LargeAllocator<U> &) noexcept {}

    T *allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
        const std::size_t bytes = n * sizeof(T);
        if (bytes < kLargeRegionThreshold) return std::allocator<T>().allocate(n);
        return static_cast<T *>(mapLargeRegion(bytes));
    }
    void deallocate(T *p, std::size_t n) noexcept {
        const std::size_t bytes = n * sizeof(T);
        if (bytes < kLargeRegionThreshold) return std::allocator<T>().deallocate(p, n);
        unmapLargeRegion(p, bytes);
    }
    template <class U>
    bool operator==(const LargeAllocator<U> &) const noexcept {
        return true;
    }
};

// Geometry blocks: many small allocations that live about as long as one another (a read makes
// them; the next read keeps most of them). They are cut from 4 MB chunks one after the other; a
// chunk goes back to the system when the last block cut from it is released. Blocks too large
// for that get a region of their own. Any thread may allocate and release.
void *allocateGeometryBlock(std::size_t bytes);
void releaseGeometryBlock(void *p) noexcept;

// Chunks and own regions currently mapped for geometry blocks (for tests of the bookkeeping).
std::size_t geometryRegionsInUse() noexcept;
// False in sanitized builds, whose blocks come from the ordinary heap.
bool geometryBlocksPooled() noexcept;

} // namespace quentar::document
