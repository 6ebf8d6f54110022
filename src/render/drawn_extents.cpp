// The drawn extents of the entities: a render pass on a surface that keeps bounds, and the index.
#include "render/drawn_extents.h"

#include "render/canvas.h"
#include "render/drawn_bounds.h"
#include "render/render_pass.h"
#include "render/view.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_set>

namespace quentar::render {

namespace {

// The zoom the bounds are taken at makes the drawing about this many pixels across: texts are
// drawn up to ten times the drawing's size, and the whole-pixel rounding of the pass is a ten
// thousandth of it.
constexpr double kBoundsSpanPx = 1e4;
// Pixel coordinates stay below this, so that doubles still resolve a pixel.
constexpr double kBoundsLimitPx = 1e12;
// Every box grows by this much for the pass's rounding of y to whole pixels (half a pixel).
constexpr double kRoundingSlackPx = 1;

// Texts are measured without fonts: no glyph of a common font is wider than this many font
// sizes, nor a line taller; the box reaches that far on every side of the text's origin, so that
// any alignment, centring or wrapping of the text within that span stays inside.
constexpr double kGlyphWidthEm = 1.2;
constexpr double kLineHeightEm = 1.7;

struct PixelBox {
    double l = 0, t = 0, r = 0, b = 0;
    bool any = false;
    void add(double x, double y) {
        if (!std::isfinite(x) || !std::isfinite(y))
            return;
        if (!any) {
            l = r = x;
            t = b = y;
            any = true;
            return;
        }
        l = std::min(l, x);
        r = std::max(r, x);
        t = std::min(t, y);
        b = std::max(b, y);
    }
    void add(const PixelBox &o, double grow) {
        if (!o.any)
            return;
        add(o.l - grow, o.t - grow);
        add(o.r + grow, o.b + grow);
    }
};

std::size_t codePoints(std::string_view text) {
    std::size_t n = 0;
    for (unsigned char c : text)
        n += (c & 0xC0) != 0x80;
    return n;
}

// Keeps the pixel bounds of what is drawn on it: for every entity drawn at the outermost level
// (the contents of its inserted blocks included), or of everything.
class BoundsCanvas : public Canvas {
public:
    // The bounds of each outermost entity: texts reach far on every side, clips stand for the
    // viewport contents left out.
    explicit BoundsCanvas(std::size_t entities) : boxes_(entities) {}

    std::vector<PixelBox> &boxes() { return boxes_; }

    void strokePath(const Path &path, const Pen &pen) override {
        const double w = std::isfinite(pen.width) && pen.width > 0 ? pen.width / 2 : 0.5;
        addPath(path, w);
    }
    void fillPath(const Path &path, const Brush &) override { addPath(path, 0); }
    void fillRect(int x, int y, int width, int height, Rgb) override {
        add(x, y);
        add(static_cast<double>(x) + width, static_cast<double>(y) + height);
    }
    void frameRect(int x, int y, int width, int height, Rgb c) override {
        fillRect(x, y, width, height, c);
    }
    void drawText(std::string_view text, double sizePx, const Transform &world, Rgb) override {
        addText(text, sizePx, world);
    }
    void strokeText(std::string_view text, double sizePx, const Transform &world,
                    const Pen &) override {
        addText(text, sizePx, world);
    }
    void textExtent(std::string_view text, int sizePx, int &width, int &height) override {
        width = static_cast<int>(
            std::min(1e9, kTypicalWidthEm * sizePx * static_cast<double>(codePoints(text))));
        height = static_cast<int>(std::min(1e9, kTypicalHeightEm * sizePx));
    }
    void pushClipRect(int left, int top, int right, int bottom) override {
        PixelBox clip;
        clip.add(left, top);
        clip.add(right, bottom);
        if (!clips_.empty()) {
            const PixelBox &outer = clips_.back();
            clip.l = std::max(clip.l, outer.l);
            clip.t = std::max(clip.t, outer.t);
            clip.r = std::max(clip.l, std::min(clip.r, outer.r));
            clip.b = std::max(clip.t, std::min(clip.b, outer.b));
        }
        // A viewport's contents are left out while the extents are taken: its clip stands for
        // them.
        add(left, top), add(right, bottom);
        clips_.push_back(clip);
    }
    void popClip() override {
        if (!clips_.empty())
            clips_.pop_back();
    }
    void drawHandleImage(int, int x, int y) override { fillRect(x, y, 16, 16, kBlack); }

    void beginEntity(std::size_t index) override {
        if (depth_++ == 0) {
            entity_ = index;
            current_ = {};
        }
    }
    void endEntity() override {
        if (depth_ == 0 || --depth_ > 0)
            return;
        if (entity_ < boxes_.size())
            boxes_[entity_].add(current_, 0);
    }

private:
    // Typical extents of a text in the pass's font, em (what centring a text may rely on).
    static constexpr double kTypicalWidthEm = 0.6;
    static constexpr double kTypicalHeightEm = 1.15;

