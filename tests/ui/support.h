// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Helpers shared by the widget tests: an independent twips-to-pixels
// rounding, a window at rest, and pixel sampling of grabs.
#pragma once

#include "ui/window/form1.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>

#include <memory>

namespace kelvara::uitest {

// 15 twips to the pixel, nearest.
int Px(int twips);
QPoint PxPoint(int x, int y);
QRect PxRect(int left, int top, int width, int height);

// The window as the program shows it: load step run, shown, needles at rest.
std::unique_ptr<ui::Form1> FormAtRest();

// A grab of the widget as RGB32, keeping its device pixel ratio.
QImage Grab(QWidget& w);
// Colour of the top-left device pixel of a logical pixel.
QColor At(const QImage& img, QPoint logical);
// Window pixel of a point given in pixels of a box's client area.
QPoint InClient(const ui::Form1& form, const char* box, QPoint p);
// How many logical pixels of a rectangle have exactly this colour.
int CountColour(const QImage& img, const QRect& r, const QColor& c);

QColor Rgb(int r, int g, int b);
QColor ButtonFace();

} // namespace kelvara::uitest
