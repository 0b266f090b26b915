// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The projector view, judged from grabs of the window as a viewer sees it:
// contrast ratios (WCAG 2.x, computed here on their own) of every element
// that carries meaning, in a run at the start-up settings; the heat colours
// over every heat level; and C twice giving back the default look exactly.
#include "support.h"

#include "display/charges.h"
#include "display/graphs.h"
#include "display/meters.h"
#include "sim/run.h"
#include "sim/state.h"
#include "ui/layout/layout.h"
#include "ui/widgets/box.h"
#include "ui/widgets/marker.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <numbers>
#include <vector>

using kelvara::Box;
using kelvara::Image;
using kelvara::RGB;
using kelvara::ui::Element;
using kelvara::ui::Form1;
using kelvara::ui::Kind;
using namespace kelvara::uitest;

namespace {

double Channel(int c) {
    const double s = c / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& c) {
    return 0.2126 * Channel(c.red()) + 0.7152 * Channel(c.green()) + 0.0722 * Channel(c.blue());
}

double Ratio(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// How many pixels of each colour a logical rectangle of a grab holds,
// leaving out the pixels of `skip`.
std::map<QRgb, int> Histogram(const QImage& img, const QRect& r,
                              const std::vector<QRect>& skip = {}) {
    std::map<QRgb, int> n;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const bool skipped = std::any_of(skip.begin(), skip.end(),
                                             [&](const QRect& s) { return s.contains(x, y); });
            if (!skipped) {
                ++n[At(img, {x, y}).rgb()];
            }
        }
    }
    return n;
}

// The colours of a histogram, most common first.
std::vector<QColor> ByCount(const std::map<QRgb, int>& n) {
    std::vector<std::pair<int, QRgb>> v;
    v.reserve(n.size());
    for (const auto& [c, k] : n) {
        v.emplace_back(k, c);
    }
    std::sort(v.begin(), v.end(), std::greater<>());
    std::vector<QColor> out;
    out.reserve(v.size());
    for (const auto& [k, c] : v) {
        out.emplace_back(QColor::fromRgb(c));
    }
    return out;
}

// The least contrast from `behind` among the colours that cover at least
// `least` pixels (`behind` itself left out), or 21 if there are none.
double WorstFrom(const std::map<QRgb, int>& n, const QColor& behind, int least) {
    double worst = 21;
    for (const auto& [c, k] : n) {
        if (k >= least && c != behind.rgb()) {
            worst = std::min(worst, Ratio(QColor::fromRgb(c), behind));
        }
    }
    return worst;
}

// The most contrast from `behind` among the colours that cover at least
// `least` pixels.
double BestFrom(const std::map<QRgb, int>& n, const QColor& behind, int least) {
    double best = 1;
    for (const auto& [c, k] : n) {
        if (k >= least) {
            best = std::max(best, Ratio(QColor::fromRgb(c), behind));
        }
    }
    return best;
}

QRect ClientRect(const Form1& form, const char* box) {
    const QWidget* c = form.Widgets().BoxNamed(QString::fromLatin1(box))->Client();
    return {c->mapTo(&form, QPoint(0, 0)), c->size()};
}

// Where a caption of the layout lies in the window.
QRect CaptionRect(const Form1& form, const Element& e) {
    const QRect r = PxRect(e.left, e.top, e.width, e.height);
    if (qstrcmp(e.container, "Form1") == 0) {
        return r;
    }
    return r.translated(ClientRect(form, e.container).topLeft());
}

// Length of the run of pixels unlike `face` across row y of the client
// area of a dial, around column x.
int RunAcross(const QImage& img, const QRect& client, int x, int y, const QColor& face) {
    int left = x;
    int right = x;
    while (left > client.left() && At(img, {left - 1, y}) != face) {
        --left;
    }
    while (right < client.right() && At(img, {right + 1, y}) != face) {
        ++right;
    }
    return At(img, {x, y}) == face ? 0 : right - left + 1;
}

void PressC(Form1& form) {
    QTest::keyClick(form.windowHandle(), Qt::Key_C);
}

