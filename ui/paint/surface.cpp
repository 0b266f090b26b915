// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/paint/surface.h"

#include "ui/look/colours.h"
#include "ui/look/fonts.h"
#include "ui/paint/pictures.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace kelvara::ui {

namespace {

bool IsStraight(const Element& e) {
    return e.x1 == e.x2 || e.y1 == e.y2;
}

// The pixels an axis-parallel line covers: both end points included, the
// width spread across it (the extra pixel of an even width above or left).
QRect StraightLineRect(const Element& e, const Twips& map, int w) {
    const QPoint a = map.Point(e.x1, e.y1);
    const QPoint b = map.Point(e.x2, e.y2);
    const int end = map.Pixels(1);
    if (a.y() == b.y()) {
        const int left = std::min(a.x(), b.x());
        return {left, a.y() - w / 2, std::abs(b.x() - a.x()) + end, w};
    }
    const int top = std::min(a.y(), b.y());
    return {a.x() - w / 2, top, w, std::abs(b.y() - a.y()) + end};
}

QRectF ShapeBox(const Element& e, const QRect& rect) {
    if (e.shape != ShapeType::Circle) {
        return {rect};
    }
    const qreal d = std::min(rect.width(), rect.height());
    return {rect.x() + (rect.width() - d) / 2, rect.y() + (rect.height() - d) / 2, d, d};
}

} // namespace

DrawingSurface::DrawingSurface(QWidget* owner, const Element* container)
    : owner_(owner), layer_(owner, container) {}

void DrawingSurface::Add(const Element& e) {
    Item item{.e = &e, .left = static_cast<double>(e.left), .top = static_cast<double>(e.top)};
    item.naturalFore = Resolve(e.fore, Qt::black);
    item.naturalBack = Resolve(e.back, Qt::white);
    if (e.kind == Kind::Label) {
        item.caption = item.layoutCaption = CaptionText(e);
        item.naturalFore = Resolve(e.fore, QGuiApplication::palette().color(QPalette::ButtonText));
        // Captions wrap within their label; a label only one line high keeps
        // its caption on that line even where it runs a little past the
        // edge, rather than lose the words that would wrap out of sight.
        // Decided at the natural size, so that no scale wraps differently.
        const Twips natural;
        item.textFlags = Qt::AlignLeft | Qt::AlignTop;
        if (natural.ToPixels(e.height) <
            2 * QFontMetrics(MakeFont(e.font, natural)).lineSpacing()) {
            item.textFlags |= Qt::TextSingleLine | Qt::TextDontClip;
        } else {
            item.textFlags |= Qt::TextWordWrap;
        }
    }
    Colour(item);
    items_.push_back(std::move(item));
    Place(items_.back());
}

void DrawingSurface::Colour(Item& item) const {
    const Element& e = *item.e;
    item.fore = look_.Fore(e, item.naturalFore);
    item.back = item.naturalBack;
    item.hatch = e.hatch.Stored() ? look_.Hatch(e, Resolve(e.hatch, Qt::blue)) : QColor();
}

void DrawingSurface::SetLook(const Look& look) {
    if (look == look_) {
        return;
    }
    look_ = look;
    layer_.SetLook(look);
    for (Item& item : items_) {
        Colour(item);
        Place(item);
    }
    owner_->update();
}

void DrawingSurface::SetMap(const Twips& map, QSize logicalSize) {
    map_ = map;
    layer_.SetMap(map, logicalSize);
    picture_ = MakePicture(pictureId_, map_, owner_->devicePixelRatioF());
    for (Item& item : items_) {
        Place(item);
    }
}

// Geometry, font, pen and picture of an element for the current map.
void DrawingSurface::Place(Item& item) {
    const Element& e = *item.e;
    switch (e.kind) {
    case Kind::Line:
        item.pen = map_.Pixels(e.penWidth);
        if (IsStraight(e)) {
            item.rect = StraightLineRect(e, map_, item.pen);
        } else {
            item.rect = QRect(map_.Point(e.x1, e.y1), map_.Point(e.x2, e.y2)).normalized();
        }
        item.bounds = item.rect.adjusted(-item.pen, -item.pen, item.pen, item.pen);
        break;
    case Kind::Label: {
        item.font = MakeFont(e.font, map_);
        item.rect = map_.Rect(e.left, e.top, e.width, e.height);
        if (e.follows != nullptr) {
            // Set straight after the text of the label it continues.
            const int before = Find(QString::fromLatin1(e.follows));
            const Item& prev = items_[Index(before)];
            const int end =
                prev.rect.left() + QFontMetrics(prev.font).horizontalAdvance(prev.caption);
            item.rect.moveLeft(end);
        }
        if (item.caption != QString::fromUtf8(e.caption)) {
            FitCaption(item);
        }
        item.bounds = LabelBounds(item);
        break;
    }
    case Kind::Image:
        item.image = MakePicture(e.picture, map_, owner_->devicePixelRatioF(), look_);
        MoveImage(item);
        break;
    default:
        item.pen = map_.Pixels(e.penWidth);
        item.rect = map_.Rect(e.left, e.top, e.width, e.height);
        item.bounds = item.rect;
        break;
    }
}

