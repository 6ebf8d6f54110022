// The render pass Drawpolys: walks the entities once, draws them on a canvas and measures the
// contours the laser has to cut on the way.
#pragma once

#include "contours/analysis.h"
#include "document/drawing.h"
#include "document/dyna_array.h"
#include "document/layer_lookup.h"
#include "geometry/placement.h"
#include "render/canvas.h"
#include "render/drawn_extents.h"
#include "render/text_content.h"
#include "render/view_transform.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quentar::render {

// Layout handle of a pass that is not bound to a layout.
inline constexpr int32_t kNoLayout = -999;

// Why content of a drawing is never cut, as CAD programs hide it: not shown (a frozen layer, an
// invisible entity) or shown but never printed (the layer "Defpoints", a layer marked no plot).
enum class Hidden : uint8_t { No, Frozen, Invisible, NotPlotted };

// The parameters of one pass (and of its nested passes for blocks and viewports).
struct TabView;

struct DrawParams {
    double scrollx = 0, scrolly = 0; // view offset, pixels
    int paintbox1height = 0;         // height of the surface, pixels
    bool showweight = false;         // draw line weights
    int dpi1 = 96;                   // pixels per inch of the surface
    std::string blocktodraw;         // block whose entities this pass draws; empty: top level
    double zoomit = 100;             // pixels per 100 drawing units
    double baseblx = 0, basebly = 0, baseblz = 0; // offset added to every coordinate
    // The linear part of an inserted block's placement (scale, rotation, mirror, extrusion),
    // applied to the block's coordinates before the offset; the identity outside blocks.
    geometry::Linear3 linear;
    bool linearIdentity = true;
    // A tab's own passes: its rule decides which entities of the top level are drawn (the space
    // and block fields then only steer the passes).
    const TabView *tab = nullptr;
    int32_t thelayhan = kNoLayout;   // handle of the layout shown
    bool showmodel = true;           // the pass shows model space
    bool showmodelforcolor = true;   // model colours (black on white) rather than paper colours
    bool forprint = false;           // drawing for the printer: no grips, no selection dashes
    // Inside an inserted block (or a dimension's picture): the colour that "by block" (0) stands
    // for, and the layer that entities on layer "0" take their properties from.
    bool hasByBlock = false;
    Rgb byBlock;
    const document::TLayer *blockLayer = nullptr;
    // Measure what this pass draws as this kind rather than by each entity's own (a dimension's
    // picture drawn from its block); -1: by the entity.
    int measureAs = -1;
    // Inside an insert (or a dimension's picture) that is hidden: why, and the layer that hides
    // it. Everything such a pass walks is hidden alike.
    Hidden hidden = Hidden::No;
    std::string_view hiddenLayer;

    // Drawing units to pixels of this pass's surface.
    ViewTransform view() const { return {zoomit, scrollx, scrolly, paintbox1height}; }
};

// Whether the entity with this index of the drawing's records is selected (dashed, with grips on
// screen). The selection is the editor's; the drawing's records do not hold it.
using SelectedLookup = std::function<bool(std::size_t index)>;

// Why a render's figures may be partial; carried as warnings with the figures.
enum RenderIssue : uint32_t {
    kRenderNestingCut = 1 << 0,    // blocks nested deeper than the bound were left out
    kRenderVisitsCut = 1 << 1,     // the bound on entity visits stopped the render
    kRenderSelfInsert = 1 << 2,    // a block inserting itself was entered once only
    kRenderBadPlacement = 1 << 3,  // an insert whose scale or position is beyond sense: left out
    // Copies of blocks beyond the bounds of a measurement (or of a paint) were counted by their
    // block's length and box (exact), without pieces: if they hold cut contours, no contours can
    // be made of them.
    kRenderSummarised = 1 << 4,
};

// The figures the costing takes from a drawing, accumulated by the passes since the last reset.
struct ContourFigures {
    double konturlang = 0; // total length of the measured segments, drawing units
    double konturminx = 0, konturmaxx = 0, konturminy = 0, konturmaxy = 0; // bounding box
    bool konturminmaxfirst = true; // no point has entered the box yet
    // The areas of the closed contours, largest first, drawing units squared (filled by the
    // contour analysis of a measurement, see measure_drawing.h).
    document::TypedDynaArray<double> flaechen;
    int64_t entitiesDrawn = 0; // entities of the tab that passed the filters (inserts included)
    // Copies of blocks counted by their length and box alone (kRenderSummarised): the length of
    // each kind, how many copies, and the pieces among them the contour analysis would take.
    std::array<double, contours::kMeasureKinds> summarisedByKind{};
    double summarisedCopies = 0, summarisedCutPieces = 0;
    uint32_t renderIssues = 0; // RenderIssue bits
    uint16_t readIssues = 0;   // document::ReadIssue bits of the entities drawn

