// The render pass: traversal, pens, paths, texts, arrows, viewports, grips and the measurement.
#include "render/render_pass.h"

#include "document/text_codec.h"
#include "render/colors.h"
#include "render/view.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace quentar::render {

using document::tpoly;
using document::trimLine;

namespace {

// Round to the nearest integer, halves to the even neighbour.
inline double roundEven(double v) { return std::nearbyint(v); }
inline int roundInt(double v) {
    const double r = std::nearbyint(v);
    if (!(r > -2e9 && r < 2e9)) return r > 0 ? 2000000000 : -2000000000;
    return static_cast<int>(r);
}

// A smooth outline of `size` pixels looks the same drawn through this many of its vertices: a
// circle's polygon of n corners strays from it by size/2 (1 - cos(pi/n)), here a quarter of a
// pixel at most (and one more vertex closes it).
int verticesToKeep(double size) {
    // pi / acos(1 - 1 / (2 size)) is a little under pi sqrt(size).
    return 2 + static_cast<int>(std::ceil(M_PI * std::sqrt(std::max(size, 0.0))));
}

// The drawing's part of the surface widened by a margin, pixels, for a pass (before its offset).
ExtentBox surfaceInDrawing(const DrawParams &p, double margin, int width, int height) {
    const ViewTransform vt = p.view();
    double x0, y0, x1, y1;
    vt.world(-margin, height + margin, x0, y0);
    vt.world(width + margin, -margin, x1, y1);
    return {std::min(x0, x1) - p.baseblx, std::min(y0, y1) - p.basebly,
            std::max(x0, x1) - p.baseblx, std::max(y0, y1) - p.basebly};
}

// Entities of a block placed so can be placed by their boxes: the placement shrinks no length
// (what the pass draws at a fixed size in drawing units, such as arrowheads and widths, stays in
// the placed box) and leaves z out of x and y (the boxes have no depth).
bool placeableBy(const DrawParams &p) {
    if (p.linearIdentity) return true;
    const auto &m = p.linear.m;
    if (m[0][2] != 0 || m[1][2] != 0) return false;
    const double a = m[0][0], b = m[0][1], c = m[1][0], d = m[1][1];
    const double s = a * a + b * b + c * c + d * d, det = a * d - b * c;
    const double smallestSquared = (s - std::sqrt(std::max(0.0, s * s - 4 * det * det))) / 2;
    return smallestSquared >= 1 - 1e-9;
}

// Relative to the size of its coordinates, an entity this short has no length: a point drawn as
// a line, arc or circle (coordinates written with 15 digits keep a copy of a point closer).
constexpr double kZeroLength = 1e-12;

// Adds a segment to the path, continuing the open figure when it ends where the segment starts.
void addLine(Path &path, double x1, double y1, double x2, double y2) {
    if (path.figures.empty() || path.figures.back().closed ||
        path.figures.back().points.back().x != x1 || path.figures.back().points.back().y != y1)
        path.moveTo(x1, y1);
    path.lineTo(x2, y2);
}

} // namespace

void ContourFigures::reset() {
    konturlang = 0;
    flaechen.Clear();
    konturminmaxfirst = true;
    konturminx = konturmaxx = konturminy = konturmaxy = 0;
    renderIssues = 0;
    readIssues = 0;
    entitiesDrawn = 0;
    summarisedByKind = {};
    summarisedCopies = 0;
    summarisedCutPieces = 0;
    hidden.clear();
    zeroLength = 0;
    zeroLengthAt.clear();
    if (collector) collector->clear();
    analysis = {};
    pieces.clear();
}

std::vector<double> ContourFigures::areas() const {
    const double *a = flaechen.data();
    return a ? std::vector<double>(a, a + flaechen.count) : std::vector<double>();
}

bool isDimension(const document::Drawing &, const tpoly &e) {
    return !e.istext && e.kind == document::EntityKind::Dimension;
}

RenderPass::RenderPass(const document::Drawing &d, ContourFigures &figures, Canvas *canvas)
    : d_(d), f_(figures), canvas_(canvas), layers_(d) {
    topLevel_.reserve(static_cast<std::size_t>(std::max(0, d.anzpoly)));
    for (std::size_t i = 0; i < static_cast<std::size_t>(d.anzpoly); ++i) {
        const tpoly &e = d.polys[i];
        if (e.isblock)
            blockEntities_[e.detail().theblockname].push_back(i);
        else
            topLevel_.push_back(i);
    }
    tableLinetypes();
}

void RenderPass::takeIn(double px, double py) {
    if (f_.konturminmaxfirst) {
        f_.konturminx = f_.konturmaxx = px;
        f_.konturminy = f_.konturmaxy = py;
        f_.konturminmaxfirst = false;
        return;
    }
    if (px < f_.konturminx) f_.konturminx = px;
    if (px > f_.konturmaxx) f_.konturmaxx = px;
    if (py < f_.konturminy) f_.konturminy = py;
    if (py > f_.konturmaxy) f_.konturmaxy = py;
}

