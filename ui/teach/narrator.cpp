// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/teach/narrator.h"

#include "ui/widgets/accessibility.h"
#include "ui/widgets/text_node.h"

namespace kelvara::ui {

namespace {

// Everything a reader hears from here.
const QString kValuesNode = QStringLiteral("Значения");
const QString kFrozen = QStringLiteral("Пауза");
const QString kGoingOn = QStringLiteral("Продолжение");
const QString kStep = QStringLiteral("Шаг вперёд на 1/60 с");
const QString kValuesShown = QStringLiteral("Значения показаны");
const QString kValuesHidden = QStringLiteral("Значения скрыты");
const QString kProjectorOn = QStringLiteral("Проекторный вид включён");
const QString kProjectorOff = QStringLiteral("Проекторный вид выключен");
const QString kFullScreenOn = QStringLiteral("Во весь экран");
const QString kFullScreenOff = QStringLiteral("Обычное окно");
const QString kThen = QStringLiteral(". ");

} // namespace

Narrator::Narrator(QWidget& window) : window_(window), values_(new TextNode(&window)) {
    values_->setAccessibleDescription(kValuesNode);
}

void Narrator::SetValues(const std::vector<Readouts::Line>& lines, const QRect& area) {
    values_->setGeometry(area);
    values_->SetText(Readouts::Spoken(lines));
}

QString Narrator::ValuesText() const {
    return values_->Text();
}

void Narrator::Tell(Command command, bool on, const std::vector<Readouts::Line>& instant) {
    const QString values = Readouts::Spoken(instant);
    const auto with = [&](const QString& what, const QString& more) {
        return more.isEmpty() ? what : what + kThen + more;
    };
    QString text;
    switch (command) {
    case Command::Freeze:
        text = on ? kFrozen : kGoingOn;
        break;
    case Command::Step:
        text = with(kStep, values);
        break;
    case Command::Values:
        text = on ? with(kValuesShown, ValuesText()) : kValuesHidden;
        break;
    case Command::Projector:
        text = on ? kProjectorOn : kProjectorOff;
        break;
    case Command::FullScreen:
        text = on ? kFullScreenOn : kFullScreenOff;
        break;
    default:
        return;
    }
    Announce(window_, text);
}

} // namespace kelvara::ui
