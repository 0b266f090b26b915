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
const QString kTitle = QStringLiteral("Клавиши и мышь");
const QString kFootnote =
    QStringLiteral("Буквы действуют и в русской раскладке: P — З, V — М, E — У, C — С, Q — Й.");

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

QString HelpPanel::Text() {
    QStringList lines{kTitle};
    for (const Row& r : Rows()) {
        lines << r.first + kRowGap + r.second;
    }
    lines << kFootnote;
    return lines.join(QLatin1Char('\n'));
}

std::vector<HelpPanel::Row> HelpPanel::Rows() {
    const auto keys = [](Command c) { return KeysOf(c); };
    return {
        {QStringLiteral("Пробел, Enter"),
         QStringLiteral("на переключателе: включить или выключить генератор")},
        {QStringLiteral("Tab, Shift+Tab"), QStringLiteral("к следующему или предыдущему элементу")},
        {QStringLiteral("стрелки, Page Up/Down, Home/End"),
         QStringLiteral("двигать выбранный ползунок")},
        {QStringLiteral("Пробел, Enter"),
         QStringLiteral("на «Графики»: поднять или опустить экран; на «Выход»: выйти")},
        {keys(Command::Freeze), QStringLiteral("остановить мгновение во время работы; ещё раз — "
                                               "дальше с того же мгновения")},
        {keys(Command::Step), QStringLiteral("на паузе: шаг вперёд на 1/60 с")},
        {keys(Command::Values),
         QStringLiteral("значения, действующие значения, уровни и числа на графиках")},
        {QStringLiteral("мышь над графиками"),
         QStringLiteral("при значениях: курсор читает t, u, i, p с графиков")},
        {keys(Command::Electrons),
         QStringLiteral("заряды: электроны (минусы, против тока) или положительные")},
        {keys(Command::Projector),
         QStringLiteral("проекторный вид: контрастнее для светлого класса, и обратно")},
        {keys(Command::FullScreen) + QStringLiteral(", ") + keys(Command::Leave),
         QStringLiteral("во весь экран и обратно")},
        {keys(Command::Help), QStringLiteral("эта справка; F1, Escape или щелчок закрывают её")},
        {keys(Command::Exit), QStringLiteral("выход из программы")},
        {QStringLiteral("правая кнопка мыши, Menu, ") + keys(Command::Menu),
         QStringLiteral("меню всех действий")},
        {QStringLiteral("щелчок мышью"),
         QStringLiteral("переключатель, кнопки и ползунки — как клавиши выше")},
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
    setAccessibleName(kTitle);
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

void HelpPanel::SetMap(const Twips& map) {
    map_ = map;
    setGeometry(window()->rect());
    const QFontMetrics title(MakeFont(kTitleFont, map));
    const QFontMetrics row(MakeFont(kRowFont, map));
    rowHeight_ = row.lineSpacing() + row.lineSpacing() / 4;
    const int gap = row.horizontalAdvance(QStringLiteral("    "));
    keysWidth_ = 0;
    int textWidth = std::max(title.horizontalAdvance(kTitle), row.horizontalAdvance(kFootnote));
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
    p.drawText(QPoint(card_.left() + pad, y), kTitle);
    y += title.lineSpacing() * 2 - title.ascent() + row.ascent();
    p.setFont(rowFont);
    for (const Row& r : Rows()) {
        p.drawText(QPoint(card_.left() + pad, y), r.first);
        p.drawText(QPoint(card_.left() + pad + keysWidth_, y), r.second);
        y += rowHeight_;
    }
    y += rowHeight_ / 2;
    p.drawText(QPoint(card_.left() + pad, y), kFootnote);
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
