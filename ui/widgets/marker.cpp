// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/widgets/marker.h"

#include "ui/look/colours.h"

#include <QPainter>

#include <algorithm>

namespace kelvara::ui {

SignMarker::SignMarker(Sign sign, const Element& e, QWidget* parent)
    : QWidget(parent), sign_(sign), e_(e), back_(Background(this)) {
    setAutoFillBackground(true);
}

void SignMarker::SetBackColor(const QColor& c) {
    back_ = c;
    SetBackground(this, look_.Background(e_, c));
}

void SignMarker::SetSign(Sign sign) {
    if (sign != sign_) {
        sign_ = sign;
        update();
    }
}

void SignMarker::SetLook(const Look& look) {
    look_ = look;
    SetBackground(this, look_.Background(e_, back_));
    update();
}

std::vector<QRect> SignMarker::Bars(Sign sign, QSize size) {
    const int side = std::min(size.width(), size.height());
    int stroke = std::max(2, side / 5);
    if (stroke % 2 != side % 2) {
        ++stroke;
    }
    const int margin = std::max(1, side / 5);
    const int arm = std::max(stroke, side - 2 * margin);
    std::vector<QRect> bars;
    bars.emplace_back((size.width() - arm) / 2, (size.height() - stroke) / 2, arm, stroke);
    if (sign == Sign::Plus) {
        bars.emplace_back((size.width() - stroke) / 2, (size.height() - arm) / 2, stroke, arm);
    }
    return bars;
}

void SignMarker::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    for (const QRect& bar : Bars(sign_, size())) {
        p.fillRect(bar, look_.Sign());
    }
}

} // namespace kelvara::ui
