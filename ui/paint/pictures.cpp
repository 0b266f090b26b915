// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/paint/pictures.h"

#include "display/graphs.h"
#include "ui/look/colours.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
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

// The window icon on a 32-unit square: a yellow disc with a black border and
// one dark-red period of a sine, the symbol of an AC source.
constexpr double kIconSide = 32;
struct IconShape {
    double discLeft = 2; // also its top
    double discSize = 28;
    double border = 2;
    double waveLeft = 7;
    double waveRight = 25;
    double waveAxis = 16;
    double waveAmplitude = 6;
    double waveWidth = 2;
};
constexpr IconShape kIcon{};
const QColor kIconDisc(255, 255, 0);
const QColor kIconBorder(0, 0, 0);
const QColor kIconWave(128, 0, 0);

// An image whose logical size is `natural` pixels scaled by the map, in
// device pixels, and the scale that makes a painter on it draw in the
// natural coordinates.
struct Canvas {
    QImage image;
    // A painter on an image already maps the image's logical pixels to its
    // device pixels, so this is device pixels per natural pixel divided by
    // the pixel ratio; the full ratio again would draw a quarter of the
    // picture at twice its size.
    double factor;
};

Canvas Blank(int natural, const Twips& map, qreal dpr, QImage::Format format) {
    const int logical = map.Pixels(natural);
    const int device = static_cast<int>(std::lround(logical * dpr));
    QImage img(device, device, format);
    img.setDevicePixelRatio(dpr);
    return {img, static_cast<double>(device) / natural / dpr};
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

void PaintIcon(QPainter& p, const QRectF& box, bool smooth) {
    const double unit = std::min(box.width(), box.height()) / kIconSide;
    const QPointF origin = box.center() - QPointF(kIconSide, kIconSide) * (unit / 2);
    const auto at = [&](double x, double y) { return origin + QPointF(x, y) * unit; };

    p.save();
    p.setRenderHint(QPainter::Antialiasing, smooth);
    p.setPen(QPen(kIconBorder, kIcon.border * unit));
    p.setBrush(kIconDisc);
    p.drawEllipse(
        QRectF(at(kIcon.discLeft, kIcon.discLeft), QSizeF(kIcon.discSize, kIcon.discSize) * unit));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kIconWave, kIcon.waveWidth * unit, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    const QPointF left = at(kIcon.waveLeft, kIcon.waveAxis);
    p.drawPath(
        SinePath(left.x(), at(kIcon.waveRight, 0).x(), left.y(), kIcon.waveAmplitude * unit));
    p.restore();
}

QImage MakeIcon(const Twips& map, qreal dpr) {
    Canvas c = Blank(32, map, dpr, QImage::Format_ARGB32);
    QImage& img = c.image;
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.scale(c.factor, c.factor);
    // Aliased, so only the standard colours appear.
    PaintIcon(p, QRectF(0, 0, 32, 32), false);
    return img;
}

QByteArray IconSvg() {
    const auto num = [](double v) { return QString::number(v, 'g', 6); };
    const QPainterPath wave =
        SinePath(kIcon.waveLeft, kIcon.waveRight, kIcon.waveAxis, kIcon.waveAmplitude);
    QString d;
    for (int i = 0; i < wave.elementCount(); ++i) {
        const QPainterPath::Element e = wave.elementAt(i);
        d += QLatin1String(i == 0 ? "M" : " L") + num(e.x) + QLatin1Char(',') + num(e.y);
    }
    const double r = kIcon.discSize / 2;
    return QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="%1" height="%1" viewBox="0 0 %1 %1">
  <circle cx="%2" cy="%2" r="%3" fill="%4" stroke="%5" stroke-width="%6"/>
  <path d="%7" fill="none" stroke="%8" stroke-width="%9" stroke-linecap="square" stroke-linejoin="miter"/>
</svg>
)")
        .arg(num(kIconSide), num(kIcon.discLeft + r), num(r), kIconDisc.name(), kIconBorder.name(),
             num(kIcon.border), d, kIconWave.name(), num(kIcon.waveWidth))
        .toUtf8();
}

QImage MakeMarker(PictureId id, const Twips& map, qreal dpr, const Look& look) {
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
    // Each marker in the colour of the trace it rides on.
    const QColor trace = ToQColor(id == PictureId::MarkerU   ? kVoltColour
                                  : id == PictureId::MarkerI ? kCurrentColour
                                                             : kPowerColour);
    if (const QColor ring = look.MarkerRing(); ring.isValid()) {
        square(1, ring);
        square(2, look.Trace(trace));
    } else if (id == PictureId::MarkerP) {
        square(2, QColor(255, 255, 0)); // black on the black trace would vanish
    } else {
        square(1, trace);
    }
    return img;
}

QImage MakePicture(PictureId id, const Twips& map, qreal dpr, const Look& look) {
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
        return MakeMarker(id, map, dpr, look);
    }
    return {};
}

} // namespace kelvara::ui
