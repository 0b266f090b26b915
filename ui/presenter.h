// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// What a teacher uses beyond the demonstration itself: the window's own
// keys, the context menu that lists every action with its keys, the help
// panel and the values readout. Freezing belongs to the window, whose clock
// and yield it stops; this only asks for it.
#pragma once

#include "ui/keys.h"
#include "ui/readouts.h"
#include "ui/twips.h"

#include <QObject>
#include <QPoint>

#include <map>

class QAction;
class QMenu;
class QPainter;

namespace kelvara::ui {

class Form1;
class HelpPanel;

class Presenter : public QObject {
    Q_OBJECT

public:
    explicit Presenter(Form1& form);

    // Does what a command asks; false where it does nothing now (a step
    // while the run is not frozen, a freeze at rest).
    bool Run(Command command);

    // Brings the readouts up to date with the window: after each pass, a
    // slider moved, the switch, a freeze, the values shown or hidden.
    void Refresh();
    void SetMap(const Twips& map);
    void Paint(QPainter& p, const QRect& dirty) const;

    // Pops the menu up at a point of the screen and returns at once, so a
    // run goes on while it is open.
    void ShowMenu(QPoint global);
    // At the focused control, for the keyboard.
    void ShowMenuAtFocus();

    bool ValuesShown() const { return values_; }
    bool HelpShown() const;
    const Readouts& ShownReadouts() const { return readouts_; }
    QMenu* Menu() const { return menu_; }
    HelpPanel* Help() const { return help_; }

protected:
    // Sees the window's key presses before its controls do, as shortcuts
    // would, but by the key rather than by the layout's letter.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* AddAction(Command command, const QString& text, bool checkable);
    void UpdateActions();

    Form1& form_;
    Readouts readouts_;
    bool values_ = false;
    HelpPanel* help_;
    QMenu* menu_;
    std::map<Command, QAction*> actions_;
};

} // namespace kelvara::ui
