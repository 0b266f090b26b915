// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Colour conversions between the program's 0x00BBGGRR values, the layout's
// stored colours and Qt, and the colours of what the window adds to the
// drawing. A colour that the core writes and the window knows again by its
// value is the core's (sim/colours.h, display/).
#pragma once

#include "sim/controls.h"
#include "ui/layout/layout.h"

#include <QColor>
#include <QWidget>

namespace kelvara::ui {

// The sign that a run is frozen: black on amber, seen from the back of a
// room; and what dims the window beneath the help panel.
inline const QColor kPauseSignFill(255, 214, 0);
inline const QColor kHelpShade(0, 0, 0, 120);
// The reading cursor over the graphs: a thin grey line, apart from the black
// power trace.
inline const QColor kCursorLine(96, 96, 96);

inline QColor ToQColor(Colour c) {
    return {RedOf(c), GreenOf(c), BlueOf(c)};
}
inline Colour ToColour(const QColor& c) {
    return RGB(c.red(), c.green(), c.blue());
}

// A stored colour, a desktop colour from the application palette, or
// `fallback` when the layout stores none.
QColor Resolve(const Paint& paint, const QColor& fallback);

// Background of a child window, through the palette; cheap when unchanged.
void SetBackground(QWidget* w, const QColor& c);
inline QColor Background(const QWidget* w) {
    return w->palette().color(QPalette::Window);
}

} // namespace kelvara::ui
