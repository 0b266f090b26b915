// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "display/charges.h"

#include "sim/numbers.h"

namespace kelvara {

namespace {

// Index of a charge marker; the run loop keeps groups within 0..38, and
// anything else is a fault that must not address a missing marker.
int TokIndex(double groupStart, int j) {
    const int k = ToInteger<std::int16_t>(groupStart) + j;
    if (k < 0 || k >= kTokCount) {
        throw IndexError("charge marker index out of range");
    }
    return k;
}

} // namespace

void ShowCharges(Controls& ctl, double ChargeIndex, Colour HeatColour, double PrevChargeIndex) {
    for (int j = 0; j < kChargeGroupSize; ++j) {
        const int k = TokIndex(ChargeIndex, j);
        ctl.SetTokVisible(k, true);
        ctl.SetTokBackColor(k, HeatColour);
    }
    if (PrevChargeIndex != ChargeIndex) {
        const int first = TokIndex(ChargeIndex, 0);
        const int last = first + kChargeGroupSize - 1;
        for (int j = 0; j < kChargeGroupSize; ++j) {
            const int k = TokIndex(PrevChargeIndex, j);
            if (k < first || k > last) {
                ctl.SetTokVisible(k, false);
            }
        }
    }
}

} // namespace kelvara
