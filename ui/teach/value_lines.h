// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// What the values say, as lines of coloured text: the sliders' settings and
// what the lesson works out from them (the effective values, the mean
// power, the period), the instantaneous values of the pass on the screen
// while a run is on, and whether the run is frozen. No painting here: the
// readouts draw these lines, the narrator speaks them, the sweep's table
// writes them.
#pragma once

#include "sim/controls.h"
#include "ui/lang/language.h"

#include <QColor>
#include <QCoreApplication>
#include <QString>

#include <optional>
#include <vector>

namespace kelvara {
struct SimState;
}

namespace kelvara::ui {

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

class ValueLines {
    Q_DECLARE_TR_FUNCTIONS(kelvara::ui::ValueLines)

public:
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

    // What the values say now: nothing unless shown; the instant values
    // when there is a pass on the screen to read them from.
    void Update(bool valuesShown, const SliderSettings& s, double omegaBase,
                const std::optional<InstantValues>& instant, bool frozen);

    // The settings, then the effective values, then the instant values
    // while a run is on.
    const std::vector<Line>& Lines() const { return lines_; }
    bool PauseShown() const { return pause_; }
    // Whether the last line is the instant values'.
    bool InstantShown() const { return instantShown_; }
    // The instant values' line as shown now, or none.
    std::vector<Line> InstantLines() const;
    // What a screen reader gets: what the screen shows, the instant values
    // only while they stand still.
    std::vector<Line> Heard() const;

    static constexpr int kSettingLineCount = 2;
    static constexpr int kEffectiveLineCount = 6;

private:
    // The settings' and effective lines change only with the sliders and
    // the language, the instant line with every pass: the first are kept.
    std::vector<Line> settingLines_;
    SliderSettings settings_;
    double omegaBase_ = 0;
    Language settingsLanguage_ = Language::Russian;
    std::vector<Line> lines_;
    bool pause_ = false;
    bool instantShown_ = false;
};

} // namespace kelvara::ui
