// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The window's controls as the simulation drives them: start-up, markers,
// boxes, captions, image markers, run-time drawing in the retained layers,
// sliders, clock, the ending flag, the click signals for the event layer.
#include "support.h"

#include "display/meters.h"
#include "sim/errors.h"
#include "sim/state.h"
#include "ui/paint/stroke_record.h"
#include "ui/widgets/box.h"
#include "ui/widgets/marker.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

using kelvara::Box;
using kelvara::Colour;
using kelvara::Image;
using kelvara::RGB;
using kelvara::Surface;
using kelvara::ui::Form1;
using namespace kelvara::uitest;

class ControlsTest : public QObject {
    Q_OBJECT

private slots:
    void loadStepHidesEveryChargeMarker() {
        Form1 form;
        for (int k = 0; k < kelvara::kTokCount; ++k) {
            QVERIFY(!form.Widgets().Tok(k)->isHidden()); // visible as laid out
        }
        Form_Load(form.State(), form.Controls());
        for (int k = 0; k < kelvara::kTokCount; ++k) {
            QVERIFY2(form.Widgets().Tok(k)->isHidden(), qPrintable(QString::number(k)));
        }
        QCOMPARE(form.Widgets().Layer(Surface::Form1).PenWidth(), 2);
        QCOMPARE(form.Widgets().Layer(Surface::picvolt).PenWidth(), 3);
        QCOMPARE(form.Widgets().Layer(Surface::picamp).PenWidth(), 3);
        QCOMPARE(form.State().NeedleLength, 1060);
    }

    void controlArraysCheckTheirIndices() {
        Form1 form;
        QVERIFY_THROWS_EXCEPTION(kelvara::IndexError, form.Controls().SetTokVisible(39, true));
        QVERIFY_THROWS_EXCEPTION(kelvara::IndexError, form.Controls().SetTokVisible(-1, false));
        QVERIFY_THROWS_EXCEPTION(kelvara::IndexError, form.Controls().SetTokBackColor(39, 0));
        QVERIFY_THROWS_EXCEPTION(kelvara::IndexError,
                                 form.Controls().SetBackColor(Box::pictok, 9, 0));
        form.Controls().SetTokVisible(38, true);
        form.Controls().SetBackColor(Box::pictok, 8, RGB(1, 2, 3));
        QCOMPARE(form.Widgets().Pictok(8)->BackColor(), QColor(1, 2, 3));
        // As electrons, the marker the simulation addresses as k is 38 - k,
        // its index still checked as given.
        Form_Load(form.State(), form.Controls());
        form.Controls().SetElectrons(true);
        QVERIFY_THROWS_EXCEPTION(kelvara::IndexError, form.Controls().SetTokVisible(39, true));
        QVERIFY_THROWS_EXCEPTION(kelvara::IndexError, form.Controls().SetTokBackColor(-1, 0));
        for (int k = 0; k < kelvara::kTokCount; ++k) {
            form.Controls().SetTokVisible(k, true);
            form.Controls().SetTokBackColor(k, RGB(k, 0, 0));
            std::vector<int> shown;
            for (int m = 0; m < kelvara::kTokCount; ++m) {
                if (!form.Widgets().Tok(m)->isHidden()) {
                    shown.push_back(m);
                }
            }
            QCOMPARE(shown, std::vector<int>{kelvara::kTokCount - 1 - k});
            QCOMPARE(form.Widgets().Tok(kelvara::kTokCount - 1 - k)->BackColor(), QColor(k, 0, 0));
            form.Controls().SetTokVisible(k, false);
        }
    }

