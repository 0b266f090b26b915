// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The input the presenter takes from the window, each kind by a small
// route of its own that hands it to one handler: key presses, the pointer
// over the window's face, and a widget shown or hidden. Each is a child of
// `owner`, and ends with it.
#pragma once

#include <QObject>
#include <QPoint>

#include <functional>
#include <optional>

class QKeyEvent;
class QWidget;

namespace kelvara::ui {

// Watches the whole application for events that reach one window's own
// widgets: the window and its controls, not a menu or dialog of its own.
class WindowRoute : public QObject {
protected:
    WindowRoute(QWidget& window, QObject* owner);
    // The widget of the window an event was sent to, or none.
    QWidget* OfWindow(QObject* watched) const;
    QWidget& Window() const { return window_; }

private:
    QWidget& window_;
};

// Key presses for the window or any of its controls, seen before the
// control sees them, as shortcuts would be; a press the handler takes
// (returns true for) goes no further.
class KeyRoute : public WindowRoute {
public:
    using Handler = std::function<bool(QWidget& target, const QKeyEvent& key)>;
    KeyRoute(QWidget& window, Handler handler, QObject* owner);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Handler handler_;
};

// Where the pointer is on the window's own face, in window pixels; none
// once it leaves the window or enters one of its controls.
class PointerRoute : public WindowRoute {
public:
    using Handler = std::function<void(std::optional<QPoint> pointer)>;
    PointerRoute(QWidget& window, Handler handler, QObject* owner);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Handler handler_;
};

// A widget shown or hidden.
class VisibilityRoute : public QObject {
public:
    VisibilityRoute(QWidget& widget, std::function<void()> handler, QObject* owner);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> handler_;
};

} // namespace kelvara::ui