// One measured requirement: its value in each look and the least the
// projector view must reach.
struct Row {
    QString what;
    double natural;
    double projector;
    double least;
};

// The graphs, by the rows of pixels their traces can reach, and the marker
// that leads each trace.
struct Graph {
    const char* name;
    int top, bottom; // twips
    Image marker;
};
constexpr Graph kGraphs[] = {
    {"voltage", 1860, 3990, Image::imgU},
    {"current", 4230, 6780, Image::imgI},
    {"power", 6960, 9570, Image::imgP},
};

} // namespace

class ProjectorTest : public QObject {
    Q_OBJECT

private slots:
    // A run at the start-up settings (U 0,5, R 1, frequency step 5) with
    // the graphs screen lifted, held at a peak of the current two periods
    // in, its traces behind it; each requirement measured from grabs of the
    // window in both looks.
    void contrastsOfTheRunningWindow() {
        auto form = FormAtRest();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        form->Run().SetPaced(false);
        form->Widgets().SetShirmaVisible(false);
        QVERIFY(!form->ProjectorView());
        QSignalSpy changed(form.get(), &Form1::projectorViewChanged);

        // The clock moves on 10 ms a pass up to the peak, then holds.
        constexpr double kOmega = 3.14 * 1.5;
        const auto peak = static_cast<std::int64_t>(4 * std::numbers::pi / kOmega * 1e9);
        std::int64_t now = 0;
        bool moving = false;
        form->Run().SetClockSource([&] {
            if (moving) {
                now = std::min<std::int64_t>(now + 10'000'000, peak);
            }
            return now;
        });

        const QImage restDefault = Grab(*form);
        PressC(*form);
        QVERIFY(form->ProjectorView());
        const QImage restProjector = Grab(*form);
        PressC(*form);
        QVERIFY(!form->ProjectorView());
        QCOMPARE(Grab(*form), restDefault);
        QCOMPARE(changed.count(), 2);

        QImage runDefault;
        QImage runProjector;
        QImage runDefaultAgain;
        QImage weakProjector; // R 10, U 1
        QImage weakDefault;
        std::vector<QPoint> charges;     // centres of the signs shown at the peak
        std::map<Image, QPoint> markers; // where the graph markers were
        int step = 0;
        bool heldOnce = false;
        QTimer driver;
        driver.setInterval(20);
        connect(&driver, &QTimer::timeout, [&] {
            switch (step) {
            case 0: // the run reaches the peak and draws at it
                if (now == peak && heldOnce) {
                    for (int k = 0; k < kelvara::kTokCount; ++k) {
                        const QWidget* tok = form->Widgets().Tok(k);
                        if (!tok->isHidden()) {
                            charges.push_back(tok->mapTo(form.get(), tok->rect().center()));
                        }
                    }
                    for (const Graph& g : kGraphs) {
                        markers[g.marker] = form->Widgets().ImagePosition(g.marker);
                    }
                    runDefault = Grab(*form);
                    PressC(*form);
                    runProjector = Grab(*form);
                    PressC(*form);
                    runDefaultAgain = Grab(*form);
                    PressC(*form);
                    form->Widgets().SliderControl(kelvara::Slider::sldR)->setValue(10);
                    form->Widgets().SliderControl(kelvara::Slider::sldU)->setValue(10);
                    step = 1;
                }
                heldOnce = now == peak;
                break;
            case 1:
                weakProjector = Grab(*form);
                PressC(*form);
                weakDefault = Grab(*form);
                step = 2;
                driver.stop();
                kelvara::picOn_Click(form->State(), form->Controls()); // off
                break;
            default:
                break;
            }
        });
        QTimer guard;
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, [&] { form->RequestEnd(99); });
        guard.start(30000);
        driver.start();
        moving = true;
        kelvara::picOn_Click(form->State(), form->Controls()); // on; returns when off
        QVERIFY2(!form->Ending(), "the run did not reach its peak within 30 s");
        QCOMPARE(step, 2);
        QCOMPARE(charges.size(), std::size_t{kelvara::kChargeGroupSize});
        QVERIFY(!form->ProjectorView());
        QCOMPARE(changed.count(), 6);

