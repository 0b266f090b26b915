// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/surface.h"

#include "ui/colours.h"
#include "ui/fonts.h"
#include "ui/pictures.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace kelvara::ui {

namespace {

// Odd pen widths are centred on the middle of a pixel, even ones on its
// edge, so an aliased stroke covers whole pixels symmetrically.
qreal PenOffset(int width) {
    return (width % 2) != 0 ? 0.5 : 0.0;
}

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

// A coordinate of the record: run-time coordinates are whole twips; far
// beyond any screen they are held at a distance that still draws off it.
std::int32_t Whole(double twips) {
    constexpr double kFar = 1 << 30;
    return static_cast<std::int32_t>(std::lround(std::clamp(twips, -kFar, kFar)));
}

} // namespace

// ---------------------------------------------------------------------------

RetainedLayer::RetainedLayer(QWidget* owner, const Element* container)
    : owner_(owner), container_(container) {}

void RetainedLayer::SetMap(const Twips& map, QSize logicalSize) {
    map_ = map;
    size_ = logicalSize;
    if (!record_.Empty()) {
        Ensure();
    }
}

bool RetainedLayer::Fits(const QImage& image) const {
    const qreal dpr = owner_->devicePixelRatioF();
    return !image.isNull() && image.devicePixelRatio() == dpr && image.size() == size_ * dpr;
}

// Makes the cache fit the map, size and pixel ratio, drawing everything
// recorded into it again when it has to be made anew; once the look has
// changed, the other look's cache too. A surface that rounds to no pixels
// keeps no cache and draws nothing (a painter cannot even begin on it); its
// strokes wait in the record for the next real size.
bool RetainedLayer::Ensure() {
    if ((size_ * owner_->devicePixelRatioF()).isEmpty()) {
        image_ = QImage();
        other_ = QImage();
        return false;
    }
    if (!Fits(image_)) {
        RenderAll(image_, look_);
    }
    if (twoLooks_ && !Fits(other_)) {
        RenderAll(other_, otherLook_);
    }
    return true;
}

void RetainedLayer::RenderAll(QImage& image, const Look& look) const {
    const qreal dpr = owner_->devicePixelRatioF();
    image = QImage(size_ * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    QPainter p(&image);
    record_.ForEach([&](const StrokeRecord::Stroke& s) { Render(p, s, look); });
}

void RetainedLayer::SetLook(const Look& look) {
    if (look == look_) {
        return;
    }
    std::swap(look_, otherLook_);
    std::swap(image_, other_);
    twoLooks_ = true;
    if (look_ != look) {
        // The first change to this look: nothing drawn in it yet.
        look_ = look;
        image_ = QImage();
    }
    if (!record_.Empty()) {
        Ensure();
    }
}

void RetainedLayer::Render(QPainter& p, const StrokeRecord::Stroke& s, const Look& look) const {
    const int pen = map_.Pixels(look.StrokePen(s.pen));
    const QPoint origin = map_.Origin();
    const QPoint a = map_.Point(s.x1, s.y1) - origin;
    const QPoint b = map_.Point(s.x2, s.y2) - origin;
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.setPen(QPen(look.Stroke(container_, QColor::fromRgba(s.colour)), pen, Qt::SolidLine,
                  Qt::SquareCap, Qt::MiterJoin));
    const qreal off = PenOffset(pen);
    if (a == b) {
        p.drawPoint(QPointF(a) + QPointF(off, off));
    } else {
        p.drawLine(QPointF(a) + QPointF(off, off), QPointF(b) + QPointF(off, off));
    }
}

QRect RetainedLayer::DrawLine(double x1, double y1, double x2, double y2, const QColor& colour) {
    const bool hasPixels = Ensure();
    const StrokeRecord::Stroke s{Whole(x1), Whole(y1),     Whole(x2),
                                 Whole(y2), colour.rgba(), static_cast<std::uint8_t>(penWidth_),
                                 true};
    record_.Add(s.x1, s.y1, s.x2, s.y2, s.colour, penWidth_);
    if (hasPixels) {
        QPainter p(&image_);
        Render(p, s, look_);
    }
    if (hasPixels && twoLooks_) {
        QPainter p(&other_);
        Render(p, s, otherLook_);
    }
    const int m = map_.Pixels(look_.StrokePen(penWidth_)) + 1;
    return QRect(map_.Point(x1, y1), map_.Point(x2, y2)).normalized().adjusted(-m, -m, m, m);
}

bool RetainedLayer::Clear() {
    if (record_.Empty()) {
        return false;
    }
    record_.Clear();
    image_.fill(Qt::transparent);
    if (!other_.isNull()) {
        other_.fill(Qt::transparent);
    }
    return true;
}

void RetainedLayer::Paint(QPainter& p, const QRect& dirty) const {
    if (record_.Empty() || image_.isNull()) {
        return;
    }
    const QRect area(map_.Origin(), size_);
    const QRect r = dirty & area;
    if (r.isEmpty()) {
        return;
    }
    const qreal dpr = image_.devicePixelRatio();
    const QRect local = r.translated(-area.topLeft());
    const QRectF source(local.x() * dpr, local.y() * dpr, local.width() * dpr,
                        local.height() * dpr);
    p.drawImage(QRectF(r), image_, source);
}

// ---------------------------------------------------------------------------

DrawingSurface::DrawingSurface(QWidget* owner, const Element* container)
    : owner_(owner), layer_(owner, container) {}

void DrawingSurface::Add(const Element& e) {
    Item item{.e = &e, .left = static_cast<double>(e.left), .top = static_cast<double>(e.top)};
    item.naturalFore = Resolve(e.fore, Qt::black);
    item.naturalBack = Resolve(e.back, Qt::white);
    if (e.kind == Kind::Label) {
        item.caption = QString::fromUtf8(e.caption);
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
    item.back = look_.Back(e, item.naturalBack);
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
        item.pen = map_.Pixels(look_.LinePen(e.penWidth));
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
        item.bounds = LabelBounds(item);
        break;
    }
    case Kind::Image:
        item.image = MakePicture(e.picture, map_, owner_->devicePixelRatioF(), look_);
        MoveImage(item);
        break;
    default:
        item.pen = map_.Pixels(look_.LinePen(e.penWidth));
        item.rect = map_.Rect(e.left, e.top, e.width, e.height);
        item.bounds = item.rect;
        break;
    }
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
            p.fillRect(QRect(r.left(), r.top(), r.width(), bw), item.fore);
            p.fillRect(QRect(r.left(), r.bottom() - bw + 1, r.width(), bw), item.fore);
            p.fillRect(QRect(r.left(), r.top(), bw, r.height()), item.fore);
            p.fillRect(QRect(r.right() - bw + 1, r.top(), bw, r.height()), item.fore);
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
