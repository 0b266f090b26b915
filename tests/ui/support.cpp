// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "support.h"

#include "display/meters.h"
#include "sim/state.h"
#include "ui/widgets/box.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTest>

#include <cmath>

namespace kelvara::uitest {

int Px(int twips) {
    return static_cast<int>(std::lround(twips / 15.0));
}

QPoint PxPoint(int x, int y) {
    return {Px(x), Px(y)};
}

QRect PxRect(int left, int top, int width, int height) {
    return {Px(left), Px(top), Px(width), Px(height)};
}

std::unique_ptr<ui::Form1> FormAtRest() {
    auto form = std::make_unique<ui::Form1>();
    Form_Load(form->State(), form->Controls());
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get())) {
        qWarning("window not exposed");
    }
    picvolt_Paint(form->Controls());
    picamp_Paint(form->Controls());
    return form;
}

QImage Grab(QWidget& w) {
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QColor At(const QImage& img, QPoint logical) {
    const qreal dpr = img.devicePixelRatio();
    return img.pixelColor(static_cast<int>(logical.x() * dpr), static_cast<int>(logical.y() * dpr));
}

QPoint InClient(const ui::Form1& form, const char* box, QPoint p) {
    const ui::PictureBox* b = form.Widgets().BoxNamed(QString::fromLatin1(box));
    return b->Client()->mapTo(&form, p);
}

int CountColour(const QImage& img, const QRect& r, const QColor& c) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            n += At(img, {x, y}) == c ? 1 : 0;
        }
    }
    return n;
}

QColor Rgb(int r, int g, int b) {
    return {r, g, b};
}

QColor ButtonFace() {
    return QGuiApplication::palette().color(QPalette::Button);
}

} // namespace kelvara::uitest
