// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The window's push buttons («Графики», «Выход»).
#pragma once

#include <QAccessible>
#include <QKeyEvent>
#include <QPushButton>

#include <optional>

namespace kelvara::ui {

// A push button that Enter clicks as Space does, once per press.
class CommandButton : public QPushButton {
    Q_OBJECT

public:
    using QPushButton::QPushButton;

    // A button that shows or hides something reads as a toggle, checked
    // while it shows; it keeps the look of a push button. Nothing: a plain
    // command.
    std::optional<bool> Toggled() const { return toggled_; }
    void SetToggled(bool shown) {
        if (toggled_ == shown) {
            return;
        }
        toggled_ = shown;
        if (QAccessible::isActive()) {
            QAccessible::State changed;
            changed.checked = true;
            QAccessibleStateChangeEvent event(this, changed);
            QAccessible::updateAccessibility(&event);
        }
    }

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

private:
    std::optional<bool> toggled_;
};

} // namespace kelvara::ui
