// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The voltmeter and ammeter needles.
#pragma once

#include "sim/controls.h"

namespace kelvara {

class Controls;
struct SimState;

// Needle pivot on both dials, in dial twips.
constexpr double kPivotX = 1400;
constexpr double kPivotY = 1600;
// Tip of the needle at rest, straight up.
constexpr double kRestTipY = 540;

// The dials' faces, which the needles' erase strokes repeat: the window
// knows an erase stroke by this colour (the projector view leaves it as
// the face).
inline constexpr Colour kVoltmeterFace = RGB(192, 192, 255);
inline constexpr Colour kAmmeterFace = RGB(255, 192, 192);

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
