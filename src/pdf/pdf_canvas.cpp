// The drawing operations of TPDFCanvas and the pen, brush and font state they write.
#include "pdf/pdf_canvas.h"

#include "pdf/freetype_font_metrics.h"
#include "pdf/jpeg_encoder.h"
#include "pdf/win_ansi.h"

#include <algorithm>
#include <cmath>

namespace quentar::pdf {

namespace {

std::string rgbText(Color c) {
    return colorComponentText(c.r) + " " + colorComponentText(c.g) + " " + colorComponentText(c.b);
}

const char *dashPattern(PenStyle style) {
    switch (style) {
    case PenStyle::Dash:
        return "[3] 0 d";
    case PenStyle::Dot:
        return "[1] 0 d";
    case PenStyle::DashDot:
        return "[3 1 1 1] 0 d";
    case PenStyle::DashDotDot:
        return "[3 1 1 1 1 1] 0 d";
    default:
        return "[ ] 0 d";
    }
}

// A box side for the PDF: one less than the screen size, as the right and bottom edge stay
// outside; one more when the size is zero or negative, so it never collapses.
int insideSize(int size) { return size < 1 ? size + 1 : size - 1; }

// Whole page units of a length given in thousandths of the em at `size` points. Rounded up: a
// cell cut short would let lines overlap.
int ceilUnits(double thousandths, int size) {
    return static_cast<int>(std::ceil(thousandths * size / 1000.0 - 1e-9));
}

} // namespace

TPDFCanvas::TPDFCanvas() : TPDFCanvas(installedFontMetrics()) {}

TPDFCanvas::TPDFCanvas(std::shared_ptr<FontMetricsSource> metrics)
    : metricsSource_(std::move(metrics)) {}

TPDFCanvas::~TPDFCanvas() {
    try {
        EndDoc();
    } catch (...) {
        // A destructor cannot report; the file simply is not written.
    }
}

void TPDFCanvas::write(std::string_view s) {
    if (!isInCreation_) return;
    if (stream_)
        stream_->write(s);
    else
        counter_->write(s);
}

void TPDFCanvas::writeln(std::string_view s) {
    write(s);
    write("\n");
}

const FontMetrics &TPDFCanvas::metricsFor(const std::string &name, std::uint8_t style) {
    const bool bold = style & kBold;
    const bool italic = style & kItalic;
    const auto key = std::make_pair(name, (bold ? kBold : 0) | (italic ? kItalic : 0));
    auto it = metricsCache_.find(key);
    if (it == metricsCache_.end()) {
        FontMetrics metrics;
        if (!metricsSource_ || !metricsSource_->metrics(name, bold, italic, metrics))
            metrics = genericSansMetrics();
        it = metricsCache_.emplace(key, metrics).first;
    }
    return it->second;
}

int TPDFCanvas::TextWidth(std::string_view text) {
    const FontMetrics &metrics = metricsFor(font.name, font.style);
    // The sum of the widths the font object declares (whole thousandths), so what is measured
    // here is what a reader lays out.
    long long thousandths = 0;
    for (const char c : toWinAnsi(text))
        thousandths += static_cast<long long>(metrics.width(static_cast<unsigned char>(c)));
    return ceilUnits(static_cast<double>(thousandths), font.size);
}

int TPDFCanvas::TextHeight(std::string_view) {
    // The cell height does not depend on the text, as on a screen canvas.
    const FontMetrics &metrics = metricsFor(font.name, font.style);
    return ceilUnits(metrics.cellAscent, font.size) + ceilUnits(metrics.cellDescent, font.size);
}

void TPDFCanvas::writeFill(Color color) {
    writeln(rgbText(color) + " rg");
    writtenFill_ = color;
}

void TPDFCanvas::ApplyPen() {
    noline_ = pen.style == PenStyle::Clear;
    // A clear pen writes nothing, so the state in the content is still the pen written last.
    if (noline_ || writtenPen_ == pen) return;
    writeln(dashPattern(pen.style));
    writeln(intText(std::max(pen.width, 0)) + " w");
    writeln(rgbText(pen.color) + " RG");
    writtenPen_ = pen;
}

void TPDFCanvas::ApplyBrush() {
    nofill_ = brush.style == BrushStyle::Clear;
    // Compared with the fill colour in effect, not with the brush last applied: text colour
    // and clear brushes change the one without the other.
    if (!nofill_ && writtenFill_ != brush.color) writeFill(brush.color);
}

int TPDFCanvas::FontIndex(const std::string &name, std::uint8_t style) {
    for (std::size_t i = 0; i < fontList_.size(); ++i) {
        if (fontList_[i].name == name && fontList_[i].style == style)
            return static_cast<int>(i + 1);
    }
    fontList_.push_back({name, style});
    return static_cast<int>(fontList_.size());
}

void TPDFCanvas::ApplyFont() {
    if (writtenFill_ != font.color) writeFill(font.color);
    const int nr = FontIndex(font.name, font.style);
    if (nr == writtenFontNr_ && font.size == writtenFontSize_) return;
    writeln("/F" + intText(nr) + " " + intText(font.size) + " Tf");
    writtenFontNr_ = nr;
    writtenFontSize_ = font.size;
}

void TPDFCanvas::MoveTo(int x, int y) {
    if (!isInCreation_) return;
    penX_ = x;
    penY_ = y;
}

void TPDFCanvas::LineTo(int x, int y) {
    if (!isInCreation_) return;
    ApplyPen();
    if (!noline_) {
        writeln(intText(penX_) + " " + intText(PageHeight - penY_ - 1) + " m");
        writeln(intText(x) + " " + intText(PageHeight - y - 1) + " l");
        writeln("S");
    }
    penX_ = x;
    penY_ = y;
}

void TPDFCanvas::FillRect(int x1, int y1, int x2, int y2) {
    if (!isInCreation_ || x1 == x2 || y1 == y2) return;
    ApplyBrush();
    if (nofill_) return;
    writeln(intText(x1) + " " + intText(PageHeight - y2) + " " + intText(insideSize(x2 - x1)) +
            " " + intText(insideSize(y2 - y1)) + " re");
    writeln("f");
}

void TPDFCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    if (!isInCreation_) return;
    if (pen.style == PenStyle::Clear) {
        FillRect(x1, y1, x2, y2);
        return;
    }
    if (x1 == x2 || y1 == y2) return;
    ApplyPen();
    ApplyBrush();
    if (!nofill_) {
        writeln(intText(x1) + " " + intText(PageHeight - y2) + " " + intText(insideSize(x2 - x1)) +
                " " + intText(insideSize(y2 - y1)) + " re");
        writeln("B");
        return;
    }
    MoveTo(x1, y1);
    LineTo(x2 - 1, y1);
    LineTo(x2 - 1, y2 - 1);
    LineTo(x1, y2 - 1);
    LineTo(x1, y1);
}

