// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The window's sliders: the platform's slider under a class of its own, so
// that a screen reader is told its value as the demonstration means it
// (Qt's own accessibility for QSlider would otherwise answer first).
#pragma once

#include <QSlider>

#include <functional>

namespace kelvara::ui {

class ValueSlider : public QSlider {
    Q_OBJECT

public:
    // How a position reads out, with its unit: 5 on the amplitude as "0,5 В"
    // in Russian, "0.5 V" in English.
    using TextOf = std::function<QString(int position)>;

    // `divisor` turns the position into the value read out until a text of
    // its own is given: 10 reads position 5 as "0,5".
    ValueSlider(Qt::Orientation orientation, int divisor, QWidget* parent);

    void SetValueText(TextOf text);
    // The position as read out, numbers written as the language shown
    // writes them (NumberLocale).
    QString ValueText() const;

private:
    int divisor_;
    TextOf text_;
};

} // namespace kelvara::ui