        // C twice during the run gives back the default look exactly, and
        // keeps the run's drawing.
        QCOMPARE(runDefaultAgain, runDefault);

        std::vector<Row> rows;
        const auto row = [&](const QString& what, const std::function<double(bool)>& measure,
                             double least) {
            rows.push_back({what, measure(false), measure(true), least});
        };
        const auto run = [&](bool p) -> const QImage& { return p ? runProjector : runDefault; };
        const auto rest = [&](bool p) -> const QImage& { return p ? restProjector : restDefault; };

        // Dials: every colour covering 30 pixels or more against the face.
        for (const char* dial : {"picvolt", "picamp"}) {
            const QRect client = ClientRect(*form, dial);
            row(
                QStringLiteral("%1: worst colour of 30+ px vs face").arg(QLatin1String(dial)),
                [&](bool p) {
                    const auto n = Histogram(run(p), client);
                    return WorstFrom(n, ByCount(n).front(), 30);
                },
                3);
            // Needles at rest stand straight up: their width is the run
            // across a row between the sign markers and the pivot.
            const int x = client.left() + Px(1400);
            const int y = client.top() + Px(1200);
            const auto width = [&](bool p) {
                const QColor face = ByCount(Histogram(rest(p), client)).front();
                return RunAcross(rest(p), client, x, y, face);
            };
            QVERIFY2(width(true) >= 2 * width(false),
                     qPrintable(QStringLiteral("%1 needle %2 px, by default %3 px")
                                    .arg(QLatin1String(dial))
                                    .arg(width(true))
                                    .arg(width(false))));
        }

        // Glow at the peak against the same place at rest.
        const QPoint wire = PxPoint(502, 7000);      // pictok(3), no marker there
        const QPoint resistor = PxPoint(4000, 9300); // picR
        row(
            QStringLiteral("wire at the peak vs at rest"),
            [&](bool p) { return Ratio(At(run(p), wire), At(rest(p), wire)); }, 3);
        row(
            QStringLiteral("resistor at the peak vs at rest"),
            [&](bool p) { return Ratio(At(run(p), resistor), At(rest(p), resistor)); }, 3);
        const auto weak = [&](bool p) -> const QImage& { return p ? weakProjector : weakDefault; };
        row(
            QStringLiteral("wire at R 10, U 1 vs at rest"),
            [&](bool p) { return Ratio(At(weak(p), wire), At(rest(p), wire)); }, 1.5);
        row(
            QStringLiteral("resistor at R 10, U 1 vs at rest"),
            [&](bool p) { return Ratio(At(weak(p), resistor), At(rest(p), resistor)); }, 1.5);

        // The charges on the wire at the peak: each visible sign against
        // the wire behind it.
        row(
            QStringLiteral("charge signs vs the wire at the peak"),
            [&](bool p) {
                double worst = 21;
                for (const QPoint& c : charges) {
                    worst = std::min(worst, Ratio(At(run(p), c), At(run(p), wire)));
                }
                return worst;
            },
            4.5);

