// The rectangle tool: two opposite corners.
#include "editor/creation_tools.h"
#include "editor/points_tool.h"
#include "editor/preview_painter.h"

namespace quentar::editor {

namespace {

// The corners in outline order: the first, beside it in x, the opposite, beside it in y.
std::vector<Point3> corners(const Point3 &a, const Point3 &c) {
    return {a, {c.x, a.y, 0}, {c.x, c.y, 0}, {a.x, c.y, 0}};
}

class RectangleTool : public PointsTool {
public:
    explicit RectangleTool(ToolContext &ctx)
        : PointsTool(ctx, ToolButton::Rectangle, Flag::inrec) {}

    void click(const ToolPoint &p) override {
        if (points_.empty()) {
            points_.push_back(p.at());
            return;
        }
        const Point3 first = points_.front();
        createAndEnd(
            [&](const auto &d, const auto &s) { return AddRectangle(d, s, first, p.at()); });
    }

    void drawPreview(PreviewPainter &painter) const override {
        if (points_.empty() || !pointer_) return;
        painter.polyline(corners(points_.front(), pointer_->at()), true);
    }
};

} // namespace

std::unique_ptr<Tool> makeRectangleTool(ToolContext &ctx) {
    return std::make_unique<RectangleTool>(ctx);
}

} // namespace quentar::editor
