// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The one conversion between the layout's twips and the window's pixels.
//
// The layout and the simulation measure everything in twips (1/1440 inch);
// at its natural size the window is laid out in logical pixels at 96 dpi,
// 15 twips each. The whole drawing scales with the window by one view scale,
// and a container may sit at an offset inside its widget (the window centres
// its drawing). Every position, size, pen width and font size goes through
// this class, so the scale lives in exactly one place. At scale 1 every value
// is what the natural layout gives.
#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>

#include <algorithm>
#include <cmath>

namespace kelvara::ui {

// The window's client area at its natural size.
inline constexpr int kFormWidthTwips = 15240;
inline constexpr int kFormHeightTwips = 11010;

class Twips {
public:
    static constexpr int kPerPixel = 15;
    static constexpr int kPerPoint = 20;

    constexpr Twips() = default;
    constexpr explicit Twips(double scale, QPoint origin = {}) : scale_(scale), origin_(origin) {}

    constexpr double Scale() const { return scale_; }
    constexpr QPoint Origin() const { return origin_; }
    // The same scale with the container's own top-left as origin.
    constexpr Twips Inside() const { return Twips(scale_); }

    // A length in twips as whole pixels, nearest (no whole number of twips
    // lies half-way at the natural scale).
    int ToPixels(double twips) const {
        return static_cast<int>(std::lround(twips * scale_ / kPerPixel));
    }
    // A length given in pixels of the natural layout (pen, border and edge
    // widths): scaled, and never thinner than one pixel.
    int Pixels(int natural) const {
        return natural <= 0 ? 0 : std::max(1, static_cast<int>(std::lround(natural * scale_)));
    }
    // Pixel size of a font of `points` (20 twips to the point).
    int FontPixels(double points) const { return std::max(1, ToPixels(points * kPerPoint)); }

    QPoint Point(double x, double y) const { return origin_ + QPoint(ToPixels(x), ToPixels(y)); }
    QSize Size(double width, double height) const { return {ToPixels(width), ToPixels(height)}; }
    // The way back: the point in twips that a pixel of the widget shows.
    QPointF TwipsAt(QPoint pixel) const { return QPointF(pixel - origin_) * (kPerPixel / scale_); }
    // Left and top, then width and height, each rounded on its own, the way
    // the layout states them.
    QRect Rect(double left, double top, double width, double height) const {
        return {Point(left, top), Size(width, height)};
    }

    // The window's drawing (its client area at the natural size) at this
    // scale.
    QSize FormSize() const { return Size(kFormWidthTwips, kFormHeightTwips); }

    // The natural client area in pixels, and the scale at which it fits a
    // client area of `size` whole, keeping its proportions.
    static QSize NaturalSize() { return Twips().FormSize(); }
    static double FitScale(QSize size) {
        const QSize natural = NaturalSize();
        return std::min(static_cast<double>(size.width()) / natural.width(),
                        static_cast<double>(size.height()) / natural.height());
    }

private:
    double scale_ = 1.0;
    QPoint origin_{};
};

} // namespace kelvara::ui