void TPDFCanvas::TextOut(int x, int y, std::string_view text) {
    if (!isInCreation_) return;
    const int h = TextHeight(text);
    writeln("BT");
    ApplyFont();
    // The baseline goes to the bottom of the cell.
    writeln(intText(x) + " " + intText(PageHeight - y - h - 1) + " Td (" +
            EscapeString(toWinAnsi(text)) + ") Tj");
    writeln("ET");
}

void TPDFCanvas::placePicture(int x, int y, int w, int h, int imageNr) {
    const int boxW = insideSize(w);
    const int boxH = insideSize(h);
    writeln("q");
    writeln(intText(boxW) + " 0 0 " + intText(boxH) + " " + intText(x) + " " +
            intText(PageHeight - y - boxH) + " cm");
    writeln("/Im" + intText(imageNr) + " Do");
    writeln("Q");
}

void TPDFCanvas::DrawDIB(int x, int y, int w, int h, const RgbImage &bitmap, int, int, int srcW,
                         int srcH) {
    if (!isInCreation_ || w == 0 || h == 0 || srcW == 0 || srcH == 0 || !bitmap.valid()) return;
    // Encoded at once: the JPEG is the private copy, far smaller than the pixels.
    images_.push_back({bitmap.width, bitmap.height, encodeJpeg(bitmap, 90)});
    placePicture(x, y, w, h, static_cast<int>(images_.size()) - 1);
}

void TPDFCanvas::DrawDIBOfImageNr(int x, int y, int w, int h, int imageNr) {
    if (!isInCreation_ || imageNr < 0 || imageNr >= imageCount()) return;
    placePicture(x, y, w, h, imageNr);
}

} // namespace quentar::pdf
