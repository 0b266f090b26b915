// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/teach/sweep_record.h"

#include "sim/lesson.h"
#include "sim/phase.h"
#include "sim/state.h"

#include <algorithm>
#include <cmath>

namespace kelvara::ui {

namespace {

// A sweep spans 6000 twips (15 s at 400 a second), and its last pass plots a
// little past them; a pass plots at a whole twip: this many points at most,
// kept without allocating in a run.
constexpr std::size_t kMostPoints =
    static_cast<std::size_t>(kSweepSeconds) * static_cast<std::size_t>(kGraphTimeScale) + 200;

} // namespace

SweepRecord::SweepRecord() {
    passes_.reserve(kMostPoints);
}

void SweepRecord::Note(const SimState& st, bool onScreen, const RunYield::PassRead& read) {
    if (!onScreen) {
        passes_.clear();
        return;
    }
    // The run loop's own arithmetic, on the values it read for the pass:
    // the phase of its run time, the sweep's time, the slider's amplitude.
    double cos = 0;
    double sin = 0;
    std::int16_t sign = 1;
    SourcePhase(st, read.elapsed, cos, sin, sign);
    const double amplitude = AmplitudeOf(read.sliders[static_cast<std::size_t>(Slider::sldU)]);
    const double sweepTime = SweepTimeOf(st, static_cast<double>(read.elapsed));
    const double u = cos * amplitude;
    const double i = st.Resistance != 0 ? cos * PerResistance(amplitude, st.Resistance) : 0;
    const Pass p{static_cast<std::int32_t>(st.CurX),
                 static_cast<std::int32_t>(st.CurVoltY),
                 static_cast<std::int32_t>(st.CurCurrentY),
                 st.CurPowerY,
                 sweepTime,
                 u,
                 i,
                 u * i};
    lastSliders_ = read.sliders;
    // A new sweep starts again at the left edge, on a window cleared.
    if (st.SweepCount != sweep_ || (!passes_.empty() && p.x < passes_.back().x)) {
        passes_.clear();
        sweep_ = st.SweepCount;
    }
    // Later passes at the same x are drawn over the earlier ones.
    if (!passes_.empty() && passes_.back().x == p.x) {
        passes_.back() = p;
    } else if (passes_.size() < kMostPoints) {
        passes_.push_back(p);
    }
}

std::optional<SweepRecord::Pass> SweepRecord::Nearest(double x, double reach) const {
    if (passes_.empty() || x < passes_.front().x - reach || x > passes_.back().x + reach) {
        return std::nullopt;
    }
    const auto after = std::lower_bound(passes_.begin(), passes_.end(), x,
                                        [](const Pass& p, double at) { return p.x < at; });
    if (after == passes_.begin()) {
        return *after;
    }
    const auto before = std::prev(after);
    if (after == passes_.end() || x - before->x <= after->x - x) {
        return *before;
    }
    return *after;
}

} // namespace kelvara::ui
