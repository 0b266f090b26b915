// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// What a container paints itself: the drawn elements of the layout (labels,
// lines, shapes, images) and the run-time drawing kept in a retained layer.
//
// Stacking, bottom to top: the container's picture, the drawn elements in
// layout order, the retained layer, then the image markers (so a marker
// stays visible on top of the trace it leads). Child windows cover it all.
#pragma once

#include "ui/layout.h"
#include "ui/look.h"
#include "ui/stroke_record.h"
#include "ui/twips.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

#include <cstddef>
#include <vector>

class QPainter;
class QWidget;

namespace kelvara::ui {

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
    int penWidth_ = 1;
    StrokeRecord record_;
};

class DrawingSurface {
public:
    // `container`: the box whose client this surface is, nullptr for the
    // window.
    explicit DrawingSurface(QWidget* owner, const Element* container = nullptr);

    // Adds a drawn element (label, line, shape or image) above the others.
    void Add(const Element& e);
    // A box's picture, drawn at its top-left corner under everything else.
    void SetPicture(PictureId picture) { pictureId_ = picture; }
    const QImage& Picture() const { return picture_; }

    // Lays every element out again for a new map and size (logical pixels
    // of the owner), with fonts, pens and pictures for that scale.
    void SetMap(const Twips& map, QSize logicalSize);
    const Twips& Map() const { return map_; }

    // Colours, pens and pictures of every element, and the run-time
    // drawing, for a look.
    void SetLook(const Look& look);
    const Look& CurrentLook() const { return look_; }

    void Paint(QPainter& p, const QRect& dirty) const;

    RetainedLayer& Layer() { return layer_; }
    const RetainedLayer& Layer() const { return layer_; }

    // Index of a drawn element by full name, or -1.
    int Find(const QString& fullName) const;
    const Element& ElementAt(int item) const { return *items_[Index(item)].e; }
    // Where the element lies, in pixels of the owner.
    QRect Rect(int item) const { return items_[Index(item)].rect; }

    QString Caption(int item) const { return items_[Index(item)].caption; }
    void SetCaption(int item, const QString& text);
    // Moves an image's top-left corner to a point in twips.
    void MoveImageLeft(int item, double left);
    void MoveImageTop(int item, double top);

private:
    struct Item {
        const Element* e = nullptr;
        double left = 0; // twips; images move at run time
        double top = 0;
        QRect rect{};   // where it lies (lines: the pixels they cover)
        QRect bounds{}; // what painting it may touch
        QString caption{};
        QFont font{};
        QColor naturalFore{}; // as the layout gives them
        QColor naturalBack{};
        QColor fore{}; // as the look shows them
        QColor back{};
        QColor hatch{};
        QImage image{};
        int textFlags = 0;
        int pen = 0; // scaled line or border width
    };

    static std::size_t Index(int item) { return static_cast<std::size_t>(item); }
    void Place(Item& item);
    void Colour(Item& item) const;
    void MoveImage(Item& item);
    void MoveImageTo(int item, double left, double top);
    void PaintItem(QPainter& p, const Item& item, const QRect& dirty) const;
    void PaintCrossHatch(QPainter& p, const QRect& r, const QColor& colour) const;
    QRect LabelBounds(const Item& item) const;

    QWidget* owner_;
    Twips map_;
    Look look_;
    std::vector<Item> items_;
    PictureId pictureId_ = PictureId::None;
    QImage picture_;
    RetainedLayer layer_;
};

} // namespace kelvara::ui
