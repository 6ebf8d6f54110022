// The calculator window's frame: pages, taking over a drawing, the stored settings.
#include "costing/ui/laser_form.h"

#include "costing/persisted_settings.h"
#include "editor/ui/main_form.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>

namespace quentar::costing::ui {

namespace {

constexpr int kPreviewWidth = 180;
constexpr int kPreviewHeight = 210;

// The per-user INI store that `quentar quote` reads as well, at the window's group.
void openStore(QSettings &store) { store.beginGroup(QStringLiteral("TLaserForm")); }

} // namespace

TLaserForm::TLaserForm(const QString &dataFolder, const QString &templateFolder, QWidget *parent)
    : QWidget(parent), calc_(std::make_unique<Calculator>(dataFolder.toStdString())),
      templateFolder_(templateFolder), vorschau_(250, 250, QImage::Format_RGB32) {
    vorschau_.fill(Qt::white);
    setWindowTitle(QStringLiteral("Morvane Quentar 1.0"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(715, 570);

    openBtn_ = new QPushButton(QStringLiteral("DXF Datei laden..."), this);
    openBtn_->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    openBtn_->setIconSize(QSize(32, 32));
    openBtn_->setGeometry(8, 8, 185, 65);
    connect(openBtn_, &QPushButton::clicked, this, [this] { OpenBtnClick(); });

    pageControl_ = new QTabWidget(this);
    pageControl_->setGeometry(8, 81, 697, 481);
    // Narrow tabs, so that all eight captions fit even with a wider substitute for Tahoma.
    pageControl_->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 5px; }"));
    pageControl_->addTab(buildBerechnungPage(), QStringLiteral("Berechnung"));
    pageControl_->addTab(buildMaterialienPage(), QStringLiteral("Materialien"));
    pageControl_->addTab(buildAusdruckPage(), QStringLiteral("Ausdruck"));
    pageControl_->addTab(buildEinstellungenPage(), QStringLiteral("Einstellungen"));
    pageControl_->addTab(buildStaffelpreisePage(), QStringLiteral("Staffelpreise"));
    pageControl_->addTab(buildAngebotspreisePage(), QStringLiteral("Angebotspreise"));
    pageControl_->addTab(buildZeitkalkulationPage(), QStringLiteral("Zeitkalkulation"));
    pageControl_->addTab(buildLoecherPage(), QStringLiteral("Zusätzliche Löcher"));
    connect(pageControl_, &QTabWidget::currentChanged, this, [this] { PageControl1Change(); });
}

TLaserForm::~TLaserForm() {
    // A window destroyed without closing (the program quitting) keeps its values all the same.
    if (restored_ && !stored_) storeSettings();
}

QWidget *TLaserForm::editorOf(const std::string &fieldName) const {
    for (const auto &[name, widget] : editors_)
        if (name == fieldName) return widget;
    return nullptr;
}

void TLaserForm::OpenBtnClick() {
    const QString path = QFileDialog::getOpenFileName(this, QString(), QString(),
                                                      QStringLiteral("DXF Dateien (*.dxf)"));
    if (path.isEmpty()) return;
    loadDrawing(path, [](editor::ui::TMainForm &window) { return window.ShowModal(); });
}

bool TLaserForm::loadDrawing(const QString &path, const DrawingWindowRunner &show) {
    if (!drawingWindow_) {
        editor::ui::MainFormOptions options;
        options.dataFolder = templateFolder_;
        drawingWindow_ = std::make_unique<editor::ui::TMainForm>(options);
    }
    editor::ui::TMainForm &window = *drawingWindow_;
    if (!window.openfilewithname(path)) return false;
    if (show(window) != 1) return false;
    window.ZoomFullIn180();
    const QImage picture = window.Vorschaubild();
    const render::ContourFigures &f = window.figures();
    // Without a picture the preview keeps the last one; the figures are taken over regardless.
    if (!picture.isNull())
        composePreview(picture, f.konturmaxx - f.konturminx, f.konturmaxy - f.konturminy);
    DrawingFigures figures;
    figures.konturlang = f.konturlang;
    figures.konturminx = f.konturminx;
    figures.konturmaxx = f.konturmaxx;
    figures.konturminy = f.konturminy;
    figures.konturmaxy = f.konturmaxy;
    figures.flaechen = f.areas();
    calc_->engine().takeOverDrawing(figures);
    PageControl1Change();
    paintBox1_->setPixmap(QPixmap::fromImage(vorschau_));
    return true;
}

void TLaserForm::composePreview(const QImage &picture, double width, double length) {
    vorschau_ = QImage(kPreviewWidth, kPreviewHeight, QImage::Format_RGB32);
    vorschau_.fill(Qt::white);
    QPainter p(&vorschau_);
    p.drawImage(0, 0, picture);
    const QString size = QString::number(width, 'f', 2) + QStringLiteral(" x ") +
                         QString::number(length, 'f', 2) + QStringLiteral(" mm");
    const QFontMetrics metrics(p.font());
    // y is where the top of the text stands, under the 180-pixel picture.
    p.setPen(Qt::black);
    p.drawText((kPreviewWidth - metrics.horizontalAdvance(size)) / 2, 185 + metrics.ascent(),
               size);
}

void TLaserForm::restoreSettings() {
    QSettings store(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Morvane"),
                    QStringLiteral("Quentar"));
    openStore(store);
    for (const std::string &key : persistedKeys()) {
        const QVariant v = store.value(qs(key));
        if (v.isValid()) restorePersisted(*calc_, key, v.toString().toStdString());
    }
    refreshTexts();
    // The window's place: "left,top,right,bottom"; the size is fixed, only the corner counts,
    // and only while it is still on a screen.
    const QStringList pos = store.value(QStringLiteral("NormPos")).toString().split(',');
    if (pos.size() == 4) {
        const QPoint corner(pos[0].toInt(), pos[1].toInt());
        if (QGuiApplication::screenAt(corner)) move(corner);
    }
}

void TLaserForm::storeSettings() {
    QSettings store(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Morvane"),
                    QStringLiteral("Quentar"));
    openStore(store);
    for (const std::string &key : persistedKeys())
        if (auto value = persistedValue(*calc_, key)) store.setValue(qs(key), qs(*value));
    const QRect r = geometry();
    store.setValue(QStringLiteral("NormPos"), QStringLiteral("%1,%2,%3,%4")
                                                  .arg(r.left())
                                                  .arg(r.top())
                                                  .arg(r.left() + r.width())
                                                  .arg(r.top() + r.height()));
    store.sync();
}

void TLaserForm::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (restored_) return;
    restored_ = true;
    restoreSettings();
    calc_->windowShown();
}

void TLaserForm::closeEvent(QCloseEvent *event) {
    storeSettings();
    stored_ = true;
    if (drawingWindow_) drawingWindow_->hide();
    event->accept();
}

} // namespace quentar::costing::ui
