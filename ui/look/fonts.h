// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Fonts of the window: the face names the layout uses, pinned to the
// Liberation fonts built into the program, at pixel sizes that do not depend
// on the screen's dpi.
#pragma once

#include "ui/layout/layout.h"
#include "ui/layout/twips.h"

#include <QFont>

namespace kelvara::ui {

// Registers the built-in fonts, maps "Arial" and "MS Sans Serif" to
// Liberation Sans and "Courier New" and "Courier" to Liberation Mono,
// replacing whatever substitutes were set before, and makes the built-in
// Sans the application's default font. Call after the application object
// exists and before any window is made.
void PinFontSubstitutes();

// Bold, Cyrillic-capable font for a layout font setting, at the pixel size
// of the map's scale (at the natural size 20.25 pt is 27 px).
QFont MakeFont(const FontSpec& style, const Twips& map = {});

} // namespace kelvara::ui
