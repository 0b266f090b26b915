// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The group of five charge markers that slides along the wire.
#pragma once

#include "sim/controls.h"

namespace kelvara {

constexpr int kChargeGroupSize = 5;

// Shows and colours tok(ChargeIndex .. ChargeIndex + 4), then hides the
// markers of the previous group that are not in the new one.
void ShowCharges(Controls& ctl, double ChargeIndex, Colour HeatColour, double PrevChargeIndex);

} // namespace kelvara
