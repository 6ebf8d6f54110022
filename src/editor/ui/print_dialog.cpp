// The print settings dialog and its settings storage.
#include "editor/ui/print_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <tuple>

namespace quentar::editor::ui {

namespace {

QDoubleSpinBox *field(const char *name, double lo, double hi) {
    auto *s = new QDoubleSpinBox;
    s->setObjectName(QString::fromLatin1(name));
    s->setDecimals(4);
    s->setRange(lo, hi);
    s->setKeyboardTracking(false); // a value counts once it is entered, not per keystroke
    s->setMinimumWidth(120);
    s->setAlignment(Qt::AlignRight);
    return s;
}

QLabel *label(const QString &text) { return new QLabel(text); }

struct StoredValue {
    const char *key;
    double render::PrintSettings::*field;
};
constexpr StoredValue kStored[] = {
    {"XOffsetEd_Value", &render::PrintSettings::XOffsetEd},
    {"YOffsetEd_Value", &render::PrintSettings::YOffsetEd},
    {"RandEd_Value", &render::PrintSettings::RandEd},
    {"UnitsEd_Value", &render::PrintSettings::UnitsEd},
    {"mmEd_Value", &render::PrintSettings::mmEd},
};

} // namespace

TDruckenForm::TDruckenForm(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("DruckenForm"));
    setWindowTitle(QStringLiteral("Drucken/Seite einrichten"));
    using render::kMmPerInch;
    const double inchMax = render::kScaleFieldMax / kMmPerInch;
    mmEd_ = field("mmEd", render::kScaleFieldMin, render::kScaleFieldMax);
    UnitsEd_ = field("UnitsEd", render::kScaleFieldMin, render::kScaleFieldMax);
    RxSpinEdit4_ = field("RxSpinEdit4", render::kScaleFieldMin / kMmPerInch, inchMax);
    const double off = render::kOffsetFieldLimit;
    XOffsetEd_ = field("XOffsetEd", -off, off);
    RxSpinEdit1_ = field("RxSpinEdit1", -off / kMmPerInch, off / kMmPerInch);
    YOffsetEd_ = field("YOffsetEd", -off, off);
    RxSpinEdit2_ = field("RxSpinEdit2", -off / kMmPerInch, off / kMmPerInch);
    RandEd_ = field("RandEd", 0, render::kMarginFieldMax);
    RxSpinEdit3_ = field("RxSpinEdit3", 0, render::kMarginFieldMax / kMmPerInch);

    auto *scale = new QGroupBox(QStringLiteral("Maßstab"));
    auto *sg = new QGridLayout(scale);
    sg->addWidget(mmEd_, 0, 0);
    sg->addWidget(label(QStringLiteral("mm =")), 0, 1);
    sg->addWidget(UnitsEd_, 0, 2);
    sg->addWidget(label(QStringLiteral("Einheiten")), 0, 3);
    sg->addWidget(RxSpinEdit4_, 1, 0);
    sg->addWidget(label(QStringLiteral("Zoll")), 1, 1);

    auto *offset = new QGroupBox(QStringLiteral("Offset"));
    auto *og = new QGridLayout(offset);
    og->addWidget(label(QStringLiteral("X:")), 0, 0);
    og->addWidget(XOffsetEd_, 0, 1);
    og->addWidget(label(QStringLiteral("mm")), 0, 2);
    og->addWidget(RxSpinEdit1_, 0, 3);
    og->addWidget(label(QStringLiteral("Zoll")), 0, 4);
    og->addWidget(label(QStringLiteral("Y:")), 1, 0);
    og->addWidget(YOffsetEd_, 1, 1);
    og->addWidget(label(QStringLiteral("mm")), 1, 2);
    og->addWidget(RxSpinEdit2_, 1, 3);
    og->addWidget(label(QStringLiteral("Zoll")), 1, 4);

    auto *placement = new QGroupBox(QStringLiteral("Lage auf der Seite"));
    placement->setObjectName(QStringLiteral("PlacementGroup"));
    auto *pl = new QVBoxLayout(placement);
    PlacementBox_ = new QButtonGroup(this);
    PlacementBox_->setObjectName(QStringLiteral("PlacementBox"));
    for (auto [caption, name, value] :
         {std::tuple{"Ursprung am Seitenrand, mit Offset", "PlacementOriginBtn",
                     render::PagePlacement::Origin},
          std::tuple{"Auf Seite einpassen", "PlacementFitBtn", render::PagePlacement::FitToPage},
          std::tuple{"Auf Seite zentrieren (im Maßstab)", "PlacementCentreBtn",
                     render::PagePlacement::CentreOnPage}}) {
        auto *b = new QRadioButton(QString::fromUtf8(caption));
        b->setObjectName(QString::fromLatin1(name));
        PlacementBox_->addButton(b, static_cast<int>(value));
        pl->addWidget(b);
    }

    auto *margin = new QGridLayout;
    margin->addWidget(label(QStringLiteral("Seitenrand:")), 0, 0);
    margin->addWidget(RandEd_, 0, 1);
    margin->addWidget(label(QStringLiteral("mm")), 0, 2);
    margin->addWidget(RxSpinEdit3_, 0, 3);
    margin->addWidget(label(QStringLiteral("Zoll")), 0, 4);
    margin->setColumnStretch(5, 1);

