// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/teach/presenter.h"

#include "sim/state.h"
#include "ui/lang/language.h"
#include "ui/run/run_yield.h"
#include "ui/teach/help_panel.h"
#include "ui/teach/input_routes.h"
#include "ui/teach/sweep_table.h"
#include "ui/widgets/value_slider.h"

#include <QAbstractSlider>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QSlider>

#include <cstdint>

namespace kelvara::ui {

namespace {

// The context menu, top to bottom.
enum class EntryKind : std::uint8_t {
    Action,    // does its command
    Toggle,    // does its command and shows a check while it is on
    Languages, // a submenu of the languages
    Separator, // a line between groups
};

struct MenuEntry {
    EntryKind kind;
    Command command = Command::Menu; // not read for a separator
    const char* text = nullptr;
};

constexpr MenuEntry kSeparator{EntryKind::Separator};

constexpr MenuEntry kMenu[] = {
    {EntryKind::Toggle, Command::Freeze, QT_TRANSLATE_NOOP("kelvara::ui::Presenter", "Пауза")},
    {EntryKind::Action, Command::Step,
     QT_TRANSLATE_NOOP("kelvara::ui::Presenter", "Шаг вперёд на 1/60 с")},
    kSeparator,
    {EntryKind::Toggle, Command::Values, QT_TRANSLATE_NOOP("kelvara::ui::Presenter", "Значения")},
    {EntryKind::Toggle, Command::Electrons,
     QT_TRANSLATE_NOOP("kelvara::ui::Presenter", "Электроны")},
    {EntryKind::Toggle, Command::Projector,
     QT_TRANSLATE_NOOP("kelvara::ui::Presenter", "Проекторный вид")},
    {EntryKind::Toggle, Command::FullScreen,
     QT_TRANSLATE_NOOP("kelvara::ui::Presenter", "Во весь экран")},
    {EntryKind::Languages, Command::Language, QT_TRANSLATE_NOOP("kelvara::ui::Presenter", "Язык")},
    kSeparator,
    {EntryKind::Action, Command::Copy,
     QT_TRANSLATE_NOOP("kelvara::ui::Presenter", "Копировать рисунок")},
    {EntryKind::Action, Command::Save,
     QT_TRANSLATE_NOOP("kelvara::ui::Presenter", "Сохранить рисунок…")},
    {EntryKind::Action, Command::SaveData,
     QT_TRANSLATE_NOOP("kelvara::ui::Presenter", "Сохранить данные…")},
    kSeparator,
    {EntryKind::Action, Command::Help, QT_TRANSLATE_NOOP("kelvara::ui::Presenter", "Справка")},
    {EntryKind::Action, Command::Exit, QT_TRANSLATE_NOOP("kelvara::ui::Presenter", "Выход")},
};

} // namespace

Presenter::Presenter(QWidget& window, RunYield& run, const SimState& state,
                     const std::array<QSlider*, 3>& sliders)
    : QObject(&window), window_(window), run_(run), state_(state), sliders_(sliders),
      description_(window.accessibleDescription()), narrator_(window),
      help_(new HelpPanel(&window)), menu_(new QMenu(&window)), saver_(window) {
    for (const MenuEntry& entry : kMenu) {
        switch (entry.kind) {
        case EntryKind::Separator:
            menu_->addSeparator();
            break;
        case EntryKind::Languages: {
            languages_ = menu_->addMenu(QString());
            auto* group = new QActionGroup(languages_);
            for (Language language : kLanguages) {
                QAction* a = languages_->addAction(OwnName(language));
                a->setCheckable(true);
                a->setActionGroup(group);
                connect(a, &QAction::triggered, this, [language] { SetLanguage(language); });
                languageActions_[language] = a;
            }
            break;
        }
        case EntryKind::Action:
        case EntryKind::Toggle: {
            QAction* a = menu_->addAction(QString());
            a->setCheckable(entry.kind == EntryKind::Toggle);
            const Command command = entry.command;
            connect(a, &QAction::triggered, this, [this, command] { Run(command); });
            actions_[command] = a;
            break;
        }
        }
    }
    NameActions();
    connect(menu_, &QMenu::aboutToShow, this, &Presenter::UpdateActions);
    for (const Slider which : {Slider::sldW, Slider::sldU, Slider::sldR}) {
        QSlider* s = sliders_[static_cast<std::size_t>(which)];
        connect(s, &QSlider::valueChanged, this, &Presenter::Refresh);
        // A reader hears each setting as the values write it.
        if (auto* slider = qobject_cast<ValueSlider*>(s); slider != nullptr) {
            slider->SetValueText([this, which](int position) {
                return ValueLines::SettingText(which, position, state_.OmegaBase);
            });
        }
    }
    connect(&run_, &RunYield::passChanged, this, &Presenter::PassChanged);
    connect(&run_, &RunYield::freezeChanged, this, &Presenter::FreezeChanged);
    // The window's keys before its controls', as shortcuts would be, but
    // by the key rather than by the layout's letter.
    new KeyRoute(
        window_, [this](QWidget& w, const QKeyEvent& key) { return KeyPressed(w, key); }, this);
    new PointerRoute(
        window_, [this](std::optional<QPoint> pointer) { PointerAt(pointer); }, this);
}

// The menu's texts in the language shown. The keys stand beside the text,
// where a menu shows shortcuts; the keys themselves are handled by the key
// table, in any layout.
void Presenter::NameActions() {
    menu_->setAccessibleName(tr("Действия"));
    for (const MenuEntry& entry : kMenu) {
        if (entry.kind == EntryKind::Separator) {
            continue;
        }
        const QString text = tr(entry.text) + QLatin1Char('\t') + KeysOf(entry.command);
        if (entry.kind == EntryKind::Languages) {
            languages_->setTitle(text);
        } else {
            actions_[entry.command]->setText(text);
        }
    }
}

void Presenter::UpdateActions() {
    const bool frozen = run_.Frozen();
    actions_[Command::Freeze]->setChecked(frozen);
    actions_[Command::Freeze]->setEnabled(frozen || state_.Running == 1);
    actions_[Command::Step]->setEnabled(frozen);
    actions_[Command::Values]->setChecked(values_);
    actions_[Command::Electrons]->setChecked(electrons_);
    actions_[Command::Projector]->setChecked(look_.Projector());
    actions_[Command::FullScreen]->setChecked(window_.isFullScreen());
    actions_[Command::Copy]->setEnabled(static_cast<bool>(picture_));
    actions_[Command::Save]->setEnabled(static_cast<bool>(picture_));
    // No sweep on the graphs, no numbers to save.
    actions_[Command::SaveData]->setEnabled(record_.Count() > 0);
    languageActions_[CurrentLanguage()]->setChecked(true);
}

bool Presenter::HelpShown() const {
    return !help_->isHidden();
}

bool Presenter::Run(Command command) {
    switch (command) {
    case Command::Freeze:
        if (!run_.ToggleFreeze()) {
            return false;
        }
        // Said at once; the instant values follow in the values' text once
        // the frozen pass is on the screen.
        narrator_.Tell(command, run_.Frozen());
        return true;
    case Command::Step:
        stepToTell_ = run_.StepFrozen();
        return stepToTell_;
    case Command::Values:
        values_ = !values_;
        // The cursor follows the pointer over the graphs while they show.
        window_.setMouseTracking(values_);
        Refresh();
        narrator_.Tell(command, values_);
        return true;
    case Command::Electrons:
        electrons_ = !electrons_;
        emit electronsRequested(electrons_);
        return true;
    case Command::Projector:
        emit projectorViewRequested(!look_.Projector());
        narrator_.Tell(command, look_.Projector());
        return true;
    case Command::FullScreen:
        emit fullScreenRequested();
        narrator_.Tell(command, window_.isFullScreen());
        return true;
    case Command::Language:
        return SetLanguage(NextLanguage(CurrentLanguage()));
    case Command::Copy:
        if (!picture_) {
            return false;
        }
        QGuiApplication::clipboard()->setImage(picture_());
        narrator_.Tell(command, true);
        return true;
    case Command::Save:
        return SavePicture();
    case Command::SaveData:
        return SaveData();
    case Command::Leave:
        if (HelpShown()) {
            help_->hide();
            return true;
        }
        if (window_.isFullScreen()) {
            emit fullScreenRequested();
            narrator_.Tell(Command::FullScreen, window_.isFullScreen());
            return true;
        }
        return false;
    case Command::Help:
        if (HelpShown()) {
            help_->hide();
        } else {
            help_->SetMap(map_);
            help_->raise();
            help_->show();
        }
        return true;
    case Command::Menu:
        ShowMenuAtFocus();
        return true;
    case Command::Exit:
        emit exitRequested();
        return true;
    }
    return false;
}

void Presenter::Refresh() {
    const auto position = [this](Slider s) {
        return sliders_[static_cast<std::size_t>(s)]->value();
    };
    const SliderSettings s{position(Slider::sldW), position(Slider::sldU), position(Slider::sldR)};
    std::optional<InstantValues> instant;
    if (values_ && run_.PassOnScreen()) {
        instant = ValueLines::InstantOf(state_);
    }
    // Every pass on the screen is noted, so the cursor can read a sweep
    // from its start whenever the values are asked for.
    record_.Note(state_, run_.PassOnScreen(), run_.OnScreenRead());
    lines_.Update(values_, s, state_.OmegaBase, instant, run_.Frozen());
    QRegion changed = readouts_.Update(map_, look_, lines_);
    changed += graphs_.Update(map_, look_, values_ && GraphsLifted(), s, state_);
    changed += graphs_.Point(pointer_, record_, state_);
    if (!changed.isEmpty()) {
        window_.update(changed);
    }
    QRect area;
    for (const QRect& r : readouts_.Areas()) {
        area |= r;
    }
    for (const QRect& r : graphs_.Areas()) {
        area |= r;
    }
    narrator_.SetValues(lines_.Heard(), area);
}

void Presenter::WatchGraphScreen(QWidget* screen) {
    screen_ = screen;
    new VisibilityRoute(
        *screen, [this] { Refresh(); }, this);
    Refresh();
}

bool Presenter::GraphsLifted() const {
    return screen_ != nullptr && screen_->isHidden();
}

void Presenter::PointerAt(std::optional<QPoint> pointer) {
    if (!pointer && !pointer_) {
        return; // already off the graphs
    }
    pointer_ = pointer;
    // A run going on draws the cursor with its next pass, in the same frame.
    if (state_.Running == 1 && run_.PassOnScreen() && !run_.Frozen()) {
        return;
    }
    const QRegion changed = graphs_.Point(pointer_, record_, state_);
    if (!changed.isEmpty()) {
        window_.update(changed);
    }
}

// A step is told once the instant it went to is on the screen.
void Presenter::PassChanged() {
    Refresh();
    if (stepToTell_ && run_.HeldInstantOnScreen()) {
        stepToTell_ = false;
        narrator_.Tell(Command::Step, true, lines_.InstantLines());
    }
}

void Presenter::SetMap(const Twips& map) {
    map_ = map;
    Refresh();
    if (HelpShown()) {
        help_->SetMap(map_);
    }
}

// Everything shown again in the language now current; the window has set
// its own description by then.
void Presenter::Retranslate() {
    description_ = window_.accessibleDescription();
    if (run_.Frozen()) {
        FreezeChanged(true);
    }
    NameActions();
    Refresh();
    help_->update();
}

void Presenter::SetLook(const Look& look) {
    look_ = look;
    Refresh();
}

// A screen reader hears of the pause with the window's description.
void Presenter::FreezeChanged(bool frozen) {
    stepToTell_ = false;
    window_.setAccessibleDescription(frozen ? description_ + tr(". Пауза") : description_);
    Refresh();
}

void Presenter::Paint(QPainter& p, const QRegion& dirty) const {
    graphs_.Paint(p, dirty);
    readouts_.Paint(p, dirty);
}

void Presenter::SetPictureSource(std::function<QImage()> picture) {
    picture_ = std::move(picture);
}

void Presenter::BeginPicture(const Twips& map) {
    shownMap_ = map_;
    shownPointer_ = pointer_;
    if (pointer_) {
        const QPointF at = map_.TwipsAt(*pointer_);
        pointer_ = map.Point(at.x(), at.y());
    }
    SetMap(map);
}

void Presenter::EndPicture() {
    pointer_ = shownPointer_;
    SetMap(shownMap_);
}

bool Presenter::SavePicture() {
    if (!picture_) {
        return false;
    }
    // The picture as the window shows it at the key, before any dialog.
    const QImage picture = picture_();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG")) {
        return false;
    }
    return Save(FileSaver::Kind::Picture, png);
}