void RenderPass::Drawpolys(const DrawParams &p) {
    if (depth_ >= kMaxNesting) {
        f_.renderIssues |= kRenderNestingCut;
        return;
    }
    // While the extents are taken, a viewport's contents are left out: its frame bounds them.
    if (takingExtents_ && depth_ > 0 && p.blocktodraw.empty()) return;
    ++depth_;
    const bool outerPlaceable = placeable_;
    const double outerMargin = marginPx_;
    if (culling()) {
        placeable_ = placeableBy(p);
        marginPx_ = kPaintMarginPx;
        if (p.showweight)
            marginPx_ += std::max(0, extents_->widestLineweight()) / 100.0 * p.dpi1 / kMmPerInch;
    }
    if (p.blocktodraw.empty()) {
        if (culling() && placeable_ && p.linearIdentity) {
            // Only the entities whose drawing can reach the surface, found by their extents.
            std::vector<uint32_t> inView;
            extents_->topLevelIn(surfaceInDrawing(p, marginPx_, surfaceWidth_, surfaceHeight_),
                                 inView);
            for (uint32_t i : inView) entity(i, p);
        } else {
            for (std::size_t i : topLevel_) entity(i, p);
        }
    } else {
        auto it = blockEntities_.find(p.blocktodraw);
        if (it != blockEntities_.end())
            for (std::size_t i : it->second) entity(i, p);
    }
    placeable_ = outerPlaceable;
    marginPx_ = outerMargin;
    --depth_;
}

void RenderPass::paintOnly(const DrawnExtents &extents, int width, int height) {
    extents_ = extents.usable() && extents.builtFor(d_) ? &extents : nullptr;
    surfaceWidth_ = width;
    surfaceHeight_ = height;
}

RenderPass::OnSurface RenderPass::onSurface(std::size_t index, const DrawParams &p, double &cx,
                                            double &cy, double &size) const {
    if (!placeable_ || !extents_->bounded(index)) return OnSurface::Whole;
    const ExtentBox &b = extents_->box(index);
    const ViewTransform vt = p.view();
    double l = 0, r = 0, t = 0, bottom = 0;
    bool first = true;
    for (const double x : {b.minx, b.maxx})
        for (const double y : {b.miny, b.maxy}) {
            double wx = x, wy = y;
            if (!p.linearIdentity) {
                const auto &m = p.linear.m;
                wx = m[0][0] * x + m[0][1] * y;
                wy = m[1][0] * x + m[1][1] * y;
            }
            const double X = vt.screenX(wx + p.baseblx), Y = vt.exactScreenY(wy + p.basebly);
            if (first) {
                l = r = X;
                t = bottom = Y;
                first = false;
            }
            l = std::min(l, X);
            r = std::max(r, X);
            t = std::min(t, Y);
            bottom = std::max(bottom, Y);
        }
    if (r < -marginPx_ || l > surfaceWidth_ + marginPx_ || bottom < -marginPx_ ||
        t > surfaceHeight_ + marginPx_)
        return OnSurface::Off;
    size = std::max(r - l, bottom - t);
    cx = (l + r) / 2;
    cy = (t + bottom) / 2;
    if (!std::isfinite(size)) return OnSurface::Whole;
    if (size < 1) return OnSurface::Dot;
    if (size <= kThinOutlinesUpToPx && extents_->coarseOutline(index).count > 0)
        return OnSurface::Thinned;
    return OnSurface::Whole;
}

void RenderPass::drawThinned(std::size_t index, const DrawParams &p, const Pen &pen,
                             double size) {
    const DrawnExtents::CoarseOutline c = extents_->coarseOutline(index);
    const ExtentBox &b = extents_->box(index);
    const ViewTransform vt = p.view();
    const uint32_t keep = static_cast<uint32_t>(verticesToKeep(size));
    const uint32_t step = std::max<uint32_t>(1, c.count / keep);
    Path path;
    auto add = [&](uint32_t k) {
        double x = b.minx + c.xy[2 * k], y = b.miny + c.xy[2 * k + 1];
        if (!p.linearIdentity) {
            const auto &m = p.linear.m;
            const double px = x;
            x = m[0][0] * px + m[0][1] * y;
            y = m[1][0] * px + m[1][1] * y;
        }
        path.lineTo(vt.screenX(x + p.baseblx), vt.screenY(y + p.basebly));
    };
    for (uint32_t k = 0; k < c.count; k += step) add(k);
    if ((c.count - 1) % step != 0) add(c.count - 1);
    if (c.closed) path.closeFigure();
    canvas_->strokePath(path, pen);
}

Pen RenderPass::makePen(const tpoly &e, bool selected, const DrawParams &p,
                        const document::TLayer *layer, std::string_view name, Rgb color) const {
    Pen pen;
    pen.color = color;
    pen.width = 1;
    if (p.showweight) {
        if (e.linweightpresent && e.lineweight >= 0)
            pen.width = e.lineweight / 100.0 * p.dpi1 / kMmPerInch * 2;
        else if (layer && layer->linweightpresent && layer->lineweight > 0)
            pen.width = p.dpi1 * (layer->lineweight / 100.0) / kMmPerInch * 2;
    }
    if (selected && !p.forprint) {
        pen.dashPattern = {5, 5};
        return pen;
    }
    if (name.empty()) return pen;
    for (int i = 0; i < d_.anzlt; ++i) {
        const auto &lt = d_.linetype[static_cast<std::size_t>(i)];
        if (lt.name != name) continue;
        if (lt.parts.empty()) break;
        pen.dashOffset = 0;
        for (std::size_t k = 0; k < lt.parts.size(); ++k) {
            const double part = lt.parts[k];
            if (k == 0 && part < 0)
                pen.dashOffset = -part * p.zoomit / 100;
            else if (part != 0)
                pen.dashPattern.push_back(std::fabs(part) * p.zoomit / 100);
            else
                pen.dashPattern.push_back(1.0);
        }
        break;
    }
    return pen;
}

