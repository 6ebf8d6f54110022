// The whole headless road (open, read, measure every tab, price) over the fuzzer's seed corpus,
// the sample drawings and every hostile or odd fixture the tests keep: no crash, only numbers.
#include "../../fuzz/headless_road.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

void replay(const fs::path &dir, bool recursive) {
    ASSERT_TRUE(fs::is_directory(dir)) << dir;
    std::size_t count = 0;
    auto visit = [&](const fs::directory_entry &entry) {
        if (!entry.is_regular_file()) return;
        const std::string ext = entry.path().extension().string();
        if (ext != ".dxf" && ext != ".DXF" && !ext.empty()) return;
        SCOPED_TRACE(entry.path().string());
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        EXPECT_EQ(quentar::fuzzing::headlessRoadCheck(bytes), "");
        ++count;
    };
    if (recursive)
        for (const auto &entry : fs::recursive_directory_iterator(dir)) visit(entry);
    else
        for (const auto &entry : fs::directory_iterator(dir)) visit(entry);
    EXPECT_GT(count, 0u) << "nothing to replay in " << dir;
}

} // namespace

TEST(HeadlessRoad, SeedCorpus) {
    replay(fs::path(QUENTAR_FIXTURES_DIR) / "../../fuzz/corpus-road", false);
}

TEST(HeadlessRoad, EveryFixtureAndSample) { replay(fs::path(QUENTAR_FIXTURES_DIR), true); }

TEST(HeadlessRoad, TheReadersSeedCorpus) {
    replay(fs::path(QUENTAR_FIXTURES_DIR) / "../../fuzz/corpus", false);
}
