// Replays the data-file fuzzer's corpus: every reader refuses or reads, none crashes.
#include "i18n/options.h"
#include "costing/catalogue.h"
#include "costing/sheet_formats.h"
#include "costing/tiers.h"
#include "i18n/translate_file.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace fs = std::filesystem;

TEST(FuzzReplay, DataFiles) {
    const fs::path dir = fs::path(QUENTAR_FIXTURES_DIR) / "../../fuzz/corpus-datafiles";
    int files = 0;
    for (const auto &entry : fs::directory_iterator(dir)) {
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        const std::string_view body = std::string_view(bytes).substr(bytes.empty() ? 0 : 1);
        quentar::costing::Catalogue c;
        c.addDefaults();
        (void)c.readFileBytes(body);
        quentar::costing::TierList t;
        (void)t.readFileBytes(body);
        (void)quentar::i18n::readTranslateFile(body);
        (void)quentar::i18n::parseOptions(body);
        quentar::costing::SheetFormats f;
        (void)f.readText(body, "sheets.txt");
        ++files;
    }
    EXPECT_GT(files, 0);
}
