// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The help panel: every key and mouse action of the window on one card over
// the dimmed drawing, so a teacher can find them in front of the class. It
// takes no part in the run, which goes on beneath it; a click anywhere on it
// closes it. Open, it holds the focus, so that a screen reader reads it (its
// rows as text) and the keys do not move a control hidden under it; closed,
// it gives the focus back where it was.
#pragma once

#include "ui/layout/twips.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <utility>
#include <vector>

namespace kelvara::ui {

class HelpPanel : public QWidget {
    Q_OBJECT

public:
    // Keys (or mouse action), then what they do.
    using Row = std::pair<QString, QString>;

    explicit HelpPanel(QWidget* window);

    // Lays the card out for the window's map; the panel covers the window.
    void SetMap(const Twips& map);
    static std::vector<Row> Rows();
    static QString Title();
    static QString Footnote();
    // The card as plain text: the title, a line a row, the footnote.
    static QString Text();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    // Tab stays on the open card.
    bool focusNextPrevChild(bool next) override;

private:
    Twips map_;
    QPointer<QWidget> returnFocus_;
    QRect card_;
    int keysWidth_ = 0;
    int rowHeight_ = 0;
};

} // namespace kelvara::ui
