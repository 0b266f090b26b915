// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "sim/state.h"

#include "sim/controls.h"
#include "sim/lesson.h"

namespace kelvara {

void Form_Load(SimState& st, Controls& ctl) {
    st.GraphX0 = kGraphX0;
    st.GraphTimeScale = kGraphTimeScale;
    st.VoltGraphY0 = kVoltGraphY0;
    st.GraphAmpScale = kGraphAmpScale;
    st.CurrentGraphY0 = kCurrentGraphY0;
    st.SweepCount = 0;
    st.SweepSeconds = kSweepSeconds;

    st.PrevX = st.GraphX0;
    st.PrevVoltY = st.VoltGraphY0;
    st.PrevCurrentY = st.CurrentGraphY0;

    st.PowerGraphY0 = kPowerGraphY0;
    st.PrevPowerY = st.PowerGraphY0;

    ctl.SetDrawWidth(Surface::Form1, 2);

    st.OmegaBase = kOmegaBase;

    for (int k = 0; k < kTokCount; ++k) {
        ctl.SetTokVisible(k, false);
    }

    st.NeedleLength = kNeedleLength;
}

} // namespace kelvara