// A caption in another language that would run past its label is set
// smaller, down to the slider captions' size; one still too long there
// widens its label about the label's centre, over the bare panel the
// layout leaves around it. The layout's own captions are drawn as they
// were designed.
void DrawingSurface::FitCaption(Item& item) const {
    const int smallest = std::min(item.font.pixelSize(), map_.FontPixels(kSmallestCaptionPoints));
    const bool oneLine = (item.textFlags & Qt::TextSingleLine) != 0;
    const auto need = [&] {
        return QFontMetrics(item.font).boundingRect(item.rect, item.textFlags & ~Qt::TextDontClip,
                                                    item.caption);
    };
    while (item.font.pixelSize() > smallest) {
        const QRect n = need();
        if (n.width() <= item.rect.width() && (oneLine || n.height() <= item.rect.height())) {
            return;
        }
        item.font.setPixelSize(item.font.pixelSize() - 1);
    }
    // Bold glyphs may ink a pixel past their advance.
    const int width = need().width() + 2;
    if (oneLine && width > item.rect.width()) {
        const int centre = item.rect.center().x();
        item.rect.setWidth(width);
        item.rect.moveLeft(centre - width / 2);
    }
}

void DrawingSurface::Retranslate() {
    for (Item& item : items_) {
        if (item.e->kind == Kind::Label && item.caption == item.layoutCaption) {
            item.caption = item.layoutCaption = CaptionText(*item.e);
        } else if (item.e->kind == Kind::Label) {
            item.layoutCaption = CaptionText(*item.e);
        }
        // In layout order, so that a label that follows another is placed
        // after it.
        Place(item);
    }
    owner_->update();
}

QRect DrawingSurface::LabelBounds(const Item& item) const {
    const QRect text =
        QFontMetrics(item.font).boundingRect(item.rect, item.textFlags, item.caption);
    return item.rect | text.adjusted(-1, -1, 1, 1);
}

