// libFuzzer target for the shop's data files: material.dat, staffel.dat, translate.dat,
// options.dat and sheets.txt. The first byte chooses the reader; a broken file must be refused,
// never crash.
#include "i18n/options.h"
#include "costing/catalogue.h"
#include "costing/sheet_formats.h"
#include "costing/tiers.h"
#include "i18n/translate_file.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0) return 0;
    const std::string_view bytes(reinterpret_cast<const char *>(data) + 1, size - 1);
    switch (data[0] % 5) {
    case 0: {
        quentar::costing::Catalogue c;
        c.addDefaults();
        if (c.readFileBytes(bytes) == quentar::costing::Catalogue::LoadResult::Loaded)
            (void)c.fileBytes(); // what was read must also write
        break;
    }
    case 1: {
        quentar::costing::TierList t;
        if (t.readFileBytes(bytes) == quentar::costing::TierList::LoadResult::Loaded)
            (void)t.fileBytes();
        break;
    }
    case 2:
        (void)quentar::i18n::readTranslateFile(bytes);
        break;
    case 3:
        (void)quentar::i18n::parseOptions(bytes);
        break;
    default: {
        quentar::costing::SheetFormats f;
        (void)f.readText(bytes, "sheets.txt");
        (void)f.fileText(); // what was read must also write
        break;
    }
    }
    return 0;
}
