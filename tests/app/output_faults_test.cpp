// Outputs that cannot be written, through the commands: a full disk, a file-size limit, a full
// standard output, a write-protected target, a link in the way, one of several outputs failing.
// One rule for every output: exit 1, one line that says why, the old file kept, no temporary.
#include "command_scratch.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using quentar::testing::bytesOf;
using quentar::testing::CommandScratch;
using quentar::testing::put;
namespace fs = std::filesystem;

const fs::path kSample = fs::path(QUENTAR_SAMPLES_DIR) / "voron_deck_panel_fusion360_r14.dxf";

// Every kind of output the commands write, as the arguments that write it to `target`.
struct Output {
    const char *name;
    std::string args; // {t}: the target
};
const Output kOutputs[] = {
    {"resave", "resave p.dxf {t}"},
    {"--csv", "quote p.dxf --csv {t}"},
    {"--text", "quote p.dxf --text {t}"},
    {"--pdf", "quote p.dxf --pdf {t}"},
    {"--preview", "measure p.dxf --preview {t}"},
};

std::string with(std::string args, const std::string &target) {
    return args.replace(args.find("{t}"), 3, target);
}

// A small file system of its own, mounted for the test and filled to the last block.
class FullDisk {
public:
    explicit FullDisk(const fs::path &at) : at_(at) {
        fs::create_directories(at);
        mounted_ = ::geteuid() == 0 &&
                   std::system(("mount -t tmpfs -o size=512k tmpfs '" + at.string() +
                                "' 2>/dev/null").c_str()) == 0;
    }
    ~FullDisk() {
        if (mounted_) std::system(("umount '" + at_.string() + "'").c_str());
    }
    bool mounted() const { return mounted_; }
    void fill() const {
        std::system(("dd if=/dev/zero of='" + (at_ / ".filler").string() +
                     "' bs=4096 2>/dev/null; sync")
                        .c_str());
    }

private:
    fs::path at_;
    bool mounted_ = false;
};

} // namespace

TEST(OutputFaults, AFullDiskKeepsTheOldFileAndSaysSo) {
    CommandScratch s;
    fs::copy_file(kSample, s.work() / "p.dxf");
    FullDisk disk(s.work() / "full");
    if (!disk.mounted()) GTEST_SKIP() << "a small tmpfs cannot be mounted here (it takes root)";
    for (const Output &o : kOutputs) put(s.work() / "full" / (std::string("old") + o.name), "old");
    disk.fill();
    const auto before = s.files();
    for (const Output &o : kOutputs) {
        SCOPED_TRACE(o.name);
        const std::string target = std::string("full/old") + o.name;
        const CommandScratch::Run r = s.run(with(o.args, target));
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "quentar: cannot write " + target + ": the disk is full\n");
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(s.files(), before) << "the old file kept, no temporary left";
    }
}

TEST(OutputFaults, AFileSizeLimitFailsTheWriteInsteadOfKillingTheProgram) {
    if (std::system("bash -c 'ulimit -f 2' 2>/dev/null") != 0)
        GTEST_SKIP() << "this shell cannot lower its file-size limit";
    CommandScratch s;
    fs::copy_file(kSample, s.work() / "p.dxf");
    // The outputs of this drawing that take more than 2 KiB (the CSV and the offers take less).
    const Output *large[] = {&kOutputs[0], &kOutputs[3], &kOutputs[4]};
    for (const Output *o : large) put(s.work() / (std::string("old") + o->name), "old");
    const auto before = s.files();
    for (const Output *op : large) {
        const Output &o = *op;
        SCOPED_TRACE(o.name);
        const std::string target = std::string("old") + o.name;
        // Standard output goes to /dev/null, which the limit does not bind.
        const CommandScratch::Run r = s.run(with(o.args, target), "ulimit -f 2", "", "/dev/null");
        EXPECT_EQ(r.status, 1) << "not killed by SIGXFSZ (153)";
        EXPECT_EQ(r.err, "quentar: cannot write " + target + ": the file size limit is reached\n");
        EXPECT_EQ(s.files(), before);
    }
}

