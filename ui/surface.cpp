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
#include <functional>

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

QFont ScaledFont(const FontSpec& spec, const Twips& map) {
    QFont font = MakeFont(spec);
    font.setPixelSize(map.FontPixels(spec.points));
    return font;
}

// Strokes kept before the record is packed again, at the least.
constexpr std::size_t kCompactFloor = 1024;
// How far back a stroke looks for the one it continues.
constexpr int kExtendLookBack = 4;

} // namespace

// ---------------------------------------------------------------------------

std::size_t RetainedLayer::KeyHash::operator()(const Key& k) const noexcept {
    std::size_t h = std::hash<int>()(k.pen);
    for (const double v : {k.x1, k.y1, k.x2, k.y2}) {
        h = h * 1000003u ^ std::hash<double>()(v);
    }
    return h;
}

RetainedLayer::RetainedLayer(QWidget* owner) : owner_(owner) {}

std::size_t RetainedLayer::MemoryBytes() const {
    // Each index entry is a node of key, value and link, plus its bucket.
    constexpr std::size_t kNode = sizeof(Key) + sizeof(std::size_t) + 2 * sizeof(void*);
    return strokes_.capacity() * sizeof(Stroke) + index_.size() * kNode +
           index_.bucket_count() * sizeof(void*);
}

void RetainedLayer::SetMap(const Twips& map, QSize logicalSize) {
    map_ = map;
    size_ = logicalSize;
    if (!strokes_.empty()) {
        Ensure();
    }
}

// Makes the cache fit the map, size and pixel ratio; true if it was made
// anew (and everything kept has been drawn into it again).
bool RetainedLayer::Ensure() {
    const qreal dpr = owner_->devicePixelRatioF();
    const QSize device = size_ * dpr;
    if (!image_.isNull() && image_.devicePixelRatio() == dpr && image_.size() == device) {
        return false;
    }
    image_ = QImage(device, QImage::Format_ARGB32_Premultiplied);
    image_.setDevicePixelRatio(dpr);
    image_.fill(Qt::transparent);
    Replay();
    return true;
}

