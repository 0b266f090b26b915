// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/paint/retained_layer.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace kelvara::ui {

namespace {

// A coordinate of the record: run-time coordinates are whole twips; far
// beyond any screen they are held at a distance that still draws off it.
std::int32_t Whole(double twips) {
    constexpr double kFar = 1 << 30;
    return static_cast<std::int32_t>(std::lround(std::clamp(twips, -kFar, kFar)));
}

} // namespace

RetainedLayer::RetainedLayer(QWidget* owner, const Element* container)
    : owner_(owner), container_(container) {}

void RetainedLayer::SetMap(const Twips& map, QSize logicalSize) {
    Shelf left{map_.Scale(), size_, image_, other_};
    map_ = map;
    size_ = logicalSize;
    if (shelf_.scale == map.Scale() && shelf_.size == size_ && Fits(shelf_.image)) {
        image_ = shelf_.image;
        other_ = shelf_.other;
        left = Shelf();
    }
    shelf_ = std::move(left);
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
    shelf_ = Shelf();
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
    shelf_ = Shelf();
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
    shelf_ = Shelf();
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

} // namespace kelvara::ui
