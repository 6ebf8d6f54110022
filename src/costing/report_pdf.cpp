// Laying the quotation out on PDF pages.
#include "costing/report_pdf.h"

#include "pdf/pdf_syntax.h"

namespace quentar::costing {

namespace {

class PdfSurface : public ReportCanvas {
public:
    explicit PdfSurface(pdf::TPDFCanvas &c) : c_(c) {}
    int textWidth(std::string_view t) override { return c_.TextWidth(t); }
    int textHeight(std::string_view t) override { return c_.TextHeight(t); }
    void textOut(int x, int y, std::string_view t) override { c_.TextOut(x, y, t); }
    void setLineFont(int pointSize, bool bold) override {
        c_.font.name = kReportFont;
        c_.font.size = pointSize;
        c_.font.style = bold ? pdf::kBold : 0;
    }
    void newPage() override { c_.NewPage(); }

private:
    pdf::TPDFCanvas &c_;
};

// The quotation's pages on a document begun on `canvas`.
void layOut(const std::vector<ReportLine> &lines, const pdf::RgbImage *picture,
            pdf::TPDFCanvas &canvas) {
    const int left = 50, top = 50;
    const int right = canvas.PageWidth - 50, bottom = canvas.PageHeight - 50;
    if (picture && picture->width > 0 && picture->height > 0) {
        const int w = 141; // 50 mm
        canvas.DrawDIB(right - w, top, w, w * picture->height / picture->width, *picture, 0, 0,
                       picture->width, picture->height);
    }
    PdfSurface surface(canvas);
    layoutReport(surface, lines, {left, top, right, bottom});
}

} // namespace

bool exportReportPdf(const std::vector<ReportLine> &lines, const std::string &path,
                     const pdf::RgbImage *picture, pdf::TPDFCanvas &canvas) {
    if (!canvas.BeginDoc(path)) return false;
    layOut(lines, picture, canvas);
    return canvas.EndDoc();
}

bool reportPdfBytes(const std::vector<ReportLine> &lines, const pdf::RgbImage *picture,
                    pdf::TPDFCanvas &canvas, std::string &bytes) {
    if (!canvas.BeginDocInMemory()) return false;
    layOut(lines, picture, canvas);
    return canvas.EndDoc(bytes);
}

} // namespace quentar::costing
