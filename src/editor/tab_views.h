// The view each tab of the drawing window was left at, kept by the window (not in the drawing's
// layout records, which every read rebuilds).
#pragma once

#include "document/drawing.h"
#include "render/view.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quentar::editor {

// A tab with a layout record keeps its own view, found again by the layout's name across reads;
// without layout records tab 0 keeps its own and every other tab shares one.
class TabViews {
public:
    // StoreZoom: remembers `v` for tab `tab` of `d`.
    void store(const document::Drawing &d, int tab, const render::ViewState &v);
    // Puts the remembered view of `tab` into `v`; false (and `v` unchanged) when there is none,
    // so the tab is to be fitted.
    bool restore(const document::Drawing &d, int tab, render::ViewState &v) const;
    // Another document: nothing is remembered.
    void clear() { *this = TabViews(); }

private:
    struct Remembered {
        bool zoomsetted = false;
        double zoomvalue = 0;
        int64_t scrollxvalue = 0, scrollyvalue = 0;
    };
    Remembered *slot(const document::Drawing &d, int tab);
    const Remembered *find(const document::Drawing &d, int tab) const;

    std::vector<std::pair<std::string, Remembered>> layouts_; // by layout name
    Remembered tab0_, otherTabs_;
};

} // namespace quentar::editor
