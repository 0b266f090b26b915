// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "display/reset.h"

#include "display/meters.h"
#include "sim/colours.h"
#include "sim/controls.h"
#include "sim/state.h"

namespace kelvara {

void ResetDisplays(SimState& st, Controls& ctl) {
    ctl.Cls(Surface::Form1);

    for (int k = 0; k < kTokCount; ++k) {
        ctl.SetTokVisible(k, false);
    }

    for (int k = 0; k < kPictokCount; ++k) {
        ctl.SetBackColor(Box::pictok, k, ColourOfHeat(Heated::Wire, 0));
    }

    ctl.Cls(Surface::picvolt);
    ctl.Cls(Surface::picamp);

    picamp_Paint(ctl);
    picvolt_Paint(ctl);

    ctl.SetBackColor(Box::picR, 0, ColourOfHeat(Heated::Resistor, 0));

    ctl.SetImageLeft(Image::imgU, st.GraphX0);
    st.PrevX = st.GraphX0;
    st.PrevVoltY = st.VoltGraphY0;
    ctl.SetImageTop(Image::imgU, st.VoltGraphY0);

    ctl.SetImageLeft(Image::imgI, st.GraphX0);
    st.PrevCurrentY = st.CurrentGraphY0;
    ctl.SetImageTop(Image::imgI, st.CurrentGraphY0);

    ctl.SetImageLeft(Image::imgP, st.GraphX0);
    st.PrevPowerY = st.PowerGraphY0;
    ctl.SetImageTop(Image::imgP, st.PowerGraphY0);

    st.SweepCount = 0;
}

} // namespace kelvara
