// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "sim/phase.h"

#include "sim/state.h"

#include <cmath>

namespace kelvara {

void SourcePhase(const SimState& st, float ElapsedTime, double& PhaseCos, double& PhaseSin,
                 std::int16_t& PhaseSign) {
    const double phase = st.Omega * static_cast<double>(ElapsedTime);
    PhaseCos = std::cos(phase);
    PhaseSin = std::sin(phase);
    PhaseSign = PhaseCos > 0 ? std::int16_t{1} : std::int16_t{-1};
}

} // namespace kelvara
