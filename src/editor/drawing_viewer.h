// The drawing window's state without its widgets: document, reader, view, tabs, print settings.
#pragma once

#include "document/drawing_session.h"
#include "dxf/reader.h"
#include "editor/tab_views.h"
#include "render/canvas.h"
#include "render/page_setup.h"
#include "render/render_pass.h"
#include "render/view.h"
#include "render/view_ops.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quentar::editor {

// What the viewer needs from its window besides the session's dialogs.
class ViewerHost : public document::SessionUi {
public:
    // Paint the paint box again (PaintBox1Paint), once the current event is done.
    virtual void repaintDrawing() = 0;
    // The tab bar: new captions, this one selected.
    virtual void showTabs(const std::vector<std::string> &captions, int selected) = 0;
    // The scroll bars follow the view's positions.
    virtual void showScrollPositions(int64_t horizontal, int64_t vertical) = 0;
    // Only what is drawn over the drawing changed (a rubber band): the window may keep the
    // picture of the drawing it painted last.
    virtual void repaintOverlay() { repaintDrawing(); }
};

// The one core object of the drawing window. Qt-free: the window forwards each control's event
// to one call here, and the editor works on the drawing, reader and view it holds.
class DrawingViewer {
public:
    explicit DrawingViewer(ViewerHost &host,
                           document::MessageSource messages = document::germanMessages());
    DrawingViewer(const DrawingViewer &) = delete;
    DrawingViewer &operator=(const DrawingViewer &) = delete;

    document::DrawingSession &session() { return session_; }
    document::Drawing &drawing() { return session_.drawing(); }
    const document::Drawing &drawing() const { return session_.drawing(); }
    dxf::Reader &reader() { return reader_; }
    const render::ViewState &view() const { return view_; }
    // The selected tab (TabControl1's index).
    int tab() const { return tab_; }

    // The paint box's size in pixels; until it is laid out, the default size.
    void setPaintBoxSize(int width, int height);
    int paintBoxWidth() const { return width_; }
    int paintBoxHeight() const { return height_; }

    // TabControl1Change: restores the tab's remembered view or fits it, then repaints.
    void TabControl1Change(int tab);
    // Told on every tab change before the repaint.
    void addTabChangeListener(std::function<void(int tab)> listener) {
        tabChangeListeners_.push_back(std::move(listener));
    }
    // After an edit of the lines: reads them again, keeps the tab and its remembered views.
    void documentEdited();
    // Counts the reads of the lines: whatever was derived from one read (indices into the
    // records, line numbers) is valid while this stays the same.
    uint64_t readCount() const { return readCount_; }
    // Told after every open, failed open and new drawing, before the first tab is shown: the
    // editor drops its undo steps and selection here, the tools what they collected.
    void addDocumentReplacedListener(std::function<void()> listener) {
        replacedListeners_.push_back(std::move(listener));
    }
    // Paints the paint box again once the current event is done.
    void repaint() { host_.repaintDrawing(); }
    // Paints only what lies over the drawing again.
    void repaintOverlay() { host_.repaintOverlay(); }
    // Drawn under and over the drawing as part of every paint (the measurement's marks).
    void setDecorations(std::function<void(render::Canvas &)> under,
                        std::function<void(render::Canvas &)> over) {
        under_ = std::move(under);
        over_ = std::move(over);
    }
    // Told after every read of the document (open, new drawing, edit, undo) and every change of
    // the tab shown.
    void addChangeListener(std::function<void()> listener) {
        changeListeners_.push_back(std::move(listener));
    }
    // Drawn over the drawing after every paint (the editor's rubber bands and markers).
    void setOverlay(std::function<void(render::Canvas &)> overlay) {
        overlay_ = std::move(overlay);
    }
    // Which entities the paint marks as selected (the editor's selection).
    void setSelectedLookup(render::SelectedLookup selected) { selected_ = std::move(selected); }
    // The selected tab shows model space (white), not a paper layout (a black sheet).
    bool showsModel() const;
    // The view as drawing, picking and snapping share it.
    render::ViewTransform transform() const { return render::transformOf(view_, height_); }

