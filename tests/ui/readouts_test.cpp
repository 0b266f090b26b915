// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The values as the window writes them, in the language shown, and what
// they add to the graphs: levels and numbered axes clear of the traces.
#include "support.h"

#include "display/graphs.h"
#include "sim/state.h"
#include "ui/lang/language.h"
#include "ui/teach/graph_overlay.h"
#include "ui/teach/presenter.h"
#include "ui/teach/value_lines.h"

#include <QLocale>
#include <QMenu>
#include <QScopeGuard>
#include <QSlider>
#include <QTest>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <optional>
#include <set>
#include <tuple>
#include <vector>

using kelvara::Colour;
using kelvara::RGB;
using kelvara::Surface;
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

} // namespace

class ReadoutsTest : public QObject {
    Q_OBJECT

private slots:
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
        const kelvara::ui::ValueLines& shown = teaching.ShownValues();
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
            texts << kelvara::ui::ValueLines::Text(line);
        }
        QStringList labels;
        for (const auto& level : teaching.Graphs().Levels()) {
            labels << level.label.text;
        }
        QCOMPARE(labels, levels);
        form->State().Resistance = resistance;
        kelvara::PlotGraphs(form->State(), form->Controls(), phaseCos, amplitudeStep / 10.0, 0);
        texts << kelvara::ui::ValueLines::Text(kelvara::ui::ValueLines::InstantLine(
            kelvara::ui::ValueLines::InstantOf(form->State())));
        QCOMPARE(texts, lines);
        // They follow a slider at once, and V hides them again.
        form->Widgets().SliderControl(kelvara::Slider::sldR)->setValue(resistance == 1 ? 2 : 1);
        QVERIFY(kelvara::ui::ValueLines::Text(shown.Lines()[1]) != lines[1]);
        QVERIFY(kelvara::ui::ValueLines::Text(shown.Lines()[4]) != lines[4]);
        QTest::keyClick(form.get(), Qt::Key_V);
        QVERIFY(shown.Lines().empty());
    }

    // What the values say, without a window: the instant line only with a
    // pass to read, and a reader hears it only while the run stands still.
    void valueLinesOnTheirOwn() {
        using kelvara::ui::ValueLines;
        struct Row {
            bool shown;
            bool instant;
            bool frozen;
            std::size_t lines;
            std::size_t heard;
        };
        const std::size_t settled = ValueLines::kSettingLineCount + ValueLines::kEffectiveLineCount;
        const Row rows[] = {
            {false, true, true, 0, 0},
            {true, false, false, settled, settled},
            {true, true, false, settled + 1, settled},
            {true, true, true, settled + 1, settled + 1},
        };
        ValueLines values;
        for (const Row& row : rows) {
            std::optional<kelvara::ui::InstantValues> instant;
            if (row.instant) {
                instant = kelvara::ui::InstantValues{-0.5, 0.25, 0.125};
            }
            values.Update(row.shown, {5, 5, 2}, 3.14, instant, row.frozen);
            QCOMPARE(values.Lines().size(), row.lines);
            QCOMPARE(values.Heard().size(), row.heard);
            QCOMPARE(values.PauseShown(), row.frozen);
            const auto instantLines = values.InstantLines();
            QCOMPARE(instantLines.size(), std::size_t{row.shown && row.instant ? 1U : 0U});
            if (!instantLines.empty()) {
                QCOMPARE(ValueLines::Text(instantLines[0]),
                         QStringLiteral("u = −0,500 В     i = +0,250 А     p = 0,125 Вт"));
                QCOMPARE(instantLines[0], values.Lines().back());
            }
        }
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
        const auto& overlay = form->Teaching().Graphs();
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
};

std::unique_ptr<QObject> MakeReadoutsTest() {
    return std::make_unique<ReadoutsTest>();
}

#include "readouts_test.moc"