int DrawingSurface::Find(const QString& fullName) const {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (FullName(*items_[i].e) == fullName) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void DrawingSurface::SetCaption(int item, const QString& text) {
    Item& it = items_[Index(item)];
    if (it.caption == text) {
        return;
    }
    owner_->update(it.bounds);
    it.caption = text;
    it.bounds = LabelBounds(it);
    owner_->update(it.bounds);
}

void DrawingSurface::MoveImage(Item& item) {
    item.rect = QRect(map_.Point(item.left, item.top), item.image.deviceIndependentSize().toSize());
    item.bounds = item.rect;
}

void DrawingSurface::MoveImageTo(int item, double left, double top) {
    Item& it = items_[Index(item)];
    const bool moves = map_.Point(left, top) != map_.Point(it.left, it.top);
    it.left = left;
    it.top = top;
    if (moves) {
        owner_->update(it.bounds);
        MoveImage(it);
        owner_->update(it.bounds);
    }
}

void DrawingSurface::MoveImageLeft(int item, double left) {
    MoveImageTo(item, left, items_[Index(item)].top);
}

void DrawingSurface::MoveImageTop(int item, double top) {
    MoveImageTo(item, items_[Index(item)].left, top);
}

std::vector<QRect> JoinedRects(const QRegion& region) {
    std::vector<QRect> joined;
    for (const QRect& r : region) {
        const auto above = std::find_if(joined.begin(), joined.end(), [&r](const QRect& q) {
            return q.left() == r.left() && q.right() == r.right() && q.bottom() + 1 == r.top();
        });
        if (above != joined.end()) {
            above->setBottom(r.bottom());
        } else {
            joined.push_back(r);
        }
    }
    return joined;
}

void FillFrame(QPainter& p, const QRect& r, int width, const QColor& topLeft,
               const QColor& bottomRight) {
    p.fillRect(QRect(r.left(), r.top(), r.width() - width, width), topLeft);
    p.fillRect(QRect(r.left(), r.top(), width, r.height() - width), topLeft);
    p.fillRect(QRect(r.left(), r.bottom() - width + 1, r.width(), width), bottomRight);
    p.fillRect(QRect(r.right() - width + 1, r.top(), width, r.height()), bottomRight);
}

void FillWithin(QPainter& p, const QRegion& dirty, const QRect& r, const QColor& colour) {
    p.save();
    for (const QRect& part : JoinedRects(dirty.intersected(r))) {
        p.setClipRect(part);
        p.fillRect(part, colour);
    }
    p.restore();
}

void DrawingSurface::Paint(QPainter& p, const QRect& dirty) const {
    if (!picture_.isNull()) {
        p.drawImage(map_.Origin(), picture_);
    }
    for (const Item& item : items_) {
        if (item.e->kind != Kind::Image && item.bounds.intersects(dirty)) {
            PaintItem(p, item, dirty);
        }
    }
    layer_.Paint(p, dirty);
    for (const Item& item : items_) {
        if (item.e->kind == Kind::Image && item.bounds.intersects(dirty)) {
            p.drawImage(item.rect.topLeft(), item.image);
        }
    }
}

// A cross-hatch of lines a pixel wide every 8 pixels of the natural size,
// where a cross-pattern brush puts them there (columns 4, rows 3 modulo 8),
// scaled with the drawing.
void DrawingSurface::PaintCrossHatch(QPainter& p, const QRect& r, const QColor& colour) const {
    constexpr int kStep = 8;
    const int t = map_.Pixels(1);
    const double naturalPixel = Twips::kPerPixel;
    const auto at = [&](int natural, bool across) {
        const QPoint q = map_.Point(natural * naturalPixel, natural * naturalPixel);
        return across ? q.x() : q.y();
    };
    const auto first = [&](int from, int origin, int phase) {
        const double natural = (from - origin) / map_.Scale();
        return static_cast<int>(std::floor((natural - phase) / kStep)) * kStep + phase;
    };
    for (int n = first(r.left(), map_.Origin().x(), 4); at(n, true) <= r.right(); n += kStep) {
        const QRect line = QRect(at(n, true), r.top(), t, r.height()) & r;
        p.fillRect(line, colour);
    }
    for (int n = first(r.top(), map_.Origin().y(), 3); at(n, false) <= r.bottom(); n += kStep) {
        const QRect line = QRect(r.left(), at(n, false), r.width(), t) & r;
        p.fillRect(line, colour);
    }
}

void DrawingSurface::PaintItem(QPainter& p, const Item& item, const QRect& dirty) const {
    const Element& e = *item.e;
    switch (e.kind) {
    case Kind::Label:
        if (e.opaque) {
            p.fillRect(item.rect, item.back);
        }
        p.setPen(item.fore);
        p.setFont(item.font);
        p.drawText(item.rect, item.textFlags, item.caption);
        break;

    case Kind::Line:
        if (IsStraight(e)) {
            p.fillRect(item.rect, item.fore);
        } else {
            const qreal off = PenOffset(item.pen);
            p.setRenderHint(QPainter::Antialiasing, true);
            p.setPen(QPen(item.fore, item.pen, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(map_.Point(e.x1, e.y1)) + QPointF(off, off),
                       QPointF(map_.Point(e.x2, e.y2)) + QPointF(off, off));
            p.setRenderHint(QPainter::Antialiasing, false);
        }
        break;

    case Kind::Shape: {
        const int bw = item.pen;
        if (e.shape == ShapeType::Rectangle) {
            // Square corners stay on whole pixels: fill, hatch, then the
            // border inside the edge.
            const QRect r = item.rect;
            if (e.opaque) {
                p.fillRect(r, item.back);
            }
            if (e.hatch.Stored()) {
                // Only where the paint is needed: a pass repaints small parts
                // of the graph panel many times a second.
                PaintCrossHatch(p, r & dirty, item.hatch);
            }
            FillFrame(p, r, bw, item.fore);
            break;
        }
        const qreal half = bw / 2.0;
        const QRectF box = ShapeBox(e, item.rect).adjusted(half, half, -half, -half);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(item.fore, bw));
        p.setBrush(e.opaque ? QBrush(item.back) : QBrush(Qt::NoBrush));
        if (e.shape == ShapeType::Circle) {
            p.drawEllipse(box);
        } else {
            const qreal radius = std::min(box.width(), box.height()) / 4;
            p.drawRoundedRect(box, radius, radius);
        }
        p.setBrush(Qt::NoBrush);
        p.setRenderHint(QPainter::Antialiasing, false);
        break;
    }

    default:
        break;
    }
}

} // namespace kelvara::ui
