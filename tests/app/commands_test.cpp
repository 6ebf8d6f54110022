// The headless commands as a user runs them: exit status, JSON on stdout, errors on stderr.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

struct CommandRun {
    int status;
    std::string out;
};

CommandRun run(const std::string &args) {
    const std::string cmd = std::string(QUENTAR_BINARY) + " " + args + " 2>/dev/null";
    CommandRun r{-1, {}};
    FILE *p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

std::string bytesOf(const fs::path &p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

const std::string kSample = std::string(QUENTAR_SAMPLES_DIR) + "/voron_deck_panel_fusion360_r14.dxf";

} // namespace

TEST(Commands, InfoPrintsOneJsonObject) {
    const CommandRun r = run("info '" + kSample + "'");
    ASSERT_EQ(r.status, 0);
    ASSERT_FALSE(r.out.empty());
    EXPECT_EQ(r.out.front(), '{');
    EXPECT_EQ(r.out.substr(r.out.size() - 2), "}\n");
    for (const char *key : {"\"cadver\":1014", "\"anzpoly\":6", "\"entities\":{\"CIRCLE\":1,\"LWPOLYLINE\":5}",
                            "\"tabs\":[\"Model\",\"Layout1\"]", "\"layers\":[", "\"linetypes\":[",
                            "\"layouts\":[]", "\"blocks\":["})
        EXPECT_NE(r.out.find(key), std::string::npos) << key;
    EXPECT_EQ(r.out.find("\"polys\""), std::string::npos);

    const CommandRun e = run("info '" + kSample + "' --entities");
    ASSERT_EQ(e.status, 0);
    EXPECT_NE(e.out.find("\"polys\":[{\"keyword\":"), std::string::npos);
    EXPECT_NE(e.out.find("\"donotdraw\":true"), std::string::npos);
}

TEST(Commands, UnreadableFilesAndBadUsage) {
    EXPECT_EQ(run("info /nonexistent/drawing.dxf").status, 1);
    EXPECT_EQ(run("info").status, 2);
    EXPECT_EQ(run("frobnicate").status, 2);
    EXPECT_EQ(run("resave /nonexistent/a.dxf /tmp/b.dxf").status, 1);
    // A file that is not a drawing at all is still read as far as it goes.
    EXPECT_EQ(run("info /etc/hostname").status, 0);
}

TEST(Commands, ResaveWritesTheSameBytes) {
    const fs::path out = fs::temp_directory_path() / "quentar_resave_test.dxf";
    ASSERT_EQ(run("resave '" + kSample + "' '" + out.string() + "'").status, 0);
    EXPECT_TRUE(bytesOf(out) == bytesOf(kSample));
    fs::remove(out);
    EXPECT_EQ(run("resave '" + kSample + "' /nonexistent/dir/out.dxf").status, 1);
}
