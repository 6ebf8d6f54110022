// The render pass Drawpolys: walks the entities once, draws them on a canvas and measures the
// contours the laser has to cut on the way.
#pragma once

#include "document/drawing.h"
#include "document/dyna_array.h"
#include "render/canvas.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quentar::render {

// Layout handle of a pass that is not bound to a layout.
inline constexpr int32_t kNoLayout = -999;

// The parameters of one pass (and of its nested passes for blocks and viewports).
struct DrawParams {
    double scrollx = 0, scrolly = 0; // view offset, pixels
    int paintbox1height = 0;         // height of the surface, pixels
    bool showweight = false;         // draw line weights
    int dpi1 = 96;                   // pixels per inch of the surface
    std::string blocktodraw;         // block whose entities this pass draws; empty: top level
    double zoomit = 100;             // pixels per 100 drawing units
    double baseblx = 0, basebly = 0, baseblz = 0; // offset added to every coordinate
    int32_t thelayhan = kNoLayout;   // handle of the layout shown
    bool showmodel = true;           // the pass shows model space
    bool showmodelforcolor = true;   // model colours (black on white) rather than paper colours
    bool forprint = false;           // drawing for the printer: no grips, no selection dashes
};

// The figures the costing takes from a drawing, accumulated by the passes since the last reset.
struct ContourFigures {
    double konturlang = 0; // total length of the measured segments, drawing units
    double konturminx = 0, konturmaxx = 0, konturminy = 0, konturmaxy = 0; // bounding box
    bool konturminmaxfirst = true; // no point has entered the box yet
    document::TypedDynaArray<double> flaechen; // one area per entity with two or more segments

    void reset();
    // `flaechen` as a plain list, in order.
    std::vector<double> areas() const;
};

// How a DIMENSION with an override text is handled: drawn (and measured) as a dimension whose
// text the override replaces, not as a bare text. See drawDimensionText.
bool isDimension(const document::Drawing &d, const document::tpoly &e);

// One render of a drawing. Holds lookups that every nested pass shares (layer names, block
// contents) and the guard against self-inserting blocks.
class RenderPass {
public:
    // `canvas` may be null: the pass then only measures.
    RenderPass(document::Drawing &d, ContourFigures &figures, Canvas *canvas);

    void Drawpolys(const DrawParams &params);

    // Nested passes deeper than this draw and measure nothing: real drawings nest blocks a few
    // levels deep, a block that inserts itself would nest without end.
    static constexpr int kMaxNesting = 24;
    // Bound on the entity visits of one render, nested passes included (a block inserted many
    // times inside a block inserted many times multiplies).
    static constexpr int64_t kMaxVisits = 50'000'000;

private:
    struct LayerInfo {
        int index = -1;
    };
    void entity(std::size_t index, const DrawParams &p);
    void walkPath(const document::tpoly &e, const DrawParams &p, double bx, double by,
                  const Pen &pen, Rgb color);
    void drawTextEntity(const document::tpoly &e, const DrawParams &p, double bx, double by,
                        const Pen &pen, Rgb color);
    void drawDimensionText(const document::tpoly &e, const DrawParams &p, double bx, double by,
                           const Pen &pen, Rgb color, Path &path);
    void drawViewport(const document::tpoly &e, const DrawParams &p, double bx, double by);
    void drawGrips(const document::tpoly &e, const DrawParams &p, double bx, double by);
    Pen makePen(const document::tpoly &e, const DrawParams &p, const document::TLayer *layer,
                Rgb color) const;
    const document::TLayer *findLayer(const document::tpoly &e) const;
    void takeIn(double px, double py);

    document::Drawing &d_;
    ContourFigures &f_;
    Canvas *canvas_;
    int depth_ = 0;
    int64_t visits_ = 0;
    std::unordered_map<std::string_view, int> layerIndex_;             // trimmed name -> first
    std::unordered_map<std::string_view, std::vector<std::size_t>> blockEntities_;
    std::vector<std::size_t> topLevel_;                                // non-block entities
};

} // namespace quentar::render
