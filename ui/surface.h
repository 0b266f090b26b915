// What a container paints itself: the drawn elements of the layout (labels,
// lines, shapes, images) and the run-time drawing kept in a retained layer.
//
// Stacking, bottom to top: the container's picture, the drawn elements in
// layout order, the retained layer, then the image markers (so a marker
// stays visible on top of the trace it leads). Child windows cover it all.
#pragma once

#include "ui/layout.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

#include <vector>

class QPainter;
class QWidget;

namespace kelvara::ui {

// Run-time drawing of one surface, kept in an image allocated in device
// pixels so that it survives exposes and stays sharp at any pixel ratio.
class RetainedLayer {
public:
    RetainedLayer(QWidget* owner, QSize logicalSize);

    void SetPenWidth(int pixels) { penWidth_ = pixels; }
    int PenWidth() const { return penWidth_; }

    // A solid, aliased line with square ends between two pixel positions, so
    // that drawing the same line again in another colour covers it exactly.
    // Returns the rectangle (logical pixels) that changed.
    QRect DrawLine(QPoint a, QPoint b, const QColor& colour);
    // Forgets everything drawn; returns false if there was nothing.
    bool Clear();
    void Paint(QPainter& p, const QRect& dirty) const;

    // Null until something is drawn.
    const QImage& Image() const { return image_; }

private:
    void Ensure();

    QWidget* owner_;
    QSize size_;
    QImage image_;
    int penWidth_ = 1;
    bool empty_ = true;
};

class DrawingSurface {
public:
    DrawingSurface(QWidget* owner, QSize logicalSize);

    // Adds a drawn element (label, line, shape or image) above the others.
    void Add(const Element& e);
    // A box's picture, drawn at its top-left corner under everything else.
    void SetPicture(const QImage& picture) { picture_ = picture; }
    const QImage& Picture() const { return picture_; }

    void Paint(QPainter& p, const QRect& dirty) const;

    RetainedLayer& Layer() { return layer_; }
    const RetainedLayer& Layer() const { return layer_; }

    // Index of a drawn element by full name, or -1.
    int Find(const QString& fullName) const;
    const Element& ElementAt(int item) const { return *items_[Index(item)].e; }
    // Where the element lies, in pixels of the container.
    QRect Rect(int item) const { return items_[Index(item)].rect; }

    QString Caption(int item) const { return items_[Index(item)].caption; }
    void SetCaption(int item, const QString& text);
    void MoveImage(int item, QPoint topLeft);

private:
    struct Item {
        const Element* e = nullptr;
        QRect rect{};   // where it lies (lines: the pixels they cover)
        QRect bounds{}; // what painting it may touch
        QString caption{};
        QFont font{};
        QColor fore{};
        QColor back{};
        QImage image{};
        int textFlags = 0;
    };

    static std::size_t Index(int item) { return static_cast<std::size_t>(item); }
    void PaintItem(QPainter& p, const Item& item) const;
    static QRect LabelBounds(const Item& item);

    QWidget* owner_;
    std::vector<Item> items_;
    QImage picture_;
    RetainedLayer layer_;
};

} // namespace kelvara::ui