    // Hidden content of the tab, never cut: by why and layer, with the length it would have
    // drawn. Walked only by a measurement (a pass that collects pieces).
    struct HiddenContent {
        Hidden why = Hidden::No;
        std::string layer; // empty for invisible entities
        int64_t entities = 0;
        double length = 0;
    };
    std::vector<HiddenContent> hidden;
    // Measured entities of no length (a line from a point to itself, a circle of radius 0): they
    // count for nothing, not even in the box. How many, and where the first of them lie.
    static constexpr std::size_t kZeroLengthPlaces = 20;
    int64_t zeroLength = 0;
    std::vector<std::pair<double, double>> zeroLengthAt;

    // How to measure (kept by reset): only the cut contours enter length and box (the default,
    // as the laser cuts them), and the pieces for the contour analysis are collected here when
    // given.
    bool cutContoursOnly = true;
    contours::PieceCollector *collector = nullptr;
    // The contours of the last measurement (Vorschaubild): parts, holes, open ends, duplicates,
    // and the pieces they are made of.
    contours::ContourAnalysis analysis;
    contours::PieceCollector pieces;

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
    // `canvas` may be null: the pass then only measures. The pass only reads the drawing.
    RenderPass(const document::Drawing &d, ContourFigures &figures, Canvas *canvas);

    // Marks the selected entities on screen; without a lookup nothing is selected.
    void setSelected(SelectedLookup selected) { selected_ = std::move(selected); }
    // Draws only these entities of the top level, with what belongs to them (an insert's block,
    // a dimension's picture); without a lookup every entity the tab shows.
    void setOnly(SelectedLookup only) { only_ = std::move(only); }

    void Drawpolys(const DrawParams &params);

    // A paint of a surface `width` x `height` pixels that only has to look right: entities whose
    // drawing (`extents`, of this read) cannot reach the surface are skipped, those smaller than a
    // pixel drawn as a dot, small outlines with fewer of their vertices. The figures of such a
    // pass cover only what it walked in full. A pass that collects pieces for the contour
    // analysis (a measurement) ignores this and visits and measures everything.
    void paintOnly(const DrawnExtents &extents, int width, int height);

    // The pass that takes the drawn extents: every entity of the lists is drawn whatever its
    // space, and a viewport without its contents (its frame bounds them).
    void setTakingExtents(bool on) { takingExtents_ = on; }

    // A lower bound on the entity visits of this render (a pass that only finds the extent).
    void setVisitBudget(int64_t visits) { visitBudget_ = std::min(visits, kMaxVisits); }

    // Nested passes deeper than this draw and measure nothing: real drawings nest blocks a few
    // levels deep, a block that inserts itself would nest without end.
    static constexpr int kMaxNesting = 24;
    // Bound on the entity visits of one render, nested passes included (a block inserted many
    // times inside a block inserted many times multiplies).
    static constexpr int64_t kMaxVisits = 50'000'000;

    // Copies of one MINSERT beyond this are not drawn (the visit bound counts them too).
    static constexpr int64_t kMaxArrayCopies = 1'000'000;
    // A measurement collects at most this many pieces (some 300 MB with their contours); an
    // array of blocks beyond it, or beyond the visit bound, is counted by its length and box.
    static constexpr int64_t kMaxPieces = 4'000'000;

    // Where an entity's coordinates lie in the drawing: the pass's linear part, then the offset.
    // (The walk's own, pointer-based copy of a WorldPlacement.)
    struct Place {
        double bx = 0, by = 0, bz = 0;
        const geometry::Linear3 *linear = nullptr; // null: the identity
        void world(double x, double y, double z, double &wx, double &wy) const {
            if (!linear) {
                wx = x + bx;
                wy = y + by;
                return;
            }
            const auto &m = linear->m;
            wx = m[0][0] * x + m[0][1] * y + m[0][2] * z + bx;
            wy = m[1][0] * x + m[1][1] * y + m[1][2] * z + by;
        }
    };

