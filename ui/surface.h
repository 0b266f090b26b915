// What a container paints itself: the drawn elements of the layout (labels,
// lines, shapes, images) and the run-time drawing kept in a retained layer.
//
// Stacking, bottom to top: the container's picture, the drawn elements in
// layout order, the retained layer, then the image markers (so a marker
// stays visible on top of the trace it leads). Child windows cover it all.
#pragma once

#include "ui/layout.h"
#include "ui/twips.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

class QPainter;
class QWidget;

namespace kelvara::ui {

// Run-time drawing of one surface. Every stroke since the last clear is kept
// as data in twips, so that it can be drawn again, sharp, at any scale or
// pixel ratio; an image in device pixels caches the result for painting.
//
// The record stays bounded however long a run lasts: a stroke that another
// one later covers exactly (the same ends and pen) is dropped, and a stroke
// that continues the last one of its colour in the same direction extends
// it. Needles therefore keep at most one stroke per distinct needle position
// and a graph trace a few per twip of its width; the graphs are cleared at
// every sweep.
class RetainedLayer {
public:
    explicit RetainedLayer(QWidget* owner);

    // The surface's map and its size in logical pixels; what has been drawn
    // is drawn again if either, or the owner's pixel ratio, changed.
    void SetMap(const Twips& map, QSize logicalSize);

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
    std::size_t StrokeCount() const { return strokes_.size() - dead_; }
    std::size_t MemoryBytes() const;

private:
    struct Stroke {
        double x1, y1, x2, y2; // twips
        QRgb colour;
        int pen;
        bool alive;
    };
    struct Key {
        double x1, y1, x2, y2;
        int pen;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const noexcept;
    };
    static Key KeyOf(const Stroke& s) { return {s.x1, s.y1, s.x2, s.y2, s.pen}; }

    bool Ensure();
    void Render(const Stroke& s);
    void Replay();
    bool Extend(const Stroke& s);
    void Compact();

    QWidget* owner_;
    Twips map_;
    QSize size_;
    QImage image_;
    int penWidth_ = 1;
    std::vector<Stroke> strokes_;
    std::unordered_map<Key, std::size_t, KeyHash> index_;
    std::size_t dead_ = 0;
};

class DrawingSurface {
public:
    explicit DrawingSurface(QWidget* owner);

    // Adds a drawn element (label, line, shape or image) above the others.
    void Add(const Element& e);
    // A box's picture, drawn at its top-left corner under everything else.
    void SetPicture(PictureId picture) { pictureId_ = picture; }
    const QImage& Picture() const { return picture_; }

    // Lays every element out again for a new map and size (logical pixels
    // of the owner), with fonts, pens and pictures for that scale.
    void SetMap(const Twips& map, QSize logicalSize);
    const Twips& Map() const { return map_; }

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
        QColor fore{};
        QColor back{};
        QImage image{};
        int textFlags = 0;
        int pen = 0; // scaled line or border width
    };

    static std::size_t Index(int item) { return static_cast<std::size_t>(item); }
    void Place(Item& item);
    void MoveImage(Item& item);
    void PaintItem(QPainter& p, const Item& item) const;
    void PaintCrossHatch(QPainter& p, const QRect& r, const QColor& colour) const;
    QRect LabelBounds(const Item& item) const;

    QWidget* owner_;
    Twips map_;
    std::vector<Item> items_;
    PictureId pictureId_ = PictureId::None;
    QImage picture_;
    RetainedLayer layer_;
};

} // namespace kelvara::ui
