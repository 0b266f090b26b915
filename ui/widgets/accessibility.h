// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// What a screen reader is told about the window: a frame whose children are
// only what has a name (the controls, the meters, the resistor, the graphs'
// screen) and the texts the window writes out; the wire strips, charge
// markers, terminal signs and unnamed boxes are drawing and stay out of the
// tree, their events unsent. The switch reads as a button checked and
// pressed while on, with its state in words; each slider says its value
// with its unit; «Графики» is checked while the graphs show.
#pragma once

#include <QString>

class QWidget;

namespace kelvara::ui {

// Installs the accessibility factory for the window's controls; call it
// before the first window exists. Safe to call more than once.
void InstallAccessibility();

// Makes `window` the frame a reader finds the controls in; call it before
// its contents are built.
void MarkFrame(QWidget& window);

// Speaks `text` where a screen reader listens: on the control of `window`
// that has the focus (or the window), as a change of its description, which
// begins with `text` until the focus moves on. Qt 6.4 has no announcement of
// its own.
void Announce(QWidget& window, const QString& text);

// A widget's description as a reader gets it: `description` after what was
// last announced on it, if it still has the focus.
QString WithAnnouncement(const QWidget& widget, const QString& description);

} // namespace kelvara::ui