    // Beyond these margins, pixels, nothing of an entity is drawn: marks of a fixed pixel size
    // (grips and handles, points, arrowheads of leaders) and half the widest pen of the line
    // weights.
    static constexpr double kPaintMarginPx = 12;
    // Plain outlines up to this size, pixels, are drawn with fewer of their vertices.
    static constexpr double kThinOutlinesUpToPx = 32;

private:
    // Where an entity's drawing lies on a paint's surface, and how it is drawn.
    enum class OnSurface { Off, Dot, Thinned, Whole };
    OnSurface onSurface(std::size_t index, const DrawParams &p, double &cx, double &cy,
                        double &size) const;
    void drawThinned(std::size_t index, const DrawParams &p, const Pen &pen, double size);
    bool culling() const { return extents_ && canvas_ && !f_.collector; }
    void entity(std::size_t index, const DrawParams &p);
    void finishPiece(contours::Piece &piece, const contours::PieceSpan &span, const Place &pl);
    void insertBlock(const document::tpoly &e, const DrawParams &p, const Place &pl);
    void walkPath(const document::tpoly &e, const DrawParams &p, const Place &pl, const Pen &pen,
                  Rgb color);
    // Why an entity is hidden (Hidden::No when it is not), and the layer responsible.
    Hidden hiddenWhy(const document::tpoly &e, const DrawParams &p, const document::TLayer *layer,
                     std::string_view &byLayer) const;
    void addHidden(const DrawParams &p, double length);
    // The name of the line type an entity is drawn with: its own or its layer's.
    std::string_view linetypeOf(const document::tpoly &e, const document::TLayer *layer) const;
    // Drawn broken (dashes, dots, gaps): centre marks, bend lines and hidden edges, never cuts.
    bool brokenLinetype(std::string_view name) const;
    void tableLinetypes(); // fills brokenByName_ from the drawing's line types
    void drawTextEntity(const document::tpoly &e, const DrawParams &p, const Place &pl,
                        const Pen &pen, Rgb color);
    void drawDimension(const document::tpoly &e, const DrawParams &p, const Place &pl,
                       const Pen &pen, Rgb color, const document::TLayer *layer);
    void drawDimensionText(const document::tpoly &e, const DrawParams &p, const Place &pl,
                           const Pen &pen, Rgb color);
    void drawHatchPattern(const document::tpoly &e, const DrawParams &p, const Place &pl,
                          const Pen &pen);
    // Lines of text in a frame: `origin` is the anchor in the drawing, `xAxis` and `yAxis` the
    // drawing vectors of one text height along and across the baseline; `wrap` the width to
    // wrap at in text heights (0: none).
    struct TextFrame {
        double ox = 0, oy = 0;
        double xx = 1, xy = 0, yx = 0, yy = 1;
    };
    void drawTextLines(const std::vector<TextLine> &lines, const TextFrame &frame,
                       int halign, int valign, double wrap, bool mtext, const DrawParams &p,
                       const Pen &pen, Rgb color);
    // The arrow size of a dimension or leader: its style's, with the entity's overrides.
    document::DimStyle styleOf(const document::tpoly &e) const;
    Rgb colorOf(const document::tpoly &e, const document::TLayer *layer, int layerColor,
                const DrawParams &p) const;
    void drawViewport(const document::tpoly &e, const DrawParams &p, double bx, double by);
    void drawGrips(const document::tpoly &e, const DrawParams &p, const Place &pl);
    Pen makePen(const document::tpoly &e, bool selected, const DrawParams &p,
                const document::TLayer *layer, std::string_view linetype, Rgb color) const;
    void takeIn(double px, double py);
    void fillArrow(double tipX, double tipY, double fromX, double fromY, double sizePx, Rgb color);

    // What a block placed by `nested` (its offset left out) adds when walked: the measured length
    // and box (placed at the origin), per kind, and the work walking it takes. Worked out once per
    // block and placement, with the copies of the blocks inside it multiplied rather than walked.
    struct Summary {
        double length = 0;
        bool any = false;
        double minx = 0, miny = 0, maxx = 0, maxy = 0;
        std::array<double, contours::kMeasureKinds> byKind{};
        // Doubles: 10^12 copies overflow nothing. Of the pieces, those the contour analysis
        // would take (cut and measured).
        double entities = 0, visits = 0, pieces = 0, cutPieces = 0;
        uint16_t readIssues = 0;
        uint32_t renderIssues = 0;
        double zeroLength = 0; // entities of no length, and where the first lie
        std::vector<std::pair<double, double>> zeroLengthAt;
    };
    const Summary &summaryOf(const DrawParams &nested);
    // Adds `count` copies of a summary whose offsets span the given corners.
    void addCopies(const Summary &s, double count,
                   const std::vector<std::pair<double, double>> &corners);
    std::unordered_map<std::string, Summary> summaries_;
    Summary *summing_ = nullptr; // the summary being worked out, if any
    int64_t visitBudget_ = kMaxVisits;
    ViewTransform viewOfCopies_; // of the pass whose copies are being counted

    const document::Drawing &d_;
    ContourFigures &f_;
    Canvas *canvas_;
    SelectedLookup selected_;
    SelectedLookup only_;
    document::LayerLookup layers_;
    std::size_t current_ = 0; // index of the entity being drawn
    bool currentBroken_ = false; // and whether its line type is broken (see brokenLinetype)
    std::unordered_map<std::string_view, bool> brokenByName_;  // line types: broken or not
    std::unordered_map<std::string, std::size_t> hiddenIndex_; // why + layer -> f_.hidden entry
    bool currentSelected_ = false; // and whether it is selected
    int depth_ = 0;
    bool inViewport_ = false;
    int64_t visits_ = 0;
    std::unordered_map<std::string_view, std::vector<std::size_t>> blockEntities_;
    std::vector<std::size_t> topLevel_;                                // non-block entities
    std::vector<std::string_view> insertChain_; // blocks being drawn, outermost first
    bool takingExtents_ = false;
    const DrawnExtents *extents_ = nullptr; // a paint only: what can reach the surface
    int surfaceWidth_ = 0, surfaceHeight_ = 0;
    // Of the pass being walked: its entities may be placed by their boxes (a placement that
    // shrinks nothing and keeps z out of x and y), and the margin around the surface, pixels.
    bool placeable_ = false;
    double marginPx_ = kPaintMarginPx;
};

} // namespace quentar::render
