// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// What a screen reader is told about the window's own controls: the
// switch reads as a toggle button that is pressed while a run is on, and
// each slider says its value the way the demonstration means it.
#pragma once

namespace kelvara::ui {

// Installs the accessibility factory for the window's controls; call it
// before the first window exists. Safe to call more than once.
void InstallAccessibility();

} // namespace kelvara::ui
