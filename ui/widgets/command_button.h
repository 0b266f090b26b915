// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The window's push buttons («Графики», «Выход»).
#pragma once

#include <QKeyEvent>
#include <QPushButton>

namespace kelvara::ui {

// A push button that Enter clicks as Space does, once per press.
class CommandButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            event->accept();
            if (!event->isAutoRepeat()) {
                click();
            }
            return;
        }
        QPushButton::keyPressEvent(event);
    }
};

} // namespace kelvara::ui