    void backgroundsAndSwitchLook() {
        auto form = FormAtRest();
        form->Controls().SetBackColor(Box::pictok, 3, RGB(255, 100, 100));
        form->Controls().SetBackColor(Box::picR, 0, RGB(255, 255, 10));
        form->Controls().SetTokVisible(10, true);
        form->Controls().SetTokBackColor(10, RGB(255, 100, 100));
        QCOMPARE(form->Controls().Appearance(Box::picOn), kelvara::kAppearanceFlat);
        form->Controls().SetAppearance(Box::picOn, kelvara::kAppearance3D);
        form->Controls().SetBackColor(Box::picOn, 0, RGB(255, 255, 0));
        QCOMPARE(form->Controls().Appearance(Box::picOn), kelvara::kAppearance3D);
        QCOMPARE(form->Widgets().PicOn()->EdgeWidth(), 2);
        QCOMPARE(form->Widgets().PicOn()->Client()->geometry(), QRect(2, 2, 21, 21));

        const QImage img = Grab(*form);
        QCOMPARE(At(img, PxPoint(502, 7000)), QColor(255, 100, 100));
        QCOMPARE(At(img, PxPoint(4000, 9300)), QColor(255, 255, 10));
        QCOMPARE(At(img, PxPoint(7350, 4200)), QColor(255, 255, 0));
        // The marker's sign stays black on the new background.
        const QWidget* tok = form->Widgets().Tok(10);
        QCOMPARE(At(img, tok->mapTo(form.get(), tok->rect().center())), QColor(Qt::black));
        QCOMPARE(At(img, tok->mapTo(form.get(), QPoint(0, 0))), QColor(255, 100, 100));
        // The sunken edge replaces the flat black line.
        QVERIFY(At(img, PxPoint(7320, 4300)) != QColor(Qt::black));

        form->Controls().SetAppearance(Box::picOn, kelvara::kAppearanceFlat);
        form->Controls().SetBackColor(Box::picOn, 0, RGB(192, 192, 192));
        const QImage off = Grab(*form);
        QCOMPARE(At(off, PxPoint(7320, 4300)), QColor(Qt::black));
        QCOMPARE(At(off, PxPoint(7350, 4200)), QColor(192, 192, 192));
    }

