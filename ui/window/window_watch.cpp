// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/window/window_watch.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QWidget>

#include <utility>

namespace kelvara::ui {

WindowWatch::WindowWatch(const QWidget& window, std::function<void(platform::OutsideEnd)> ended)
    : window_(window), ended_(std::move(ended)) {
    QCoreApplication::instance()->installNativeEventFilter(this);
}

WindowWatch::~WindowWatch() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

bool WindowWatch::nativeEventFilter(const QByteArray& eventType, void* message,
                                    qintptr* /*result*/) {
    if (!ended_) {
        return false;
    }
    const platform::OutsideEnd end =
        platform::EndFromOutside(eventType, message, window_.internalWinId());
    if (end == platform::OutsideEnd::None) {
        return false;
    }
    std::function<void(platform::OutsideEnd)> once = std::exchange(ended_, {});
    once(end);
    return false;
}

} // namespace kelvara::ui
