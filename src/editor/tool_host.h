// What the tools ask of the drawing window: its dialogs, the polyline menu, error boxes. The
// window answers in the program, a headless host in tests.
#pragma once

#include "editor/entity_creation.h"
#include "editor/tool.h"
#include "editor/transformations.h"
#include "editor/transformations_input.h"

#include <optional>
#include <string>

namespace quentar::editor {

class ToolHost {
public:
    virtual ~ToolHost() = default;

    // The text dialog ("Text hinzufügen"): `text` comes in with the values to show (the height
    // of texts or of dimension texts as the dialog keeps them, its text preset for a dimension)
    // and leaves with what the user entered. False when it was cancelled.
    virtual bool askText(TextInput &text, bool dimension) = 0;
    // The same dialog for an existing text: only the text may be changed.
    virtual bool askChangedText(std::string &text) = 0;
    // The polygon dialog: the number of corners (EckenEd). False when cancelled.
    virtual bool askPolygonCorners(double &corners) = 0;
    // PopupMenu1 at pixel (x, y) of the paint box: the item chosen.
    virtual PolylineMenuItem choosePolylineItem(int x, int y) = 0;
    // A numbered message as an error box.
    virtual void showMessageNumber(int number) = 0;
    // The extent in pixels of `text` at a font height of `pixels` (a dimension text is centred
    // by it).
    virtual void textExtent(const std::string &text, int pixels, int &width, int &height) = 0;

    // The transformations' dialogs, each starting with the values of its last use: "Array
    // erstellen", "Rotationswinkel eingeben", "Skalierungsfaktor eingeben"; nullopt when
    // cancelled. "Viewport konfigurieren" has only OK: its values are taken however it closes.
    virtual std::optional<ArrayParameters> askArray() = 0;
    virtual std::optional<KeyboardRotation> askRotation() = 0;
    virtual std::optional<KeyboardScaling> askScaling() = 0;
    virtual ViewportConfiguration askViewport(const ViewportConfiguration &start) = 0;
};

} // namespace quentar::editor
