// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// A text the window draws itself, given to a screen reader as a text of
// its own: a child that covers where the text is drawn, paints nothing and
// lets the mouse through, so the window looks and reacts the same.
#pragma once

#include <QWidget>

namespace kelvara::ui {

class TextNode : public QWidget {
    Q_OBJECT

public:
    explicit TextNode(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }

    // What a reader gets; shown only while there is any, and a change reaches
    // the reader as a change of the node's name.
    void SetText(const QString& text) {
        if (text == accessibleName()) {
            return;
        }
        setAccessibleName(text);
        setVisible(!text.isEmpty());
    }
    QString Text() const { return accessibleName(); }
};

} // namespace kelvara::ui
