// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The window's sliders: the platform's slider under a class of its own, so
// that a screen reader is told its value as the demonstration means it
// (Qt's own accessibility for QSlider would otherwise answer first).
#pragma once

#include <QSlider>

namespace kelvara::ui {

class ValueSlider : public QSlider {
    Q_OBJECT

public:
    // `divisor` turns the position into the value read out: 10 reads
    // position 5 as "0,5".
    ValueSlider(Qt::Orientation orientation, int divisor, QWidget* parent)
        : QSlider(orientation, parent), divisor_(divisor) {}

    // The position as read out, in Russian notation.
    QString ValueText() const;

private:
    int divisor_;
};

} // namespace kelvara::ui
