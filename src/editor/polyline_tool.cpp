// Polyline, freehand and spline input: the vertices clicked (or stroked), tangent arc segments,
// the menu that finishes or closes the input, and the spline's two tangent points.
#include "editor/creation_tools.h"
#include "editor/preview_painter.h"
#include "editor/tool_host.h"

#include <cmath>

namespace quentar::editor {

namespace {

constexpr int kPolyline = 0, kFreehand = 1, kSpline = 2;
// The spline is fitted with the same start of the random search for its preview and its
// creation, so the curve the preview shows is the curve created.
constexpr uint64_t kSplineSeed = 0x5eed;

class PolylineTool : public Tool {
public:
    PolylineTool(ToolContext &ctx, int arcmode) : Tool(ctx), arcmode_(arcmode) {}

    ToolButton button() const override {
        return arcmode_ == kFreehand ? ToolButton::Pen
               : arcmode_ == kSpline ? ToolButton::Spline
                                     : ToolButton::PolyLine;
    }
    bool holds(Flag f) const override { return f == Flag::inpoly && inpoly_; }
    bool inProgress() const override { return inpoly_; }
    std::optional<Point3> reference() const override {
        if (!inpoly_ || polyline0_.empty()) return std::nullopt;
        const DrawnVertex &v = polyline0_.back();
        return Point3{v.x, v.y, 0};
    }

    void click(const ToolPoint &p) override {
        if (!inpoly_) {
            inpoly_ = true;
            polyline0_ = {{p.x, p.y, 0, 0}};
            return;
        }
        if (arcmode_ == kFreehand) return; // a stroke follows the pointer, not clicks
        lockIn(p);
        if (splinemode_ == 1) {
            splinemode_ = 2;
        } else if (splinemode_ == 2) {
            // The end-tangent point: the spline is complete.
            inpoly_ = false;
            createSpline(2);
            ctx_.endTool();
        }
    }

    void rightClick(const ToolPoint &p) override {
        if (arcmode_ == kFreehand) {
            if (inpoly_)
                menuItem(PolylineMenuItem::Finish);
            else
                ctx_.endTool();
            return;
        }
        if (!inpoly_) {
            ctx_.endTool();
            return;
        }
        menuItem(ctx_.host().choosePolylineItem(p.px, p.py));
    }

    void drag(const ToolPoint &p) override {
        if (arcmode_ != kFreehand || !inpoly_) return;
        // Every position the pointer passes, unsnapped; a position repeated adds nothing.
        const DrawnVertex &last = polyline0_.back();
        if (last.x == p.x && last.y == p.y) return;
        polyline0_.push_back({p.x, p.y, 0, 0});
    }

    void release(const ToolPoint &) override {
        if (arcmode_ == kFreehand && inpoly_) menuItem(PolylineMenuItem::Finish);
    }

    void escape() override {
        if (arcmode_ == kSpline) {
            menuItem(PolylineMenuItem::Finish);
            return;
        }
        inpoly_ = false;
        if (polyline0_.size() >= 2)
            ctx_.commit(AddPolyLine(ctx_.drawing(), settings(), polyline0_, false));
        ctx_.endTool();
    }

    void menuItem(PolylineMenuItem item) override {
        if (!inpoly_) return;
        switch (item) {
        case PolylineMenuItem::None: return;
        case PolylineMenuItem::Finish:
        case PolylineMenuItem::Close: finish(item == PolylineMenuItem::Close); return;
        case PolylineMenuItem::ArcSegments:
        case PolylineMenuItem::LineSegments:
            addmode_ = item == PolylineMenuItem::ArcSegments ? 1 : 0;
            polyline0_.back().bulge = 0;
            return;
        }
    }

    void drawPreview(PreviewPainter &painter) const override {
        if (!inpoly_) return;
        if (arcmode_ == kSpline) {
            drawSplinePreview(painter);
            return;
        }
        std::vector<DrawnVertex> v = polyline0_;
        if (pointer_ && arcmode_ == kPolyline) {
            if (addmode_ == 1) v.back().bulge = bulgeTo(*pointer_);
            v.push_back({pointer_->x, pointer_->y, 0, 0});
        }
        painter.bulgedPolyline(v);
    }

private:
    CreationSettings settings() { return ctx_.creationSettings(); }

