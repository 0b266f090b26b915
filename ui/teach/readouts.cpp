// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/teach/readouts.h"

#include "ui/lang/language.h"
#include "ui/layout/layout.h"
#include "ui/look/colours.h"
#include "ui/look/fonts.h"
#include "ui/paint/surface.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRegion>

#include <algorithm>

namespace kelvara::ui {

namespace {

// The window's own face, no smaller than the sliders' captions (9.75 pt).
constexpr FontSpec kValueFont{"Arial", 12};
constexpr FontSpec kSubscriptFont{"Arial", 9};
constexpr FontSpec kPauseFont{"Arial", 13.5};

// The empty band between the title and the generator panel, and the one
// between the title and «Графики» (twips).
constexpr int kSettingsLeft = 600;
constexpr int kInstantLeft = 8490;
constexpr int kFirstLineTop = 915;
constexpr int kLineStep = 330;
// The effective values inside the conductor loop, between the ammeter and
// the wire on the right, above the resistor's letter: the face is empty there.
constexpr int kEffectiveLeft = 4470;
constexpr int kEffectiveTop = 6300;
// The pause sign at the band's right end, clear of the settings' text.
constexpr int kPauseRight = 8340;
constexpr int kPauseTop = 1020;
constexpr int kPauseHeight = 510;

} // namespace

QRegion Readouts::Update(const Twips& map, const Look& look, const ValueLines& values) {
    const std::vector<Line>& lines = values.Lines();
    const bool frozen = values.PauseShown();
    // Another language: the pause sign's word too.
    const bool moved = map.Scale() != map_.Scale() || map.Origin() != map_.Origin() ||
                       CurrentLanguage() != language_;
    if (!moved && look == look_ && lines == lines_ && frozen == pause_) {
        return {};
    }
    // Only what changed: the instant values change with every pass, far
    // from the effective values in the loop.
    const bool all = moved || look != look_ || lines.size() != lines_.size();
    language_ = CurrentLanguage();
    const std::vector<Line> before = lines_;
    const std::vector<QRect> areasBefore = Areas();
    const bool pauseBefore = pause_;
    lines_ = lines;
    pause_ = frozen;
    map_ = map;
    look_ = look;
    Place(map, before, all);
    const std::vector<QRect> areasAfter = Areas();
    QRegion changed;
    for (std::size_t k = 0; k < areasBefore.size(); ++k) {
        if (all || k >= before.size() || !(before[k] == lines_[k])) {
            changed += areasBefore[k];
        }
    }
    for (std::size_t k = 0; k < areasAfter.size(); ++k) {
        if (all || k >= before.size() || !(before[k] == lines_[k])) {
            changed += areasAfter[k];
        }
    }
    if (pauseBefore != pause_) {
        changed += pauseRect_;
    }
    return changed;
}

void Readouts::Place(const Twips& map, const std::vector<Line>& before, bool all) {
    if (all) {
        font_ = MakeFont(kValueFont, map);
        small_ = MakeFont(kSubscriptFont, map);
        glyphs_ = GlyphLine(font_);
    }
    const QFontMetrics fm(font_);
    const QFontMetrics sm(small_);
    drop_ = fm.ascent() / 4;
    std::vector<Placed> placed;
    for (std::size_t k = 0; k < lines_.size(); ++k) {
        // Measuring text is the dear part: a line as it was stays where it was.
        if (!all && k < before.size() && k < placed_.size() && before[k] == lines_[k]) {
            placed.push_back(std::move(placed_[k]));
            continue;
        }
        // The settings go above the generator panel, the effective values
        // between the meter and the resistor they describe, the instant
        // values above the graphs they are read from.
        const auto n = static_cast<int>(k);
        int left = kSettingsLeft;
        int top = kFirstLineTop + n * kLineStep;
        if (n >= ValueLines::kSettingLineCount + ValueLines::kEffectiveLineCount) {
            left = kInstantLeft;
            top = kFirstLineTop;
        } else if (n >= ValueLines::kSettingLineCount) {
            left = kEffectiveLeft;
            top = kEffectiveTop + (n - ValueLines::kSettingLineCount) * kLineStep;
        }
        const bool instant = n >= ValueLines::kSettingLineCount + ValueLines::kEffectiveLineCount;
        const bool glyphs =
            instant && std::all_of(lines_[k].begin(), lines_[k].end(), [this](const Piece& piece) {
                return !piece.subscript && glyphs_.Sets(piece.text);
            });
        const QPoint start = map.Point(left, top) + QPoint(0, fm.ascent());
        int width = 0;
        std::vector<int> x;
        for (const Piece& piece : lines_[k]) {
            x.push_back(start.x() + width);
            width += glyphs ? glyphs_.Width(piece.text)
                            : (piece.subscript ? sm : fm).horizontalAdvance(piece.text);
        }
        const QRect bounds(start.x(), start.y() - fm.ascent(), width,
                           fm.height() + fm.descent() / 2 + 1);
        placed.push_back({lines_[k], start, std::move(x), bounds, glyphs});
    }
    placed_ = std::move(placed);
    pauseRect_ = {};
    if (pause_) {
        const QFontMetrics pm(MakeFont(kPauseFont, map));
        const int height = map.ToPixels(kPauseHeight);
        const int pad = height / 3;
        const int width = pad + height / 2 + pad + pm.horizontalAdvance(tr("Пауза")) + pad;
        const QPoint topRight = map.Point(kPauseRight, kPauseTop);
        pauseRect_ = QRect(topRight.x() - width, topRight.y(), width, height);
    }
}

std::vector<QRect> Readouts::Areas() const {
    std::vector<QRect> areas;
    for (const Placed& p : placed_) {
        areas.push_back(p.bounds);
    }
    if (pause_) {
        areas.push_back(pauseRect_);
    }
    return areas;
}

void Readouts::Paint(QPainter& p, const QRegion& dirty) const {
    if (placed_.empty() && !pause_) {
        return;
    }
    const QColor face = Resolve(kButtonFace, Qt::white); // the window's, behind the bands
    for (const Placed& line : placed_) {
        if (!dirty.intersects(line.bounds)) {
            continue;
        }
        for (std::size_t k = 0; k < line.line.size(); ++k) {
            const Piece& piece = line.line[k];
            p.setFont(piece.subscript ? small_ : font_);
            // A trace's colour as the look draws that trace, then as text.
            p.setPen(look_.Text(look_.Trace(piece.colour), face));
            const QPoint at(line.x[k], line.baseline.y() + (piece.subscript ? drop_ : 0));
            if (line.glyphs) {
                glyphs_.Draw(p, at, piece.text);
            } else {
                p.drawText(at, piece.text);
            }
        }
    }
    if (pause_ && dirty.intersects(pauseRect_)) {
        const QRect r = pauseRect_;
        const int t = map_.Pixels(1);
        const int pad = r.height() / 3;
        const QColor ink = look_.Text(Qt::black, kPauseSignFill);
        p.fillRect(r, kPauseSignFill);
        FillFrame(p, r, t, ink);
        // The pause symbol: two bars, then the word.
        const int bar = std::max(1, r.height() / 8);
        const int barHeight = r.height() - 2 * pad + 2;
        const int barTop = r.top() + (r.height() - barHeight) / 2;
        p.fillRect(QRect(r.left() + pad, barTop, bar, barHeight), ink);
        p.fillRect(QRect(r.left() + pad + 2 * bar, barTop, bar, barHeight), ink);
        p.setFont(MakeFont(kPauseFont, map_));
        p.setPen(ink);
        const QRect text(r.left() + pad + r.height() / 2 + pad / 2, r.top(),
                         r.width() - pad - r.height() / 2 - pad / 2, r.height());
        p.drawText(text, Qt::AlignVCenter | Qt::AlignLeft, tr("Пауза"));
    }
}

} // namespace kelvara::ui
