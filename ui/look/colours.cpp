// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/look/colours.h"

#include <QGuiApplication>
#include <QPalette>

namespace kelvara::ui {

QColor Resolve(const Paint& paint, const QColor& fallback) {
    switch (paint.source) {
    case Paint::Source::Fixed:
        return ToQColor(paint.rgb);
    case Paint::Source::Role:
        return QGuiApplication::palette().color(paint.role);
    case Paint::Source::None:
        break;
    }
    return fallback;
}

void SetBackground(QWidget* w, const QColor& c) {
    if (w->testAttribute(Qt::WA_SetPalette) && w->palette().color(QPalette::Window) == c) {
        return;
    }
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, c);
    w->setPalette(pal);
}

} // namespace kelvara::ui
