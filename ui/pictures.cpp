#include "ui/pictures.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace kelvara::ui {

namespace {

// One period of a sine from x0 to x1 about the line y0.
QPainterPath SinePath(double x0, double x1, double y0, double amplitude) {
    QPainterPath path;
    constexpr int kSteps = 48;
    for (int i = 0; i <= kSteps; ++i) {
        const double t = static_cast<double>(i) / kSteps;
        const QPointF p(x0 + (x1 - x0) * t, y0 - amplitude * std::sin(2 * std::numbers::pi * t));
        if (i == 0) {
            path.moveTo(p);
        } else {
            path.lineTo(p);
        }
    }
    return path;
}

} // namespace

QImage MakeLogo() {
    QImage img(33, 33, QImage::Format_RGB888);
    img.fill(QColor(212, 208, 200));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 51, 153));
    p.drawRoundedRect(QRectF(0.5, 0.5, 32, 32), 5, 5);

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 220, 0), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(SinePath(4, 29, 11.5, 6));

    // Resistor with its two leads.
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(3, 25), QPointF(10, 25));
    p.drawLine(QPointF(23, 25), QPointF(30, 25));
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(QColor(0, 51, 153));
    p.drawRect(QRectF(10.5, 21.5, 12, 7));
    return img;
}

QImage MakeIcon() {
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    // Aliased, so only the standard colours appear.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(QColor(255, 255, 0));
    p.drawEllipse(QRectF(2, 2, 28, 28));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(128, 0, 0), 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPath(SinePath(7, 25, 16, 6));
    return img;
}

QImage MakeMarker(PictureId id) {
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    switch (id) {
    case PictureId::MarkerU:
        p.fillRect(1, 1, 6, 6, QColor(0, 0, 255));
        break;
    case PictureId::MarkerI:
        p.fillRect(1, 1, 6, 6, QColor(255, 0, 0));
        break;
    default:
        p.fillRect(2, 2, 4, 4, QColor(255, 255, 0));
        break;
    }
    return img;
}

QImage MakePicture(PictureId id) {
    switch (id) {
    case PictureId::None:
        return {};
    case PictureId::Logo:
        return MakeLogo();
    case PictureId::Icon:
        return MakeIcon();
    case PictureId::MarkerU:
    case PictureId::MarkerI:
    case PictureId::MarkerP:
        return MakeMarker(id);
    }
    return {};
}

} // namespace kelvara::ui
