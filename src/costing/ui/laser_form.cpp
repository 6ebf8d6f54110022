// The calculator window's frame: pages, taking over a drawing, the stored settings.
#include "costing/ui/laser_form.h"

#include "costing/persisted_settings.h"
#include "costing/drawing_takeover.h"
#include "costing/ui/busy_cursor.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>

namespace quentar::costing::ui {

namespace {

constexpr int kPreviewWidth = 180;
constexpr int kPreviewHeight = 210;

// The per-user INI store that `quentar quote` reads as well, at the window's group.
void openStore(QSettings &store) { store.beginGroup(QStringLiteral("TLaserForm")); }

// The show commands of a stored placement, as the Windows placement record numbers them.
constexpr int kShowNormal = 1;
constexpr int kShowMinimized = 2;
constexpr int kShowMaximized = 3;
// Placement flag: a minimized window comes back maximized.
constexpr int kRestoreToMaximized = 2;

// The twin of a placement value for the current screen size, e.g. "NormPos(1920x1080)": a
// placement made on one monitor set-up does not push the window off another.
QString forScreen(const QString &name) {
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize size = screen ? screen->size() : QSize();
    return name + QStringLiteral("(%1x%2)").arg(size.width()).arg(size.height());
}

QString rectText(int a, int b, int c, int d) {
    return QStringLiteral("%1,%2,%3,%4").arg(a).arg(b).arg(c).arg(d);
}

// The first local .dxf file of a drag, empty when it brings none.
QString droppedDrawing(const QMimeData *data) {
    if (!data || !data->hasUrls()) return {};
    for (const QUrl &url : data->urls()) {
        const QString suffix = QFileInfo(url.toLocalFile()).suffix();
        if (url.isLocalFile() && suffix.compare(QLatin1String("dxf"), Qt::CaseInsensitive) == 0)
            return url.toLocalFile();
    }
    return {};
}

} // namespace

TLaserForm::TLaserForm(const QString &dataFolder, const QString &templateFolder, QWidget *parent)
    : QWidget(parent), calc_(std::make_unique<Calculator>(dataFolder.toStdString())),
      templateFolder_(templateFolder),
      showDrawingWindow_([](DrawingSource &window) { return window.showModal(); }),
      vorschau_(250, 250, QImage::Format_RGB32) {
    vorschau_.fill(Qt::white);
    setAcceptDrops(true);
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
    QFileDialog dialog(this, QString(), QString(), QStringLiteral("DXF Dateien (*.dxf)"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // "part" opens part.dxf.
    dialog.setDefaultSuffix(QStringLiteral("dxf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    loadDrawing(dialog.selectedFiles().constFirst(), showDrawingWindow_);
}

void TLaserForm::dragEnterEvent(QDragEnterEvent *event) {
    if (!droppedDrawing(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TLaserForm::dropEvent(QDropEvent *event) {
    const QString path = droppedDrawing(event->mimeData());
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    // The drawing window runs modally; from inside the drop the dragging program would wait for
    // the drop to end until the user closes it.
    QTimer::singleShot(0, this, [this, path] { loadDrawing(path, showDrawingWindow_); });
}

namespace {

TLaserForm::DrawingWindowFactory drawingWindowFactory = nullptr;

bool hasWarning(const render::DrawingMeasurement &m, std::string_view code) {
    for (const auto &w : m.warnings)
        if (w.code == code) return true;
    return false;
}

} // namespace

void TLaserForm::setDrawingWindowFactory(DrawingWindowFactory make) { drawingWindowFactory = make; }

bool TLaserForm::loadDrawing(const QString &path, const DrawingWindowRunner &show) {
    if (!drawingWindow_) {
        if (!drawingWindowFactory) return false;
        ownDrawingWindow_ = drawingWindowFactory(templateFolder_);
        drawingWindow_ = ownDrawingWindow_.get();
    }
    DrawingSource &window = *drawingWindow_;
    {
        const BusyCursor busy;
        if (!window.openDrawing(path)) return false;
    }
    if (show(window) != 1) return false;
    render::MeasureOptions options = window.measureOptions();
    QImage picture;
    if (!confirmFigures(window, options, picture)) return false;
    // Without a picture the preview keeps the last one; the figures are taken over regardless.
    if (!picture.isNull())
        composePreview(picture, measured_.maxx - measured_.minx, measured_.maxy - measured_.miny);
    // The parts' outlines for material by the sheet, before the figures move the material cost.
    calc_->setSheetDrawing(window.drawingParts(measured_));
    calc_->engine().takeOverDrawing(figuresOf(measured_));
    refreshSheetFigures();
    showDrawingNote();
    PageControl1Change();
    paintBox1_->setPixmap(QPixmap::fromImage(vorschau_));
    return true;
}

bool TLaserForm::confirmFigures(DrawingSource &window, render::MeasureOptions &options,
                                QImage &picture) {
    for (;;) {
        {
            const BusyCursor busy;
            picture = window.measure(options, measured_);
        }
        if (measured_.empty) {
            // Nothing to price: no empty drawing goes into the calculation.
            QMessageBox::warning(this, windowTitle(),
                                 QStringLiteral("Auf dem gezeigten Blatt der Zeichnung gibt es "
                                                "nichts zu messen; es wird nichts übernommen."));
            return false;
        }
        if (!measured_.refusal.empty()) {
            // Nothing left to measure, or figures that are no numbers: nothing to price either.
            QMessageBox::warning(this, windowTitle(),
                                 qs(measured_.refusalGerman) +
                                     QStringLiteral("; es wird nichts übernommen."));
            return false;
        }
        // Figures that would make a wrong price without anyone noticing: asked before.
        const bool unit = hasWarning(measured_, "units-ignored") ||
                          hasWarning(measured_, "units-imperial") ||
                          hasWarning(measured_, "implausible-size");
        const bool nothingClosed = hasWarning(measured_, "no-closed-contour") ||
                                   hasWarning(measured_, "zero-size");
        const bool notCut = hasWarning(measured_, "not-cut");
        // Figures of a part of the drawing only: a file cut off, a measurement stopped part way.
        const bool partial = measured_.partial || hasWarning(measured_, "truncated");
        if (!unit && !nothingClosed && !notCut && !partial) return true;
        QString text = QStringLiteral("Bitte prüfen, bevor die Maße übernommen werden:\n");
        for (const auto &w : measured_.warnings) text += QStringLiteral("\n• ") + qs(w.german);
        QMessageBox box(QMessageBox::Warning, windowTitle(), text, QMessageBox::NoButton, this);
        box.setObjectName(QStringLiteral("TakeOverWarnings"));
        QPushButton *take = box.addButton(QStringLiteral("Übernehmen"), QMessageBox::AcceptRole);
        QPushButton *inches = nullptr, *cutOnly = nullptr;
        if (unit && options.units != render::UnitChoice::Inches)
            inches = box.addButton(QStringLiteral("Zoll: mit 25,4 umrechnen"),
                                   QMessageBox::ActionRole);
        if (notCut && !options.cutContoursOnly)
            cutOnly = box.addButton(QStringLiteral("Nur Schnittkonturen messen"),
                                    QMessageBox::ActionRole);
        box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
        box.setDefaultButton(take);
        box.exec();
        if (box.clickedButton() == take) return true;
        if (inches && box.clickedButton() == inches) {
            options.units = render::UnitChoice::Inches;
            continue;
        }
        if (cutOnly && box.clickedButton() == cutOnly) {
            options.cutContoursOnly = true;
            window.setCutContoursOnly(true);
            continue;
        }
        return false;
    }
}

void TLaserForm::showDrawingNote() {
    const contours::ContourAnalysis &a = measured_.figures.analysis;
    QString unit = QStringLiteral("mm");
    if (measured_.scale == 25.4)
        unit = QStringLiteral("Zoll (× 25,4)");
    else if (measured_.scale != 1)
        unit = qs(measured_.drawingUnit) + QStringLiteral(" (× ") +
               QString::number(measured_.scale).replace('.', ',') + QStringLiteral(")");
    QString note = QStringLiteral("Einheit: %1 · Teile: %2 · Einstiche: %3")
                       .arg(unit)
                       .arg(a.parts)
                       .arg(a.pierces);
    QString tip;
    for (const auto &w : measured_.warnings)
        tip += (tip.isEmpty() ? QString() : QStringLiteral("\n")) + qs(w.german);
    if (!measured_.warnings.empty())
        note += QStringLiteral("\n⚠ %1 %2 (Maus darauf zeigt sie)")
                    .arg(measured_.warnings.size())
                    .arg(measured_.warnings.size() == 1 ? QStringLiteral("Warnung")
                                                        : QStringLiteral("Warnungen"));
    drawingNote_->setText(note);
    drawingNote_->setToolTip(tip);
    drawingNote_->setStyleSheet(measured_.warnings.empty() ? QString()
                                                           : QStringLiteral("color: #a04000;"));
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
    settingsFile_ = store.fileName();
    openStore(store);
    restorePlacement(store);
    refusedSettings_ =
        restoreAllPersisted(*calc_, [&store](const std::string &key) -> std::optional<std::string> {
            const QVariant v = store.value(qs(key));
            if (!v.isValid()) return std::nullopt;
            return v.toString().toStdString();
        });
    refreshTexts();
}

void TLaserForm::storeSettings() {
    QSettings store(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Morvane"),
                    QStringLiteral("Quentar"));
    openStore(store);
    for (const std::string &key : persistedKeys())
        if (auto value = persistedValue(*calc_, key)) store.setValue(qs(key), qs(*value));
    storePlacement(store);
    store.sync();
}

void TLaserForm::restorePlacement(QSettings &store) {
    // A placement written by another layout of the window does not fit this one.
    if (store.value(QStringLiteral("FormVersion"), QStringLiteral("0")).toString() !=
        QStringLiteral("0"))
        return;
    QVariant normPos = store.value(forScreen(QStringLiteral("NormPos")));
    if (!normPos.isValid()) normPos = store.value(QStringLiteral("NormPos"));
    // "left,top,right,bottom" of the frame; the size is fixed, only the corner counts, and only
    // while it is still on a screen.
    const QStringList pos = normPos.toString().split(QLatin1Char(','));
    if (pos.size() == 4) {
        bool okX = false, okY = false;
        const QPoint corner(pos[0].trimmed().toInt(&okX), pos[1].trimmed().toInt(&okY));
        if (okX && okY && QGuiApplication::screenAt(corner)) move(corner);
    }
    // A window closed while minimized starts normal: a program that opens to the task bar looks
    // as if it had not started.
    if (store.value(QStringLiteral("ShowCmd")).toString().trimmed().toInt() == kShowMaximized)
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
}

void TLaserForm::storePlacement(QSettings &store) {
    QRect frame = frameGeometry();
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        // The normal place, in frame coordinates like the rest.
        const QRect g = geometry();
        const QMargins decoration(g.left() - frame.left(), g.top() - frame.top(),
                                  frame.right() - g.right(), frame.bottom() - g.bottom());
        frame = normalGeometry().marginsAdded(decoration);
    }
    int showCmd = kShowNormal;
    if (isMinimized())
        showCmd = kShowMinimized;
    else if (isMaximized())
        showCmd = kShowMaximized;
    const int flags =
        isMinimized() && (windowState() & Qt::WindowMaximized) ? kRestoreToMaximized : 0;
    // Qt knows no position of a minimized or maximized window of its own; -1 is what the
    // placement record holds for positions never set.
    const QString minMaxPos = rectText(-1, -1, -1, -1);
    const QString normPos = rectText(frame.left(), frame.top(), frame.left() + frame.width(),
                                     frame.top() + frame.height());
    store.setValue(QStringLiteral("FormVersion"), QStringLiteral("0"));
    store.setValue(QStringLiteral("Flags"), QString::number(flags));
    store.setValue(QStringLiteral("ShowCmd"), QString::number(showCmd));
    store.setValue(QStringLiteral("PixelsPerInch"), QString::number(logicalDpiX()));
    store.setValue(QStringLiteral("MinMaxPos"), minMaxPos);
    store.setValue(QStringLiteral("NormPos"), normPos);
    store.setValue(forScreen(QStringLiteral("MinMaxPos")), minMaxPos);
    store.setValue(forScreen(QStringLiteral("NormPos")), normPos);
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
    if (drawingWindow_) drawingWindow_->hideWindow();
    event->accept();
}

} // namespace quentar::costing::ui
