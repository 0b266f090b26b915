// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/teach/graph_overlay.h"

#include "ui/lang/language.h"

#include "display/graphs.h"
#include "sim/lesson.h"
#include "sim/state.h"
#include "ui/layout/layout.h"
#include "ui/look/colours.h"
#include "ui/look/fonts.h"
#include "ui/paint/surface.h"
#include "ui/teach/notation.h"
#include "ui/teach/value_lines.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>

namespace kelvara::ui {

namespace {

// The numbers as large as the sliders' captions; the cursor's reading as
// the values above the graphs.
constexpr FontSpec kNumberFont{"Arial", 9.75};
constexpr FontSpec kReadingFont{"Arial", 12};
// The traces' pen, in pixels of the natural size.
constexpr int kTracePen = 2;
// The numbers of a vertical axis start right of its ticks and arrowhead
// (twips past the axis); those of a time axis hang below the ticks.
constexpr int kNumberLeft = 180;
constexpr int kNumberBelow = 60;
// Time marks, in seconds, and the time whose number carries the unit: the
// last whole mark before the arrowhead and the letter t.
constexpr std::array<int, 4> kSecondMarks{3, 6, 9, 12};

QColor TextColour() {
    return Resolve(kButtonText, Qt::black);
}

QColor PanelColour() {
    return Resolve(kWindowBackground, Qt::white);
}

struct Graph {
    GraphScale scale;
    QColor colour;
    const char* symbol;
    const char* unit;
    double mean;               // the effective value, or the mean power
    std::vector<double> marks; // the first carries the unit
};

QString Mark(double v) {
    return (v < 0 ? QStringLiteral("\u2212") : QString()) + Short(std::abs(v), 1);
}

} // namespace

QRegion GraphOverlay::Update(const Twips& map, const Look& look, bool shown,
                             const SliderSettings& s, const SimState& st) {
    const bool sameSettings = s.amplitudeStep == amplitudeStep_ && s.resistance == resistance_;
    if (shown == shown_ && map.Scale() == map_.Scale() && map.Origin() == map_.Origin() &&
        look == look_ && (!shown || (sameSettings && CurrentLanguage() == language_))) {
        return {};
    }
    language_ = CurrentLanguage();
    QRegion changed = shown_ ? QRegion(panel_) : QRegion();
    shown_ = shown;
    map_ = map;
    look_ = look;
    amplitudeStep_ = s.amplitudeStep;
    resistance_ = s.resistance;
    Place(s, st);
    if (shown_) {
        changed += panel_;
    }
    return changed;
}

void GraphOverlay::Place(const SliderSettings& s, const SimState& st) {
    const Element* panel = FindElement(QStringLiteral("Shape4"));
    panel_ = panel != nullptr ? map_.Rect(panel->left, panel->top, panel->width, panel->height)
                              : QRect();
    levels_.clear();
    numbers_.clear();
    if (!shown_ || st.GraphAmpScale == 0) {
        reading_.reset();
        card_.clear();
        return;
    }
    numberFont_ = MakeFont(kNumberFont, map_);
    readingFont_ = MakeFont(kReadingFont, map_);
    readingAscent_ = QFontMetrics(readingFont_).ascent();
    numberAscent_ = QFontMetrics(numberFont_).ascent();
    numberGlyphs_ = GlyphLine(numberFont_);
    readingGlyphs_ = GlyphLine(readingFont_);
    cardWidths_.clear();
    const QFontMetrics fm(numberFont_);
    // Only the amplitude and the resistance move the levels.
    const SettingValues v = SettingValuesOf(0, s.amplitudeStep, s.resistance, 0);
    const std::array<Graph, 3> graphs{{
        {VoltGraph(st),
         ToQColor(kVoltColour),
         "U",
         QT_TRANSLATE_NOOP("kelvara::ui::GraphOverlay", "В"),
         v.u,
         {1, 0.5, -0.5, -1}},
        {CurrentGraph(st),
         ToQColor(kCurrentColour),
         "I",
         QT_TRANSLATE_NOOP("kelvara::ui::GraphOverlay", "А"),
         v.i,
         {1, 0.5, -0.5, -1}},
        {PowerGraph(st),
         ToQColor(kPowerColour),
         "P",
         QT_TRANSLATE_NOOP("kelvara::ui::GraphOverlay", "Вт"),
         v.p,
         {1, 0.8, 0.6, 0.4, 0.2}},
    }};
    const double right = SweepX(st, st.SweepSeconds);
    const int pen = map_.Pixels(look_.StrokePen(kTracePen));
    levelLeft_ = map_.Point(st.GraphX0, 0).x();
    levelRight_ = map_.Point(right, 0).x();
    const QColor text = TextColour();
    for (const Graph& g : graphs) {
        const QString unit = tr(g.unit);
        for (const double mark : g.marks) {
            const QString t =
                Mark(mark) + (mark == g.marks.front() ? QStringLiteral(" ") + unit : "");
            const QPoint at = map_.Point(st.GraphX0 + kNumberLeft, g.scale.Y(mark));
            numbers_.push_back(Placed(
                t, text,
                QRect(at.x(), at.y() - fm.height() / 2, fm.horizontalAdvance(t), fm.height())));
        }
        for (const int sec : kSecondMarks) {
            const QString number = QString::number(sec);
            const QString t = number + (sec == kSecondMarks.back() ? tr(" с") : "");
            const QPoint at = map_.Point(SweepX(st, sec), g.scale.zeroY + kNumberBelow);
            numbers_.push_back(Placed(t, text,
                                      QRect(at.x() - fm.horizontalAdvance(number) / 2, at.y(),
                                            fm.horizontalAdvance(t), fm.height())));
        }
        // At the height the trace would have for that value, rounded down
        // as the traces are.
        const int y = static_cast<int>(std::floor(g.scale.Y(g.mean)));
        const QString label = QStringLiteral("%1 = %2 %3")
                                  .arg(QString::fromUtf8(g.symbol), Significant(g.mean), unit);
        const QPoint end = map_.Point(right, y);
        const int width = fm.horizontalAdvance(label);
        const int above = end.y() - pen / 2 - map_.Pixels(2);
        levels_.push_back(
            {y, g.colour,
             Placed(label, g.colour,
                    QRect(end.x() - width, above - fm.height(), width, fm.height()))});
    }
    if (reading_) {
        PlaceCard(st);
    }
}

// The patch: the text's ink, the pixel its smoothed edges may touch beyond
// what the font measures, and a pixel of the panel around it (of the
// natural size); no more, so that it hides as little of the traces and the
// grid as it can.
GraphOverlay::Label GraphOverlay::Placed(const QString& text, const QColor& colour,
                                         const QRect& rect) const {
    const QRect ink = QFontMetrics(numberFont_)
                          .tightBoundingRect(text)
                          .translated(rect.left(), rect.top() + numberAscent_);
    const int margin = 1 + map_.Pixels(1);
    return {text, colour, rect, ink.adjusted(-margin, -margin, margin, margin)};
}

QRegion GraphOverlay::Point(std::optional<QPoint> pointer, const SweepRecord& record,
                            const SimState& st) {
    std::optional<SweepRecord::Pass> reading;
    if (shown_ && pointer && panel_.contains(*pointer) && !levels_.empty()) {
        // Within two pixels of a point drawn; beyond the trace's end, none.
        reading = record.Nearest(map_.TwipsAt(*pointer).x(), 2.0 * Twips::kPerPixel / map_.Scale());
    }
    // Read and placed again only when there is something else to show.
    if (reading == reading_ && pointer == pointer_) {
        return {};
    }
    const QRegion before = CursorArea();
    const QRect card = cardRect_;
    pointer_ = pointer;
    const bool same = reading == reading_;
    reading_ = reading;
    if (reading_) {
        PlaceCard(st);
    } else {
        card_.clear();
        cursor_ = cardRect_ = {};
    }
    if (same && cardRect_ == card) {
        return {};
    }
    return before + CursorArea();
}

void GraphOverlay::PlaceCard(const SimState& st) {
    const SweepRecord::Pass& pass = *reading_;
    const InstantValues v = ValueLines::InstantOf(st, pass.voltY, pass.currentY, pass.powerY);
    const double t = SweepTimeAt(st, pass.x);
    const ValueLines::Line values = ValueLines::InstantPieces(v);
    const std::array<std::pair<QString, QColor>, 4> lines{{
        {tr("t = %1 с").arg(Fixed(t, 2)), TextColour()},
        {values[0].text, values[0].colour},
        {values[1].text, values[1].colour},
        {values[2].text, values[2].colour},
    }};
    const QFontMetrics fm(readingFont_);
    const int pad = map_.Pixels(4);
    int width = 0;
    for (const auto& line : lines) {
        width = std::max(width, CardTextWidth(line.first));
    }
    const QSize size(width + 2 * pad, static_cast<int>(lines.size()) * fm.height() + 2 * pad);
    const int x = map_.Point(pass.x, 0).x();
    cursor_ = QRect(x, panel_.top() + 1, map_.Pixels(1), panel_.height() - 2);
    // Beside the cursor at the pointer's height, on the side with room.
    const int gap = map_.Pixels(8);
    int left = x + gap;
    if (left + size.width() > panel_.right()) {
        left = x - gap - size.width();
    }
    const int y = pointer_ ? pointer_->y() : panel_.top();
    const int top = std::clamp(y - size.height() / 2, panel_.top() + 1,
                               std::max(panel_.top() + 1, panel_.bottom() - size.height()));
    cardRect_ = QRect(QPoint(left, top), size);
    card_.clear();
    for (std::size_t k = 0; k < lines.size(); ++k) {
        card_.push_back(
            {lines[k].first,
             lines[k].second,
             QRect(left + pad, top + pad + static_cast<int>(k) * fm.height(), width, fm.height()),
             {}});
    }
}

// The digits of the window's faces are all as wide, and a plus as a minus;
// so no reading is wider than its shape.
int GraphOverlay::CardTextWidth(const QString& text) {
    QString shape = text;
    for (QChar& c : shape) {
        if (c.isDigit()) {
            c = QLatin1Char('0');
        } else if (c == QLatin1Char('+')) {
            c = QChar(0x2212);
        }
    }
    auto known = cardWidths_.constFind(shape);
    if (known == cardWidths_.cend()) {
        known =
            cardWidths_.insert(shape, readingGlyphs_.Sets(shape)
                                          ? readingGlyphs_.Width(shape)
                                          : QFontMetrics(readingFont_).horizontalAdvance(shape));
    }
    return *known;
}

std::vector<QRect> GraphOverlay::Areas() const {
    std::vector<QRect> areas;
    if (!shown_) {
        return areas;
    }
    const int pen = map_.Pixels(look_.StrokePen(kTracePen));
    for (const Level& level : levels_) {
        const int y = map_.Point(0, level.y).y() - pen / 2;
        areas.emplace_back(QPoint(levelLeft_, y), QPoint(levelRight_, y + pen - 1));
        areas.push_back(level.label.rect | level.label.patch);
    }
    for (const Label& l : numbers_) {
        areas.push_back(l.rect | l.patch);
    }
    if (reading_) {
        areas.push_back(cursor_);
        areas.push_back(cardRect_);
    }
    return areas;
}

QRegion GraphOverlay::CursorArea() const {
    if (!reading_) {
        return {};
    }
    return QRegion(cursor_) + cardRect_;
}

void GraphOverlay::Paint(QPainter& p, const QRegion& dirty) const {
    if (!shown_ || !dirty.intersects(panel_)) {
        return;
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor panel = PanelColour();
    // The numbers and labels lie where the cursor and its card pass with
    // every pass: set glyph by glyph, on the baseline of a line as high as
    // their boxes and clipped to them, where the face has every character.
    const auto text = [&](const Label& l, bool level = false) {
        if (!dirty.intersects(l.rect | l.patch)) {
            return;
        }
        p.fillRect(l.patch, panel);
        p.setPen(look_.Text(level ? look_.Level(l.colour) : look_.Trace(l.colour), panel));
        if (numberGlyphs_.Sets(l.text)) {
            p.save();
            p.setClipRect(l.rect, Qt::IntersectClip);
            numberGlyphs_.Draw(p, QPoint(l.rect.left(), l.rect.top() + numberAscent_), l.text);
            p.restore();
        } else {
            p.drawText(l.rect, Qt::AlignLeft | Qt::AlignVCenter, l.text);
        }
    };
    // The levels drawn as a trace would be at their heights, dashed.
    const int pen = map_.Pixels(look_.StrokePen(kTracePen));
    p.setFont(numberFont_);
    for (const Level& level : levels_) {
        const int y = map_.Point(0, level.y).y();
        // Dashed as a pen of Qt::DashLine draws it (a dash of four pen
        // widths, a gap of two, from the left end), but filled dash by dash
        // only where the region needs it: a pass repaints a few pixels of a
        // level at most, and stroking a whole dashed line is dear.
        // (A pen of width 0 draws a pixel wide.)
        const int width = std::max(1, pen);
        const QRect line(levelLeft_, y - width / 2, levelRight_ - levelLeft_, width);
        const int period = 6 * width;
        const QColor colour = look_.Level(level.colour);
        for (const QRect& part : dirty.intersected(line)) {
            for (int x = levelLeft_ + (part.left() - levelLeft_) / period * period;
                 x <= part.right(); x += period) {
                p.fillRect(QRect(x, line.top(), 4 * width, width) & line & part, colour);
            }
        }
        text(level.label, true);
    }
    for (const Label& l : numbers_) {
        text(l);
    }
    if (reading_ && dirty.intersects(cardRect_)) {
        const QColor ink = look_.Text(TextColour(), panel);
        const int t = map_.Pixels(1);
        FillWithin(p, dirty, cardRect_, ink);
        FillWithin(p, dirty, cardRect_.adjusted(t, t, -t, -t), panel);
        // The reading is written anew with every pass under a moving
        // pointer: glyph by glyph where the face has them all, as shaping
        // it would cost more than the rest of the card.
        p.setFont(readingFont_);
        for (const Label& l : card_) {
            p.setPen(look_.Text(look_.Trace(l.colour), panel));
            const QPoint baseline(l.rect.left(), l.rect.top() + readingAscent_);
            if (readingGlyphs_.Sets(l.text)) {
                readingGlyphs_.Draw(p, baseline, l.text);
            } else {
                p.drawText(baseline, l.text);
            }
        }
    }
    if (reading_) {
        FillWithin(p, dirty, cursor_, look_.Graphic(kCursorLine, panel));
    }
    p.restore();
}

} // namespace kelvara::ui
