// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The key table as key presses reach it: found by the key's position under
// a Russian layout, and only with the modifiers it names.
#include "ui/teach/help_panel.h"
#include "ui/teach/keys.h"

#include <QKeyEvent>
#include <QObject>
#include <QTest>

#include <algorithm>
#include <memory>
#include <optional>

using kelvara::ui::Command;

namespace {

class KeysTest : public QObject {
    Q_OBJECT

private slots:
    void latinKey() {
        // Qt's key code for a Cyrillic letter is its capital.
        QCOMPARE(kelvara::ui::LatinKey(u'З'), int{Qt::Key_P});
        QCOMPARE(kelvara::ui::LatinKey(u'Ф'), int{Qt::Key_A});
        QCOMPARE(kelvara::ui::LatinKey(u'Я'), int{Qt::Key_Z});
        QCOMPARE(kelvara::ui::LatinKey(Qt::Key_P), int{Qt::Key_P});
        QCOMPARE(kelvara::ui::LatinKey(u'Ё'), int{u'Ё'}); // on no letter key of QWERTY
        QCOMPARE(kelvara::ui::LatinKey(Qt::Key_F1), int{Qt::Key_F1});
    }

    void commandOf() {
        struct Row {
            const char* what = nullptr;
            int key = 0;
            Qt::KeyboardModifiers modifiers;
            std::optional<Command> command;
        };
        const Row rows[] = {
            {"P", Qt::Key_P, Qt::NoModifier, Command::Freeze},
            {"З, the key of P", u'З', Qt::NoModifier, Command::Freeze},
            {"С, the key of C", u'С', Qt::NoModifier, Command::Projector},
            {"Д, the key of L", u'Д', Qt::NoModifier, Command::Language},
            {"Ctrl+Q", Qt::Key_Q, Qt::ControlModifier, Command::Exit},
            {"Ctrl+Й, the key of Q", u'Й', Qt::ControlModifier, Command::Exit},
            // Without its modifier Q must not end the program.
            {"Q alone", Qt::Key_Q, Qt::NoModifier, std::nullopt},
            {"Shift+F10", Qt::Key_F10, Qt::ShiftModifier, Command::Menu},
            {"F10 alone", Qt::Key_F10, Qt::NoModifier, std::nullopt},
            // The arrow of the keypad is the same key.
            {"keypad →", Qt::Key_Right, Qt::KeypadModifier, Command::Step},
            {"Page Down", Qt::Key_PageDown, Qt::NoModifier, Command::Step},
            {"F1", Qt::Key_F1, Qt::NoModifier, Command::Help},
            {"Escape", Qt::Key_Escape, Qt::NoModifier, Command::Leave},
        };
        for (const Row& row : rows) {
            const QKeyEvent press(QEvent::KeyPress, row.key, row.modifiers);
            QVERIFY2(kelvara::ui::CommandOf(press) == row.command, row.what);
        }
    }

    // The help names the keys from the table: each letter key once, with
    // the Russian letter its key types, and the keys that close the help.
    void helpReadsTheTable() {
        for (const auto& [latin, russian] : kelvara::ui::RussianLetters()) {
            QCOMPARE(kelvara::ui::LatinKey(russian.unicode()), int{latin.unicode()});
        }
        QCOMPARE(kelvara::ui::HelpPanel::Footnote(),
                 QStringLiteral("Буквы действуют и в русской раскладке: P — З, V — М, E — У, "
                                "C — С, L — Д, S — Ы, Q — Й."));
        const auto rows = kelvara::ui::HelpPanel::Rows();
        QVERIFY(std::any_of(rows.begin(), rows.end(), [](const auto& row) {
            return row ==
                   std::pair{QStringLiteral("F1"),
                             QStringLiteral("эта справка; F1, Escape или щелчок закрывают её")};
        }));
    }
};

} // namespace

std::unique_ptr<QObject> MakeKeysTest() {
    return std::make_unique<KeysTest>();
}

#include "keys_test.moc"
