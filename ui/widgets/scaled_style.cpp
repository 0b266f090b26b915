// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/widgets/scaled_style.h"

#include <QApplication>
#include <QStyleFactory>
#include <QStyleOptionSlider>

#include <cmath>

namespace kelvara::ui {

ScaledStyle::ScaledStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

int ScaledStyle::Scaled(int natural) const {
    return static_cast<int>(std::lround(natural * scale_));
}

int ScaledStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                             const QWidget* widget) const {
    const int natural = QProxyStyle::pixelMetric(metric, option, widget);
    switch (metric) {
    case PM_SliderThickness:
    case PM_SliderControlThickness:
    case PM_SliderLength:
    case PM_SliderTickmarkOffset:
        return Scaled(natural);
    default:
        return natural;
    }
}

QRect ScaledStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                  SubControl sub, const QWidget* widget) const {
    QRect r = QProxyStyle::subControlRect(control, option, sub, widget);
    if (control == CC_Slider && sub == SC_SliderGroove) {
        // The groove keeps its centre line and grows across it.
        const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
        if (slider != nullptr && slider->orientation == Qt::Horizontal) {
            const int centre = r.center().y();
            r.setHeight(Scaled(r.height()));
            r.moveCenter(QPoint(r.center().x(), centre));
        }
    }
    return r;
}

} // namespace kelvara::ui