bool Presenter::SaveData() {
    if (record_.Count() == 0) {
        saver_.Inform(tr("Данные не сохранены: на графиках нет развёртки. "
                         "Включите генератор."));
        return false;
    }
    return Save(FileSaver::Kind::Data, SweepTable::Csv(record_, state_.OmegaBase));
}

bool Presenter::Save(FileSaver::Kind kind, const QByteArray& bytes) {
    // The clock stands while the dialog is open, so that the run goes on
    // after it from the instant it was saved at.
    const bool held = !run_.Frozen() && run_.ToggleFreeze();
    const QString path = saver_.Save(kind, bytes);
    if (held && run_.Frozen()) {
        run_.ToggleFreeze();
    }
    if (path.isEmpty()) {
        return false;
    }
    narrator_.Saved(QFileInfo(path).fileName());
    return true;
}

void Presenter::ShowMenu(QPoint global) {
    UpdateActions();
    menu_->popup(global);
}

void Presenter::ShowMenuAtFocus() {
    const QWidget* at = window_.focusWidget() != nullptr ? window_.focusWidget() : &window_;
    ShowMenu(at->mapToGlobal(at->rect().center()));
}

bool Presenter::KeyPressed(QWidget& w, const QKeyEvent& key) {
    const std::optional<Command> command = CommandOf(key);
    if (!command) {
        return false;
    }
    if (*command == Command::Step) {
        // A focused slider keeps its own keys, and they do what they did
        // before wherever no frozen run takes them.
        if (qobject_cast<const QAbstractSlider*>(&w) != nullptr || !run_.Frozen()) {
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
