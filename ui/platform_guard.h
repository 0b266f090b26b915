// Starting the windowing platform without a display.
#pragma once

namespace kelvara::ui {

// Call before constructing the application object. Until EndPlatformGuard,
// Qt's messages are held back; if no platform can be started, the program
// prints one line on standard error and exits with code 2 instead of
// aborting with several lines about plugins.
void BeginPlatformGuard();

// Call once the application object exists: releases the held messages.
void EndPlatformGuard();

} // namespace kelvara::ui
