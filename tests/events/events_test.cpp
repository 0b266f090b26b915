// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Runs in the real window: the switch, the Graphs button, Exit and closing,
// and failures, driven by clicks delivered while the run loop yields.
#include "sim/controls.h"
#include "ui/files/file_saver.h"
#include "ui/lang/language.h"
#include "ui/look/fonts.h"
#include "ui/teach/graph_overlay.h"
#include "ui/teach/help_panel.h"
#include "ui/teach/presenter.h"
#include "ui/teach/readouts.h"
#include "ui/teach/value_lines.h"
#include "ui/widgets/box.h"
#include "ui/widgets/marker.h"
#include "ui/window/events.h"
#include "ui/window/form1.h"
#include "window_driver.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <utility>
#include <vector>

using kelvara::Image;
using kelvara::Surface;
using kelvara::test::ClickSwitch;
using kelvara::test::Deadline;
using kelvara::test::Ink;
using kelvara::test::InkOutsideColumns;
using kelvara::test::RunUntilOff;
using kelvara::test::VisibleToks;
using kelvara::ui::Form1;
using kelvara::ui::FormEvents;
using kelvara::ui::Twips;

namespace {

// Runs `step` after `ms` milliseconds, from inside whichever loop is then
// yielding.
void After(int ms, std::function<void()> step) {
    QTimer::singleShot(ms, std::move(step));
}

// The same for a step that may still be pending when its test has ended:
// it is dropped with `scope`.
void After(int ms, const QObject& scope, std::function<void()> step) {
    QTimer::singleShot(ms, &scope, std::move(step));
}

// One step of a scripted run: what it waits for, then what it does.
struct ScriptStep {
    std::function<bool()> ready;
    std::function<void()> act;
};

// Plays a script from inside the run's yields, for as long as it lives:
// every 10 ms from 50 ms on, the next step acts once it is ready, after the
// next poll is set up (a step may start a nested run); `onStep` runs just
// before each step acts.
class ScriptPlayer {
public:
    explicit ScriptPlayer(
        const std::vector<ScriptStep>& script, std::function<void()> onStep = [] {})
        : script_(script), onStep_(std::move(onStep)) {
        advance_ = [this] {
            if (next_ == script_.size()) {
                return;
            }
            const ScriptStep& step = script_[next_];
            After(10, scope_, advance_);
            if (step.ready()) {
                ++next_;
                onStep_();
                step.act();
            }
        };
        After(50, scope_, advance_);
    }
    ~ScriptPlayer() = default;
    ScriptPlayer(const ScriptPlayer&) = delete;
    ScriptPlayer& operator=(const ScriptPlayer&) = delete;
    ScriptPlayer(ScriptPlayer&&) = delete;
    ScriptPlayer& operator=(ScriptPlayer&&) = delete;

    // How many steps have acted.
    std::size_t Played() const { return next_; }

private:
    const std::vector<ScriptStep>& script_;
    std::function<void()> onStep_;
    QObject scope_;
    std::size_t next_ = 0;
    std::function<void()> advance_;
};

// Every display at rest, as the reset leaves them.
QString RestProblems(const Form1& form) {
    const QColor white(255, 255, 255);
    QStringList problems;
    if (VisibleToks(form) != 0) {
        problems << QStringLiteral("%1 markers visible").arg(VisibleToks(form));
    }
    for (int k = 0; k < kelvara::kPictokCount; ++k) {
        if (form.Widgets().Pictok(k)->BackColor() != white) {
            problems << QStringLiteral("pictok(%1) not white").arg(k);
        }
    }
    if (form.Widgets().PicR()->BackColor() != white) {
        problems << QStringLiteral("picR not white");
    }
    if (Ink(form.Widgets().Layer(Surface::Form1).Image()) != 0) {
        problems << QStringLiteral("graph traces left");
    }
    for (Surface dial : {Surface::picvolt, Surface::picamp}) {
        const QImage& layer = form.Widgets().Layer(dial).Image();
        const int needleX = static_cast<int>(1400 / 15.0 * layer.devicePixelRatio());
        if (Ink(layer) == 0 || InkOutsideColumns(layer, needleX - 3, needleX + 3) != 0) {
            problems << QStringLiteral("dial needle not at rest");
        }
    }
    const QPoint origins[] = {{590, 196}, {590, 348}, {590, 628}};
    for (int i = 0; i < 3; ++i) {
        if (form.Widgets().ImagePosition(static_cast<Image>(i)) != origins[i]) {
            problems << QStringLiteral("image marker %1 off its origin").arg(i);
        }
    }
    return problems.join(QStringLiteral("; "));
}

// The window, counting the passes of its runs: the run loop yields once a
// pass.
class CountingForm : public Form1 {
public:
    long passes = 0;

    // The controls the handlers drive: the window's own, counting passes.
    class Counting : public kelvara::ui::WindowControls {
    public:
        explicit Counting(CountingForm& form)
            : WindowControls(form.Widgets(), form.Run()), form_(form) {}
        bool DoEvents() override {
            ++form_.passes;
            return WindowControls::DoEvents();
        }

    private:
        CountingForm& form_;
    } counting{*this};
};

// Paint events of one window and its children.
class PaintCount : public QObject {
public:
    explicit PaintCount(const QWidget& window) : window_(window) { qApp->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const auto* w = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Paint && w != nullptr && w->window() == &window_) {
            ++count;
        }
        return false;
    }

private:
    const QWidget& window_;
};

struct Fixture {
    CountingForm form;
    QStringList failures;
    FormEvents events{form, [this](const QString& m) { failures << m; }, &form.counting};
    Fixture() { events.Start(); } // loaded, shown, dials at rest
};

// Once the program is ending, a click on the switch or on «Графики» (by
// its signal, as the window is hidden) reaches no handler: the switch keeps
// its look and the screen stays as it was.
bool EndedClicksChangeNothing(Fixture& f) {
    const auto look = [&] {
        return std::pair(f.form.Widgets().PicOn()->Appearance(),
                         f.form.Widgets().PicOn()->BackColor());
    };
    const auto before = look();
    const bool screen = f.form.Widgets().ShirmaVisible();
    f.form.Widgets().PicOn()->Click();
    f.form.Widgets().Command4()->click();
    return look() == before && f.form.Widgets().ShirmaVisible() == screen &&
           f.events.SwitchDepth() == 0;
}

} // namespace