        // Graphs: the panel at rest gives the background (most common) and
        // the grid (next); a trace is what the run changed in its graph's
        // rows, the markers left out.
        const QRect panel = PxRect(8460, 1740, 6765, 8145).adjusted(2, 2, -2, -2);
        const auto background = [&](bool p) { return ByCount(Histogram(rest(p), panel))[0]; };
        const auto grid = [&](bool p) { return ByCount(Histogram(rest(p), panel))[1]; };
        row(
            QStringLiteral("grid vs graph background (at most)"),
            [&](bool p) { return Ratio(grid(p), background(p)); }, 0);
        for (const Graph& g : kGraphs) {
            const QRect band(QPoint(Px(8900), Px(g.top)), QPoint(Px(14850), Px(g.bottom)));
            const QRect markerAtRest(PxPoint(8850, 0).x(), Px(g.top), 9, Px(g.bottom - g.top));
            const QRect marker(markers.at(g.marker), QSize(8, 8));
            const auto trace = [&](bool p) {
                std::map<QRgb, int> n;
                for (int y = band.top(); y <= band.bottom(); ++y) {
                    for (int x = band.left(); x <= band.right(); ++x) {
                        const QColor c = At(run(p), {x, y});
                        if (c != At(rest(p), {x, y}) && !marker.contains(x, y) &&
                            !markerAtRest.contains(x, y)) {
                            ++n[c.rgb()];
                        }
                    }
                }
                return ByCount(n).front();
            };
            row(
                QStringLiteral("%1 trace vs background").arg(QLatin1String(g.name)),
                [&](bool p) { return Ratio(trace(p), background(p)); }, 3);
            row(
                QStringLiteral("%1 trace vs grid").arg(QLatin1String(g.name)),
                [&](bool p) { return Ratio(trace(p), grid(p)); }, 3);
            // A marker shows on its trace and on the background when some
            // colour of it stands out from each.
            row(
                QStringLiteral("%1 marker: best colour vs its trace").arg(QLatin1String(g.name)),
                [&](bool p) { return BestFrom(Histogram(run(p), marker), trace(p), 4); }, 3);
            row(
                QStringLiteral("%1 marker: best colour vs background").arg(QLatin1String(g.name)),
                [&](bool p) { return BestFrom(Histogram(run(p), marker), background(p), 4); }, 3);
        }

        // The switch, on (the run) against off (at rest), and its edge.
        const QPoint switchFace = PxPoint(7350, 4200);
        const QPoint switchEdge(PxPoint(7320, 0).x(), PxRect(7320, 4170, 375, 375).center().y());
        row(
            QStringLiteral("switch on vs off"),
            [&](bool p) { return Ratio(At(run(p), switchFace), At(rest(p), switchFace)); }, 3);
        QVERIFY2(At(runProjector, switchEdge) != At(restProjector, switchEdge),
                 "the switch's edge looks the same on and off");

        // Every caption against what lies behind it (its box's most common
        // colour): its strongest ink of 5 pixels or more.
        row(
            QStringLiteral("worst caption vs what is behind it"),
            [&](bool p) {
                // A label set after another's text reads as part of it.
                std::vector<QRect> boxes;
                std::map<QString, std::size_t> byName;
                for (const Element& e : kelvara::ui::FormLayout()) {
                    if (e.kind != Kind::Label) {
                        continue;
                    }
                    if (e.follows != nullptr) {
                        QRect& r = boxes[byName.at(QString::fromLatin1(e.follows))];
                        r |= CaptionRect(*form, e);
                        byName[kelvara::ui::FullName(e)] =
                            byName.at(QString::fromLatin1(e.follows));
                        continue;
                    }
                    byName[kelvara::ui::FullName(e)] = boxes.size();
                    boxes.push_back(CaptionRect(*form, e));
                }
                boxes.push_back(form->Widgets().Command1()->geometry().adjusted(3, 3, -3, -3));
                boxes.push_back(form->Widgets().Command4()->geometry().adjusted(3, 3, -3, -3));
                double worst = 21;
                for (const QRect& r : boxes) {
                    const auto n = Histogram(run(p), r);
                    const double best = BestFrom(n, ByCount(n).front(), 5);
                    worst = std::min(worst, best);
                }
                return worst;
            },
            4.5);

        QString table = QStringLiteral("\n  %1 %2 %3 %4\n")
                            .arg(QStringLiteral("requirement"), -48)
                            .arg(QStringLiteral("default"), 8)
                            .arg(QStringLiteral("projector"), 10)
                            .arg(QStringLiteral("needs"), 6);
        for (const Row& r : rows) {
            table += QStringLiteral("  %1 %2 %3 %4\n")
                         .arg(r.what, -48)
                         .arg(r.natural, 8, 'f', 2)
                         .arg(r.projector, 10, 'f', 2)
                         .arg(r.least, 6, 'f', 1);
        }
        qInfo("%s", qPrintable(table));
        for (const Row& r : rows) {
            QVERIFY2(r.projector >= r.least,
                     qPrintable(QStringLiteral("%1: %2:1").arg(r.what).arg(r.projector)));
        }
        // The grid is fainter than the default's, and still there.
        const double gridNow = Ratio(grid(true), background(true));
        QVERIFY2(gridNow < Ratio(grid(false), background(false)) && gridNow <= 1.6 && gridNow > 1.1,
                 qPrintable(QStringLiteral("grid %1:1 from the background").arg(gridNow)));

