// A fresh temporary folder for one test, and small file helpers for the folder and option tests.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace quentar::testing {

class TempFolder {
public:
    TempFolder() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "quentar-app-XXXXXX").string();
        if (::mkdtemp(tmpl.data())) path_ = tmpl;
        EXPECT_FALSE(path_.empty());
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    // `relative` below the folder, as a string.
    std::string operator/(const std::string &relative) const { return path_ + "/" + relative; }

private:
    std::string path_;
};

inline void putFile(const std::string &path, const std::string &bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::optional<std::string> fileBytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Runs `body` as a user whom file permissions bind, so that a folder made read-only is read-only
// for the code under test. Such a user runs it directly. Root, whom permissions do not bind, runs
// it in a child process that has given up root for the unprivileged user "nobody" (65534); the
// child's failures are printed as they happen and fail this test. `body` makes its own folders:
// the child cannot enter root's.
inline void asUnprivilegedUser(const std::function<void()> &body) {
    if (::geteuid() != 0) {
        body();
        return;
    }
    constexpr int kCannotDrop = 77;
    std::fflush(nullptr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const uid_t nobody = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)
            ::_exit(kCannotDrop);
        body();
        std::fflush(nullptr);
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == kCannotDrop) GTEST_SKIP() << "root cannot give up root here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the part run as \"nobody\" failed (see above)";
}

} // namespace quentar::testing
