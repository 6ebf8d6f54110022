// Shared helpers of the costing tests: a scratch data folder and little-endian byte builders.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace quentar::costing::testing {

// A fresh folder under the temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder() {
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "quentar-cost-XXXXXX").string();
        if (::mkdtemp(tmpl.data())) path_ = tmpl;
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    const std::string &path() const { return path_; }
    std::string file(const std::string &name) const { return path_ + "/" + name; }

    void put(const std::string &name, const std::string &bytes) const {
        std::ofstream(file(name), std::ios::binary) << bytes;
    }
    // The file's bytes, empty when there is none.
    std::string get(const std::string &name) const {
        std::ifstream in(file(name), std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    bool exists(const std::string &name) const { return std::filesystem::exists(file(name)); }

private:
    std::string path_;
};

// Little-endian bytes as the data files hold them, built independently of the code under test.
class Bytes {
public:
    Bytes &i32(std::int32_t v) {
        for (int i = 0; i < 4; ++i)
            s_ += static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF);
        return *this;
    }
    Bytes &f64(double v) {
        std::uint64_t bits;
        std::memcpy(&bits, &v, 8);
        for (int i = 0; i < 8; ++i) s_ += static_cast<char>((bits >> (8 * i)) & 0xFF);
        return *this;
    }
    Bytes &u8(unsigned char v) {
        s_ += static_cast<char>(v);
        return *this;
    }
    // A string record: the count of UTF-16 code units, then the units little-endian.
    Bytes &str(const std::u16string &text) {
        i32(static_cast<std::int32_t>(text.size()));
        for (char16_t c : text) {
            s_ += static_cast<char>(c & 0xFF);
            s_ += static_cast<char>(c >> 8);
        }
        return *this;
    }
    const std::string &bytes() const { return s_; }

private:
    std::string s_;
};

} // namespace quentar::costing::testing
