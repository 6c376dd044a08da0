#include "YKToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <array>

namespace {

// One colour scheme for every icon: dark strokes, a light accent fill, the marquee's dashes.
const QColor kInk(40, 40, 44);
const QColor kAccent(120, 170, 230);
const QColor kPaper(255, 255, 255);

QPen Ink(double width = 1.6) {
    return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPen Marquee() {
    QPen pen(kInk, 1.4, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setDashPattern({2.0, 1.6});
    return pen;
}

// A small square handle centred on a point, as the canvas shows its knobs.
void Knob(QPainter& p, QPointF at) {
    p.save();
    p.setPen(QPen(kInk, 1.0));
    p.setBrush(kPaper);
    p.drawRect(QRectF(at.x() - 1.75, at.y() - 1.75, 3.5, 3.5));
    p.restore();
}

void Arrow(QPainter& p) {
    QPainterPath arrow;
    arrow.moveTo(6, 3);
    arrow.lineTo(6, 19);
    arrow.lineTo(10, 15);
    arrow.lineTo(13, 21.5);
    arrow.lineTo(15.5, 20.3);
    arrow.lineTo(12.6, 14);
    arrow.lineTo(18, 14);
    arrow.closeSubpath();
    p.setPen(QPen(kPaper, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kInk);
    p.drawPath(arrow);
}

void Lasso(QPainter& p) {
    p.setPen(Marquee());
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(3, 3.5, 18, 11));
    QPainterPath tail;
    tail.moveTo(7, 13.5);
    tail.cubicTo(5, 17, 9, 18, 8, 21);
    p.setPen(Ink(1.4));
    p.drawPath(tail);
}

void Hand(QPainter& p) {
    p.setPen(Ink(1.2));
    p.setBrush(kPaper);
    // Four fingers and the thumb, then the palm over their roots.
    const std::array<QRectF, 4> fingers{QRectF(6.5, 5, 3, 10), QRectF(9.5, 3, 3, 11),
                                        QRectF(12.5, 3.5, 3, 11), QRectF(15.5, 6, 3, 10)};
    for (const QRectF& finger : fingers) {
        p.drawRoundedRect(finger, 1.5, 1.5);
    }
    QPainterPath thumb;
    thumb.moveTo(7, 15);
    thumb.lineTo(3.8, 11.8);
    thumb.cubicTo(2.6, 10.8, 1.4, 12.4, 2.4, 13.6);
    thumb.lineTo(7, 19);
    p.drawPath(thumb);
    QPainterPath palm;
    palm.moveTo(6.5, 12);
    palm.lineTo(18.5, 12);
    palm.lineTo(18.5, 16);
    palm.cubicTo(18.5, 19.5, 16, 21.5, 13, 21.5);
    palm.lineTo(10.5, 21.5);
    palm.cubicTo(8.5, 21.5, 7.5, 20, 6.5, 18.5);
    palm.closeSubpath();
    // The palm covers the fingers' roots; only its outer edge is outlined.
    p.setPen(Qt::NoPen);
    p.drawPath(palm);
    p.setPen(Ink(1.2));
    QPainterPath edge;
    edge.moveTo(18.5, 12);
    edge.lineTo(18.5, 16);
    edge.cubicTo(18.5, 19.5, 16, 21.5, 13, 21.5);
    edge.lineTo(10.5, 21.5);
    edge.cubicTo(8.5, 21.5, 7.5, 20, 6.5, 18.5);
    p.drawPath(edge);
}

void Magnifier(QPainter& p) {
    p.setPen(Ink(2.0));
    p.setBrush(QColor(kAccent.red(), kAccent.green(), kAccent.blue(), 90));
    p.drawEllipse(QRectF(3.5, 3.5, 12, 12));
    p.setPen(QPen(kInk, 3.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(14.5, 14.5), QPointF(20, 20));
    p.setPen(Ink(1.4));
    p.drawLine(QPointF(7, 9.5), QPointF(12, 9.5));
    p.drawLine(QPointF(9.5, 7), QPointF(9.5, 12));
}

void Freehand(QPainter& p) {
    QPainterPath stroke;
    stroke.moveTo(3, 17);
    stroke.cubicTo(6, 6, 9, 6, 10.5, 12);
    stroke.cubicTo(12, 18, 15, 19, 17, 12);
    stroke.cubicTo(18, 8.5, 19.5, 7, 21, 6.5);
    p.setPen(Ink(1.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(stroke);
}

void Brush(QPainter& p) {
    // The handle, the ferrule and the bristles' tip, with its paint trail below.
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    QPainterPath handle;
    handle.moveTo(20.5, 2.5);
    handle.lineTo(22, 4);
    handle.lineTo(13.5, 13.5);
    handle.lineTo(11.5, 11.5);
    handle.closeSubpath();
    p.drawPath(handle);
    QPainterPath tip;
    tip.moveTo(11, 12);
    tip.lineTo(13, 14);
    tip.cubicTo(12, 17.5, 9, 18.5, 6, 18.5);
    tip.cubicTo(7.5, 17, 8, 13.5, 11, 12);
    p.setBrush(kAccent);
    p.setPen(QPen(kInk, 1.0));
    p.drawPath(tip);
    QPainterPath trail;
    trail.moveTo(2.5, 21.5);
    trail.cubicTo(5, 20, 8, 22, 11, 20.5);
    p.setPen(QPen(kAccent, 2.0, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(trail);
}

void Line(QPainter& p) {
    p.setPen(Ink(1.8));
    p.drawLine(QPointF(5, 19), QPointF(19, 5));
    Knob(p, {5, 19});
    Knob(p, {19, 5});
}

void Polyline(QPainter& p) {
    const QPointF points[] = {{3.5, 18}, {8.5, 6}, {14, 15}, {20.5, 5.5}};
    p.setPen(Ink(1.6));
    p.drawPolyline(points, 4);
    for (const QPointF& point : points) {
        Knob(p, point);
    }
}

void Bezier(QPainter& p) {
    QPainterPath curve;
    curve.moveTo(3.5, 19);
    curve.cubicTo(5, 6, 19, 18, 20.5, 5);
    p.setPen(Ink(1.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);
    // The anchors' tangent handles.
    p.setPen(QPen(kAccent.darker(130), 1.0));
    p.drawLine(QPointF(3.5, 19), QPointF(5, 9));
    p.drawLine(QPointF(20.5, 5), QPointF(19, 15));
    p.setBrush(kAccent);
    p.drawEllipse(QPointF(5, 9), 1.5, 1.5);
    p.drawEllipse(QPointF(19, 15), 1.5, 1.5);
    Knob(p, {3.5, 19});
    Knob(p, {20.5, 5});
}

void Text(QPainter& p) {
    // A serif T from rectangles: crisp at every scale without depending on a font.
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRect(QRectF(5, 4, 14, 2.5));
    p.drawRect(QRectF(5, 4, 1.8, 5));
    p.drawRect(QRectF(17.2, 4, 1.8, 5));
    p.drawRect(QRectF(10.6, 4, 2.8, 15));
    p.drawRect(QRectF(8, 18, 8, 2));
}

void Shape(QPainter& p, int32 id) {
    p.setPen(Ink(1.6));
    p.setBrush(kAccent);
    const QRectF box(3.5, 5.5, 17, 13);
    switch (id) {
        case 12:
            p.drawRect(box);
            break;
        case 13:
            p.drawRoundedRect(box, 4.5, 4.5);
            break;
        case 14:
            p.drawEllipse(QRectF(3, 4.5, 18, 15));
            break;
        default: {
            // A quarter ellipse, filled as the arc tool fills it: closed by its chord.
            QPainterPath arc;
            arc.moveTo(4, 20);
            arc.cubicTo(4, 10, 10, 4, 20, 4);
            p.setBrush(QColor(kAccent.red(), kAccent.green(), kAccent.blue(), 110));
            p.setPen(Qt::NoPen);
            QPainterPath filled = arc;
            filled.closeSubpath();
            p.drawPath(filled);
            p.setPen(Ink(1.8));
            p.setBrush(Qt::NoBrush);
            p.drawPath(arc);
            break;
        }
    }
}

void Draw(QPainter& p, int32 id) {
    switch (id) {
        case 0:
            Arrow(p);
            break;
        case 1:
            p.setPen(Marquee());
            p.drawRect(QRectF(3.5, 5.5, 17, 13));
            break;
        case 2:
            Lasso(p);
            break;
        case 3:
            p.setPen(Marquee());
            p.drawEllipse(QRectF(3, 4.5, 18, 15));
            break;
        case 4:
            Hand(p);
            break;
        case 5:
            Magnifier(p);
            break;
        case 6:
            Freehand(p);
            break;
        case 7:
            Brush(p);
            break;
        case 8:
            Line(p);
            break;
        case 9:
            Polyline(p);
            break;
        case 10:
            Bezier(p);
            break;
        case 11:
            Text(p);
            break;
        default:
            Shape(p, id);
            break;
    }
}

}  // namespace

QPixmap YKToolIcons::Pixmap(int32 id, int scale) {
    QPixmap pixmap(kSize * scale, kSize * scale);
    pixmap.fill(Qt::transparent);
    if (id < 0 || id > 15) {
        return pixmap;
    }
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        Draw(painter, id);
    }
    pixmap.setDevicePixelRatio(scale);
    return pixmap;
}

QIcon YKToolIcons::Icon(int32 id) {
    if (id < 0 || id > 15) {
        return {};
    }
    static std::array<QIcon, 16> icons;
    if (icons[id].isNull()) {
        icons[id].addPixmap(Pixmap(id, 1));
        icons[id].addPixmap(Pixmap(id, 2));
    }
    return icons[id];
}
