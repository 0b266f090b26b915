// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The real window under a long or rough run: the Graphs button pressed on
// every pass, and the window resized, hidden and shown while it runs.
#include "sim/controls.h"
#include "ui/look/fonts.h"
#include "ui/widgets/box.h"
#include "ui/widgets/marker.h"
#include "ui/window/events.h"
#include "ui/window/form1.h"
#include "window_driver.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using kelvara::Surface;
using kelvara::test::ClickSwitch;
using kelvara::test::Ink;
using kelvara::test::RunUntilOff;
using kelvara::test::VisibleToks;
using kelvara::ui::Form1;
using kelvara::ui::FormEvents;

namespace {

// The window with a hook on the run loop's yield, which every pass calls
// exactly once. Unpaced: these runs are counted in passes, not seconds.
class HookedForm : public Form1 {
public:
    HookedForm() { Run().SetPaced(false); }

    std::function<void(long)> everyPass;
    long passes = 0;

    // The controls the handlers drive: the window's own, with the hook.
    class Hooked : public kelvara::ui::WindowControls {
    public:
        explicit Hooked(HookedForm& form)
            : WindowControls(form.Widgets(), form.Run()), form_(form) {}
        bool DoEvents() override {
            ++form_.passes;
            if (form_.everyPass) {
                form_.everyPass(form_.passes);
            }
            return WindowControls::DoEvents();
        }

    private:
        HookedForm& form_;
    } hooked{*this};
};

// Pure green pixels of a retained layer.
int Green(const QImage& layer) {
    int n = 0;
    for (int y = 0; y < layer.height(); ++y) {
        for (int x = 0; x < layer.width(); ++x) {
            n += layer.pixel(x, y) == qRgb(0, 255, 0) ? 1 : 0;
        }
    }
    return n;
}

// Collects what Qt says about painting while it lives: a painter that
// could not begin on a surface with no pixels.
class PainterWarnings {
public:
    PainterWarnings() : previous_(qInstallMessageHandler(&Note)) { Said().clear(); }
    ~PainterWarnings() { qInstallMessageHandler(previous_); }
    PainterWarnings(const PainterWarnings&) = delete;
    PainterWarnings& operator=(const PainterWarnings&) = delete;
    PainterWarnings(PainterWarnings&&) = delete;
    PainterWarnings& operator=(PainterWarnings&&) = delete;

    static QStringList& Said() {
        static QStringList said;
        return said;
    }

private:
    static void Note(QtMsgType /*type*/, const QMessageLogContext& /*context*/,
                     const QString& message) {
        if (message.contains(QLatin1String("QPainter")) ||
            message.contains(QLatin1String("Paint device"))) {
            if (Said().size() < 5) {
                Said() << message;
            }
        }
    }

    QtMessageHandler previous_;
};

} // namespace

