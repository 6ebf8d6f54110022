// The click dispatch, the pointer's moves and releases, Escape, typed clicks and tool choice.
#include "editor/interaction.h"

#include "editor/creation_tools.h"
#include "editor/preview_painter.h"
#include "editor/text_change.h"

#include <cmath>

namespace quentar::editor {

Interaction::Interaction(DrawingEditor &editor, ViewTools &viewTools, ToolHost &host)
    : editor_(editor), viewTools_(viewTools), host_(host), planner_(planTransformation),
      grips_([this](const document::Drawing &d, std::size_t entity, int vertex, const Point3 &from,
                    const Point3 &to) { return planGrip(d, entity, vertex, from, to); }),
      selection_(*this, planner_, grips_) {
    DrawingViewer &viewer = editor_.viewer();
    viewer.setOverlay([this](render::Canvas &c) { drawOverlay(c); });
    // What a tool collected belongs to the drawing and the tab it was collected on.
    viewer.addDocumentReplacedListener([this] { SetAlltoFalse(); });
    viewer.addTabChangeListener([this](int) { SetAlltoFalse(); });
}

Interaction::~Interaction() = default;

const document::Drawing &Interaction::drawing() { return editor_.viewer().drawing(); }
render::ViewTransform Interaction::view() { return editor_.viewer().transform(); }

CreationSettings Interaction::creationSettings() {
    CreationSettings s = settings_;
    s.tab = editor_.viewer().tab();
    return s;
}

bool Interaction::commit(const Creation &c) {
    if (!c.steps.empty()) editor_.commit(c.steps);
    if (c.message) host_.showMessageNumber(c.message);
    return c.created();
}

void Interaction::start(std::unique_ptr<Tool> tool) {
    tool_ = std::move(tool);
    ending_ = false;
    hover_.reset();
}

void Interaction::settle() {
    if (ending_) {
        tool_.reset();
        ending_ = false;
    }
}

void Interaction::SetAlltoFalse() {
    const bool shown = tool_ || selection_.inProgress() || hover_;
    tool_.reset();
    ending_ = false;
    selection_.cancel();
    hover_.reset();
    hoverSnapped_ = false;
    viewTools_.chooseViewTool(ViewTool::None);
    if (shown) editor_.viewer().repaintOverlay();
}

bool Interaction::is(Flag f) const {
    switch (f) {
    case Flag::inzoom: return viewTools_.activeViewTool() == ViewTool::Zoom;
    case Flag::inhand: return viewTools_.activeViewTool() == ViewTool::Hand;
    case Flag::inzoomit: return viewTools_.inzoomit();
    case Flag::inpan: return viewTools_.inpan();
    default: break;
    }
    if (selection_.holds(f)) return true;
    return tool_ && tool_->holds(f);
}

bool Interaction::idle() const {
    if (viewTools_.activeViewTool() != ViewTool::None) return false;
    if (selection_.inProgress()) return false;
    return !(tool_ && tool_->inProgress());
}

void Interaction::chooseViewTool(ViewTool tool) {
    SetAlltoFalse();
    viewTools_.chooseViewTool(tool);
}

bool Interaction::chooseTool(ToolChoice choice) {
    const int version = drawing().cadver;
    const bool r12 = version <= 1009;
    // These refuse before anything else: the tool under way goes on.
    if (r12 && (choice == ToolChoice::ConstructionLine || choice == ToolChoice::Ray ||
                choice == ToolChoice::Spline)) {
        host_.showMessageNumber(choice == ToolChoice::ConstructionLine ? kMsgNoConstructionLines
                                : choice == ToolChoice::Ray            ? kMsgNoRays
                                                                       : kMsgNoSplines);
        return false;
    }
    double corners = 3;
    if (choice == ToolChoice::Polygon && !host_.askPolygonCorners(corners)) return false;
    SetAlltoFalse();
    using C = ToolChoice;
    switch (choice) {
    case C::Line: start(makeLineTool(*this, arcmodes::kLine, false)); break;
    case C::ConstructionLine: start(makeLineTool(*this, arcmodes::kConstructionLine, false)); break;
    case C::Ray: start(makeLineTool(*this, arcmodes::kRay, false)); break;
    case C::Arrow: start(makeLineTool(*this, arcmodes::kLine, true)); break;
    case C::Polyline: start(makePolylineTool(*this, 0)); break;
    case C::Freehand: start(makePolylineTool(*this, 1)); break;
    case C::Spline: start(makePolylineTool(*this, 2)); break;
    case C::Rectangle: start(makeRectangleTool(*this)); break;
    case C::Polygon: start(makeCircleTool(*this, 5, corners)); break;
    case C::ArcStartMiddleEnd: start(makeArcTool(*this, arcmodes::kStartMiddleEnd)); break;
    case C::ArcStartEndMiddle: start(makeArcTool(*this, arcmodes::kStartEndMiddle)); break;
    case C::ArcCentreStartEnd: start(makeArcTool(*this, arcmodes::kCentreStartEnd)); break;
    case C::CircleCentreRadius: start(makeCircleTool(*this, arcmodes::kCentreRadius)); break;
    case C::CircleCentreDiameter: start(makeCircleTool(*this, arcmodes::kCentreDiameter)); break;
    case C::CircleTwoPoints: start(makeCircleTool(*this, arcmodes::kTwoPointCircle)); break;
    case C::CircleThreePoints: start(makeCircleTool(*this, arcmodes::kThreePointCircle)); break;
    case C::EllipseAxes:
    case C::EllipseArcAxes:
    case C::EllipseCentre:
    case C::EllipseArcCentre:
        // Refused after the previous tool has ended.
        if (r12) {
            host_.showMessageNumber(kMsgNoEllipses);
            return false;
        }
        start(makeEllipseTool(*this, choice == C::EllipseAxes      ? arcmodes::kEllipseAxes
                                     : choice == C::EllipseArcAxes ? arcmodes::kEllipseArcAxes
                                     : choice == C::EllipseCentre  ? arcmodes::kEllipseCentre
                                                                   : arcmodes::kEllipseArcCentre));
        break;
    case C::Text: start(makeTextTool(*this)); break;
    case C::Dimension: start(makeDimensionTool(*this)); break;
    case C::Point: start(makePointTool(*this)); break;
    case C::Solid: start(makeSolidTool(*this)); break;
    }
    return true;
}

void Interaction::chooseEditTool(EditOperation operation) {
    SetAlltoFalse();
    const bool selected = editor_.IsSelected();
    if (operation == EditOperation::Delete) {
        if (!editor_.deleteSelection())
            start(makeEditTool(*this, operation, true, planner_, keyboard_));
        return;
    }
    start(makeEditTool(*this, operation, !selected, planner_, keyboard_));
    // With a selection the array goes to its dialog at once.
    if (selected && operation == EditOperation::Array) {
        tool_->confirmSelection();
        settle();
    }
}

Creation Interaction::planGrip(const document::Drawing &d, std::size_t entity, int vertex,
                               const Point3 &from, const Point3 &to) {
    Creation c;
    if (opensViewportDialog(d, entity, vertex)) {
        if (const std::optional<ViewportConfiguration> now = viewportConfiguration(d, entity))
            c.steps.push_back(ConfigureViewport(d, entity, host_.askViewport(*now)));
    } else {
        c.steps.push_back(MovePoint(d, entity, vertex, to.x - from.x, to.y - from.y, to.x, to.y));
    }
    // A grip that changed nothing is no step to take back.
    if (!c.steps.empty() && c.steps.back().empty()) c.steps.clear();
    return c;
}

void Interaction::DelBtnClick() { chooseEditTool(EditOperation::Delete); }

ToolPoint Interaction::pointAt(const PointerEvent &e, bool typed, bool &snapped) {
    ToolPoint p;
    p.mods = e.mods;
    snapped = false;
    if (typed && exact_) {
        // The typed position exactly, no snapping.
        p.x = exact_->x;
        p.y = exact_->y;
        p.px = e.x;
        p.py = e.y;
        return p;
    }
    const render::ViewTransform vt = view();
    int rx = e.x, ry = e.y;
    if (tool_) {
        if (const std::optional<Point3> ref = tool_->reference()) {
            const render::Pixel r = vt.pixel(ref->x, ref->y);
            rx = r.x;
            ry = r.y;
        }
    }
    const SnapResult s = editor_.SnapPoints(rx, ry, e.x, e.y, e.mods.ctrl);
    p.px = s.x;
    p.py = s.y;
    if (s.setted) {
        p.x = s.ex;
        p.y = s.ey;
        snapped = true;
    } else {
        vt.world(s.x, s.y, p.x, p.y);
    }
    return p;
}

void Interaction::mouseDown(const PointerEvent &e) {
    if (viewToolHasPointer()) {
        viewTools_.mouseDown(e);
        return;
    }
    lastmousex_ = e.x;
    lastmousey_ = e.y;
    const bool typed = exact_.has_value();
    // The pointer as it is (or the typed position): what picking and the box take.
    ToolPoint raw;
    raw.mods = e.mods;
    raw.px = e.x;
    raw.py = e.y;
    if (typed) {
        raw.x = exact_->x;
        raw.y = exact_->y;
    } else {
        view().world(e.x, e.y, raw.x, raw.y);
    }
    hover_.reset();
    if (tool_ && tool_->selecting()) {
        // Left clicks select as without a tool; the right button confirms the selection.
        if (e.button == MouseButton::Right) {
            selection_.cancel();
            tool_->confirmSelection();
        } else if (selection_.boxOpen()) {
            selection_.closeBox(raw);
        } else if (e.button == MouseButton::Left) {
            selection_.click(raw);
        }
    } else if (selection_.boxOpen()) {
        selection_.closeBox(raw);
    } else if (tool_) {
        bool snapped = false;
        const ToolPoint p = pointAt(e, typed, snapped);
        if (e.button == MouseButton::Right)
            tool_->rightClick(p);
        else if (e.button == MouseButton::Left)
            tool_->click(p);
    } else if (e.button == MouseButton::Left) {
        selection_.click(raw);
    }
    settle();
    editor_.viewer().repaintOverlay();
}

void Interaction::mouseMove(const PointerEvent &e) {
    if (viewToolHasPointer()) {
        viewTools_.mouseMove(e);
        return;
    }
    lastmousex_ = e.x;
    lastmousey_ = e.y;
    hoverSnapped_ = false;
    hover_.reset();
    Tool *target = selection_.inProgress() ? static_cast<Tool *>(&selection_) : tool_.get();
    if (!target) return;
    bool snapped = false;
    ToolPoint p;
    if (selection_.boxOpen()) {
        p.px = e.x;
        p.py = e.y;
        view().world(e.x, e.y, p.x, p.y);
    } else if (target == tool_.get() && tool_->selecting()) {
        return;
    } else {
        p = pointAt(e, false, snapped);
    }
    if (target == tool_.get() && e.held) {
        // A stroke follows the pointer as it is.
        ToolPoint raw = p;
        raw.px = e.x;
        raw.py = e.y;
        view().world(e.x, e.y, raw.x, raw.y);
        tool_->drag(raw);
    }
    target->hover(p);
    hover_ = p;
    hoverSnapped_ = snapped && target->showsSnapMarker();
    editor_.viewer().repaintOverlay();
}

void Interaction::mouseUp(const PointerEvent &e) {
    if (viewToolHasPointer()) {
        viewTools_.mouseUp(e);
        return;
    }
    ToolPoint raw;
    raw.mods = e.mods;
    raw.px = e.x;
    raw.py = e.y;
    view().world(e.x, e.y, raw.x, raw.y);
    if (selection_.inProgress() && !selection_.boxOpen()) {
        selection_.release(raw);
        hover_.reset();
        editor_.viewer().repaintOverlay();
    } else if (tool_) {
        tool_->release(raw);
        settle();
    }
}

void Interaction::doubleClick(const PointerEvent &e) {
    (void)e;
    // The first click of the double click has selected the text.
    const std::optional<std::size_t> text = textAt(editor_, lastmousex_, lastmousey_);
    if (!text) return;
    SetAlltoFalse();
    std::string changed;
    if (!textOf(drawing(), *text, changed) || !host_.askChangedText(changed)) return;
    if (std::optional<document::EditBatch> step = ChangeText(drawing(), *text, changed))
        editor_.commit(std::move(*step));
}

void Interaction::wheel(const WheelEvent &e) {
    viewTools_.wheel(e);
    // The previews are in drawing units: they follow the view.
    editor_.viewer().repaintOverlay();
}

bool Interaction::keyDown(const KeyEvent &e) {
    if (e.key == Key::Delete) {
        editor_.deleteSelection();
        return true;
    }
    if (e.key != Key::Escape) return false;
    if (viewTools_.keyDown(e)) return true;
    if (tool_ && tool_->inProgress() && !tool_->selecting()) {
        tool_->escape();
        settle();
        // A polyline tool that finished its input still ends: its button is released.
        if (tool_ && !tool_->inProgress()) tool_.reset();
    } else if (idle()) {
        tool_.reset();
        editor_.selectNone();
    } else {
        SetAlltoFalse();
    }
    hover_.reset();
    editor_.viewer().repaintOverlay();
    return true;
}

void Interaction::typedClick(double x, double y) {
    const render::ViewTransform vt = view();
    double px = 0, py = 0;
    px = vt.screenX(x);
    py = vt.exactScreenY(y);
    const auto round = [](double v) {
        if (!(v > -2e9 && v < 2e9)) return v > 0 ? 2000000000 : -2000000000;
        return static_cast<int>(std::lround(v));
    };
    exact_ = Point3{x, y, 0};
    const PointerEvent e{round(px), round(py), MouseButton::Left, {}};
    mouseDown(e);
    exact_.reset();
    mouseUp(e);
}

void Interaction::polylineItem(PolylineMenuItem item) {
    if (!tool_) return;
    tool_->menuItem(item);
    settle();
    editor_.viewer().repaintOverlay();
}

CursorShape Interaction::cursor() const {
    if (viewTools_.activeViewTool() != ViewTool::None) return viewTools_.cursor();
    return tool_ ? tool_->cursor() : CursorShape::Cross;
}

void Interaction::drawOverlay(render::Canvas &canvas) const {
    DrawingViewer &viewer = editor_.viewer();
    PreviewPainter painter(canvas, viewer.transform(), !viewer.showsModel());
    if (selection_.inProgress())
        selection_.drawPreview(painter);
    else if (tool_)
        tool_->drawPreview(painter);
    if (hover_ && hoverSnapped_) painter.snapMarker(hover_->px, hover_->py);
}

} // namespace quentar::editor
