// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The points the graphs have plotted in the current sweep, one for each x
// they reached, so that a cursor can read off the traces what they show.
// The simulation keeps no such list (its graphs are only drawing): the
// window notes each pass as it reaches the screen. Emptied when a sweep
// starts again at the left edge and when the displays are reset.
#pragma once

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
    // A point of the three traces as plotted, in the state's twips.
    struct Pass {
        std::int32_t x = 0;
        std::int32_t voltY = 0;
        std::int32_t currentY = 0;
        std::int32_t powerY = 0;
        bool operator==(const Pass&) const = default;
    };

    SweepRecord();

    // The pass of `st` that is on the screen now; nothing of a run is on
    // it when `onScreen` is false.
    void Note(const SimState& st, bool onScreen);

    // The pass plotted nearest to `x` (twips), if the sweep has drawn within
    // `reach` of it.
    std::optional<Pass> Nearest(double x, double reach) const;

    std::size_t Count() const { return passes_.size(); }

private:
    std::vector<Pass> passes_; // by x, rising
    std::int16_t sweep_ = 0;
};

} // namespace kelvara::ui
