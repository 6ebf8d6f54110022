// Laying the quotation out on PDF pages.
#include "costing/report_pdf.h"

#include "pdf/pdf_syntax.h"

namespace quentar::costing {

namespace {

class PdfSurface : public TextSurface {
public:
    explicit PdfSurface(pdf::TPDFCanvas &c) : c_(c) {}
    int textWidth(std::string_view t) override { return c_.TextWidth(t); }
    int textHeight(std::string_view t) override { return c_.TextHeight(t); }
    void textOut(int x, int y, std::string_view t) override { c_.TextOut(x, y, t); }

private:
    pdf::TPDFCanvas &c_;
};

} // namespace

bool exportReportPdf(const std::vector<ReportLine> &lines, const std::string &path,
                     const pdf::RgbImage *picture, pdf::TPDFCanvas &canvas) {
    const int left = 50, top = 50;
    const int right = canvas.PageWidth - 50, bottom = canvas.PageHeight - 50;
    if (!canvas.BeginDoc(path)) return false;
    if (picture && picture->width > 0 && picture->height > 0) {
        const int w = 141; // 50 mm
        canvas.DrawDIB(right - w, top, w, w * picture->height / picture->width, *picture, 0, 0,
                       picture->width, picture->height);
    }
    PdfSurface surface(canvas);
    int y = top;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        canvas.font.name = kReportFont;
        canvas.font.size = kReportFontSize;
        canvas.font.style = 0;
        if (i == 0) {
            canvas.font.size = 14;
            canvas.font.style = pdf::kBold;
        } else if (i + 1 == lines.size()) {
            canvas.font.size = 11;
            canvas.font.style = pdf::kBold;
        }
        const int width = right - left + 1;
        int h = layoutLine(surface, left, y, false, width, lines[i].text);
        if (y + h > bottom) {
            canvas.NewPage();
            y = top;
            h = layoutLine(surface, left, y, false, width, lines[i].text);
        }
        layoutLine(surface, left, y, true, width, lines[i].text);
        y += h;
    }
    return canvas.EndDoc();
}

} // namespace quentar::costing
