// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The window's own keys, beside those of its controls (Space on the switch,
// arrows on a slider): one table, which the key handling, the context menu
// and the help panel all read.
//
// Letters are matched by the key they are printed on, not by the letter the
// active layout gives: with a Russian layout the key of P types «З». Qt's
// shortcuts find the Latin letter only where the layout list also holds a
// Latin layout (ru,us); with Russian alone they missed even Ctrl+Q. The
// table maps the Russian letters itself, and names the keys for the
// context menu and the help panel.
#pragma once

#include <QKeyEvent>
#include <QString>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace kelvara::ui {

enum class Command : std::uint8_t {
    Freeze,     // freeze the run, or go on
    Step,       // while frozen: one frame on
    Values,     // show or hide the values
    Electrons,  // the moving charges as electrons or as positive carriers
    Projector,  // the projector view on or off
    FullScreen, // fullscreen on or off
    Language,   // the next language
    Copy,       // the window's drawing onto the clipboard
    Save,       // the same picture into a PNG file
    SaveData,   // the sweep on the graphs into a CSV file
    Leave,      // close the help, else leave fullscreen
    Help,       // show or hide the help panel
    Menu,       // open the context menu
    Exit,       // end the program
};

// What a key press asks for, or nothing.
std::optional<Command> CommandOf(const QKeyEvent& event);
// Whether a held key repeats the command: only a step does.
constexpr bool Repeats(Command command) {
    return command == Command::Step;
}

// The keys of a command as the menu and the help panel name them.
QString KeysOf(Command command);

// The table's letter keys, in its order, each once: the Latin letter and
// the one a Russian layout types on that key ("P" and "З").
std::vector<std::pair<QChar, QChar>> RussianLetters();

// The Latin letter on the key that typed a Cyrillic letter of the standard
// Russian layout (З gives Qt::Key_P); any other key as it is.
int LatinKey(int key);

} // namespace kelvara::ui
