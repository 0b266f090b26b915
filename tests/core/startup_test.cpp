// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Start-up: the load step's values and the hidden charge markers.
#include "recording_controls.h"
#include "sim/state.h"

#include <gtest/gtest.h>

namespace kelvara {
namespace {

using test::Call;
using test::RecordingControls;

TEST(FormLoad, SetsStartValuesAndHidesEveryMarkerInIndexOrder) {
    SimState st;
    RecordingControls ctl;
    Form_Load(st, ctl);

    EXPECT_EQ(st.Omega, 0);
    EXPECT_EQ(st.OmegaBase, 3.14);
    EXPECT_EQ(st.Resistance, 0);
    EXPECT_EQ(st.NeedleLength, 1060);
    EXPECT_EQ(st.Running, 0);
    EXPECT_EQ(st.GraphX0, 8850);
    EXPECT_EQ(st.VoltGraphY0, 2940);
    EXPECT_EQ(st.GraphTimeScale, 400);
    EXPECT_EQ(st.GraphAmpScale, 1000);
    EXPECT_EQ(st.CurrentGraphY0, 5220);
    EXPECT_EQ(st.PowerGraphY0, 9420);
    EXPECT_EQ(st.SweepCount, 0);
    EXPECT_EQ(st.SweepSeconds, 15);
    EXPECT_EQ(st.PrevX, 8850);
    EXPECT_EQ(st.PrevVoltY, 2940);
    EXPECT_EQ(st.PrevCurrentY, 5220);
    EXPECT_EQ(st.PrevPowerY, 9420);
    EXPECT_EQ(st.CurX, 0);
    EXPECT_EQ(st.CurVoltY, 0);
    EXPECT_EQ(st.CurCurrentY, 0);
    EXPECT_EQ(st.CurPowerY, 0);
    EXPECT_EQ(st.AmmeterAngle, 0);
    EXPECT_EQ(st.VoltmeterAngle, 0);

    // The pen width first, then 39 markers hidden from tok(0) to tok(38).
    ASSERT_EQ(ctl.log.size(), 40u);
    EXPECT_EQ(ctl.log[0], (Call{"Form1", "DrawWidth", "2"}));
    for (int k = 0; k < kTokCount; ++k) {
        EXPECT_EQ(ctl.log[static_cast<std::size_t>(k) + 1],
                  (Call{"tok(" + std::to_string(k) + ")", "Visible", "False"}));
    }
    EXPECT_EQ(ctl.VisibleTokCount(), 0);
}

} // namespace
} // namespace kelvara
