// The drawing window: its widgets, and one short call into the viewer per event.
#include "editor/ui/main_form.h"

#include "document/folders.h"
#include "editor/ui/artwork.h"
#include "editor/ui/measurement_panel.h"
#include "editor/ui/paint_box.h"
#include "editor/ui/print_dialog.h"
#include "editor/ui/print_job.h"
#include "editor/ui/session_dialogs.h"
#include "editor/ui/text_dialog.h"
#include "render/qt/qpainter_canvas.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTabBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <array>

namespace quentar::editor::ui {

namespace {

constexpr int kMsgPrintJobTitle = 8; // "DXF Datei"

std::unique_ptr<QSettings> settingsStore(const QString &file) {
    if (file.isEmpty())
        return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                           QStringLiteral("Morvane"), QStringLiteral("Quentar"));
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

std::unique_ptr<QPrinter> defaultPrinter() {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (printer->outputFormat() == QPrinter::PdfFormat) {
        // No printer is installed: pages go to PDF files, on A4 without unprintable edges.
        printer->setPageSize(QPageSize(QPageSize::A4));
        printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    }
    return printer;
}

QScrollBar *scrollBar(Qt::Orientation o, const char *name) {
    auto *s = new QScrollBar(o);
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(static_cast<int>(render::kScrollMin), static_cast<int>(render::kScrollMax));
    s->setSingleStep(render::kScrollSmallStep);
    s->setPageStep(render::kScrollLargeStep);
    return s;
}

// Numbered messages follow the translator's active language unless the caller chose a source.
MainFormOptions withMessages(MainFormOptions options) {
    if (!options.messages && options.translator) {
        i18n::Translator *t = options.translator;
        options.messages = [t](int number) { return t->MessageText(number); };
    }
    return options;
}

} // namespace

TMainForm::TMainForm(MainFormOptions options, QWidget *parent)
    : QMainWindow(parent), options_(withMessages(std::move(options))),
      viewer_(*this, options_.messages ? options_.messages : document::germanMessages()),
      editor_(viewer_, *this), viewTools_(viewer_), input_(editor_, viewTools_, *this),
      printer_(defaultPrinter()) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("DXF Editor"));
    setWindowIcon(iconFor(Artwork::Application));
    actions_.build(*this);
    editActions_.build(*this, actions_.viewMenu->menuAction());
    buildCentralWidget();
    druckenForm_ = new TDruckenForm(this);
    textForm_ = new TAddTextForm(options_.settingsFile, this);
    polygonForm_ = new TPolygonForm(this);
    measurement_ = new MeasurementPanel(*this, *actions_.viewMenu, viewer_, options_.settingsFile);
    connectActions();
    statusBar()->setSizeGripEnabled(true);
    if (options_.translator) options_.translator->InitTranslation();

    // maincap: the caption as created (the interface language sets it anew).
    viewer_.session().setMaincap(windowTitle().toStdString());
    const QString data = options_.dataFolder.isEmpty()
                             ? QString::fromStdString(document::installedDataFolder())
                             : options_.dataFolder;
    viewer_.session().setTemplateFolder(QFile::encodeName(data).toStdString());
    {
        // The print settings are needed before the first showing: a paper layout's fit and the
        // calculator's preview use them.
        auto store = settingsStore(options_.settingsFile);
        viewer_.setPrintSettings(loadPrintSettings(*store));
    }
    viewer_.setPrinterPage(printerPageOf(*printer_));
    LoadOptions();
    NeueDXFDatei1Click();
    resize(sizeHint());
}

TMainForm::~TMainForm() {
    // The widgets outlive the viewer and the view tools (QWidget deletes its children last):
    // nothing they send on the way out may reach them.
    paintBox_->setPointerHandler(nullptr);
    paintBox_->setPaintHandler({});
    paintBox_->setOverlayHandler({});
    for (QObject *o : std::initializer_list<QObject *>{paintBox_, TabControl1_, HorzScrollbar_,
                                                       VertScrollbar_, druckenForm_})
        o->disconnect(this);
    for (QWidget *w : std::array<QWidget *, 3>{TabControl1_, HorzScrollbar_, VertScrollbar_})
        w->removeEventFilter(this);
}

