// What the paint box passes on of the mouse and keyboard, to a handler that can be swapped.
#pragma once

#include <string>

namespace quentar::editor {

enum class MouseButton { Left, Right, Middle };

struct Modifiers {
    bool shift = false, ctrl = false, alt = false;
};

// Positions are pixels of the paint box, x to the right, y downwards.
struct PointerEvent {
    int x = 0, y = 0;
    MouseButton button = MouseButton::Left; // the button pressed or released; Left for moves
    Modifiers mods;
    bool held = false; // a move with a mouse button held down
};

struct WheelEvent {
    int x = 0, y = 0;
    bool up = true; // away from the user
    Modifiers mods;
};

enum class Key { Escape, Delete, Return, Other };
struct KeyEvent {
    Key key = Key::Other;
    Modifiers mods;
    std::string text; // UTF-8, empty for keys without text
};

// The tools of the view tool bar.
enum class ViewTool { None, Zoom, Hand };

enum class CursorShape { Cross, Arrow, Hand, Magnifier };

// Receives the paint box's input. The viewer's handler does the view tools and the wheel; the
// editor's handler adds its drawing and editing tools and hands the view tools to the viewer's.
class PointerHandler {
public:
    virtual ~PointerHandler() = default;

    virtual void mouseDown(const PointerEvent &) {}
    virtual void mouseMove(const PointerEvent &) {}
    virtual void mouseUp(const PointerEvent &) {}
    virtual void doubleClick(const PointerEvent &) {}
    virtual void wheel(const WheelEvent &) {}
    // True when the key was used.
    virtual bool keyDown(const KeyEvent &) { return false; }

    // "Vergrößern/Verkleinern" and "Verschieben": each leaves every other tool first.
    virtual void chooseViewTool(ViewTool) {}
    virtual ViewTool activeViewTool() const { return ViewTool::None; }

    // The cursor the paint box shows now.
    virtual CursorShape cursor() const { return CursorShape::Cross; }
};

} // namespace quentar::editor
