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

// Key presses for the window or any of its controls, seen before the
// control sees them, as shortcuts would be; a press the handler takes
// (returns true for) goes no further.
class KeyRoute : public QObject {
public:
    using Handler = std::function<bool(QWidget& target, const QKeyEvent& key)>;
    KeyRoute(QWidget& window, Handler handler, QObject* owner);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    Handler handler_;
};

// Where the pointer is on the window's own face, in window pixels; none
// once it leaves the window or enters one of its controls.
class PointerRoute : public QObject {
public:
    using Handler = std::function<void(std::optional<QPoint> pointer)>;
    PointerRoute(QWidget& window, Handler handler, QObject* owner);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
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
