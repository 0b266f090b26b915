// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The values drawn on the window for a teacher to read to the class: the
// lines that value_lines.h says, and the sign that the run is frozen.
//
// They are drawn on the window's face where the drawing leaves it empty:
// above the generator panel, inside the conductor loop and above the
// graphs, placed in twips through the window's map and written in its
// fonts, so they scale with the drawing and never cover an element.
// Nothing shows until asked for.
#pragma once

#include "ui/lang/language.h"
#include "ui/layout/twips.h"
#include "ui/look/look.h"
#include "ui/paint/glyph_line.h"
#include "ui/teach/value_lines.h"

#include <QCoreApplication>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QRegion>

#include <vector>

class QPainter;

namespace kelvara::ui {

class Readouts {
    Q_DECLARE_TR_FUNCTIONS(kelvara::ui::Readouts)

public:
    using Line = ValueLines::Line;
    using Piece = ValueLines::Piece;

    // Places what `values` say in the window's map; returns the window
    // pixels that changed. The lines keep the default look's colours;
    // `look` maps them as they are drawn.
    QRegion Update(const Twips& map, const Look& look, const ValueLines& values);
    void Paint(QPainter& p, const QRegion& dirty) const;

    // Where each line shown lies now, then the pause sign, in window pixels.
    std::vector<QRect> Areas() const;

private:
    struct Placed {
        Line line;
        QPoint baseline;    // window pixels, start of the line
        std::vector<int> x; // where each piece starts
        QRect bounds;
        bool glyphs = false; // set glyph by glyph (glyph_line.h)
    };

    // Places the lines that differ from `before`, or all of them.
    void Place(const Twips& map, const std::vector<Line>& before, bool all);

    Twips map_;
    Look look_;
    // The lines as placed.
    std::vector<Line> lines_;
    QFont font_;
    QFont small_;
    // The instant line is written anew with every pass: glyph by glyph.
    GlyphLine glyphs_;
    int drop_ = 0; // how far a subscript sits below the baseline
    std::vector<Placed> placed_;
    bool pause_ = false;
    Language language_ = Language::Russian;
    QRect pauseRect_;
};

} // namespace kelvara::ui
