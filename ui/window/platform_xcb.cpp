// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Linux and other X11 systems: Qt's xcb platform.
#include "ui/window/platform.h"

#include <QByteArray>
#include <QLatin1String>
#include <QString>

#include <xcb/xcb.h>

#include <cstdlib>

namespace kelvara::ui::platform {

void BeforeApplication() {}

// The desktop's style and palette stay the user's.
void AfterApplication() {}

bool DisplayUnreachable(const QString& category, const QString& text) {
    return category == QLatin1String("qt.qpa.xcb") &&
           text.startsWith(QLatin1String("could not connect to display"));
}

// Qt does not tell a widget that its X window was destroyed by someone else
// (xdotool windowclose, a window manager's kill): the program would live on
// without a window.
OutsideEnd EndFromOutside(const QByteArray& eventType, void* message, WId own) {
    if (eventType != "xcb_generic_event_t") {
        return OutsideEnd::None;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    // Only the server's own report counts: the high bit would mark a copy
    // that another client sent, which destroys nothing.
    if (event->response_type != XCB_DESTROY_NOTIFY) {
        return OutsideEnd::None;
    }
    const auto* destroy = static_cast<const xcb_destroy_notify_event_t*>(message);
    return own != 0 && destroy->window == own ? OutsideEnd::Gone : OutsideEnd::None;
}

void EndProcessNow(int code) {
    std::_Exit(code);
}

} // namespace kelvara::ui::platform
