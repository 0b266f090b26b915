// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The plus and minus marker controls: a sign in bold black strokes over a
// background of the marker's own colour.
#pragma once

#include "ui/layout/layout.h"
#include "ui/look/look.h"

#include <QRect>
#include <QWidget>

#include <vector>

namespace kelvara::ui {

class SignMarker : public QWidget {
    Q_OBJECT

public:
    enum class Sign { Plus, Minus };

    // `e`: the marker's layout record.
    SignMarker(Sign sign, const Element& e, QWidget* parent);

    Sign GetSign() const { return sign_; }
    // The charges' markers show minus signs while they stand for electrons.
    void SetSign(Sign sign);
    // The background as the layout or the program gives it; the marker
    // shows it as its look maps it.
    QColor BackColor() const { return back_; }
    void SetBackColor(const QColor& c);
    void SetLook(const Look& look);

    // The bars of the sign for a marker of this size, in whole pixels and
    // centred: arms of equal length, a stroke a fifth of the smaller side
    // (at least 2) with the same parity as that side.
    static std::vector<QRect> Bars(Sign sign, QSize size);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Sign sign_;
    const Element& e_;
    Look look_;
    QColor back_;
};

} // namespace kelvara::ui
