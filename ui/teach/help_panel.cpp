// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/teach/help_panel.h"

#include "ui/look/colours.h"
#include "ui/look/fonts.h"
#include "ui/teach/keys.h"
#include "ui/widgets/accessibility.h"

#include <QAccessibleWidget>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace kelvara::ui {

namespace {

constexpr FontSpec kTitleFont{"Arial", 13.5};
constexpr FontSpec kRowFont{"Arial", 11.25};
const QString kRowGap = QStringLiteral(" — ");

// The card for a screen reader: a dialog that reads its whole text as its
// description when it takes the focus, and offers the text line by line.
class HelpAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit HelpAccessible(QWidget* panel) : QAccessibleWidget(panel, QAccessible::Dialog) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Description) {
            return WithAnnouncement(*widget(), HelpPanel::Text());
        }
        return QAccessibleWidget::text(t);
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(int startOffset, int endOffset) const override {
        return HelpPanel::Text().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(HelpPanel::Text().size()); }
    // Read only, without a caret or a selection.
    void selection(int /*selectionIndex*/, int* startOffset, int* endOffset) const override {
        *startOffset = 0;
        *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int /*startOffset*/, int /*endOffset*/) override {}
    void removeSelection(int /*selectionIndex*/) override {}
    void setSelection(int /*selectionIndex*/, int /*startOffset*/, int /*endOffset*/) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int /*position*/) override {}
    QRect characterRect(int /*offset*/) const override { return {}; }
    int offsetAtPoint(const QPoint& /*point*/) const override { return -1; }
    void scrollToSubstring(int /*startIndex*/, int /*endIndex*/) override {}
    QString attributes(int /*offset*/, int* startOffset, int* endOffset) const override {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }
};

QAccessibleInterface* Factory(const QString& /*className*/, QObject* object) {
    if (auto* panel = qobject_cast<HelpPanel*>(object); panel != nullptr) {
        return new HelpAccessible(panel);
    }
    return nullptr;
}

} // namespace

QString HelpPanel::Title() {
    return tr("Клавиши и мышь");
}

QString HelpPanel::Footnote() {
    QStringList letters;
    for (const auto& [latin, russian] : RussianLetters()) {
        letters << latin + kRowGap + russian;
    }
    return tr("Буквы действуют и в русской раскладке: %1.").arg(letters.join(QStringLiteral(", ")));
}

QString HelpPanel::Text() {
    QStringList lines{Title()};
    for (const Row& r : Rows()) {
        lines << r.first + kRowGap + r.second;
    }
    lines << Footnote();
    return lines.join(QLatin1Char('\n'));
}

std::vector<HelpPanel::Row> HelpPanel::Rows() {
    const auto keys = [](Command c) { return KeysOf(c); };
    return {
        {tr("Пробел, Enter"), tr("на переключателе: включить или выключить генератор")},
        {QStringLiteral("Tab, Shift+Tab"), tr("к следующему или предыдущему элементу")},
        {tr("стрелки, Page Up/Down, Home/End"), tr("двигать выбранный ползунок")},
        {tr("Пробел, Enter"), tr("на «Графики»: поднять или опустить экран; на «Выход»: выйти")},
        {keys(Command::Freeze), tr("остановить мгновение во время работы; ещё раз — "
                                   "дальше с того же мгновения")},
        {keys(Command::Step), tr("на паузе: шаг вперёд на 1/60 с")},
        {keys(Command::Values), tr("значения, действующие значения, уровни и числа на графиках")},
        {tr("мышь над графиками"), tr("при значениях: курсор читает t, u, i, p с графиков")},
        {keys(Command::Electrons), tr("заряды: электроны (минусы, против тока) или положительные")},
        {keys(Command::Projector),
         tr("проекторный вид: контрастнее для светлого класса, и обратно")},
        {keys(Command::FullScreen) + QStringLiteral(", ") + keys(Command::Leave),
         tr("во весь экран и обратно")},
        {keys(Command::Language), tr("следующий язык: русский, английский")},
        {keys(Command::Copy), tr("копировать рисунок окна, вдвое крупнее, для листа или "
                                 "слайда")},
        {keys(Command::Save), tr("сохранить этот рисунок в файл PNG")},
        {keys(Command::SaveData), tr("сохранить числа развёртки на графиках в файл CSV")},
        {keys(Command::Help),
         tr("эта справка; %1 или щелчок закрывают её")
             .arg(keys(Command::Help) + QStringLiteral(", ") + keys(Command::Leave))},
        {keys(Command::Exit), tr("выход из программы")},
        {tr("правая кнопка мыши, Menu, ") + keys(Command::Menu), tr("меню всех действий")},
        {tr("щелчок мышью"), tr("переключатель, кнопки и ползунки — как клавиши выше")},
    };
}