class WindowStress : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kelvara::ui::PinFontSubstitutes(); }

    void graphsToggledOnEveryPassFor10000Passes() {
        HookedForm form;
        QStringList failures;
        FormEvents events(
            form, [&](const QString& m) { failures << m; }, &form.hooked);
        events.Start();
        const bool screenAtStart = form.Widgets().ShirmaVisible();
        long toggles = 0;
        long wrongGroups = 0;
        form.everyPass = [&](long pass) {
            if (pass > 1 && VisibleToks(form) != 5) {
                ++wrongGroups;
            }
            if (pass <= 10000) {
                const bool before = form.Widgets().ShirmaVisible();
                QTest::mouseClick(form.Widgets().Command4(), Qt::LeftButton);
                toggles += form.Widgets().ShirmaVisible() != before ? 1 : 0;
            }
            if (pass == 10000) {
                ClickSwitch(form);
            }
        };
        RunUntilOff(form, 60000, "10,000 passes with the Graphs button did not end within 60 s");

        QCOMPARE(toggles, 10000L);
        QCOMPARE(form.passes, 10000L); // no yield after the off click's pass
        QCOMPARE(wrongGroups, 0L);
        QCOMPARE(form.Widgets().ShirmaVisible(), screenAtStart);
        QCOMPARE(form.State().Running, 0);
        QCOMPARE(VisibleToks(form), 0);
        QVERIFY(failures.isEmpty());
    }

    void resizedHiddenAndShownWhileRunning() {
        HookedForm form;
        QStringList failures;
        FormEvents events(
            form, [&](const QString& m) { failures << m; }, &form.hooked);
        events.Start();
        form.Widgets().SetShirmaVisible(false);
        // Down to a single pixel, as a desktop with no window manager allows.
        form.setMinimumSize(1, 1);
        const PainterWarnings warnings;
        std::vector<double> curX;
        const std::vector<std::function<void()>> steps = {
            [&] { form.resize(700, 500); },
            [&] { form.resize(1400, 900); },
            [&] { form.hide(); },
            [&] { form.show(); },
            [&] { form.showMinimized(); },
            [&] { form.showNormal(); },
            [&] { form.resize(1, 1); },
            // Drawn on a dial that has no pixels now (clear of the needle's
            // sweep): it shows once the dial has room again.
            [&] {
                form.Controls().DrawLine(Surface::picvolt, 100, 1500, 600, 1500,
                                         kelvara::RGB(0, 255, 0));
            },
            [&] { form.resize(1920, 1); },
            [&] { form.resize(1, 1080); },
            [&] { form.resize(1016, 734); },
        };
        int greenAfter = 0;
        form.everyPass = [&](long pass) {
            // One rough step every 200 passes, noting how far the graphs got.
            if (pass % 200 == 0) {
                const auto step = static_cast<std::size_t>(pass / 200 - 1);
                curX.push_back(form.State().CurX);
                if (step < steps.size()) {
                    steps[step]();
                } else {
                    greenAfter = Green(form.Widgets().Layer(Surface::picvolt).Image());
                    ClickSwitch(form);
                }
            }
        };
        // Traces drawn before the roughness must still be there after it.
        RunUntilOff(form, 30000, "the run with resizes and hides did not end within 30 s");
        QVERIFY(failures.isEmpty());
        QVERIFY2(PainterWarnings::Said().isEmpty(), qPrintable(PainterWarnings::Said().join('\n')));
        // A 3-pixel pen from x 7 to 40, with its square ends: 36 x 3.
        QCOMPARE(greenAfter, 36 * 3);
        QCOMPARE(curX.size(), steps.size() + 1);
        for (std::size_t i = 1; i < curX.size(); ++i) {
            QVERIFY2(curX[i] >= curX[i - 1], "the graphs went back while the run went on");
        }
        QCOMPARE(form.State().Running, 0);
        QCOMPARE(Ink(form.Widgets().Layer(Surface::Form1).Image()), 0);
    }

    void drawingSurvivesHideAndShowDuringARun() {
        HookedForm form;
        FormEvents events(
            form, [](const QString&) {}, &form.hooked);
        events.Start();
        form.Widgets().SetShirmaVisible(false);
        bool inkAfterShow = false;
        bool grabShowsTrace = false;
        form.everyPass = [&](long pass) {
            if (pass == 300) {
                form.hide();
                QCoreApplication::processEvents();
                form.show();
                QCoreApplication::processEvents();
                inkAfterShow = Ink(form.Widgets().Layer(Surface::Form1).Image()) > 0;
                // A blue trace pixel shows in a grab of the graph panel.
                const QImage img = form.grab(QRect(564, 116, 451, 543)).toImage();
                for (int y = 0; y < img.height() && !grabShowsTrace; ++y) {
                    for (int x = 0; x < img.width(); ++x) {
                        if (img.pixel(x, y) == qRgb(0, 0, 255)) {
                            grabShowsTrace = true;
                            break;
                        }
                    }
                }
                ClickSwitch(form);
            }
        };
        RunUntilOff(form, 30000, "the run hidden and shown did not end within 30 s");
        QVERIFY(inkAfterShow);
        QVERIFY(grabShowsTrace);
    }
};

QTEST_MAIN(WindowStress)
#include "window_stress_test.moc"
