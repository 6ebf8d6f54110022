// Tests of the atomic file replacement, whole-file reads and temporary file names.
#include "document/safe_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>

namespace quentar::document {
namespace {

namespace fs = std::filesystem;

class SafeFile : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "quentar-safe-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string &name) const { return (dir_ / name).string(); }

    void put(const std::string &name, const std::string &bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }

    std::set<std::string> listing() const {
        std::set<std::string> names;
        for (const auto &e : fs::directory_iterator(dir_)) names.insert(e.path().filename());
        return names;
    }

    fs::path dir_;
};

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const char *value) : name_(name) {
        if (const char *old = std::getenv(name)) old_ = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char *name_;
    std::optional<std::string> old_;
};

TEST_F(SafeFile, ReplacesContentsAndKeepsPermissionBits) {
    put("part.dat", "old contents");
    // Bits the umask would take away from a new file must survive too.
    ASSERT_EQ(::chmod(path("part.dat").c_str(), 0666), 0);
    const mode_t oldMask = ::umask(022);
    std::string bytes(200000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);

    const bool ok = writeFileAtomically(path("part.dat"), bytes);
    ::umask(oldMask);
    ASSERT_TRUE(ok);
    EXPECT_EQ(readWholeFile(path("part.dat")), bytes);
    struct stat st;
    ASSERT_EQ(::stat(path("part.dat").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0666u);

    ASSERT_TRUE(writeFileAtomically(path("part.dat"), ""));
    EXPECT_EQ(readWholeFile(path("part.dat")), "");
    EXPECT_EQ(listing(), std::set<std::string>{"part.dat"});
}

TEST_F(SafeFile, CreatesAFileThatDidNotExist) {
    ASSERT_TRUE(writeFileAtomically(path("new.dat"), "fresh"));
    EXPECT_EQ(readWholeFile(path("new.dat")), "fresh");
    EXPECT_EQ(listing(), std::set<std::string>{"new.dat"});
}

TEST_F(SafeFile, FailureLeavesEverythingAsItWas) {
    put("part.dat", "old contents");
    fs::create_directory(dir_ / "folder");
    const std::set<std::string> before = listing();
    // These fail even for root: no folder to write in, a file where a folder should be, a folder
    // in the way, and a file made read-only. Each says why.
    ASSERT_EQ(::chmod(path("part.dat").c_str(), 0444), 0);
    const struct {
        const char *target;
        int error;
        const char *why;
    } cases[] = {{"missing/part.dat", ENOENT, "no such folder"},
                 {"part.dat/inner.dat", ENOTDIR, "a part of its path is not a folder"},
                 {"folder", EISDIR, "it is a folder"},
                 {"part.dat", EACCES, "permission denied"}};
    for (const auto &[target, expected, why] : cases) {
        int error = 0;
        EXPECT_FALSE(writeFileAtomically(path(target), "new contents", &error)) << target;
        EXPECT_EQ(error, expected) << target;
        EXPECT_EQ(writeErrorText(error), why);
        EXPECT_EQ(listing(), before) << target;
        EXPECT_TRUE(fs::is_empty(dir_ / "folder")) << target;
        EXPECT_EQ(readWholeFile(path("part.dat")), "old contents") << target;
    }
}

TEST_F(SafeFile, FailedWriteLeavesTheOldFileAndNoTemporary) {
    put("part.dat", "old contents");
    // A file size limit makes write() fail midway, as a full disk would; it binds root too.
    rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    int error = 0;
    const bool ok = writeFileAtomically(path("part.dat"), std::string(100000, 'n'), &error);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(ok);
    EXPECT_EQ(writeErrorText(error), "the file size limit is reached");
    EXPECT_EQ(readWholeFile(path("part.dat")), "old contents");
    EXPECT_EQ(listing(), std::set<std::string>{"part.dat"});
}

// Several outputs of one run: each written beside its target first, put in place only on
// commit; one that is never committed leaves no trace, and the target stays as it was.
TEST_F(SafeFile, StagedFilesArePutInPlaceOnlyWhenCommitted) {
    put("a.csv", "old a");
    put("b.pdf", "old b");
    {
        StagedFile a, b;
        ASSERT_TRUE(a.stage(path("a.csv"), "new a"));
        ASSERT_TRUE(b.stage(path("b.pdf"), "new b"));
        EXPECT_EQ(listing().size(), 4u) << "two temporaries beside the targets";
        EXPECT_EQ(readWholeFile(path("a.csv")), "old a");
        ASSERT_TRUE(a.commit());
        // b goes out of scope without a commit.
    }
    EXPECT_EQ(listing(), (std::set<std::string>{"a.csv", "b.pdf"}));
    EXPECT_EQ(readWholeFile(path("a.csv")), "new a");
    EXPECT_EQ(readWholeFile(path("b.pdf")), "old b");
    StagedFile never;
    EXPECT_FALSE(never.commit());
}

// The check commands make before writing an output: would it replace an input?
TEST_F(SafeFile, AnOutputIsTheSameFileAsAnInputByIdentityOrByItsPath) {
    put("part.dxf", "drawing");
    put("other.dxf", "drawing");
    fs::create_directory(dir_ / "sub");
    fs::create_symlink("part.dxf", dir_ / "link.dxf");
    fs::create_symlink(dir_ / "sub", dir_ / "sublink");
    fs::create_hard_link(dir_ / "part.dxf", dir_ / "hard.dxf");
    const fs::path cwd = fs::current_path();
    fs::current_path(dir_);
    struct Case {
        std::string output;
        bool same;
    };
    const Case cases[] = {
        {path("part.dxf"), true},
        {"part.dxf", true},               // relative
        {"./sub/../part.dxf", true},      // dots
        {"link.dxf", true},               // through a symbolic link
        {"hard.dxf", true},               // another name of the same file
        {"sublink/../part.dxf", true},    // ".." after a link to a folder goes back to its parent
        {"other.dxf", false},             // same bytes, another file
        {"part.dxf.csv", false},          // does not exist yet
        {"sub/part.dxf", false},          // does not exist yet
        {"missing/../part.dxf", true},    // as the path reads: the safe side
    };
    for (const Case &c : cases) EXPECT_EQ(isSameFile(c.output, "part.dxf"), c.same) << c.output;
    // Neither exists yet: the same place by its normalised path.
    EXPECT_TRUE(isSameFile("new.csv", path("sub/../new.csv")));
    EXPECT_FALSE(isSameFile("new.csv", "new.pdf"));
    EXPECT_FALSE(isSameFile("", "part.dxf"));
    fs::current_path(cwd);
}

TEST_F(SafeFile, ReadWholeFileFailsForMissingFilesAndFolders) {
    EXPECT_EQ(readWholeFile(path("missing.dat")), std::nullopt);
    EXPECT_EQ(readWholeFile(dir_.string()), std::nullopt);
}

TEST_F(SafeFile, UniqueTempFileNameSkipsNamesInUse) {
    for (const char *taken : {"q0.tmp", "q1.tmp", "q3.tmp"}) put(taken, "");
    fs::create_directory(dir_ / "q2.tmp");
    for (const std::string &tmpdir : {dir_.string(), dir_.string() + "/"}) {
        ScopedEnv env("TMPDIR", tmpdir.c_str());
        EXPECT_EQ(UniqueTempFileName("q", ".tmp"), path("q4.tmp")) << tmpdir;
        EXPECT_EQ(UniqueTempFileName("r", ".tmp"), path("r0.tmp")) << tmpdir;
    }
}

TEST_F(SafeFile, UniqueTempFileNameFallsBackToSlashTmp) {
    for (const char *value : {static_cast<const char *>(nullptr), ""}) {
        ScopedEnv env("TMPDIR", value);
        const std::string name = UniqueTempFileName("quentar-no-such-", ".tmp");
        EXPECT_EQ(name.rfind("/tmp/quentar-no-such-", 0), 0u) << name;
    }
}

} // namespace
} // namespace quentar::document
