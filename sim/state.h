// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The values that the simulation keeps between passes and between runs.
#pragma once

#include <cstdint>

namespace kelvara {

class Controls;

struct SimState {
    double Omega = 0;     // rad/s, from the frequency slider on every pass
    double OmegaBase = 0; // 3.14; the meters also use it as their pi
    std::int32_t Resistance = 0;
    std::int16_t NeedleLength = 0; // twips
    std::int16_t Running = 0;      // 1 while the switch is on
    std::int16_t GraphX0 = 0;
    std::int16_t VoltGraphY0 = 0;
    std::int16_t GraphTimeScale = 0; // twips per second
    std::int16_t GraphAmpScale = 0;  // twips per unit
    std::int16_t CurrentGraphY0 = 0;
    std::int16_t PowerGraphY0 = 0;
    std::int16_t SweepCount = 0;
    std::int32_t SweepSeconds = 0;
    double PrevX = 0;
    double PrevVoltY = 0;
    double PrevCurrentY = 0;
    double CurX = 0;
    double CurVoltY = 0;
    double CurCurrentY = 0;
    double PrevPowerY = 0;
    std::int32_t CurPowerY = 0;

    // Angles (radians) of the needles as last drawn; they live as long as the
    // window and only the meters' own updates change them.
    double AmmeterAngle = 0;
    double VoltmeterAngle = 0;
};

// The window's load step: start values, the window's pen width, all charge
// markers hidden.
void Form_Load(SimState& st, Controls& ctl);

} // namespace kelvara
