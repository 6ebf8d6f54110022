// Drawings that used to be priced wrong without a word, through the commands: a file cut off, a
// near-zero bulge, absurd scales and boundaries, nothing left to measure, a measurement stopped
// part way. Each is priced right with a warning that says what happened, or refused in one line.
#include "command_scratch.h"
#include "document/text_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using quentar::testing::CommandScratch;
namespace fs = std::filesystem;

const fs::path kHostile = fs::path(QUENTAR_FIXTURES_DIR) / "hostile";

// The number after "key": in a JSON text; NaN when it is not there.
double jsonNumber(const std::string &json, const std::string &key) {
    const std::string k = "\"" + key + "\":";
    const std::size_t at = json.find(k);
    if (at == std::string::npos) return std::nan("");
    return std::strtod(json.c_str() + at + k.size() + (json[at + k.size()] == '"'), nullptr);
}

struct Case {
    const char *file; // below tests/fixtures
    // measure: the exit status and, for a refusal, its whole stderr (the file's name as {f})
    int status;
    std::string refusal;
    // What is measured and priced otherwise (mm) and the warnings that come with it.
    double konturlang, width, length;
    std::vector<std::string> warnings;
};

} // namespace

TEST(HostileDrawings, ArePricedRightWithAWarningOrRefusedInOneLine) {
    const std::string cutOff = "the file is cut off (it ends inside a section or without EOF): "
                               "only what comes before the cut is measured";
    const Case cases[] = {
        // The untouched plate: 600 mm of outline and five holes of radius 5.
        {"hostile/plate_with_holes.dxf", 0, "", 757.05, 200, 100, {}},
        // Cut off: what is there is measured, and every output says the file is cut off.
        {"hostile/cut_off_between_entities.dxf", 0, "", 125.64, 130, 10, {"truncated"}},
        {"hostile/cut_off_mid_number.dxf", 0, "", 686.37, 200, 100, {"truncated"}},
        {"hostile/cut_off_in_header.dxf", 2,
         "cannot price {f}: the file is cut off before its first entity"},
        // A bulge of 1e-17 is a rounded 0: the square stays 100 x 100 with 400 mm of cut (it was
        // 203 mm wide with 606 mm); at 1e-300 its length was NaN.
        {"hostile/square_with_bulges_1e-17.dxf", 0, "", 400, 100, 100, {}},
        {"fuzz-regressions/nan-bulge-1e-300.dxf", 0, "", 400, 100, 100, {}},
        // A block at a scale beyond sense, directly or as the product of nested scales, and a
        // hatch boundary at 1e200 are left out: the 100 mm part is priced, not a 138-digit one.
        {"hostile/insert_at_scale_1e70.dxf", 0, "", 400, 100, 100, {"bad-placement"}},
        {"hostile/inserts_nested_to_1e14.dxf", 0, "", 400, 100, 100, {"bad-placement"}},
        {"hostile/hatch_at_1e200.dxf", 0, "", 400, 100, 100, {"beyond-sense"}},
        // Nothing left to measure: refused, never priced as a part of 0 x 0 mm.
        {"hostile/coordinates_nan_and_1e15.dxf", 2,
         "cannot price {f}: nothing is left to measure: coordinates that are no numbers (NaN, "
         "infinity, text) were left out"},
        {"hostile/spline_of_degree_30.dxf", 2,
         "cannot price {f}: nothing is left to measure: a spline of a degree or size that is "
         "not evaluated is left out"},
        {"hostile/hatch_without_boundary.dxf", 2, "cannot price {f}: nothing is left to measure"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        CommandScratch s;
        fs::copy_file(fs::path(QUENTAR_FIXTURES_DIR) / c.file, s.work() / "d.dxf");
        const CommandScratch::Run m = s.run("measure d.dxf");
        EXPECT_EQ(m.status, c.status);
        if (c.status != 0) {
            std::string refusal = "quentar: " + c.refusal + "\n";
            refusal.replace(refusal.find("{f}"), 3, "d.dxf");
            EXPECT_EQ(m.err, refusal);
            EXPECT_EQ(m.out, "");
            // quote refuses alike and writes nothing.
            const CommandScratch::Run q = s.run("quote d.dxf --json --csv o.csv");
            EXPECT_EQ(q.status, 2);
            EXPECT_EQ(q.err, refusal);
            EXPECT_FALSE(fs::exists(s.work() / "o.csv"));
            continue;
        }
        EXPECT_TRUE(quentar::testing::isJsonLines(m.out)) << m.out;
        EXPECT_NEAR(jsonNumber(m.out, "konturlang"), c.konturlang, 0.01) << m.out;
        EXPECT_NEAR(jsonNumber(m.out, "width"), c.width, 0.005);
        EXPECT_NEAR(jsonNumber(m.out, "length"), c.length, 0.005);
        if (c.warnings.empty()) EXPECT_EQ(m.err, "");

        // The quotation: valid JSON, a CSV of text, both carrying the warnings; a price that is
        // a price (a few digits, not 138).
        const CommandScratch::Run q = s.run("quote d.dxf --json --csv o.csv");
        ASSERT_EQ(q.status, 0) << q.err;
        EXPECT_TRUE(quentar::testing::isJsonLines(q.out)) << q.out;
        const std::string csv = quentar::testing::bytesOf(s.work() / "o.csv");
        EXPECT_TRUE(quentar::document::isValidUtf8(csv));
        EXPECT_EQ(csv.find('\0'), std::string::npos);
        for (const std::string &code : c.warnings) {
            EXPECT_NE(q.out.find("\"code\":\"" + code + "\""), std::string::npos) << code;
            EXPECT_NE(q.err.find("quentar: warning: d.dxf: "), std::string::npos) << q.err;
        }
        const bool truncated =
            std::find(c.warnings.begin(), c.warnings.end(), "truncated") != c.warnings.end();
        if (truncated) {
            EXPECT_NE(m.err.find(cutOff), std::string::npos) << m.err;
            EXPECT_NE(csv.find(cutOff), std::string::npos) << csv;
        }
        const CommandScratch::Run info = s.run("info d.dxf");
        EXPECT_NE(info.out.find(truncated ? "\"truncated\":true" : "\"truncated\":false"),
                  std::string::npos);
        EXPECT_LT(jsonNumber(q.out, "GesamtPreisEd"), 1e6) << q.out;
    }
}

// An array too large to collect: its copies are counted by length and size, no contours are made
// of them, so parts, holes and pierces are missing. quote refuses such figures unless told to take
// them as they are; measure shows them with the warning.
TEST(HostileDrawings, AMeasurementStoppedPartWayIsPricedOnlyWhenAccepted) {
    CommandScratch s;
    fs::copy_file(kHostile / "array_of_four_million.dxf", s.work() / "a.dxf");
    const std::string stopped =
        "the blocks are inserted so often that their copies were measured by length and size "
        "alone: parts, holes, areas, pierces and open ends were not worked out (length and size "
        "are); the material is charged for the whole blank";
    const CommandScratch::Run m = s.run("measure a.dxf");
    EXPECT_EQ(m.status, 0);
    EXPECT_EQ(m.err, "quentar: warning: " + stopped + "\n");

    const CommandScratch::Run refused = s.run("quote a.dxf --json");
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "quentar: cannot price a.dxf: " + stopped +
                               " (--accept-partial prices what was measured)\n");
    EXPECT_EQ(refused.out, "");

    const CommandScratch::Run accepted = s.run("quote a.dxf --json --accept-partial");
    EXPECT_EQ(accepted.status, 0) << accepted.err;
    EXPECT_NE(accepted.out.find("\"code\":\"contours-not-computed\""), std::string::npos)
        << accepted.out;
    // Length and size are exact: 400 mm of part and four million holes of radius 0.25 (as chords).
    EXPECT_NEAR(jsonNumber(m.out, "konturlang"), 400 + 4e6 * 2 * M_PI * 0.25, 2e3);
    EXPECT_NEAR(jsonNumber(m.out, "width"), 3998.75, 0.005);
}
