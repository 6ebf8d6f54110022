// The layout filter of a tab.
#include "editor/layout_filter.h"

#include "render/view.h"

namespace quentar::editor {

LayoutFilter LayoutFilter::forTab(const document::Drawing &d, int tab) {
    // The fit of a tab uses the same rule: its block is the first whose owner is the layout's and
    // that is not "*Paper_Space" (whose entities live in the ENTITIES section).
    const render::TabView tv = render::tabForFit(d, tab);
    return {tv.handle, tv.model, tv.block};
}

} // namespace quentar::editor
