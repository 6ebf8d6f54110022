// The arc tool: three points on the arc (start, middle, end or start, end, middle), or the centre
// and the directions of start and end.
#include "editor/creation_tools.h"
#include "editor/points_tool.h"
#include "editor/preview_painter.h"

namespace quentar::editor {

namespace {

class ArcTool : public PointsTool {
public:
    ArcTool(ToolContext &ctx, int arcmode)
        : PointsTool(ctx, ToolButton::Arc, Flag::inarc), arcmode_(arcmode) {}

    void click(const ToolPoint &p) override {
        if (points_.size() < 2) {
            points_.push_back(p.at());
            return;
        }
        const Point3 a = points_[0], b = points_[1], c = p.at();
        createAndEnd([&](const auto &d, const auto &s) { return AddArc(d, s, arcmode_, a, b, c); });
    }

    void drawPreview(PreviewPainter &painter) const override {
        if (points_.empty() || !pointer_) return;
        const Point3 at = pointer_->at();
        if (points_.size() == 1) {
            painter.line(points_[0], at);
            return;
        }
        if (const auto arc = arcFromPoints(arcmode_, points_[0], points_[1], at)) {
            painter.arc({arc->arcmx, arc->arcmy, 0}, arc->arcradius, arc->arcwinkel1,
                        arc->arcwinkel2);
            if (arcmode_ == arcmodes::kCentreStartEnd) painter.helperLine(points_[0], at);
        } else {
            painter.polyline({points_[0], points_[1], at});
        }
    }

private:
    int arcmode_;
};

} // namespace

std::unique_ptr<Tool> makeArcTool(ToolContext &ctx, int arcmode) {
    return std::make_unique<ArcTool>(ctx, arcmode);
}

} // namespace quentar::editor
