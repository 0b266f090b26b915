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

#include "ui/layout/layout.h"
#include "ui/layout/twips.h"
#include "ui/look/look.h"
#include "ui/paint/retained_layer.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QRegion>
#include <QString>

#include <cstddef>
#include <vector>

class QPainter;
class QWidget;

namespace kelvara::ui {

// Qt's raster engine hands a fill or a picture that crosses a hundred rows
// or more of a clip of many rectangles to worker threads, and the hand-over
// costs far more than the thin strips a pass repaints. So tall things are
// painted a rectangle of the region at a time, each its own clip: this
// fills `r` so, where `dirty` needs it.
void FillWithin(QPainter& p, const QRegion& dirty, const QRect& r, const QColor& colour);
// A frame of lines `width` pixels thick just inside `r`, painted as four
// rectangles: `topLeft` along the top and the left, `bottomRight` along the
// bottom and the right (a one-coloured frame: both the same).
void FillFrame(QPainter& p, const QRect& r, int width, const QColor& topLeft,
               const QColor& bottomRight);
inline void FillFrame(QPainter& p, const QRect& r, int width, const QColor& colour) {
    FillFrame(p, r, width, colour, colour);
}
// The region's rectangles, those that lie one on the next with the same
// left and right joined into one: a region cuts a tall strip into pieces
// wherever another rectangle starts or ends beside it, and each piece
// painted on its own costs a pass through everything drawn.
std::vector<QRect> JoinedRects(const QRegion& region);

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
    // How a label's caption is set: its font and QPainter::drawText flags.
    const QFont& Font(int item) const { return items_[Index(item)].font; }
    int TextFlags(int item) const { return items_[Index(item)].textFlags; }
    // Captions in the language shown now, laid out again; a caption the
    // program has set at run time stays as it is.
    void Retranslate();
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
        QString layoutCaption{}; // the layout's, in the language shown
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
    void FitCaption(Item& item) const;
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
