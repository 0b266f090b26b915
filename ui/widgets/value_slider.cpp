// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/widgets/value_slider.h"

#include <QLocale>

namespace kelvara::ui {

QString ValueSlider::ValueText() const {
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    if (divisor_ == 1) {
        return russian.toString(value());
    }
    return russian.toString(static_cast<double>(value()) / divisor_, 'f', 1);
}

} // namespace kelvara::ui
