// TLaserForm, the calculator window "Morvane Quentar 1.0": the program's main window.
#pragma once

#include "costing/calculator.h"
#include "costing/ui/drawing_source.h"
#include "costing/persisted_settings.h"
#include "costing/report.h"
#include "costing/ui/field_binder.h"

#include <QImage>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QSettings;
class QTabWidget;
class QTextEdit;
class QTreeWidget;


namespace quentar::costing::ui {

class TLaserForm : public QWidget {
    Q_OBJECT
public:
    // `dataFolder`: where material.dat and staffel.dat are read and written. `templateFolder`:
    // where the drawing window finds its templates; empty: the installation's data folder.
    explicit TLaserForm(const QString &dataFolder, const QString &templateFolder = {},
                        QWidget *parent = nullptr);
    ~TLaserForm() override;

    Calculator &calculator() { return *calc_; }

    // "DXF Datei laden...": the file dialog, then loadDrawing with the modal drawing window.
    void OpenBtnClick();
    // Everything after the file dialog. `show` shows the drawing window and returns 1 when the
    // user confirmed; tests answer for the user. False when nothing was taken over.
    using DrawingWindowRunner = std::function<int(DrawingSource &)>;
    bool loadDrawing(const QString &path, const DrawingWindowRunner &show);
    // How the file button and a dropped file show the drawing window; ShowModal unless replaced.
    void setDrawingWindowRunner(DrawingWindowRunner run) { showDrawingWindow_ = std::move(run); }

    // The program's drawing window, created at start-up after this window (not owned). Without
    // one, the first drawing loaded creates a window of this form's own through the factory.
    void setDrawingWindow(DrawingSource *window) { drawingWindow_ = window; }
    DrawingSource *drawingWindow() const { return drawingWindow_; }
    using DrawingWindowFactory = std::unique_ptr<DrawingSource> (*)(const QString &templateFolder);
    static void setDrawingWindowFactory(DrawingWindowFactory make);

    // What the last take-over measured: unit, pierces, warnings shown beside the figures.
    const render::DrawingMeasurement &lastMeasurement() const { return measured_; }

    // Refreshes the report or the offer prices when their page is the current one.
    void PageControl1Change();

    // The preview as composed after the last take-over (blank white before).
    const QImage &vorschau() const { return vorschau_; }

    // The two file buttons after their save dialogs. False when the file cannot be written.
    bool saveReportPdf(const QString &path);
    bool saveOfferText(const QString &path);
    // "Drucken" once the printer (or the PDF file it prints to) is settled: the quotation as one
    // job titled "Ausdruck". False when the job could not be started.
    bool printReport(QPrinter &printer);

    // The widget of an engine field, by the field's name; null when it has none.
    QWidget *editorOf(const std::string &fieldName) const;
    QTabWidget *pages() const { return pageControl_; }
    QTextEdit *reportView() const { return reportView_; }
    QTextEdit *offerView() const { return offerView_; }
    QLineEdit *projectNameEdit() const { return projektNameEd_; }
    // The first sheet's nest as the "Einstellungen" page shows it (null while material is not charged
    // by the sheet or its figures cannot be made).
    const QImage &nestPicture() const { return nestPicture_; }

