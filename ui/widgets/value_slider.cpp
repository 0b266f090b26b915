// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/widgets/value_slider.h"

#include "ui/lang/language.h"

#include <QAccessible>
#include <QLocale>

#include <utility>

namespace kelvara::ui {

namespace {

// The value read out heads the slider's description (a reader on Qt 6.4
// gets no value text), so each move changes that as well.
void DescriptionChanged(QWidget* w) {
    if (QAccessible::isActive()) {
        QAccessibleEvent event(w, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&event);
    }
}

} // namespace

ValueSlider::ValueSlider(Qt::Orientation orientation, int divisor, QWidget* parent)
    : QSlider(orientation, parent), divisor_(divisor) {
    connect(this, &QSlider::valueChanged, this, [this] { DescriptionChanged(this); });
}

void ValueSlider::SetValueText(TextOf text) {
    text_ = std::move(text);
    DescriptionChanged(this);
}

QString ValueSlider::ValueText() const {
    if (text_) {
        return text_(value());
    }
    const QLocale numbers = NumberLocale();
    if (divisor_ == 1) {
        return numbers.toString(value());
    }
    return numbers.toString(static_cast<double>(value()) / divisor_, 'f', 1);
}

} // namespace kelvara::ui