    // The bulge of the segment from the last vertex to `p`: a tangent arc continues the
    // direction in which the polyline arrives there (the first segment leaves to the right).
    double bulgeTo(const ToolPoint &p) const {
        const std::size_t n = polyline0_.size();
        const DrawnVertex &last = polyline0_[n - 1];
        double dx = 1, dy = 0;
        if (n >= 2) {
            const DrawnVertex &prev = polyline0_[n - 2];
            arcEndDirection({prev.x, prev.y, 0}, {last.x, last.y, 0}, prev.bulge, dx, dy);
        }
        return tangentBulge(dx, dy, {last.x, last.y, 0}, p.at());
    }

    void lockIn(const ToolPoint &p) {
        if (addmode_ == 1 && arcmode_ == kPolyline) polyline0_.back().bulge = bulgeTo(p);
        polyline0_.push_back({p.x, p.y, 0, 0});
    }

    void finish(bool close) {
        if (arcmode_ == kSpline) {
            if (splinemode_ == 0) {
                if (polyline0_.size() >= 3) {
                    // On to the two tangent points.
                    splineshouldclose_ = close;
                    if (close) polyline0_.push_back(polyline0_.front());
                    splinemode_ = 1;
                    return;
                }
                inpoly_ = false;
                ctx_.endTool();
                return;
            }
            // A tangent point already given counts as an ordinary point.
            inpoly_ = false;
            splinemode_ = 0;
            createSpline(0);
            ctx_.endTool();
            return;
        }
        inpoly_ = false;
        if (polyline0_.size() >= 2)
            ctx_.commit(AddPolyLine(ctx_.drawing(), settings(), polyline0_, close));
        // A freehand stroke ends; the tool waits for the next one.
        if (arcmode_ == kFreehand) {
            polyline0_.clear();
            return;
        }
        ctx_.endTool();
    }

    void createSpline(int mode) {
        if (polyline0_.size() < 2) return;
        render::RandomSource rng(kSplineSeed);
        ctx_.commit(
            AddSPLINE(ctx_.drawing(), settings(), polyline0_, mode, splineshouldclose_, rng));
    }

    // The curve for the points given and the pointer as the next click would make it, and in
    // the tangent phases the tangent lines.
    void drawSplinePreview(PreviewPainter &painter) const {
        std::vector<DrawnVertex> v = polyline0_;
        int mode = splinemode_;
        if (pointer_ && splinemode_ != 1) v.push_back({pointer_->x, pointer_->y, 0, 0});
        if (splinemode_ == 1) mode = 1;
        std::vector<int> fixed;
        const std::vector<Point3> targets = splineTargets(v, mode, fixed);
        render::RandomSource rng(kSplineSeed);
        if (const auto spline = fitSpline(targets, fixed, rng)) {
            std::vector<Point3> curve;
            const int n = static_cast<int>(spline->control.size()) - 1;
            render::samplespline(n, spline->degree + 1, spline->control, render::kSplineSamples,
                                 curve, spline->knots);
            painter.polyline(curve);
        } else if (!v.empty()) {
            painter.line({v[0].x, v[0].y, 0}, {v.back().x, v.back().y, 0});
        }
        if (!pointer_ || splinemode_ == 0) return;
        // The tangent points pull the curve away from them at its ends.
        const std::size_t fits = splinemode_ == 1 ? polyline0_.size() : polyline0_.size() - 1;
        const DrawnVertex &first = polyline0_.front(), &last = polyline0_[fits - 1];
        if (splinemode_ == 1) {
            painter.helperLine(pointer_->at(), {first.x, first.y, 0});
        } else {
            const DrawnVertex &t1 = polyline0_.back();
            painter.helperLine({t1.x, t1.y, 0}, {first.x, first.y, 0});
            painter.helperLine(pointer_->at(), {last.x, last.y, 0});
        }
    }

    int arcmode_;
    bool inpoly_ = false;
    std::vector<DrawnVertex> polyline0_;
    int addmode_ = 0;    // segments: 0 straight, 1 tangent arcs
    int splinemode_ = 0; // 0 fit points, 1 waiting for the start tangent, 2 for the end tangent
    bool splineshouldclose_ = false;
};

} // namespace

std::unique_ptr<Tool> makePolylineTool(ToolContext &ctx, int arcmode) {
    return std::make_unique<PolylineTool>(ctx, arcmode);
}

} // namespace quentar::editor