void TMainForm::buildCentralWidget() {
    paintBox_ = new PaintBox;
    paintBox_->setPointerHandler(handler_);
    paintBox_->setPaintHandler([this](QPainter &p) { PaintBox1Paint(p); });
    paintBox_->setOverlayHandler([this](QPainter &p) { paintOverlay(p); });
    TabControl1_ = new QTabBar;
    TabControl1_->setObjectName(QStringLiteral("TabControl1"));
    TabControl1_->setExpanding(false);
    TabControl1_->setDrawBase(false);
    TabControl1_->setFocusPolicy(Qt::NoFocus);
    HorzScrollbar_ = scrollBar(Qt::Horizontal, "HorzScrollbar");
    VertScrollbar_ = scrollBar(Qt::Vertical, "VertScrollbar");
    okBtn_ = new QPushButton(iconFor(Artwork::Confirm),
                             QStringLiteral("Okay, in Kalkulation übernehmen..."));
    okBtn_->setObjectName(QStringLiteral("OkBtn"));
    okBtn_->setMinimumHeight(32);
    okBtn_->setFocusPolicy(Qt::TabFocus);

    auto *surface = new QGridLayout;
    surface->setSpacing(0);
    surface->addWidget(paintBox_, 0, 0);
    surface->addWidget(VertScrollbar_, 0, 1);
    surface->addWidget(HorzScrollbar_, 1, 0);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(okBtn_);
    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(0);
    layout->addWidget(TabControl1_);
    layout->addLayout(surface, 1);
    layout->addSpacing(6);
    layout->addLayout(bottom);
    setCentralWidget(central);
}

void TMainForm::connectActions() {
    const MainActions &a = actions_;
    connect(a.newDrawing, &QAction::triggered, this, &TMainForm::NeueDXFDatei1Click);
    connect(a.newDrawingR12, &QAction::triggered, this,
            &TMainForm::NeueDXFDateiR12ohneSplineohneEllipseusw1Click);
    connect(a.open, &QAction::triggered, this, &TMainForm::ffnen1Click);
    connect(a.save, &QAction::triggered, this, &TMainForm::Speichern1Click);
    connect(a.saveAs, &QAction::triggered, this, &TMainForm::Speichernunter1Click);
    connect(a.quit, &QAction::triggered, this, &TMainForm::Beenden1Click);
    connect(a.print, &QAction::triggered, this, &TMainForm::Drucken1Click);
    connect(a.pageSetup, &QAction::triggered, this, &TMainForm::Seiteeinrichten1Click);
    connect(a.printerSetup, &QAction::triggered, this, &TMainForm::Druckereinrichten1Click);
    connect(a.printPreview, &QAction::toggled, this, &TMainForm::Druckvorschau1Click);
    connect(a.lineWeights, &QAction::toggled, this, &TMainForm::Linienbreitezeigen1Click);
    connect(a.showAll, &QAction::triggered, this, &TMainForm::ZoomAllClick);
    connect(a.zoomIn, &QAction::triggered, this, &TMainForm::ZoomInBtnClick);
    connect(a.zoomOut, &QAction::triggered, this, &TMainForm::ZoomOutBtnClick);
    connect(a.zoomTool, &QAction::triggered, this, &TMainForm::ZoomBtnClick);
    connect(a.handTool, &QAction::triggered, this, &TMainForm::HandBtnClick);
    const EditActions &e = editActions_;
    connect(e.undoItem, &QAction::triggered, this, &TMainForm::Rckgngig1Click);
    connect(e.undoButton, &QAction::triggered, this, &TMainForm::UndoBtnClick);
    connect(e.redoItem, &QAction::triggered, this, &TMainForm::redo);
    connect(e.redoButton, &QAction::triggered, this, &TMainForm::redo);
    connect(e.deleteItem, &QAction::triggered, this, &TMainForm::Lschen1Click);
    connect(e.deleteButton, &QAction::triggered, this, &TMainForm::DelBtnClick);
    for (const auto &[a, choice] : e.drawTools)
        connect(a, &QAction::triggered, this, [this, c = choice] { chooseTool(c); });
    for (const auto &[a, op] : e.editTools)
        connect(a, &QAction::triggered, this, [this, o = op] { chooseEditTool(o); });
    const auto keyboardEntry = [this] {
        input_.setKeyboardEntry({editActions_.rotationByKeyboard->isChecked(),
                                 editActions_.scaleByKeyboard->isChecked()});
    };
    connect(e.rotationByKeyboard, &QAction::toggled, this, keyboardEntry);
    connect(e.scaleByKeyboard, &QAction::toggled, this, keyboardEntry);
    keyboardEntry();
    connect(e.BenutzenBtn, &QPushButton::clicked, this, &TMainForm::BenutzenBtnClick);
    // Another drawing or another tab ends the tool under way: its button comes up.
    viewer_.addDocumentReplacedListener([this] { syncToolButtons(); });
    viewer_.addTabChangeListener([this](int) { syncToolButtons(); });
    connect(e.selectAll, &QAction::triggered, this, &TMainForm::AllesAuswhlen1Click);
    connect(e.selectNone, &QAction::triggered, this, &TMainForm::Nichtsauswhlen1Click);
    connect(e.editMenu, &QMenu::aboutToShow, this, &TMainForm::BearbeitenMenuShow);
    connect(a.german, &QAction::triggered, this, &TMainForm::Deutsch1Click);
    connect(a.english, &QAction::triggered, this, &TMainForm::English1Click);
    connect(okBtn_, &QPushButton::clicked, this, &TMainForm::OkBtnClick);
    connect(TabControl1_, &QTabBar::currentChanged, this, &TMainForm::TabControl1Change);
    connect(HorzScrollbar_, &QScrollBar::valueChanged, this,
            [this](int v) { viewer_.HorzScrollbarChange(v); });
    connect(VertScrollbar_, &QScrollBar::valueChanged, this,
            [this](int v) { viewer_.VertScrollbarChange(v); });
    connect(paintBox_, &PaintBox::resized, this,
            [this](int w, int h) { viewer_.setPaintBoxSize(w, h); });
    connect(paintBox_, &PaintBox::pointerMoved, this, &TMainForm::PaintBox1MouseMove);
    connect(paintBox_, &PaintBox::inputHandled, this, &TMainForm::syncToolButtons);
    connect(druckenForm_, &TDruckenForm::printerSetupRequested, this,
            &TMainForm::Druckereinrichten1Click);
    for (QWidget *w : std::array<QWidget *, 3>{TabControl1_, HorzScrollbar_, VertScrollbar_})
        w->installEventFilter(this);
}

