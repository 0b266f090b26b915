// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Notices when the window is ended from outside the program.
#pragma once

#include "ui/window/platform.h"

#include <QAbstractNativeEventFilter>

#include <functional>

class QWidget;

namespace kelvara::ui {

// Watches the native events for the end of `window` from outside: its X
// window destroyed by another client, or the Windows session ending (what
// counts is the platform file's to say). Calls `ended` once, with the kind
// of end, when it comes.
class WindowWatch : public QAbstractNativeEventFilter {
public:
    WindowWatch(const QWidget& window, std::function<void(platform::OutsideEnd)> ended);
    ~WindowWatch() override;
    WindowWatch(const WindowWatch&) = delete;
    WindowWatch& operator=(const WindowWatch&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    const QWidget& window_;
    std::function<void(platform::OutsideEnd)> ended_;
};

} // namespace kelvara::ui
