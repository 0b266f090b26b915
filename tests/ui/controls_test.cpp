// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The window's controls as the simulation drives them: start-up, markers,
// boxes, captions, image markers, run-time drawing in the retained layers,
// sliders, clock, the ending flag, the click signals for the event layer,
// and the presenter built apart from the window.
#include "support.h"

#include "display/graphs.h"
#include "display/meters.h"
#include "sim/errors.h"
#include "sim/state.h"
#include "ui/files/file_saver.h"
#include "ui/lang/language.h"
#include "ui/paint/stroke_record.h"
#include "ui/run/run_yield.h"
#include "ui/teach/graph_overlay.h"
#include "ui/teach/help_panel.h"
#include "ui/teach/presenter.h"
#include "ui/teach/readouts.h"
#include "ui/widgets/box.h"
#include "ui/widgets/marker.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <csignal>
#include <memory>
#include <set>
#include <tuple>
#include <vector>

using kelvara::Box;
using kelvara::Colour;
using kelvara::Image;
using kelvara::RGB;
using kelvara::Surface;
using kelvara::ui::Form1;
using namespace kelvara::uitest;

namespace {

std::set<QRgb> ColoursIn(const QImage& img, const QRect& r) {
    std::set<QRgb> colours;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            colours.insert(At(img, {x, y}).rgb());
        }
    }
    return colours;
}