TEST(OutputFaults, AFullStandardOutputFailsEveryCommand) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this machine";
    CommandScratch s;
    fs::copy_file(kSample, s.work() / "p.dxf");
    for (const char *args : {"info p.dxf", "info p.dxf --entities", "measure p.dxf",
                             "quote p.dxf --json"}) {
        SCOPED_TRACE(args);
        const CommandScratch::Run r = s.run(args, "", "", "/dev/full");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "quentar: cannot write the standard output\n");
    }
}

// A write-protected target is kept (as a plain write would keep it), and a link at the target's
// name is replaced by the new file, never written through: alike for every output.
TEST(OutputFaults, EveryOutputTreatsProtectedTargetsAndLinksAlike) {
    for (const Output &o : kOutputs) {
        SCOPED_TRACE(o.name);
        CommandScratch s;
        fs::copy_file(kSample, s.work() / "p.dxf");
        put(s.work() / "kept", "kept");
        ::chmod((s.work() / "kept").c_str(), 0444);
        put(s.work() / "elsewhere/real", "real");
        fs::create_symlink("elsewhere/real", s.work() / "link");

        auto before = s.files();
        const CommandScratch::Run protectedRun = s.run(with(o.args, "kept"));
        EXPECT_EQ(protectedRun.status, 1);
        EXPECT_EQ(protectedRun.err, "quentar: cannot write kept: permission denied\n");
        EXPECT_EQ(s.files(), before);
        struct stat st;
        ASSERT_EQ(::stat((s.work() / "kept").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0444u);

        const CommandScratch::Run linkRun = s.run(with(o.args, "link"));
        EXPECT_EQ(linkRun.status, 0) << linkRun.err;
        EXPECT_FALSE(fs::is_symlink(s.work() / "link"));
        EXPECT_GT(fs::file_size(s.work() / "link"), 4u);
        EXPECT_EQ(bytesOf(s.work() / "elsewhere/real"), "real");
    }
}

// When one of several outputs cannot be written, none of them is: the quotation, the offers and
// the table go out together or not at all.
TEST(OutputFaults, OneFailingOutputLeavesTheOthersUnwritten) {
    struct Case {
        const char *name;
        std::string args, message;
    };
    const Case cases[] = {
        {"the last one protected", "--pdf q.pdf --text q.txt --csv kept",
         "cannot write kept: permission denied"},
        {"the first one below a missing folder", "--pdf missing/q.pdf --text q.txt --csv q.csv",
         "cannot write missing/q.pdf: no such folder"},
        {"the middle one a folder", "--pdf q.pdf --text folder --csv q.csv",
         "cannot write folder: it is a folder"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        CommandScratch s;
        fs::copy_file(kSample, s.work() / "p.dxf");
        put(s.work() / "kept", "kept");
        ::chmod((s.work() / "kept").c_str(), 0444);
        fs::create_directory(s.work() / "folder");
        const auto before = s.files();
        const CommandScratch::Run r = s.run("quote p.dxf " + c.args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "quentar: " + c.message + "\n");
        EXPECT_EQ(s.files(), before);
    }
}

// Without a runtime folder of the session, one folder per user is made and used again: runs do
// not pile folders up in the temporary folder.
TEST(OutputFaults, RunsWithoutARuntimeFolderShareOne) {
    CommandScratch s;
    fs::copy_file(kSample, s.work() / "p.dxf");
    const fs::path tmp = s.root() / "tmp";
    fs::create_directories(tmp);
    const std::string env = "XDG_RUNTIME_DIR= TMPDIR='" + tmp.string() + "'";
    for (int i = 0; i < 3; ++i) {
        const CommandScratch::Run r = s.run("measure p.dxf --preview x.png", "", env);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "") << "Qt says nothing about its runtime folder";
    }
    const CommandScratch::Run q = s.run("quote p.dxf --pdf q.pdf", "", env);
    ASSERT_EQ(q.status, 0) << q.err;
    std::vector<fs::path> left;
    for (const auto &e : fs::directory_iterator(tmp)) left.push_back(e.path());
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].filename().string().rfind("quentar-runtime-", 0), 0u);
    EXPECT_EQ(fs::status(left[0]).permissions() & fs::perms::all, fs::perms::owner_all);
}
