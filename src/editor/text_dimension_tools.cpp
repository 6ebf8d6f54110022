// The text tool (a click, then the text dialog) and the dimension tool (the two points measured,
// then where the dimension line goes, then its text).
#include "editor/creation_tools.h"
#include "editor/points_tool.h"
#include "editor/preview_painter.h"
#include "editor/tool_host.h"

namespace quentar::editor {

namespace {

// The dimension text is centred by its extent at this font height; the drawing takes that height
// for half a drawing unit.
constexpr int kDimensionFontPixels = 50;
constexpr double kDimensionFontUnits = 0.5;

class TextTool : public Tool {
public:
    explicit TextTool(ToolContext &ctx) : Tool(ctx) {}

    ToolButton button() const override { return ToolButton::Text; }
    bool inProgress() const override { return false; }

    void click(const ToolPoint &p) override {
        TextInput text; // an empty text; the dialog brings its height and angle
        if (ctx_.host().askText(text, false))
            ctx_.commit(AddText(ctx_.drawing(), ctx_.creationSettings(), p.at(), text));
        ctx_.endTool();
    }
};

class DimensionTool : public PointsTool {
public:
    explicit DimensionTool(ToolContext &ctx)
        : PointsTool(ctx, ToolButton::Dimension, Flag::indim) {}

    // Before its first point the tool shows no snap marker.
    bool showsSnapMarker() const override { return !points_.empty(); }

    void click(const ToolPoint &p) override {
        if (points_.size() < 2) {
            points_.push_back(p.at());
            return;
        }
        const Point3 p1 = points_[0], p2 = points_[1];
        const std::optional<DimensionLine> line = dimensionLineThrough(p1, p2, p.at());
        if (!line) {
            ctx_.endTool();
            return;
        }
        TextInput in;
        in.text = dimensionValueText(p1, p2);
        if (!ctx_.host().askText(in, true)) {
            ctx_.endTool();
            return;
        }
        DimensionText text{in.text, in.height, in.angle, 0, 0};
        int w = 0, h = 0;
        ctx_.host().textExtent(in.text, kDimensionFontPixels, w, h);
        // The extent scales with the height chosen.
        text.widthPx = w * in.height / kDimensionFontUnits;
        text.heightPx = h * in.height / kDimensionFontUnits;
        createAndEnd([&](const auto &d, const auto &s) {
            return AddDimension(d, s, p1, p2, line->f1, line->f2, line->anchor, text);
        });
    }

    void drawPreview(PreviewPainter &painter) const override {
        if (points_.empty() || !pointer_) return;
        const Point3 at = pointer_->at();
        if (points_.size() == 1) {
            painter.line(points_[0], at);
            return;
        }
        const std::optional<DimensionLine> line = dimensionLineThrough(points_[0], points_[1], at);
        if (!line) return;
        painter.line(points_[0], line->f1);
        painter.line(points_[1], line->f2);
        painter.line(line->f1, line->f2);
    }
};

} // namespace

std::unique_ptr<Tool> makeTextTool(ToolContext &ctx) { return std::make_unique<TextTool>(ctx); }
std::unique_ptr<Tool> makeDimensionTool(ToolContext &ctx) {
    return std::make_unique<DimensionTool>(ctx);
}

} // namespace quentar::editor
