// Fonts of the window: the face names the layout uses, pinned to fonts that
// Debian ships, at pixel sizes that do not depend on the screen's dpi.
#pragma once

#include "ui/layout.h"

#include <QFont>

namespace kelvara::ui {

// Maps "Arial" and "MS Sans Serif" to Liberation Sans and "Courier New" and
// "Courier" to Liberation Mono, replacing whatever substitutes were set
// before. Call once after the application object exists.
void PinFontSubstitutes();

// Points at 96 dpi, in whole pixels (20.25 pt is 27 px).
int PixelsForPoints(double points);

// Bold, Cyrillic-capable font for a layout font setting.
QFont MakeFont(const FontSpec& style);

} // namespace kelvara::ui
