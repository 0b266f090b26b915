// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The voltage, current and power time graphs.
#pragma once

#include "sim/controls.h"

namespace kelvara {

// The traces' colours: voltage blue, current red, power black.
constexpr Colour kVoltColour = RGB(0, 0, 255);
constexpr Colour kCurrentColour = RGB(255, 0, 0);
constexpr Colour kPowerColour = RGB(0, 0, 0);

class Controls;
struct SimState;

// Adds one segment to each trace, from the previous point to this pass's
// point, and moves the three image markers onto the new points.
void PlotGraphs(SimState& st, Controls& ctl, double PhaseCos, double Amplitude, double SweepTime);

} // namespace kelvara
