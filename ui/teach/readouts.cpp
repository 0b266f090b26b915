// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/teach/readouts.h"

#include "display/graphs.h"
#include "sim/run.h"
#include "sim/state.h"
#include "ui/layout/layout.h"
#include "ui/look/colours.h"
#include "ui/look/fonts.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLocale>
#include <QPainter>

#include <cmath>

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
// The pause sign at the band's right end, clear of the settings' text.
constexpr int kPauseRight = 8340;
constexpr int kPauseTop = 1020;
constexpr int kPauseHeight = 510;

const QString kGap = QStringLiteral("     ");

QLocale Russian() {
    return {QLocale::Russian, QLocale::Russia};
}

QString Fixed(double v, int decimals) {
    return Russian().toString(v, 'f', decimals);
}

// Up to `decimals`, without trailing zeros: 0,5; 0,167; 1.
QString Short(double v, int decimals) {
    QString s = Fixed(v, decimals);
    const QChar comma = Russian().decimalPoint().front();
    if (s.contains(comma)) {
        while (s.endsWith(QLatin1Char('0'))) {
            s.chop(1);
        }
        if (s.endsWith(comma)) {
            s.chop(1);
        }
    }
    return s;
}

// With its sign, a true minus, so that the figures do not shift as the
// value crosses zero; zero has none.
QString Signed(double v, int decimals) {
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(v * scale) / scale;
    if (rounded == 0) {
        return Fixed(0, decimals);
    }
    return (rounded > 0 ? QStringLiteral("+") : QStringLiteral("\u2212")) +
           Fixed(std::abs(rounded), decimals);
}

QColor TextColour() {
    return Resolve(kButtonText, Qt::black);
}

} // namespace

bool operator==(const Readouts::Piece& a, const Readouts::Piece& b) {
    return a.text == b.text && a.colour == b.colour && a.subscript == b.subscript;
}

QString Readouts::SettingText(Slider slider, int position, double omegaBase) {
    switch (slider) {
    case Slider::sldW: {
        SimState table;
        table.OmegaBase = omegaBase;
        SetOmegaFromStep(table, position);
        // The program's own value of pi, as its frequency table uses it.
        const double f = omegaBase > 0 ? table.Omega / (2 * omegaBase) : 0;
        return QStringLiteral("%1 Гц").arg(Fixed(f, 2));
    }
    case Slider::sldU:
        return QStringLiteral("%1 В").arg(Fixed(position / 10.0, 1));
    case Slider::sldR:
        break;
    }
    return QStringLiteral("%1 Ом").arg(position);
}

std::vector<Readouts::Line> Readouts::SettingLines(const SliderSettings& s, double omegaBase) {
    SimState table;
    table.OmegaBase = omegaBase;
    SetOmegaFromStep(table, s.frequencyStep);
    const double omega = table.Omega;
    const double um = s.amplitudeStep / 10.0;
    const double im = s.resistance > 0 ? um / s.resistance : 0;
    const QColor c = TextColour();
    const auto piece = [&](const QString& text) { return Piece{text, c, false}; };
    const Piece m{QStringLiteral("m"), c, true};
    return {
        {piece(QStringLiteral("f = ") + SettingText(Slider::sldW, s.frequencyStep, omegaBase) +
               kGap + QStringLiteral("ω = %1 рад/с").arg(Fixed(omega, 2)) + kGap +
               QStringLiteral("U")),
         m, piece(QStringLiteral(" = ") + SettingText(Slider::sldU, s.amplitudeStep, omegaBase))},
        {piece(QStringLiteral("R = ") + SettingText(Slider::sldR, s.resistance, omegaBase) + kGap +
               QStringLiteral("I")),
         m, piece(QStringLiteral(" = U")), m,
         piece(QStringLiteral(" / R = %1 А").arg(Short(im, 3)))},
    };
}

Readouts::Line Readouts::InstantLine(const InstantValues& v) {
    return {
        {QStringLiteral("u = %1 В").arg(Signed(v.u, 3)) + kGap, ToQColor(kVoltColour)},
        {QStringLiteral("i = %1 А").arg(Signed(v.i, 3)) + kGap, ToQColor(kCurrentColour)},
        {QStringLiteral("p = %1 Вт").arg(Fixed(v.p, 3)), ToQColor(kPowerColour)},
    };
}

InstantValues Readouts::InstantOf(const SimState& st) {
    if (st.GraphAmpScale == 0) {
        return {};
    }
    const double scale = st.GraphAmpScale;
    // The graphs plot u and i at one unit per GraphAmpScale twips, and the
    // power at 2.5 units per the same.
    return {(st.VoltGraphY0 - st.CurVoltY) / scale, (st.CurrentGraphY0 - st.CurCurrentY) / scale,
            (st.PowerGraphY0 - st.CurPowerY) / (2.5 * scale)};
}

