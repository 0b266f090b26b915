// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// What the values add to the graph panel, for a class to read the graphs:
// a dashed level at the effective U on the voltage graph, at the effective
// I on the current graph and at the mean power on the power graph, each in
// its trace's colour and labelled; the vertical axes numbered in volts,
// amperes and watts and the time axes in seconds; and a reading cursor
// where the pointer rests over the panel, with t, u, i and p of the pass
// plotted there in this sweep.
//
// Everything stands at the graphs' own scales (sim/lesson.h), placed
// through the window's map and coloured through its look. It is painted on
// the window's face over the traces (the numbers and labels on patches of
// the panel's colour, so that a trace never crosses one), under the graphs
// screen, so it shows only with the screen lifted.
#pragma once

#include "ui/lang/language.h"
#include "ui/layout/twips.h"
#include "ui/look/look.h"
#include "ui/paint/glyph_line.h"
#include "ui/teach/sweep_record.h"

#include <QColor>
#include <QCoreApplication>
#include <QFont>
#include <QHash>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QString>

#include <optional>
#include <vector>

class QPainter;

namespace kelvara {
struct SimState;
}

namespace kelvara::ui {

struct SliderSettings;

class GraphOverlay {
    Q_DECLARE_TR_FUNCTIONS(kelvara::ui::GraphOverlay)

public:
    // A piece of text where it is drawn, in window pixels, on a patch of
    // the panel's colour just larger than its ink: drawn over the traces,
    // so that none runs through it.
    struct Label {
        QString text;
        QColor colour; // as the default look gives it
        QRect rect;
        QRect patch;
    };
    // A level: its height in the state's twips, and its label.
    struct Level {
        int y = 0;
        QColor colour;
        Label label;
    };

    // The levels and numbers for these settings, or nothing when `shown` is
    // false; returns the window pixels that changed.
    QRegion Update(const Twips& map, const Look& look, bool shown, const SliderSettings& s,
                   const SimState& st);
    // The cursor for the pointer (window pixels; nothing off the window)
    // over the passes of this sweep; returns the window pixels that changed.
    QRegion Point(std::optional<QPoint> pointer, const SweepRecord& record, const SimState& st);
    void Paint(QPainter& p, const QRegion& dirty) const;

    // The graph panel, in window pixels.
    QRect Panel() const { return panel_; }
    const std::vector<Level>& Levels() const { return levels_; }
    const std::vector<Label>& Numbers() const { return numbers_; }
    // The pass the cursor reads and its lines (t, u, i, p), while it shows.
    const std::optional<SweepRecord::Pass>& Reading() const { return reading_; }
    const std::vector<Label>& ReadingLines() const { return card_; }
    // Where each thing shown lies now, in window pixels.
    std::vector<QRect> Areas() const;

private:
    void Place(const SliderSettings& s, const SimState& st);
    Label Placed(const QString& text, const QColor& colour, const QRect& rect) const;
    void PlaceCard(const SimState& st);
    int CardTextWidth(const QString& text);
    QRegion CursorArea() const;

    Twips map_;
    Look look_;
    QFont numberFont_;
    QFont readingFont_;
    int readingAscent_ = 0;
    GlyphLine readingGlyphs_;
    int numberAscent_ = 0;
    GlyphLine numberGlyphs_;
    // The reading's widths by the shape of its numbers (every digit a 0, a
    // sign a minus): the card keeps its width as the pointer moves, and
    // the text is not measured again for every pass it reads.
    QHash<QString, int> cardWidths_;
    bool shown_ = false;
    int amplitudeStep_ = 0;
    int resistance_ = 0;
    Language language_ = Language::Russian;
    QRect panel_;
    std::vector<Level> levels_;
    int levelLeft_ = 0; // window pixels: the levels span the sweep
    int levelRight_ = 0;
    std::vector<Label> numbers_;
    std::optional<QPoint> pointer_;
    std::optional<SweepRecord::Pass> reading_;
    QRect cursor_;
    QRect cardRect_;
    std::vector<Label> card_;
};

} // namespace kelvara::ui
