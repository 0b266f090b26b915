// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// What the program does differently on one windowing system. Each system has
// its own file (platform_xcb.cpp, platform_windows.cpp); the build takes the
// one it is for, so nothing else in the program asks which system it is on.
#pragma once

#include <QtGlobal>
#include <qwindowdefs.h>

class QByteArray;
class QString;

namespace kelvara::ui::platform {

// Before the application object exists: what must be settled before the
// windowing platform starts.
void BeforeApplication();

// Once the application object exists: the style and palette the window is
// drawn in, where the system's own would make it look other than on Linux.
void AfterApplication();

// Whether a message that Qt logged while its platform started says that the
// display server could not be reached.
bool DisplayUnreachable(const QString& category, const QString& text);

// What a native event means for the window whose native id is `own`.
enum class OutsideEnd {
    None,
    Gone,          // the window was destroyed by another program: end as a close
    SessionEnding, // the system is ending the session: end now, it will not wait
};
OutsideEnd EndFromOutside(const QByteArray& eventType, void* message, WId own);

// Ends the process at once with `code`; for a session that is ending, where
// the system ends the process as soon as its message is answered.
[[noreturn]] void EndProcessNow(int code);

} // namespace kelvara::ui::platform
