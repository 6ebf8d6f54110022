// Remembering and restoring the view of each tab.
#include "editor/tab_views.h"

#include "render/view_ops.h"

namespace quentar::editor {

TabViews::Remembered *TabViews::slot(const document::Drawing &d, int tab) {
    if (tab >= 0 && tab < static_cast<int>(d.layouts.size())) {
        const std::string &name = d.layouts[static_cast<std::size_t>(tab)].name;
        for (auto &[n, r] : layouts_)
            if (n == name) return &r;
        return &layouts_.emplace_back(name, Remembered{}).second;
    }
    return tab == 0 ? &tab0_ : &otherTabs_;
}

const TabViews::Remembered *TabViews::find(const document::Drawing &d, int tab) const {
    if (tab >= 0 && tab < static_cast<int>(d.layouts.size())) {
        const std::string &name = d.layouts[static_cast<std::size_t>(tab)].name;
        for (const auto &[n, r] : layouts_)
            if (n == name) return &r;
        return nullptr;
    }
    return tab == 0 ? &tab0_ : &otherTabs_;
}

void TabViews::store(const document::Drawing &d, int tab, const render::ViewState &v) {
    *slot(d, tab) = {true, v.zoomedvalue, v.horzPosition, v.vertPosition};
}

bool TabViews::restore(const document::Drawing &d, int tab, render::ViewState &v) const {
    const Remembered *r = find(d, tab);
    if (!r || !r->zoomsetted) return false;
    v.zoomedvalue = r->zoomvalue;
    v.horzPosition = r->scrollxvalue;
    v.vertPosition = r->scrollyvalue;
    render::clampZoom(v);
    render::clampScroll(v);
    return true;
}

} // namespace quentar::editor
