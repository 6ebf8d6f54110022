// Which entities belong to the tab that is shown: the one rule for picking, box selection,
// select all, snapping and deleting.
#pragma once

#include "document/drawing.h"
#include "render/render_pass.h"

#include <cstdint>
#include <string>

namespace quentar::editor {

struct LayoutFilter {
    int32_t handle = render::kNoLayout; // the tab's layout handle, kNoLayout without a layout
    bool model = true;                  // the tab shows model space
    std::string block;                  // the layout's own block definition ("" for none)

    // The filter of tab `tab` of `d` (a tab without a layout record is model space unless it is
    // tab 1).
    static LayoutFilter forTab(const document::Drawing &d, int tab);

    // The entity is shown on the tab: in its space and, when the tab has a block of its own, in
    // that block's definition (else in no block definition).
    bool belongs(const document::tpoly &e) const {
        if (handle == render::kNoLayout) {
            if (e.ispaperspace == model) return false;
        } else if (e.layhan != handle && !(model && e.layhan == 0)) {
            return false;
        }
        return inBlock(e);
    }
    // Only the block part of the rule.
    bool inBlock(const document::tpoly &e) const {
        return e.isblock ? e.detail().theblockname == block : block.empty();
    }
};

} // namespace quentar::editor
