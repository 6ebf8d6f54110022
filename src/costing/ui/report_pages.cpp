// The "Ausdruck" and "Angebotspreise" pages: the quotation, the offer prices and their files.
#include "costing/ui/laser_form.h"
#include "costing/ui/nest_picture.h"

#include "costing/report.h"
#include "costing/report_pdf.h"
#include "costing/ui/busy_cursor.h"
#include "costing/ui/report_printer.h"
#include "document/safe_file.h"
#include "pdf/pdf_canvas.h"
#include "pdf/rgb_image.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

#include <optional>

namespace quentar::costing::ui {

namespace {

constexpr int kAusdruckPage = 2;
constexpr int kAngebotspreisePage = 5;

void showReport(QTextEdit *view, const std::vector<ReportLine> &lines) {
    view->clear();
    QTextCursor cursor(view->document());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        QTextCharFormat format;
        format.setFontFamilies({QString::fromLatin1(kReportFont)});
        switch (lines[i].style) {
        case ReportLine::Style::Title:
            format.setFontPointSize(14);
            format.setFontWeight(QFont::Bold);
            break;
        case ReportLine::Style::Total:
            format.setFontPointSize(11);
            format.setFontWeight(QFont::Bold);
            break;
        // On screen the lines read at 11 pt; printer and PDF set them in the view's 8 pt font.
        case ReportLine::Style::Normal: format.setFontPointSize(11); break;
        }
        if (i > 0) cursor.insertBlock();
        cursor.insertText(qs(lines[i].text), format);
    }
}

// A save dialog for one kind of file. A name typed without an extension gets `suffix`, also where
// a native dialog ignores the default suffix. Empty when cancelled.
QString askSaveFileName(QWidget *parent, const QString &title, const QString &filter,
                        const QString &suffix) {
    QFileDialog dialog(parent, title, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    QString path = dialog.selectedFiles().constFirst();
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty() && !path.endsWith(QLatin1Char('.')))
        path += QLatin1Char('.') + suffix;
    return path;
}

pdf::RgbImage rgbOf(const QImage &image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    pdf::RgbImage picture;
    picture.width = rgb.width();
    picture.height = rgb.height();
    for (int row = 0; row < rgb.height(); ++row) {
        const uchar *line = rgb.constScanLine(row);
        picture.rgb.insert(picture.rgb.end(), line, line + 3 * rgb.width());
    }
    return picture;
}

} // namespace