void TMainForm::FormMouseWheel(QWheelEvent *event) {
    const QPoint at = paintBox_->mapFromGlobal(event->globalPosition()).toPoint();
    event->setAccepted(paintBox_->wheelAt(at, event->angleDelta(), event->modifiers()));
}

void TMainForm::wheelEvent(QWheelEvent *event) { FormMouseWheel(event); }

bool TMainForm::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Wheel &&
        (watched == TabControl1_ || watched == HorzScrollbar_ || watched == VertScrollbar_)) {
        FormMouseWheel(static_cast<QWheelEvent *>(event));
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TMainForm::openfilewithname(const QString &path) {
    return viewer_.session().openfilewithname(QFile::encodeName(path).toStdString());
}

int TMainForm::ShowModal() {
    modalResult_ = 0;
    setWindowModality(Qt::ApplicationModal);
    if (!first_) {
        // The first showing opens in the middle of the screen; later ones where the user left it.
        first_ = true;
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            const QRect free = screen->availableGeometry();
            move(free.center() - QPoint(width() / 2, height() / 2));
            if (frameGeometry().top() < free.top()) move(x(), free.top());
        }
    }
    show();
    raise();
    activateWindow();
    QEventLoop loop;
    modalLoop_ = &loop;
    loop.exec(QEventLoop::DialogExec);
    modalLoop_ = nullptr;
    setWindowModality(Qt::NonModal);
    return modalResult_;
}

void TMainForm::closeEvent(QCloseEvent *event) {
    if (!viewer_.session().FormCloseQuery()) {
        modalResult_ = 0;
        event->ignore();
        return;
    }
    SaveOptions();
    if (options_.saveOptions) options_.saveOptions();
    event->accept();
    if (modalResult_ == 0) modalResult_ = 2;
    if (modalLoop_) modalLoop_->quit();
}