void RenderPass::entity(std::size_t index, const DrawParams &p) {
    if (++visits_ > visitBudget_) {
        f_.renderIssues |= kRenderVisitsCut;
        return;
    }
    if (only_ && depth_ == 1 && !only_(index)) return;
    if (summing_) ++summing_->visits;
    const tpoly &e = d_.polys[index];
    const document::EntityDetail &dt = e.detail();
    current_ = index;
    // 1. Space filter: at the top level of a tab, the tab's rule (space and block alike).
    const bool tabRule = p.tab && depth_ == 1 && !takingExtents_;
    if (takingExtents_) {
    } else if (tabRule) {
        if (!p.tab->shows(e)) return;
    } else if (p.thelayhan == kNoLayout) {
        if (p.showmodel && e.ispaperspace) return;
        if (!p.showmodel && !e.ispaperspace && p.blocktodraw.empty()) return;
    } else if (e.layhan != p.thelayhan && !(p.showmodel && e.layhan == 0)) {
        return;
    }
    // 2. Layer: switched-off layers hide the entity (a locked layer is the editor's business).
    const document::TLayer *layer = layers_.layerOf(e);
    int layerColor = 7;
    if (layer) {
        layerColor = layer->colornr;
        if (layer->colornr < 0) return;
    }
    // 4. Block filter.
    if (!tabRule && (e.isblock ? dt.theblockname != p.blocktodraw : !p.blocktodraw.empty()))
        return;
    // A viewport switched off shows nothing, not even its frame.
    if (e.invisible && e.isviewport) return;
    // Inside a block, entities on layer "0" take the insert's layer.
    if (p.blockLayer && e.layer(d_.dxf) == "0") {
        layer = p.blockLayer;
        layerColor = layer->colornr;
    }
    // Hidden content is never cut. What is not shown at all is walked only by a measurement, to
    // say how much was left out; a viewport's frame may be hidden while the view shows.
    std::string_view hiddenLayer;
    const Hidden hidden = hiddenWhy(e, p, layer, hiddenLayer);
    const bool shown = hidden == Hidden::No || (hidden == Hidden::NotPlotted && !p.forprint);
    if (!shown && !f_.collector && !e.isviewport) return;
    Canvas *const canvas = canvas_;
    struct RestoreCanvas {
        Canvas *&slot;
        Canvas *kept;
        ~RestoreCanvas() { slot = kept; }
    } restore{canvas_, canvas_};
    if (!shown) canvas_ = nullptr;
    // A paint leaves out what cannot reach its surface.
    OnSurface onSurfaceAs = OnSurface::Whole;
    double shownX = 0, shownY = 0, shownSize = 0;
    if (culling()) {
        onSurfaceAs = onSurface(index, p, shownX, shownY, shownSize);
        if (onSurfaceAs == OnSurface::Off) return;
    }
    if (hidden == Hidden::No) {
        f_.readIssues |= e.readIssues;
        ++f_.entitiesDrawn;
    }
    const bool selected = selected_ && selected_(index);
    currentSelected_ = selected;
    if (canvas_) canvas_->beginEntity(index);
    // 3. Pen.
    const std::string_view linetype = linetypeOf(e, layer);
    const Rgb color = colorOf(e, layer, layerColor, p);
    const Pen pen = makePen(e, selected, p, layer, linetype, color);
    // 5. Base offset: a block entity's base point goes to the insertion point.
    Place pl;
    pl.linear = p.linearIdentity ? nullptr : &p.linear;
    pl.bx = p.baseblx;
    pl.by = p.basebly;
    pl.bz = p.baseblz;
    if (e.isblock) {
        if (pl.linear) {
            const geometry::Vec3 b = p.linear.apply({dt.blockbasex, dt.blockbasey, dt.blockbasez});
            pl.bx -= b.x;
            pl.by -= b.y;
            pl.bz -= b.z;
        } else {
            pl.bx -= dt.blockbasex;
            pl.by -= dt.blockbasey;
            pl.bz -= dt.blockbasez;
        }
    }
    if (onSurfaceAs == OnSurface::Dot || onSurfaceAs == OnSurface::Thinned) {
        // Smaller than a pixel: a dot; a small outline: fewer vertices.
        if (onSurfaceAs == OnSurface::Dot)
            canvas_->fillRect(roundInt(shownX), roundInt(shownY), 1, 1, color);
        else
            drawThinned(index, p, pen, shownSize);
        if (!p.forprint && selected) drawGrips(e, p, pl);
        canvas_->endEntity();
        return;
    }
    // What this entity (and whatever it inserts) is hidden by, handed on to nested passes.
    const DrawParams *own = &p;
    std::optional<DrawParams> hiddenParams;
    if (hidden != Hidden::No && p.hidden == Hidden::No) {
        hiddenParams.emplace(p);
        hiddenParams->hidden = hidden;
        hiddenParams->hiddenLayer = hiddenLayer;
        own = &*hiddenParams;
    }
    currentBroken_ = brokenLinetype(linetype);
    if (!dt.insertstr.empty()) {
        // 6. Block reference: nothing of itself is measured.
        DrawParams inner = *own;
        inner.hasByBlock = true;
        inner.byBlock = color;
        inner.blockLayer = layer;
        insertBlock(e, inner, pl);
    } else if (isDimension(d_, e)) {
        drawDimension(e, *own, pl, pen, color, layer);
    } else if (!dt.textstr.empty()) {
        // 7. Texts are drawn, never measured.
        drawTextEntity(e, *own, pl, pen, color);
    } else {
        // 8. Path entity.
        walkPath(e, *own, pl, pen, color);
    }
    // 9. Viewport contents (whatever hides the frame) and grips.
    canvas_ = canvas;
    if (e.isviewport && dt.viewid != 1) drawViewport(e, p, pl.bx, pl.by);
    if (!shown) canvas_ = nullptr;
    if (!p.forprint && selected) drawGrips(e, p, pl);
    if (canvas_) canvas_->endEntity();
}

