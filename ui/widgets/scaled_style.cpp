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

// Qt 6.4's Fusion draws a slider's ticks and handle with the outline of the
// filled part of its groove whenever it paints that part afresh (the first
// paint at a size and state, or once its pixmap cache was emptied), and with
// the slider's own outline when it finds the part cached: so the ticks of a
// window just opened were blue and turned grey on a repaint, and a repaint
// of part of a slider could show both. Painted a part at a time, no part
// takes another's colour, and every paint agrees.
void ScaledStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                     QPainter* painter, const QWidget* widget) const {
    const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_Slider || slider == nullptr) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    // Bottom to top, as the style stacks them.
    QStyleOptionSlider part = *slider;
    const SubControls groove = SC_SliderGroove;
    const SubControls ticks = SC_SliderTickmarks;
    for (const SubControls sub : {groove, ticks, ~(groove | ticks)}) {
        part.subControls = slider->subControls & sub;
        if (part.subControls != SC_None) {
            QProxyStyle::drawComplexControl(control, &part, painter, widget);
        }
    }
}

} // namespace kelvara::ui
