// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The desktop's own style, with the measures of the controls the window
// hosts (the sliders' groove, handle and ticks) grown or shrunk by the
// window's view scale, so that they scale with the rest of the drawing and
// are still drawn, sharp, by the style itself; and every paint of a slider
// in the colours the style gives it in its state.
#pragma once

#include <QProxyStyle>

namespace kelvara::ui {

class ScaledStyle : public QProxyStyle {
public:
    // Wraps a fresh instance of the application's style.
    ScaledStyle();

    void SetScale(double scale) { scale_ = scale; }
    double Scale() const { return scale_; }

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;

private:
    int Scaled(int natural) const;

    double scale_ = 1.0;
};

} // namespace kelvara::ui
