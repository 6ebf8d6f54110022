// The text dialog and the polygon dialog.
#include "editor/ui/text_dialog.h"

#include "document/text_codec.h"
#include "editor/ui/number_field_edit.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

#include <cmath>
#include <memory>

namespace quentar::editor::ui {

namespace {

constexpr FieldRange kAngleRange{0, 360, false, false};  // WinkEd, degrees
constexpr FieldRange kCornerRange{3, 1000, true, false}; // EckenEd

std::unique_ptr<QSettings> settingsStore(const QString &file) {
    if (file.isEmpty())
        return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                           QStringLiteral("Morvane"), QStringLiteral("Quentar"));
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

const QString kHeightKey = QStringLiteral("TAddTextForm/FontSizeEd_Value");
const QString kDimensionHeightKey = QStringLiteral("TAddTextForm/FontSizeDimensionEd_Value");

QDialogButtonBox *okCancel(QDialog *d, const std::vector<NumberFieldEdit *> &fields) {
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    enableWhileAcceptable(buttons->button(QDialogButtonBox::Ok), fields);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OkBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("AbbrechenBtn"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, d, &QDialog::reject);
    return buttons;
}

} // namespace

TAddTextForm::TAddTextForm(const QString &settingsFile, QWidget *parent)
    : QDialog(parent), settingsFile_(settingsFile) {
    setObjectName(QStringLiteral("AddTextForm"));
    setWindowTitle(QStringLiteral("Text hinzufügen"));
    Memo1_ = new QPlainTextEdit;
    Memo1_->setObjectName(QStringLiteral("Memo1"));
    Memo1_->setTabChangesFocus(true);
    FontSizeEd_ = new NumberFieldEdit(kPositiveRange, -1, 0.2);
    FontSizeEd_->setObjectName(QStringLiteral("FontSizeEd"));
    FontSizeDimensionEd_ = new NumberFieldEdit(kPositiveRange, -1, 0.5);
    FontSizeDimensionEd_->setObjectName(QStringLiteral("FontSizeDimensionEd"));
    FontSizeDimensionEd_->hide();
    WinkEd_ = new NumberFieldEdit(kAngleRange, -1, 0);
    WinkEd_->setObjectName(QStringLiteral("WinkEd"));
    {
        auto s = settingsStore(settingsFile_);
        // A stored height that is no height leaves the start value.
        const auto load = [&](const QString &key, NumberFieldEdit *field) {
            bool ok = false;
            const double v = s->value(key).toDouble(&ok);
            if (ok && std::isfinite(v) && v > 0) field->setValue(v);
        };
        load(kHeightKey, FontSizeEd_);
        load(kDimensionHeightKey, FontSizeDimensionEd_);
    }
    sizeLabel_ = new QLabel(QStringLiteral("Schriftgröße:"));
    auto *sizes = new QHBoxLayout;
    sizes->addWidget(FontSizeEd_);
    sizes->addWidget(FontSizeDimensionEd_);
    auto *form = new QFormLayout;
    form->addRow(sizeLabel_, sizes);
    form->addRow(QStringLiteral("Winkel:"), WinkEd_);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Memo1_, 1);
    layout->addLayout(form);
    layout->addWidget(okCancel(this, {FontSizeEd_, FontSizeDimensionEd_, WinkEd_}));
    resize(360, 240);
}

void TAddTextForm::store() const {
    auto s = settingsStore(settingsFile_);
    s->setValue(kHeightKey, FontSizeEd_->value());
    s->setValue(kDimensionHeightKey, FontSizeDimensionEd_->value());
}

bool TAddTextForm::askNew(TextInput &text, bool dimension) {
    Memo1_->setPlainText(dimension ? QString::fromStdString(text.text) : QString());
    FontSizeEd_->setVisible(!dimension);
    FontSizeDimensionEd_->setVisible(dimension);
    FontSizeEd_->setEnabled(true);
    WinkEd_->setEnabled(true);
    Memo1_->setFocus();
    const bool ok = exec() == QDialog::Accepted;
    FontSizeEd_->setVisible(true);
    FontSizeDimensionEd_->setVisible(false);
    if (!ok) return false;
    store();
    text.text = Memo1_->toPlainText().toStdString();
    text.height = dimension ? FontSizeDimensionEd_->value() : FontSizeEd_->value();
    text.angle = WinkEd_->value();
    return true;
}

bool TAddTextForm::askChange(std::string &text) {
    Memo1_->setPlainText(QString::fromStdString(document::decodeForDisplay(text)));
    FontSizeEd_->setVisible(true);
    FontSizeDimensionEd_->setVisible(false);
    FontSizeEd_->setEnabled(false);
    WinkEd_->setEnabled(false);
    Memo1_->setFocus();
    const bool ok = exec() == QDialog::Accepted;
    FontSizeEd_->setEnabled(true);
    WinkEd_->setEnabled(true);
    if (!ok) return false;
    text = Memo1_->toPlainText().toStdString();
    return true;
}

TPolygonForm::TPolygonForm(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PolygonForm"));
    setWindowTitle(QStringLiteral("Vieleck"));
    EckenEd_ = new NumberFieldEdit(kCornerRange, 0, 3);
    EckenEd_->setObjectName(QStringLiteral("EckenEd"));
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Ecken:"), EckenEd_);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancel(this, {EckenEd_}));
}

bool TPolygonForm::ask(double &corners) {
    EckenEd_->setFocus();
    EckenEd_->selectAll();
    if (exec() != QDialog::Accepted) return false;
    corners = EckenEd_->value();
    return true;
}

} // namespace quentar::editor::ui