QWidget *TLaserForm::buildAusdruckPage() {
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Projektname:")));
    projektNameEd_ = new QLineEdit;
    projektNameEd_->setObjectName(QStringLiteral("ProjektNameEd"));
    // ProjektNameEdChange: typing refreshes the report while it is shown.
    connect(projektNameEd_, &QLineEdit::textChanged, this, [this] { PageControl1Change(); });
    top->addWidget(projektNameEd_, 1);
    column->addLayout(top);
    withOffersCheck_ = new QCheckBox(QStringLiteral("Angebotspreise mit im Ausdruck auflisten"));
    connect(withOffersCheck_, &QCheckBox::clicked, this, [this] { PageControl1Change(); });
    column->addWidget(withOffersCheck_);
    reportView_ = new QTextEdit;
    reportView_->setObjectName(QStringLiteral("AusdruckMemo"));
    reportView_->setReadOnly(true);
    // A quotation line stays one line, as it is printed.
    reportView_->setLineWrapMode(QTextEdit::NoWrap);
    reportView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    reportView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    column->addWidget(reportView_, 1);
    auto *buttons = new QHBoxLayout;
    auto *printBtn = new QPushButton(QStringLiteral("Drucken"));
    printBtn->setObjectName(QStringLiteral("BitBtn1"));
    connect(printBtn, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    buttons->addWidget(printBtn);
    auto *setupBtn = new QPushButton(QStringLiteral("Drucker einrichten..."));
    setupBtn->setObjectName(QStringLiteral("BitBtn2"));
    connect(setupBtn, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    buttons->addWidget(setupBtn);
    auto *pdfBtn = new QPushButton(QStringLiteral("Als PDF Datei speichern unter..."));
    connect(pdfBtn, &QPushButton::clicked, this, [this] { SaveAsPDFBtnClick(); });
    buttons->addWidget(pdfBtn);
    buttons->addStretch();
    column->addLayout(buttons);
    return page;
}

QWidget *TLaserForm::buildAngebotspreisePage() {
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    column->addWidget(new QLabel(
        QStringLiteral("Berechnet die Stückpreise anhand der verschiedenen Staffelpreise.")));
    offerView_ = new QTextEdit;
    offerView_->setObjectName(QStringLiteral("AngebotMemo"));
    offerView_->setReadOnly(true);
    offerView_->setLineWrapMode(QTextEdit::NoWrap);
    column->addWidget(offerView_, 1);
    auto *saveBtn = new QPushButton(QStringLiteral("Als Text Datei speichern unter..."));
    connect(saveBtn, &QPushButton::clicked, this, [this] { SaveOffersBtnClick(); });
    column->addWidget(saveBtn, 0, Qt::AlignLeft);
    return page;
}

void TLaserForm::PageControl1Change() {
    if (!pageControl_) return;
    if (pageControl_->currentIndex() == kAusdruckPage) {
        // With the offer prices the engine runs through every tier twice.
        std::optional<BusyCursor> busy;
        if (withOffersCheck_->isChecked()) busy.emplace();
        lastReport_ = CalcAusdruck(*calc_, projektNameEd_->text().toStdString(),
                                   withOffersCheck_->isChecked());
        showReport(reportView_, lastReport_);
    } else if (pageControl_->currentIndex() == kAngebotspreisePage) {
        const BusyCursor busy;
        lastOffers_ = calc_->CalcAngebotspreise();
        QString text;
        for (const std::string &line : lastOffers_) text += qs(line) + '\n';
        offerView_->setPlainText(text);
    }
}

const std::vector<ReportLine> &TLaserForm::shownReport() {
    if (lastReport_.empty()) {
        lastReport_ = CalcAusdruck(*calc_, projektNameEd_->text().toStdString(),
                                   withOffersCheck_->isChecked());
        showReport(reportView_, lastReport_);
    }
    return lastReport_;
}

const std::vector<std::string> &TLaserForm::shownOffers() {
    if (lastOffers_.empty()) {
        lastOffers_ = calc_->CalcAngebotspreise();
        QString text;
        for (const std::string &line : lastOffers_) text += qs(line) + '\n';
        offerView_->setPlainText(text);
    }
    return lastOffers_;
}

bool TLaserForm::saveReportPdf(const QString &path) {
    const BusyCursor busy;
    const pdf::RgbImage picture = rgbOf(vorschau_);
    const std::vector<ReportLine> &lines = shownReport();
    // The nest as the quotation's lines show it: by the sheet, with figures.
    QImage nestImage;
    if (calc_->sheets().choice.on)
        if (const SheetFigures s = calc_->sheetFigures(); s.valid)
            nestImage = paintNestPicture(s.picture, 800);
    const pdf::RgbImage nest = nestImage.isNull() ? pdf::RgbImage{} : rgbOf(nestImage);
    pdf::TPDFCanvas canvas;
    return exportReportPdf(lines, path.toStdString(), &picture, canvas,
                           nestImage.isNull() ? nullptr : &nest);
}

bool TLaserForm::saveOfferText(const QString &path) {
    const BusyCursor busy;
    // CR LF, as every text file the program writes.
    std::string bytes;
    for (const std::string &line : shownOffers()) bytes += line + "\r\n";
    return document::writeFileAtomically(path.toStdString(), bytes);
}

void TLaserForm::SaveAsPDFBtnClick() {
    const QString path = askSaveFileName(this, QString(), QStringLiteral("PDF-Dateien (*.pdf)"),
                                         QStringLiteral("pdf"));
    if (!path.isEmpty() && !saveReportPdf(path))
        QMessageBox::critical(this, windowTitle(), path + QStringLiteral(" kann nicht "
                                                                          "geschrieben werden."));
}

void TLaserForm::SaveOffersBtnClick() {
    const QString path = askSaveFileName(this, QString(), QStringLiteral("Text Dateien (*.txt)"),
                                         QStringLiteral("txt"));
    if (!path.isEmpty() && !saveOfferText(path))
        QMessageBox::critical(this, windowTitle(), path + QStringLiteral(" kann nicht "
                                                                          "geschrieben werden."));
}

QPrinter &TLaserForm::printer() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (printer_->outputFormat() == QPrinter::PdfFormat) {
            // No printer is installed: the job goes to a PDF file, A4 without unprintable edges.
            printer_->setPageSize(QPageSize(QPageSize::A4));
            printer_->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        }
    }
    return *printer_;
}

bool TLaserForm::printReport(QPrinter &printer) {
    const BusyCursor busy;
    return printReportLines(printer, shownReport(), vorschau_, QStringLiteral("Ausdruck"));
}

void TLaserForm::BitBtn1Click() {
    QPrinter &p = printer();
    if (p.outputFormat() == QPrinter::PdfFormat) {
        const QString file =
            askSaveFileName(this, QStringLiteral("Drucken in PDF-Datei"),
                            QStringLiteral("PDF-Dateien (*.pdf)"), QStringLiteral("pdf"));
        if (file.isEmpty()) return;
        p.setOutputFileName(file);
    }
    // A real printer's refusal is reported by the print system; a file is ours to report.
    if (!printReport(p) && !p.outputFileName().isEmpty())
        QMessageBox::critical(this, windowTitle(),
                              p.outputFileName() +
                                  QStringLiteral(" kann nicht geschrieben werden."));
}

void TLaserForm::BitBtn2Click() {
    QPrintDialog dialog(&printer(), this);
    dialog.setWindowTitle(QStringLiteral("Drucker einrichten"));
    dialog.exec();
}

} // namespace quentar::costing::ui