HelpPanel::HelpPanel(QWidget* window) : QWidget(window) {
    static const bool accessible = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)accessible;
    // Not a tab stop: it takes the focus when it opens.
    setFocusPolicy(Qt::ClickFocus);
    setAccessibleName(Title());
    hide();
}

void HelpPanel::showEvent(QShowEvent* /*event*/) {
    returnFocus_ = window()->focusWidget();
    setFocus(Qt::OtherFocusReason);
}

void HelpPanel::hideEvent(QHideEvent* /*event*/) {
    if (hasFocus() && returnFocus_ != nullptr) {
        returnFocus_->setFocus(Qt::OtherFocusReason);
    }
}

bool HelpPanel::focusNextPrevChild(bool next) {
    return isVisible() || QWidget::focusNextPrevChild(next);
}

// Another language: the card is laid out again for its texts.
void HelpPanel::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        setAccessibleName(Title());
        SetMap(map_);
        update();
    }
}

void HelpPanel::SetMap(const Twips& map) {
    map_ = map;
    // Over the whole drawing also where it is drawn larger than the window,
    // for a picture.
    setGeometry(window()->rect() | map.Rect(0, 0, kFormWidthTwips, kFormHeightTwips));
    const QFontMetrics title(MakeFont(kTitleFont, map));
    const QFontMetrics row(MakeFont(kRowFont, map));
    rowHeight_ = row.lineSpacing() + row.lineSpacing() / 4;
    const int gap = row.horizontalAdvance(QStringLiteral("    "));
    keysWidth_ = 0;
    int textWidth = std::max(title.horizontalAdvance(Title()), row.horizontalAdvance(Footnote()));
    const std::vector<Row> rows = Rows();
    for (const Row& r : rows) {
        keysWidth_ = std::max(keysWidth_, row.horizontalAdvance(r.first) + gap);
    }
    for (const Row& r : rows) {
        textWidth = std::max(textWidth, keysWidth_ + row.horizontalAdvance(r.second));
    }
    const int pad = map.ToPixels(300);
    // The rows, half a row's gap, the footnote.
    const int rowsHeight = (static_cast<int>(rows.size()) + 1) * rowHeight_ + rowHeight_ / 2;
    const QSize size(textWidth + 2 * pad, title.lineSpacing() * 2 + rowsHeight + 2 * pad);
    // Centred on the drawing, not on a margin of a wider window.
    const QPoint centre = map.Point(kFormWidthTwips / 2.0, kFormHeightTwips / 2.0);
    card_ = QRect(centre - QPoint(size.width() / 2, size.height() / 2), size);
    update();
}

void HelpPanel::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    p.fillRect(rect(), kHelpShade);
    const int t = map_.Pixels(2);
    p.fillRect(card_, Qt::black);
    p.fillRect(card_.adjusted(t, t, -t, -t), Qt::white);
    const int pad = map_.ToPixels(300);
    const QFont titleFont = MakeFont(kTitleFont, map_);
    const QFont rowFont = MakeFont(kRowFont, map_);
    const QFontMetrics title(titleFont);
    const QFontMetrics row(rowFont);
    p.setPen(Qt::black);
    p.setFont(titleFont);
    int y = card_.top() + pad + title.ascent();
    p.drawText(QPoint(card_.left() + pad, y), Title());
    y += title.lineSpacing() * 2 - title.ascent() + row.ascent();
    p.setFont(rowFont);
    for (const Row& r : Rows()) {
        p.drawText(QPoint(card_.left() + pad, y), r.first);
        p.drawText(QPoint(card_.left() + pad + keysWidth_, y), r.second);
        y += rowHeight_;
    }
    y += rowHeight_ / 2;
    p.drawText(QPoint(card_.left() + pad, y), Footnote());
}

// A right click closes the panel and does not open the menu behind it.
void HelpPanel::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
}

void HelpPanel::mousePressEvent(QMouseEvent* event) {
    event->accept();
    hide();
}

} // namespace kelvara::ui
