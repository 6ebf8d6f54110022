// Geometry blocks cut from shared chunks, and large arrays in mappings of their own.
#include "document/large_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

using namespace quentar::document;

namespace {

struct Block {
    unsigned char *p;
    std::size_t size;
    unsigned char fill;
};

Block make(std::size_t size, unsigned char fill) {
    auto *p = static_cast<unsigned char *>(allocateGeometryBlock(size));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % 8, 0u);
    std::memset(p, fill, size);
    return {p, size, fill};
}

bool intact(const Block &b) {
    for (std::size_t i = 0; i < b.size; ++i)
        if (b.p[i] != b.fill) return false;
    return true;
}

} // namespace

// Blocks never overlap, a chunk goes back once its last block is released, and a block too large
// for a chunk gets (and gives back) a region of its own, whichever thread releases it.
TEST(LargeMemory, GeometryBlocksAreDisjointAndTheirChunksGoBack) {
    if (!geometryBlocksPooled()) GTEST_SKIP() << "blocks come from the heap in this build";
    const std::size_t before = geometryRegionsInUse();
    std::vector<Block> blocks;
    // About 12 MB in sizes from a LINE's to a sampled spline's, with a few of their own.
    for (int i = 0; i < 4000; ++i) {
        const std::size_t size = i % 500 == 7 ? 600000 : 8 + static_cast<std::size_t>(i % 97) * 64;
        blocks.push_back(make(size, static_cast<unsigned char>(i)));
    }
    EXPECT_GE(geometryRegionsInUse(), before + 3);
    for (const Block &b : blocks) ASSERT_TRUE(intact(b));

    // Release every other block first: the chunks stay while any of their blocks lives.
    for (std::size_t i = 0; i < blocks.size(); i += 2) releaseGeometryBlock(blocks[i].p);
    for (std::size_t i = 1; i < blocks.size(); i += 2) ASSERT_TRUE(intact(blocks[i]));
    std::thread other([&] {
        for (std::size_t i = 1; i < blocks.size(); i += 2) releaseGeometryBlock(blocks[i].p);
    });
    other.join();
    // Only the chunk this thread still cuts from may remain.
    EXPECT_LE(geometryRegionsInUse(), before + 1);

    std::thread maker([&] { blocks = {make(100, 1), make(300000, 2)}; });
    maker.join();
    for (const Block &b : blocks) EXPECT_TRUE(intact(b));
    releaseGeometryBlock(blocks[1].p);
    releaseGeometryBlock(blocks[0].p);
    // The other thread's chunk is kept as the thread ended; its block is gone.
    EXPECT_LE(geometryRegionsInUse(), before + 2);
}

TEST(LargeMemory, LargeArraysKeepTheirContentsAcrossGrowth) {
    std::vector<uint64_t, LargeAllocator<uint64_t>> v;
    for (uint64_t i = 0; i < 1000000; ++i) v.push_back(i * 7);
    for (uint64_t i = 0; i < v.size(); ++i) ASSERT_EQ(v[i], i * 7);
    v.resize(10);
    v.shrink_to_fit();
    EXPECT_EQ(v.back(), 63u);
}
