// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The run loop and the switch that starts and stops it.
#pragma once

#include <cstdint>

namespace kelvara {

class Controls;
struct SimState;

// Omega for a position of the frequency slider; a position outside 1..9
// leaves Omega as it is.
void SetOmegaFromStep(SimState& st, std::int32_t FrequencyStep);

// Int(((255 x |PhaseCos|) x Amplitude) / Resistance), with the floating-point
// status checked after the first product. Throws FloatingPointError.
double HeatLevelOf(double PhaseCos, double Amplitude, std::int32_t Resistance);

// Int(255 x PhaseSin).
double SinLevelOf(double PhaseSin);

// 17 - Int(SinLevel / 15): 0 for a sine of 1, 17 at 0, 34 for a sine of -1.
double ChargeIndexOf(double SinLevel);

// Repeats passes while Running is 1, then resets the displays. Each pass
// yields once; handlers run inside that yield and may nest further runs.
void RunSimulation(SimState& st, Controls& ctl);

// The On switch: flips its look, sets Running to match and runs the loop
// (which, after a switch-off, only resets the displays).
void picOn_Click(SimState& st, Controls& ctl);

} // namespace kelvara
