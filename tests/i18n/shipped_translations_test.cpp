// The English column of the shipped data/translate.dat: its source, its generator and its check.
//
// data/translate.dat is generated from kEnglish below. After changing a text, regenerate it with
//   QUENTAR_WRITE_SHIPPED_TRANSLATIONS=1 quentar_tests --gtest_filter='ShippedTranslations.*'
#include "document/safe_file.h"
#include "document/messages.h"
#include "i18n/translator.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace quentar::i18n {
using document::germanMessage;
using document::kMessageCount;
namespace {

// The English of each message, as shown. Blanks that end a German message (before a file name)
// are not part of the key and come back around the translation when it is shown.
constexpr std::string_view kEnglish[kMessageCount] = {
    "Please close the program and start it again.",
    "Translation",
    "The following file could not be opened for writing: ",
    "This file has not been saved yet. Do you want to save it now?",
    "Save",
    "The DXF version of this DXF file does not support line weights.",
    "The DXF version of this DXF file does not support spline objects of this kind.",
    "DXF file",
    "The DXF version of this DXF file does not support ellipses.",
    "The DXF version of this DXF file does not support construction lines.",
    // The drawing colours 1 ... 9 by their usual English CAD names.
    "Red",
    "Yellow",
    "Green",
    "Cyan",
    "Blue",
    "Magenta",
    "Black",
    "Grey",
    "Light grey",
    // Layer states.
    "Hidden",
    "Visible",
    "Locked",
    "Unlocked",
    "A layer with this name already exists.",
    "You have not entered a name for the new layer.",
    "A line type with this name already exists.",
    "The lengths have not been entered correctly.",
    "You have not entered a valid name for the line type.",
    "Could not open the following file: ",
    "The DXF version of this DXF file does not support rays.",
    "untitled.dxf",
    "The DXF version of this DXF file does not support multi-line texts. Only the first line is "
    "used.",
    "The DXF version of this DXF file does not support \"LEADER\" objects.",
    "The drawing has no free handles left: nothing can be added.",
    "The array would be too large: nothing was copied.",
};

const std::string kShippedFile = std::string(QUENTAR_FIXTURES_DIR) + "/../../data/translate.dat";

// The shipped file's bytes: the rows are added the way the program adds unknown messages, in
// message order, so their keys are exactly what a lookup searches for.
std::string generatedFile() {
    std::optional<std::string> bytes;
    Translator t({[] { return std::optional<std::string>(); },
                  [&bytes](std::string_view b) {
                      bytes = std::string(b);
                      return true;
                  }});
    t.InitTranslation();
    for (int n = 1; n <= kMessageCount; ++n) {
        t.MessageText(n);
        std::string_view english = kEnglish[n - 1];
        while (!english.empty() && english.back() == ' ') english.remove_suffix(1);
        t.setCell(n - 1, 1, english);
    }
    return bytes.value_or("");
}

TEST(ShippedTranslations, FileIsWhatTheGeneratorWrites) {
    const std::string generated = generatedFile();
    if (const char *env = std::getenv("QUENTAR_WRITE_SHIPPED_TRANSLATIONS"); env && *env == '1') {
        ASSERT_TRUE(document::writeFileAtomically(kShippedFile, generated)) << kShippedFile;
    }
    const auto shipped = document::readWholeFile(kShippedFile);
    ASSERT_TRUE(shipped) << kShippedFile;
    EXPECT_TRUE(*shipped == generated)
        << "data/translate.dat is out of date: regenerate it as the head of this file says";
}

TEST(ShippedTranslations, EveryMessageShowsInEnglishAndNothingIsAdded) {
    int writes = 0;
    Translator t({[] { return document::readWholeFile(kShippedFile); },
                  [&writes](std::string_view) {
                      ++writes;
                      return true;
                  }});
    t.InitTranslation();
    ASSERT_FALSE(t.fileDamaged());
    ASSERT_EQ(t.rowCount(), kMessageCount);

    t.setLanguage(1);
    for (int n = 1; n <= kMessageCount; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(t.MessageText(n), kEnglish[n - 1]);
        EXPECT_NE(t.MessageText(n), germanMessage(n));
    }
    t.setLanguage(0);
    for (int n = 1; n <= kMessageCount; ++n) EXPECT_EQ(t.MessageText(n), germanMessage(n)) << n;
    EXPECT_EQ(t.rowCount(), kMessageCount);
    EXPECT_EQ(writes, 0);
}

} // namespace
} // namespace quentar::i18n
