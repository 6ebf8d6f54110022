// Icons of the editing tools on the 24-unit grid: each shows what the tool draws.
#include "editor/ui/artwork.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace quentar::editor::ui {

namespace {

const QColor kInk(0x2b, 0x3a, 0x4a);
const QColor kBlue(0x2f, 0x7f, 0xd0);
const QColor kRed(0xc8, 0x3a, 0x32);
const QColor kFill(0xb9, 0xd6, 0xf2);

QPen stroke(const QColor &c = kInk, double width = 1.8) {
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A small square on a point the user clicks.
void grip(QPainter &p, QPointF at) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(kBlue);
    p.drawRect(QRectF(at.x() - 1.8, at.y() - 1.8, 3.6, 3.6));
}

void arrowHead(QPainter &p, QPointF tip, QPointF from, double length = 6) {
    const double dx = tip.x() - from.x(), dy = tip.y() - from.y();
    const double len = std::hypot(dx, dy);
    const double ux = dx / len * length, uy = dy / len * length;
    p.setPen(stroke(kInk, 1));
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF({tip,
                             {tip.x() - ux - uy * 0.4, tip.y() - uy + ux * 0.4},
                             {tip.x() - ux + uy * 0.4, tip.y() - uy - ux * 0.4}}));
}

} // namespace

