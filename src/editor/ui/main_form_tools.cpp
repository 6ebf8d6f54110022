// The drawing window's side of the tools: choosing them, their buttons, and what they ask of the
// window (the text, polygon and transformation dialogs, the polyline menu, error boxes).
#include "editor/ui/array_dialog.h"
#include "editor/ui/keyboard_rotation_dialog.h"
#include "editor/ui/keyboard_scaling_dialog.h"
#include "editor/ui/main_form.h"
#include "editor/ui/number_field_edit.h"
#include "editor/ui/paint_box.h"
#include "editor/ui/session_dialogs.h"
#include "editor/ui/text_dialog.h"
#include "editor/ui/viewport_dialog.h"

#include <QFontMetrics>

namespace quentar::editor::ui {

void TMainForm::syncToolButtons() {
    const ViewTool tool = handler_->activeViewTool();
    actions_.zoomTool->setChecked(tool == ViewTool::Zoom);
    actions_.handTool->setChecked(tool == ViewTool::Hand);
    // The button of the active tool is pressed, every other released.
    const ToolButton pressed = handler_ == &input_ ? input_.pressedButton() : ToolButton::None;
    QAction *down = editActions_.button(pressed);
    for (QAction *a : editActions_.toolButtons) a->setChecked(a == down);
    for (QAction *a : editActions_.editToolButtons) a->setChecked(a == down);
    editActions_.deleteButton->setChecked(editActions_.deleteButton == down);
    paintBox_->updateCursor();
}

void TMainForm::chooseTool(ToolChoice choice) {
    input_.chooseTool(choice);
    syncToolButtons();
}

void TMainForm::chooseEditTool(EditOperation operation) {
    input_.chooseEditTool(operation);
    syncToolButtons();
}

void TMainForm::BenutzenBtnClick() {
    input_.typedClick(editActions_.Xed->value(), editActions_.YEd->value());
    syncToolButtons();
    // Escape and the next keys go to the drawing again (keyedit).
    paintBox_->setFocus(Qt::OtherFocusReason);
}

document::MessageSource TMainForm::messages() const {
    return options_.messages ? options_.messages : document::germanMessages();
}

bool TMainForm::askText(TextInput &text, bool dimension) {
    return textForm_->askNew(text, dimension);
}

bool TMainForm::askChangedText(std::string &text) { return textForm_->askChange(text); }

bool TMainForm::askPolygonCorners(double &corners) { return polygonForm_->ask(corners); }

PolylineMenuItem TMainForm::choosePolylineItem(int x, int y) {
    return editActions_.itemOf(
        editActions_.polylineMenu->exec(paintBox_->mapToGlobal(QPoint(x, y))));
}

void TMainForm::showMessageNumber(int number) { showErrorBox(this, messages()(number)); }

std::optional<ArrayParameters> TMainForm::askArray() { return ui::askArray(this, arrayValues_); }
std::optional<KeyboardRotation> TMainForm::askRotation() {
    return ui::askRotation(this, rotationValues_);
}
std::optional<KeyboardScaling> TMainForm::askScaling() {
    return ui::askScaling(this, scalingValues_);
}
ViewportConfiguration TMainForm::askViewport(const ViewportConfiguration &start) {
    return ui::askViewport(this, start);
}

void TMainForm::textExtent(const std::string &text, int pixels, int &width, int &height) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    const QFontMetrics m(font);
    width = m.horizontalAdvance(QString::fromStdString(text));
    height = m.height();
}

} // namespace quentar::editor::ui
