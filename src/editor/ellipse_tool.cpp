// The ellipse tool: by its axes (the major axis, then a point giving the minor one) or by its
// centre, and elliptical arcs, whose fourth and fifth points give where the arc starts and ends.
#include "editor/creation_tools.h"
#include "editor/points_tool.h"
#include "editor/preview_painter.h"

#include <cmath>

namespace quentar::editor {

namespace {

bool arcMode(int arcmode) {
    return arcmode == arcmodes::kEllipseArcAxes || arcmode == arcmodes::kEllipseArcCentre;
}

class EllipseTool : public PointsTool {
public:
    EllipseTool(ToolContext &ctx, int arcmode)
        : PointsTool(ctx, ToolButton::Ellipse, Flag::inellipse), arcmode_(arcmode) {}

    void click(const ToolPoint &p) override {
        const Point3 at = p.at();
        const std::size_t n = points_.size();
        if (n < 2 || (arcMode(arcmode_) && n < 4)) {
            points_.push_back(at);
            if (points_.size() == 4) ellipsewinkel1_ = parameterToward(at);
            return;
        }
        const Point3 a = points_[0], b = points_[1], c = points_[2 < n ? 2 : 0];
        if (!arcMode(arcmode_)) {
            createAndEnd(
                [&](const auto &d, const auto &s) { return AddEllipse(d, s, arcmode_, a, b, at); });
            return;
        }
        const double w1 = ellipsewinkel1_, w2 = parameterToward(at);
        createAndEnd([&](const auto &d, const auto &s) {
            return AddEllipse(d, s, arcmode_, a, b, c, w1, w2);
        });
    }

    void drawPreview(PreviewPainter &painter) const override {
        if (points_.empty() || !pointer_) return;
        const Point3 at = pointer_->at();
        const std::size_t n = points_.size();
        if (n == 1) {
            painter.line(points_[0], at);
            return;
        }
        if (n == 2) {
            if (const auto e = ellipseFromPoints(arcmode_, points_[0], points_[1], at, 0, 0))
                painter.ellipse(*e, true);
            return;
        }
        const Point3 centre = centreOf();
        if (n == 3) {
            if (const auto e =
                    ellipseFromPoints(arcmode_, points_[0], points_[1], points_[2], 0, 0))
                painter.ellipse(*e, true);
            painter.helperLine(centre, at);
            return;
        }
        if (const auto e = ellipseFromPoints(arcmode_, points_[0], points_[1], points_[2],
                                             ellipsewinkel1_, parameterToward(at)))
            painter.ellipse(*e, false);
        painter.helperLine(centre, at);
    }

private:
    Point3 centreOf() const {
        const bool byCentre =
            arcmode_ == arcmodes::kEllipseCentre || arcmode_ == arcmodes::kEllipseArcCentre;
        const Point3 &a = points_[0], &b = points_[1];
        return byCentre ? a : Point3{(a.x + b.x) / 2, (a.y + b.y) / 2, 0};
    }

    // Where the ray from the centre through `q` meets the ellipse of the first three points, as
    // the parameter of the ellipse with the major axis as given (AddEllipse turns it along when
    // the axes are swapped).
    double parameterToward(const Point3 &q) const {
        const Point3 c = centreOf();
        const Point3 major{points_[1].x - c.x, points_[1].y - c.y, 0};
        const double a = std::hypot(major.x, major.y);
        const double b = std::hypot(points_[2].x - c.x, points_[2].y - c.y);
        if (!(a > 0)) return 0;
        return ellipseParameterToward(c, major, b / a, q);
    }

    int arcmode_;
    double ellipsewinkel1_ = 0; // start parameter, from the fourth point
};

} // namespace

std::unique_ptr<Tool> makeEllipseTool(ToolContext &ctx, int arcmode) {
    return std::make_unique<EllipseTool>(ctx, arcmode);
}

} // namespace quentar::editor
