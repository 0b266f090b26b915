// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Starting the windowing platform: what the user is told when it fails.
#pragma once

namespace kelvara::ui {

// Exit codes of a start-up that never got a window.
constexpr int kExitNoDisplay = 2;  // the display server could not be reached
constexpr int kExitNoPlatform = 3; // any other failure to start a platform

// Call before constructing the application object. Until EndPlatformGuard,
// Qt's messages are held back. If no platform can be started, the program
// exits instead of aborting with several lines about plugins: when the
// display could not be reached, with one line and kExitNoDisplay; otherwise
// with what Qt said (the plugin it could not start, the plugins there are)
// in one or two lines and kExitNoPlatform.
void BeginPlatformGuard();

// Call once the application object exists: releases the held messages.
void EndPlatformGuard();

} // namespace kelvara::ui
