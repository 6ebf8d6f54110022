// Laying the quotation out on PDF pages.
#include "costing/report_pdf.h"

#include "pdf/pdf_syntax.h"

#include <algorithm>

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
            const pdf::RgbImage *nestPicture, pdf::TPDFCanvas &canvas) {
    const int left = 50, top = 50;
    const int right = canvas.PageWidth - 50, bottom = canvas.PageHeight - 50;
    if (picture && picture->width > 0 && picture->height > 0) {
        const int w = 141; // 50 mm
        canvas.DrawDIB(right - w, top, w, w * picture->height / picture->width, *picture, 0, 0,
                       picture->width, picture->height);
    }
    PdfSurface surface(canvas);
    int y = layoutReport(surface, lines, {left, top, right, bottom});
    if (!nestPicture || nestPicture->width <= 0 || nestPicture->height <= 0) return;
    // Half the text width, the sheet to scale; a caption above it.
    const int w = (right - left) / 2;
    const int h = std::max(1, static_cast<int>(static_cast<long long>(w) * nestPicture->height /
                                               nestPicture->width));
    surface.setLineFont(kReportFontSize, false);
    const std::string caption = "Erste Tafel:";
    const int captionHeight = surface.textHeight(caption);
    y += captionHeight; // an empty line's room before it
    // The picture a line below its caption.
    if (y + 2 * captionHeight + h > bottom) {
        canvas.NewPage();
        y = top;
    }
    surface.textOut(left, y, caption);
    canvas.DrawDIB(left, y + 2 * captionHeight, w, h, *nestPicture, 0, 0, nestPicture->width,
                   nestPicture->height);
}

} // namespace

bool exportReportPdf(const std::vector<ReportLine> &lines, const std::string &path,
                     const pdf::RgbImage *picture, pdf::TPDFCanvas &canvas,
                     const pdf::RgbImage *nestPicture) {
    if (!canvas.BeginDoc(path)) return false;
    layOut(lines, picture, nestPicture, canvas);
    return canvas.EndDoc();
}

bool reportPdfBytes(const std::vector<ReportLine> &lines, const pdf::RgbImage *picture,
                    pdf::TPDFCanvas &canvas, std::string &bytes,
                    const pdf::RgbImage *nestPicture) {
    if (!canvas.BeginDocInMemory()) return false;
    layOut(lines, picture, nestPicture, canvas);
    return canvas.EndDoc(bytes);
}

} // namespace quentar::costing
