// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// What the window writes out for a teacher to read to the class: the
// sliders' settings and what the lesson works out from them (the effective
// values, the mean power, the period), the instantaneous values of the pass
// on the screen while a run is on, and the sign that the run is frozen.
//
// They are drawn on the window's face where the drawing leaves it empty:
// above the generator panel, inside the conductor loop and above the
// graphs, placed in twips through the window's map and written in its
// fonts, so they scale with the drawing and never cover an element.
// Nothing shows until asked for.
#pragma once

#include "sim/controls.h"
#include "ui/lang/language.h"
#include "ui/layout/twips.h"
#include "ui/look/look.h"
#include "ui/paint/glyph_line.h"
#include "ui/teach/sweep_record.h"

#include <QColor>
#include <QCoreApplication>
#include <QFont>
#include <QRect>
#include <QRegion>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class QPainter;

namespace kelvara {
struct SimState;
}

namespace kelvara::ui {

class GraphOverlay;

// Slider positions as the window reads them.
struct SliderSettings {
    int frequencyStep = 0;
    int amplitudeStep = 0; // tenths of a volt
    int resistance = 0;

    bool operator==(const SliderSettings&) const = default;
};

// u, i and p of the point plotted last, in volts, amperes and watts.
struct InstantValues {
    double u = 0;
    double i = 0;
    double p = 0;
};

class Readouts {
    Q_DECLARE_TR_FUNCTIONS(kelvara::ui::Readouts)

public:
    Readouts();
    ~Readouts();
    Readouts(const Readouts&) = delete;
    Readouts& operator=(const Readouts&) = delete;
    Readouts(Readouts&&) = delete;
    Readouts& operator=(Readouts&&) = delete;

    // A piece of a line in one font and colour; a subscript is set smaller
    // and lower, as the "m" of Uₘ.
    struct Piece {
        QString text;
        QColor colour;
        bool subscript = false;

        bool operator==(const Piece&) const = default;
    };
    using Line = std::vector<Piece>;

    // f, ω and Uₘ; then R and Iₘ. `omegaBase` is the frequency table's base.
    static std::vector<Line> SettingLines(const SliderSettings& s, double omegaBase);
    // The lesson's results for the same settings: the effective U and I,
    // the mean power and the period, U, I and P in the traces' colours.
    static std::vector<Line> EffectiveLines(const SliderSettings& s, double omegaBase);
    // A slider's setting with its unit, as these lines write it: "0,75 Гц",
    // "0,5 В", "1 Ом".
    static QString SettingText(Slider slider, int position, double omegaBase);
    // u, i and p in the traces' colours.
    static Line InstantLine(const InstantValues& v);
    // The same three, without the gaps between them: the cursor's reading.
    static Line InstantPieces(const InstantValues& v);
    // Read back from the graph points the last pass plotted, or from the
    // heights of any point plotted.
    static InstantValues InstantOf(const SimState& st);
    static InstantValues InstantOf(const SimState& st, double voltY, double currentY,
                                   double powerY);
    // A line as plain text (subscripts inline), for tests and screen readers.
    static QString Text(const Line& line);
    // Lines as a screen reader gets them: subscripts as subscript letters,
    // the gaps as commas, one sentence a line.
    static QString Spoken(const std::vector<Line>& lines);

    // Recomputes what shows; returns the window pixels that changed. The
    // lines keep the default look's colours; `look` maps them as they are
    // drawn.
    QRegion Update(const Twips& map, const Look& look, bool valuesShown, const SliderSettings& s,
                   double omegaBase, const std::optional<InstantValues>& instant, bool frozen);
    void Paint(QPainter& p, const QRegion& dirty) const;

    // What the values add to the graphs while they show: levels, numbers
    // and the reading cursor (graph_overlay.h); each returns the window
    // pixels that changed.
    QRegion UpdateGraphs(bool graphsShown, const SliderSettings& s, const SimState& st);
    QRegion PointAt(std::optional<QPoint> pointer, const SweepRecord& record, const SimState& st);
    const GraphOverlay& Graphs() const { return *graphs_; }

    // Where each thing shown lies now, in window pixels.
    std::vector<QRect> Areas() const;
    const std::vector<Line>& Lines() const { return lines_; }
    bool PauseShown() const { return pause_; }
    // Whether the last line is the instant values'.
    bool InstantShown() const { return instantShown_; }

    // Lines() holds the settings, then the effective values, then the
    // instant values while a run is on.
    static constexpr int kSettingLineCount = 2;
    static constexpr int kEffectiveLineCount = 6;

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
    std::vector<QRect> TextAreas() const;
    QRect PauseRect() const;

    Twips map_;
    Look look_;
    // The settings' and effective lines change only with the sliders and
    // the language, the instant line with every pass: the first are kept.
    std::vector<Line> settingLines_;
    SliderSettings settings_;
    double omegaBase_ = 0;
    Language settingsLanguage_ = Language::Russian;
    std::vector<Line> lines_;
    QFont font_;
    QFont small_;
    // The instant line is written anew with every pass: glyph by glyph.
    GlyphLine glyphs_;
    int drop_ = 0; // how far a subscript sits below the baseline
    std::vector<Placed> placed_;
    bool pause_ = false;
    Language language_ = Language::Russian;
    bool instantShown_ = false;
    QRect pauseRect_;
    std::unique_ptr<GraphOverlay> graphs_;
};

} // namespace kelvara::ui
