// Bitmaps the program makes for itself: the title logo, the window icon and
// the three graph markers.
#pragma once

#include "ui/layout.h"

#include <QImage>

namespace kelvara::ui {

// 33 x 33, 24-bit: a yellow sine wave over a white resistor on deep blue.
QImage MakeLogo();
// 32 x 32 in the 16 standard colours: the symbol of an AC source, a sine
// wave in a circle, on a transparent ground.
QImage MakeIcon();
// 8 x 8 graph markers: a coloured square in a black frame.
QImage MakeMarker(PictureId id);

// The picture for an id, or a null image for PictureId::None.
QImage MakePicture(PictureId id);

} // namespace kelvara::ui
