// Replays the fuzzer's seed corpus and every input it ever broke the reader with.
#include "../../fuzz/reread_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> filesIn(const fs::path &dir) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto &entry : fs::directory_iterator(dir, ec))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

void replay(const fs::path &dir) {
    const auto files = filesIn(dir);
    ASSERT_FALSE(files.empty()) << "nothing to replay in " << dir;
    for (const auto &file : files) {
        SCOPED_TRACE(file.filename().string());
        std::ifstream in(file, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        EXPECT_EQ(quentar::fuzzing::rereadCheck(bytes), "");
    }
}

} // namespace

TEST(FuzzReplay, SeedCorpus) { replay(fs::path(QUENTAR_FIXTURES_DIR) / "../../fuzz/corpus"); }

TEST(FuzzReplay, Regressions) { replay(fs::path(QUENTAR_FIXTURES_DIR) / "fuzz-regressions"); }