int CountColour(const QImage& img, const QRect& r, const QColor& c) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            n += At(img, {x, y}) == c ? 1 : 0;
        }
    }
    return n;
}

} // namespace

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

    // What V writes out, in the notation of the language shown, for the
    // sliders' settings, the effective values, mean power and period they
    // give, and the point the graphs plotted last (a negative cosine: the
    // minus); the levels' labels with them. After L, every text the
    // presenter shows is in English, numbers too, whatever the system's
    // locale writes: here one with a decimal comma.
    void valuesInTheLanguageShown_data() {
        QTest::addColumn<bool>("english");
        QTest::addColumn<int>("frequencyStep");
        QTest::addColumn<int>("amplitudeStep");
        QTest::addColumn<int>("resistance");
        QTest::addColumn<double>("phaseCos");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("levels");
        const QString gap = QStringLiteral("     ");
        // `effective`: U, I, P and T as written.
        const auto row = [&](const char* tag, bool english, int w, int u, int r, double cos,
                             std::initializer_list<const char*> parts,
                             std::array<const char*, 4> effective) {
            QStringList lines;
            for (const char* line : parts) {
                lines << QString::fromUtf8(line).replace(QStringLiteral("|"), gap);
            }
            const auto value = [&](std::size_t k) { return QString::fromUtf8(effective.at(k)); };
            const auto say = [&](const char* russian, const char* inEnglish) {
                return QString::fromUtf8(english ? inEnglish : russian);
            };
            const QString volt = say("В", "V");
            const QString ampere = say("А", "A");
            const QString watt = say("Вт", "W");
            lines.insert(2, say("Действующие значения:", "Effective (rms) values:"));
            lines.insert(3, QStringLiteral("U = Um / √2 = %1 %2").arg(value(0), volt));
            lines.insert(4, QStringLiteral("I = Im / √2 = %1 %2").arg(value(1), ampere));
            lines.insert(5, say("Средняя мощность:", "Average power:"));
            lines.insert(6, QStringLiteral("P = U · I = %1 %2").arg(value(2), watt));
            lines.insert(7,
                         say("Период T = 1 / f = %1 с", "Period T = 1 / f = %1 s").arg(value(3)));
            const QStringList levels{QStringLiteral("U = %1 %2").arg(value(0), volt),
                                     QStringLiteral("I = %1 %2").arg(value(1), ampere),
                                     QStringLiteral("P = %1 %2").arg(value(2), watt)};
            QTest::newRow(tag) << english << w << u << r << cos << lines << levels;
        };
        row("start-up", false, 5, 5, 1, -1,
            {"f = 0,75 Гц|ω = 4,71 рад/с|Um = 0,5 В", "R = 1 Ом|Im = Um / R = 0,5 А",
             "u = −0,500 В|i = −0,500 А|p = 0,250 Вт"},
            {"0,354", "0,354", "0,125", "1,33"});
        row("slowest and weakest", false, 1, 1, 10, 1,
            {"f = 0,05 Гц|ω = 0,31 рад/с|Um = 0,1 В", "R = 10 Ом|Im = Um / R = 0,01 А",
             "u = +0,100 В|i = +0,010 А|p = 0,001 Вт"},
            {"0,0707", "0,00707", "0,0005", "20"});
        row("fastest and strongest", false, 9, 10, 3, 0.5,
            {"f = 2,00 Гц|ω = 12,56 рад/с|Um = 1,0 В", "R = 3 Ом|Im = Um / R = 0,333 А",
             "u = +0,500 В|i = +0,167 А|p = 0,084 Вт"},
            {"0,707", "0,236", "0,167", "0,5"});
        row("at a zero of the cosine", false, 7, 3, 7, 0,
            {"f = 1,50 Гц|ω = 9,42 рад/с|Um = 0,3 В", "R = 7 Ом|Im = Um / R = 0,043 А",
             "u = 0,000 В|i = 0,000 А|p = 0,000 Вт"},
            {"0,212", "0,0303", "0,00643", "0,667"});
        row("full amplitude through 2 ohms", false, 4, 10, 2, 1,
            {"f = 0,50 Гц|ω = 3,14 рад/с|Um = 1,0 В", "R = 2 Ом|Im = Um / R = 0,5 А",
             "u = +1,000 В|i = +0,500 А|p = 0,500 Вт"},
            {"0,707", "0,354", "0,25", "2"});
        row("start-up, after L", true, 5, 5, 1, -1,
            {"f = 0.75 Hz|ω = 4.71 rad/s|Um = 0.5 V", "R = 1 Ω|Im = Um / R = 0.5 A",
             "u = −0.500 V|i = −0.500 A|p = 0.250 W"},
            {"0.354", "0.354", "0.125", "1.33"});
        row("slowest and weakest, after L", true, 1, 1, 10, 1,
            {"f = 0.05 Hz|ω = 0.31 rad/s|Um = 0.1 V", "R = 10 Ω|Im = Um / R = 0.01 A",
             "u = +0.100 V|i = +0.010 A|p = 0.001 W"},
            {"0.0707", "0.00707", "0.0005", "20"});
    }

    void valuesInTheLanguageShown() {
        QFETCH(bool, english);
        QFETCH(int, frequencyStep);
        QFETCH(int, amplitudeStep);
        QFETCH(int, resistance);
        QFETCH(double, phaseCos);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, levels);
        auto form = FormAtRest();
        form->Widgets().SetShirmaVisible(false);
        form->Widgets().SliderControl(kelvara::Slider::sldW)->setValue(frequencyStep);
        form->Widgets().SliderControl(kelvara::Slider::sldU)->setValue(amplitudeStep);
        form->Widgets().SliderControl(kelvara::Slider::sldR)->setValue(resistance);
        const kelvara::ui::Presenter& teaching = form->Teaching();
        const kelvara::ui::Readouts& shown = teaching.ShownReadouts();
        QVERIFY(shown.Lines().empty()); // nothing until V
        QTest::keyClick(form.get(), Qt::Key_V);
        const QLocale system;
        const auto restore = qScopeGuard([&] {
            QLocale::setDefault(system);
            kelvara::ui::SetLanguage(kelvara::ui::Language::Russian);
            QCoreApplication::processEvents();
        });
        if (english) {
            QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
            QTest::keyClick(form.get(), Qt::Key_L);
            QCoreApplication::processEvents(); // Qt tells the widgets
            QCOMPARE(teaching.Menu()->actions().at(0)->text(), QStringLiteral("Pause\tP, Pause"));
        }
        QCOMPARE(shown.Lines().size(), std::size_t{8}); // no run: no instant values
        QStringList texts;
        for (const auto& line : shown.Lines()) {
            texts << kelvara::ui::Readouts::Text(line);
        }
        QStringList labels;
        for (const auto& level : shown.Graphs().Levels()) {
            labels << level.label.text;
        }
        QCOMPARE(labels, levels);
        form->State().Resistance = resistance;
        kelvara::PlotGraphs(form->State(), form->Controls(), phaseCos, amplitudeStep / 10.0, 0);
        texts << kelvara::ui::Readouts::Text(
            kelvara::ui::Readouts::InstantLine(kelvara::ui::Readouts::InstantOf(form->State())));
        QCOMPARE(texts, lines);
        // They follow a slider at once, and V hides them again.
        form->Widgets().SliderControl(kelvara::Slider::sldR)->setValue(resistance == 1 ? 2 : 1);
        QVERIFY(kelvara::ui::Readouts::Text(shown.Lines()[1]) != lines[1]);
        QVERIFY(kelvara::ui::Readouts::Text(shown.Lines()[4]) != lines[4]);
        QTest::keyClick(form.get(), Qt::Key_V);
        QVERIFY(shown.Lines().empty());
    }

    // With the values and the graphs shown, each level lies where a trace of
    // that value would: 1000 twips a volt and an ampere, 2500 a watt, rounded
    // down from the zero lines; the axes' numbers lie on bare panel.
    void levelsAndNumberedAxesOnTheGraphs() {
        auto form = FormAtRest();
        form->Widgets().SetShirmaVisible(false);
        const QImage bare = Grab(*form);
        const std::set<QRgb> panel{qRgb(255, 255, 255), qRgb(128, 128, 255)};
        QTest::keyClick(form.get(), Qt::Key_V);
        const auto& overlay = form->Teaching().ShownReadouts().Graphs();
        for (const auto& [u, r] : {std::pair{5, 1}, std::pair{10, 2}}) {
            form->Widgets().SliderControl(kelvara::Slider::sldU)->setValue(u);
            form->Widgets().SliderControl(kelvara::Slider::sldR)->setValue(r);
            const double um = u / 10.0;
            const double im = um / r;
            const QImage img = Grab(*form);
            const std::array<std::tuple<int, double, QColor>, 3> levels{{
                {2940, 1000 * um / std::sqrt(2.0), QColor(0, 0, 204)},
                {5220, 1000 * im / std::sqrt(2.0), QColor(204, 0, 0)},
                {9420, 2500 * um * im / 2, QColor(0, 0, 0)},
            }};
            for (const auto& [zero, height, colour] : levels) {
                const int row = Px(static_cast<int>(std::floor(zero - height)));
                // Dashed, two pixels thick like a trace, a shade darker than it,
                // across the sweep.
                const QColor shade = colour;
                const auto ink = [&](int y) {
                    return CountColour(img, QRect(QPoint(Px(9600), y), QPoint(Px(13500), y)),
                                       shade);
                };
                const int across = Px(13500) - Px(9600) + 1;
                QVERIFY2(ink(row - 1) > across / 2 && ink(row) == ink(row - 1),
                         qPrintable(
                             QStringLiteral("no level at row %1 (%2, %3)").arg(row).arg(u).arg(r)));
                QCOMPARE(ink(row - 3) + ink(row + 1), 0);
                // Repainted a few pixels at a time, as the cursor passing
                // over it repaints it, its dashes stay where they were.
                QImage pieces = img.copy();
                for (int x = Px(9000); x < Px(14000); x += 5) {
                    const QRect piece(x, row - 3, 5, 6);
                    form->render(&pieces, piece.topLeft(), QRegion(piece));
                }
                const QRect band(QPoint(Px(9000), row - 3), QPoint(Px(14000), row + 2));
                int moved = 0;
                for (int y = band.top(); y <= band.bottom(); ++y) {
                    for (int x = band.left(); x <= band.right(); ++x) {
                        moved += pieces.pixel(x, y) != img.pixel(x, y) ? 1 : 0;
                    }
                }
                QVERIFY2(moved == 0, qPrintable(QStringLiteral("%1 px of the level at row %2 "
                                                               "differ when repainted piecemeal")
                                                    .arg(moved)
                                                    .arg(row)));
            }
            QCOMPARE(overlay.Levels().size(), std::size_t{3});
        }
        QCOMPARE(overlay.Numbers().size(), std::size_t{4 + 4 + 5 + 3 * 4});
        const QImage shown = Grab(*form);
        for (const auto& number : overlay.Numbers()) {
            const std::set<QRgb> under = ColoursIn(bare, number.rect);
            QVERIFY2(std::includes(panel.begin(), panel.end(), under.begin(), under.end()),
                     qPrintable(number.text));
            QVERIFY(ColoursIn(shown, number.rect).contains(qRgb(0, 0, 0)));
        }

        // Traces run through every number and level label: each stays
        // readable, every pixel of its ink and around it as without them.
        form->Widgets().SliderControl(kelvara::Slider::sldR)->setValue(10); // no level near one
        const QImage clear = Grab(*form);
        std::vector<kelvara::ui::GraphOverlay::Label> labels = overlay.Numbers();
        for (const auto& level : overlay.Levels()) {
            labels.push_back(level.label);
        }
        const std::array<Colour, 3> traces{RGB(0, 0, 255), RGB(255, 0, 0), RGB(0, 0, 0)};
        for (const auto& l : labels) {
            for (int k = 1; k <= 3; ++k) {
                const double y = (l.rect.top() + k * l.rect.height() / 4.0) * 15;
                form->Controls().DrawLine(Surface::Form1, (l.rect.left() - 15) * 15, y,
                                          (l.rect.right() + 15) * 15, y, traces.at(k - 1));
            }
        }
        const QImage traced = Grab(*form);
        for (const auto& l : labels) {
            int ink = 0;
            int touched = 0;
            for (int y = l.rect.top(); y <= l.rect.bottom(); ++y) {
                for (int x = l.rect.left(); x <= l.rect.right(); ++x) {
                    // The text's own pixels, not those of the axes around.
                    if (panel.contains(At(clear, {x, y}).rgb()) ||
                        At(clear, {x, y}) == At(bare, {x, y})) {
                        continue;
                    }
                    ++ink;
                    for (int dy = -1; dy <= 1; ++dy) {
                        for (int dx = -1; dx <= 1; ++dx) {
                            const QPoint q(x + dx, y + dy);
                            touched += At(traced, q) != At(clear, q) ? 1 : 0;
                        }
                    }
                }
            }
            QVERIFY2(ink > 0 && touched == 0,
                     qPrintable(QStringLiteral("«%1»: traces touch its ink at %2 px")
                                    .arg(l.text)
                                    .arg(touched)));
        }
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

    // Ctrl+S through the dialogs put in for tests. A folder that cannot be
    // written and a name the system refuses are told and leave no file. A
    // file of the chosen name stays until the user says to replace it, and
    // is then the old one whole or the new one whole: a disk full midway
    // leaves the old one and nothing beside it.
    void savedWholeOrNotAtAll() {
        auto form = FormAtRest();
        QTemporaryDir dir;
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                              QFile::ReadOther | QFile::ExeOther);
        QString chosen;
        int asked = 0;
        bool replace = false;
        QStringList questions;
        QStringList warned;
        auto& saver = form->Teaching().Saver();
        saver.SetChooser([&](const kelvara::ui::FileSaver::Request&) {
            return asked++ == 0 ? chosen : QString(); // the dialog again: cancelled
        });
        saver.SetMessages({[&](const QString& q) {
                               questions << q;
                               return replace;
                           },
                           [&](const QString& m) { warned << m; },
                           [&](const QString& m) { warned << m; }});
        const auto save = [&](const QString& path) {
            chosen = path;
            asked = 0;
            warned.clear();
            QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
        };
        const auto files = [](const QString& folder) {
            return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
        };
        const auto read = [](const QString& path) {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };

        const QString locked = dir.filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkdir(locked));
        QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner |
                                                  QFile::ReadOther | QFile::ExeOther));
        {
            // Permissions do not hold the superuser back.
            const uid_t user = geteuid();
            QVERIFY(user != 0 || seteuid(65534) == 0);
            save(locked + QStringLiteral("/picture.png"));
            QVERIFY(user != 0 || seteuid(0) == 0);
        }
        QCOMPARE(warned, QStringList(QStringLiteral("Файл «picture.png» не сохранён. В папку «%1» "
                                                    "нельзя записывать.")
                                         .arg(locked)));
        QCOMPARE(files(locked), QStringList());

        const QString tooLong = QString(300, QLatin1Char('a')) + QStringLiteral(".png");
        save(dir.filePath(tooLong));
        QCOMPARE(warned, QStringList(QStringLiteral("Файл «%1» не сохранён. Система не принимает "
                                                    "это имя или не даёт писать в папку.")
                                         .arg(tooLong)));
        QCOMPARE(files(dir.path()), QStringList());

        const QString old = dir.filePath(QStringLiteral("old.png"));
        const QByteArray oldBytes(200000, 'o');
        {
            QFile f(old);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(oldBytes) == oldBytes.size());
        }
        save(old);
        QCOMPARE(questions, QStringList(QStringLiteral("Файл «old.png» уже есть. Заменить его?")));
        QCOMPARE(asked, 2);
        QVERIFY(warned.isEmpty());
        QCOMPARE(read(old), oldBytes);

        replace = true;
        {
            // A disk that fills up after 8 KiB.
            rlimit limit{};
            QCOMPARE(getrlimit(RLIMIT_FSIZE, &limit), 0);
            const rlimit full{8192, limit.rlim_max};
            const auto before = std::signal(SIGXFSZ, SIG_IGN);
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &full), 0);
            save(old);
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
            std::signal(SIGXFSZ, before);
        }
        QCOMPARE(warned, QStringList(QStringLiteral("Файл «old.png» не сохранён. Запись не "
                                                    "удалась: возможно, на диске нет места.")));
        QCOMPARE(read(old), oldBytes);
        QCOMPARE(files(dir.path()), QStringList(QStringLiteral("old.png")));

        save(old);
        QVERIFY(warned.isEmpty());
        QCOMPARE(files(dir.path()), QStringList(QStringLiteral("old.png")));
        const QByteArray png = read(old);
        QVERIFY(png.size() > 8192);
        QCOMPARE(QImage::fromData(png).convertToFormat(QImage::Format_RGB32),
                 form->Picture().convertToFormat(QImage::Format_RGB32));
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
        QCOMPARE(kelvara::ui::Readouts::Text(teaching.ShownReadouts().Lines().at(1)),
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

std::unique_ptr<QObject> MakeControlsTest() {
    return std::make_unique<ControlsTest>();
}

#include "controls_test.moc"
