// The one conversion between the layout's twips and the window's pixels.
//
// The layout and the simulation measure everything in twips (1/1440 inch);
// the window is laid out in logical pixels at 96 dpi, 15 twips each. Every
// position, size and run-time coordinate goes through this class, so the
// scale lives in exactly one place. Pen widths are already in pixels.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <cmath>

namespace kelvara::ui {

class Twips {
public:
    static constexpr int kPerPixel = 15;

    // Nearest whole pixel (no value of whole twips lies half-way).
    static constexpr int ToPixels(int twips) {
        return twips >= 0 ? (twips + kPerPixel / 2) / kPerPixel
                          : -((-twips + kPerPixel / 2) / kPerPixel);
    }
    static int ToPixels(double twips) { return static_cast<int>(std::lround(twips / kPerPixel)); }
    static constexpr int ToTwips(int pixels) { return pixels * kPerPixel; }

    static QPoint Point(int x, int y) { return {ToPixels(x), ToPixels(y)}; }
    static QPoint Point(double x, double y) { return {ToPixels(x), ToPixels(y)}; }
    static QSize Size(int width, int height) { return {ToPixels(width), ToPixels(height)}; }
    // Left and top, then width and height, each rounded on its own, the way
    // the layout states them.
    static QRect Rect(int left, int top, int width, int height) {
        return {Point(left, top), Size(width, height)};
    }
};

// The window's client area at its natural size.
inline constexpr int kFormWidthTwips = 15240;
inline constexpr int kFormHeightTwips = 11010;

} // namespace kelvara::ui
