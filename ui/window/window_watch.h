// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Notices when another X client destroys the window.
#pragma once

#include <QAbstractNativeEventFilter>

#include <functional>

class QWidget;

namespace kelvara::ui {

// Qt does not tell a widget that its X window was destroyed by someone else
// (xdotool windowclose, a window manager's kill): the program would live on
// without a window. This filter watches the X events for the destruction of
// `window`'s own X window and calls `destroyed` once when it comes. On other
// platforms it never fires.
class WindowWatch : public QAbstractNativeEventFilter {
public:
    WindowWatch(const QWidget& window, std::function<void()> destroyed);
    ~WindowWatch() override;
    WindowWatch(const WindowWatch&) = delete;
    WindowWatch& operator=(const WindowWatch&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    const QWidget& window_;
    std::function<void()> destroyed_;
};

} // namespace kelvara::ui
