// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "sim/state.h"

#include "sim/controls.h"

namespace kelvara {

void Form_Load(SimState& st, Controls& ctl) {
    st.GraphX0 = 8850;
    st.GraphTimeScale = 400;
    st.VoltGraphY0 = 2940;
    st.GraphAmpScale = 1000;
    st.CurrentGraphY0 = 5220;
    st.SweepCount = 0;
    st.SweepSeconds = 15;

    st.PrevX = st.GraphX0;
    st.PrevVoltY = st.VoltGraphY0;
    st.PrevCurrentY = st.CurrentGraphY0;

    st.PowerGraphY0 = 9420;
    st.PrevPowerY = st.PowerGraphY0;

    ctl.SetDrawWidth(Surface::Form1, 2);

    st.OmegaBase = 3.14;

    for (int k = 0; k < kTokCount; ++k) {
        ctl.SetTokVisible(k, false);
    }

    st.NeedleLength = 1060;
}

} // namespace kelvara
