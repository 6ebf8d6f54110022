// Deleting and undoing: every step is taken back to the byte; R12 polylines go whole; the undo
// state follows the steps; opening a drawing forgets them.
#include "drawings.h"
#include "editor_fixture.h"

#include <algorithm>
#include <filesystem>

using namespace quentar;
using namespace quentar::testing;

namespace {

using Indices = std::vector<std::size_t>;

class Undo : public EditorTest {
protected:
    // The entities select all takes on the shown tab.
    Indices selectable() {
        editor.AllesAuswhlen1Click();
        Indices all = selected();
        editor.Nichtsauswhlen1Click();
        return all;
    }
    void selectOnly(const Indices &chosen) {
        editor.Nichtsauswhlen1Click();
        for (std::size_t i : chosen) editor.select(i);
    }
};

std::vector<std::string> drawingFiles() {
    std::vector<std::string> files;
    for (const char *dir : {QUENTAR_SAMPLES_DIR, QUENTAR_FIXTURES_DIR "/drawings"})
        for (const auto &f : std::filesystem::directory_iterator(dir))
            if (f.path().extension() == ".dxf") files.push_back(f.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

TEST_F(Undo, EveryDeletionIsTakenBackToTheByte) {
    for (const std::string &file : drawingFiles()) {
        SCOPED_TRACE(file);
        openFile(file);
        const std::string original = lines();
        const int32_t count = viewer.drawing().anzpoly;
        const Indices all = selectable();
        // A part drawn on a sheet only leaves nothing to select in model space.
        if (std::none_of(viewer.drawing().polys.begin(), viewer.drawing().polys.end(),
                         [](const document::tpoly &e) { return !e.ispaperspace && !e.isblock; }))
            continue;
        ASSERT_FALSE(all.empty());
        Indices everyThird;
        for (std::size_t k = 0; k < all.size(); k += 3) everyThird.push_back(all[k]);
        const std::pair<const char *, Indices> selections[] = {
            {"the first", {all.front()}},
            {"the last", {all.back()}},
            {"every third", everyThird},
            {"all", all},
        };
        for (const auto &[name, chosen] : selections) {
            SCOPED_TRACE(name);
            selectOnly(chosen);
            ASSERT_TRUE(editor.Loeschen());
            EXPECT_EQ(viewer.drawing().anzpoly, count - static_cast<int32_t>(chosen.size()));
            EXPECT_TRUE(window.canUndo);
            EXPECT_TRUE(viewer.drawing().changed);
            editor.Rckgngig1Click();
            EXPECT_EQ(lines(), original);
            EXPECT_EQ(viewer.drawing().anzpoly, count);
            EXPECT_FALSE(window.canUndo);
        }
        // Two steps, taken back newest first.
        selectOnly({all.front()});
        ASSERT_TRUE(editor.Loeschen());
        const std::string afterFirst = lines();
        editor.AllesAuswhlen1Click();
        ASSERT_TRUE(editor.Loeschen() || all.size() == 1);
        editor.Rckgngig1Click();
        if (all.size() > 1) {
            EXPECT_EQ(lines(), afterFirst);
        }
        editor.Rckgngig1Click();
        EXPECT_EQ(lines(), original);
    }
}

TEST_F(Undo, AnR12PolylineGoesWithItsVerticesAndSeqend) {
    const Groups header{
        {0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1009"}, {0, "ENDSEC"}};
    const Groups polyline{{0, "POLYLINE"}, {8, "0"},   {66, "1"},     {70, "1"},     {0, "VERTEX"},
                          {8, "0"},        {10, "0"},  {20, "0"},     {0, "VERTEX"}, {8, "0"},
                          {10, "10"},      {20, "0"},  {42, "0.5"},   {0, "VERTEX"}, {8, "0"},
                          {10, "10"},      {20, "10"}, {0, "SEQEND"}, {8, "0"}};
    const Groups before = line(0, 20, 10, 20), after = line(0, 30, 10, 30);
    open(concat({header, entitiesSection(concat({before, polyline, after}))}));
    const std::string original = lines();
    ASSERT_EQ(viewer.drawing().anzpoly, 3);
    editor.select(1);
    ASSERT_TRUE(editor.Loeschen());
    EXPECT_EQ(lines(), dxfText(concat({header, entitiesSection(concat({before, after}))})));
    ASSERT_EQ(viewer.drawing().anzpoly, 2);
    EXPECT_EQ(viewer.drawing().polys[1].kind, document::EntityKind::Line);
    editor.Rckgngig1Click();
    EXPECT_EQ(lines(), original);
}

TEST_F(Undo, TwoEntitiesAreRecordedLastFirst) {
    open(entitiesSection(concat({line(0, 0, 1, 1), line(0, 0, 2, 2), line(0, 0, 3, 3)})));
    const std::string original = lines();
    const document::tpoly a = viewer.drawing().polys[0], b = viewer.drawing().polys[2];
    selectOnly({0, 2});
    ASSERT_TRUE(editor.Loeschen());
    const document::EditBatch &step = editor.undos().last();
    ASSERT_EQ(step.edits.size(), 2u);
    EXPECT_EQ(step.edits[0].at, b.linefrom);
    EXPECT_EQ(step.edits[1].at, a.linefrom);
    EXPECT_EQ(step.edits[1].removed.size(), static_cast<std::size_t>(a.linebis - a.linefrom + 1));
    editor.Rckgngig1Click();
    EXPECT_EQ(lines(), original);
}

TEST_F(Undo, NothingSelectedNothingDeletedNoStep) {
    open(entitiesSection(line(0, 0, 1, 1)));
    const std::string original = lines();
    EXPECT_FALSE(editor.Loeschen());
    EXPECT_FALSE(editor.canUndo());
    EXPECT_FALSE(window.canUndo);
    EXPECT_FALSE(viewer.drawing().changed);
    editor.Rckgngig1Click(); // no step: nothing happens
    EXPECT_EQ(lines(), original);
    EXPECT_FALSE(viewer.drawing().changed);
}

TEST_F(Undo, OnlyTheShownTabIsDeleted) {
    open(threeTabs());
    const std::string original = lines();
    selectOnly({0, 2, 3}); // the second layout's, a model and the first layout's entity
    viewer.TabControl1Change(0);
    ASSERT_TRUE(editor.Loeschen());
    ASSERT_EQ(viewer.drawing().anzpoly, 5);
    // The other tabs' entities are still there, and still selected.
    const Indices kept = selected();
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(viewer.drawing().polys[kept[0]].han, 0x31);
    EXPECT_EQ(viewer.drawing().polys[kept[1]].han, 0x41);
    editor.Rckgngig1Click();
    EXPECT_EQ(lines(), original);
}

TEST_F(Undo, EditsOfOtherOperationsAreStepsToo) {
    // What the creating and changing operations hand over: a batch already applied to the
    // lines. Undo takes it back to the byte, the $HANDSEED replacement included.
    const Groups header{{0, "SECTION"}, {2, "HEADER"}, {9, "$HANDSEED"}, {5, "2A"}, {0, "ENDSEC"}};
    open(concat({header, entitiesSection(line(0, 0, 1, 1))}));
    const std::string original = lines();
    document::Drawing &d = viewer.drawing();
    document::EditBatch step;
    document::insertLines(
        d.dxf, step, d.insertlinepos,
        {"  0", "LINE", "  8", "0", "  5", "2A", " 10", "5", " 20", "5", " 11", "6", " 21", "6"});
    document::replaceLine(d.dxf, step, d.handleseedpos, "2B");
    editor.commit(std::move(step));
    EXPECT_EQ(viewer.drawing().anzpoly, 2);
    EXPECT_TRUE(window.canUndo);
    EXPECT_TRUE(viewer.drawing().changed);
    editor.UndoBtnClick();
    EXPECT_EQ(lines(), original);
    EXPECT_EQ(viewer.drawing().anzpoly, 1);
}

TEST_F(Undo, OpeningADrawingForgetsTheSteps) {
    open(entitiesSection(concat({line(0, 0, 1, 1), line(0, 0, 2, 2)})));
    editor.select(0);
    ASSERT_TRUE(editor.Loeschen());
    editor.select(0);
    ASSERT_TRUE(window.canUndo);
    open(entitiesSection(line(0, 0, 1, 1)));
    EXPECT_FALSE(window.canUndo);
    EXPECT_FALSE(editor.canUndo());
    EXPECT_TRUE(selected().empty());
}

} // namespace
