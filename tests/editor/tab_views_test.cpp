// The view each tab was left at, kept by the window across reads of the drawing.
#include "../dxf/dxf_builder.h"
#include "dxf/reader.h"
#include "editor/tab_views.h"

#include <gtest/gtest.h>

using namespace quentar;
using namespace quentar::render;
using namespace quentar::testing;

TEST(TabViews, EachTabRemembersItsViewAcrossReads) {
    // Layout records keep their tab's view; without them tab 0 has its own and the rest share.
    auto withLayouts = read(concat({{{0, "SECTION"},
                                     {2, "OBJECTS"},
                                     {0, "LAYOUT"},
                                     {1, "Model"},
                                     {71, "0"},
                                     {330, "1F"},
                                     {0, "LAYOUT"},
                                     {1, "Layout1"},
                                     {71, "1"},
                                     {330, "1B"},
                                     {0, "LAYOUT"},
                                     {1, "Layout2"},
                                     {71, "2"},
                                     {330, "23"},
                                     {0, "ENDSEC"},
                                     {0, "EOF"}}}));
    auto r12 = read(entitiesSection({}));
    ASSERT_EQ(withLayouts.tabCaptions.size(), 3u);
    for (auto *d : {&withLayouts, &r12}) {
        SCOPED_TRACE(d->layouts.empty() ? "without layouts" : "with layouts");
        editor::TabViews memory;
        ViewState v;
        for (int tab = 0; tab < 3; ++tab) EXPECT_FALSE(memory.restore(*d, tab, v));
        for (int tab = 0; tab < 3; ++tab) {
            ViewState s;
            s.zoomedvalue = 10.0 * (tab + 1);
            s.horzPosition = 100 * tab;
            s.vertPosition = -100 * tab;
            memory.store(*d, tab, s);
        }
        const bool shared = d->layouts.empty();
        // The layout records are rebuilt by a read; the views stay with the window.
        dxf::processdxf(*d);
        for (int tab = 0; tab < 3; ++tab) {
            SCOPED_TRACE(tab);
            ASSERT_TRUE(memory.restore(*d, tab, v));
            const int stored = shared && tab > 0 ? 2 : tab; // the last store of the shared view
            EXPECT_EQ(v.zoomedvalue, 10.0 * (stored + 1));
            EXPECT_EQ(v.horzPosition, 100 * stored);
            EXPECT_EQ(v.vertPosition, -100 * stored);
        }
    }
}
