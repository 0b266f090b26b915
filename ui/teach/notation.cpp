// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/teach/notation.h"

#include "ui/lang/language.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace kelvara::ui {

QString Fixed(double v, int decimals) {
    return NumberLocale().toString(v, 'f', decimals);
}

QString Short(double v, int decimals) {
    QString s = Fixed(v, decimals);
    const QChar comma = NumberLocale().decimalPoint().front();
    if (s.contains(comma)) {
        while (s.endsWith(QLatin1Char('0'))) {
            s.chop(1);
        }
        if (s.endsWith(comma)) {
            s.chop(1);
        }
    }
    return s;
}

QString Signed(double v, int decimals) {
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(v * scale) / scale;
    if (rounded == 0) {
        return Fixed(0, decimals);
    }
    return (rounded > 0 ? QStringLiteral("+") : QStringLiteral("\u2212")) +
           Fixed(std::abs(rounded), decimals);
}

QString Significant(double v) {
    if (v == 0 || !std::isfinite(v)) {
        return Fixed(0, 0);
    }
    const int magnitude = static_cast<int>(std::floor(std::log10(std::abs(v))));
    return Short(v, std::max(0, 2 - magnitude));
}

} // namespace kelvara::ui
