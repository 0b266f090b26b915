// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Instantaneous state of the alternating source.
#pragma once

#include <cstdint>

namespace kelvara {

struct SimState;

// Cosine and sine of Omega x ElapsedTime, and +1 for a strictly positive
// cosine, otherwise -1. The phase is never accumulated: a change of Omega
// moves it at once.
void SourcePhase(const SimState& st, float ElapsedTime, double& PhaseCos, double& PhaseSin,
                 std::int16_t& PhaseSign);

} // namespace kelvara