void RenderPass::insertBlock(const tpoly &e, const DrawParams &p, const Place &pl) {
    const document::EntityDetail &dt = e.detail();
    // A block that (directly or through others) inserts itself is entered once on a chain.
    for (std::string_view active : insertChain_)
        if (active == dt.insertstr) {
            f_.renderIssues |= kRenderSelfInsert;
            return;
        }
    geometry::Vec3 at;
    if (e.anzp > 0) at = {e.p(0).x, e.p(0).y, e.p(0).z};
    // The block's own axes in the parent's: object system of the extrusion, rotation, scale.
    const geometry::Linear3 ocs = geometry::objectToWorld({dt.extx, dt.exty, dt.extz});
    const geometry::Linear3 turn = ocs.after(geometry::rotationZ(dt.rotation));
    const geometry::Linear3 own =
        turn.after(geometry::scaling(dt.insscalex, dt.insscaley, dt.insscalez));
    DrawParams nested = p;
    nested.blocktodraw = dt.insertstr;
    nested.thelayhan = kNoLayout;
    nested.linear = pl.linear ? pl.linear->after(own) : own;
    nested.linearIdentity = nested.linear.isIdentity();
    // Beyond the coordinate limit of the readers a placement has no sensible picture: the scales
    // multiplied through the nesting, and the position, are held to it as a coordinate is.
    auto sensible = [&](double v) {
        return std::isfinite(v) && std::fabs(v) <= geometry::kBeyondAnyDrawing;
    };
    for (const auto &row : nested.linear.m)
        for (double v : row)
            if (!sensible(v)) {
                f_.renderIssues |= kRenderBadPlacement;
                return;
            }
    const int64_t cols = std::max<int64_t>(1, dt.inscols), rows = std::max<int64_t>(1, dt.insrows);
    // Where copy (r, c) goes.
    auto offsetOf = [&](int64_t r, int64_t c) {
        geometry::Vec3 q = at;
        if (r > 0 || c > 0) {
            // Array copies step along the reference's rotated axes, unscaled.
            const geometry::Vec3 step = turn.apply({static_cast<double>(c) * dt.inscolspacing,
                                                    static_cast<double>(r) * dt.insrowspacing, 0});
            q = {at.x + step.x, at.y + step.y, at.z + step.z};
        }
        if (pl.linear) q = pl.linear->apply(q);
        return geometry::Vec3{pl.bx + q.x, pl.by + q.y, pl.bz + q.z};
    };
    // A measurement walks every copy of an array that fits its bounds (entity visits, pieces,
    // copies); an array beyond them, and any array inside a summary, is counted by its block's
    // length and box, whose union the array's corners span. A paint counts an array so too when
    // it would run past its bounds, and shows the box the copies fill.
    const double total = static_cast<double>(rows) * static_cast<double>(cols);
    const Summary *summary = nullptr;
    if (f_.collector || summing_ || total > 1) summary = &summaryOf(nested);
    auto corners = [&]() {
        std::vector<std::pair<double, double>> out;
        for (const auto &[r, c] : {std::pair{int64_t{0}, int64_t{0}},
                                   {0, cols - 1},
                                   {rows - 1, 0},
                                   {rows - 1, cols - 1}}) {
            const geometry::Vec3 q = offsetOf(r, c);
            if (sensible(q.x) && sensible(q.y)) out.emplace_back(q.x, q.y);
        }
        return out;
    };
    viewOfCopies_ = p.view();
    if (summing_) {
        addCopies(*summary, total, corners());
        return;
    }
    if (summary) {
        const double pieces = f_.collector ? static_cast<double>(f_.collector->pieces.size()) : 0;
        const bool fits =
            total <= static_cast<double>(kMaxArrayCopies) &&
            static_cast<double>(visits_) + total * summary->visits <=
                static_cast<double>(visitBudget_) &&
            (!f_.collector || pieces + total * summary->pieces <= static_cast<double>(kMaxPieces));
        if (!fits) {
            addCopies(*summary, total, corners());
            f_.renderIssues |= kRenderSummarised;
            for (std::size_t k = 0; k < f_.summarisedByKind.size(); ++k)
                f_.summarisedByKind[k] += summary->byKind[k] * total;
            f_.summarisedCopies += total;
            f_.summarisedCutPieces += summary->cutPieces * total;
            return;
        }
    }
    insertChain_.push_back(dt.insertstr);
    int64_t copies = 0;
    for (int64_t r = 0; r < rows; ++r)
        for (int64_t c = 0; c < cols; ++c) {
            if (++copies > kMaxArrayCopies || (copies > 1 && ++visits_ > kMaxVisits)) {
                f_.renderIssues |= kRenderVisitsCut;
                insertChain_.pop_back();
                return;
            }
            const geometry::Vec3 q = offsetOf(r, c);
            nested.baseblx = q.x;
            nested.basebly = q.y;
            nested.baseblz = q.z;
            if (!sensible(nested.baseblx) || !sensible(nested.basebly)) {
                f_.renderIssues |= kRenderBadPlacement;
                continue;
            }
            Drawpolys(nested);
        }
    insertChain_.pop_back();
}

