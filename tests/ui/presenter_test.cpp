// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The teacher's tools as a screen reader hears them, and the presenter
// built apart from the window.
#include "support.h"

#include "display/graphs.h"
#include "sim/state.h"
#include "ui/run/run_yield.h"
#include "ui/teach/help_panel.h"
#include "ui/teach/presenter.h"
#include "ui/teach/value_lines.h"
#include "ui/widgets/box.h"

#include <QAccessible>
#include <QApplication>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include <array>
#include <memory>

using namespace kelvara::uitest;

class PresenterTest : public QObject {
    Q_OBJECT

private slots:
    // What a screen reader hears of the teacher's tools: each action on the
    // focused control, at the head of its description until the focus
    // moves; the values as a text of their own, the instant ones only while
    // frozen; the help panel holds the focus while open and reads as text.
    void spokenActionsValuesAndHelp() {
        auto form = FormAtRest();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        kelvara::ui::Presenter& teaching = form->Teaching();
        QWidget* picOn = form->Widgets().PicOn();
        QCOMPARE(QApplication::focusWidget(), picOn);
        QAccessibleInterface* on = QAccessible::queryAccessibleInterface(picOn);
        const auto heard = [&] { return on->text(QAccessible::Description); };
        const QString off = QStringLiteral(". Генератор выключен");
        const QString settings = QStringLiteral(
            "f = 0,75 Гц, ω = 4,71 рад/с, Uₘ = 0,5 В. R = 1 Ом, Iₘ = Uₘ / R = 0,5 А. "
            "Действующие значения: U = Uₘ / √2 = 0,354 В. I = Iₘ / √2 = 0,354 А. "
            "Средняя мощность: P = U · I = 0,125 Вт. Период T = 1 / f = 1,33 с");

        QTest::keyClick(picOn, Qt::Key_V);
        QCOMPARE(teaching.Narration().ValuesText(), settings);
        QCOMPARE(heard(), "Значения показаны. " + settings + off);
        QTest::keyClick(picOn, Qt::Key_C);
        QCOMPARE(heard(), "Проекторный вид включён" + off);
        QTest::keyClick(picOn, Qt::Key_C);
        QCOMPARE(heard(), "Проекторный вид выключен" + off);
        QTest::keyClick(picOn, Qt::Key_F11);
        QCOMPARE(heard(), "Во весь экран" + off);
        QTest::keyClick(picOn, Qt::Key_Escape);
        QCOMPARE(heard(), "Обычное окно" + off);

        // A run's instant values reach the reader only while it is frozen.
        form->State().Running = 1;
        form->State().Resistance = 1;
        kelvara::PlotGraphs(form->State(), form->Controls(), -1, 0.5, 0);
        form->Run().Yield();
        form->Run().Yield(); // the pass before is on the screen
        QCOMPARE(teaching.Narration().ValuesText(), settings);
        QTest::keyClick(picOn, Qt::Key_P);
        QCOMPARE(heard(), "Пауза" + off);
        QCOMPARE(teaching.Narration().ValuesText(),
                 settings + ". u = −0,500 В, i = −0,500 А, p = 0,250 Вт");
        QTest::keyClick(picOn, Qt::Key_P);
        QCOMPARE(heard(), "Продолжение" + off);
        QCOMPARE(teaching.Narration().ValuesText(), settings);
        form->State().Running = 0;
        QTest::keyClick(picOn, Qt::Key_V);
        QCOMPARE(heard(), "Значения скрыты" + off);
        QCOMPARE(teaching.Narration().ValuesText(), QString());

        // The help takes the focus, reads as text, and gives the focus back;
        // what was announced went with the focus.
        QTest::keyClick(picOn, Qt::Key_F1);
        QCOMPARE(QApplication::focusWidget(), teaching.Help());
        QCOMPARE(heard(), off.mid(2));
        QAccessibleInterface* help = QAccessible::queryAccessibleInterface(teaching.Help());
        QAccessibleTextInterface* text = help->textInterface();
        QVERIFY(text != nullptr);
        const QString all = text->text(0, text->characterCount());
        QCOMPARE(all, kelvara::ui::HelpPanel::Text());
        QCOMPARE(all.split('\n').size(),
                 static_cast<int>(kelvara::ui::HelpPanel::Rows().size()) + 2);
        QVERIFY(all.contains(
            QStringLiteral("\nV — значения, действующие значения, уровни и числа на графиках\n")));
        QTest::keyClick(teaching.Help(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), teaching.Help());
        QTest::keyClick(teaching.Help(), Qt::Key_F1);
        QVERIFY(!teaching.HelpShown());
        QCOMPARE(QApplication::focusWidget(), picOn);
    }

    // The teacher's tools need no Form1: a plain window, a run's yield, the
    // state and three sliders. They ask the window for its changes by
    // signals and freeze only a run that is on.
    void presenterWithoutTheWindowShell() {
        QWidget window;
        window.setAccessibleDescription(QStringLiteral("Резистор"));
        kelvara::SimState state;
        state.OmegaBase = 3.14;
        kelvara::ui::RunYield run(window, state);
        std::array<QSlider*, 3> sliders{};
        for (int i = 0; i < 3; ++i) {
            sliders[static_cast<std::size_t>(i)] = new QSlider(&window);
            sliders[static_cast<std::size_t>(i)]->setRange(1, 10);
        }
        sliders[0]->setValue(5); // sldW, sldU, sldR
        sliders[1]->setValue(5);
        sliders[2]->setValue(2);
        kelvara::ui::Presenter teaching(window, run, state, sliders);
        using kelvara::ui::Command;
        QSignalSpy exit(&teaching, &kelvara::ui::Presenter::exitRequested);
        QSignalSpy full(&teaching, &kelvara::ui::Presenter::fullScreenRequested);
        QSignalSpy projector(&teaching, &kelvara::ui::Presenter::projectorViewRequested);

        QVERIFY(teaching.Run(Command::Values));
        QCOMPARE(kelvara::ui::ValueLines::Text(teaching.ShownValues().Lines().at(1)),
                 QStringLiteral("R = 2 Ом     Im = Um / R = 0,25 А"));
        QVERIFY(!teaching.Run(Command::Freeze)); // at rest
        QVERIFY(!teaching.Run(Command::Leave));  // neither help nor fullscreen
        state.Running = 1;
        QVERIFY(teaching.Run(Command::Freeze));
        QVERIFY(run.Frozen());
        QCOMPARE(window.accessibleDescription(), QStringLiteral("Резистор. Пауза"));
        QVERIFY(teaching.Run(Command::Projector));
        QVERIFY(teaching.Run(Command::FullScreen));
        QVERIFY(teaching.Run(Command::Exit));
        QCOMPARE(projector.count(), 1);
        QCOMPARE(projector.at(0).at(0).toBool(), true);
        QCOMPARE(full.count(), 1);
        QCOMPARE(exit.count(), 1);
        run.EndFreeze();
        QCOMPARE(window.accessibleDescription(), QStringLiteral("Резистор"));
    }
};

std::unique_ptr<QObject> MakePresenterTest() {
    return std::make_unique<PresenterTest>();
}

#include "presenter_test.moc"
