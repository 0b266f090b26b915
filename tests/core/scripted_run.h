// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// A switched-on run driven by a scripted clock, for tests of single passes.
#pragma once

#include "recording_controls.h"
#include "sim/run.h"
#include "sim/state.h"

#include <array>
#include <optional>
#include <vector>

namespace kelvara::test {

constexpr float kStart = 1000.0f; // clock reading when a run starts

// Runs one switched-on run whose passes read the given elapsed times, then
// ends the program inside the following yield so that nothing resets the
// displays: what the window shows is what the last pass left.
struct ScriptedRun {
    SimState st;
    RecordingControls ctl;

    // `start` is the clock reading on entry; 0 keeps every elapsed time exact.
    explicit ScriptedRun(const std::vector<float>& elapsed, std::array<int, 3> sliders = {5, 5, 1},
                         float start = kStart) {
        Form_Load(st, ctl);
        ctl.sliders = sliders;
        std::vector<float> clock{start};
        for (float t : elapsed) {
            clock.push_back(start + t);
        }
        ctl.ScriptClock(clock);
        const auto passes = static_cast<long>(elapsed.size());
        ctl.onYield = [this, passes](long n) {
            if (n > passes) {
                ctl.ending = true;
            }
        };
        ctl.log.clear();
        st.Running = 1;
        RunSimulation(st, ctl);
    }

    // First index of the visible charge group, if exactly five consecutive
    // markers are visible.
    std::optional<int> GroupStart() const {
        if (ctl.VisibleTokCount() != 5) {
            return std::nullopt;
        }
        for (int k = 0; k + 4 < kTokCount; ++k) {
            if (ctl.tokVisible[static_cast<std::size_t>(k)]) {
                for (int j = 1; j < 5; ++j) {
                    if (!ctl.tokVisible[static_cast<std::size_t>(k) +
                                        static_cast<std::size_t>(j)]) {
                        return std::nullopt;
                    }
                }
                return k;
            }
        }
        return std::nullopt;
    }

    // The deflection in degrees handed to a meter, recovered from the angle
    // that the meter stored (radians with 3.14 for pi).
    static double Degrees(double radians) { return radians * 360 / (2 * 3.14); }
};

} // namespace kelvara::test