const RenderPass::Summary &RenderPass::summaryOf(const DrawParams &nested) {
    // Whatever in the parameters can change what the block's entities measure.
    std::string key = nested.blocktodraw;
    key.push_back('\0');
    auto bytes = [&](const void *p, std::size_t n) { key.append(static_cast<const char *>(p), n); };
    bytes(nested.linear.m, sizeof nested.linear.m);
    bytes(&nested.blockLayer, sizeof nested.blockLayer);
    bytes(&nested.measureAs, sizeof nested.measureAs);
    bytes(&nested.byBlock, sizeof nested.byBlock);
    const char flags[] = {nested.linearIdentity, nested.showmodel,  nested.hasByBlock,
                          inViewport_,           static_cast<char>(depth_),
                          static_cast<char>(nested.hidden)};
    bytes(flags, sizeof flags);
    auto it = summaries_.find(key);
    if (it != summaries_.end()) return it->second;
    // Walk the block once at the origin, with nothing drawn or collected, into a summary.
    Summary s;
    const double length = f_.konturlang;
    const bool first = f_.konturminmaxfirst;
    const double minx = f_.konturminx, miny = f_.konturminy, maxx = f_.konturmaxx,
                 maxy = f_.konturmaxy;
    const int64_t drawn = f_.entitiesDrawn;
    const uint16_t read = f_.readIssues;
    const uint32_t issues = f_.renderIssues;
    const int64_t zeroLength = f_.zeroLength;
    std::vector<std::pair<double, double>> zeroLengthAt;
    zeroLengthAt.swap(f_.zeroLengthAt);
    contours::PieceCollector *collector = f_.collector;
    Canvas *canvas = canvas_;
    Summary *outer = summing_;
    f_.konturlang = 0;
    f_.konturminmaxfirst = true;
    f_.entitiesDrawn = 0;
    f_.readIssues = 0;
    f_.renderIssues = 0;
    f_.zeroLength = 0;
    f_.collector = nullptr;
    canvas_ = nullptr;
    summing_ = &s;
    DrawParams atOrigin = nested;
    atOrigin.baseblx = atOrigin.basebly = atOrigin.baseblz = 0;
    insertChain_.push_back(nested.blocktodraw);
    Drawpolys(atOrigin);
    insertChain_.pop_back();
    s.length = f_.konturlang;
    s.any = !f_.konturminmaxfirst;
    s.minx = f_.konturminx;
    s.miny = f_.konturminy;
    s.maxx = f_.konturmaxx;
    s.maxy = f_.konturmaxy;
    s.entities += static_cast<double>(f_.entitiesDrawn);
    s.readIssues = f_.readIssues;
    s.renderIssues = f_.renderIssues;
    s.zeroLength = static_cast<double>(f_.zeroLength);
    s.zeroLengthAt.swap(f_.zeroLengthAt);
    f_.zeroLength = zeroLength;
    f_.zeroLengthAt.swap(zeroLengthAt);
    f_.konturlang = length;
    f_.konturminmaxfirst = first;
    f_.konturminx = minx;
    f_.konturminy = miny;
    f_.konturmaxx = maxx;
    f_.konturmaxy = maxy;
    f_.entitiesDrawn = drawn;
    f_.readIssues = read;
    f_.renderIssues = issues;
    f_.collector = collector;
    canvas_ = canvas;
    summing_ = outer;
    return summaries_.emplace(std::move(key), s).first->second;
}

void RenderPass::addCopies(const Summary &s, double count,
                           const std::vector<std::pair<double, double>> &corners) {
    if (!(count > 0)) return;
    f_.konturlang += s.length * count;
    if (s.any && !corners.empty()) {
        double x0 = corners[0].first, y0 = corners[0].second, x1 = x0, y1 = y0;
        for (const auto &[x, y] : corners) {
            takeIn(s.minx + x, s.miny + y);
            takeIn(s.maxx + x, s.maxy + y);
            x0 = std::min(x0, x);
            y0 = std::min(y0, y);
            x1 = std::max(x1, x);
            y1 = std::max(y1, y);
        }
        if (canvas_ && !summing_) {
            // What is counted but not drawn: the box the copies fill.
            const ViewTransform vt = viewOfCopies_;
            Path box;
            box.moveTo(vt.screenX(s.minx + x0), vt.screenY(s.miny + y0));
            box.lineTo(vt.screenX(s.maxx + x1), vt.screenY(s.miny + y0));
            box.lineTo(vt.screenX(s.maxx + x1), vt.screenY(s.maxy + y1));
            box.lineTo(vt.screenX(s.minx + x0), vt.screenY(s.maxy + y1));
            box.closeFigure();
            canvas_->strokePath(box, Pen{});
        }
    }
    f_.entitiesDrawn += static_cast<int64_t>(std::min(s.entities * count, 9e18));
    f_.readIssues |= s.readIssues;
    f_.renderIssues |= s.renderIssues;
    if (s.zeroLength > 0) {
        f_.zeroLength += static_cast<int64_t>(std::min(s.zeroLength * count, 9e18));
        // Where they lie in the first copy.
        const double x = corners.empty() ? 0 : corners[0].first;
        const double y = corners.empty() ? 0 : corners[0].second;
        for (const auto &[px, py] : s.zeroLengthAt)
            if (f_.zeroLengthAt.size() < ContourFigures::kZeroLengthPlaces)
                f_.zeroLengthAt.emplace_back(px + x, py + y);
    }
    if (summing_) {
        for (std::size_t k = 0; k < s.byKind.size(); ++k)
            summing_->byKind[k] += s.byKind[k] * count;
        summing_->visits += s.visits * count;
        summing_->pieces += s.pieces * count;
        summing_->cutPieces += s.cutPieces * count;
    }
}

