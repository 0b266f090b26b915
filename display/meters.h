// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The voltmeter and ammeter needles.
#pragma once

namespace kelvara {

class Controls;
struct SimState;

// Needle pivot on both dials, in dial twips.
constexpr double kPivotX = 1400;
constexpr double kPivotY = 1600;
// Tip of the needle at rest, straight up.
constexpr double kRestTipY = 540;

struct NeedleTip {
    double x;
    double y;
};

// Tip for an angle in radians (0 straight up, positive to the left), rounded
// down to whole twips.
NeedleTip NeedleTipFor(const SimState& st, double angle);

// Erase the needle drawn last, draw the new one, remember its angle.
void UpdateVoltmeter(SimState& st, Controls& ctl, double AngleDegrees);
void UpdateAmmeter(SimState& st, Controls& ctl, double AngleDegrees);

// Repaint handlers: draw the needle at rest over whatever the dial shows.
void picvolt_Paint(Controls& ctl);
void picamp_Paint(Controls& ctl);

} // namespace kelvara
