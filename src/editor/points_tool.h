// The common part of the drawing tools that collect a few points: the points given so far (the
// window's linesx ... linesy4), the mode flag they set and the first point the pointer aligns with.
#pragma once

#include "editor/tool.h"

#include <vector>

namespace quentar::editor {

class PointsTool : public Tool {
public:
    PointsTool(ToolContext &ctx, ToolButton button, Flag flag)
        : Tool(ctx), button_(button), flag_(flag) {}

    ToolButton button() const override { return button_; }
    bool holds(Flag f) const override { return f == flag_ && !points_.empty(); }
    bool inProgress() const override { return !points_.empty(); }
    std::optional<Point3> reference() const override {
        if (points_.empty()) return std::nullopt;
        return points_.front();
    }

protected:
    // Plans with the current drawing and settings, commits, and ends the tool.
    template <class Plan> void createAndEnd(Plan &&plan) {
        ctx_.commit(plan(ctx_.drawing(), ctx_.creationSettings()));
        ctx_.endTool();
    }

    std::vector<Point3> points_;

private:
    ToolButton button_;
    Flag flag_;
};

} // namespace quentar::editor