bool paintToolArtwork(QPainter &p, Artwork which) {
    p.setBrush(Qt::NoBrush);
    switch (which) {
    case Artwork::Undo: {
        QPainterPath turn;
        turn.moveTo(19, 18);
        turn.cubicTo(20, 10, 14, 6, 6.5, 8.5);
        p.setPen(stroke(kBlue, 2.4));
        p.drawPath(turn);
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawPolygon(QPolygonF({{3, 9.5}, {9.5, 4}, {10, 13}}));
        return true;
    }
    case Artwork::Redo: {
        QPainterPath turn;
        turn.moveTo(5, 18);
        turn.cubicTo(4, 10, 10, 6, 17.5, 8.5);
        p.setPen(stroke(kBlue, 2.4));
        p.drawPath(turn);
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawPolygon(QPolygonF({{21, 9.5}, {14.5, 4}, {14, 13}}));
        return true;
    }
    case Artwork::Copy:
        p.setPen(stroke(kInk, 1.3));
        p.setBrush(QColor(0xe6, 0xea, 0xee));
        p.drawRect(QRectF(3, 3, 11, 11));
        p.setBrush(kFill);
        p.drawRect(QRectF(10, 10, 11, 11));
        return true;
    case Artwork::Move:
        p.setPen(stroke(kInk, 1.6));
        p.drawLine(QPointF(12, 3), QPointF(12, 21));
        p.drawLine(QPointF(3, 12), QPointF(21, 12));
        arrowHead(p, {12, 2}, {12, 12}, 5);
        arrowHead(p, {12, 22}, {12, 12}, 5);
        arrowHead(p, {2, 12}, {12, 12}, 5);
        arrowHead(p, {22, 12}, {12, 12}, 5);
        return true;
    case Artwork::Rotate: {
        p.setPen(stroke(kInk, 1.8));
        p.drawArc(QRectF(4, 4, 16, 16), 30 * 16, 280 * 16);
        arrowHead(p, {19.5, 8}, {17, 4.5}, 5.5);
        grip(p, {12, 12});
        return true;
    }
    case Artwork::Scale:
        p.setPen(QPen(kBlue, 1, Qt::DashLine));
        p.drawRect(QRectF(3, 3, 18, 18));
        p.setPen(stroke(kInk, 1.5));
        p.setBrush(kFill);
        p.drawRect(QRectF(3, 11, 10, 10));
        p.drawLine(QPointF(14, 10), QPointF(19, 5));
        arrowHead(p, {20, 4}, {14, 10}, 5);
        return true;
    case Artwork::Mirror:
        p.setPen(QPen(kBlue, 1.2, Qt::DashDotLine));
        p.drawLine(QPointF(12, 2), QPointF(12, 22));
        p.setPen(stroke(kInk, 1.3));
        p.setBrush(kFill);
        p.drawPolygon(QPolygonF({{10, 5}, {10, 19}, {3, 19}}));
        p.setBrush(Qt::NoBrush);
        p.drawPolygon(QPolygonF({{14, 5}, {14, 19}, {21, 19}}));
        return true;
    case Artwork::Array:
        p.setPen(stroke(kInk, 1.2));
        p.setBrush(kFill);
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 3; ++c) p.drawRect(QRectF(2.5 + c * 7, 5 + r * 8, 5, 5));
        return true;
    case Artwork::TypedClick:
        p.setPen(stroke(kInk, 1.2));
        p.drawLine(QPointF(12, 3), QPointF(12, 21));
        p.drawLine(QPointF(3, 12), QPointF(21, 12));
        grip(p, {12, 12});
        return true;
    case Artwork::Delete:
        p.setPen(stroke(kInk, 1.5));
        p.setBrush(QColor(0xe6, 0xea, 0xee));
        p.drawRect(QRectF(6, 7, 12, 14));
        p.drawLine(QPointF(4, 7), QPointF(20, 7));
        p.drawLine(QPointF(10, 4), QPointF(14, 4));
        p.setPen(stroke(kRed, 1.8));
        p.drawLine(QPointF(9, 10), QPointF(15, 18));
        p.drawLine(QPointF(15, 10), QPointF(9, 18));
        return true;
    case Artwork::Line:
        p.setPen(stroke());
        p.drawLine(QPointF(4, 20), QPointF(20, 4));
        grip(p, {4, 20});
        grip(p, {20, 4});
        return true;
    case Artwork::Polyline: {
        const QPolygonF pts({{3, 19}, {8, 7}, {15, 15}, {21, 5}});
        p.setPen(stroke());
        p.drawPolyline(pts);
        for (const QPointF &pt : pts) grip(p, pt);
        return true;
    }
    case Artwork::Freehand: {
        QPainterPath s;
        s.moveTo(3, 16);
        s.cubicTo(6, 4, 9, 22, 13, 12);
        s.cubicTo(15, 7, 18, 9, 21, 6);
        p.setPen(stroke());
        p.drawPath(s);
        return true;
    }
    case Artwork::Spline: {
        QPainterPath s;
        s.moveTo(3, 19);
        s.cubicTo(6, 3, 17, 21, 21, 5);
        p.setPen(QPen(kBlue, 1, Qt::DashLine));
        p.drawPolyline(QPolygonF({{3, 19}, {6, 3}, {17, 21}, {21, 5}}));
        p.setPen(stroke());
        p.drawPath(s);
        grip(p, {3, 19});
        grip(p, {21, 5});
        return true;
    }
    case Artwork::Rectangle:
        p.setPen(stroke());
        p.drawRect(QRectF(4, 6, 16, 12));
        grip(p, {4, 18});
        grip(p, {20, 6});
        return true;
    case Artwork::Polygon: {
        QPolygonF hex;
        for (int i = 0; i < 6; ++i) {
            const double a = M_PI / 3 * i;
            hex << QPointF(12 + 9 * std::cos(a), 12 + 9 * std::sin(a));
        }
        p.setPen(stroke());
        p.drawPolygon(hex);
        return true;
    }
    case Artwork::Circle:
        p.setPen(stroke());
        p.drawEllipse(QPointF(12, 12), 8.5, 8.5);
        p.setPen(QPen(kBlue, 1, Qt::DashLine));
        p.drawLine(QPointF(12, 12), QPointF(20.5, 12));
        grip(p, {12, 12});
        return true;
    case Artwork::Arc:
        p.setPen(stroke());
        p.drawArc(QRectF(3, 5, 18, 18), 0, 180 * 16);
        grip(p, {3, 14});
        grip(p, {12, 5});
        grip(p, {21, 14});
        return true;
    case Artwork::Ellipse:
        p.setPen(stroke());
        p.drawEllipse(QPointF(12, 12), 10, 6);
        grip(p, {12, 12});
        return true;
    case Artwork::Text: {
        QFont f(QStringLiteral("Liberation Serif"));
        f.setPixelSize(19);
        f.setBold(true);
        p.setFont(f);
        p.setPen(kInk);
        p.drawText(QRectF(1, 1, 22, 22), Qt::AlignCenter, QStringLiteral("A"));
        return true;
    }
    case Artwork::Dimension:
        p.setPen(stroke(kInk, 1.2));
        p.drawLine(QPointF(4, 6), QPointF(4, 20));
        p.drawLine(QPointF(20, 6), QPointF(20, 20));
        p.drawLine(QPointF(5, 15), QPointF(19, 15));
        arrowHead(p, {4.5, 15}, {12, 15}, 4.5);
        arrowHead(p, {19.5, 15}, {12, 15}, 4.5);
        p.setPen(stroke(kBlue, 1.5));
        p.drawLine(QPointF(8, 10), QPointF(16, 10));
        return true;
    case Artwork::Point:
        p.setPen(QPen(kInk, 1));
        p.drawLine(QPointF(12, 4), QPointF(12, 20));
        p.drawLine(QPointF(4, 12), QPointF(20, 12));
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawEllipse(QPointF(12, 12), 3, 3);
        return true;
    case Artwork::Solid:
        p.setPen(stroke());
        p.setBrush(kFill);
        p.drawPolygon(QPolygonF({{3, 20}, {8, 5}, {21, 8}, {17, 20}}));
        return true;
    case Artwork::Arrow:
        p.setPen(stroke());
        p.drawLine(QPointF(20, 20), QPointF(6, 6));
        arrowHead(p, {4, 4}, {20, 20}, 8);
        return true;
    default:
        return false;
    }
}

} // namespace quentar::editor::ui