class Events : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kelvara::ui::PinFontSubstitutes(); }

    void startsAtRestWithTheSwitchOff() {
        Fixture f;
        QVERIFY(f.form.isVisible());
        QCOMPARE(f.form.Widgets().PicOn()->Appearance(), kelvara::kAppearanceFlat);
        QCOMPARE(f.form.Widgets().PicOn()->BackColor(), QColor(192, 192, 192));
        QCOMPARE(f.form.State().Running, 0);
        QVERIFY(f.form.Widgets().ShirmaVisible());
        QCOMPARE(VisibleToks(f.form), 0);
        // A presenter's first key reaches the switch, not Exit.
        QCOMPARE(f.form.focusWidget(), f.form.Widgets().PicOn());
        // Both dials show the needle at rest from the first show.
        for (Surface dial : {Surface::picvolt, Surface::picamp}) {
            QVERIFY(Ink(f.form.Widgets().Layer(dial).Image()) > 0);
        }
    }

    void switchOnRunsUntilSwitchedOffThenRests() {
        Fixture f;
        std::set<QString> captions;
        std::set<QRgb> wireColours;
        std::set<int> groups;
        bool sawOn = false;
        QTimer sample;
        sample.setInterval(25);
        QObject::connect(&sample, &QTimer::timeout, [&] {
            sawOn = sawOn || (f.form.Widgets().PicOn()->Appearance() == kelvara::kAppearance3D &&
                              f.form.Widgets().PicOn()->BackColor() == QColor(255, 255, 0) &&
                              f.form.State().Running == 1);
            captions.insert(f.form.Widgets().Caption(kelvara::Label::Label11));
            wireColours.insert(f.form.Widgets().Pictok(3)->BackColor().rgb());
            for (int k = 0; k < kelvara::kTokCount; ++k) {
                if (!f.form.Widgets().Tok(k)->isHidden()) {
                    groups.insert(k);
                    break;
                }
            }
            QCOMPARE(VisibleToks(f.form), 5);
        });
        sample.start();
        After(1500, [&] {
            sample.stop();
            ClickSwitch(f.form); // nested: switches off and resets at once
            QCOMPARE(f.form.Widgets().PicOn()->Appearance(), kelvara::kAppearanceFlat);
            QCOMPARE(f.form.Widgets().PicOn()->BackColor(), QColor(192, 192, 192));
            QCOMPARE(f.form.State().Running, 0);
            QCOMPARE(RestProblems(f.form), QString());
        });
        RunUntilOff(f.form, 4000, "the run did not end within 4 s (switched off at 1.5 s)");

        QVERIFY(sawOn);
        QCOMPARE(captions.size(), 2u);   // the polarity flipped
        QVERIFY(wireColours.size() > 3); // the wire glowed and dimmed
        QVERIFY(groups.size() > 3);      // the charges moved
        QCOMPARE(RestProblems(f.form), QString());
        QVERIFY(f.failures.isEmpty());
        QVERIFY(!f.form.Ending());
    }

    void offThenOnInOneYieldNestsARun_data() {
        QTest::addColumn<int>("key"); // 0: the mouse
        QTest::newRow("mouse") << 0;
        QTest::newRow("Space on the focused switch") << int{Qt::Key_Space};
        QTest::newRow("main Enter on the focused switch") << int{Qt::Key_Return};
    }

    void offThenOnInOneYieldNestsARun() {
        QFETCH(int, key);
        Fixture f;
        const auto press = [&] {
            if (key != 0) {
                QTest::keyClick(f.form.Widgets().PicOn(), static_cast<Qt::Key>(key));
            } else {
                ClickSwitch(f.form);
            }
        };
        int innerDepth = 0;
        bool innerStartedAtZero = false;
        After(300, [&] {
            // Both clicks delivered in this one yield of the outer run.
            press();
            float onAt = 0;
            After(200, [&] {
                innerDepth = f.events.SwitchDepth();
                // The nested run plots its own time since its switch-on, not
                // the outer run's (which would be 0.3 s, 120 twips, ahead).
                const double sinceOn = f.form.Controls().Timer() - onAt;
                innerStartedAtZero =
                    f.form.State().SweepCount == 0 && f.form.State().CurX <= 8850 + 400 * sinceOn;
                press(); // ends the nested run and then the outer
            });
            onAt = f.form.Controls().Timer();
            press();
            QCOMPARE(f.events.SwitchDepth(), 1); // back in the outer run's yield
        });
        const Deadline deadline(f.form, 3000, "the nested runs did not end within 3 s");
        press();
        QCOMPARE(innerDepth, 2);
        QVERIFY(innerStartedAtZero);
        QCOMPARE(f.events.SwitchDepth(), 0);
        QCOMPARE(RestProblems(f.form), QString());
        QCOMPARE(f.form.Widgets().PicOn()->Appearance(), kelvara::kAppearanceFlat);
    }

    // A run yields no faster than its screen shows frames, and one that
    // cannot be seen slows to four passes a second. Passes are only bounded
    // from above over a measured stretch, so a slow machine cannot fail it.
    void pacedToTheScreenAndSlowedUnseen_data() {
        QTest::addColumn<QString>("window");
        QTest::newRow("shown") << QStringLiteral("shown");
        QTest::newRow("hidden") << QStringLiteral("hidden");
        QTest::newRow("minimised") << QStringLiteral("minimised");
    }

    void pacedToTheScreenAndSlowedUnseen() {
        QFETCH(QString, window);
        Fixture f;
        const double hz = f.form.screen()->refreshRate();
        QVERIFY(hz >= 20);
        const double period = window == QLatin1String("shown") ? 1 / hz : 0.25;
        long from = 0;
        long passes = 0;
        double seconds = 0;
        QElapsedTimer stretch;
        After(100, [&] {
            if (window == QLatin1String("hidden")) {
                f.form.hide();
            } else if (window == QLatin1String("minimised")) {
                f.form.showMinimized();
            }
        });
        After(400, [&] {
            from = f.form.passes;
            stretch.start();
        });
        After(1400, [&] {
            passes = f.form.passes - from;
            seconds = static_cast<double>(stretch.nsecsElapsed()) / 1e9;
            QCOMPARE(f.form.State().Running, 1);
            f.form.showNormal();
            ClickSwitch(f.form);
        });
        RunUntilOff(f.form, 4000, "the paced run did not end within 4 s");
        // One pass a frame slot, and a few more where the stretch cuts slots.
        QVERIFY2(passes > 0 && static_cast<double>(passes) <= seconds / period + 3,
                 qPrintable(QStringLiteral("%1 passes in %2 s, one a %3 s at most")
                                .arg(passes)
                                .arg(seconds)
                                .arg(period)));
    }

    void aRunsClockStartsAtItsSwitchEvenAfterThirtyDaysOpen() {
        Fixture f;
        constexpr std::int64_t kUs = 1000; // the clock counts nanoseconds
        std::int64_t now = 0;
        f.form.Run().SetClockSource([&now] { return now; });
        now = 30LL * 86400 * 1000000 * kUs + 417; // the window has been open for 30 days
        const std::int64_t atSwitch = now;

        // Each step sets the clock to a run time; the passes that follow must
        // read it to the microsecond, and plot at x = 8850 + Int(400 t).
        QStringList problems;
        const auto expect = [&](std::int64_t sinceSwitch, std::int64_t sinceRunStart, int depth) {
            const double timer = f.form.Controls().Timer();
            const double want = static_cast<double>(sinceSwitch) / 1e9;
            if (std::abs(timer - want) > 1e-6) {
                problems << QStringLiteral("Timer %1 s, not %2 s").arg(timer).arg(want);
            }
            const double x = 8850 + std::floor(400 * static_cast<double>(sinceRunStart) / 1e9);
            if (f.form.State().CurX != x) {
                problems << QStringLiteral("graph at %1, not %2 (%3 ms into the run)")
                                .arg(f.form.State().CurX)
                                .arg(x)
                                .arg(static_cast<double>(sinceRunStart) / 1e6);
            }
            if (f.events.SwitchDepth() != depth) {
                problems
                    << QStringLiteral("depth %1, not %2").arg(f.events.SwitchDepth()).arg(depth);
            }
        };
        const std::vector<std::int64_t> outer = {1000 * kUs, 2000 * kUs, 3800 * kUs, 6300 * kUs,
                                                 8800 * kUs};
        const std::vector<std::int64_t> inner = {3800 * kUs, 6300 * kUs}; // after the nested start
        const std::int64_t innerStart = outer.back();
        std::function<void(std::size_t)> innerStep;
        innerStep = [&](std::size_t j) {
            if (j > 0) {
                expect(innerStart + inner[j - 1], inner[j - 1], 2);
            }
            if (j == inner.size()) {
                ClickSwitch(f.form); // off: ends both runs
                return;
            }
            now = atSwitch + innerStart + inner[j];
            After(50, [&, j] { innerStep(j + 1); });
        };
        std::function<void(std::size_t)> outerStep;
        outerStep = [&](std::size_t i) {
            if (i > 0) {
                expect(outer[i - 1], outer[i - 1], 1);
            }
            if (i < outer.size()) {
                now = atSwitch + outer[i];
                After(50, [&, i] { outerStep(i + 1); });
                return;
            }
            // Off and on in one yield: the nested run reads on from the
            // same origin, its own run time starting from its own switch.
            ClickSwitch(f.form);
            After(50, [&] { innerStep(0); });
            ClickSwitch(f.form);
        };
        After(50, [&] { outerStep(0); });
        RunUntilOff(f.form, 3000, "the runs on the injected clock did not end within 3 s");

        QCOMPARE(problems.join(QStringLiteral("; ")), QString());
        QCOMPARE(f.events.SwitchDepth(), 0);
        QCOMPARE(RestProblems(f.form), QString());
    }

    // Frozen at depth 1 and inside nested runs: the run's clock stands at
    // the instant on the screen while the real one goes on; thirty steps are
    // exactly half a second of run time; a slider redraws at the same
    // instant; going on resumes from it without a jump; the switch ends the
    // freeze with the run. The injected clock makes every instant exact.
    void freezeHoldsTheInstant_data() {
        QTest::addColumn<int>("depth");
        QTest::newRow("depth 1") << 1;
        QTest::newRow("depth 3") << 3;
    }

    void freezeHoldsTheInstant() {
        QFETCH(int, depth);
        Fixture f;
        std::int64_t now = 0;
        f.form.Run().SetClockSource([&now] { return now; });
        const auto set = [&now](double seconds) { now = std::llround(seconds * 1e9); };
        // The innermost run starts at 0.125 s a level; it is frozen 1.5 s in.
        const double start = 0.125 * (depth - 1);
        const double frozenAt = start + 1.5;
        const auto graphX = [](double runSeconds) { return 8850 + std::floor(400 * runSeconds); };
        const auto curX = [&] { return f.form.State().CurX; };
        QStringList problems;
        const auto expect = [&](bool ok, const QString& what) {
            if (!ok) {
                problems << what;
            }
        };
        QElapsedTimer sinceStep;
        const auto quiet = [&] { return sinceStep.elapsed() >= 150; };
        const auto always = [] { return true; };
        double voltAngle = 0;
        // Each step waits for what it needs to be there (a pass drawn), or for
        // a while where nothing may change; the deadline bounds the waits.
        std::vector<ScriptStep> script;
        for (int d = 2; d <= depth; ++d) {
            script.push_back({always, [&, d] {
                                  set(0.125 * (d - 1));
                                  ClickSwitch(f.form); // off
                                  ClickSwitch(f.form); // on: one level deeper
                              }});
        }
        script.push_back({[&] { return f.events.SwitchDepth() == depth; }, [&] { set(frozenAt); }});
        script.push_back({[&] { return curX() == graphX(1.5); },
                          [&] {
                              QTest::keyClick(&f.form, Qt::Key_P);
                              expect(f.form.Run().Frozen(), QStringLiteral("P did not freeze"));
                              voltAngle = f.form.State().VoltmeterAngle;
                              set(frozenAt + 5); // the real clock goes on
                          }});
        // Frozen with nothing changing, the loop turns without a pass or a
        // paint.
        PaintCount paints(f.form);
        std::pair<long, int> settled;
        script.push_back({quiet, [&] { settled = {f.form.passes, paints.count}; }});
        script.push_back(
            {quiet, [&] {
                 expect(std::pair(f.form.passes, paints.count) == settled,
                        QStringLiteral("%1 passes and %2 paints while frozen")
                            .arg(f.form.passes - settled.first)
                            .arg(paints.count - settled.second));
                 expect(curX() == graphX(1.5) && f.form.State().VoltmeterAngle == voltAngle,
                        QStringLiteral("the frozen run moved"));
                 expect(f.form.Controls().Timer() == static_cast<float>(frozenAt),
                        QStringLiteral("the frozen clock moved"));
                 expect(f.form.accessibleDescription().endsWith(QStringLiteral("Пауза")),
                        QStringLiteral("a screen reader is not told of the pause"));
                 for (int i = 0; i < 30; ++i) {
                     QTest::keyClick(f.form.Widgets().PicOn(), Qt::Key_Right);
                 }
             }});
        script.push_back(
            {[&] { return curX() != graphX(1.5); },
             [&] {
                 expect(f.form.Controls().Timer() == static_cast<float>(frozenAt + 0.5),
                        QStringLiteral("30 steps are not half a second: %1")
                            .arg(f.form.Controls().Timer() - frozenAt));
                 expect(curX() == graphX(2.0),
                        QStringLiteral("the stepped pass plotted at %1").arg(curX()));
                 // A focused slider keeps Page Down and Right (5, 1, then
                 // 10): the run takes no step.
                 QSlider* amplitude = f.form.Widgets().SliderControl(kelvara::Slider::sldU);
                 amplitude->setFocus();
                 QTest::keyClick(amplitude, Qt::Key_PageDown);
                 for (int i = 0; i < 9; ++i) {
                     QTest::keyClick(amplitude, Qt::Key_Right);
                 }
                 expect(amplitude->value() == 10,
                        QStringLiteral("the slider's keys moved it to %1").arg(amplitude->value()));
             }});
        // The same instant with twice the amplitude.
        const double voltY = std::floor(2940 - std::cos(3.14 * 1.5 * 2.0) * 1000);
        script.push_back({[&] { return f.form.State().CurVoltY == voltY; },
                          [&] {
                              expect(curX() == graphX(2.0) &&
                                         f.form.Controls().Timer() ==
                                             static_cast<float>(frozenAt + 0.5),
                                     QStringLiteral("the slider redrew at %1, %2 s")
                                         .arg(curX())
                                         .arg(f.form.Controls().Timer()));
                              set(frozenAt + 12);
                              QTest::keyClick(&f.form, Qt::Key_Pause); // goes on
                              expect(!f.form.Run().Frozen(), QStringLiteral("Pause did not go on"));
                          }});
        script.push_back({always, [&] { set(frozenAt + 12.25); }});
        script.push_back(
            {[&] { return curX() != graphX(2.0); },
             [&] {
                 expect(curX() == graphX(2.25),
                        QStringLiteral("went on at %1, not from the frozen instant").arg(curX()));
                 QTest::keyClick(&f.form, Qt::Key_P);
             }});
        script.push_back({always, [&] {
                              ClickSwitch(f.form); // off, from the freeze: every level ends
                          }});
        sinceStep.start();
        const ScriptPlayer player(script, [&] { sinceStep.start(); });
        RunUntilOff(f.form, 5000, "the frozen runs did not end within 5 s");

        QCOMPARE(problems.join(QStringLiteral("; ")), QString());
        QCOMPARE(player.Played(), script.size());
        QVERIFY(!f.form.Run().Frozen());
        QVERIFY(!f.form.accessibleDescription().endsWith(QStringLiteral("Пауза")));
        QCOMPARE(f.events.SwitchDepth(), 0);
        QCOMPARE(RestProblems(f.form), QString());
        // At rest the key does nothing.
        QTest::keyClick(&f.form, Qt::Key_P);
        QVERIFY(!f.form.Run().Frozen());
    }

    // A frozen run driven by an injected clock: the cursor at the x of a
    // pass reads that pass's t, u, i and p, and nothing beyond the trace or
    // off the window; E (and «У» in the Russian layout) shows the group
    // mirrored along the wire as minus signs, and off again gives back the
    // very pixels of the positive carriers.
    void frozenRunReadByTheCursorAndAsElectrons() {
        Fixture f;
        std::int64_t now = 0;
        f.form.Run().SetClockSource([&now] { return now; });
        const auto set = [&now](double seconds) { now = std::llround(seconds * 1e9); };
        f.form.Widgets().Command4()->click(); // the graphs screen lifted
        QTest::keyClick(&f.form, Qt::Key_V);
        const kelvara::ui::Presenter& teaching = f.form.Teaching();
        const auto& graphs = teaching.Graphs();
        const auto& st = f.form.State();
        const auto pointer = [&](std::optional<QPoint> at) {
            if (at) {
                QMouseEvent move(QEvent::MouseMove, *at, f.form.mapToGlobal(*at), Qt::NoButton,
                                 Qt::NoButton, Qt::NoModifier);
                QApplication::sendEvent(&f.form, &move);
            } else {
                QEvent leave(QEvent::Leave);
                QApplication::sendEvent(&f.form, &leave);
            }
        };
        const auto px = [](int twips) { return static_cast<int>(std::lround(twips / 15.0)); };
        QStringList problems;
        const auto expect = [&](bool ok, const QString& what) {
            if (!ok) {
                problems << what;
            }
        };
        std::array<double, 3> drawnAt1s{};
        std::vector<int> group;
        QImage positive;
        const auto visible = [&] {
            std::vector<int> shown;
            for (int k = 0; k < kelvara::kTokCount; ++k) {
                if (!f.form.Widgets().Tok(k)->isHidden()) {
                    shown.push_back(k);
                }
            }
            return shown;
        };
        const std::vector<ScriptStep> script = {
            {[&] { return st.CurX == 8850; }, [&] { set(1.0); }},
            {[&] { return st.CurX == 9250; },
             [&] {
                 drawnAt1s = {st.CurVoltY, st.CurCurrentY, static_cast<double>(st.CurPowerY)};
                 set(1.5);
             }},
            {[&] { return st.CurX == 9450; },
             [&] {
                 QTest::keyClick(&f.form, Qt::Key_P);
                 set(9); // the real clock goes on; the frozen run does not
                 pointer(QPoint(px(9250), px(3600)));
                 const auto reading = graphs.Reading();
                 expect(reading && reading->x == 9250, QStringLiteral("no pass read at 1 s"));
                 QStringList lines;
                 for (const auto& l : graphs.ReadingLines()) {
                     lines << l.text;
                 }
                 const auto v = kelvara::ui::ValueLines::InstantOf(st, drawnAt1s[0], drawnAt1s[1],
                                                                   drawnAt1s[2]);
                 const QLocale ru(QLocale::Russian, QLocale::Russia);
                 const auto sign = [&](double x) {
                     return (x < 0 ? QStringLiteral("−") : QStringLiteral("+")) +
                            ru.toString(std::abs(x), 'f', 3);
                 };
                 const QStringList want{QStringLiteral("t = 1,00 с"),
                                        QStringLiteral("u = %1 В").arg(sign(v.u)),
                                        QStringLiteral("i = %1 А").arg(sign(v.i)),
                                        QStringLiteral("p = %1 Вт").arg(ru.toString(v.p, 'f', 3))};
                 expect(lines == want, lines.join(QLatin1Char('|')) +
                                           QStringLiteral(" read, not ") +
                                           want.join(QLatin1Char('|')));
                 // The thin cursor crosses the power graph below its trace.
                 const QImage img = f.form.grab().toImage();
                 expect(img.pixelColor(px(9250), px(9700)) == QColor(96, 96, 96),
                        QStringLiteral("no cursor drawn at 1 s"));
                 pointer(QPoint(px(12000), px(3600)));
                 expect(!graphs.Reading(), QStringLiteral("a reading where nothing is drawn"));
                 pointer(QPoint(px(9250), px(3600)));
                 pointer(std::nullopt);
                 expect(!graphs.Reading(), QStringLiteral("the cursor stayed off the window"));
                 // Onto a control the window gets no Leave: the control's
                 // Enter takes the cursor off the graphs.
                 pointer(QPoint(px(9250), px(3600)));
                 QEvent enter(QEvent::Enter);
                 QApplication::sendEvent(f.form.Widgets().Command4(), &enter);
                 expect(!graphs.Reading(), QStringLiteral("the cursor stayed on a control"));

                 positive = f.form.grab().toImage();
                 group = visible();
                 QTest::keyClick(&f.form, Qt::Key_E);
                 const std::vector<int> mirrored = visible();
                 expect(group.size() == 5 && mirrored.size() == 5 &&
                            mirrored.front() == 34 - group.front() &&
                            mirrored.back() == 38 - group.front(),
                        QStringLiteral("electrons at %1, carriers at %2")
                            .arg(mirrored.empty() ? -1 : mirrored.front())
                            .arg(group.empty() ? -1 : group.front()));
                 const QImage electrons = f.form.grab().toImage();
                 for (const int k : mirrored) {
                     const auto* tok = f.form.Widgets().Tok(k);
                     const QPoint c = tok->mapTo(&f.form, tok->rect().center());
                     // The bar across shows; above it, where a plus has its
                     // upright, only the wire's colour.
                     expect(tok->GetSign() == kelvara::ui::SignMarker::Sign::Minus &&
                                electrons.pixelColor(c) == QColor(Qt::black) &&
                                electrons.pixelColor(c - QPoint(0, 3)) == tok->BackColor(),
                            QStringLiteral("tok(%1) shows no minus").arg(k));
                 }
                 QKeyEvent russian(QEvent::KeyPress, u'У', Qt::NoModifier, QStringLiteral("у"));
                 QApplication::sendEvent(&f.form, &russian);
                 expect(visible() == group, QStringLiteral("«У» did not give the carriers back"));
                 expect(f.form.grab().toImage() == positive,
                        QStringLiteral("the carriers' pixels are not as before"));
                 pointer(QPoint(px(9250), px(3600))); // the cursor at 1 s
                 ClickSwitch(f.form);                 // off, from the freeze
             }},
        };
        const ScriptPlayer player(script);
        RunUntilOff(f.form, 5000, "the frozen run was not read within 5 s");
        QCOMPARE(problems.join(QStringLiteral("; ")), QString());
        QCOMPARE(player.Played(), script.size());
        // Switched off, the traces are erased: the cursor reads nothing,
        // neither where it stood nor where the pointer goes.
        QVERIFY2(!graphs.Reading(), "the cursor read the erased sweep at the switch-off");
        pointer(QPoint(px(9300), px(3600)));
        QVERIFY2(!graphs.Reading(), "the cursor read the erased sweep after the switch-off");
        QVERIFY(f.form.grab().toImage().pixelColor(px(9300), px(9700)) != QColor(96, 96, 96));
    }

    // A run taken home from the window at its smallest. With no sweep yet,
    // Ctrl+Shift+S only says why and its menu entry is off. Ctrl+S while the
    // run goes on holds it for the dialog and goes on after. Frozen, Ctrl+C
    // (Ctrl+С in the Russian layout) and Ctrl+S give the very pixels of the
    // window's own grab at twice its natural size, with the cursor on the
    // same pass, and leave the window as it was; Ctrl+Shift+S gives the
    // values each pass was plotted from, which Python's csv module reads
    // with the language's separator: u = Uₘ·sin(ωt + φ), i = u/R, p = u·i,
    // and p over whole periods averages to the P that V shows.
    void aRunTakenHome_data() {
        QTest::addColumn<bool>("english");
        QTest::newRow("Russian") << false;
        QTest::newRow("English") << true;
    }

    void aRunTakenHome() {
        QFETCH(bool, english);
        const auto backToRussian =
            qScopeGuard([] { kelvara::ui::SetLanguage(kelvara::ui::Language::Russian); });
        Fixture f;
        QTemporaryDir dir;
        f.form.resize(Form1::PictureSize() / 4); // held at its smallest, half the natural
        kelvara::ui::Presenter& teaching = f.form.Teaching();
        const auto& st = f.form.State();
        // Every pass a frame of run time later, as fast as they come.
        std::int64_t now = 0;
        f.form.Run().SetClockSource([&now] { return now += 1'000'000'000 / 60; });
        f.form.Run().SetPaced(false);
        f.form.Widgets().SliderControl(kelvara::Slider::sldW)->setValue(7); // ω = 9,42
        f.form.Widgets().SliderControl(kelvara::Slider::sldU)->setValue(8);
        f.form.Widgets().SliderControl(kelvara::Slider::sldR)->setValue(4);
        f.form.Widgets().Command4()->click();
        QTest::keyClick(&f.form, Qt::Key_V);
        if (english) {
            QTest::keyClick(&f.form, Qt::Key_L);
        }
        QStringList problems;
        const auto expect = [&](bool ok, const QString& what) {
            if (!ok) {
                problems << what;
            }
        };
        std::vector<kelvara::ui::FileSaver::Request> asked;
        QStringList told;
        std::function<QString()> answer = [] { return QString(); };
        auto& saver = teaching.Saver();
        saver.SetChooser([&](const kelvara::ui::FileSaver::Request& r) {
            asked.push_back(r);
            return answer();
        });
        saver.SetMessages({[](const QString&) { return true; },
                           [&](const QString& m) { told << m; },
                           [&](const QString& m) { told << m; }});
        const auto saveDataEnabled = [&] {
            teaching.ShowMenuAtFocus();
            bool enabled = false;
            for (const QAction* a : teaching.Menu()->actions()) {
                if (a->text().endsWith(QStringLiteral("\tCtrl+Shift+S"))) {
                    enabled = a->isEnabled();
                }
            }
            teaching.Menu()->hide();
            return enabled;
        };
        QAccessibleInterface* focused = QAccessible::queryAccessibleInterface(f.form.focusWidget());
        const auto heard = [&] { return focused->text(QAccessible::Description); };

        QTest::keyClick(&f.form, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(told.size(), 1);
        QVERIFY(asked.empty());
        QVERIFY(!saveDataEnabled());

        const QString saved = english ? QStringLiteral("Saved: ") : QStringLiteral("Сохранено: ");
        QImage copied;
        QString png;
        QString csv;
        const std::vector<ScriptStep> script = {
            {[&] { return st.CurX >= 8850 + 400; },
             [&] {
                 bool held = false;
                 answer = [&] {
                     held = f.form.Run().Frozen();
                     return dir.filePath(QStringLiteral("running.png"));
                 };
                 QTest::keyClick(&f.form, Qt::Key_S, Qt::ControlModifier);
                 expect(held && !f.form.Run().Frozen(),
                        QStringLiteral("the run was not held for the dialog alone"));
                 expect(heard().startsWith(saved + QStringLiteral("running.png")),
                        QStringLiteral("heard: ") + heard());
             }},
            {[&] { return st.CurX >= 8850 + 400 * 4.5; },
             [&] {
                 QTest::keyClick(&f.form, Qt::Key_P);
                 const Twips map = f.form.Map();
                 const QPoint at = map.Point(10000, 3600);
                 QMouseEvent move(QEvent::MouseMove, at, f.form.mapToGlobal(at), Qt::NoButton,
                                  Qt::NoButton, Qt::NoModifier);
                 QApplication::sendEvent(&f.form, &move);
                 const QImage shown = f.form.grab().toImage();
                 if (english) {
                     QTest::keyClick(&f.form, Qt::Key_C, Qt::ControlModifier);
                 } else {
                     QKeyEvent russian(QEvent::KeyPress, u'С', Qt::ControlModifier,
                                       QStringLiteral("\x03"));
                     QApplication::sendEvent(&f.form, &russian);
                 }
                 copied = QGuiApplication::clipboard()->image();
                 expect(heard().startsWith(english ? QStringLiteral("Picture copied")
                                                   : QStringLiteral("Рисунок скопирован")),
                        QStringLiteral("heard: ") + heard());
                 expect(f.form.grab().toImage() == shown,
                        QStringLiteral("the window changed with the picture"));
                 f.form.grab().toImage().save("/tmp/i33-after.png");
                 answer = [&] { return dir.filePath(asked.back().name); };
                 QTest::keyClick(&f.form, Qt::Key_S, Qt::ControlModifier);
                 png = dir.filePath(asked.back().name);
                 QTest::keyClick(&f.form, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
                 csv = dir.filePath(asked.back().name);
                 expect(saveDataEnabled() && f.form.Run().Frozen() && told.size() == 1,
                        QStringLiteral("the numbers were not there to save"));
                 // The window itself at that size, the pointer on the same
                 // point of the drawing.
                 const Twips twice(2.0);
                 const QPointF twips = map.TwipsAt(at);
                 f.form.resize(Form1::PictureSize());
                 const QPoint there = twice.Point(twips.x(), twips.y());
                 QMouseEvent moveThere(QEvent::MouseMove, there, f.form.mapToGlobal(there),
                                       Qt::NoButton, Qt::NoButton, Qt::NoModifier);
                 QApplication::sendEvent(&f.form, &moveThere);
                 const QImage grab = f.form.grab().toImage().convertToFormat(QImage::Format_RGB32);
                 expect(grab.size() == QSize(2032, 1468) &&
                            copied.convertToFormat(QImage::Format_RGB32) == grab,
                        QStringLiteral("the copied picture is not the window's own"));
                 expect(QImage(png).convertToFormat(QImage::Format_RGB32) == grab,
                        QStringLiteral("the saved picture is not the window's own"));
                 ClickSwitch(f.form); // off, from the freeze
             }},
        };
        const ScriptPlayer player(script);
        RunUntilOff(f.form, 10000, "the run was not taken home within 10 s");
        QCOMPARE(problems.join(QStringLiteral("; ")), QString());
        QCOMPARE(player.Played(), script.size());

        // Proposed as kelvara-YYYY-MM-DD-HHMMSS in the Pictures folder, then
        // in the folder saved into last.
        QCOMPARE(asked.size(), 3u);
        QVERIFY(QRegularExpression(QStringLiteral("^kelvara-\\d{4}-\\d\\d-\\d\\d-\\d{6}\\.png$"))
                    .match(asked[0].name)
                    .hasMatch());
        QVERIFY(asked[2].name.endsWith(QStringLiteral(".csv")));
        QCOMPARE(asked[1].folder, dir.path());
        QCOMPARE(asked[2].folder, dir.path());

        // The P that V shows, and the table read back by Python.
        const auto& lines = teaching.ShownValues().Lines();
        const QString p = kelvara::ui::ValueLines::Text(lines.at(6));
        const QString shownP = p.section(QLatin1Char(' '), -2, -2).replace(',', '.');
        QCOMPARE(p, english ? QStringLiteral("P = U · I = 0.08 W")
                            : QStringLiteral("P = U · I = 0,08 Вт"));
        const char* check = R"(
import csv, math, sys
path, sep = sys.argv[1], sys.argv[2]
um, r, w, P = map(float, sys.argv[3:7])
with open(path, encoding='utf-8-sig', newline='') as f:
    comments = [l.strip() for l in f if l.startswith('#')]
with open(path, encoding='utf-8-sig', newline='') as f:
    rows = list(csv.reader((l for l in f if not l.startswith('#')), delimiter=sep))
data = [[float(x.replace(',', '.')) for x in row] for row in rows[1:]]
assert all(len(row) == 4 for row in rows), 'rows of other than four fields'
us = max(abs(u - um * math.sin(w * t + math.pi / 2)) for t, u, i, p in data)
ir = max(abs(i - u / r) for t, u, i, p in data)
pu = max(abs(p - u * i) for t, u, i, p in data)
n = int((data[-1][0] - data[0][0]) // (2 * math.pi / w))
whole = [p for t, u, i, p in data if t < data[0][0] + n * 2 * math.pi / w]
mean = sum(whole) / len(whole)
print('|'.join(rows[0]))
print(comments[-2])
print(len(data), n, us < 2e-5, ir < 2e-6, pu < 2e-6, abs(mean - P) / P < 0.01)
)";
        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral("-c"), QString::fromUtf8(check), csv,
                      english ? QStringLiteral(",") : QStringLiteral(";"), QStringLiteral("0.8"),
                      QStringLiteral("4"), QString::number(st.Omega, 'g', 17), shownP});
        QVERIFY(python.waitForFinished(20000));
        QCOMPARE(QString::fromUtf8(python.readAllStandardError()), QString());
        const QStringList out =
            QString::fromUtf8(python.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(out.size(), 3);
        QCOMPARE(out[0], english ? QStringLiteral("t (s)|u (V)|i (A)|p (W)")
                                 : QStringLiteral("t (с)|u (В)|i (А)|p (Вт)"));
        QCOMPARE(out[1], QStringLiteral("# ") + p);
        // A row a pass of the frozen sweep, at least 4.5 s of it: more than
        // six whole periods of 0,67 s.
        const QStringList checks = out[2].split(' ');
        QVERIFY2(checks.size() == 6 && checks[0].toInt() >= 270 && checks[1].toInt() >= 6,
                 qPrintable(out[2]));
        QCOMPARE(checks.mid(2), QStringList(4, QStringLiteral("True")));
    }

    // L (or «Д» with a Russian layout) during a run changes every text at
    // once and keeps the run: frozen, English and back give the Russian
    // window to the pixel; going on in English reads the same clock, nothing
    // restarted.
    void languageSwitchKeepsTheRunGoing() {
        Fixture f;
        std::int64_t now = 0;
        f.form.Run().SetClockSource([&now] { return now; });
        const auto set = [&now](double seconds) { now = std::llround(seconds * 1e9); };
        const auto graphX = [](double runSeconds) { return 8850 + std::floor(400 * runSeconds); };
        const auto curX = [&] { return f.form.State().CurX; };
        const kelvara::ui::DrawingSurface& surface = f.form.Widgets().WindowSurface();
        const int title = surface.Find(QStringLiteral("Label2"));
        const QString russianTitle = surface.Caption(title);
        QImage russian;
        QStringList problems;
        const auto expect = [&](bool ok, const QString& what) {
            if (!ok) {
                problems << what;
            }
        };
        QElapsedTimer sinceStep;
        const auto quiet = [&] { return sinceStep.elapsed() >= 150; };
        const auto english = [&] {
            return surface.Caption(title) != russianTitle &&
                   f.form.Widgets().Command1()->text() == QStringLiteral("Exit");
        };
        const std::vector<ScriptStep> script = {
            {[] { return true; }, [&] { set(1.0); }},
            {[&] { return curX() == graphX(1.0); }, [&] { QTest::keyClick(&f.form, Qt::Key_P); }},
            {quiet,
             [&] {
                 russian = f.form.grab().toImage();
                 QTest::keyClick(&f.form, Qt::Key_L);
             }},
            {quiet,
             [&] {
                 expect(english(), QStringLiteral("L did not bring the English texts"));
                 expect(f.form.Run().Frozen(), QStringLiteral("the freeze ended"));
                 QKeyEvent press(QEvent::KeyPress, u'Д', Qt::NoModifier, QStringLiteral("\u0434"));
                 QApplication::sendEvent(f.form.Widgets().PicOn(), &press);
             }},
            {quiet,
             [&] {
                 expect(f.form.grab().toImage() == russian,
                        QStringLiteral("back in Russian, the window is not as it was"));
                 QTest::keyClick(&f.form, Qt::Key_L);
                 QTest::keyClick(&f.form, Qt::Key_P); // goes on, in English
                 set(2.5);
             }},
            {[&] { return curX() == graphX(2.5); },
             [&] {
                 expect(english() && f.form.State().SweepCount == 0 && f.events.SwitchDepth() == 1,
                        QStringLiteral("the run did not go on in English"));
                 QTest::keyClick(&f.form, Qt::Key_L);
                 ClickSwitch(f.form); // off
             }},
        };
        sinceStep.start();
        const ScriptPlayer player(script, [&] { sinceStep.start(); });
        RunUntilOff(f.form, 5000, "the run with the language switched did not end within 5 s");
        QCOMPARE(problems.join(QStringLiteral("; ")), QString());
        QCOMPARE(player.Played(), script.size());
        QCOMPARE(surface.Caption(title), russianTitle);
    }

    // The menu lists every action with its keys and shows the toggles'
    // states; it and the help panel are popped up, not run in a loop of their
    // own, so the run goes on beneath them.
    void menuAndHelpLeaveTheRunGoing() {
        Fixture f;
        QStringList problems;
        const auto expect = [&](bool ok, const QString& what) {
            if (!ok) {
                problems << what;
            }
        };
        kelvara::ui::Presenter& teaching = f.form.Teaching();
        QMenu* menu = teaching.Menu();
        const auto entry = [&](const QString& text) -> QAction* {
            for (QAction* a : menu->actions()) {
                if (a->text().startsWith(text)) {
                    return a;
                }
            }
            return nullptr;
        };
        double x = 0;
        std::vector<std::function<void()>> script = {
            [&] {
                // A right click on a slider reaches the window.
                QWidget* slider = f.form.Widgets().SliderControl(kelvara::Slider::sldW);
                QContextMenuEvent click(QContextMenuEvent::Mouse, {10, 10},
                                        slider->mapToGlobal(QPoint(10, 10)));
                QApplication::sendEvent(slider, &click);
                expect(menu->isVisible(), QStringLiteral("no menu on a right click"));
                QStringList texts;
                for (QAction* a : menu->actions()) {
                    if (!a->isSeparator()) {
                        texts << a->text();
                    }
                }
                expect(
                    texts ==
                        QStringList{QStringLiteral("Пауза\tP, Pause"),
                                    QStringLiteral("Шаг вперёд на 1/60 с\t→, Page Down"),
                                    QStringLiteral("Значения\tV"), QStringLiteral("Электроны\tE"),
                                    QStringLiteral("Проекторный вид\tC"),
                                    QStringLiteral("Во весь экран\tF11"), QStringLiteral("Язык\tL"),
                                    QStringLiteral("Копировать рисунок\tCtrl+C"),
                                    QStringLiteral("Сохранить рисунок…\tCtrl+S"),
                                    QStringLiteral("Сохранить данные…\tCtrl+Shift+S"),
                                    QStringLiteral("Справка\tF1"), QStringLiteral("Выход\tCtrl+Q")},
                    QStringLiteral("menu: %1").arg(texts.join(QLatin1Char('|'))));
                expect(entry(QStringLiteral("Пауза"))->isEnabled() &&
                           !entry(QStringLiteral("Пауза"))->isChecked() &&
                           !entry(QStringLiteral("Шаг"))->isEnabled(),
                       QStringLiteral("the pause entries do not show a running run"));
                x = f.form.State().CurX;
            },
            [&] {
                expect(f.form.State().CurX > x,
                       QStringLiteral("the run stood while the menu was open"));
                entry(QStringLiteral("Значения"))->trigger();
                menu->hide();
                expect(teaching.ValuesShown(), QStringLiteral("the menu did not show the values"));
                QTest::keyClick(f.form.Widgets().PicOn(), Qt::Key_F1);
                expect(teaching.HelpShown(), QStringLiteral("F1 did not show the help"));
                x = f.form.State().CurX;
            },
            [&] {
                expect(f.form.State().CurX > x, QStringLiteral("the run stood under the help"));
                QTest::keyClick(f.form.Widgets().PicOn(), Qt::Key_Escape);
                expect(!teaching.HelpShown(), QStringLiteral("Escape did not close the help"));
                QTest::keyClick(f.form.Widgets().PicOn(), Qt::Key_F1);
                QTest::mouseClick(teaching.Help(), Qt::LeftButton, {}, QPoint(5, 5));
                expect(!teaching.HelpShown(), QStringLiteral("a click did not close the help"));
                QTest::keyClick(f.form.Widgets().PicOn(), Qt::Key_F10, Qt::ShiftModifier);
                expect(menu->isVisible(), QStringLiteral("Shift+F10 opened no menu"));
                entry(QStringLiteral("Пауза"))->trigger(); // freezes from the menu
                menu->hide();
                expect(f.form.Run().Frozen(), QStringLiteral("the menu did not freeze the run"));
                teaching.ShowMenuAtFocus();
                expect(entry(QStringLiteral("Пауза"))->isChecked() &&
                           entry(QStringLiteral("Шаг"))->isEnabled() &&
                           entry(QStringLiteral("Значения"))->isChecked() &&
                           !entry(QStringLiteral("Проекторный"))->isChecked(),
                       QStringLiteral("the menu does not show the freeze and the values"));
                entry(QStringLiteral("Проекторный"))->trigger();
                menu->hide();
                expect(f.form.ProjectorView(), QStringLiteral("the menu gave no projector view"));
                teaching.ShowMenuAtFocus();
                expect(entry(QStringLiteral("Проекторный"))->isChecked(),
                       QStringLiteral("the menu does not show the projector view"));
                menu->hide();
                ClickSwitch(f.form);
            },
        };
        const QObject scope;
        std::size_t next = 0;
        std::function<void()> advance = [&] {
            if (next < script.size()) {
                After(300, scope, advance);
                script[next++]();
            }
        };
        After(200, scope, advance);
        RunUntilOff(f.form, 4000, "the run with the menu and help did not end within 4 s");
        QCOMPARE(problems.join(QStringLiteral("; ")), QString());
        QCOMPARE(next, script.size());
        QVERIFY(!f.form.Run().Frozen());
        QVERIFY(!f.form.isFullScreen());
    }

    // The menu ticks what V, C and F11 turned on from the keyboard. Escape
    // closes the help, else leaves fullscreen; a window as it opened it
    // leaves as it is.
    void keysShowInTheMenuAndEscapeOnlyLeaves() {
        Fixture f;
        kelvara::ui::Presenter& teaching = f.form.Teaching();
        const auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
            QTest::keyClick(f.form.Widgets().PicOn(), key, modifiers);
        };
        const auto ticked = [&] {
            press(Qt::Key_F10, Qt::ShiftModifier);
            QStringList on;
            for (const QAction* a : teaching.Menu()->actions()) {
                if (a->isChecked()) {
                    on << a->text().section(QLatin1Char('\t'), 0, 0);
                }
            }
            teaching.Menu()->hide();
            return on;
        };
        const auto state = [&] { return f.form.windowState() & ~Qt::WindowActive; };
        const QRect geometry = f.form.geometry();
        press(Qt::Key_Escape);
        QCOMPARE(state(), Qt::WindowStates(Qt::WindowNoState));
        QCOMPARE(f.form.geometry(), geometry);
        QVERIFY(f.form.isVisible() && !f.form.Ending());

        press(Qt::Key_V);
        press(Qt::Key_C);
        press(Qt::Key_F11);
        QCOMPARE(ticked(),
                 QStringList({QStringLiteral("Значения"), QStringLiteral("Проекторный вид"),
                              QStringLiteral("Во весь экран")}));
        press(Qt::Key_F1);
        press(Qt::Key_Escape);
        QVERIFY(!teaching.HelpShown());
        QCOMPARE(state(), Qt::WindowStates(Qt::WindowFullScreen));
        press(Qt::Key_Escape);
        QCOMPARE(state(), Qt::WindowStates(Qt::WindowNoState));
        press(Qt::Key_V);
        press(Qt::Key_C);
        QCOMPARE(ticked(), QStringList());
    }

    // A held Space repeats its press; the switch toggles once.
    void heldSpaceTogglesOnce() {
        Fixture f;
        int depthWhileHeld = 0;
        After(100, [&] {
            for (int i = 0; i < 5; ++i) {
                QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier,
                                 QStringLiteral(" "), true);
                QApplication::sendEvent(f.form.Widgets().PicOn(), &repeat);
            }
            QTest::keyRelease(f.form.Widgets().PicOn(), Qt::Key_Space);
            depthWhileHeld = f.events.SwitchDepth();
            QCOMPARE(f.form.State().Running, 1);
            QTest::keyClick(f.form.Widgets().PicOn(), Qt::Key_Space);
        });
        const Deadline deadline(f.form, 2000, "the run of a held Space did not end within 2 s");
        QTest::keyPress(f.form.Widgets().PicOn(), Qt::Key_Space);
        QCOMPARE(depthWhileHeld, 1);
        QCOMPARE(f.form.State().Running, 0);
        QCOMPARE(RestProblems(f.form), QString());
    }

    void graphsToggleDuringARunWithoutAPause() {
        Fixture f;
        double curXAtToggle = 0;
        bool screenHidden = false;
        After(300, [&] {
            QTest::mouseClick(f.form.Widgets().Command4(), Qt::LeftButton);
            screenHidden = !f.form.Widgets().ShirmaVisible();
            curXAtToggle = f.form.State().CurX;
            QCOMPARE(f.form.State().Running, 1);
        });
        After(700, [&] {
            // The curves went on growing after the toggle; the screen comes
            // back at the next click, from the keyboard this time.
            QVERIFY(f.form.State().CurX > curXAtToggle);
            f.form.Widgets().Command4()->setFocus();
            QTest::keyClick(f.form.Widgets().Command4(), Qt::Key_Space);
            QVERIFY(f.form.Widgets().ShirmaVisible());
            QTest::keyClick(f.form.Widgets().Command4(), Qt::Key_Return);
            QVERIFY(!f.form.Widgets().ShirmaVisible());
            // Not frozen, the step keys are Qt's: on a button Right moves the
            // focus on as Tab does and Page Down does nothing; a slider moves.
            for (QWidget* button : {f.form.Widgets().Command4(), f.form.Widgets().Command1()}) {
                button->setFocus();
                QTest::keyClick(button, Qt::Key_Tab);
                QWidget* next = f.form.focusWidget();
                QVERIFY(next != button);
                button->setFocus();
                QTest::keyClick(button, Qt::Key_Right);
                QCOMPARE(f.form.focusWidget(), next);
                button->setFocus();
                QTest::keyClick(button, Qt::Key_PageDown);
                QCOMPARE(f.form.focusWidget(), button);
            }
            QSlider* amplitude = f.form.Widgets().SliderControl(kelvara::Slider::sldU);
            QTest::keyClick(amplitude, Qt::Key_Right);
            QCOMPARE(amplitude->value(), 6);
            QTest::keyClick(amplitude, Qt::Key_PageDown);
            QCOMPARE(amplitude->value(), 1);
            QVERIFY(!f.form.Run().Frozen());
            ClickSwitch(f.form);
        });
        RunUntilOff(f.form, 3000, "the run did not end within 3 s (switched off at 0.7 s)");
        QVERIFY(screenHidden);
        QVERIFY(curXAtToggle > 8850);
    }

    void exitAndCloseEndFromAnyDepthWithoutAnotherPass_data() {
        QTest::addColumn<int>("depth");
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("frozen");
        for (const int depth : {1, 3, 10}) {
            for (const char* how : {"Exit", "close", "Ctrl+Q"}) {
                QTest::addRow("%s at depth %d", how, depth)
                    << depth << QString::fromLatin1(how) << false;
            }
        }
        // From a freeze, and Ctrl+Q as a Russian layout sends it (Ctrl+Й).
        for (const int depth : {1, 3}) {
            for (const char* how : {"Exit", "close", "Ctrl+Q", "Ctrl+Й"}) {
                QTest::addRow("%s at depth %d, frozen", how, depth)
                    << depth << QString::fromUtf8(how) << true;
            }
        }
    }

    void exitAndCloseEndFromAnyDepthWithoutAnotherPass() {
        QFETCH(int, depth);
        QFETCH(QString, how);
        QFETCH(bool, frozen);
        Fixture f;
        kelvara::SimState atEnd;
        QImage graphsAtEnd;
        int depthAtEnd = 0;
        const QByteArray late =
            QStringLiteral("the program did not end within 2 s after %1 at depth %2")
                .arg(how)
                .arg(depth)
                .toUtf8();
        std::optional<kelvara::test::Deadline> ending;
        std::function<void()> step;
        step = [&] {
            if (f.events.SwitchDepth() < depth) {
                ClickSwitch(f.form); // off
                After(50, step);
                ClickSwitch(f.form); // on: one level deeper
                return;
            }
            if (frozen && !f.form.Run().Frozen()) {
                QTest::keyClick(&f.form, Qt::Key_P);
                After(50, step); // ends from the frozen yield
                return;
            }
            QThread::msleep(20); // any further pass would now draw elsewhere
            depthAtEnd = f.events.SwitchDepth();
            ending.emplace(f.form, 2000, late.constData());
            if (how == QLatin1String("close")) {
                f.form.close();
            } else if (how == QLatin1String("Exit")) {
                QTest::mouseClick(f.form.Widgets().Command1(), Qt::LeftButton);
            } else if (how == QLatin1String("Ctrl+Q")) {
                QTest::keyClick(&f.form, Qt::Key_Q, Qt::ControlModifier);
            } else {
                // The key of Q with a Russian layout active.
                QKeyEvent press(QEvent::KeyPress, u'Й', Qt::ControlModifier,
                                QStringLiteral("\u0439"));
                QApplication::sendEvent(f.form.Widgets().PicOn(), &press);
            }
            atEnd = f.form.State();
            graphsAtEnd = f.form.Widgets().Layer(Surface::Form1).Image().copy();
        };
        After(100, step);
        {
            const Deadline deadline(f.form, 3000 + 200 * depth,
                                    "never reached the depth to end from");
            ClickSwitch(f.form);
        }

        QCOMPARE(depthAtEnd, depth);
        QCOMPARE(f.form.Run().Frozen(), frozen); // ended from the frozen yield
        QVERIFY(f.form.Ending());
        QCOMPARE(f.form.ExitCode(), 0);
        QCOMPARE(f.events.SwitchDepth(), 0);
        // Nothing was drawn after the end: no pass, no reset.
        QCOMPARE(f.form.State().CurX, atEnd.CurX);
        QCOMPARE(f.form.State().VoltmeterAngle, atEnd.VoltmeterAngle);
        QCOMPARE(f.form.State().AmmeterAngle, atEnd.AmmeterAngle);
        QCOMPARE(f.form.Widgets().Layer(Surface::Form1).Image(), graphsAtEnd);
        QCOMPARE(VisibleToks(f.form), 5);
        QVERIFY(f.failures.isEmpty());
        QVERIFY2(EndedClicksChangeNothing(f), "a click was handled after the end");
    }

    void aFailureIsReportedAndEndsWithCodeOne() {
        Fixture f;
        // A resistance of 0 cannot be set by the slider; forced here, it makes
        // the heat level divide by zero.
        After(100, [&] {
            QSlider* r = f.form.Widgets().SliderControl(kelvara::Slider::sldR);
            r->setMinimum(0);
            r->setValue(0);
        });
        RunUntilOff(f.form, 2000, "the program did not end within 2 s after the failure");
        QCOMPARE(f.failures.size(), 1);
        QVERIFY2(f.failures.first().contains(QStringLiteral("division by zero")),
                 qPrintable(f.failures.first()));
        QVERIFY(f.form.Ending());
        QCOMPARE(f.form.ExitCode(), 1);
        QVERIFY2(EndedClicksChangeNothing(f), "a click was handled after the failure report");
    }
};

QTEST_MAIN(Events)
#include "events_test.moc"
