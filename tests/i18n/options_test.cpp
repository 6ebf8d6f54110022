// Tests of options.dat: its one integer, the range rule, damaged files and where it is kept.
#include "i18n/options.h"

#include "../support/temp_folder.h"

#include <gtest/gtest.h>

namespace quentar::i18n {
namespace {

using namespace std::string_literals;
using testing::fileBytes;
using testing::putFile;
using testing::TempFolder;

TEST(Options, LanguageIsOneLittleEndianInt32) {
    EXPECT_EQ(optionsBytes(1), "\x01\0\0\0"s);
    EXPECT_EQ(optionsBytes(19), "\x13\0\0\0"s);
    EXPECT_EQ(optionsBytes(0x01020304), "\x04\x03\x02\x01"s);
}

TEST(Options, LoadedLanguageFollowsTheRangeRule) {
    struct Case {
        const char *name;
        std::optional<std::string> file; // nullopt: no options.dat
        std::int32_t language;
        bool keptOnSaveOfSame;
    };
    const Case cases[] = {
        {"no file", std::nullopt, 0, false},
        {"German", "\0\0\0\0"s, 0, false},
        {"English", "\x01\0\0\0"s, 1, false},
        {"a further column", "\x02\0\0\0"s, 2, false},
        {"last column", "\x13\0\0\0"s, 19, false},
        {"one past the columns", "\x14\0\0\0"s, 0, true},
        {"negative", "\xFF\xFF\xFF\xFF"s, 0, true},
        {"huge", "\0\0\0\x7F"s, 0, true},
        {"empty file", ""s, 0, true},
        {"cut short", "\x01\0"s, 0, true},
        {"extra bytes after the value", "\x01\0\0\0junk"s, 1, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder tmp;
        if (c.file) putFile(tmp / "prog/options.dat", *c.file);
        std::filesystem::create_directories(tmp / "prog");
        OptionsFile options(Folders(tmp / "prog", tmp / "data"));
        EXPECT_EQ(options.LoadOptions(), c.language);
        EXPECT_EQ(options.languagesetto(), c.language);

        // Closing the window without a change: a file that was not understood stays as it was.
        EXPECT_EQ(options.SaveOptions(c.language), !c.keptOnSaveOfSame);
        if (c.keptOnSaveOfSame) {
            EXPECT_EQ(fileBytes(tmp / "prog/options.dat"), c.file);
        } else {
            EXPECT_EQ(fileBytes(tmp / "prog/options.dat"), optionsBytes(c.language));
        }
    }
}

TEST(Options, ChangedLanguageReplacesADamagedFile) {
    TempFolder tmp;
    putFile(tmp / "prog/options.dat", "\x01\0"s);
    OptionsFile options(Folders(tmp / "prog", tmp / "data"));
    ASSERT_EQ(options.LoadOptions(), 0);
    EXPECT_TRUE(options.SaveOptions(1));
    EXPECT_EQ(fileBytes(tmp / "prog/options.dat"), "\x01\0\0\0"s);
    // From now on the file is understood: saving German writes it.
    EXPECT_TRUE(options.SaveOptions(0));
    EXPECT_EQ(fileBytes(tmp / "prog/options.dat"), "\0\0\0\0"s);
}

TEST(Options, LanguageOutsideTheColumnsIsSavedAsGerman) {
    TempFolder tmp;
    std::filesystem::create_directories(tmp / "prog");
    OptionsFile options(Folders(tmp / "prog", ""));
    EXPECT_TRUE(options.SaveOptions(42));
    EXPECT_EQ(fileBytes(tmp / "prog/options.dat"), "\0\0\0\0"s);
}

TEST(Options, EnglishSurvivesARestartWithAnUnwritableProgramFolder) {
    TempFolder tmp;
    putFile(tmp / "blocker", "");
    const Folders folders(tmp / "blocker/prog", tmp / "data/Morvane/Quentar");
    {
        OptionsFile first(folders);
        EXPECT_EQ(first.LoadOptions(), 0);
        EXPECT_TRUE(first.SaveOptions(1));
    }
    EXPECT_EQ(fileBytes(tmp / "data/Morvane/Quentar/options.dat"), "\x01\0\0\0"s);
    OptionsFile next(folders);
    EXPECT_EQ(next.LoadOptions(), 1);
}

TEST(Options, NoWritableFolderIsSilent) {
    TempFolder tmp;
    putFile(tmp / "blocker", "");
    OptionsFile options(Folders(tmp / "blocker/prog", ""));
    EXPECT_EQ(options.LoadOptions(), 0);
    EXPECT_FALSE(options.SaveOptions(1));
}

} // namespace
} // namespace quentar::i18n
