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

// An image whose logical size is `natural` pixels scaled by the map, in
// device pixels, with a painter that draws in the natural coordinates.
struct Canvas {
    QImage image;
    double factor; // device pixels per natural pixel
};

Canvas Blank(int natural, const Twips& map, qreal dpr, QImage::Format format) {
    const int logical = map.Pixels(natural);
    const int device = static_cast<int>(std::lround(logical * dpr));
    QImage img(device, device, format);
    img.setDevicePixelRatio(dpr);
    return {img, static_cast<double>(device) / natural};
}

} // namespace

QImage MakeLogo(const Twips& map, qreal dpr) {
    Canvas c = Blank(33, map, dpr, QImage::Format_RGB888);
    QImage& img = c.image;
    img.fill(QColor(212, 208, 200));
    QPainter p(&img);
    p.scale(c.factor, c.factor);
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

QImage MakeIcon(const Twips& map, qreal dpr) {
    Canvas c = Blank(32, map, dpr, QImage::Format_ARGB32);
    QImage& img = c.image;
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.scale(c.factor, c.factor);
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

QImage MakeMarker(PictureId id, const Twips& map, qreal dpr) {
    // Whole logical pixels, so the frame stays as sharp as at 8 x 8.
    const int side = map.Pixels(8);
    QImage img(QSize(side, side) * dpr, QImage::Format_RGB32);
    img.setDevicePixelRatio(dpr);
    img.fill(Qt::black);
    QPainter p(&img);
    const auto square = [&](int frame, const QColor& colour) {
        const int f = map.Pixels(frame);
        p.fillRect(f, f, side - 2 * f, side - 2 * f, colour);
    };
    switch (id) {
    case PictureId::MarkerU:
        square(1, QColor(0, 0, 255));
        break;
    case PictureId::MarkerI:
        square(1, QColor(255, 0, 0));
        break;
    default:
        square(2, QColor(255, 255, 0));
        break;
    }
    return img;
}

QImage MakePicture(PictureId id, const Twips& map, qreal dpr) {
    switch (id) {
    case PictureId::None:
        return {};
    case PictureId::Logo:
        return MakeLogo(map, dpr);
    case PictureId::Icon:
        return MakeIcon(map, dpr);
    case PictureId::MarkerU:
    case PictureId::MarkerI:
    case PictureId::MarkerP:
        return MakeMarker(id, map, dpr);
    }
    return {};
}

} // namespace kelvara::ui