void TMainForm::LoadOptions() {
    if (!options_.optionsFile) return;
    // A missing, short or out-of-range file gives 0: German stays active and checked.
    const int v = options_.optionsFile->LoadOptions();
    languagesetto_ = v;
    language_ = v;
    if (options_.translator) options_.translator->setLanguage(v);
    // Only the two languages of the menu have an item; 2 ... 19 leave the check marks alone.
    dontchlang_ = true;
    if (v == 0) actions_.german->setChecked(true);
    if (v == 1) actions_.english->setChecked(true);
    dontchlang_ = false;
}

void TMainForm::SaveOptions() {
    // A failed write stays silent: the language simply is not kept for the next start.
    if (options_.optionsFile) options_.optionsFile->SaveOptions(language_);
}

void TMainForm::Deutsch1Click() { chooseLanguage(0, actions_.german); }
void TMainForm::English1Click() { chooseLanguage(1, actions_.english); }

void TMainForm::chooseLanguage(int language, QAction *item) {
    if (dontchlang_) return;
    item->setChecked(true);
    language_ = language;
    if (options_.translator) options_.translator->setLanguage(language);
    const auto &message = options_.messages ? options_.messages : document::germanMessages();
    constexpr int kMsgRestart = 1, kMsgTranslateCaption = 2;
    showInformationBox(this, message(kMsgRestart), message(kMsgTranslateCaption));
}

void TMainForm::ZoomFullIn180() { viewer_.ZoomFullIn180(); }

QImage TMainForm::Vorschaubild(render::ContourFigures *into) {
    QImage image(render::kPreviewSize, render::kPreviewSize, QImage::Format_RGB32);
    const render::Rgb bg = viewer_.previewBackground();
    image.fill(QColor(bg.r, bg.g, bg.b));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    bool drawn = false;
    {
        render::QPainterCanvas canvas(painter);
        drawn = viewer_.Vorschaubild(&canvas, image.logicalDpiX(), into);
    }
    painter.end();
    return drawn ? image : QImage();
}

void TMainForm::setPointerHandler(PointerHandler *handler) {
    handler_ = handler ? handler : &input_;
    paintBox_->setPointerHandler(handler_);
    syncToolButtons();
}

void TMainForm::NeueDXFDatei1Click() {
    viewer_.session().startNewDrawing(document::kTemplateLatest);
}

void TMainForm::NeueDXFDateiR12ohneSplineohneEllipseusw1Click() {
    viewer_.session().startNewDrawing(document::kTemplateR12);
}

void TMainForm::ffnen1Click() { viewer_.session().openWithQuestion(); }
void TMainForm::Speichern1Click() { viewer_.session().SaveFile(); }
void TMainForm::Speichernunter1Click() { viewer_.session().saveUnderNewName(); }
void TMainForm::Beenden1Click() { close(); }

void TMainForm::OkBtnClick() {
    modalResult_ = 1;
    close();
}

bool TMainForm::askPrintSettings(bool printOnOk) {
    const TDruckenForm::Outcome outcome = druckenForm_->ask(viewer_.printSettings());
    if (outcome == TDruckenForm::Outcome::Cancelled) return false;
    viewer_.setPrintSettings(druckenForm_->settings());
    savePrintSettings(*settingsStore(options_.settingsFile), viewer_.printSettings());
    if (outcome == TDruckenForm::Outcome::Preview) {
        actions_.printPreview->setChecked(true);
        return false;
    }
    return printOnOk;
}

void TMainForm::Drucken1Click() {
    if (askPrintSettings(true)) printPage();
}

void TMainForm::Seiteeinrichten1Click() { askPrintSettings(false); }

void TMainForm::printPage() {
    paintBox_->redraw();
    if (printer_->outputFormat() == QPrinter::PdfFormat) {
        const QString file =
            QFileDialog::getSaveFileName(this, QStringLiteral("Drucken in PDF-Datei"), QString(),
                                         QStringLiteral("PDF-Dateien (*.pdf)"));
        if (file.isEmpty()) return;
        printer_->setOutputFileName(file);
    }
    const std::string title =
        (options_.messages ? options_.messages : document::germanMessages())(kMsgPrintJobTitle);
    printSelectedTab(*printer_, viewer_, QString::fromStdString(title));
}

