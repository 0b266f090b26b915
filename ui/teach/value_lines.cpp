// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/teach/value_lines.h"

#include "display/graphs.h"
#include "sim/lesson.h"
#include "sim/state.h"
#include "ui/layout/layout.h"
#include "ui/look/colours.h"
#include "ui/teach/notation.h"

namespace kelvara::ui {

namespace {

const QString kGap = QStringLiteral("     ");

QColor TextColour() {
    return Resolve(kButtonText, Qt::black);
}

} // namespace

QString ValueLines::SettingText(Slider slider, int position, double omegaBase) {
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

std::vector<ValueLines::Line> ValueLines::SettingLines(const SliderSettings& s, double omegaBase) {
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

std::vector<ValueLines::Line> ValueLines::EffectiveLines(const SliderSettings& s,
                                                         double omegaBase) {
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

ValueLines::Line ValueLines::InstantPieces(const InstantValues& v) {
    return {
        {tr("u = %1 В").arg(Signed(v.u, 3)), ToQColor(kVoltColour)},
        {tr("i = %1 А").arg(Signed(v.i, 3)), ToQColor(kCurrentColour)},
        {tr("p = %1 Вт").arg(Fixed(v.p, 3)), ToQColor(kPowerColour)},
    };
}

ValueLines::Line ValueLines::InstantLine(const InstantValues& v) {
    Line line = InstantPieces(v);
    line[0].text += kGap;
    line[1].text += kGap;
    return line;
}

InstantValues ValueLines::InstantOf(const SimState& st) {
    return InstantOf(st, st.CurVoltY, st.CurCurrentY, st.CurPowerY);
}

InstantValues ValueLines::InstantOf(const SimState& st, double voltY, double currentY,
                                    double powerY) {
    if (st.GraphAmpScale == 0) {
        return {};
    }
    return {VoltGraph(st).ValueAt(voltY), CurrentGraph(st).ValueAt(currentY),
            PowerGraph(st).ValueAt(powerY)};
}

QString ValueLines::Text(const Line& line) {
    QString s;
    for (const Piece& piece : line) {
        s += piece.text;
    }
    return s;
}

QString ValueLines::Spoken(const std::vector<Line>& lines) {
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

void ValueLines::Update(bool valuesShown, const SliderSettings& s, double omegaBase,
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
    lines_ = std::move(lines);
    instantShown_ = valuesShown && instant.has_value();
    pause_ = frozen;
}

std::vector<ValueLines::Line> ValueLines::InstantLines() const {
    if (!instantShown_) {
        return {};
    }
    return {lines_.back()};
}

std::vector<ValueLines::Line> ValueLines::Heard() const {
    std::vector<Line> heard = lines_;
    if (instantShown_ && !pause_) {
        heard.pop_back();
    }
    return heard;
}

} // namespace kelvara::ui
