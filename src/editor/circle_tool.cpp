// The circle tool (centre and radius or diameter, two points, three points) and the regular
// polygon, which shares its flag and its first point, the centre.
#include "editor/creation_tools.h"
#include "editor/points_tool.h"
#include "editor/preview_painter.h"

#include <cmath>

namespace quentar::editor {

namespace {

constexpr int kPolygon = 5;

Point3 midpoint(const Point3 &a, const Point3 &b) {
    return {(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2};
}

class CircleTool : public PointsTool {
public:
    CircleTool(ToolContext &ctx, int arcmode, double corners)
        : PointsTool(ctx, arcmode == kPolygon ? ToolButton::PolyGon : ToolButton::Circle,
                     Flag::incircle),
          arcmode_(arcmode), corners_(corners) {}

    void click(const ToolPoint &p) override {
        const Point3 at = p.at();
        if (points_.empty() || (arcmode_ == arcmodes::kThreePointCircle && points_.size() == 1)) {
            points_.push_back(at);
            return;
        }
        const Point3 first = points_.front();
        switch (arcmode_) {
        case arcmodes::kCentreRadius:
        case arcmodes::kCentreDiameter:
            createAndEnd(
                [&](const auto &d, const auto &s) { return AddCircle(d, s, arcmode_, first, at); });
            return;
        case arcmodes::kTwoPointCircle:
            createAndEnd([&](const auto &d, const auto &s) {
                return AddCircle(d, s, arcmode_, midpoint(first, at), at);
            });
            return;
        case kPolygon:
            createAndEnd([&](const auto &d, const auto &s) {
                return AddPolyGon(d, s, first, at, corners_);
            });
            return;
        case arcmodes::kThreePointCircle: {
            const Point3 second = points_[1];
            createAndEnd([&](const auto &d, const auto &s) {
                return AddCircleDurch3Punkte(d, s, first, second, at);
            });
            return;
        }
        default: ctx_.endTool();
        }
    }

    void drawPreview(PreviewPainter &painter) const override {
        if (points_.empty() || !pointer_) return;
        const Point3 first = points_.front(), at = pointer_->at();
        const double d = spatialDistance(first, at);
        switch (arcmode_) {
        case arcmodes::kCentreRadius:
            painter.circle(first, d);
            painter.helperLine(first, at);
            return;
        case arcmodes::kCentreDiameter:
            painter.circle(first, d / 2);
            painter.helperLine(first, at);
            return;
        case arcmodes::kTwoPointCircle: painter.circle(midpoint(first, at), d / 2); return;
        case kPolygon: {
            std::vector<Point3> corners;
            for (const DrawnVertex &v : polygonCorners(first, at, polygonCornerCount(corners_)))
                corners.push_back({v.x, v.y, 0});
            painter.polyline(corners, true);
            return;
        }
        case arcmodes::kThreePointCircle: {
            CircleArc c;
            if (points_.size() == 2 &&
                ArcDurch3Punkte(first.x, first.y, points_[1].x, points_[1].y, at.x, at.y, c))
                painter.circle({c.arcmx, c.arcmy, 0}, c.arcradius);
            else
                painter.polyline(points_.size() == 2 ? std::vector<Point3>{first, points_[1], at}
                                                     : std::vector<Point3>{first, at});
            return;
        }
        default: return;
        }
    }

private:
    int arcmode_;
    double corners_;
};

} // namespace

std::unique_ptr<Tool> makeCircleTool(ToolContext &ctx, int arcmode, double corners) {
    return std::make_unique<CircleTool>(ctx, arcmode, corners);
}

} // namespace quentar::editor
