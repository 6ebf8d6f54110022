// A fresh temporary folder for one test, and small file helpers for the folder and option tests.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <string>

namespace quentar::app::testing {

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

} // namespace quentar::app::testing
