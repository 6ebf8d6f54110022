// Copies and arrays: every kind copied with handles of its own into the part of the drawing its
// original lies in, drawn where the shifted original is, read so by ezdxf; each copy one step.
#include "transform_support.h"

#include "../dxf/dxf_builder.h"
#include "editor/layout_filter.h"
#include "editor/transformations_entities.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

using namespace quentar;
using namespace quentar::testing;
using editor::CopyOutcome;
using editor::PlaneMap;
namespace fs = std::filesystem;

namespace {

// Every handle of the lines (group 5 values but the seed's), as numbers.
std::vector<uint64_t> handlesIn(const document::Drawing &d) {
    std::vector<uint64_t> out;
    for (std::size_t i = 0; i + 1 < d.dxf.size(); i += 2) {
        if (document::trimLine(d.dxf[i]) != "5" || static_cast<int32_t>(i + 1) == d.handleseedpos)
            continue;
        const std::string_view v = document::trimLine(d.dxf[i + 1]);
        uint64_t h = 0;
        std::from_chars(v.data(), v.data() + v.size(), h, 16);
        out.push_back(h);
    }
    return out;
}

std::string seedOf(const document::Drawing &d) {
    return d.handleseedpos >= 0 ? std::string(document::trimLine(d.dxf[d.handleseedpos])) : "";
}

editor::EntitySet tabEntities(const document::Drawing &d, int tab) {
    const auto filter = editor::LayoutFilter::forTab(d, tab);
    editor::EntitySet set;
    for (std::size_t i = 0; i < static_cast<std::size_t>(d.anzpoly); ++i)
        if (filter.belongs(d.polys[i])) set.push_back(i);
    return set;
}

std::string ownHandle(const document::Drawing &d, std::size_t i) {
    const auto &e = d.polys[i];
    for (const editor::Group &g : editor::groupsOf(d.dxf, e.linefrom, e.linebis))
        if (g.code == 5) return std::string(g.value);
    return {};
}

// Every picture of `after` is one of `before` or one of `before` shifted by an offset, each used
// once.
::testing::AssertionResult copiesDrawn(const std::map<std::size_t, Picture> &before,
                                       const std::map<std::size_t, Picture> &after,
                                       const std::vector<std::pair<double, double>> &offsets) {
    std::vector<std::pair<const Picture *, PlaneMap>> wanted;
    for (const auto &[i, p] : before) {
        wanted.emplace_back(&p, PlaneMap{});
        for (const auto &[dx, dy] : offsets) wanted.emplace_back(&p, PlaneMap::moving(dx, dy));
    }
    if (wanted.size() != after.size())
        return ::testing::AssertionFailure()
               << after.size() << " entities drawn, expected " << wanted.size();
    for (const auto &[i, p] : after) {
        // A shift samples curves alike: the first point drawn tells the candidates apart.
        const auto firstPoint = [](const Picture &q) {
            return q.lines.empty() ? (q.texts.empty() ? Pt{} : q.texts[0][0]) : q.lines[0][0];
        };
        const Pt at = firstPoint(p);
        auto it = std::find_if(wanted.begin(), wanted.end(), [&](const auto &w) {
            const Pt from = mapped(w.second, firstPoint(*w.first));
            if (std::hypot(from.x - at.x, from.y - at.y) > 1e-3 * std::max(1.0, extent(p)))
                return false;
            return static_cast<bool>(sameDrawing(*w.first, p, w.second));
        });
        if (it == wanted.end())
            return ::testing::AssertionFailure() << "entity " << i << " is no copy";
        wanted.erase(it);
    }
    return ::testing::AssertionSuccess();
}

std::string json(const std::string &s) { return "\"" + s + "\""; }

int runChecker(const std::string &expectations, std::string &out) {
    const std::string cmd = "/usr/bin/python3 '" + std::string(QUENTAR_FIXTURES_DIR) +
                            "/../editor/check_transformed_drawings.py' '" + expectations + "' 2>&1";
    FILE *p = popen(cmd.c_str(), "r");
    if (!p) return -1;
    char buf[4096];
    for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    const int status = pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

// CopyObjects of a whole tab, and MakeArray of 3 columns and 2 rows (five copies, five steps).
TEST(Copies, EveryKindCopiedAndArrayed) {
    const fs::path dir =
        fs::temp_directory_path() / ("quentar-copies-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::vector<std::string> cases;
    editor::ArrayParameters array;
    array.columns = 3;
    array.rows = 2;
    array.columnSpacing = 150;
    array.rowSpacing = 70;
    array.angle = 10;
    const struct {
        const char *file;
        std::vector<int> tabs;
    } fixtures[] = {{"every_kind_ac1015.dxf", {0, 1, 2}}, {"every_kind_r12.dxf", {0}}};
    for (const auto &fx : fixtures)
        for (bool arrayed : {false, true})
            for (int tab : fx.tabs) {
                SCOPED_TRACE(std::string(fx.file) + (arrayed ? " array" : " copy") + ", tab " +
                             std::to_string(tab));
                document::Drawing d = fixtureDrawing(fx.file);
                const std::string original = allLines(d);
                const auto before = pictures(d, tab);
                const editor::EntitySet set = tabEntities(d, tab);
                const auto oldHandles = handlesIn(d);
                const uint64_t largest = *std::max_element(oldHandles.begin(), oldHandles.end());
                const auto offsets = arrayed ? editor::arrayOffsets(array)
                                             : std::vector<std::pair<double, double>>{{120, -80}};
                const editor::CopyPlan plan =
                    arrayed ? editor::MakeArray(d, set, array)
                            : editor::CopyObjects(d, set, offsets[0].first, offsets[0].second);
                ASSERT_EQ(plan.outcome, CopyOutcome::Copied);
                ASSERT_EQ(plan.steps.size(), offsets.size());

                commit(d, plan.steps);
                // The originals keep their handles; every copy has one of its own, above all.
                const auto newHandles = handlesIn(d);
                const std::set<uint64_t> unique(newHandles.begin(), newHandles.end());
                EXPECT_EQ(unique.size(), newHandles.size()) << "handles are unique";
                for (uint64_t h : oldHandles) EXPECT_TRUE(unique.count(h));
                for (uint64_t h : newHandles) {
                    if (std::find(oldHandles.begin(), oldHandles.end(), h) == oldHandles.end()) {
                        EXPECT_GT(h, largest);
                    }
                }
                if (d.handleseedpos >= 0) {
                    uint64_t seed = 0;
                    const std::string s = seedOf(d);
                    std::from_chars(s.data(), s.data() + s.size(), seed, 16);
                    EXPECT_GT(seed, *std::max_element(newHandles.begin(), newHandles.end()));
                }
                EXPECT_TRUE(copiesDrawn(before, pictures(d, tab), offsets));

                const fs::path result = dir / (std::string(arrayed ? "array" : "copy") + "_tab" +
                                               std::to_string(tab) + "_" + fx.file);
                ASSERT_TRUE(document::saveDxfLines(result.string(), d));
                // Taken back step by step, the last first: the drawing as it was.
                for (auto it = plan.steps.rbegin(); it != plan.steps.rend(); ++it)
                    document::undoBatch(d.dxf, *it);
                EXPECT_EQ(allLines(d), original);

                document::Drawing o = fixtureDrawing(fx.file);
                std::string originals, shifts;
                for (std::size_t i : set)
                    if (!editor::isAttribute(o, i))
                        originals += (originals.empty() ? "" : ",") + json(ownHandle(o, i));
                for (const auto &[dx, dy] : offsets)
                    shifts += (shifts.empty() ? "[" : ",[") + std::to_string(dx) + "," +
                              std::to_string(dy) + "]";
                cases.push_back("{\"original\":" +
                                json(std::string(QUENTAR_FIXTURES_DIR "/drawings/") + fx.file) +
                                ",\"result\":" + json(result.string()) +
                                ",\"map\":[1,0,0,1,0,0],\"originals\":[" + originals +
                                "],\"copies\":[" + shifts + "]}");
            }
    std::string all;
    for (const auto &c : cases) all += (all.empty() ? "[" : ",") + c;
    const std::string expectations = (dir / "expected.json").string();
    std::ofstream(expectations) << all << "]\n";
    std::string out;
    EXPECT_EQ(runChecker(expectations, out), 0) << out;
    if (!::testing::Test::HasFailure()) fs::remove_all(dir);
}

// Handles are 64-bit: a drawing at 7FFFFFF0 still copies; only the end of the range refuses.
TEST(Copies, HandlesBeyondThirtyTwoBits) {
    const struct {
        const char *handle;
        CopyOutcome outcome;
        const char *copyHandle, *seed;
    } cases[] = {
        {"7FFFFFF0", CopyOutcome::Copied, "7FFFFFF1", "7FFFFFF2"},
        {"FFFFFFFF", CopyOutcome::Copied, "100000000", "100000001"},
        {"FFFFFFFFFFFFFFF0", CopyOutcome::Copied, "FFFFFFFFFFFFFFF1", "FFFFFFFFFFFFFFF2"},
        {"FFFFFFFFFFFFFFFE", CopyOutcome::NoHandlesLeft, "", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.handle);
        document::Drawing d = read(
            concat({{{0, "SECTION"}, {2, "HEADER"}, {9, "$HANDSEED"}, {5, "20"}, {0, "ENDSEC"}},
                    entitiesSection({{0, "LINE"},
                                     {5, c.handle},
                                     {8, "0"},
                                     {10, "0"},
                                     {20, "0"},
                                     {11, "1"},
                                     {21, "1"}})}));
        const std::string original = allLines(d);
        const editor::CopyPlan plan = editor::CopyObjects(d, {0}, 1, 0);
        EXPECT_EQ(plan.outcome, c.outcome);
        if (c.outcome != CopyOutcome::Copied) {
            EXPECT_TRUE(plan.steps.empty());
            continue;
        }
        commit(d, plan.steps);
        ASSERT_EQ(d.anzpoly, 2);
        EXPECT_EQ(ownHandle(d, 1), c.copyHandle);
        EXPECT_EQ(ownHandle(d, 0), c.handle);
        EXPECT_EQ(seedOf(d), c.seed);
        document::undoBatch(d.dxf, plan.steps[0]);
        EXPECT_EQ(allLines(d), original);
    }
}

// What goes with an entity and what is not copied alone.
TEST(Copies, WhatGoesAlong) {
    document::Drawing d = fixtureDrawing("every_kind_ac1015.dxf");
    std::size_t attrib = 0, insert = 0, viewport = 0, paperViewport = SIZE_MAX;
    for (std::size_t i = 0; i < static_cast<std::size_t>(d.anzpoly); ++i) {
        const auto &e = d.polys[i];
        if (editor::isAttribute(d, i)) attrib = i;
        if (e.isviewport && e.detail().viewid == 1)
            paperViewport = i;
        else if (e.isviewport)
            viewport = i;
    }
    insert = attrib - 1;
    ASSERT_EQ(d.polys[insert].kind, document::EntityKind::Insert);
    EXPECT_EQ(editor::CopyObjects(d, {attrib}, 1, 1).outcome, CopyOutcome::NothingToCopy)
        << "an attribute belongs to its insert";
    if (paperViewport != SIZE_MAX) {
        EXPECT_EQ(editor::CopyObjects(d, {paperViewport}, 1, 1).outcome,
                  CopyOutcome::NothingToCopy);
    }

    // The insert comes with its attribute and SEQEND.
    const int32_t count = d.anzpoly;
    const int32_t maxId = d.maxviewportid;
    commit(d, editor::CopyObjects(d, {insert, viewport}, 1, 1).steps);
    ASSERT_EQ(d.anzpoly, count + 3);
    const std::size_t copy = static_cast<std::size_t>(count) - 0;
    std::size_t insertCopy = SIZE_MAX;
    for (std::size_t i = copy - 3; i < static_cast<std::size_t>(d.anzpoly); ++i)
        if (d.polys[i].kind == document::EntityKind::Insert &&
            d.polys[i].linefrom > d.polys[insert].linebis + 40)
            insertCopy = i;
    ASSERT_NE(insertCopy, SIZE_MAX);
    ASSERT_TRUE(editor::isAttribute(d, insertCopy + 1));
    EXPECT_EQ(document::trimLine(d.dxf[d.polys[insertCopy + 1].linebis + 2]), "SEQEND");
    EXPECT_EQ(d.maxviewportid, maxId + 1) << "the copied viewport has a number of its own";
}

// Arrays beyond what the program holds are refused before anything is planned.
TEST(Copies, ArrayTooLarge) {
    const document::Drawing d = fixtureDrawing("every_kind_r12.dxf");
    editor::ArrayParameters p;
    p.columns = 10000;
    p.rows = 10000;
    EXPECT_EQ(editor::MakeArray(d, {0}, p).outcome, CopyOutcome::TooLarge);
    p.columns = 1;
    p.rows = 1;
    EXPECT_EQ(editor::MakeArray(d, {0}, p).outcome, CopyOutcome::NothingToCopy);
    p.columns = 3.9; // truncated: 3 columns, 2 rows
    p.rows = 2;
    EXPECT_EQ(editor::MakeArray(d, {0}, p).steps.size(), 5u);
}

// The records of a copy that named the original as their owner name the copy; reactors and
// extension dictionaries stay with the original.
TEST(Copies, OwnersWithinTheCopy) {
    document::Drawing d = read(
        entitiesSection({{0, "POLYLINE"}, {5, "A0"},     {330, "1F"},   {102, "{ACAD_REACTORS"},
                         {330, "B7"},     {102, "}"},    {8, "0"},      {66, "1"},
                         {10, "0"},       {20, "0"},     {30, "0"},     {0, "VERTEX"},
                         {5, "A1"},       {330, "A0"},   {8, "0"},      {10, "1"},
                         {20, "1"},       {30, "0"},     {0, "VERTEX"}, {5, "A2"},
                         {330, "A0"},     {8, "0"},      {10, "2"},     {20, "1"},
                         {30, "0"},       {0, "SEQEND"}, {5, "A3"},     {330, "A0"},
                         {8, "0"}}));
    commit(d, editor::CopyObjects(d, {0}, 0, 5).steps);
    ASSERT_EQ(d.anzpoly, 2);
    std::string copy;
    for (const editor::Group &g : editor::groupsOf(d.dxf, d.polys[1].linefrom, d.polys[1].linebis))
        copy += std::to_string(g.code) + "=" + std::string(g.value) + " ";
    EXPECT_EQ(copy, "0=POLYLINE 5=A4 330=1F 8=0 66=1 10=0 20=0 30=0 "
                    "0=VERTEX 5=A5 330=A4 8=0 10=1 20=6 30=0 "
                    "0=VERTEX 5=A6 330=A4 8=0 10=2 20=6 30=0 "
                    "0=SEQEND 5=A7 330=A4 8=0 ");
}
