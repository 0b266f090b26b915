// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The run-time drawing of one surface, kept so that it survives a repaint
// and is drawn again sharp at any scale, pixel ratio or look.
#pragma once

#include "ui/layout/layout.h"
#include "ui/layout/twips.h"
#include "ui/look/look.h"
#include "ui/paint/stroke_record.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>

#include <cstddef>

class QPainter;
class QWidget;

namespace kelvara::ui {

// Odd pen widths are centred on the middle of a pixel, even ones on its
// edge, so an aliased stroke covers whole pixels symmetrically.
inline qreal PenOffset(int width) {
    return (width % 2) != 0 ? 0.5 : 0.0;
}

// Run-time drawing of one surface: a record of its strokes in twips, drawn
// again, sharp, whenever the scale, the size or the pixel ratio changes, and
// an image in device pixels that caches it for painting. The record keeps
// the colours and widths the program gave; the look maps them as they are
// drawn.
class RetainedLayer {
public:
    // `container`: the box whose surface this is, nullptr for the window.
    explicit RetainedLayer(QWidget* owner, const Element* container = nullptr);

    // The surface's map and its size in logical pixels; what has been drawn
    // is drawn again if either, or the owner's pixel ratio, changed.
    void SetMap(const Twips& map, QSize logicalSize);

    // Draws what has been drawn again in another look. The image of the
    // look it leaves is kept and drawn on alongside from then on, so that
    // coming back to it shows exactly what drawing in it all along would
    // have shown.
    void SetLook(const Look& look);

    // Pen width in pixels of the natural layout; scaled when drawn.
    void SetPenWidth(int pixels) { penWidth_ = pixels; }
    int PenWidth() const { return penWidth_; }

    // A solid, aliased line with square ends between two points in twips,
    // so that drawing the same line again in another colour covers it
    // exactly. Returns the rectangle (owner's logical pixels) that changed.
    QRect DrawLine(double x1, double y1, double x2, double y2, const QColor& colour);
    // Forgets everything drawn; returns false if there was nothing.
    bool Clear();
    void Paint(QPainter& p, const QRect& dirty) const;

    // Null until something is drawn.
    const QImage& Image() const { return image_; }

    // Strokes kept for drawing again, and the bytes they and their index
    // take.
    std::size_t StrokeCount() const { return record_.Count(); }
    std::size_t MemoryBytes() const { return record_.MemoryBytes(); }

private:
    bool Ensure(); // false while the surface has no pixels
    bool Fits(const QImage& image) const;
    void RenderAll(QImage& image, const Look& look) const;
    void Render(QPainter& p, const StrokeRecord::Stroke& s, const Look& look) const;

    QWidget* owner_;
    const Element* container_;
    Twips map_;
    QSize size_;
    Look look_;
    QImage image_;
    // The same drawing in the look shown before, kept from the look's
    // first change on.
    bool twoLooks_ = false;
    Look otherLook_;
    QImage other_;
    // The caches of the map before the last change, until anything is drawn
    // or the look changes: a picture drawn at another scale and back finds
    // the very pixels it left, not the record drawn again (which joins
    // strokes, and so may round a pixel differently).
    struct Shelf {
        double scale = 0;
        QSize size;
        QImage image;
        QImage other;
    };
    Shelf shelf_;
    int penWidth_ = 1;
    StrokeRecord record_;
};

} // namespace kelvara::ui
