// The line tool: lines that chain, construction lines and rays that fan out from their first point,
// and the arrow that puts an arrowhead at the start of its first line.
#include "editor/creation_tools.h"
#include "editor/preview_painter.h"

namespace quentar::editor {

namespace {

class LineTool : public Tool {
public:
    LineTool(ToolContext &ctx, int arcmode, bool arrow)
        : Tool(ctx), arcmode_(arcmode), arrowButton_(arrow), inarrow_(arrow) {}

    ToolButton button() const override {
        return arrowButton_ ? ToolButton::Arrow : ToolButton::Line;
    }
    bool holds(Flag f) const override {
        return start_ && (f == Flag::inlin || (f == Flag::inarrow && inarrow_));
    }
    bool inProgress() const override { return start_.has_value(); }
    std::optional<Point3> reference() const override { return start_; }

    void click(const ToolPoint &p) override {
        if (!start_) {
            start_ = p.at();
            return;
        }
        // A second click on the start (the second press of a double click) is no line.
        if (p.x == start_->x && p.y == start_->y) return;
        const document::Drawing &d = ctx_.drawing();
        const CreationSettings s = ctx_.creationSettings();
        Creation c = AddLine(d, s, arcmode_, *start_, p.at());
        if (inarrow_ && c.created()) {
            Creation head = AddArrowToLine(d, s, start_->x, start_->y, p.x, p.y, &c);
            for (auto &step : head.steps) c.steps.push_back(std::move(step));
            if (!c.message) c.message = head.message;
        }
        ctx_.commit(c);
        inarrow_ = false;
        // Lines chain from the point just given, exactly; construction lines and rays keep
        // their first point.
        if (arcmode_ == arcmodes::kLine) start_ = p.at();
    }

    void drawPreview(PreviewPainter &painter) const override {
        if (!start_ || !pointer_) return;
        const Point3 to = pointer_->at();
        if (arcmode_ == arcmodes::kConstructionLine)
            painter.farLine(*start_, to, true);
        else if (arcmode_ == arcmodes::kRay)
            painter.farLine(*start_, to, false);
        else
            painter.line(*start_, to);
    }

private:
    int arcmode_;
    bool arrowButton_;
    bool inarrow_;
    std::optional<Point3> start_; // linesx, linesy
};

} // namespace

std::unique_ptr<Tool> makeLineTool(ToolContext &ctx, int arcmode, bool arrow) {
    return std::make_unique<LineTool>(ctx, arcmode, arrow);
}

} // namespace quentar::editor
