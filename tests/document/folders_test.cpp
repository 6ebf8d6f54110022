// Tests of the program and data folders and of where the program's own files are read and written.
#include "document/folders.h"

#include "../support/temp_folder.h"

#include <gtest/gtest.h>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace quentar::document {
namespace {

using testing::fileBytes;
using testing::putFile;
using testing::TempFolder;

TEST(Folders, UserDataFolderFollowsTheXdgRules) {
    struct Case {
        const char *name;
        const char *xdg;
        const char *home;
        std::string folder;
    };
    const Case cases[] = {
        {"XDG_DATA_HOME first", "/x/data", "/home/u", "/x/data/Morvane/Quentar/"},
        {"no doubled slash", "/x/data/", "/home/u", "/x/data/Morvane/Quentar/"},
        {"empty XDG_DATA_HOME", "", "/home/u", "/home/u/.local/share/Morvane/Quentar/"},
        {"relative XDG_DATA_HOME is ignored", "rel", "/home/u",
         "/home/u/.local/share/Morvane/Quentar/"},
        {"unset XDG_DATA_HOME", nullptr, "/home/u/", "/home/u/.local/share/Morvane/Quentar/"},
        {"nothing to go by", nullptr, nullptr, ""},
        {"empty HOME", nullptr, "", ""},
        {"relative HOME", "", "home/u", ""},
    };
    for (const Case &c : cases) EXPECT_EQ(userDataFolder(c.xdg, c.home), c.folder) << c.name;
}

TEST(Folders, WithoutADataFolderTheProgramFolderServes) {
    const Folders folders("/opt/quentar/data", "");
    EXPECT_EQ(folders.programFolder(), "/opt/quentar/data/");
    EXPECT_EQ(folders.dataFolder(), "/opt/quentar/data/");
}

TEST(Folders, ShippedFilesAreBesideTheProgramOrInItsShareFolder) {
    TempFolder tmp;
    std::filesystem::create_directories(tmp / "bin");
    EXPECT_EQ(installedDataFolderOf(tmp / "bin/quentar"), "data") << "nothing found";
    std::filesystem::create_directories(tmp / "share/quentar");
    EXPECT_EQ(std::filesystem::canonical(installedDataFolderOf(tmp / "bin/quentar")),
              std::filesystem::canonical(tmp / "share/quentar"));
    std::filesystem::create_directories(tmp / "bin/data");
    EXPECT_EQ(installedDataFolderOf(tmp / "bin/quentar"), tmp / "bin/data");
}

TEST(Folders, DataFolderIsCreatedOnlyWhenAskedFor) {
    TempFolder tmp;
    const Folders folders(tmp / "prog", userDataFolder((tmp / "xdg").c_str(), nullptr));
    const std::string data = folders.dataFolder(false);
    EXPECT_EQ(data, tmp / "xdg/Morvane/Quentar/");
    EXPECT_FALSE(std::filesystem::exists(tmp / "xdg"));

    EXPECT_EQ(folders.dataFolder(true), data);
    EXPECT_TRUE(std::filesystem::is_directory(data));
    struct stat st;
    ASSERT_EQ(::stat(data.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u) << "the user's data is the user's only";
    EXPECT_EQ(folders.dataFolder(true), data) << "an existing folder is fine";
}

TEST(Folders, WritableProgramFolderIsWrittenAndRead) {
    TempFolder tmp;
    std::filesystem::create_directories(tmp / "prog");
    const Folders folders(tmp / "prog", tmp / "data");
    EXPECT_FALSE(folders.readDataFile("options.dat"));

    ASSERT_TRUE(folders.writeDataFile("options.dat", "one"));
    EXPECT_EQ(fileBytes(tmp / "prog/options.dat"), "one");
    EXPECT_FALSE(std::filesystem::exists(tmp / "data")) << "no data folder needed";
    EXPECT_EQ(folders.readDataFile("options.dat"), "one");
}

TEST(Folders, UnwritableProgramFolderFallsBackToTheDataFolder) {
    TempFolder tmp;
    // Below a regular file nothing can be written, not even by root.
    putFile(tmp / "blocker", "");
    const Folders folders(tmp / "blocker/prog", tmp / "data/Morvane/Quentar");

    ASSERT_TRUE(folders.writeDataFile("translate.dat", "mine"));
    EXPECT_EQ(fileBytes(tmp / "data/Morvane/Quentar/translate.dat"), "mine");
    EXPECT_EQ(folders.dataFileForReading("translate.dat"),
              tmp / "data/Morvane/Quentar/translate.dat");
    EXPECT_EQ(folders.readDataFile("translate.dat"), "mine");
}

TEST(Folders, TheUserCopyIsReadFirstAndWrittenFromThenOn) {
    TempFolder tmp;
    putFile(tmp / "prog/translate.dat", "shipped");
    putFile(tmp / "data/translate.dat", "user");
    const Folders folders(tmp / "prog", tmp / "data");

    EXPECT_EQ(folders.readDataFile("translate.dat"), "user");
    // The program folder is writable, but a write there would be hidden behind the user's copy.
    ASSERT_TRUE(folders.writeDataFile("translate.dat", "changed"));
    EXPECT_EQ(fileBytes(tmp / "data/translate.dat"), "changed");
    EXPECT_EQ(fileBytes(tmp / "prog/translate.dat"), "shipped");
    EXPECT_EQ(folders.readDataFile("translate.dat"), "changed");
}

TEST(Folders, ReadOnlyProgramFolderWithShippedFile) {
    testing::asUnprivilegedUser([] {
        TempFolder tmp;
        putFile(tmp / "prog/translate.dat", "shipped");
        const std::string prog = tmp / "prog";
        ::chmod(prog.c_str(), 0555);
        // The folder must be writable again for the clean-up, whatever happens here.
        const std::unique_ptr<const std::string, void (*)(const std::string *)> restore(
            &prog, [](const std::string *p) { ::chmod(p->c_str(), 0755); });
        const Folders folders(prog, tmp / "data");

        EXPECT_EQ(folders.readDataFile("translate.dat"), "shipped");
        ASSERT_TRUE(folders.writeDataFile("translate.dat", "mine"));
        EXPECT_EQ(fileBytes(tmp / "prog/translate.dat"), "shipped");
        EXPECT_EQ(fileBytes(tmp / "data/translate.dat"), "mine");
        EXPECT_EQ(folders.readDataFile("translate.dat"), "mine");
    });
}

TEST(Folders, NoWriteAnywhereIsReportedAndChangesNothing) {
    TempFolder tmp;
    putFile(tmp / "blocker", "");
    const Folders onlyProgram(tmp / "blocker/prog", "");
    EXPECT_FALSE(onlyProgram.writeDataFile("options.dat", "x"));
    const Folders neither(tmp / "blocker/prog", tmp / "blocker/data");
    EXPECT_FALSE(neither.writeDataFile("options.dat", "x"));
    EXPECT_EQ(fileBytes(tmp / "blocker"), "");
}

} // namespace
} // namespace quentar::document
