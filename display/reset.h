// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Puts every animated display back to rest when a run ends.
#pragma once

namespace kelvara {

class Controls;
struct SimState;

void ResetDisplays(SimState& st, Controls& ctl);

} // namespace kelvara