    // ZoomFullIn: the selected tab fitted into the paint box.
    void ZoomFullIn();
    // "Zeige alles" / "Alles zeigen": fit and repaint.
    void ZoomAllClick();
    void ZoomInBtnClick();
    void ZoomOutBtnClick();
    void wheelStep(int x, int y, bool up, bool shift, bool ctrl);
    // Any other change of the view (drags): it is remembered for the tab and painted.
    void setView(const render::ViewState &v);
    // HorzScrollbarChange / VertScrollbarChange.
    void HorzScrollbarChange(int64_t position);
    void VertScrollbarChange(int64_t position);

    // "Druckvorschau" and "Linienbreite zeigen"; each repaints.
    bool druckvorschau() const { return druckvorschau_; }
    void setDruckvorschau(bool on);
    bool showweight() const { return showweight_; }
    void setShowweight(bool on);

    // The values of "Drucken/Seite einrichten" and the printer's page; the sheet on screen and
    // the fit of paper layouts follow them (repaints).
    const render::PrintSettings &printSettings() const { return print_; }
    void setPrintSettings(const render::PrintSettings &s);
    const render::PrinterPage &printerPage() const { return printer_; }
    void setPrinterPage(const render::PrinterPage &page);
    // The print settings that put the selected tab where the chosen placement says (fitted or
    // centred on the page): the sheet on screen and the printed page follow them.
    render::PrintSettings placedPrintSettings();

    // PaintBox1Paint: background, paper sheet and margin frame, axis icon and the render passes
    // of the selected tab, on a surface of the paint box's size. Resets the figures first.
    void PaintBox1Paint(render::Canvas &canvas, int dpi);
    // What lies over the drawing: drawn after every paint, and alone by repaintOverlay.
    void paintOverlay(render::Canvas &canvas);
    // Prints the selected tab on a page of printerPage(); false (nothing drawn) while drawing is
    // suppressed.
    bool printSelectedTab(render::Canvas &canvas);

    // For the calculator: the 180-pixel fit of the selected tab, then the preview render on a
    // 180 x 180 surface the caller filled with previewBackground(). Vorschaubild measures the
    // drawing into figures(); false when drawing is suppressed.
    void ZoomFullIn180();
    bool Vorschaubild(render::Canvas *canvas, int dpi, render::ContourFigures *into = nullptr);
    render::Rgb previewBackground() const;
    // konturlang, the bounding box and flaechen of the last preview or print, or of what the
    // last paint walked (a paint leaves out what is not in view).
    const render::ContourFigures &figures() const { return figures_; }

    // The status bar text for the pointer at pixel (x, y).
    std::string pointerText(int x, int y) const;

private:
    // The session's reading step: read the new lines and show them afresh.
    std::function<void(document::Drawing &)> readingStep();
    void readDocument();
    void viewChanged();
    void drawPaper(render::Canvas &canvas, bool model, bool &clipped);
    void drawAxisIcon(render::Canvas &canvas);

    ViewerHost &host_;
    dxf::Reader reader_;
    document::DrawingSession session_;
    render::ViewState view_;
    TabViews tabViews_; // the view each tab was left at
    int tab_ = 0;
    int width_ = render::kDefaultPaintBoxWidth, height_ = render::kDefaultPaintBoxHeight;
    bool donotstorenow_ = false;
    bool druckvorschau_ = false;
    bool showweight_ = true;
    render::PrintSettings print_;
    render::PrinterPage printer_;
    render::ContourFigures figures_;
    // Where the entities of the current read are drawn, taken at the first paint after a read.
    render::DrawnExtents extents_;
    uint64_t extentsRead_ = 0;
    // What the selected tab draws, for placing it on the page; taken when first needed.
    struct TabExtent {
        bool known = false, draws = false;
        uint64_t read = 0;
        int tab = 0;
        render::ExtentBox box;
    } tabExtent_;
    std::vector<std::function<void(int)>> tabChangeListeners_;
    std::function<void(render::Canvas &)> under_, over_;
    std::vector<std::function<void()>> changeListeners_;
    void changed() {
        for (auto &l : changeListeners_) l();
    }
    std::vector<std::function<void()>> replacedListeners_;
    std::function<void(render::Canvas &)> overlay_;
    render::SelectedLookup selected_;
    uint64_t readCount_ = 0;
};

} // namespace quentar::editor
