// Painting a nest: the sheet, its trim, and every part as a filled outline with its holes.
#include "costing/ui/nest_picture.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace quentar::costing::ui {

namespace {

QPolygonF polygonOf(const nesting::Ring &ring) {
    QPolygonF out;
    out.reserve(static_cast<int>(ring.size()));
    for (const nesting::Point &p : ring) out << QPointF(p.x, p.y);
    return out;
}

} // namespace

QImage paintNestPicture(const nesting::SheetPicture &picture, int widthPx) {
    if (picture.empty() || widthPx < 2 || !(picture.width > 0) || !(picture.length > 0)) return {};
    // The sheet's length to scale, but never a picture taller than four times its width.
    const double scale = (widthPx - 1) / picture.width;
    const int heightPx =
        std::clamp(static_cast<int>(std::ceil(picture.length * scale)) + 1, 2, 4 * widthPx);
    QImage image(widthPx, heightPx, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // Sheet millimetres, y upwards as in the drawing.
    painter.translate(0.5, heightPx - 0.5);
    painter.scale(scale, -scale);
    QPen edge(QColor(90, 90, 90));
    edge.setCosmetic(true);
    painter.setPen(edge);
    painter.setBrush(QColor(235, 235, 235));
    painter.drawRect(QRectF(0, 0, picture.width, picture.length));
    if (picture.trim > 0) {
        QPen dashed(QColor(150, 150, 150), 0, Qt::DashLine);
        dashed.setCosmetic(true);
        painter.setPen(dashed);
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(picture.trim, picture.trim, picture.width - 2 * picture.trim,
                                picture.length - 2 * picture.trim));
    }
    QPen outline(QColor(20, 60, 130));
    outline.setCosmetic(true);
    painter.setPen(outline);
    // Two shades, so that the parts of a drawing of several parts can be told apart.
    const QColor fills[] = {QColor(120, 170, 230), QColor(150, 210, 160)};
    for (std::size_t i = 0; i < picture.parts.size(); ++i) {
        const nesting::Polygon &part = picture.parts[i];
        QPainterPath path;
        path.setFillRule(Qt::OddEvenFill);
        path.addPolygon(polygonOf(part.outer));
        path.closeSubpath();
        for (const nesting::Ring &hole : part.holes) {
            path.addPolygon(polygonOf(hole));
            path.closeSubpath();
        }
        const int item = i < picture.items.size() ? picture.items[i] : 0;
        painter.setBrush(fills[static_cast<std::size_t>(std::abs(item)) % 2]);
        painter.drawPath(path);
    }
    return image;
}

} // namespace quentar::costing::ui
