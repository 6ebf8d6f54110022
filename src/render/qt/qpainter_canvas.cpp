// The render canvas on a QPainter: paths, whole-pixel rectangles, Arial texts, clips and handles.
#include "render/qt/qpainter_canvas.h"

#include "document/safe_file.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace quentar::render {
namespace {

// Qt measures glyphs in 26.6 fixed point; much larger fonts overflow it, so texts beyond this size
// are drawn at it and scaled up by the transform instead.
constexpr int kMaxFontPx = 16384;

// Qt's pixel centres are at half-integers, the render pass's at integers.
constexpr double kPixelCentre = 0.5;

QColor toQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

QPainterPath toQPath(const Path &path) {
    QPainterPath out;
    out.setFillRule(Qt::OddEvenFill);
    for (const Path::Figure &figure : path.figures) {
        bool started = false;
        for (const PointF &p : figure.points) {
            // A non-finite point would make Qt warn and drop it anyway; dropping it here is silent.
            if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
            const QPointF q(p.x + kPixelCentre, p.y + kPixelCentre);
            if (started) {
                out.lineTo(q);
            } else {
                out.moveTo(q);
                started = true;
            }
        }
        if (started && figure.closed) out.closeSubpath();
    }
    return out;
}

bool isUsable(const Transform &t) {
    const double det = t.m11 * t.m22 - t.m12 * t.m21;
    return std::isfinite(det) && det != 0 && std::isfinite(t.dx) && std::isfinite(t.dy);
}

// The font size actually used for `sizePx`, and the scale that makes up for the clamping.
struct FontSize {
    int px = 1;
    double scale = 1;
};

FontSize fontSizeFor(double sizePx) {
    if (!(sizePx < kMaxFontPx)) return {kMaxFontPx, sizePx / kMaxFontPx};
    return {std::max(1, static_cast<int>(std::lround(sizePx))), 1};
}

QTransform textTransform(const Transform &world, const FontSize &size) {
    const QTransform t(world.m11, world.m12, world.m21, world.m22, world.dx, world.dy);
    return size.scale == 1 ? t : QTransform::fromScale(size.scale, size.scale) * t;
}

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Dash entries of QPen must be non-negative and come in dash/gap pairs; an odd pattern repeats
// itself with dashes and gaps swapped, which doubling it spells out.
QList<qreal> dashPatternFor(const std::vector<double> &pattern) {
    QList<qreal> out;
    double sum = 0;
    for (double v : pattern) {
        const double d = std::isfinite(v) && v > 0 ? v : 0;
        out.append(d);
        sum += d;
    }
    if (!(sum > 0) || !std::isfinite(sum)) return {};
    if (out.size() % 2 != 0) out.append(QList<qreal>(out));
    return out;
}

QImage makeHandle(int index) {
    constexpr int kSize = 16;
    QImage image(kSize, kSize, QImage::Format_RGB32);
    image.fill(QColor(0x70, 0x70, 0x70));
    QPainter p(&image);
    p.fillRect(1, 1, kSize - 2, kSize - 2, QColor(0xf0, 0xf0, 0xf0));
    const QColor ink(0x20, 0x20, 0x20);
    // Whole-pixel runs keep the glyphs crisp and symmetric about the tile's centre (7.5, 7.5).
    const auto row = [&](int y, int x0, int x1) { p.fillRect(x0, y, x1 - x0 + 1, 1, ink); };
    const auto col = [&](int x, int y0, int y1) { p.fillRect(x, y0, 1, y1 - y0 + 1, ink); };
    switch (index) {
    case 0: // four-way arrow
        p.fillRect(3, 7, 10, 2, ink);
        p.fillRect(7, 3, 2, 10, ink);
        for (int i = 0; i < 3; ++i) {
            row(2 + i, 7 - i, 8 + i);
            row(13 - i, 7 - i, 8 + i);
            col(2 + i, 7 - i, 8 + i);
            col(13 - i, 7 - i, 8 + i);
        }
        break;
    case 1: // triangle pointing up
        for (int i = 0; i < 6; ++i) row(5 + i, 7 - i, 8 + i);
        break;
    case 2: // triangle pointing down
        for (int i = 0; i < 6; ++i) row(10 - i, 7 - i, 8 + i);
        break;
    }
    return image;
}

} // namespace

QPainterCanvas::QPainterCanvas(QPainter &painter) : painter_(painter) {
    painter_.save();
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
}

QPainterCanvas::~QPainterCanvas() {
    while (clipDepth_ > 0) popClip();
    painter_.restore();
}

void QPainterCanvas::strokeQPath(const QPainterPath &path, const Pen &pen) {
    QPen qpen(toQColor(pen.color));
    if (pen.width > 0 && std::isfinite(pen.width)) {
        qpen.setWidthF(pen.width);
    } else {
        qpen.setWidth(0);
        qpen.setCosmetic(true);
    }
    qpen.setCapStyle(Qt::RoundCap);
    qpen.setJoinStyle(Qt::RoundJoin);
    if (!pen.dashPattern.empty()) {
        const QList<qreal> dashes = dashPatternFor(pen.dashPattern);
        if (!dashes.isEmpty()) {
            qpen.setDashPattern(dashes);
            if (std::isfinite(pen.dashOffset)) qpen.setDashOffset(pen.dashOffset);
        }
    }
    painter_.strokePath(path, qpen);
}