    void signBars_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("plus");
        QTest::newRow("tok 11x15") << QSize(11, 15) << true;
        QTest::newRow("tok(4) 13x11") << QSize(13, 11) << true;
        QTest::newRow("Plus1 17x17") << QSize(17, 17) << true;
        QTest::newRow("Plus5 11x17") << QSize(11, 17) << true;
        QTest::newRow("Minus 15x19") << QSize(15, 19) << false;
    }

    // Signs are centred, inside the marker, in bold strokes.
    void signBars() {
        QFETCH(QSize, size);
        QFETCH(bool, plus);
        using kelvara::ui::SignMarker;
        const auto bars =
            SignMarker::Bars(plus ? SignMarker::Sign::Plus : SignMarker::Sign::Minus, size);
        QCOMPARE(bars.size(), plus ? std::size_t{2} : std::size_t{1});
        const QRect whole(QPoint(0, 0), size);
        for (const QRect& bar : bars) {
            QVERIFY(whole.contains(bar));
            QVERIFY(std::min(bar.width(), bar.height()) >= 2);
            QCOMPARE(bar.left() + bar.right(), size.width() - 1);
            QCOMPARE(bar.top() + bar.bottom(), size.height() - 1);
        }
    }

    void captions() {
        auto form = FormAtRest();
        const QRect label11 = PxRect(4740, 4260, 195, 315);
        const QImage plus = Grab(*form);
        form->Controls().SetCaption(kelvara::Label::Label11, "-");
        form->Controls().SetCaption(kelvara::Label::Label12, "+");
        QCOMPARE(form->Widgets().Caption(kelvara::Label::Label11), QStringLiteral("-"));
        QCOMPARE(form->Widgets().Caption(kelvara::Label::Label12), QStringLiteral("+"));
        const QImage minus = Grab(*form);
        QVERIFY(plus.copy(label11) != minus.copy(label11));
        // The opaque label keeps the panel colour around its text.
        QCOMPARE(At(minus, label11.topLeft()), QColor(192, 255, 192));
    }

    void imageMarkersStartOnTheirOriginsAndMove() {
        auto form = FormAtRest();
        QCOMPARE(form->Widgets().ImagePosition(Image::imgU), PxPoint(8850, 2940));
        QCOMPARE(form->Widgets().ImagePosition(Image::imgI), PxPoint(8850, 5220));
        QCOMPARE(form->Widgets().ImagePosition(Image::imgP), PxPoint(8850, 9420));

        form->Widgets().SetShirmaVisible(false);
        form->Controls().SetImageLeft(Image::imgU, 11850);
        form->Controls().SetImageTop(Image::imgU, 1940);
        QCOMPARE(form->Widgets().ImagePosition(Image::imgU), PxPoint(11850, 1940));
        const QImage img = Grab(*form);
        QCOMPARE(At(img, PxPoint(11850, 1940) + QPoint(3, 3)), QColor(0, 0, 255));
        QVERIFY(At(img, PxPoint(8850, 2940) + QPoint(3, 3)) != QColor(0, 0, 255));
    }

    // Lines go through the one mapping into the surface's retained layer,
    // in its pen width, above the drawn layout and below child windows.
    void drawLineShowsOnItsSurface() {
        auto form = FormAtRest();
        form->Widgets().SetShirmaVisible(false);
        const Colour red = RGB(255, 0, 0);
        form->Controls().DrawLine(Surface::Form1, 9000, 4000, 12000, 4000, red); // graph panel
        form->Controls().DrawLine(Surface::picvolt, 300, 1200, 900, 1200, red);
        form->Controls().DrawLine(Surface::picamp, 300, 1200, 900, 1200, red);
        const QImage img = Grab(*form);
        const QColor r(255, 0, 0);
        // Window pen 2 pixels: rows 266 and 267 at y 4000 (266.7 px).
        QCOMPARE(CountColour(img, QRect(PxPoint(9300, 3900), PxPoint(11700, 4100)), r),
                 2 * (Px(11700) - Px(9300) + 1));
        // Dial pen 3 pixels.
        const QPoint v = InClient(*form, "picvolt", PxPoint(600, 1200));
        QCOMPARE(CountColour(img, QRect(v - QPoint(0, 5), v + QPoint(0, 5)), r), 3);
        const QPoint a = InClient(*form, "picamp", PxPoint(600, 1200));
        QCOMPARE(CountColour(img, QRect(a - QPoint(0, 5), a + QPoint(0, 5)), r), 3);

        // Under the screen a line drawn on the window stays hidden.
        form->Widgets().SetShirmaVisible(true);
        QCOMPARE(CountColour(Grab(*form), QRect(PxPoint(9300, 3900), PxPoint(11700, 4100)), r), 0);
    }

    // The graph markers lie over the traces they lead: a trace drawn
    // through a marker's square leaves the marker's colour at its centre.
    void imageMarkersStayOverTheTraces() {
        auto form = FormAtRest();
        form->Widgets().SetShirmaVisible(false);
        // Across the middle of imgU (blue) in red, of imgP (yellow) in blue.
        form->Controls().DrawLine(Surface::Form1, 8700, 3000, 9100, 3000, RGB(255, 0, 0));
        form->Controls().DrawLine(Surface::Form1, 8700, 9480, 9100, 9480, RGB(0, 0, 255));
        const QImage img = Grab(*form);
        const QPoint centre(4, 4);
        QVERIFY2(At(img, form->Widgets().ImagePosition(Image::imgU) + centre) == QColor(0, 0, 255),
                 "the voltage trace covers its marker");
        QVERIFY2(At(img, form->Widgets().ImagePosition(Image::imgP) + centre) ==
                     QColor(255, 255, 0),
                 "the power trace covers its marker");
        // Beside the markers the traces show.
        QCOMPARE(At(img, PxPoint(9050, 3000)), QColor(255, 0, 0));
        QCOMPARE(At(img, PxPoint(9050, 9480)), QColor(0, 0, 255));
    }

    void clsClearsOnlyThatLayer() {
        auto form = FormAtRest();
        form->Widgets().SetShirmaVisible(false);
        const QImage before = Grab(*form);
        const Colour red = RGB(255, 0, 0);
        form->Controls().DrawLine(Surface::Form1, 9000, 4000, 12000, 4000, red);
        form->Controls().DrawLine(Surface::picvolt, 300, 1200, 900, 1200, red);
        form->Controls().Cls(Surface::picvolt);
        QImage img = Grab(*form);
        const QPoint v = InClient(*form, "picvolt", PxPoint(600, 1200));
        QCOMPARE(At(img, v), QColor(192, 192, 255));
        // The layout's scale and labels, and the rest needle drawn at start,
        // were never in the layer... except the needle, which Cls takes.
        QCOMPARE(At(img, InClient(*form, "picvolt", PxPoint(1380, 345))), QColor(Qt::white));
        QCOMPARE(At(img, InClient(*form, "picvolt", {Px(1400), 60})), QColor(192, 192, 255));
        QCOMPARE(At(img, PxPoint(10000, 4000)), QColor(255, 0, 0));

        form->Controls().Cls(Surface::Form1);
        kelvara::picvolt_Paint(form->Controls());
        QCOMPARE(Grab(*form), before);
    }

    void retainedDrawingSurvivesExposes() {
        auto form = FormAtRest();
        form->Widgets().SetShirmaVisible(false);
        kelvara::UpdateVoltmeter(form->State(), form->Controls(), 30);
        form->Controls().DrawLine(Surface::Form1, 9000, 4000, 12000, 4000, RGB(255, 0, 0));
        // The surfaces drawn on; the sliders' look depends on activation.
        const QRect dial = form->Widgets().BoxNamed("picvolt")->geometry();
        const QRect panel = PxRect(8460, 1740, 6765, 8145);
        const QImage drawn = Grab(*form);
        form->hide();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->Widgets().SetShirmaVisible(true);
        form->Widgets().SetShirmaVisible(false);
        form->repaint();
        const QImage again = Grab(*form);
        QCOMPARE(again.copy(dial), drawn.copy(dial));
        QCOMPARE(again.copy(panel), drawn.copy(panel));
        QCOMPARE(At(again, PxPoint(10000, 4000)), QColor(255, 0, 0));
    }

    // The moving needle erases the one before it with the same stroke in the
    // dial colour: nothing of the old needle is left, not even a fringe.
    void needleEraseLeavesNoFringe() {
        auto form = FormAtRest();
        const QImage rest = Grab(*form);
        kelvara::UpdateVoltmeter(form->State(), form->Controls(), 45);
        kelvara::UpdateVoltmeter(form->State(), form->Controls(), -45);
        kelvara::UpdateVoltmeter(form->State(), form->Controls(), 0);
        // At 0 the needle sits where the rest needle was drawn.
        QCOMPARE(Grab(*form), rest);
        kelvara::UpdateVoltmeter(form->State(), form->Controls(), 60);
        const QImage img = Grab(*form);
        const QColor dial(192, 192, 255);
        for (int y = 40; y < 90; ++y) {
            for (int x = 88; x < 99; ++x) {
                QCOMPARE(At(img, InClient(*form, "picvolt", {x, y})), dial);
            }
        }
    }

    // The record that replays run-time drawing at another scale: what it
    // keeps, in which order, and that it stays bounded.
    void strokeRecordKeepsWhatShows() {
        using kelvara::ui::StrokeRecord;
        const auto strokes = [](const StrokeRecord& r) {
            std::vector<std::array<int, 5>> out;
            r.ForEach([&](const StrokeRecord::Stroke& s) {
                out.push_back({s.x1, s.y1, s.x2, s.y2, static_cast<int>(s.colour & 0xff)});
            });
            return out;
        };
        StrokeRecord r;
        // A needle drawn, erased by the same stroke in the face colour, drawn
        // again: only the last stroke of a place is kept.
        r.Add(1400, 1600, 1399, 540, 128, 3);
        r.Add(1400, 1600, 1399, 540, 255, 3);
        r.Add(1400, 1600, 869, 682, 128, 3);
        r.Add(1400, 1600, 869, 682, 255, 3);
        r.Add(1400, 1600, 1399, 540, 128, 3);
        QCOMPARE(strokes(r), (std::vector<std::array<int, 5>>{{1400, 1600, 869, 682, 255},
                                                              {1400, 1600, 1399, 540, 128}}));
        // A trace going on in one direction is one stroke; a turn starts
        // another; a point on its end adds nothing; another colour's stroke
        // across its way keeps it from growing under it.
        r.Clear();
        r.Add(8850, 2940, 8850, 2900, 1, 2);
        r.Add(8850, 2900, 8850, 2900, 1, 2);
        r.Add(8850, 2900, 8850, 2850, 1, 2);
        r.Add(8850, 2850, 8851, 2840, 1, 2);
        r.Add(8840, 2835, 8860, 2835, 2, 2);
        r.Add(8851, 2840, 8852, 2830, 1, 2);
        QCOMPARE(strokes(r), (std::vector<std::array<int, 5>>{{8850, 2940, 8850, 2850, 1},
                                                              {8850, 2850, 8851, 2840, 1},
                                                              {8840, 2835, 8860, 2835, 2},
                                                              {8851, 2840, 8852, 2830, 1}}));
        // A needle swinging over the same positions for a long run.
        r.Clear();
        for (int pass = 0; pass < 100000; ++pass) {
            r.Add(1400, 1600, 1000 + pass % 300, 600, 255, 3);
            r.Add(1400, 1600, 1000 + (pass + 1) % 300, 600, 128, 3);
        }
        QCOMPARE(r.Count(), std::size_t{300});
        QVERIFY(r.MemoryBytes() < std::size_t{64} * 1024);
    }

    void slidersClockAndEnding() {
        Form1 form;
        QCOMPARE(form.Controls().SliderValue(kelvara::Slider::sldW), 5);
        QCOMPARE(form.Controls().SliderValue(kelvara::Slider::sldU), 5);
        QCOMPARE(form.Controls().SliderValue(kelvara::Slider::sldR), 1);
        form.Widgets().SliderControl(kelvara::Slider::sldR)->setValue(7);
        QCOMPARE(form.Controls().SliderValue(kelvara::Slider::sldR), 7);

        float last = form.Controls().Timer();
        QVERIFY(last >= 0);
        for (int i = 0; i < 100; ++i) {
            const float now = form.Controls().Timer();
            QVERIFY(now >= last);
            last = now;
        }

        QVERIFY(form.Controls().DoEvents());
        QVERIFY(!form.Ending());
        form.RequestEnd(3);
        QVERIFY(form.Ending());
        QCOMPARE(form.ExitCode(), 3);
        QVERIFY(!form.Controls().DoEvents());
    }

    void clickSignals() {
        auto form = FormAtRest();
        QSignalSpy on(form.get(), &Form1::picOnClicked);
        QSignalSpy exit(form.get(), &Form1::command1Clicked);
        QSignalSpy graphs(form.get(), &Form1::command4Clicked);
        QWindow* window = form->windowHandle();
        const QPoint switchCentre = PxRect(7320, 4170, 375, 375).center();

        QTest::mouseClick(window, Qt::LeftButton, {}, switchCentre);
        QCOMPARE(on.count(), 1);
        // A quick second click arrives as a double click and still counts.
        QTest::mouseDClick(window, Qt::LeftButton, {}, switchCentre);
        QCOMPARE(on.count(), 3);
        QTest::mouseClick(window, Qt::RightButton, {}, switchCentre);
        QTest::mouseClick(window, Qt::LeftButton, {}, PxPoint(7000, 4000));
        QCOMPARE(on.count(), 3);
        // Released outside the switch: no click.
        QTest::mousePress(window, Qt::LeftButton, {}, switchCentre);
        QTest::mouseRelease(window, Qt::LeftButton, {}, switchCentre + QPoint(40, 0));
        QCOMPARE(on.count(), 3);

        QTest::mouseClick(window, Qt::LeftButton, {}, PxRect(8460, 1290, 6735, 315).center());
        QCOMPARE(graphs.count(), 1);
        QCOMPARE(exit.count(), 0);
        form->Widgets().Command1()->setFocus();
        QTest::keyClick(form->Widgets().Command1(), Qt::Key_Space);
        QCOMPARE(exit.count(), 1);
        QTest::mouseClick(form->Widgets().Command1(), Qt::LeftButton);
        QCOMPARE(exit.count(), 2);
    }
};

std::unique_ptr<QObject> MakeControlsTest() {
    return std::make_unique<ControlsTest>();
}

#include "controls_test.moc"
