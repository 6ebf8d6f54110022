// TMainForm, the drawing window "DXF Editor": views, edits, opens, saves and prints a drawing.
#pragma once

#include "document/drawing_session.h"
#include "editor/drawing_editor.h"
#include "editor/drawing_viewer.h"
#include "editor/interaction.h"
#include "editor/ui/edit_actions.h"
#include "editor/ui/main_actions.h"
#include "editor/view_tools.h"
#include "i18n/options.h"
#include "i18n/translator.h"

#include <QImage>
#include <QMainWindow>
#include <QString>

#include <functional>
#include <memory>

class QEventLoop;
class QPrinter;
class QPushButton;
class QScrollBar;
class QTabBar;

namespace quentar::editor::ui {

class MeasurementPanel;
class PaintBox;
class TAddTextForm;
class TDruckenForm;
class TPolygonForm;

struct MainFormOptions {
    // Where template0.dat and template1.dat are; empty: the installation's data folder.
    QString dataFolder;
    // INI file of the window's stored settings (the print dialog's values); empty: the user's.
    QString settingsFile;
    // Numbered messages in the interface language; empty: the German texts.
    document::MessageSource messages;
    // Runs whenever the window is allowed to close, after SaveOptions.
    std::function<void()> saveOptions;
    // The translation table (not owned), loaded when the window is created: numbered messages
    // then come in the active language (unless `messages` is given).
    i18n::Translator *translator = nullptr;
    // options.dat (not owned): the language is read from it when the window is created and
    // written to it whenever the window is allowed to close.
    i18n::OptionsFile *optionsFile = nullptr;
};

// The calculator opens a file with openfilewithname, shows the window with ShowModal and, after a
// confirmation, takes the preview and the measured figures from it.
class TMainForm : public QMainWindow, private ViewerHost, private EditorHost, private ToolHost {
    Q_OBJECT
public:
    // Starts with a new, empty drawing from template1.dat.
    explicit TMainForm(MainFormOptions options = {}, QWidget *parent = nullptr);
    ~TMainForm() override;

    // Loads and reads a DXF file, showing its model tab fitted into the window; reports its own
    // errors. True if the file could be loaded.
    bool openfilewithname(const QString &path);
    // Shows the window modally until it closes: 1 when the user confirmed with "Okay, in
    // Kalkulation übernehmen...", 2 when it was closed otherwise.
    int ShowModal();

    // For the calculator after a confirmation: the 180-pixel fit, then the 180 x 180 preview,
    // which measures the drawing into figures(). A null image when drawing is suppressed.
    void ZoomFullIn180();
    // `into`: measure into these figures (their setup, e.g. cut contours only, as given)
    // instead of the window's own.
    QImage Vorschaubild(render::ContourFigures *into = nullptr);
    const render::ContourFigures &figures() const { return viewer_.figures(); }

    // The window's core objects: the viewer (drawing, reader, view) and the editor on it.
    DrawingViewer &viewer() { return viewer_; }
    DrawingEditor &editor() { return editor_; }
    PaintBox *paintBox() const { return paintBox_; }
    const MainActions &actions() const { return actions_; }
    // What the window shows of the measurement, and what it measures ("Nur Schnittkonturen
    // messen"): the calculator measures the same way.
    MeasurementPanel &measurement() const { return *measurement_; }
    const EditActions &editActions() const { return editActions_; }

    // The interface language: the translation table's column used for messages (0 German,
    // 1 English), and the one options.dat held at start.
    int language() const { return language_; }
    int languagesetto() const { return languagesetto_; }
    void LoadOptions();
    void SaveOptions();

