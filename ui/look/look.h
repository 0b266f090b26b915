// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The one mapping from the colours and pen widths the program and the layout
// give to what the window shows: the default look, or the projector view for
// a bright classroom.
//
// The simulation and the layout keep their own colours and widths; the
// window asks this class, at the moment it draws, what to show for them, as
// it asks Twips where. So switching views changes nothing that is stored,
// and the default look returns every colour and width unchanged, pixel for
// pixel.
//
// The projector view is dark on light and high in contrast (WCAG 2.x
// relative luminance): marks at least 3:1 from what lies behind them, text
// at least 4.5:1, heat shown by lightness as well as hue, so that neither a
// lit room nor colour blindness takes the meaning away.
//
// New elements ask for their colours here too: give the colour the default
// look uses and the colour behind it, to Text() for words and to Graphic()
// for any other mark; draw run-time lines with StrokePen(). Form1 tells the
// look in use (CurrentLook()) and signals when it changes.
#pragma once

#include "ui/layout/layout.h"

#include <QColor>

#include <cstdint>

namespace kelvara::ui {

class Look {
public:
    enum class View : std::uint8_t { Default, Projector };

    constexpr Look() = default;
    constexpr explicit Look(View view) : view_(view) {}

    constexpr View GetView() const { return view_; }
    constexpr bool Projector() const { return view_ == View::Projector; }
    constexpr bool operator==(const Look&) const = default;

    // `natural` itself where it stands out from `behind` enough, otherwise
    // black or white, whichever stands out more: at least 4.5:1 for text,
    // 3:1 for other marks. Unchanged in the default look.
    QColor Text(const QColor& natural, const QColor& behind) const;
    QColor Graphic(const QColor& natural, const QColor& behind) const;

    // A drawn element's text, line or border colour and its cross-hatch,
    // from the colour the layout gives it (already resolved). Fills, and the
    // widths of drawn lines and borders, are the layout's in every look.
    QColor Fore(const Element& e, const QColor& natural) const;
    QColor Hatch(const Element& e, const QColor& natural) const;

    // A child window's background (box or marker), from the colour the
    // layout or the program gives it: the wire's and the resistor's heat,
    // the switch, the sign markers of a dial.
    QColor Background(const Element& e, const QColor& natural) const;
    // The sign a marker control draws over its background.
    QColor Sign() const;

    // A run-time stroke on the surface of `container` (nullptr: the window
    // itself, where the graph traces are drawn).
    QColor Stroke(const Element* container, const QColor& natural) const;
    // Run-time pen width, in pixels of the natural size.
    int StrokePen(int natural) const;

    // The graph markers: the colour of the trace each one leads, and the
    // ring inside its black frame that makes it stand out from that trace
    // (invalid: no ring).
    QColor Trace(const QColor& natural) const { return Stroke(nullptr, natural); }
    // A level drawn across a trace's graph: the trace's colour a shade
    // darker, so that it never reads as the trace itself.
    QColor Level(const QColor& trace) const { return Trace(trace).darker(125); }
    QColor MarkerRing() const;

    // WCAG 2.x relative luminance (0 black, 1 white) and contrast ratio
    // (1 to 21).
    static double Luminance(const QColor& c);
    static double Contrast(const QColor& a, const QColor& b);

private:
    View view_ = View::Default;
};

} // namespace kelvara::ui