void RetainedLayer::Render(const Stroke& s) {
    const int pen = map_.Pixels(s.pen);
    const QPoint origin = map_.Origin();
    const QPoint a = map_.Point(s.x1, s.y1) - origin;
    const QPoint b = map_.Point(s.x2, s.y2) - origin;
    QPainter p(&image_);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.setPen(QPen(QColor::fromRgb(s.colour), pen, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    const qreal off = PenOffset(pen);
    if (a == b) {
        p.drawPoint(QPointF(a) + QPointF(off, off));
    } else {
        p.drawLine(QPointF(a) + QPointF(off, off), QPointF(b) + QPointF(off, off));
    }
}

void RetainedLayer::Replay() {
    for (const Stroke& s : strokes_) {
        if (s.alive) {
            Render(s);
        }
    }
}

// Extends the last stroke of the same colour and pen when `s` goes on from
// its end in the same direction and nothing drawn since lies in its way.
bool RetainedLayer::Extend(const Stroke& s) {
    int looked = 0;
    const QRectF reach = QRectF(QPointF(s.x1, s.y1), QPointF(s.x2, s.y2)).normalized();
    for (std::size_t i = strokes_.size(); i-- > 0 && looked < kExtendLookBack;) {
        Stroke& m = strokes_[i];
        if (!m.alive) {
            continue;
        }
        ++looked;
        if (m.colour == s.colour && m.pen == s.pen && m.x2 == s.x1 && m.y2 == s.y1) {
            const double dx1 = m.x2 - m.x1;
            const double dy1 = m.y2 - m.y1;
            const double dx2 = s.x2 - s.x1;
            const double dy2 = s.y2 - s.y1;
            const bool onward = dx1 * dy2 == dy1 * dx2 && dx1 * dx2 + dy1 * dy2 >= 0;
            Stroke grown = m;
            grown.x2 = s.x2;
            grown.y2 = s.y2;
            if (!onward || index_.contains(KeyOf(grown))) {
                return false;
            }
            index_.erase(KeyOf(m));
            m = grown;
            index_.emplace(KeyOf(m), i);
            return true;
        }
        // A stroke in between that the new one would pass under.
        const double margin = std::max(m.pen, s.pen) * Twips::kPerPixel;
        const QRectF other = QRectF(QPointF(m.x1, m.y1), QPointF(m.x2, m.y2))
                                 .normalized()
                                 .adjusted(-margin, -margin, margin, margin);
        if (other.intersects(reach.adjusted(-margin, -margin, margin, margin))) {
            return false;
        }
    }
    return false;
}

void RetainedLayer::Compact() {
    std::erase_if(strokes_, [](const Stroke& s) { return !s.alive; });
    dead_ = 0;
    index_.clear();
    for (std::size_t i = 0; i < strokes_.size(); ++i) {
        index_.emplace(KeyOf(strokes_[i]), i);
    }
}

QRect RetainedLayer::DrawLine(double x1, double y1, double x2, double y2, const QColor& colour) {
    const Stroke s{x1, y1, x2, y2, colour.rgba(), penWidth_, true};
    Ensure();
    if (!Extend(s)) {
        if (const auto found = index_.find(KeyOf(s)); found != index_.end()) {
            // Covered exactly by the new stroke at every scale.
            strokes_[found->second].alive = false;
            ++dead_;
            index_.erase(found);
        }
        strokes_.push_back(s);
        index_.emplace(KeyOf(s), strokes_.size() - 1);
        if (dead_ > kCompactFloor && dead_ * 2 > strokes_.size()) {
            Compact();
        }
    }
    Render(s);
    const int m = map_.Pixels(penWidth_) + 1;
    return QRect(map_.Point(x1, y1), map_.Point(x2, y2)).normalized().adjusted(-m, -m, m, m);
}

bool RetainedLayer::Clear() {
    if (strokes_.empty()) {
        return false;
    }
    strokes_.clear();
    index_.clear();
    dead_ = 0;
    image_.fill(Qt::transparent);
    return true;
}

void RetainedLayer::Paint(QPainter& p, const QRect& dirty) const {
    if (strokes_.empty() || image_.isNull()) {
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

DrawingSurface::DrawingSurface(QWidget* owner) : owner_(owner), layer_(owner) {}

void DrawingSurface::Add(const Element& e) {
    Item item{.e = &e, .left = static_cast<double>(e.left), .top = static_cast<double>(e.top)};
    item.fore = Resolve(e.fore, Qt::black);
    item.back = Resolve(e.back, Qt::white);
    if (e.kind == Kind::Label) {
        item.caption = QString::fromUtf8(e.caption);
        item.fore = Resolve(e.fore, QGuiApplication::palette().color(QPalette::ButtonText));
        // Captions wrap within their label; a label only one line high keeps
        // its caption on that line even where it runs a little past the
        // edge, rather than lose the words that would wrap out of sight.
        // Decided at the natural size, so that no scale wraps differently.
        const Twips natural;
        item.textFlags = Qt::AlignLeft | Qt::AlignTop;
        if (natural.ToPixels(e.height) <
            2 * QFontMetrics(ScaledFont(e.font, natural)).lineSpacing()) {
            item.textFlags |= Qt::TextSingleLine | Qt::TextDontClip;
        } else {
            item.textFlags |= Qt::TextWordWrap;
        }
    }
    items_.push_back(std::move(item));
    Place(items_.back());
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
        item.font = ScaledFont(e.font, map_);
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
        item.image = MakePicture(e.picture, map_, owner_->devicePixelRatioF());
        MoveImage(item);
        break;
    default:
        item.pen = map_.Pixels(e.penWidth);
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

void DrawingSurface::MoveImageLeft(int item, double left) {
    Item& it = items_[Index(item)];
    if (map_.ToPixels(left) == map_.ToPixels(it.left)) {
        it.left = left;
        return;
    }
    owner_->update(it.bounds);
    it.left = left;
    MoveImage(it);
    owner_->update(it.bounds);
}

void DrawingSurface::MoveImageTop(int item, double top) {
    Item& it = items_[Index(item)];
    if (map_.ToPixels(top) == map_.ToPixels(it.top)) {
        it.top = top;
        return;
    }
    owner_->update(it.bounds);
    it.top = top;
    MoveImage(it);
    owner_->update(it.bounds);
}

void DrawingSurface::Paint(QPainter& p, const QRect& dirty) const {
    if (!picture_.isNull()) {
        p.drawImage(map_.Origin(), picture_);
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
                PaintCrossHatch(p, r, Resolve(e.hatch, Qt::blue));
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
