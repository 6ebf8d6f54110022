// The viewport dialog: seven numeric fields with four decimals and an OK button.
#include "editor/ui/viewport_dialog.h"

#include "editor/ui/number_field_edit.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace quentar::editor::ui {

ViewportDialog::ViewportDialog(const ViewportConfiguration &start, QWidget *parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Viewport konfigurieren"));
    auto *form = new QFormLayout;
    auto field = [&](const char *name, const char *label, const FieldRange &range, double v) {
        auto *f = new NumberFieldEdit(range, kViewportDecimals, v, this);
        f->setObjectName(QString::fromLatin1(name));
        form->addRow(QString::fromUtf8(label), f);
        return f;
    };
    width_ = field("breiteEd", "Breite:", kPositiveRange, start.width);
    height_ = field("HoeheEd", "Höhe:", kPositiveRange, start.height);
    centreX_ = field("MitteXEd", "Mitte X:", kAnyNumberRange, start.centreX);
    centreY_ = field("MitteYEd", "Mitte Y:", kAnyNumberRange, start.centreY);
    viewX_ = field("InhaltX", "Inhalt X:", kAnyNumberRange, start.viewX);
    viewY_ = field("InhaltY", "Inhalt Y:", kAnyNumberRange, start.viewY);
    viewHeight_ = field("HeiContEd", "Höhe Inhalt:", kPositiveRange, start.viewHeight);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OkBtn"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    enableWhileAcceptable(ok, {width_, height_, centreX_, centreY_, viewX_, viewY_, viewHeight_});
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

ViewportConfiguration ViewportDialog::values() const {
    return {width_->value(), height_->value(), centreX_->value(),   centreY_->value(),
            viewX_->value(), viewY_->value(),  viewHeight_->value()};
}

ViewportConfiguration askViewport(QWidget *parent, const ViewportConfiguration &start) {
    ViewportDialog dialog(start, parent);
    dialog.exec();
    return dialog.values();
}

} // namespace quentar::editor::ui
