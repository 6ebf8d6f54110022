// Real drawings written by other CAD programs: every one reads, keeps its entities, saves unchanged.
#include "document/dxf_file.h"
#include "dxf/reader.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>

using namespace quentar;
namespace fs = std::filesystem;

namespace {

std::vector<fs::path> samples() {
    std::vector<fs::path> out;
    for (const auto &e : fs::directory_iterator(QUENTAR_SAMPLES_DIR))
        if (e.path().extension() == ".dxf") out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}

std::string bytesOf(const fs::path &p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string trim(std::string s) {
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32) s.pop_back();
    std::size_t b = 0;
    while (b < s.size() && static_cast<unsigned char>(s[b]) <= 32) ++b;
    return s.substr(b);
}

// Entities per keyword in the ENTITIES section and inside block definitions, counted with a
// plain pair walk of the file (a POLYLINE's VERTEX and SEQEND records belong to it).
std::map<std::string, int> countEntities(const std::string &bytes) {
    static const std::set<std::string> known{
        "LINE",  "LWPOLYLINE", "POLYLINE", "LEADER", "RAY",    "XLINE",   "ARC",
        "CIRCLE", "ELLIPSE",   "SPLINE",   "SOLID",  "POINT",  "INSERT",  "TEXT",
        "MTEXT", "DIMENSION",  "HATCH",    "WIPEOUT", "VIEWPORT", "ATTRIB"};
    std::istringstream in(bytes);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) lines.push_back(trim(l));
    std::map<std::string, int> counts;
    std::string section;
    bool inBlock = false, expectName = false;
    for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
        const std::string &code = lines[i], &value = lines[i + 1];
        if (code == "0" && value == "SECTION") expectName = true;
        else if (code == "2" && expectName) section = value, expectName = false;
        else if (code == "0" && value == "BLOCK") inBlock = true;
        else if (code == "0" && value == "ENDBLK") inBlock = false;
        else if (code == "0" && (section == "ENTITIES" || (section == "BLOCKS" && inBlock)) &&
                 known.count(value))
            ++counts[value];
    }
    return counts;
}

class Samples : public ::testing::TestWithParam<fs::path> {};

} // namespace

TEST_P(Samples, ReadsEveryEntity) {
    const std::string bytes = bytesOf(GetParam());
    document::Drawing d;
    ASSERT_TRUE(document::loadDxfLines(GetParam().string(), d));
    dxf::processdxf(d);
    std::map<std::string, int> read;
    for (const auto &p : d.polys) {
        ++read[std::string(document::trimLine(d.dxf[static_cast<std::size_t>(p.linefrom + 1)]))];
        ASSERT_LT(p.linefrom, p.linebis);
        ASSERT_LT(p.linebis, static_cast<int>(d.dxf.size()));
        for (int i = 0; i < p.anzp; ++i) {
            ASSERT_TRUE(std::isfinite(p.p(i).x) && std::isfinite(p.p(i).y));
            ASSERT_LE(p.absLine(p.p(i).linex), p.linebis);
        }
    }
    EXPECT_EQ(read, countEntities(bytes));
    EXPECT_GT(d.cadver, 1000);
    EXPECT_NE(d.insertlinepos, -1);
    EXPECT_EQ(d.dxf[static_cast<std::size_t>(d.insertlinepos + 1)], "ENDSEC");
}

TEST_P(Samples, SavesTheSameBytes) {
    const std::string bytes = bytesOf(GetParam());
    document::Drawing d;
    ASSERT_TRUE(document::loadDxfLines(GetParam().string(), d));
    dxf::processdxf(d);
    const std::string saved = document::dxfFileBytes(d);
    // Files written with CR LF come back byte for byte; others get their line ends normalised.
    bool crlf = true;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) crlf = false;
    if (crlf && !bytes.empty() && bytes.back() == '\n') {
        EXPECT_TRUE(saved == bytes);
    }
    document::Drawing again;
    again.dxf.assign(saved);
    ASSERT_EQ(again.dxf.size(), d.dxf.size());
    for (std::size_t i = 0; i < d.dxf.size(); ++i) ASSERT_EQ(again.dxf[i], d.dxf[i]) << i;
}

INSTANTIATE_TEST_SUITE_P(Drawings, Samples, ::testing::ValuesIn(samples()),
                         [](const auto &info) {
                             std::string n = info.param.stem().string();
                             for (char &c : n)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return n;
                         });

TEST(DxfFile, LineEndsAreNormalisedOnSave) {
    struct Case {
        const char *in, *out;
    };
    const Case cases[] = {{"0\nEOF", "0\r\nEOF\r\n"},
                          {"0\r\nEOF\r\n", "0\r\nEOF\r\n"},
                          {"0\rEOF\r", "0\r\nEOF\r\n"},
                          {"a\r\n\r\nb\n", "a\r\n\r\nb\r\n"},
                          {"\xEF\xBB\xBF" "0\r\nEOF\r\n", "\xEF\xBB\xBF" "0\r\nEOF\r\n"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.in);
        document::Drawing d;
        d.dxf.assign(c.in);
        EXPECT_EQ(document::dxfFileBytes(d), c.out);
    }
}

TEST(DxfFile, Utf16FilesComeBackAsUtf16) {
    const fs::path dir = fs::temp_directory_path() / "quentar_utf16_test";
    fs::create_directories(dir);
    std::string le("\xFF\xFE", 2);
    for (char c : std::string("0\r\nSECTION\r\n0\r\nE\xD6" "F\r\n")) le += std::string{c, '\0'};
    std::ofstream(dir / "in.dxf", std::ios::binary) << le;
    document::Drawing d;
    ASSERT_TRUE(document::loadDxfLines((dir / "in.dxf").string(), d));
    ASSERT_EQ(d.dxf.size(), 4u);
    EXPECT_EQ(d.dxf[3], "E\xC3\x96" "F");
    ASSERT_TRUE(document::saveDxfLines((dir / "out.dxf").string(), d));
    EXPECT_EQ(bytesOf(dir / "out.dxf"), le);
    fs::remove_all(dir);
}

TEST(DxfFile, MissingFileLeavesTheDocument) {
    document::Drawing d;
    d.dxf.assign("keep\r\n");
    EXPECT_FALSE(document::loadDxfLines("/nonexistent/quentar/none.dxf", d));
    EXPECT_EQ(d.dxf[0], "keep");
}
