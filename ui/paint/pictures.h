// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Bitmaps the program makes for itself: the title logo, the window icon and
// the three graph markers.
#pragma once

#include "ui/layout/layout.h"
#include "ui/layout/twips.h"
#include "ui/look/look.h"

#include <QByteArray>
#include <QImage>
#include <QRectF>

class QPainter;

namespace kelvara::ui {

// Each picture is drawn, never stretched, for the scale of a map and a
// device pixel ratio: its logical size is its natural size scaled by the
// map, and at scale 1 and ratio 1 it is exactly the natural bitmap.

// 33 x 33, 24-bit: a yellow sine wave over a white resistor on deep blue.
QImage MakeLogo(const Twips& map = {}, qreal dpr = 1);
// The icon scaled into the largest square centred in box; smooth draws it
// antialiased, for sizes where the standard colours alone look jagged.
void PaintIcon(QPainter& p, const QRectF& box, bool smooth);
// 32 x 32 in the 16 standard colours: the symbol of an AC source, a sine
// wave in a circle, on a transparent ground.
QImage MakeIcon(const Twips& map = {}, qreal dpr = 1);
// The same picture as scalable SVG text, for the desktop's icon theme.
QByteArray IconSvg();
// 8 x 8 graph markers: a square of the colour of the trace each one leads,
// in a black frame; where the look gives a ring colour, a ring of it between
// the two, so that the marker stands out from its trace.
QImage MakeMarker(PictureId id, const Twips& map = {}, qreal dpr = 1, const Look& look = {});

// The picture for an id, or a null image for PictureId::None.
QImage MakePicture(PictureId id, const Twips& map = {}, qreal dpr = 1, const Look& look = {});

} // namespace kelvara::ui