    auto *buttons = new QDialogButtonBox;
    QPushButton *setup =
        buttons->addButton(QStringLiteral("Drucker einrichten"), QDialogButtonBox::ActionRole);
    setup->setObjectName(QStringLiteral("DruckerEinrichtenBtn"));
    QPushButton *preview =
        buttons->addButton(QStringLiteral("Vorschau"), QDialogButtonBox::ActionRole);
    preview->setObjectName(QStringLiteral("VorschauBtn"));
    QPushButton *ok = buttons->addButton(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("OkBtn"));
    QPushButton *cancel =
        buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("AbbrechenBtn"));
    ok->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(scale);
    layout->addWidget(placement);
    layout->addWidget(offset);
    layout->addLayout(margin);
    layout->addSpacing(8);
    layout->addWidget(buttons);

    pair(mmEd_, RxSpinEdit4_, &render::PrintSettings::mmEd);
    pair(XOffsetEd_, RxSpinEdit1_, &render::PrintSettings::XOffsetEd);
    pair(YOffsetEd_, RxSpinEdit2_, &render::PrintSettings::YOffsetEd);
    pair(RandEd_, RxSpinEdit3_, &render::PrintSettings::RandEd);
    connect(UnitsEd_, &QDoubleSpinBox::valueChanged, this,
            [this](double v) { settings_.UnitsEd = v; });
    scaleBox_ = scale;
    offsetBox_ = offset;
    connect(PlacementBox_, &QButtonGroup::idClicked, this, [this](int id) {
        settings_.placement = static_cast<render::PagePlacement>(id);
        enableForPlacement();
    });
    connect(setup, &QPushButton::clicked, this, &TDruckenForm::printerSetupRequested);
    connect(preview, &QPushButton::clicked, this, [this] {
        outcome_ = Outcome::Preview;
        accept();
    });
    connect(ok, &QPushButton::clicked, this, [this] {
        outcome_ = Outcome::Ok;
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    setSettings(settings_);
}

void TDruckenForm::pair(QDoubleSpinBox *mm, QDoubleSpinBox *inch,
                        double render::PrintSettings::*f) {
    // The blockers are the guard that keeps the two twins from setting each other in turn.
    connect(mm, &QDoubleSpinBox::valueChanged, this, [this, inch, f](double v) {
        settings_.*f = v;
        const QSignalBlocker guard(inch);
        inch->setValue(render::inchesFromMm(v));
    });
    connect(inch, &QDoubleSpinBox::valueChanged, this, [this, mm, f](double v) {
        // The inch field shows four decimals too, so its lower limit rounds to 0: a 0 entered
        // there must not become a scale of 0 that the millimetre field cannot even show.
        settings_.*f = std::clamp(render::mmFromInches(v), mm->minimum(), mm->maximum());
        const QSignalBlocker guard(mm);
        mm->setValue(settings_.*f);
    });
}

void TDruckenForm::setSettings(const render::PrintSettings &s) {
    settings_ = s;
    render::clampPrintSettings(settings_);
    for (auto [box, value] : {std::pair{mmEd_, settings_.mmEd},
                              {UnitsEd_, settings_.UnitsEd},
                              {XOffsetEd_, settings_.XOffsetEd},
                              {YOffsetEd_, settings_.YOffsetEd},
                              {RandEd_, settings_.RandEd}}) {
        const QSignalBlocker guard(box);
        box->setValue(value);
    }
    if (QAbstractButton *b = PlacementBox_->button(static_cast<int>(settings_.placement)))
        b->setChecked(true);
    enableForPlacement();
    showInches();
}

void TDruckenForm::enableForPlacement() {
    offsetBox_->setEnabled(settings_.placement == render::PagePlacement::Origin);
    scaleBox_->setEnabled(settings_.placement != render::PagePlacement::FitToPage);
}

void TDruckenForm::showInches() {
    for (auto [box, mm] : {std::pair{RxSpinEdit4_, settings_.mmEd},
                           {RxSpinEdit1_, settings_.XOffsetEd},
                           {RxSpinEdit2_, settings_.YOffsetEd},
                           {RxSpinEdit3_, settings_.RandEd}}) {
        const QSignalBlocker guard(box);
        box->setValue(render::inchesFromMm(mm));
    }
}

TDruckenForm::Outcome TDruckenForm::ask(const render::PrintSettings &s) {
    setSettings(s);
    outcome_ = Outcome::Cancelled;
    exec();
    return outcome_;
}

render::PrintSettings loadPrintSettings(QSettings &store) {
    render::PrintSettings s;
    store.beginGroup(QStringLiteral("TDruckenForm"));
    for (const StoredValue &v : kStored) {
        bool ok = false;
        const double value = store.value(QString::fromLatin1(v.key)).toString().toDouble(&ok);
        if (ok) s.*v.field = value;
    }
    bool ok = false;
    const int placement = store.value(QStringLiteral("PlacementBox_Value")).toString().toInt(&ok);
    if (ok) s.placement = static_cast<render::PagePlacement>(placement);
    store.endGroup();
    render::clampPrintSettings(s);
    return s;
}

void savePrintSettings(QSettings &store, const render::PrintSettings &s) {
    store.beginGroup(QStringLiteral("TDruckenForm"));
    for (const StoredValue &v : kStored)
        store.setValue(QString::fromLatin1(v.key), QString::number(s.*v.field, 'g', 17));
    store.setValue(QStringLiteral("PlacementBox_Value"),
                   QString::number(static_cast<int>(s.placement)));
    store.endGroup();
    store.sync();
}

} // namespace quentar::editor::ui
