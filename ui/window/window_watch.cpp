// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/window/window_watch.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <utility>

namespace kelvara::ui {

WindowWatch::WindowWatch(const QWidget& window, std::function<void()> destroyed)
    : window_(window), destroyed_(std::move(destroyed)) {
    QCoreApplication::instance()->installNativeEventFilter(this);
}

WindowWatch::~WindowWatch() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

bool WindowWatch::nativeEventFilter(const QByteArray& eventType, void* message,
                                    qintptr* /*result*/) {
    if (eventType != "xcb_generic_event_t" || !destroyed_) {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    // Only the server's own report counts: the high bit would mark a copy
    // that another client sent, which destroys nothing.
    if (event->response_type != XCB_DESTROY_NOTIFY) {
        return false;
    }
    const auto* destroy = static_cast<const xcb_destroy_notify_event_t*>(message);
    const WId own = window_.internalWinId();
    if (own == 0 || destroy->window != own) {
        return false;
    }
    std::function<void()> once = std::exchange(destroyed_, {});
    once();
    return false;
}

} // namespace kelvara::ui
