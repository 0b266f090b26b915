// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/teach/sweep_table.h"

#include "ui/lang/language.h"
#include "ui/teach/sweep_record.h"
#include "ui/teach/value_lines.h"

#include <QLocale>
#include <QStringList>

namespace kelvara::ui {

namespace {

// Spreadsheets take the line ends of either system; RFC 4180 names these.
const QString kEnd = QStringLiteral("\r\n");

} // namespace

QChar SweepTable::Separator() {
    // Where the comma is the decimal sign, the list separator is «;».
    return NumberLocale().decimalPoint() == QLatin1String(",") ? QLatin1Char(';')
                                                               : QLatin1Char(',');
}

QByteArray SweepTable::Csv(const SweepRecord& record, double omegaBase) {
    QLocale numbers = NumberLocale();
    numbers.setNumberOptions(QLocale::OmitGroupSeparator);
    const QChar sep = Separator();
    const auto& s = record.LastSliders();
    const SliderSettings settings{s[0], s[1], s[2]};

    // The settings of the sweep's last pass and what V shows for them.
    QString text;
    const auto comment = [&](const QString& line) { text += QStringLiteral("# ") + line + kEnd; };
    comment(QStringLiteral("f = ") + ValueLines::SettingText(Slider::sldW, s[0], omegaBase));
    comment(QStringLiteral("Uₘ = ") + ValueLines::SettingText(Slider::sldU, s[1], omegaBase));
    comment(QStringLiteral("R = ") + ValueLines::SettingText(Slider::sldR, s[2], omegaBase));
    const std::vector<ValueLines::Line> effective = ValueLines::EffectiveLines(settings, omegaBase);
    for (const ValueLines::Line& line : effective) {
        comment(ValueLines::Spoken({line}));
    }

    text += QStringList{tr("t (с)"), tr("u (В)"), tr("i (А)"), tr("p (Вт)")}.join(sep) + kEnd;
    // Six places: a millionth of a second, a volt, an ampere and a watt,
    // finer than the clock and the sliders.
    const auto number = [&](double v) { return numbers.toString(v, 'f', 6); };
    for (const SweepRecord::Pass& p : record.Passes()) {
        text += number(p.t) + sep + number(p.u) + sep + number(p.i) + sep + number(p.p) + kEnd;
    }
    // The mark of UTF-8 first, by which a spreadsheet knows the encoding.
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

} // namespace kelvara::ui