void RenderPass::finishPiece(contours::Piece &piece, const contours::PieceSpan &span,
                             const Place &pl) {
    if (piece.segments == 0) return;
    piece.placement = f_.collector->placementOf(pl.bx, pl.by, pl.linear);
    f_.collector->add(piece, span);
}

void RenderPass::walkPath(const tpoly &e, const DrawParams &p, const Place &pl,
                          const Pen &basePen, Rgb color) {
    const double z = p.zoomit;
    const ViewTransform vt = p.view();
    Pen pen = basePen;
    Path path;
    bool interrupted = false;
    if (e.setwidonce && e.detail().thewid > 0) pen.width = e.detail().thewid * z / 100;
    const Rgb arrowColor = p.showmodelforcolor ? kBlack : kWhite;
    // Hidden content is walked for its length only, by a measurement.
    const bool hidden = p.hidden != Hidden::No;
    if (hidden && !f_.collector && !canvas_) return;
    // Only the cut contours count when the user asked for them alone; everything is drawn.
    using contours::MeasureKind;
    MeasureKind kind =
        p.measureAs >= 0 ? static_cast<MeasureKind>(p.measureAs) : contours::measureKindOf(e);
    if (kind == MeasureKind::Cut && e.mesh)
        kind = MeasureKind::Mesh;
    else if (kind == MeasureKind::Cut && currentBroken_)
        kind = MeasureKind::Dashed;
    const bool measured = !hidden && !(f_.cutContoursOnly && kind != MeasureKind::Cut);
    contours::PieceCollector *collector = hidden ? nullptr : f_.collector;
    const std::size_t firstPiece = collector ? collector->pieces.size() : 0;
    // The entity's own length and box: an entity of no length counts for nothing.
    double walked = 0;
    int64_t steps = 0;
    bool boxed = false;
    double bminx = 0, bminy = 0, bmaxx = 0, bmaxy = 0;
    auto box = [&](double x, double y) {
        if (!boxed) {
            bminx = bmaxx = x;
            bminy = bmaxy = y;
            boxed = true;
            return;
        }
        bminx = std::min(bminx, x);
        bmaxx = std::max(bmaxx, x);
        bminy = std::min(bminy, y);
        bmaxy = std::max(bmaxy, y);
    };
    contours::Piece piece;
    piece.entity = static_cast<uint32_t>(current_);
    piece.kind = kind;
    piece.measured = measured;
    int32_t firstWalked = -1;
    contours::PieceSpan span;
    // A summary counts the pieces the walk would collect: runs of steps between jumps.
    bool runOpen = false;
    double runs = 0;

    bool first = true, firstStep = true;
    double Xp = 0, Yp = 0, xp = 0, yp = 0, wxp = 0, wyp = 0;
    double fwx = 0, fwy = 0; // the first vertex walked

    // Arrowheads of dimensions and leaders: as long as their style says, in their colour.
    const bool annotated = e.kind == document::EntityKind::Dimension ||
                           e.kind == document::EntityKind::Leader;
    double arrowPx = z / 100 / 6;
    if (annotated && (e.arrowhead || e.kind == document::EntityKind::Dimension)) {
        const document::DimStyle st = styleOf(e);
        double scale = 1;
        if (pl.linear) scale = std::sqrt(std::fabs(pl.linear->det2()));
        arrowPx = st.dimasz * st.dimscale * scale * z / 100;
    }
    (void)arrowColor;
    auto arrow = [&](double tipX, double tipY, double fromX, double fromY) {
        fillArrow(tipX, tipY, fromX, fromY, arrowPx, color);
    };
    auto startPiece = [&](int i, double wx, double wy) {
        if (!collector) return;
        piece.from = piece.to = i;
        piece.length = 0;
        piece.segments = 0;
        piece.closingSide = false;
        span = {wx, wy, wx, wy, wx, wy, wx, wy};
    };

    for (int i = 0; i < e.anzp; ++i) {
        const auto &v = e.p(i);
        if (v.donotdraw) continue;
        double wx, wy;
        pl.world(v.x, v.y, v.z, wx, wy);
        const double X = vt.screenX(wx);
        const double Y = vt.screenY(wy);
        const float width = v.setwid ? e.geom->width(static_cast<std::size_t>(i)) : 0.0f;
        const bool ownWidth = width != 0;
        if (ownWidth) {
            pen.width = width * z / 100;
            if (pen.width < 0) pen.width = 1;
        }
        if (first) {
            first = false;
            fwx = wx;
            fwy = wy;
            firstWalked = i;
            startPiece(i, wx, wy);
            if (e.ispoint && canvas_) canvas_->fillRect(roundInt(X), roundInt(Y), 1, 1, color);
        } else {
            if (canvas_) {
                // Arrowheads: at the start of the first step of a leader, and wherever the
                // dimension reader marked the segment's end vertex.
                if ((e.arrowhead && firstStep) || v.botharrows == 1 || v.botharrows == 3)
                    arrow(Xp, Yp, X, Y);
                if (v.botharrows == 2 || v.botharrows == 3) arrow(X, Y, Xp, Yp);
            }
            if (v.moveonly) {
                if (canvas_) canvas_->strokePath(path, pen);
                path.clear();
                runOpen = false;
                if (collector) {
                    // A jump ends a piece.
                    finishPiece(piece, span, pl);
                    startPiece(i, wx, wy);
                }
            } else {
                if (canvas_) {
                    addLine(path, Xp, Yp, X, Y);
                    // A new figure takes the rest of the entity's points, room made once.
                    auto &pts = path.figures.back().points;
                    if (pts.size() == 2) pts.reserve(static_cast<std::size_t>(e.anzp - i) + 2);
                }
                // Lengths from the stored coordinates where the placement is a translation, so
                // a drawing measures the same wherever it lies.
                const double step =
                    pl.linear ? std::sqrt((wxp - wx) * (wxp - wx) + (wyp - wy) * (wyp - wy))
                              : std::sqrt((xp - v.x) * (xp - v.x) + (yp - v.y) * (yp - v.y));
                walked += step;
                ++steps;
                if (measured) {
                    f_.konturlang += step;
                    box(wxp, wyp);
                    box(wx, wy);
                }
                if (!runOpen) ++runs;
                runOpen = true;
                if (collector) {
                    piece.length += step;
                    ++piece.segments;
                    piece.to = i;
                    span.ex = wx;
                    span.ey = wy;
                    span.minx = std::min(span.minx, wx);
                    span.miny = std::min(span.miny, wy);
                    span.maxx = std::max(span.maxx, wx);
                    span.maxy = std::max(span.maxy, wy);
                }
            }
            firstStep = false;
        }
        Xp = X;
        Yp = Y;
        xp = v.x;
        yp = v.y;
        wxp = wx;
        wyp = wy;
        if (ownWidth) {
            if (canvas_) canvas_->strokePath(path, pen);
            path.clear();
            interrupted = true;
        }
    }
    // A closed entity that does not come back to its first vertex (a SOLID lists its corners
    // only) is cut all round: its closing side counts like the others.
    if (e.isclosed && !first && !interrupted && (wxp != fwx || wyp != fwy) && !firstStep) {
        const double step = std::sqrt((wxp - fwx) * (wxp - fwx) + (wyp - fwy) * (wyp - fwy));
        walked += step;
        if (measured) f_.konturlang += step;
        if (collector) {
            piece.length += step;
            // The side closes the piece only when no jump came between (a SOLID has none).
            piece.closingSide = piece.from == firstWalked;
            if (piece.closingSide) {
                span.ex = span.sx;
                span.ey = span.sy;
            }
        }
    }
    if (collector && !first) finishPiece(piece, span, pl);
    if (hidden) {
        if (f_.collector) addHidden(p, walked);
    } else if (steps > 0) {
        // Of no length (to a hair of the size of its coordinates), the entity is a point drawn
        // as a line, arc or circle: not cut, and not part of the size.
        if (walked <= kZeroLength * std::max({1.0, std::fabs(fwx), std::fabs(fwy)})) {
            if (measured) {
                f_.konturlang -= walked;
                ++f_.zeroLength;
                if (f_.zeroLengthAt.size() < ContourFigures::kZeroLengthPlaces)
                    f_.zeroLengthAt.emplace_back(fwx, fwy);
            }
            if (collector) collector->truncate(firstPiece);
        } else {
            if (boxed) {
                takeIn(bminx, bminy);
                takeIn(bmaxx, bmaxy);
            }
            if (summing_) {
                // What the walk would have collected, for the copies counted by this summary.
                summing_->byKind[static_cast<std::size_t>(kind)] += walked;
                summing_->pieces += runs;
                if (kind == MeasureKind::Cut && measured) summing_->cutPieces += runs;
            }
        }
    }

    if (!canvas_) return;
    if (e.isclosed && !interrupted) path.closeFigure();
    if (e.kind == document::EntityKind::Hatch) {
        // A hatch shows its filling, not its boundary: a solid one is filled, a pattern drawn as
        // its lines (filled after all when the pattern is too fine to draw line by line).
        const bool lines = e.patternfill && e.geom && !e.geom->pattern().empty();
        if (lines) {
            drawHatchPattern(e, p, pl, pen);
        } else {
            for (auto &f : path.figures) f.closed = true;
            canvas_->fillPath(path, Brush{Brush::Kind::Solid, color, color});
        }
        if (currentSelected_ && !p.forprint) canvas_->strokePath(path, pen);
        return;
    }
    if (e.issolid || e.iswipeout) {
        Brush b;
        if (e.iswipeout) {
            b.color = kWhite;
        } else if (e.patternfill) {
            b.kind = Brush::Kind::BackwardDiagonalHatch;
            b.color = color;
            b.background = kWhite;
        } else {
            b.color = color;
        }
        canvas_->fillPath(path, b);
    }
    canvas_->strokePath(path, pen);
}