QString Readouts::Text(const Line& line) {
    QString s;
    for (const Piece& piece : line) {
        s += piece.text;
    }
    return s;
}

QString Readouts::Spoken(const std::vector<Line>& lines) {
    QStringList sentences;
    for (const Line& line : lines) {
        QString s;
        for (const Piece& piece : line) {
            s += piece.subscript && piece.text == QLatin1String("m") ? QStringLiteral("ₘ")
                                                                     : piece.text;
        }
        sentences << s.replace(kGap, QStringLiteral(", ")).trimmed();
    }
    return sentences.join(QStringLiteral(". "));
}

QRect Readouts::Update(const Twips& map, const Look& look, bool valuesShown,
                       const SliderSettings& s, double omegaBase,
                       const std::optional<InstantValues>& instant, bool frozen) {
    std::vector<Line> lines;
    if (valuesShown) {
        lines = SettingLines(s, omegaBase);
        if (instant) {
            lines.push_back(InstantLine(*instant));
        }
    }
    const bool moved = map.Scale() != map_.Scale() || map.Origin() != map_.Origin();
    if (!moved && look == look_ && lines == lines_ && frozen == pause_) {
        return {};
    }
    QRect changed;
    for (const QRect& r : Areas()) {
        changed |= r;
    }
    lines_ = std::move(lines);
    pause_ = frozen;
    map_ = map;
    look_ = look;
    Place(map);
    for (const QRect& r : Areas()) {
        changed |= r;
    }
    return changed;
}

void Readouts::Place(const Twips& map) {
    const QFont font = MakeFont(kValueFont, map);
    const QFont small = MakeFont(kSubscriptFont, map);
    const QFontMetrics fm(font);
    const QFontMetrics sm(small);
    placed_.clear();
    for (std::size_t k = 0; k < lines_.size(); ++k) {
        // The settings go above the generator panel, the instant values
        // above the graphs they are read from.
        const bool instant = k == 2;
        const int left = instant ? kInstantLeft : kSettingsLeft;
        const int top = kFirstLineTop + (instant ? 0 : static_cast<int>(k) * kLineStep);
        const QPoint start = map.Point(left, top) + QPoint(0, fm.ascent());
        int width = 0;
        for (const Piece& piece : lines_[k]) {
            width += (piece.subscript ? sm : fm).horizontalAdvance(piece.text);
        }
        const QRect bounds(start.x(), start.y() - fm.ascent(), width,
                           fm.height() + fm.descent() / 2 + 1);
        placed_.push_back({lines_[k], start, bounds});
    }
    pauseRect_ = {};
    if (pause_) {
        const QFontMetrics pm(MakeFont(kPauseFont, map));
        const int height = map.ToPixels(kPauseHeight);
        const int pad = height / 3;
        const int width =
            pad + height / 2 + pad + pm.horizontalAdvance(QStringLiteral("Пауза")) + pad;
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

void Readouts::Paint(QPainter& p, const QRect& dirty) const {
    if (placed_.empty() && !pause_) {
        return;
    }
    const QFont font = MakeFont(kValueFont, map_);
    const QFont small = MakeFont(kSubscriptFont, map_);
    const int drop = QFontMetrics(font).ascent() / 4;
    const QColor face = Resolve(kButtonFace, Qt::white); // the window's, behind the bands
    for (const Placed& line : placed_) {
        if (!line.bounds.intersects(dirty)) {
            continue;
        }
        int x = line.baseline.x();
        for (const Piece& piece : line.line) {
            const QFont& f = piece.subscript ? small : font;
            p.setFont(f);
            // A trace's colour as the look draws that trace, then as text.
            p.setPen(look_.Text(look_.Trace(piece.colour), face));
            p.drawText(QPoint(x, line.baseline.y() + (piece.subscript ? drop : 0)), piece.text);
            x += QFontMetrics(f).horizontalAdvance(piece.text);
        }
    }
    if (pause_ && pauseRect_.intersects(dirty)) {
        const QRect r = pauseRect_;
        const int t = map_.Pixels(1);
        const int pad = r.height() / 3;
        const QColor ink = look_.Text(Qt::black, kPauseSignFill);
        p.fillRect(r, kPauseSignFill);
        p.fillRect(QRect(r.left(), r.top(), r.width(), t), ink);
        p.fillRect(QRect(r.left(), r.bottom() - t + 1, r.width(), t), ink);
        p.fillRect(QRect(r.left(), r.top(), t, r.height()), ink);
        p.fillRect(QRect(r.right() - t + 1, r.top(), t, r.height()), ink);
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
        p.drawText(text, Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Пауза"));
    }
}

} // namespace kelvara::ui