void QPainterCanvas::strokePath(const Path &path, const Pen &pen) {
    const QPainterPath qpath = toQPath(path);
    if (qpath.isEmpty()) return;
    strokeQPath(qpath, pen);
}

void QPainterCanvas::fillPath(const Path &path, const Brush &brush) {
    const QPainterPath qpath = toQPath(path);
    if (qpath.isEmpty()) return;
    if (brush.kind == Brush::Kind::BackwardDiagonalHatch) {
        painter_.fillPath(qpath, toQColor(brush.background));
        // BDiagPattern runs bottom-left to top-right ("/"), as the backward-diagonal hatch of
        // GDI+ (Wine's and Mono's hatch tables agree with Microsoft's description).
        painter_.fillPath(qpath, QBrush(toQColor(brush.color), Qt::BDiagPattern));
    } else {
        painter_.fillPath(qpath, toQColor(brush.color));
    }
}

void QPainterCanvas::fillRect(int x, int y, int width, int height, Rgb color) {
    if (width <= 0 || height <= 0) return;
    // Under a scaling device transform (printer) an anti-aliased edge would bleed into neighbours.
    const bool aa = painter_.testRenderHint(QPainter::Antialiasing);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.fillRect(QRect(x, y, width, height), toQColor(color));
    painter_.setRenderHint(QPainter::Antialiasing, aa);
}

void QPainterCanvas::frameRect(int x, int y, int width, int height, Rgb color) {
    if (width <= 0 || height <= 0) return;
    if (width <= 2 || height <= 2) {
        fillRect(x, y, width, height, color);
        return;
    }
    // Four runs instead of a stroked rectangle: exactly the border pixels, whatever Qt's rules for
    // where an aliased pen lands.
    fillRect(x, y, width, 1, color);
    fillRect(x, y + height - 1, width, 1, color);
    fillRect(x, y + 1, 1, height - 2, color);
    fillRect(x + width - 1, y + 1, 1, height - 2, color);
}

const QFont &QPainterCanvas::fontAt(int pixelSize) {
    if (pixelSize != fontPx_) {
        // fontconfig maps Arial to a metric-compatible face (Liberation Sans) where it is missing.
        font_ = QFont(QStringLiteral("Arial"));
        font_.setStyleHint(QFont::SansSerif);
        font_.setPixelSize(pixelSize);
        fontPx_ = pixelSize;
    }
    return font_;
}

void QPainterCanvas::drawText(std::string_view text, double sizePx, const Transform &world,
                              Rgb color) {
    if (text.empty() || !isUsable(world) || !std::isfinite(sizePx)) return;
    const QString s = fromUtf8(text);
    const FontSize size = fontSizeFor(sizePx);
    const QFont &font = fontAt(size.px);
    painter_.setFont(font);
    painter_.setPen(toQColor(color));
    const QTransform old = painter_.worldTransform();
    painter_.setWorldTransform(textTransform(world, size) * old);
    painter_.drawText(QPointF(0, QFontMetrics(font, painter_.device()).ascent()), s);
    painter_.setWorldTransform(old);
}

void QPainterCanvas::strokeText(std::string_view text, double sizePx, const Transform &world,
                                const Pen &pen) {
    if (text.empty() || !isUsable(world) || !std::isfinite(sizePx)) return;
    const FontSize size = fontSizeFor(sizePx);
    const QFont &font = fontAt(size.px);
    QPainterPath outline;
    outline.addText(QPointF(0, QFontMetrics(font, painter_.device()).ascent()), font,
                    fromUtf8(text));
    // The outline is moved rather than the painter so that the pen keeps its width in pixels.
    strokeQPath(textTransform(world, size).map(outline).translated(kPixelCentre, kPixelCentre),
                pen);
}

void QPainterCanvas::textExtent(std::string_view text, int sizePx, int &width, int &height) {
    const FontSize size = fontSizeFor(sizePx);
    const QFontMetrics metrics(fontAt(size.px), painter_.device());
    width = static_cast<int>(std::lround(metrics.horizontalAdvance(fromUtf8(text)) * size.scale));
    height = static_cast<int>(std::lround(metrics.height() * size.scale));
}

void QPainterCanvas::pushClipRect(int left, int top, int right, int bottom) {
    const auto extent = [](int from, int to) {
        return static_cast<int>(std::max<int64_t>(0, int64_t{to} - from));
    };
    painter_.save();
    painter_.setClipRect(QRect(left, top, extent(left, right), extent(top, bottom)),
                         Qt::IntersectClip);
    ++clipDepth_;
}

void QPainterCanvas::popClip() {
    if (clipDepth_ == 0) return;
    painter_.restore();
    --clipDepth_;
}

void QPainterCanvas::drawHandleImage(int index, int x, int y) {
    if (index < 0 || index >= static_cast<int>(handles_.size())) return;
    QImage &image = handles_[static_cast<size_t>(index)];
    if (image.isNull()) image = makeHandle(index);
    painter_.drawImage(QPoint(x, y), image);
}

bool pngBytes(const QImage &image, std::string &bytes) {
    QByteArray encoded;
    QBuffer buffer(&encoded);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) return false;
    bytes.assign(encoded.constData(), static_cast<std::size_t>(encoded.size()));
    return true;
}

bool savePng(const QImage &image, const std::string &utf8Path, int *error) {
    // Not QSaveFile: it has reported success after writes into a full disk had failed.
    if (error) *error = 0;
    std::string bytes;
    return pngBytes(image, bytes) && document::writeFileAtomically(utf8Path, bytes, error);
}

} // namespace quentar::render