    void add(double x, double y) {
        if (!clips_.empty()) {
            // What is drawn outside a clip is not seen.
            const PixelBox &c = clips_.back();
            x = std::clamp(x, c.l, c.r);
            y = std::clamp(y, c.t, c.b);
        }
        current_.add(x, y);
    }
    void addPath(const Path &path, double grow) {
        for (const Path::Figure &f : path.figures)
            for (const PointF &p : f.points) {
                add(p.x - grow, p.y - grow);
                add(p.x + grow, p.y + grow);
            }
    }
    void addText(std::string_view text, double sizePx, const Transform &w) {
        if (!std::isfinite(sizePx))
            return;
        // The pass rounds the size to whole pixels; the text may be up to half a pixel larger.
        const double em = std::fabs(sizePx) + 0.5;
        const double n = static_cast<double>(codePoints(text));
        // Far enough on every side for any alignment, centring or wrapping of the text.
        const double x1 = em * std::max(kGlyphWidthEm, kLineHeightEm) * (n + 1), y1 = x1;
        const double x0 = -x1, y0 = -y1;
        for (const double x : {x0, x1})
            for (const double y : {y0, y1})
                add(w.m11 * x + w.m21 * y + w.dx, w.m12 * x + w.m22 * y + w.dy);
    }

    std::vector<PixelBox> boxes_;
    PixelBox current_;
    std::vector<PixelBox> clips_;
    std::size_t entity_ = 0;
    int depth_ = 0;
};

// A stroked outline the pass draws from its vertices alone.
bool isPlainOutline(const document::tpoly &e) {
    using document::EntityKind;
    switch (e.kind) {
    case EntityKind::Line:
    case EntityKind::LwPolyline:
    case EntityKind::Polyline:
    case EntityKind::Arc:
    case EntityKind::Circle:
    case EntityKind::Ellipse:
    case EntityKind::Spline:
        break;
    default:
        return false;
    }
    if (e.issolid || e.iswipeout || e.patternfill || e.ispoint || e.isviewport || e.arrowhead ||
        !e.detail().textstr.empty() || !e.detail().insertstr.empty() ||
        (e.setwidonce && e.detail().thewid != 0) || !e.geom)
        return false;
    bool first = true; // a jump to the first vertex drawn (from a centre) is no jump
    for (int i = 0; i < e.anzp; ++i) {
        const document::Tmypoi &v = e.p(i);
        if ((v.moveonly && !first) ||
            (v.setwid && e.geom->width(static_cast<std::size_t>(i)) != 0) || v.botharrows != 0 ||
            v.doadddimtexthere)
            return false;
        if (!v.donotdraw)
            first = false;
    }
    return true;
}

// The zoom to take the bounds at: the drawing kBoundsSpanPx across, coordinates within reach.
double boundsZoom(const document::Drawing &d) {
    double minx = 0, miny = 0, maxx = 0, maxy = 0, far = 0;
    bool first = true;
    for (int i = 0; i < d.anzpoly; ++i) {
        const document::tpoly &e = d.polys[static_cast<std::size_t>(i)];
        for (int k = 0; k < e.anzp; ++k) {
            const double x = e.p(k).x, y = e.p(k).y;
            if (!std::isfinite(x) || !std::isfinite(y))
                continue;
            if (first) {
                minx = maxx = x;
                miny = maxy = y;
                first = false;
            }
            minx = std::min(minx, x);
            maxx = std::max(maxx, x);
            miny = std::min(miny, y);
            maxy = std::max(maxy, y);
            far = std::max({far, std::fabs(x), std::fabs(y)});
        }
    }
    const double span = std::max(maxx - minx, maxy - miny);
    double pxPerUnit = span > 0 ? kBoundsSpanPx / span : 1;
    if (far > 0)
        pxPerUnit = std::min(pxPerUnit, kBoundsLimitPx / far);
    if (!(pxPerUnit > 0) || !std::isfinite(pxPerUnit))
        pxPerUnit = 1;
    return pxPerUnit * 100;
}

ExtentBox unionOf(const ExtentBox &a, const ExtentBox &b) {
    return {std::min(a.minx, b.minx), std::min(a.miny, b.miny), std::max(a.maxx, b.maxx),
            std::max(a.maxy, b.maxy)};
}

} // namespace

void DrawnExtents::clear() {
    built_ = usable_ = false;
    widestLineweight_ = 0;
    boxes_.clear();
    bounded_.clear();
    coarseAt_.clear();
    coarseCount_.clear();
    coarse_.clear();
    levels_.clear();
    items_.clear();
    unbounded_.clear();
    marks_.clear();
}

void DrawnExtents::build(const document::Drawing &d) {
    clear();
    const std::size_t n = static_cast<std::size_t>(std::max(d.anzpoly, 0));
    boxes_.assign(n, {});
    bounded_.assign(n, 0);
    coarseAt_.assign(n, kNone);
    coarseCount_.assign(n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        const document::tpoly &e = d.polys[i];
        if (e.linweightpresent)
            widestLineweight_ = std::max(widestLineweight_, e.lineweight);
    }
    for (int i = 0; i < d.anzlayer && i < static_cast<int>(d.layers.size()); ++i) {
        const document::TLayer &l = d.layers[static_cast<std::size_t>(i)];
        if (l.linweightpresent)
            widestLineweight_ = std::max(widestLineweight_, l.lineweight);
    }

    // Every entity drawn once, at the top level or in its block at the block's base point.
    const double zoom = boundsZoom(d);
    BoundsCanvas canvas(n);
    ContourFigures figures;
    RenderPass pass(d, figures, &canvas);
    pass.setTakingExtents(true);
    DrawParams p;
    p.zoomit = zoom;
    p.paintbox1height = 1; // y = 0 on row 0: pixel y is minus the drawing's, scaled
    p.forprint = true;
    pass.Drawpolys(p);
    std::unordered_set<std::string_view> blocks;
    for (std::size_t i = 0; i < n; ++i)
        if (d.polys[i].isblock && blocks.insert(d.polys[i].detail().theblockname).second) {
            p.blocktodraw = d.polys[i].detail().theblockname;
            pass.Drawpolys(p);
        }
    usable_ = (figures.renderIssues & kRenderVisitsCut) == 0;

    const double unitsPerPx = 100 / zoom;
    std::vector<uint32_t> items;
    for (std::size_t i = 0; i < n; ++i) {
        const PixelBox &b = canvas.boxes()[i];
        if (b.any) {
            const double g = kRoundingSlackPx;
            ExtentBox box{(b.l - g) * unitsPerPx, -(b.b + g) * unitsPerPx, (b.r + g) * unitsPerPx,
                          -(b.t - g) * unitsPerPx};
            if (std::isfinite(box.minx) && std::isfinite(box.miny) && std::isfinite(box.maxx) &&
                std::isfinite(box.maxy)) {
                boxes_[i] = box;
                bounded_[i] = 1;
            }
        }
        if (bounded_[i])
            keepCoarse(d.polys[i], i);
        if (d.polys[i].isblock)
            continue;
        if (bounded_[i])
            items.push_back(static_cast<uint32_t>(i));
        else
            unbounded_.push_back(static_cast<uint32_t>(i));
    }
    buildTree(std::move(items));
    marks_.assign((n + 63) / 64, 0);
    built_ = true;
}

void DrawnExtents::keepCoarse(const document::tpoly &e, std::size_t i) {
    if (e.anzp < 2 || !isPlainOutline(e))
        return;
    int last = e.anzp - 1;
    while (last >= 0 && e.p(last).donotdraw)
        --last;
    // The coordinates the box is in: a block's entities relative to its base point.
    const double ox = boxes_[i].minx + (e.isblock ? e.detail().blockbasex : 0);
    const double oy = boxes_[i].miny + (e.isblock ? e.detail().blockbasey : 0);
    const std::size_t at = coarse_.size();
    auto keep = [&](int k) {
        coarse_.push_back(static_cast<float>(e.p(k).x - ox));
        coarse_.push_back(static_cast<float>(e.p(k).y - oy));
    };
    int first = 0;
    while (first <= last && e.p(first).donotdraw)
        ++first;
    const int gaps = static_cast<int>(kCoarsePoints) - 1;
    const int step = std::max(1, (last - first + gaps - 1) / gaps);
    int taken = -1;
    for (int k = first; k <= last; k += step) {
        if (e.p(k).donotdraw)
            continue;
        keep(k);
        taken = k;
    }
    if (taken >= 0 && taken != last)
        keep(last);
    const std::size_t count = (coarse_.size() - at) / 2;
    if (count < 2 || count > kCoarsePoints + 1) {
        coarse_.resize(at);
        return;
    }
    coarseAt_[i] = static_cast<uint32_t>(at);
    coarseCount_[i] = static_cast<uint8_t>(count | (e.isclosed ? 0x80 : 0));
}

DrawnExtents::CoarseOutline DrawnExtents::coarseOutline(std::size_t i) const {
    if (i >= coarseAt_.size() || coarseAt_[i] == kNone)
        return {};
    return {coarse_.data() + coarseAt_[i], coarseCount_[i] & 0x7Fu, (coarseCount_[i] & 0x80) != 0};
}

bool drawnExtentOfTab(const document::Drawing &d, int tab, ExtentBox &out) {
    // One routine for the extent of a tab: the fit's.
    const DrawnBox b = drawnBounds(d, tabView(d, tab));
    if (b.empty) return false;
    out = {b.minx, b.miny, b.maxx, b.maxy};
    return true;
}

void DrawnExtents::buildTree(std::vector<uint32_t> items) {
    // Sort-tile-recursive packing: slices by x, runs by y within each slice.
    constexpr std::size_t kFanout = 16;
    auto pack = [](std::vector<uint32_t> &order, auto boxOf) {
        const std::size_t count = order.size();
        const std::size_t leaves = (count + kFanout - 1) / kFanout;
        const std::size_t slices = static_cast<std::size_t>(std::ceil(std::sqrt(leaves)));
        const std::size_t perSlice = slices * kFanout;
        auto cx = [&](uint32_t i) { return boxOf(i).minx + boxOf(i).maxx; };
        auto cy = [&](uint32_t i) { return boxOf(i).miny + boxOf(i).maxy; };
        std::sort(order.begin(), order.end(),
                  [&](uint32_t a, uint32_t b) { return cx(a) < cx(b); });
        for (std::size_t s = 0; s < count; s += perSlice) {
            const auto from = order.begin() + static_cast<std::ptrdiff_t>(s);
            const auto to =
                order.begin() + static_cast<std::ptrdiff_t>(std::min(count, s + perSlice));
            std::sort(from, to, [&](uint32_t a, uint32_t b) { return cy(a) < cy(b); });
        }
    };
    auto group = [&](const std::vector<uint32_t> &order, auto boxOf) {
        std::vector<Node> level;
        for (std::size_t s = 0; s < order.size(); s += kFanout) {
            Node node;
            node.first = static_cast<uint32_t>(s);
            node.count = static_cast<uint32_t>(std::min(kFanout, order.size() - s));
            node.box = boxOf(order[s]);
            for (std::size_t k = 1; k < node.count; ++k)
                node.box = unionOf(node.box, boxOf(order[s + k]));
            level.push_back(node);
        }
        return level;
    };
    if (items.empty())
        return;
    auto entityBox = [this](uint32_t i) -> const ExtentBox & { return boxes_[i]; };
    pack(items, entityBox);
    levels_.push_back(group(items, entityBox));
    items_ = std::move(items);
    while (levels_.back().size() > 1) {
        // The nodes of the level below, packed in turn; children keep their place in it.
        std::vector<Node> below = levels_.back();
        std::vector<uint32_t> order(below.size());
        std::iota(order.begin(), order.end(), 0u);
        auto nodeBox = [&below](uint32_t i) -> const ExtentBox & { return below[i].box; };
        pack(order, nodeBox);
        std::vector<Node> sorted;
        sorted.reserve(below.size());
        for (uint32_t i : order)
            sorted.push_back(below[i]);
        levels_.back() = sorted;
        std::vector<uint32_t> identity(sorted.size());
        std::iota(identity.begin(), identity.end(), 0u);
        auto sortedBox = [&sorted](uint32_t i) -> const ExtentBox & { return sorted[i].box; };
        levels_.push_back(group(identity, sortedBox));
    }
}

void DrawnExtents::topLevelIn(const ExtentBox &view, std::vector<uint32_t> &out) const {
    out.clear();
    if (!built_)
        return;
    std::fill(marks_.begin(), marks_.end(), 0);
    auto mark = [this](uint32_t i) { marks_[i >> 6] |= uint64_t{1} << (i & 63); };
    for (uint32_t i : unbounded_)
        mark(i);
    if (!levels_.empty()) {
        // Depth-first from the root: (level, node) pairs still to look into.
        std::vector<std::pair<std::size_t, uint32_t>> todo{{levels_.size() - 1, 0}};
        while (!todo.empty()) {
            const auto [level, index] = todo.back();
            todo.pop_back();
            const Node &node = levels_[level][index];
            if (!node.box.meets(view))
                continue;
            for (uint32_t k = node.first; k < node.first + node.count; ++k) {
                if (level > 0)
                    todo.push_back({level - 1, k});
                else if (boxes_[items_[k]].meets(view))
                    mark(items_[k]);
            }
        }
    }
    for (std::size_t w = 0; w < marks_.size(); ++w)
        for (uint64_t bits = marks_[w]; bits != 0; bits &= bits - 1)
            out.push_back(
                static_cast<uint32_t>(w * 64 + static_cast<std::size_t>(__builtin_ctzll(bits))));
}

} // namespace quentar::render
