// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/teach/input_routes.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <utility>

namespace kelvara::ui {

namespace {

// A widget of the window: the window itself or one of its controls, not a
// menu or dialog of its own.
QWidget* OfWindow(QObject* watched, const QWidget& window) {
    auto* w = qobject_cast<QWidget*>(watched);
    return w != nullptr && w->window() == &window ? w : nullptr;
}

} // namespace

// Keys go to the focused control first: only the application sees them
// before it.
KeyRoute::KeyRoute(QWidget& window, Handler handler, QObject* owner)
    : QObject(owner), window_(window), handler_(std::move(handler)) {
    qApp->installEventFilter(this);
}

bool KeyRoute::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    QWidget* w = OfWindow(watched, window_);
    return w != nullptr && handler_(*w, dynamic_cast<QKeyEvent&>(*event));
}

// Entering a control is told to the control alone, not to the window
// around it: the route watches the application to see it.
PointerRoute::PointerRoute(QWidget& window, Handler handler, QObject* owner)
    : QObject(owner), window_(window), handler_(std::move(handler)) {
    qApp->installEventFilter(this);
}

bool PointerRoute::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseMove:
        if (watched == &window_) {
            handler_(dynamic_cast<QMouseEvent&>(*event).position().toPoint());
        }
        break;
    case QEvent::Enter:
    case QEvent::Leave:
        // Off the window, or onto one of its controls: off its face.
        if ((watched != &window_ || event->type() == QEvent::Leave) &&
            OfWindow(watched, window_) != nullptr) {
            handler_(std::nullopt);
        }
        break;
    default:
        break;
    }
    return false;
}

VisibilityRoute::VisibilityRoute(QWidget& widget, std::function<void()> handler, QObject* owner)
    : QObject(owner), handler_(std::move(handler)) {
    widget.installEventFilter(this);
}

bool VisibilityRoute::eventFilter(QObject* /*watched*/, QEvent* event) {
    if (event->type() == QEvent::Show || event->type() == QEvent::Hide) {
        handler_();
    }
    return false;
}

} // namespace kelvara::ui
