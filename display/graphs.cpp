// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "display/graphs.h"

#include "sim/controls.h"
#include "sim/numbers.h"
#include "sim/state.h"

namespace kelvara {

namespace {

// value / Resistance, with the division by zero that a resistance of 0
// would be reported rather than drawn as infinity.
double PerResistance(double value, std::int32_t Resistance) {
    if (Resistance == 0) {
        throw FloatingPointError("division by zero");
    }
    return value / Resistance;
}

} // namespace

void PlotGraphs(SimState& st, Controls& ctl, double PhaseCos, double Amplitude, double SweepTime) {
    st.CurX = Int((st.GraphTimeScale * SweepTime) + st.GraphX0);

    st.CurVoltY = Int(st.VoltGraphY0 - PhaseCos * (st.GraphAmpScale * Amplitude));
    ctl.SetImageLeft(Image::imgU, st.CurX);
    ctl.SetImageTop(Image::imgU, st.CurVoltY);

    const double current = PerResistance(Amplitude, st.Resistance);
    st.CurCurrentY = Int(st.CurrentGraphY0 - PhaseCos * (st.GraphAmpScale * current));
    ctl.SetImageLeft(Image::imgI, st.CurX);
    ctl.SetImageTop(Image::imgI, st.CurCurrentY);

    // p = u * i: the peak goes with the square of the amplitude, U^2 / R.
    const double peakPower = PerResistance(Amplitude * Amplitude, st.Resistance);
    st.CurPowerY = ToInteger<std::int32_t>(
        Int(st.PowerGraphY0 - (PhaseCos * PhaseCos) * (2.5 * (st.GraphAmpScale * peakPower))));
    ctl.SetImageLeft(Image::imgP, st.CurX);
    ctl.SetImageTop(Image::imgP, st.CurPowerY);

    ctl.DrawLine(Surface::Form1, st.PrevX, st.PrevVoltY, st.CurX, st.CurVoltY, kVoltColour);
    ctl.DrawLine(Surface::Form1, st.PrevX, st.PrevCurrentY, st.CurX, st.CurCurrentY,
                 kCurrentColour);
    ctl.DrawLine(Surface::Form1, st.PrevX, st.PrevPowerY, st.CurX, st.CurPowerY, kPowerColour);

    st.PrevX = st.CurX;
    st.PrevVoltY = st.CurVoltY;
    st.PrevCurrentY = st.CurCurrentY;
    st.PrevPowerY = st.CurPowerY;
}

} // namespace kelvara
