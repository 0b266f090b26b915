// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The points the graphs have plotted in the current sweep, one for each x
// they reached, so that a cursor can read off the traces what they show,
// and the values each was drawn from, so that the sweep can be saved as
// numbers. The simulation keeps no such list (its graphs are only drawing):
// the window notes each pass as it reaches the screen. Emptied when a sweep
// starts again at the left edge and when the displays are reset.
#pragma once

#include "ui/run/run_yield.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace kelvara {
struct SimState;
}

namespace kelvara::ui {

class SweepRecord {
public:
    // A point of the three traces as plotted, in the state's twips, and
    // what it was plotted from: the sweep's time t (s) and u (V), i (A),
    // p = u·i (W), as the graphs computed them.
    struct Pass {
        std::int32_t x = 0;
        std::int32_t voltY = 0;
        std::int32_t currentY = 0;
        std::int32_t powerY = 0;
        double t = 0;
        double u = 0;
        double i = 0;
        double p = 0;
        bool operator==(const Pass&) const = default;
    };

    SweepRecord();

    // The pass of `st` that is on the screen now, drawn from `read`;
    // nothing of a run is on it when `onScreen` is false.
    void Note(const SimState& st, bool onScreen, const RunYield::PassRead& read);

    // The pass plotted nearest to `x` (twips), if the sweep has drawn within
    // `reach` of it.
    std::optional<Pass> Nearest(double x, double reach) const;

    std::size_t Count() const { return passes_.size(); }
    // By x, rising.
    const std::vector<Pass>& Passes() const { return passes_; }
    // The sliders (sldW, sldU, sldR) of the last pass noted.
    const std::array<int, 3>& LastSliders() const { return lastSliders_; }

private:
    std::vector<Pass> passes_; // by x, rising
    std::array<int, 3> lastSliders_{};
    std::int16_t sweep_ = 0;
};

} // namespace kelvara::ui
