// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Clicks delivered inside the run loop's yield: switch-off, off-then-on pairs
// that nest runs, and the program ending from any depth.
#include "recording_controls.h"
#include "scripted_run.h"
#include "sim/run.h"
#include "sim/state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelvara {
namespace {

using test::Call;
using test::RecordingControls;

struct Window {
    SimState st;
    RecordingControls ctl;
    Window() {
        Form_Load(st, ctl);
        ctl.log.clear();
    }

    // Log positions where a display reset begins: the window cleared, then
    // the first marker hidden.
    std::vector<std::size_t> Resets() const {
        std::vector<std::size_t> at;
        for (std::size_t i = 0; i + 1 < ctl.log.size(); ++i) {
            if (ctl.log[i] == Call{"Form1", "Cls", ""} &&
                ctl.log[i + 1] == Call{"tok(0)", "Visible", "False"}) {
                at.push_back(i);
            }
        }
        return at;
    }

    // Log positions where a pass goes on after its yield (reads sldW).
    std::vector<std::size_t> PassBodies() const {
        std::vector<std::size_t> at;
        for (std::size_t i = 0; i < ctl.log.size(); ++i) {
            if (ctl.log[i].control == "sldW") {
                at.push_back(i);
            }
        }
        return at;
    }
};

TEST(Nesting, SwitchOffInsideAYieldResetsTwiceAndEndsAtRest) {
    Window w;
    w.ctl.ScriptClock({1000.0f, 1000.0f, 1000.25f, 1000.5f, 1000.625f});
    std::size_t nestedFrom = 0;
    std::size_t nestedTo = 0;
    w.ctl.onYield = [&](long n) {
        if (n == 3) {
            w.ctl.sliders[1] = 10; // amplitude moved in the same yield
            nestedFrom = w.ctl.log.size();
            picOn_Click(w.st, w.ctl);
            nestedTo = w.ctl.log.size();
            // The switch is off and the displays already at rest, before the
            // interrupted pass draws its last frame.
            EXPECT_EQ(w.ctl.picOnAppearance, kAppearanceFlat);
            EXPECT_EQ(w.ctl.picOnColour, RGB(192, 192, 192));
            EXPECT_EQ(w.st.Running, 0);
            EXPECT_TRUE(w.ctl.AtRest());
        }
    };

    picOn_Click(w.st, w.ctl);

    // The nested call made no pass: it read the clock and reset, nothing else.
    const std::vector<Call> nested(w.ctl.log.begin() + static_cast<long>(nestedFrom),
                                   w.ctl.log.begin() + static_cast<long>(nestedTo));
    ASSERT_GE(nested.size(), 4u);
    EXPECT_EQ(nested[0], (Call{"picOn", "Appearance", "0"}));
    EXPECT_EQ(nested[1], (Call{"picOn", "BackColor", "RGB(192, 192, 192)"}));
    EXPECT_EQ(nested[2], (Call{"Timer", "Value", "1000.625"}));
    EXPECT_EQ(nested[3], (Call{"Form1", "Cls", ""}));
    for (const Call& c : nested) {
        EXPECT_NE(c.control, "DoEvents");
        EXPECT_NE(c.control, "sldW");
    }

    // The interrupted pass completed with the sliders read after the yield:
    // at 0.5 s the cosine is -0.7063, so amplitude 1.0 gives heat 180.
    const auto bodies = w.PassBodies();
    ASSERT_EQ(bodies.size(), 3u);
    EXPECT_EQ(bodies[2], nestedTo);
    EXPECT_EQ(w.ctl.log[bodies[2] + 2], (Call{"sldU", "Value", "10"}));
    EXPECT_EQ(w.ctl.Calls("pictok(0)", "BackColor", nestedTo).at(0).value, "RGB(255, 75, 75)");

    // Then the outer loop reset a second time and no further pass ran.
    const auto resets = w.Resets();
    ASSERT_EQ(resets.size(), 2u);
    EXPECT_EQ(resets[0], nestedFrom + 3);
    EXPECT_GT(resets[1], bodies[2]);
    EXPECT_EQ(w.ctl.yields, 3);
    EXPECT_TRUE(w.ctl.AtRest());
    EXPECT_EQ(w.st.Running, 0);
    EXPECT_EQ(w.st.SweepCount, 0);
}

TEST(Nesting, OffThenOnInOneYieldNestsARunThatEndsInnermostFirst) {
    Window w;
    // Outer run: passes at 15.5 s and 16 s (which wraps the sweep), then the
    // pair arrives in the yield of the pass at 16.5 s. The nested run starts
    // at 1017 and is switched off in the yield of its second pass.
    w.ctl.ScriptClock(
        {1000.0f, 1015.5f, 1016.0f, 1016.5f, 1016.625f, 1017.0f, 1017.0f, 1017.25f, 1017.375f});
    SimState atInnerSecondYield;
    RecordingControls shownAtInnerSecondYield;
    w.ctl.onYield = [&](long n) {
        if (n == 3) {
            EXPECT_EQ(w.st.SweepCount, 1);
            picOn_Click(w.st, w.ctl); // off
            picOn_Click(w.st, w.ctl); // on: a whole run nested in this yield
            EXPECT_EQ(w.ctl.picOnAppearance, kAppearanceFlat);
        }
        if (n == 5) {
            EXPECT_EQ(w.ctl.depth, 2);
            atInnerSecondYield = w.st;
            shownAtInnerSecondYield.captions = w.ctl.captions;
            shownAtInnerSecondYield.tokVisible = w.ctl.tokVisible;
            picOn_Click(w.st, w.ctl); // off, at depth 2
        }
    };

    picOn_Click(w.st, w.ctl);

    // The nested run's first pass began from its own start time and from a
    // sweep counter put back to 0: phase 0, the graph at its left edge.
    EXPECT_EQ(atInnerSecondYield.SweepCount, 0);
    EXPECT_EQ(atInnerSecondYield.CurX, 8850);
    EXPECT_EQ(atInnerSecondYield.CurVoltY, 2440);
    EXPECT_EQ(shownAtInnerSecondYield.captions[0], "-");
    for (int k = 0; k < kTokCount; ++k) {
        EXPECT_EQ(shownAtInnerSecondYield.tokVisible[static_cast<std::size_t>(k)],
                  k >= 17 && k <= 21)
            << k;
    }

    // Four resets: the first off click, the second off click (no pass), the
    // nested run after finishing its pass, the outer run after finishing its.
    const auto resets = w.Resets();
    const auto bodies = w.PassBodies();
    ASSERT_EQ(resets.size(), 4u);
    ASSERT_EQ(bodies.size(), 5u);    // outer 1, 2; inner 1, 2; outer 3
    EXPECT_LT(bodies[1], resets[0]); // outer passes 1 and 2
    EXPECT_LT(resets[0], bodies[2]); // off click, then the inner first pass
    EXPECT_LT(bodies[2], resets[1]); // inner off click at depth 2
    EXPECT_LT(resets[1], bodies[3]); // the inner second pass completes
    EXPECT_LT(bodies[3], resets[2]); // the inner run ends
    EXPECT_LT(resets[2], bodies[4]); // the outer third pass completes
    EXPECT_LT(bodies[4], resets[3]); // the outer run ends last
    EXPECT_EQ(w.ctl.yields, 5);
    EXPECT_EQ(w.ctl.Calls("DoEvents", "", resets[1]).size(), 0u);
    EXPECT_TRUE(w.ctl.AtRest());
    EXPECT_EQ(w.st.Running, 0);
    EXPECT_EQ(w.ctl.picOnAppearance, kAppearanceFlat);
}

TEST(Nesting, EndingFromAnyDepthStopsEveryLevelWithoutAnotherPass) {
    for (int depth = 1; depth <= 3; ++depth) {
        Window w;
        std::size_t endedAt = 0;
        w.ctl.onYield = [&](long) {
            if (w.ctl.depth < depth) {
                picOn_Click(w.st, w.ctl); // off
                picOn_Click(w.st, w.ctl); // on, one level deeper
            } else if (w.ctl.depth == depth) {
                w.ctl.ending = true;
                endedAt = w.ctl.log.size();
            }
        };
        picOn_Click(w.st, w.ctl);
        EXPECT_EQ(w.ctl.log.size(), endedAt) << "depth " << depth;
        EXPECT_EQ(w.ctl.picOnAppearance, kAppearance3D);
        EXPECT_EQ(w.st.Running, 1);
    }
}

} // namespace
} // namespace kelvara