void TMainForm::Druckereinrichten1Click() {
    QPrintDialog dialog(printer_.get(), this);
    dialog.setWindowTitle(QStringLiteral("Drucker einrichten"));
    if (dialog.exec() == QDialog::Accepted) viewer_.setPrinterPage(printerPageOf(*printer_));
}

void TMainForm::Druckvorschau1Click(bool checked) { viewer_.setDruckvorschau(checked); }
void TMainForm::Linienbreitezeigen1Click(bool checked) { viewer_.setShowweight(checked); }
void TMainForm::ZoomAllClick() { viewer_.ZoomAllClick(); }
void TMainForm::ZoomInBtnClick() { viewer_.ZoomInBtnClick(); }
void TMainForm::ZoomOutBtnClick() { viewer_.ZoomOutBtnClick(); }

void TMainForm::ZoomBtnClick(bool checked) {
    handler_->chooseViewTool(checked ? ViewTool::Zoom : ViewTool::None);
    syncToolButtons();
}

void TMainForm::HandBtnClick(bool checked) {
    handler_->chooseViewTool(checked ? ViewTool::Hand : ViewTool::None);
    syncToolButtons();
}

void TMainForm::TabControl1Change(int index) {
    if (!showingTabs_ && index >= 0) viewer_.TabControl1Change(index);
}

void TMainForm::PaintBox1Paint(QPainter &painter) {
    render::QPainterCanvas canvas(painter);
    viewer_.PaintBox1Paint(canvas, paintBox_->logicalDpiX());
}

void TMainForm::paintOverlay(QPainter &painter) {
    render::QPainterCanvas canvas(painter);
    viewer_.paintOverlay(canvas);
}

void TMainForm::Rckgngig1Click() { editor_.undo(); }
void TMainForm::UndoBtnClick() { editor_.undo(); }
void TMainForm::redo() { editor_.redo(); }
void TMainForm::Lschen1Click() { editor_.deleteSelection(); }

void TMainForm::DelBtnClick() {
    input_.DelBtnClick();
    syncToolButtons();
}

void TMainForm::AllesAuswhlen1Click() { editor_.selectAll(); }
void TMainForm::Nichtsauswhlen1Click() { editor_.selectNone(); }

void TMainForm::BearbeitenMenuShow() {
    editActions_.showUndoState(editor_.canUndo(), editor_.canRedo());
}

void TMainForm::PaintBox1MouseMove(int x, int y) {
    statusBar()->showMessage(QString::fromStdString(viewer_.pointerText(x, y)));
}

void TMainForm::showTitle(const std::string &caption) {
    setWindowTitle(QString::fromStdString(caption));
}

void TMainForm::showError(const std::string &text) { showErrorBox(this, text); }
void TMainForm::showMessage(const std::string &text) { showMessageBox(this, text); }

document::SaveAnswer TMainForm::askToSave(const std::string &text, const std::string &caption) {
    return askToSaveBox(this, text, caption);
}

std::optional<std::string> TMainForm::chooseFileToOpen() { return chooseDxfToOpen(this); }
std::optional<std::string> TMainForm::chooseFileToSave() { return chooseDxfToSave(this); }

void TMainForm::setBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TMainForm::repaintDrawing() { paintBox_->redraw(); }
void TMainForm::repaintOverlay() { paintBox_->redrawOverlay(); }
void TMainForm::showUndoState(bool canUndo, bool canRedo) {
    editActions_.showUndoState(canUndo, canRedo);
}

void TMainForm::showTabs(const std::vector<std::string> &captions, int selected) {
    // Rebuilding the tabs is not a tab change of the user's.
    showingTabs_ = true;
    while (TabControl1_->count() > 0) TabControl1_->removeTab(TabControl1_->count() - 1);
    for (const std::string &c : captions) TabControl1_->addTab(QString::fromStdString(c));
    TabControl1_->setCurrentIndex(selected);
    showingTabs_ = false;
}

void TMainForm::showScrollPositions(int64_t horizontal, int64_t vertical) {
    // The view already holds these positions; the scroll bars only show them.
    const QSignalBlocker h(HorzScrollbar_), v(VertScrollbar_);
    HorzScrollbar_->setValue(static_cast<int>(horizontal));
    VertScrollbar_->setValue(static_cast<int>(vertical));
}

} // namespace quentar::editor::ui
