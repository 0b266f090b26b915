// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/teach/readouts.h"

#include "ui/lang/language.h"

#include "display/graphs.h"
#include "sim/lesson.h"
#include "sim/state.h"
#include "ui/layout/layout.h"
#include "ui/look/colours.h"
#include "ui/look/fonts.h"
#include "ui/paint/surface.h"
#include "ui/teach/graph_overlay.h"
#include "ui/teach/notation.h"

#include <QFontMetrics>
#include <QGuiApplication>
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

const QString kGap = QStringLiteral("     ");

QColor TextColour() {
    return Resolve(kButtonText, Qt::black);
}

} // namespace

Readouts::Readouts() : graphs_(std::make_unique<GraphOverlay>()) {}

Readouts::~Readouts() = default;

QRegion Readouts::UpdateGraphs(bool graphsShown, const SliderSettings& s, const SimState& st) {
    return graphs_->Update(map_, look_, !lines_.empty() && graphsShown, s, st);
}

QRegion Readouts::PointAt(std::optional<QPoint> pointer, const SweepRecord& record,
                          const SimState& st) {
    return graphs_->Point(pointer, record, st);
}

QString Readouts::SettingText(Slider slider, int position, double omegaBase) {
    switch (slider) {
    case Slider::sldW:
        return tr("%1 Гц").arg(Fixed(SettingValuesOf(position, 0, 0, omegaBase).frequency, 2));
    case Slider::sldU:
        return tr("%1 В").arg(Fixed(AmplitudeOf(position), 1));
    case Slider::sldR:
        break;
    }
    return tr("%1 Ом").arg(position);
}

std::vector<Readouts::Line> Readouts::SettingLines(const SliderSettings& s, double omegaBase) {
    const SettingValues v =
        SettingValuesOf(s.frequencyStep, s.amplitudeStep, s.resistance, omegaBase);
    const QColor c = TextColour();
    const auto piece = [&](const QString& text) { return Piece{text, c, false}; };
    const Piece m{QStringLiteral("m"), c, true};
    return {
        {piece(QStringLiteral("f = ") + SettingText(Slider::sldW, s.frequencyStep, omegaBase) +
               kGap + tr("ω = %1 рад/с").arg(Fixed(v.omega, 2)) + kGap + QStringLiteral("U")),
         m, piece(QStringLiteral(" = ") + SettingText(Slider::sldU, s.amplitudeStep, omegaBase))},
        {piece(QStringLiteral("R = ") + SettingText(Slider::sldR, s.resistance, omegaBase) + kGap +
               QStringLiteral("I")),
         m, piece(QStringLiteral(" = U")), m, piece(tr(" / R = %1 А").arg(Short(v.im, 3)))},
    };
}

std::vector<Readouts::Line> Readouts::EffectiveLines(const SliderSettings& s, double omegaBase) {
    const SettingValues v =
        SettingValuesOf(s.frequencyStep, s.amplitudeStep, s.resistance, omegaBase);
    const QColor c = TextColour();
    const QColor volt = ToQColor(kVoltColour);
    const QColor current = ToQColor(kCurrentColour);
    const QColor power = ToQColor(kPowerColour);
    return {
        {{tr("Действующие значения:"), c}},
        {{QStringLiteral("U = U"), volt},
         {QStringLiteral("m"), volt, true},
         {tr(" / √2 = %1 В").arg(Significant(v.u)), volt}},
        {{QStringLiteral("I = I"), current},
         {QStringLiteral("m"), current, true},
         {tr(" / √2 = %1 А").arg(Significant(v.i)), current}},
        {{tr("Средняя мощность:"), c}},
        {{tr("P = U · I = %1 Вт").arg(Significant(v.p)), power}},
        {{tr("Период T = 1 / f = %1 с").arg(Significant(v.period)), c}},
    };
}

Readouts::Line Readouts::InstantPieces(const InstantValues& v) {
    return {
        {tr("u = %1 В").arg(Signed(v.u, 3)), ToQColor(kVoltColour)},
        {tr("i = %1 А").arg(Signed(v.i, 3)), ToQColor(kCurrentColour)},
        {tr("p = %1 Вт").arg(Fixed(v.p, 3)), ToQColor(kPowerColour)},
    };
}

Readouts::Line Readouts::InstantLine(const InstantValues& v) {
    Line line = InstantPieces(v);
    line[0].text += kGap;
    line[1].text += kGap;
    return line;
}

InstantValues Readouts::InstantOf(const SimState& st) {
    return InstantOf(st, st.CurVoltY, st.CurCurrentY, st.CurPowerY);
}

InstantValues Readouts::InstantOf(const SimState& st, double voltY, double currentY,
                                  double powerY) {
    if (st.GraphAmpScale == 0) {
        return {};
    }
    return {VoltGraph(st).ValueAt(voltY), CurrentGraph(st).ValueAt(currentY),
            PowerGraph(st).ValueAt(powerY)};
}

QString Readouts::Text(const Line& line) {
    QString s;
    for (const Piece& piece : line) {
        s += piece.text;
    }
    return s;
}

QString Readouts::Spoken(const std::vector<Line>& lines) {
    QString spoken;
    for (const Line& line : lines) {
        QString s;
        for (const Piece& piece : line) {
            s += piece.subscript && piece.text == QLatin1String("m") ? QStringLiteral("ₘ")
                                                                     : piece.text;
        }
        // A heading ("Действующие значения:") runs on into what it heads.
        if (!spoken.isEmpty()) {
            spoken +=
                spoken.endsWith(QLatin1Char(':')) ? QStringLiteral(" ") : QStringLiteral(". ");
        }
        spoken += s.replace(kGap, QStringLiteral(", ")).trimmed();
    }
    return spoken;
}

QRegion Readouts::Update(const Twips& map, const Look& look, bool valuesShown,
                         const SliderSettings& s, double omegaBase,
                         const std::optional<InstantValues>& instant, bool frozen) {
    std::vector<Line> lines;
    if (valuesShown) {
        if (settingLines_.empty() || !(s == settings_) || omegaBase != omegaBase_ ||
            CurrentLanguage() != settingsLanguage_) {
            settingLines_ = SettingLines(s, omegaBase);
            for (Line& line : EffectiveLines(s, omegaBase)) {
                settingLines_.push_back(std::move(line));
            }
            settings_ = s;
            omegaBase_ = omegaBase;
            settingsLanguage_ = CurrentLanguage();
        }
        lines = settingLines_;
        if (instant) {
            lines.push_back(InstantLine(*instant));
        }
    }
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
    const std::vector<QRect> areasBefore = TextAreas();
    const bool pauseBefore = pause_;
    lines_ = std::move(lines);
    instantShown_ = valuesShown && instant.has_value();
    pause_ = frozen;
    map_ = map;
    look_ = look;
    Place(map, before, all);
    const std::vector<QRect> areasAfter = TextAreas();
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
        if (n >= kSettingLineCount + kEffectiveLineCount) {
            left = kInstantLeft;
            top = kFirstLineTop;
        } else if (n >= kSettingLineCount) {
            left = kEffectiveLeft;
            top = kEffectiveTop + (n - kSettingLineCount) * kLineStep;
        }
        const bool instant = n >= kSettingLineCount + kEffectiveLineCount;
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
    std::vector<QRect> areas = TextAreas();
    for (const QRect& r : graphs_->Areas()) {
        areas.push_back(r);
    }
    return areas;
}

std::vector<QRect> Readouts::TextAreas() const {
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
    graphs_->Paint(p, dirty);
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