    // The paint box's input goes to `handler` (not owned); null gives it back to the editor's.
    void setPointerHandler(PointerHandler *handler);
    // The view tools, for a handler that leaves zooming and panning to them.
    ViewTools &viewTools() { return viewTools_; }
    // The paint box's own handler: the tools, selecting clicks, the view tools.
    Interaction &interaction() { return input_; }
    // The text dialog and the polygon dialog the tools show.
    TAddTextForm &textForm() const { return *textForm_; }
    TPolygonForm &polygonForm() const { return *polygonForm_; }

protected:
    // FormCloseQuery: asks to save changes; when the window may close, SaveOptions runs.
    void closeEvent(QCloseEvent *event) override;
    // The wheel zooms and scrolls wherever the pointer is over the window (FormMouseWheelUp,
    // FormMouseWheelDown), about the pointer's place relative to the paint box: the scroll bars
    // and the tab bar do not take it for themselves.
    void wheelEvent(QWheelEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Menu items and buttons.
    void NeueDXFDatei1Click();
    void NeueDXFDateiR12ohneSplineohneEllipseusw1Click();
    void ffnen1Click();
    void Speichern1Click();
    void Speichernunter1Click();
    void Beenden1Click();
    void Drucken1Click();
    void Seiteeinrichten1Click();
    void Druckereinrichten1Click();
    void Druckvorschau1Click(bool checked);
    void Linienbreitezeigen1Click(bool checked);
    void ZoomAllClick();
    void ZoomInBtnClick();
    void ZoomOutBtnClick();
    void ZoomBtnClick(bool checked);
    void HandBtnClick(bool checked);
    void OkBtnClick();
    void Deutsch1Click();
    void English1Click();
    void chooseLanguage(int language, QAction *item);
    void TabControl1Change(int index);
    void Rckgngig1Click();
    void UndoBtnClick();
    void redo();
    void Lschen1Click();
    void DelBtnClick();
    void BenutzenBtnClick();
    void chooseTool(ToolChoice choice);
    void chooseEditTool(EditOperation operation);
    void AllesAuswhlen1Click();
    void Nichtsauswhlen1Click();
    void BearbeitenMenuShow();
    void PaintBox1Paint(QPainter &painter);
    void paintOverlay(QPainter &painter);
    void PaintBox1MouseMove(int x, int y);
    void syncToolButtons();
    void FormMouseWheel(QWheelEvent *event);

    void buildCentralWidget();
    void connectActions();
    // The print dialog's values after OK or "Vorschau": used and stored.
    bool askPrintSettings(bool printOnOk);
    void printPage();

    // ViewerHost
    void showTitle(const std::string &caption) override;
    void showError(const std::string &text) override;
    void showMessage(const std::string &text) override;
    document::SaveAnswer askToSave(const std::string &text, const std::string &caption) override;
    std::optional<std::string> chooseFileToOpen() override;
    std::optional<std::string> chooseFileToSave() override;
    void setBusy(bool busy) override;
    void repaintDrawing() override;
    void repaintOverlay() override;
    void showTabs(const std::vector<std::string> &captions, int selected) override;
    void showScrollPositions(int64_t horizontal, int64_t vertical) override;
    // EditorHost
    void showUndoState(bool canUndo, bool canRedo) override;
    // ToolHost
    bool askText(TextInput &text, bool dimension) override;
    bool askChangedText(std::string &text) override;
    bool askPolygonCorners(double &corners) override;
    PolylineMenuItem choosePolylineItem(int x, int y) override;
    void showMessageNumber(int number) override;
    void textExtent(const std::string &text, int pixels, int &width, int &height) override;
    std::optional<ArrayParameters> askArray() override;
    std::optional<KeyboardRotation> askRotation() override;
    std::optional<KeyboardScaling> askScaling() override;
    ViewportConfiguration askViewport(const ViewportConfiguration &start) override;
    document::MessageSource messages() const;

    MainFormOptions options_;
    DrawingViewer viewer_;
    DrawingEditor editor_;
    ViewTools viewTools_;
    Interaction input_;
    PointerHandler *handler_ = &input_;
    MainActions actions_;
    EditActions editActions_;
    PaintBox *paintBox_ = nullptr;
    MeasurementPanel *measurement_ = nullptr;
    QTabBar *TabControl1_ = nullptr;
    QScrollBar *HorzScrollbar_ = nullptr;
    QScrollBar *VertScrollbar_ = nullptr;
    QPushButton *okBtn_ = nullptr;
    TDruckenForm *druckenForm_ = nullptr;
    TAddTextForm *textForm_ = nullptr;
    TPolygonForm *polygonForm_ = nullptr;
    // The values the transformation dialogs showed last.
    ArrayParameters arrayValues_;
    KeyboardRotation rotationValues_;
    KeyboardScaling scalingValues_;
    std::unique_ptr<QPrinter> printer_;
    QEventLoop *modalLoop_ = nullptr;
    int modalResult_ = 0;
    bool showingTabs_ = false;
    // The window has been shown once.
    bool first_ = false;
    int language_ = 0;
    int languagesetto_ = 0;
    // Set while LoadOptions puts the check mark on the stored language's menu item.
    bool dontchlang_ = false;
};

} // namespace quentar::editor::ui
