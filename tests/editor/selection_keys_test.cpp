// Entity keys across reads, and the selection an edit keeps.
#include "document/entity_identity.h"
#include "drawings.h"
#include "editor_fixture.h"

using namespace quentar;
using namespace quentar::testing;
using document::EditBatch;
using document::EntityKey;

namespace {

EditBatch change(int32_t at, int removed, int inserted) {
    EditBatch b;
    document::LineEdit &e = b.edits.emplace_back();
    e.at = at;
    e.removed.assign(static_cast<std::size_t>(removed), "x");
    e.inserted.assign(static_cast<std::size_t>(inserted), "y");
    return b;
}

TEST(EntityKeys, LineKeysFollowTheEdits) {
    // An entity on lines 10 ... 19: its "0" group on 10 and 11.
    struct Case {
        const char *name;
        int32_t at;
        int removed, inserted;
        bool kept;
        int32_t from, bis;
    };
    // clang-format off
    const Case cases[] = {
        {"lines inserted before it", 5, 0, 3, true, 13, 22},
        {"lines inserted right before its 0 group", 10, 0, 3, true, 13, 22},
        {"lines inserted after it", 20, 0, 3, true, 10, 19},
        {"lines removed before it", 0, 5, 0, true, 5, 14},
        {"a line of its own replaced", 15, 1, 1, true, 10, 19},
        {"groups added inside it", 15, 0, 2, true, 10, 21},
        {"a group of its own removed", 16, 2, 0, true, 10, 17},
        {"it was deleted", 10, 10, 0, false, 0, 0},
        {"its 0 group was cut", 9, 2, 0, false, 0, 0},
        {"its type was replaced", 11, 1, 1, false, 0, 0},
        {"its end and the next entity's start were cut", 19, 2, 0, false, 0, 0},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const EditBatch b = change(c.at, c.removed, c.inserted);
        const std::optional<EntityKey> k = document::followEdits({0, 10, 19}, b);
        ASSERT_EQ(k.has_value(), c.kept);
        if (!c.kept) continue;
        EXPECT_EQ(*k, (EntityKey{0, c.from, c.bis}));
        // Taking the edit back brings the key home.
        EXPECT_EQ(document::followUndo(*k, b), (EntityKey{0, 10, 19}));
    }
    // A handle names its entity whatever happens to the lines.
    EXPECT_EQ(document::followEdits({0x2A, 0, 0}, change(0, 100, 0)), (EntityKey{0x2A, 0, 0}));
}

TEST(EntityKeys, ByHandleWhereItIsUniqueElseByLines) {
    auto d = read(entitiesSection(
        concat({line(0, 0, 1, 1, "0", {{5, "A1"}}), line(0, 0, 1, 1, "0", {{5, "B2"}}),
                line(0, 0, 1, 1, "0", {{5, "B2"}}), line(0, 0, 1, 1)})));
    const document::EntityKeys keys(d);
    EXPECT_EQ(keys.keyOf(0), (EntityKey{0xA1, 0, 0}));
    for (std::size_t i : {1, 2, 3}) {
        SCOPED_TRACE(i);
        const EntityKey k = keys.keyOf(i);
        EXPECT_EQ(k, (EntityKey{0, d.polys[i].linefrom, d.polys[i].linebis}));
        EXPECT_EQ(keys.find(k), i);
    }
    EXPECT_EQ(keys.find({0xA1, 0, 0}), 0u);
    EXPECT_FALSE(keys.find({0xB2, 0, 0})); // two entities claim it
    EXPECT_FALSE(keys.find({0x77, 0, 0}));
    EXPECT_FALSE(keys.find({0, 3, 9}));
}

class KeptSelection : public EditorTest {};

TEST_F(KeptSelection, AnEditKeepsTheSelectionOfTheEntitiesItKeeps) {
    open(threeTabs());
    // Records 2 (handle 40) and 5 (no handle) on the model tab, 3 (handle 41) on the first
    // layout.
    for (std::size_t i : {2, 3, 5}) editor.select(i);
    document::Drawing &d = viewer.drawing();

    // A new entity before them all: every record moves up one.
    document::EditBatch insert;
    insert.edits.push_back(
        {d.polys[2].linefrom, {}, {"  0", "POINT", "  8", "0", " 10", "1", " 20", "1"}});
    editor.commit(std::move(insert));
    EXPECT_EQ(selected(), (std::vector<std::size_t>{3, 4, 6}));
    editor.undo();
    EXPECT_EQ(selected(), (std::vector<std::size_t>{2, 3, 5}));

    // Deleting takes the model tab's two; the layout's stays selected, and undo does not bring
    // the deleted ones back into the selection.
    viewer.TabControl1Change(0);
    ASSERT_TRUE(editor.deleteSelection());
    ASSERT_EQ(selected().size(), 1u);
    EXPECT_EQ(d.polys[selected()[0]].han, 0x41);
    editor.undo();
    EXPECT_EQ(selected(), (std::vector<std::size_t>{3}));

    // A read the editor did not make leaves nothing selected rather than the wrong entities.
    viewer.documentEdited();
    EXPECT_TRUE(selected().empty());
}

} // namespace

namespace {

TEST(EntityKeys, ManyKeysThroughManyChangesAtOnce) {
    // Entities of 10 lines each; a batch deleting, growing and replacing some of them from the
    // last to the first. Following all keys at once agrees with following them change by change.
    EditBatch batch;
    const struct {
        int32_t at;
        int removed, inserted;
    } changes[] = {{455, 0, 4}, {400, 10, 0}, {305, 2, 1}, {250, 0, 3}, {120, 10, 0}, {3, 2, 0}};
    for (const auto &c : changes)
        batch.edits.push_back(change(c.at, c.removed, c.inserted).edits[0]);
    ASSERT_TRUE(document::simultaneousChanges(batch, false));
    std::vector<EntityKey> keys;
    for (int32_t from = 10; from < 500; from += 10) keys.push_back({0, from, from + 9});
    keys.push_back({0x51, 0, 0});
    for (bool undone : {false, true}) {
        SCOPED_TRACE(undone ? "undone" : "done");
        const auto all = document::followKeys(keys, batch, undone);
        for (std::size_t i = 0; i < keys.size(); ++i) {
            std::optional<EntityKey> one = keys[i];
            if (undone) {
                for (auto it = batch.edits.rbegin(); one && it != batch.edits.rend(); ++it) {
                    EditBatch single;
                    single.edits.push_back(*it);
                    one = document::followUndo(*one, single);
                }
            } else {
                for (auto it = batch.edits.begin(); one && it != batch.edits.end(); ++it) {
                    EditBatch single;
                    single.edits.push_back(*it);
                    one = document::followEdits(*one, single);
                }
            }
            EXPECT_EQ(all[i], one) << "key " << keys[i].linefrom;
        }
    }
}

} // namespace
