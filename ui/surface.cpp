#include "ui/surface.h"

#include "ui/colours.h"
#include "ui/fonts.h"
#include "ui/pictures.h"
#include "ui/twips.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>

#include <algorithm>

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
QRect StraightLineRect(const Element& e) {
    const QPoint a = Twips::Point(e.x1, e.y1);
    const QPoint b = Twips::Point(e.x2, e.y2);
    const int w = e.penWidth;
    if (a.y() == b.y()) {
        const int left = std::min(a.x(), b.x());
        return {left, a.y() - w / 2, std::abs(b.x() - a.x()) + 1, w};
    }
    const int top = std::min(a.y(), b.y());
    return {a.x() - w / 2, top, w, std::abs(b.y() - a.y()) + 1};
}

QRectF ShapeBox(const Element& e, const QRect& rect) {
    if (e.shape != ShapeType::Circle) {
        return {rect};
    }
    const qreal d = std::min(rect.width(), rect.height());
    return {rect.x() + (rect.width() - d) / 2, rect.y() + (rect.height() - d) / 2, d, d};
}

} // namespace

// ---------------------------------------------------------------------------

RetainedLayer::RetainedLayer(QWidget* owner, QSize logicalSize)
    : owner_(owner), size_(logicalSize) {}

void RetainedLayer::Ensure() {
    const qreal dpr = owner_->devicePixelRatioF();
    if (!image_.isNull() && image_.devicePixelRatio() == dpr) {
        return;
    }
    QImage fresh(size_ * dpr, QImage::Format_ARGB32_Premultiplied);
    fresh.setDevicePixelRatio(dpr);
    fresh.fill(Qt::transparent);
    if (!image_.isNull() && !empty_) {
        // The screen changed under a drawing: keep it, rescaled.
        QPainter p(&fresh);
        p.drawImage(QRectF(QPointF(0, 0), QSizeF(size_)), image_);
    }
    image_ = std::move(fresh);
}

QRect RetainedLayer::DrawLine(QPoint a, QPoint b, const QColor& colour) {
    Ensure();
    {
        QPainter p(&image_);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.setPen(QPen(colour, penWidth_, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        const qreal off = PenOffset(penWidth_);
        if (a == b) {
            p.drawPoint(QPointF(a) + QPointF(off, off));
        } else {
            p.drawLine(QPointF(a) + QPointF(off, off), QPointF(b) + QPointF(off, off));
        }
    }
    empty_ = false;
    const int m = penWidth_ + 1;
    return QRect(a, b).normalized().adjusted(-m, -m, m, m);
}

bool RetainedLayer::Clear() {
    if (empty_) {
        return false;
    }
    image_.fill(Qt::transparent);
    empty_ = true;
    return true;
}

void RetainedLayer::Paint(QPainter& p, const QRect& dirty) const {
    if (empty_) {
        return;
    }
    const QRect r = dirty & QRect(QPoint(0, 0), size_);
    if (r.isEmpty()) {
        return;
    }
    const qreal dpr = image_.devicePixelRatio();
    const QRectF source(r.x() * dpr, r.y() * dpr, r.width() * dpr, r.height() * dpr);
    p.drawImage(QRectF(r), image_, source);
}

// ---------------------------------------------------------------------------

DrawingSurface::DrawingSurface(QWidget* owner, QSize logicalSize)
    : owner_(owner), layer_(owner, logicalSize) {}

void DrawingSurface::Add(const Element& e) {
    Item item{.e = &e};
    item.fore = Resolve(e.fore, Qt::black);
    item.back = Resolve(e.back, Qt::white);
    switch (e.kind) {
    case Kind::Line:
        if (IsStraight(e)) {
            item.rect = StraightLineRect(e);
        } else {
            item.rect = QRect(Twips::Point(e.x1, e.y1), Twips::Point(e.x2, e.y2)).normalized();
        }
        item.bounds = item.rect.adjusted(-e.penWidth, -e.penWidth, e.penWidth, e.penWidth);
        break;
    case Kind::Label:
        item.caption = QString::fromUtf8(e.caption);
        item.font = MakeFont(e.font);
        item.fore = Resolve(e.fore, QGuiApplication::palette().color(QPalette::ButtonText));
        // Captions wrap within their label; a label only one line high keeps
        // its caption on that line even where it runs a little past the
        // edge, rather than lose the words that would wrap out of sight.
        item.textFlags = Qt::AlignLeft | Qt::AlignTop;
        if (Twips::ToPixels(e.height) < 2 * QFontMetrics(item.font).lineSpacing()) {
            item.textFlags |= Qt::TextSingleLine | Qt::TextDontClip;
        } else {
            item.textFlags |= Qt::TextWordWrap;
        }
        item.rect = Twips::Rect(e.left, e.top, e.width, e.height);
        item.bounds = LabelBounds(item);
        break;
    default:
        item.rect = Twips::Rect(e.left, e.top, e.width, e.height);
        item.bounds = item.rect;
        break;
    }
    if (e.kind == Kind::Image) {
        item.image = MakePicture(e.picture);
        item.rect.setSize(item.image.size());
        item.bounds = item.rect;
    }
    items_.push_back(std::move(item));
}

QRect DrawingSurface::LabelBounds(const Item& item) {
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

void DrawingSurface::MoveImage(int item, QPoint topLeft) {
    Item& it = items_[Index(item)];
    if (it.rect.topLeft() == topLeft) {
        return;
    }
    owner_->update(it.bounds);
    it.rect.moveTopLeft(topLeft);
    it.bounds = it.rect;
    owner_->update(it.bounds);
}

void DrawingSurface::Paint(QPainter& p, const QRect& dirty) const {
    if (!picture_.isNull()) {
        p.drawImage(QPoint(0, 0), picture_);
    }
    for (const Item& item : items_) {
        if (item.e->kind != Kind::Image && item.bounds.intersects(dirty)) {
            PaintItem(p, item);
        }
    }
    layer_.Paint(p, dirty);
    for (const Item& item : items_) {
        if (item.e->kind == Kind::Image && item.bounds.intersects(dirty)) {
            p.drawImage(item.rect.topLeft(), item.image);
        }
    }
}

void DrawingSurface::PaintItem(QPainter& p, const Item& item) const {
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
            const qreal off = PenOffset(e.penWidth);
            p.setRenderHint(QPainter::Antialiasing, true);
            p.setPen(QPen(item.fore, e.penWidth, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(Twips::Point(e.x1, e.y1)) + QPointF(off, off),
                       QPointF(Twips::Point(e.x2, e.y2)) + QPointF(off, off));
            p.setRenderHint(QPainter::Antialiasing, false);
        }
        break;

    case Kind::Shape: {
        const int bw = e.penWidth;
        if (e.shape == ShapeType::Rectangle) {
            // Square corners stay on whole pixels: fill, hatch, then the
            // border inside the edge.
            const QRect r = item.rect;
            if (e.opaque) {
                p.fillRect(r, item.back);
            }
            if (e.hatch.Stored()) {
                p.fillRect(r, QBrush(Resolve(e.hatch, Qt::blue), Qt::CrossPattern));
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