void RenderPass::fillArrow(double tipX, double tipY, double fromX, double fromY, double sizePx,
                           Rgb color) {
    if (!canvas_) return;
    const double dx = fromX - tipX, dy = fromY - tipY;
    const double len = std::sqrt(dx * dx + dy * dy);
    if (!(len > 0) || !(sizePx > 0) || !std::isfinite(sizePx)) return;
    // A closed filled arrow: its width a third of its length.
    const double ux = dx / len * sizePx, uy = dy / len * sizePx;
    Path head;
    head.moveTo(tipX, tipY);
    head.lineTo(tipX + ux + uy / 6, tipY + uy - ux / 6);
    head.lineTo(tipX + ux - uy / 6, tipY + uy + ux / 6);
    head.closeFigure();
    canvas_->fillPath(head, Brush{Brush::Kind::Solid, color, color});
}

void RenderPass::drawHatchPattern(const tpoly &e, const DrawParams &p, const Place &pl,
                                  const Pen &basePen) {
    const ViewTransform vt = p.view();
    const auto pts = e.geom->pattern();
    Path lines;
    for (std::size_t i = 0; i + 1 < pts.size(); i += 2) {
        double x0, y0, x1, y1;
        pl.world(pts[i].x, pts[i].y, pts[i].z, x0, y0);
        pl.world(pts[i + 1].x, pts[i + 1].y, pts[i + 1].z, x1, y1);
        lines.moveTo(vt.screenX(x0), vt.exactScreenY(y0));
        lines.lineTo(vt.screenX(x1), vt.exactScreenY(y1));
    }
    Pen pen = basePen;
    pen.dashPattern.clear();
    pen.width = std::min(pen.width, 1.0);
    canvas_->strokePath(lines, pen);
}

