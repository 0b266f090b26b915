// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// What the window writes out for a teacher to read to the class: the
// values of the sliders' settings, the instantaneous values of the pass on
// the screen while a run is on, and the sign that the run is frozen.
//
// They are drawn on the window's face in the two bands the drawing leaves
// empty, above the generator panel and above the graphs, placed in twips
// through the window's map and written in its fonts, so they scale with the
// drawing and never cover an element. Nothing shows until asked for.
#pragma once

#include "sim/controls.h"
#include "ui/layout/twips.h"
#include "ui/look/look.h"

#include <QColor>
#include <QRect>
#include <QString>

#include <optional>
#include <vector>

class QPainter;

namespace kelvara {
struct SimState;
}

namespace kelvara::ui {

// Slider positions as the window reads them.
struct SliderSettings {
    int frequencyStep = 0;
    int amplitudeStep = 0; // tenths of a volt
    int resistance = 0;
};

// u, i and p of the point plotted last, in volts, amperes and watts.
struct InstantValues {
    double u = 0;
    double i = 0;
    double p = 0;
};

class Readouts {
public:
    // A piece of a line in one font and colour; a subscript is set smaller
    // and lower, as the "m" of Uₘ.
    struct Piece {
        QString text;
        QColor colour;
        bool subscript = false;
    };
    using Line = std::vector<Piece>;

    // f, ω and Uₘ; then R and Iₘ. `omegaBase` is the frequency table's base.
    static std::vector<Line> SettingLines(const SliderSettings& s, double omegaBase);
    // A slider's setting with its unit, as these lines write it: "0,75 Гц",
    // "0,5 В", "1 Ом".
    static QString SettingText(Slider slider, int position, double omegaBase);
    // u, i and p in the traces' colours.
    static Line InstantLine(const InstantValues& v);
    // Read back from the graph points the last pass plotted.
    static InstantValues InstantOf(const SimState& st);
    // A line as plain text (subscripts inline), for tests.
    static QString Text(const Line& line);
    // Lines as a screen reader gets them: subscripts as subscript letters,
    // the gaps as commas, one sentence a line.
    static QString Spoken(const std::vector<Line>& lines);

    // Recomputes what shows; returns the window pixels that changed. The
    // lines keep the default look's colours; `look` maps them as they are
    // drawn.
    QRect Update(const Twips& map, const Look& look, bool valuesShown, const SliderSettings& s,
                 double omegaBase, const std::optional<InstantValues>& instant, bool frozen);
    void Paint(QPainter& p, const QRect& dirty) const;

    // Where each thing shown lies now, in window pixels.
    std::vector<QRect> Areas() const;
    const std::vector<Line>& Lines() const { return lines_; }
    bool PauseShown() const { return pause_; }

private:
    struct Placed {
        Line line;
        QPoint baseline; // window pixels, start of the line
        QRect bounds;
    };

    void Place(const Twips& map);
    QRect PauseRect() const;

    Twips map_;
    Look look_;
    std::vector<Line> lines_; // settings lines, then the instant line if any
    std::vector<Placed> placed_;
    bool pause_ = false;
    QRect pauseRect_;
};

} // namespace kelvara::ui