    // The stored settings: read before the first showing, written when the window closes.
    void restoreSettings();
    void storeSettings();
    // The stored values the last restoreSettings refused (they keep their start values), and the
    // file they are kept in; the program tells the user of them once at start.
    const std::vector<RefusedSetting> &refusedSettings() const { return refusedSettings_; }
    const QString &settingsFile() const { return settingsFile_; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    QWidget *buildBerechnungPage();
    QWidget *buildMaterialienPage();
    QWidget *buildAusdruckPage();
    QWidget *buildEinstellungenPage();
    QWidget *buildStaffelpreisePage();
    QWidget *buildAngebotspreisePage();
    QWidget *buildZeitkalkulationPage();
    QWidget *buildLoecherPage();
    // "Material nach Tafeln" on the "Einstellungen" page: material by the sheet on or off, its
    // format and remnant policy, the figures beside the blank's and the first sheet's nest.
    QWidget *buildSheetPanel();
    void refreshSheetFormats(); // the chosen material's formats in the format box
    void applySheetChoice();    // the page's choice into the calculator
    void refreshSheetFigures();

    // Editors for an engine field, coloured by role, registered for editorOf.
    enum class Role { Input, Result, Property, Drawing };
    // `step` 0: a plain line edit; otherwise a spin editor stepping by `step`.
    QWidget *numberEdit(NumberField &field, Role role, double step = 0);
    QWidget *timeEdit(TimeField &field, Role role);
    QWidget *durationEdit(TimeField &field, Role role);

    void composePreview(const QImage &picture, double width, double length);
    void refreshTexts();
    // Refill from the catalogue (the tiers) and choose row `select`; -1: none.
    void refreshMaterialList(int select);
    void refreshTierList(int select);
    // The buttons of the "Materialien" page; a double click on a row edits it as well.
    void NeuesMatBtnClick();
    void EditMatBtnClick();
    void DelMatBtnClick();
    // The buttons of the "Staffelpreise" page: new, edit (also a double click), delete.
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();
    // The quotation (the offer prices) as last built and shown; built now if it never was.
    const std::vector<ReportLine> &shownReport();
    const std::vector<std::string> &shownOffers();
    void SaveAsPDFBtnClick();
    void SaveOffersBtnClick();
    void BitBtn1Click(); // "Drucken"
    void BitBtn2Click(); // "Drucker einrichten..."
    QPrinter &printer();
    void restorePlacement(QSettings &store);
    void storePlacement(QSettings &store);

    std::unique_ptr<Calculator> calc_;
    QString templateFolder_;
    // After the calculator: its listeners go first.
    FieldBinder binder_;
    std::unique_ptr<DrawingSource> ownDrawingWindow_;
    DrawingSource *drawingWindow_ = nullptr;
    render::DrawingMeasurement measured_;
    QLabel *drawingNote_ = nullptr; // unit, pierces and warnings of the drawing taken over
    // Before the figures are taken over: what may be wrong with them, and what the user wants
    // done (take them, scale them from inches, measure cut contours only, or nothing).
    bool confirmFigures(DrawingSource &window, render::MeasureOptions &options, QImage &picture);
    void showDrawingNote();
    DrawingWindowRunner showDrawingWindow_;
    // Made on first use: asking the print system for its default printer can take a while.
    std::unique_ptr<QPrinter> printer_;
    QImage vorschau_;
    // The quotation and the offer prices as last built and shown: what is printed and saved.
    std::vector<ReportLine> lastReport_;
    std::vector<std::string> lastOffers_;
    std::vector<RefusedSetting> refusedSettings_;
    QString settingsFile_;
    bool restored_ = false;
    bool stored_ = false;

    QPushButton *openBtn_ = nullptr;
    QTabWidget *pageControl_ = nullptr;
    QLabel *paintBox1_ = nullptr;
    QTextEdit *reportView_ = nullptr;
    QTextEdit *offerView_ = nullptr;
    QLineEdit *projektNameEd_ = nullptr;
    QCheckBox *withOffersCheck_ = nullptr;
    QLineEdit *waehrEd_ = nullptr;
    std::array<QLineEdit *, 10> effortEdits_{};
    QTreeWidget *materialList_ = nullptr;
    QTreeWidget *tierList_ = nullptr;
    std::vector<std::pair<std::string, QWidget *>> editors_;
    QCheckBox *sheetCheck_ = nullptr;
    QComboBox *sheetFormatBox_ = nullptr;
    QComboBox *remnantBox_ = nullptr;
    QLabel *sheetFigures_ = nullptr;
    QLabel *sheetNote_ = nullptr; // on the "Berechnung" page: how the material is charged
    QLabel *nestLabel_ = nullptr;
    QImage nestPicture_;
    bool fillingSheetBoxes_ = false; // the boxes are being refilled, not chosen from
};

} // namespace quentar::costing::ui
