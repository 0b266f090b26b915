// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The lesson's quantities and the graphs' scales, each written once. The
// start-up values (state.cpp), the traces (display/graphs.cpp), the layout's
// graph panel, and what the window writes beside them (the values, the
// levels, the reading cursor) all take them from here, so that a change
// moves a trace, its level and its numbers together.
//
// Each formula keeps the order of operations of the place it came from:
// the traces and the values must read the same doubles as before.
#pragma once

#include "sim/errors.h"
#include "sim/state.h"

#include <cmath>
#include <cstdint>
#include <optional>

namespace kelvara {

// Start-up values of the state (twips, seconds, rad/s).
inline constexpr std::int16_t kGraphX0 = 8850;       // time 0 of every graph
inline constexpr std::int16_t kGraphTimeScale = 400; // twips per second
inline constexpr std::int16_t kGraphAmpScale = 1000; // twips per volt, per ampere
inline constexpr std::int16_t kVoltGraphY0 = 2940;   // zero lines
inline constexpr std::int16_t kCurrentGraphY0 = 5220;
inline constexpr std::int16_t kPowerGraphY0 = 9420;
inline constexpr std::int32_t kSweepSeconds = 15;
inline constexpr double kOmegaBase = 3.14; // not pi: the frequency table's base
inline constexpr std::int16_t kNeedleLength = 1060;

// The power graph draws a watt this many times as high as the other two
// draw a volt or an ampere.
inline constexpr double kPowerScale = 2.5;

// The amplitude slider counts tenths of a volt.
inline double AmplitudeOf(std::int32_t amplitudeStep) {
    return amplitudeStep / 10.0;
}

// ω of a position of the frequency slider; nothing outside 1..9.
inline std::optional<double> OmegaOfStep(std::int32_t FrequencyStep, double OmegaBase) {
    switch (FrequencyStep) {
    case 1:
        return OmegaBase / 10;
    case 2:
        return OmegaBase / 5;
    case 3:
        return OmegaBase / 2;
    case 4:
        return OmegaBase;
    case 5:
        return OmegaBase * 1.5;
    case 6:
        return OmegaBase * 2;
    case 7:
        return OmegaBase * 3;
    case 8:
        return OmegaBase * 3.5;
    case 9:
        return OmegaBase * 4;
    default:
        return std::nullopt;
    }
}

// What the lesson works out for one setting of the sliders. A setting the
// sliders cannot reach (no step, no resistance) gives 0 where it would
// divide by nothing.
struct SettingValues {
    double omega = 0;     // rad/s
    double frequency = 0; // Hz, with the table's own pi
    double um = 0;        // amplitudes
    double im = 0;
    double u = 0; // effective values: Um / √2, Im / √2
    double i = 0;
    double p = 0;      // mean power over a period: U · I
    double period = 0; // s
};

inline SettingValues SettingValuesOf(std::int32_t frequencyStep, std::int32_t amplitudeStep,
                                     std::int32_t resistance, double OmegaBase) {
    SettingValues s;
    s.omega = OmegaOfStep(frequencyStep, OmegaBase).value_or(0);
    s.frequency = OmegaBase > 0 ? s.omega / (2 * OmegaBase) : 0;
    s.um = AmplitudeOf(amplitudeStep);
    s.im = resistance > 0 ? s.um / resistance : 0;
    s.u = s.um / std::sqrt(2.0);
    s.i = s.im / std::sqrt(2.0);
    s.p = s.um * s.im / 2;
    s.period = s.frequency > 0 ? 1 / s.frequency : 0;
    return s;
}

// A value divided by the resistance, as the traces divide: a resistance of
// 0 is a failure, never a silent infinity.
inline double PerResistance(double value, std::int32_t Resistance) {
    if (Resistance == 0) {
        throw FloatingPointError("division by zero");
    }
    return value / Resistance;
}

// A graph's vertical scale in the state's twips: its zero line, and the
// twips of one unit (volt, ampere or watt) as `factor` times GraphAmpScale.
struct GraphScale {
    double zeroY = 0;
    double ampScale = 0;
    double factor = 1;

    double TwipsPerUnit() const { return factor * ampScale; }
    // Where a trace stands at `share` (the cosine, or its square) of its
    // peak `peak`, before it is rounded down.
    double TraceY(double share, double peak) const {
        return zeroY - share * (factor * (ampScale * peak));
    }
    // Where a value stands on the graph.
    double Y(double value) const { return zeroY - value * TwipsPerUnit(); }
    // The value a height stands for: what the trace plotted there shows.
    double ValueAt(double y) const { return (zeroY - y) / TwipsPerUnit(); }
};

inline GraphScale VoltGraph(const SimState& st) {
    return {static_cast<double>(st.VoltGraphY0), static_cast<double>(st.GraphAmpScale), 1};
}
inline GraphScale CurrentGraph(const SimState& st) {
    return {static_cast<double>(st.CurrentGraphY0), static_cast<double>(st.GraphAmpScale), 1};
}
inline GraphScale PowerGraph(const SimState& st) {
    return {static_cast<double>(st.PowerGraphY0), static_cast<double>(st.GraphAmpScale),
            kPowerScale};
}

// The x of a time within the sweep, before it is rounded down, and the time
// an x stands for.
inline double SweepX(const SimState& st, double t) {
    return (st.GraphTimeScale * t) + st.GraphX0;
}
// The time within the sweep of a run time (seconds since the run began).
inline double SweepTimeOf(const SimState& st, double elapsed) {
    return elapsed - static_cast<double>(st.SweepSeconds) * st.SweepCount;
}
inline double SweepTimeAt(const SimState& st, double x) {
    return st.GraphTimeScale > 0 ? (x - st.GraphX0) / st.GraphTimeScale : 0;
}

} // namespace kelvara