void RenderPass::drawViewport(const tpoly &e, const DrawParams &p, double bx, double by) {
    const document::EntityDetail &dt = e.detail();
    // A viewport looks from a sheet into the model; viewports met in what it shows are frames
    // only, as in any CAD program. Entering them would repeat the drawing once per viewport on
    // every level, which a hostile file turns into an endless render.
    if (inViewport_) return;
    const double z = p.zoomit;
    const ViewTransform vt = p.view();
    const Pixel topLeft = vt.pixel(e.cx - dt.widx / 2 + bx, e.cy + dt.widy / 2 + by);
    const Pixel bottomRight = vt.pixel(e.cx + dt.widx / 2 + bx, e.cy - dt.widy / 2 + by);
    if (canvas_) canvas_->pushClipRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
    DrawParams nested = p;
    nested.blocktodraw.clear();
    nested.showmodel = true;
    nested.linear = {};
    nested.linearIdentity = true;
    bool run = true;
    if (dt.viewheight != 0 && dt.widy != 0) {
        const double k = dt.viewheight / dt.widy;
        nested.zoomit = z * dt.widy / dt.viewheight;
        nested.baseblx = (e.cx + bx) * k - dt.panx;
        nested.basebly = (e.cy + by) * k - dt.pany;
        nested.baseblz = -e.cz * k;
        if (!d_.layouts.empty()) {
            nested.thelayhan = d_.layouts[0].layhan;
            run = !(d_.layouts[0].layhan == p.thelayhan && p.showmodel);
        } else {
            nested.thelayhan = kNoLayout;
            run = !(p.thelayhan == kNoLayout && p.showmodel);
        }
    } else {
        nested.thelayhan = kNoLayout;
        nested.baseblx = e.cx + bx - dt.panx;
        nested.basebly = e.cy + by - dt.pany;
        nested.baseblz = -e.cz;
        run = !(p.thelayhan == kNoLayout && p.showmodel);
    }
    if (run && std::isfinite(nested.zoomit) && nested.zoomit > 0) {
        inViewport_ = true;
        Drawpolys(nested);
        inViewport_ = false;
    }
    if (canvas_) canvas_->popClip();
}

void RenderPass::drawGrips(const tpoly &e, const DrawParams &p, const Place &pl) {
    const document::EntityDetail &dt = e.detail();
    if (!canvas_) return;
    const Rgb outline = p.showmodelforcolor ? kBlack : kWhite;
    const ViewTransform vt = p.view();
    for (int i = 0; i < e.anzp; ++i) {
        const auto &v = e.p(i);
        if (v.linex <= 0) continue;
        double wx, wy;
        pl.world(v.x, v.y, v.z, wx, wy);
        const auto [x, y] = vt.pixel(wx, wy);
        if (e.isviewport && dt.viewid != 1 && i >= 5 && i <= 7) {
            canvas_->drawHandleImage(i - 5, x - 8, y - 8);
            continue;
        }
        canvas_->fillRect(x - 5, y - 5, 10, 10, Rgb{0, 0, 255});
        canvas_->frameRect(x - 5, y - 5, 10, 10, outline);
    }
}

} // namespace quentar::render
