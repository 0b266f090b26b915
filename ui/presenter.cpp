// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/presenter.h"

#include "ui/form1.h"
#include "ui/help_panel.h"

#include <QAbstractSlider>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QSlider>

namespace kelvara::ui {

Presenter::Presenter(Form1& form)
    : QObject(&form), form_(form), help_(new HelpPanel(&form)), menu_(new QMenu(&form)) {
    menu_->setAccessibleName(QStringLiteral("Действия"));
    AddAction(Command::Freeze, QStringLiteral("Пауза"), true);
    AddAction(Command::Step, QStringLiteral("Шаг вперёд на 1/60 с"), false);
    menu_->addSeparator();
    AddAction(Command::Values, QStringLiteral("Значения"), true);
    AddAction(Command::Projector, QStringLiteral("Проекторный вид"), true);
    AddAction(Command::FullScreen, QStringLiteral("Во весь экран"), true);
    menu_->addSeparator();
    AddAction(Command::Help, QStringLiteral("Справка"), false);
    AddAction(Command::Exit, QStringLiteral("Выход"), false);
    connect(menu_, &QMenu::aboutToShow, this, &Presenter::UpdateActions);
    for (Slider s : {Slider::sldW, Slider::sldU, Slider::sldR}) {
        connect(form_.SliderControl(s), &QSlider::valueChanged, this, &Presenter::Refresh);
    }
    qApp->installEventFilter(this);
}

QAction* Presenter::AddAction(Command command, const QString& text, bool checkable) {
    // The keys stand beside the text, where a menu shows shortcuts; the
    // keys themselves are handled by the key table, in any layout.
    QAction* a = menu_->addAction(text + QLatin1Char('\t') + KeysOf(command));
    a->setCheckable(checkable);
    connect(a, &QAction::triggered, this, [this, command] { Run(command); });
    actions_[command] = a;
    return a;
}

void Presenter::UpdateActions() {
    const bool frozen = form_.Frozen();
    actions_[Command::Freeze]->setChecked(frozen);
    actions_[Command::Freeze]->setEnabled(frozen || form_.State().Running == 1);
    actions_[Command::Step]->setEnabled(frozen);
    actions_[Command::Values]->setChecked(values_);
    actions_[Command::Projector]->setChecked(form_.ProjectorView());
    actions_[Command::FullScreen]->setChecked(form_.isFullScreen());
}

bool Presenter::HelpShown() const {
    return !help_->isHidden();
}

bool Presenter::Run(Command command) {
    switch (command) {
    case Command::Freeze:
        return form_.ToggleFreeze();
    case Command::Step:
        return form_.StepFrozen();
    case Command::Values:
        values_ = !values_;
        Refresh();
        return true;
    case Command::Projector:
        form_.SetProjectorView(!form_.ProjectorView());
        return true;
    case Command::FullScreen:
        form_.ToggleFullScreen();
        return true;
    case Command::Leave:
        if (HelpShown()) {
            help_->hide();
            return true;
        }
        if (form_.isFullScreen()) {
            form_.ToggleFullScreen();
            return true;
        }
        return false;
    case Command::Help:
        if (HelpShown()) {
            help_->hide();
        } else {
            help_->SetMap(form_.Map());
            help_->raise();
            help_->show();
        }
        return true;
    case Command::Menu:
        ShowMenuAtFocus();
        return true;
    case Command::Exit:
        emit form_.command1Clicked();
        return true;
    }
    return false;
}

void Presenter::Refresh() {
    const SliderSettings s{form_.SliderControl(Slider::sldW)->value(),
                           form_.SliderControl(Slider::sldU)->value(),
                           form_.SliderControl(Slider::sldR)->value()};
    std::optional<InstantValues> instant;
    if (values_ && form_.PassOnScreen()) {
        instant = Readouts::InstantOf(form_.State());
    }
    const QRect changed = readouts_.Update(form_.Map(), form_.CurrentLook(), values_, s,
                                           form_.State().OmegaBase, instant, form_.Frozen());
    if (!changed.isEmpty()) {
        form_.update(changed);
    }
}

void Presenter::SetMap(const Twips& map) {
    (void)map; // the readouts read the window's map; the help card too
    Refresh();
    if (HelpShown()) {
        help_->SetMap(form_.Map());
    }
}

void Presenter::Paint(QPainter& p, const QRect& dirty) const {
    readouts_.Paint(p, dirty);
}

void Presenter::ShowMenu(QPoint global) {
    UpdateActions();
    menu_->popup(global);
}

void Presenter::ShowMenuAtFocus() {
    const QWidget* at = form_.focusWidget() != nullptr ? form_.focusWidget() : &form_;
    ShowMenu(at->mapToGlobal(at->rect().center()));
}

bool Presenter::eventFilter(QObject* watched, QEvent* event) {
    const auto* press =
        event->type() == QEvent::KeyPress ? dynamic_cast<QKeyEvent*>(event) : nullptr;
    const auto* w = qobject_cast<QWidget*>(watched);
    if (press == nullptr || w == nullptr || w->window() != &form_) {
        return false;
    }
    const QKeyEvent& key = *press;
    const std::optional<Command> command = CommandOf(key);
    if (!command) {
        return false;
    }
    if (*command == Command::Step) {
        // A focused slider keeps its own keys, and they do what they did
        // before wherever no frozen run takes them.
        if (qobject_cast<const QAbstractSlider*>(w) != nullptr || !form_.Frozen()) {
            return false;
        }
    }
    if (key.isAutoRepeat() && !Repeats(*command)) {
        return true;
    }
    Run(*command);
    return true;
}

} // namespace kelvara::ui
