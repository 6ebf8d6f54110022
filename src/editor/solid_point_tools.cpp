// The filled-area tool (three or four corners) and the point tool (a point per click).
#include "editor/creation_tools.h"
#include "editor/points_tool.h"
#include "editor/preview_painter.h"

namespace quentar::editor {

namespace {

class SolidTool : public PointsTool {
public:
    explicit SolidTool(ToolContext &ctx) : PointsTool(ctx, ToolButton::Solid, Flag::insolid) {}

    void click(const ToolPoint &p) override {
        if (points_.size() < 3) {
            points_.push_back(p.at());
            return;
        }
        const Point3 a = points_[0], b = points_[1], c = points_[2], d4 = p.at();
        createAndEnd([&](const auto &d, const auto &s) { return AddSolid(d, s, a, b, c, d4); });
    }

    // With three corners given, the right button makes the triangle.
    void rightClick(const ToolPoint &) override {
        if (points_.size() == 3) {
            const Point3 a = points_[0], b = points_[1], c = points_[2];
            createAndEnd([&](const auto &d, const auto &s) { return AddSolid(d, s, a, b, c, c); });
            return;
        }
        ctx_.endTool();
    }

    void drawPreview(PreviewPainter &painter) const override {
        if (points_.empty() || !pointer_) return;
        std::vector<Point3> outline = points_;
        outline.push_back(pointer_->at());
        painter.polyline(outline, true);
    }
};

class PointTool : public Tool {
public:
    explicit PointTool(ToolContext &ctx) : Tool(ctx) {}

    ToolButton button() const override { return ToolButton::Point; }
    bool inProgress() const override { return false; }

    void click(const ToolPoint &p) override {
        ctx_.commit(AddPoint(ctx_.drawing(), ctx_.creationSettings(), p.at()));
    }
};

} // namespace

std::unique_ptr<Tool> makeSolidTool(ToolContext &ctx) { return std::make_unique<SolidTool>(ctx); }
std::unique_ptr<Tool> makePointTool(ToolContext &ctx) { return std::make_unique<PointTool>(ctx); }

} // namespace quentar::editor
