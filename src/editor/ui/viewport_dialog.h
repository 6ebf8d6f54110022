// "Viewport konfigurieren": the frame of a viewport on the paper and the part of the model it
// shows. It has only OK: however it is closed, its values are taken.
#pragma once

#include "editor/transformations.h"

#include <QDialog>

namespace quentar::editor::ui {

class NumberFieldEdit;

class ViewportDialog : public QDialog {
    Q_OBJECT
public:
    explicit ViewportDialog(const ViewportConfiguration &start, QWidget *parent = nullptr);
    // The fields' values (each its last good one).
    ViewportConfiguration values() const;

private:
    NumberFieldEdit *width_, *height_, *centreX_, *centreY_, *viewX_, *viewY_, *viewHeight_;
};

// Shows the dialog modally filled with `start` and returns what it holds when closed.
ViewportConfiguration askViewport(QWidget *parent, const ViewportConfiguration &start);

} // namespace quentar::editor::ui
