// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "display/meters.h"

#include "sim/controls.h"
#include "sim/numbers.h"
#include "sim/state.h"

#include <cmath>

namespace kelvara {

namespace {

constexpr Colour kNeedleColour = RGB(128, 128, 128);

void UpdateMeter(SimState& st, Controls& ctl, Surface dial, Colour erase, double& storedAngle,
                 double AngleDegrees) {
    const NeedleTip old = NeedleTipFor(st, storedAngle);
    ctl.DrawLine(dial, kPivotX, kPivotY, old.x, old.y, erase);

    const double a = (AngleDegrees * 2) * st.OmegaBase / 360;

    const NeedleTip tip = NeedleTipFor(st, a);
    ctl.DrawLine(dial, kPivotX, kPivotY, tip.x, tip.y, kNeedleColour);

    storedAngle = a;
}

void DrawRestNeedle(Controls& ctl, Surface dial) {
    ctl.DrawLine(dial, kPivotX, kPivotY, kPivotX, kRestTipY, kNeedleColour);
}

} // namespace

NeedleTip NeedleTipFor(const SimState& st, double angle) {
    const double turn = st.OmegaBase / 2 - angle;
    return {Int(kPivotX - st.NeedleLength * std::cos(turn)),
            Int(kPivotY - st.NeedleLength * std::sin(turn))};
}

void UpdateVoltmeter(SimState& st, Controls& ctl, double AngleDegrees) {
    UpdateMeter(st, ctl, Surface::picvolt, kVoltmeterFace, st.VoltmeterAngle, AngleDegrees);
}

void UpdateAmmeter(SimState& st, Controls& ctl, double AngleDegrees) {
    UpdateMeter(st, ctl, Surface::picamp, kAmmeterFace, st.AmmeterAngle, AngleDegrees);
}

void picvolt_Paint(Controls& ctl) {
    DrawRestNeedle(ctl, Surface::picvolt);
}

void picamp_Paint(Controls& ctl) {
    DrawRestNeedle(ctl, Surface::picamp);
}

} // namespace kelvara
