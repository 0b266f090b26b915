// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/teach/input_routes.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <utility>

namespace kelvara::ui {

// Keys go to the focused control first, and entering a control is told to
// the control alone, not to the window around it: only the application
// sees all of them.
WindowRoute::WindowRoute(QWidget& window, QObject* owner) : QObject(owner), window_(window) {
    qApp->installEventFilter(this);
}

QWidget* WindowRoute::OfWindow(QObject* watched) const {
    auto* w = qobject_cast<QWidget*>(watched);
    return w != nullptr && w->window() == &window_ ? w : nullptr;
}

KeyRoute::KeyRoute(QWidget& window, Handler handler, QObject* owner)
    : WindowRoute(window, owner), handler_(std::move(handler)) {}

bool KeyRoute::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    QWidget* w = OfWindow(watched);
    return w != nullptr && handler_(*w, dynamic_cast<QKeyEvent&>(*event));
}

PointerRoute::PointerRoute(QWidget& window, Handler handler, QObject* owner)
    : WindowRoute(window, owner), handler_(std::move(handler)) {}

bool PointerRoute::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseMove:
        if (watched == &Window()) {
            handler_(dynamic_cast<QMouseEvent&>(*event).position().toPoint());
        }
        break;
    case QEvent::Enter:
    case QEvent::Leave:
        // Off the window, or onto one of its controls: off its face.
        if ((watched != &Window() || event->type() == QEvent::Leave) &&
            OfWindow(watched) != nullptr) {
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
