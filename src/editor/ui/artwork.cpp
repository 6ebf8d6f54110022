// Icons on a 24-unit grid, painted at twice that size so they stay sharp on high-density screens.
#include "editor/ui/artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace quentar::editor::ui {

namespace {

const QColor kInk(0x2b, 0x3a, 0x4a);
const QColor kBlue(0x2f, 0x7f, 0xd0);
const QColor kPaper(0xff, 0xff, 0xff);
const QColor kFolder(0xe8, 0xb8, 0x4a);
const QColor kGreen(0x2e, 0x9d, 0x4f);
const QColor kGlass(0xd8, 0xea, 0xfa);

QPen ink(double width = 1.5) {
    return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void page(QPainter &p, QRectF r) {
    QPainterPath path;
    const double fold = 5;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(ink());
    p.setBrush(kPaper);
    p.drawPath(path);
    p.drawPolyline(QPolygonF({{r.right() - fold, r.top()},
                              {r.right() - fold, r.top() + fold},
                              {r.right(), r.top() + fold}}));
}

void lens(QPainter &p, QPointF c, double radius) {
    p.setPen(QPen(kInk, 2.5, Qt::SolidLine, Qt::RoundCap));
    const double s = radius * 0.7071;
    p.drawLine(QPointF(c.x() + s, c.y() + s), QPointF(c.x() + s + 7, c.y() + s + 7));
    p.setPen(ink(1.8));
    p.setBrush(kGlass);
    p.drawEllipse(c, radius, radius);
}

void floppy(QPainter &p) {
    p.setPen(ink());
    p.setBrush(kBlue);
    QPainterPath body;
    body.moveTo(3, 3);
    body.lineTo(18, 3);
    body.lineTo(21, 6);
    body.lineTo(21, 21);
    body.lineTo(3, 21);
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(kPaper);
    p.drawRect(QRectF(7, 3, 9, 6));
    p.drawRect(QRectF(6, 13, 12, 8));
}

void paint(QPainter &p, Artwork which) {
    if (paintToolArtwork(p, which)) return;
    switch (which) {
    case Artwork::NewDrawing:
        page(p, {5, 2, 14, 20});
        p.setPen(QPen(kGreen, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(17, 14), QPointF(17, 22));
        p.drawLine(QPointF(13, 18), QPointF(21, 18));
        break;
    case Artwork::NewDrawingR12: {
        page(p, {5, 2, 14, 20});
        QFont f(QStringLiteral("Liberation Sans"));
        f.setPixelSize(7);
        f.setBold(true);
        p.setFont(f);
        p.setPen(kBlue);
        p.drawText(QRectF(5, 9, 14, 9), Qt::AlignCenter, QStringLiteral("R12"));
        break;
    }
    case Artwork::Open: {
        p.setPen(ink());
        p.setBrush(kFolder.darker(115));
        p.drawRoundedRect(QRectF(2, 5, 18, 15), 1.5, 1.5);
        p.setBrush(kFolder);
        QPainterPath front;
        front.moveTo(2, 20);
        front.lineTo(6, 10);
        front.lineTo(22, 10);
        front.lineTo(18, 20);
        front.closeSubpath();
        p.drawPath(front);
        break;
    }
    case Artwork::Save:
        floppy(p);
        break;
    case Artwork::SaveAs:
        floppy(p);
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(kFolder);
        p.drawPolygon(QPolygonF({{13, 22}, {14, 18}, {21, 11}, {24, 14}, {17, 21}}));
        break;
    case Artwork::Print:
        p.setPen(ink());
        p.setBrush(kPaper);
        p.drawRect(QRectF(6, 2, 12, 7));
        p.setBrush(QColor(0xc9, 0xd3, 0xdd));
        p.drawRoundedRect(QRectF(2, 8, 20, 10), 2, 2);
        p.setBrush(kPaper);
        p.drawRect(QRectF(6, 14, 12, 8));
        p.setPen(ink(1));
        p.drawLine(QPointF(8, 17), QPointF(16, 17));
        p.drawLine(QPointF(8, 19.5), QPointF(14, 19.5));
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        p.drawEllipse(QPointF(18.5, 11), 1.2, 1.2);
        break;
    case Artwork::PrintPreview:
        page(p, {3, 2, 14, 19});
        lens(p, {14, 13}, 5);
        break;
    case Artwork::ShowAll:
        p.setPen(ink());
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(7, 7, 10, 10));
        p.setPen(QPen(kBlue, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        for (const QPointF corner :
             {QPointF(2, 2), QPointF(22, 2), QPointF(2, 22), QPointF(22, 22)}) {
            const double dx = corner.x() < 12 ? 5 : -5, dy = corner.y() < 12 ? 5 : -5;
            p.drawPolyline(
                QPolygonF({{corner.x() + dx, corner.y()}, corner, {corner.x(), corner.y() + dy}}));
        }
        break;
    case Artwork::ZoomIn:
    case Artwork::ZoomOut:
    case Artwork::ZoomTool:
        lens(p, {10, 10}, 7);
        p.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::RoundCap));
        if (which == Artwork::ZoomTool) {
            p.drawLine(QPointF(10, 6), QPointF(10, 14));
            p.drawLine(QPointF(8, 8), QPointF(10, 6));
            p.drawLine(QPointF(12, 8), QPointF(10, 6));
            p.drawLine(QPointF(8, 12), QPointF(10, 14));
            p.drawLine(QPointF(12, 12), QPointF(10, 14));
        } else {
            p.drawLine(QPointF(6.5, 10), QPointF(13.5, 10));
            if (which == Artwork::ZoomIn) p.drawLine(QPointF(10, 6.5), QPointF(10, 13.5));
        }
        break;
    case Artwork::Hand: {
        // An open hand seen from the palm side: four fingers, the palm and the thumb.
        QPainterPath hand;
        for (const auto &[x, top] : {std::pair{8.0, 5.0}, std::pair{11.0, 3.0},
                                     std::pair{14.0, 3.5}, std::pair{17.0, 5.5}})
            hand.addRoundedRect(QRectF(x - 1.4, top, 2.8, 12), 1.4, 1.4);
        hand.addRoundedRect(QRectF(6.6, 11, 11.8, 10.5), 4, 4);
        QPainterPath thumb;
        thumb.addRoundedRect(QRectF(-1.4, -6, 2.8, 8), 1.4, 1.4);
        QTransform t;
        t.translate(7.5, 17.5);
        t.rotate(-40);
        hand = hand.united(t.map(thumb)).simplified();
        p.setPen(ink(1.3));
        p.setBrush(QColor(0xf6, 0xd7, 0xb0));
        p.drawPath(hand);
        break;
    }
    case Artwork::LineWeights:
        for (const auto &[y, w] :
             {std::pair{5.0, 1.0}, std::pair{11.0, 2.5}, std::pair{18.0, 4.5}}) {
            p.setPen(QPen(kInk, w, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(QPointF(3, y), QPointF(21, y));
        }
        break;
    case Artwork::Confirm:
        p.setPen(QPen(kGreen, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({{4, 13}, {9.5, 18.5}, {20, 6}}));
        break;
    case Artwork::Application:
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(1, 1, 22, 22), 4, 4);
        p.setPen(QPen(kPaper, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolygon(QPolygonF({{5, 18}, {5, 7}, {12, 7}, {12, 11}, {19, 11}, {19, 18}}));
        p.drawEllipse(QPointF(8.5, 14.5), 1.6, 1.6);
        p.drawEllipse(QPointF(15.5, 14.5), 1.6, 1.6);
        break;
    default:
        break;
    }
}

QPixmap render(Artwork which, int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 24.0, size / 24.0);
    paint(p, which);
    return pm;
}

// The zoom tool's cursor: a magnifying glass whose lens centre is the hot spot.
QCursor magnifier() {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 16), QPointF(27, 27));
    p.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 16), QPointF(27, 27));
    p.setPen(QPen(Qt::white, 4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(11, 11), 8, 8);
    p.setPen(QPen(Qt::black, 1.8));
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawEllipse(QPointF(11, 11), 8, 8);
    p.drawLine(QPointF(7.5, 11), QPointF(14.5, 11));
    p.drawLine(QPointF(11, 7.5), QPointF(11, 14.5));
    p.end();
    return QCursor(pm, 11, 11);
}

} // namespace

QIcon iconFor(Artwork which) {
    QIcon icon;
    for (int size : {16, 24, 32, 48}) icon.addPixmap(render(which, size));
    return icon;
}

QCursor cursorFor(CursorShape shape) {
    switch (shape) {
    case CursorShape::Arrow:
        return QCursor(Qt::ArrowCursor);
    case CursorShape::Hand:
        return QCursor(Qt::PointingHandCursor);
    case CursorShape::Magnifier: {
        static const QCursor cursor = magnifier();
        return cursor;
    }
    case CursorShape::Cross:
        break;
    }
    return QCursor(Qt::CrossCursor);
}

} // namespace quentar::editor::ui
