// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/teach/narrator.h"

#include "ui/widgets/accessibility.h"
#include "ui/widgets/text_node.h"

namespace kelvara::ui {

namespace {

// Everything a reader hears from here.
const QString kThen = QStringLiteral(". ");

} // namespace

Narrator::Narrator(QWidget& window) : window_(window), values_(new TextNode(&window)) {
    values_->setAccessibleDescription(tr("Значения"));
}

void Narrator::SetValues(const std::vector<ValueLines::Line>& lines, const QRect& area) {
    if (set_ && lines == lines_ && area == area_) {
        return;
    }
    set_ = true;
    lines_ = lines;
    area_ = area;
    values_->setGeometry(area);
    values_->SetText(ValueLines::Spoken(lines));
}

QString Narrator::ValuesText() const {
    return values_->Text();
}

void Narrator::Tell(Command command, bool on, const std::vector<ValueLines::Line>& instant) {
    const QString values = ValueLines::Spoken(instant);
    const auto with = [&](const QString& what, const QString& more) {
        return more.isEmpty() ? what : what + kThen + more;
    };
    QString text;
    switch (command) {
    case Command::Freeze:
        text = on ? tr("Пауза") : tr("Продолжение");
        break;
    case Command::Step:
        text = with(tr("Шаг вперёд на 1/60 с"), values);
        break;
    case Command::Values:
        text = on ? with(tr("Значения показаны"), ValuesText()) : tr("Значения скрыты");
        break;
    case Command::Projector:
        text = on ? tr("Проекторный вид включён") : tr("Проекторный вид выключен");
        break;
    case Command::FullScreen:
        text = on ? tr("Во весь экран") : tr("Обычное окно");
        break;
    case Command::Copy:
        text = tr("Рисунок скопирован");
        break;
    default:
        return;
    }
    Announce(window_, text);
}

void Narrator::Saved(const QString& fileName) {
    Announce(window_, tr("Сохранено: %1").arg(fileName));
}

} // namespace kelvara::ui