        // Nothing moved or changed size.
        for (const Element& e : kelvara::ui::FormLayout()) {
            if (QWidget* w = form->Widgets().Control(kelvara::ui::FullName(e)); w != nullptr) {
                QCOMPARE(w->geometry(), PxRect(e.left, e.top, e.width, e.height));
            }
        }
    }

    // What is drawn while the projector view is on shows, once it is off,
    // exactly as if the view had never been on: needles and traces.
    void drawingInTheViewComesBackExactly() {
        auto plain = FormAtRest();
        auto toggled = FormAtRest();
        toggled->SetProjectorView(true);
        for (Form1* f : {plain.get(), toggled.get()}) {
            f->Widgets().SetShirmaVisible(false);
            f->State().Resistance = 1; // as the run loop reads it from sldR
            for (int pass = 0; pass < 600; ++pass) {
                const double t = pass / 100.0;
                const double c = std::cos(4.71 * t);
                kelvara::UpdateVoltmeter(f->State(), f->Controls(), 40 * c);
                kelvara::UpdateAmmeter(f->State(), f->Controls(), -35 * c);
                kelvara::PlotGraphs(f->State(), f->Controls(), c, 0.8, t);
            }
        }
        QVERIFY(Grab(*toggled) != Grab(*plain));
        toggled->SetProjectorView(false);
        QCOMPARE(Grab(*toggled), Grab(*plain));
    }

    // Every heat level the run loop can give, through the projector view:
    // wire and resistor never lighter for more heat, the charges' signs
    // readable on the wire at each.
    void heatLevels() {
        auto form = FormAtRest();
        form->SetProjectorView(true);
        constexpr int kTok = 15; // on pictok(4)
        form->Controls().SetTokVisible(kTok, true);
        const QWidget* tok = form->Widgets().Tok(kTok);
        const QPoint sign = tok->mapTo(form.get(), tok->rect().center());
        const QPoint wire = PxPoint(2000, 9292);
        const QPoint resistor = PxPoint(4000, 9300);
        const QRect area = QRect(sign, sign) | QRect(wire, wire) | QRect(resistor, resistor);
        double lastWire = 2;
        double lastResistor = 2;
        double worstSign = 21;
        for (int h = 0; h <= 255; ++h) {
            form->Controls().SetBackColor(Box::pictok, 4, RGB(255, 255 - h, 255 - h));
            form->Controls().SetTokBackColor(kTok, RGB(255, 255 - h, 255 - h));
            form->Controls().SetBackColor(Box::picR, 0, RGB(255, 255, 255 - h));
            const QImage img = form->grab(area).toImage();
            const auto at = [&](QPoint p) { return At(img, p - area.topLeft()); };
            const double w = Luminance(at(wire));
            const double r = Luminance(at(resistor));
            QVERIFY2(
                w <= lastWire && r <= lastResistor,
                qPrintable(QStringLiteral("heat %1 is lighter than heat %2").arg(h).arg(h - 1)));
            lastWire = w;
            lastResistor = r;
            worstSign = std::min(worstSign, Ratio(at(sign), at(wire)));
        }
        QVERIFY2(worstSign >= 4.5,
                 qPrintable(QStringLiteral("a sign %1:1 from the wire").arg(worstSign)));
        qInfo("charge signs vs the wire over heat 0 to 255: at least %.2f:1", worstSign);
    }
};

std::unique_ptr<QObject> MakeProjectorTest() {
    return std::make_unique<ProjectorTest>();
}

#include "projector_test.moc"
