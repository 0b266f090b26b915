// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "display/graphs.h"

#include "sim/controls.h"
#include "sim/lesson.h"
#include "sim/numbers.h"
#include "sim/state.h"

namespace kelvara {

void PlotGraphs(SimState& st, Controls& ctl, double PhaseCos, double Amplitude, double SweepTime) {
    st.CurX = Int(SweepX(st, SweepTime));

    st.CurVoltY = Int(VoltGraph(st).TraceY(PhaseCos, Amplitude));
    ctl.SetImageLeft(Image::imgU, st.CurX);
    ctl.SetImageTop(Image::imgU, st.CurVoltY);

    const double current = PerResistance(Amplitude, st.Resistance);
    st.CurCurrentY = Int(CurrentGraph(st).TraceY(PhaseCos, current));
    ctl.SetImageLeft(Image::imgI, st.CurX);
    ctl.SetImageTop(Image::imgI, st.CurCurrentY);

    // p = u * i: the peak goes with the square of the amplitude, U^2 / R.
    const double peakPower = PerResistance(Amplitude * Amplitude, st.Resistance);
    st.CurPowerY =
        ToInteger<std::int32_t>(Int(PowerGraph(st).TraceY(PhaseCos * PhaseCos, peakPower)));
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
