// Helpers of the PDF writer tests: a scratch folder, simple font metrics and a reader for the
// files the writer produces (cross-reference table, objects, inflated page content).
#pragma once

#include "pdf/pdf_canvas.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <zlib.h>

namespace quentar::pdf::testing {

namespace fs = std::filesystem;

// Round numbers: every glyph 500 wide, the blank 250, a cell of 900 + 300 thousandths.
inline FontMetrics simpleMetrics() {
    FontMetrics m;
    m.ascent = 800;
    m.descent = -200.7;
    m.cellAscent = 900;
    m.cellDescent = 300;
    m.capHeight = 700;
    m.bboxLeft = -100.5;
    m.bboxBottom = -250;
    m.bboxRight = 1000;
    m.bboxTop = 950;
    m.stemV = 80;
    m.widths.fill(500);
    m.widths[0] = 250;
    return m;
}

inline std::shared_ptr<FontMetricsSource> simpleSource() {
    return std::make_shared<FixedFontMetricsSource>(simpleMetrics());
}

inline std::string inflateZlib(std::string_view data) {
    z_stream z{};
    EXPECT_EQ(inflateInit(&z), Z_OK);
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    std::string out;
    char buf[4096];
    int status = Z_OK;
    do {
        z.next_out = reinterpret_cast<Bytef *>(buf);
        z.avail_out = sizeof buf;
        status = inflate(&z, Z_NO_FLUSH);
        out.append(buf, sizeof buf - z.avail_out);
    } while (status == Z_OK);
    EXPECT_EQ(status, Z_STREAM_END) << "not a complete zlib stream";
    inflateEnd(&z);
    return out;
}

inline long long numberAt(std::string_view text, std::size_t pos) {
    long long value = 0;
    std::from_chars(text.data() + pos, text.data() + text.size(), value);
    return value;
}

// A produced file, read through its own cross-reference table.
class PdfFile {
public:
    explicit PdfFile(std::string bytes) : bytes_(std::move(bytes)) {
        const std::size_t sx = bytes_.rfind("startxref\n");
        if (sx == std::string::npos) return;
        xrefOffset_ = static_cast<std::size_t>(numberAt(bytes_, sx + 10));
        if (bytes_.compare(xrefOffset_, 7, "xref\n0 ") != 0) return;
        const std::size_t countPos = xrefOffset_ + 7;
        count_ = static_cast<int>(numberAt(bytes_, countPos));
        entriesOffset_ = bytes_.find('\n', countPos) + 1;
    }

    const std::string &bytes() const { return bytes_; }
    int objectCount() const { return count_; }
    std::size_t xrefOffset() const { return xrefOffset_; }
    // The 20-byte entry of object `nr`.
    std::string xrefEntry(int nr) const { return bytes_.substr(entriesOffset_ + 20 * nr, 20); }
    std::size_t offsetOf(int nr) const {
        return static_cast<std::size_t>(numberAt(bytes_, entriesOffset_ + 20 * nr));
    }
    // Object `nr` from its "N 0 obj" line through "endobj" (binary stream data included).
    std::string object(int nr) const {
        const std::size_t start = offsetOf(nr);
        const std::string head = std::to_string(nr) + " 0 obj\n";
        if (bytes_.compare(start, head.size(), head) != 0) return "<no object " + head + ">";
        std::size_t end = start;
        if (const std::size_t s = bytes_.find("stream\n", start);
            s != std::string::npos && s < bytes_.find("endobj", start))
            end = s + 7 + streamLength(nr, s);
        return bytes_.substr(start, bytes_.find("endobj\n", end) + 7 - start);
    }
    // The raw stream data of object `nr`, as long as its /Length says.
    std::string streamData(int nr) const {
        const std::size_t s = bytes_.find("stream\n", offsetOf(nr));
        return bytes_.substr(s + 7, streamLength(nr, s));
    }
    // The inflated content of page `i` (from 0): objects 2, 4, 6 ...
    std::string pageContent(int i) const { return inflateZlib(streamData(2 + 2 * i)); }

private:
    std::size_t streamLength(int nr, std::size_t streamPos) const {
        const std::size_t l = bytes_.find("/Length ", offsetOf(nr));
        if (l == std::string::npos || l > streamPos) return 0;
        const long long value = numberAt(bytes_, l + 8);
        const std::size_t after = bytes_.find_first_not_of("0123456789", l + 8);
        // "/Length N 0 R" refers to an object holding the number.
        if (bytes_.compare(after, 5, " 0 R ") == 0) {
            const std::size_t lenObj = offsetOf(static_cast<int>(value));
            return static_cast<std::size_t>(numberAt(bytes_, bytes_.find('\n', lenObj) + 1));
        }
        return static_cast<std::size_t>(value);
    }

    std::string bytes_;
    std::size_t xrefOffset_ = 0;
    std::size_t entriesOffset_ = 0;
    int count_ = 0;
};

// A fresh folder per test, removed afterwards.
class PdfTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "quentar-pdf-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string &name) const { return (dir_ / name).string(); }

    // Runs `draw` on a canvas with simple metrics between BeginDoc and EndDoc, reads the file.
    template <typename Draw> PdfFile produce(Draw draw, const std::string &name = "out.pdf") {
        TPDFCanvas canvas(simpleSource());
        EXPECT_TRUE(canvas.BeginDoc(path(name)));
        draw(canvas);
        EXPECT_TRUE(canvas.EndDoc());
        return PdfFile(readFile(path(name)));
    }

    static std::string readFile(const std::string &p) {
        std::string data;
        if (FILE *f = std::fopen(p.c_str(), "rb")) {
            char buf[65536];
            for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) data.append(buf, n);
            std::fclose(f);
        }
        return data;
    }

    fs::path dir_;
};

// The lines of `content` that end with `suffix`, each followed by ";".
inline std::string linesEndingWith(const std::string &content, std::string_view suffix) {
    std::string found;
    for (std::size_t start = 0, end; (end = content.find('\n', start)) != std::string::npos;
         start = end + 1) {
        const std::string_view line(content.data() + start, end - start);
        if (line.ends_with(suffix)) found.append(line).append(";");
    }
    return found;
}

inline RgbImage solidImage(int w, int h, Color c) {
    RgbImage image{w, h, {}};
    for (int i = 0; i < w * h; ++i) image.rgb.insert(image.rgb.end(), {c.r, c.g, c.b});
    return image;
}

} // namespace quentar::pdf::testing
