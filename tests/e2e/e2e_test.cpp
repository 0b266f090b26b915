// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The real program under Xvfb: started as a user would, clicked with
// xdotool, judged by the pixels of screenshots.
#include "x_driver.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <utility>
#include <vector>

namespace {

using kelvara::e2e::IsRgb;
using kelvara::e2e::KeyboardLayout;
using kelvara::e2e::Program;
using kelvara::e2e::RunTool;
using kelvara::e2e::WindowManager;

constexpr int kTwipsPerPixel = 15;
constexpr int kTokCount = 39;

// A point of the window's client area, given in twips.
QPoint Px(int xTwips, int yTwips) {
    return {xTwips / kTwipsPerPixel, yTwips / kTwipsPerPixel};
}
QRect PxRect(int left, int top, int width, int height) {
    return {Px(left, top), QSize(width / kTwipsPerPixel, height / kTwipsPerPixel)};
}

// Places on the window, in twips as the layout gives them.
const QPoint kSwitch = Px(7320 + 375 / 2, 4170 + 375 / 2);
const QPoint kGraphsButton = Px(8460 + 6735 / 2, 1290 + 315 / 2);
const QPoint kExitButton = Px(10770 + 2355 / 2, 10110 + 375 / 2);
const QRect kGraphPanel = PxRect(8460, 1740, 6765, 8145);
const QRect kLeftWire = PxRect(420, 6000, 165, 3255);   // pictok(3)
const QRect kRightWire = PxRect(7710, 6000, 165, 3225); // pictok(6)
const QRect kVoltDial = PxRect(1110, 2430, 2900, 1600);
const QRect kLabel11 = PxRect(4740, 4260, 195, 315); // polarity of the left terminal
// The voltmeter's zero mark, inside the dial's 2-pixel edge: white by
// default, black in the projector view.
const QPoint kZeroMark = Px(1110 + 1380, 2430 + 345) + QPoint(2, 2);

// Wire pixels coloured by heat: red at full strength, green equal to blue
// and below white.
bool Glowing(const QImage& img) {
    for (const QRect& wire : {kLeftWire, kRightWire}) {
        for (int y = wire.top(); y <= wire.bottom(); y += 3) {
            const QRgb px = img.pixel(wire.center().x(), y);
            if (qRed(px) == 255 && qGreen(px) == qBlue(px) && qGreen(px) < 250) {
                return true;
            }
        }
    }
    return false;
}

bool WireWhite(const QImage& img) {
    for (const QRect& wire : {kLeftWire, kRightWire}) {
        for (int y = wire.top() + 1; y < wire.bottom(); ++y) {
            for (int x = wire.left() + 1; x < wire.right(); ++x) {
                if (!IsRgb(img.pixel(x, y), 255, 255, 255)) {
                    return false; // a heat colour or a charge marker's sign
                }
            }
        }
    }
    return true;
}

struct TraceCount {
    int blue = 0, red = 0, black = 0;
};

// Trace pixels on the graph panel, the image markers' squares left out.
TraceCount CountTraces(const QImage& img) {
    TraceCount n;
    const QRect markers[] = {PxRect(8850, 2940, 120, 120), PxRect(8850, 5220, 120, 120),
                             PxRect(8850, 9420, 120, 120)};
    for (int y = kGraphPanel.top() + 2; y < kGraphPanel.bottom() - 1; ++y) {
        for (int x = kGraphPanel.left() + 2; x < kGraphPanel.right() - 1; ++x) {
            bool onMarker = false;
            for (const QRect& m : markers) {
                onMarker = onMarker || m.contains(x, y);
            }
            if (onMarker) {
                continue;
            }
            const QRgb px = img.pixel(x, y);
            n.blue += IsRgb(px, 0, 0, 255) ? 1 : 0;
            n.red += IsRgb(px, 255, 0, 0) ? 1 : 0;
            n.black += IsRgb(px, 0, 0, 0) ? 1 : 0;
        }
    }
    return n;
}

// Columns of the voltmeter that hold grey needle pixels: at rest only the
// few columns of the vertical needle.
int NeedleColumns(const QImage& img) {
    int n = 0;
    for (int x = kVoltDial.left(); x <= kVoltDial.right(); ++x) {
        for (int y = kVoltDial.top(); y <= kVoltDial.bottom(); ++y) {
            if (IsRgb(img.pixel(x, y), 128, 128, 128)) {
                ++n;
                break;
            }
        }
    }
    return n;
}

// The charge markers tok(0) to tok(38): window position in twips, and the
// wire strip pictok(n) that holds (and clips) each one. tok(4) belongs to
// the window but lies on pictok(1).
struct TokPlace {
    int x, y, strip;
};
const TokPlace kToks[kTokCount] = {
    {5190, 5070, 0}, {5190, 5430, 0}, {5190, 5820, 0}, {4680, 6000, 1}, {4980, 6000, 1},
    {4410, 5970, 1}, {570, 6000, 2},  {420, 6330, 3},  {420, 6750, 3},  {420, 7230, 3},
    {420, 7680, 3},  {420, 8100, 3},  {420, 8550, 3},  {420, 8970, 3},  {630, 9210, 4},
    {990, 9210, 4},  {1350, 9180, 4}, {1710, 9210, 4}, {2100, 9180, 4}, {5940, 9210, 5},
    {6330, 9180, 5}, {6720, 9210, 5}, {7080, 9210, 5}, {7500, 9210, 5}, {7710, 9000, 6},
    {7710, 8550, 6}, {7680, 8130, 6}, {7710, 7680, 6}, {7710, 7230, 6}, {7710, 6810, 6},
    {7710, 6390, 6}, {7710, 6000, 6}, {7320, 6000, 7}, {6900, 6000, 7}, {6450, 5970, 7},
    {5970, 6000, 7}, {5850, 5760, 8}, {5850, 5460, 8}, {5850, 5070, 8},
};
const QRect kPictok[] = {
    PxRect(5190, 5010, 165, 1155), PxRect(4380, 6000, 945, 165),  PxRect(570, 6000, 195, 165),
    PxRect(420, 6000, 165, 3255),  PxRect(420, 9210, 1935, 165),  PxRect(5850, 9210, 2025, 165),
    PxRect(7710, 6000, 165, 3225), PxRect(5970, 6000, 1755, 165), PxRect(5850, 5010, 165, 1155),
};

bool Dark(QRgb px) {
    return qRed(px) + qGreen(px) + qBlue(px) < 200;
}

// Mean index of the markers whose plus sign shows, or -1 unless three to
// five neighbouring markers show (a frame caught half drawn).
double ChargeGroupPlace(const QImage& img) {
    int shown = 0;
    int first = kTokCount;
    int last = -1;
    int sum = 0;
    for (int k = 0; k < kTokCount; ++k) {
        const TokPlace& t = kToks[k];
        const QRect marker =
            (k == 4 ? PxRect(t.x, t.y, 195, 165) : PxRect(t.x, t.y, 165, 225)) & kPictok[t.strip];
        int ink = 0;
        for (int y = marker.top(); y <= marker.bottom(); ++y) {
            for (int x = marker.left(); x <= marker.right(); ++x) {
                ink += Dark(img.pixel(x, y)) ? 1 : 0;
            }
        }
        if (ink >= 8) {
            ++shown;
            sum += k;
            first = std::min(first, k);
            last = k;
        }
    }
    if (shown < 3 || last - first > 4) {
        return -1;
    }
    return static_cast<double>(sum) / shown;
}

// The sign on a polarity label: +1 for "+", -1 for "-", 0 if unreadable.
// The "+" has a vertical stroke, so its ink spans many rows.
int LabelSign(const QImage& img, const QRect& label) {
    int rows = 0;
    for (int y = label.top(); y <= label.bottom(); ++y) {
        for (int x = label.left(); x <= label.right(); ++x) {
            if (Dark(img.pixel(x, y))) {
                ++rows;
                break;
            }
        }
    }
    if (rows >= 6) {
        return 1;
    }
    return rows >= 1 && rows <= 3 ? -1 : 0;
}

// The band above the generator panel where the values are written, the
// pause sign at its right end, and a spot on the frequency slider's track
// to the right of its handle.
const QRect kSettingsBand = PxRect(600, 900, 5700, 700);
const QRect kPauseSign = PxRect(6600, 1020, 1740, 510);
const QPoint kFrequencyFaster = Px(7600, 2640);

int InkIn(const QImage& img, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            n += Dark(img.pixel(x, y)) ? 1 : 0;
        }
    }
    return n;
}

// The title band, and the last dark column of its text: the English title
// is much the shorter.
const QRect kTitle = PxRect(2220, 240, 12165, 615);

int TitleEnd(const QImage& client) {
    int last = -1;
    for (int y = kTitle.top(); y <= kTitle.bottom(); ++y) {
        for (int x = kTitle.left(); x <= kTitle.right(); ++x) {
            last = qGray(client.pixel(x, y)) < 96 ? std::max(last, x - kTitle.left()) : last;
        }
    }
    return last;
}

bool EnglishTitle(const QImage& client) {
    return TitleEnd(client) >= 0 && TitleEnd(client) < 600;
}

int PixelsDiffering(const QImage& a, const QImage& b) {
    int n = 0;
    for (int y = 0; y < std::min(a.height(), b.height()); ++y) {
        for (int x = 0; x < std::min(a.width(), b.width()); ++x) {
            n += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
        }
    }
    return n;
}

bool PauseSignShown(const QImage& img) {
    int amber = 0;
    for (int y = kPauseSign.top(); y <= kPauseSign.bottom(); ++y) {
        for (int x = kPauseSign.left(); x <= kPauseSign.right(); ++x) {
            amber += IsRgb(img.pixel(x, y), 255, 214, 0) ? 1 : 0;
        }
    }
    return amber > 200;
}

// The rightmost blue pixel on the voltage graph: the end of its trace,
// where its marker sits.
int TraceEnd(const QImage& img) {
    const QRect graph = PxRect(8860, 1800, 6300, 2200);
    int end = -1;
    for (int y = graph.top(); y <= graph.bottom(); ++y) {
        for (int x = graph.left(); x <= graph.right(); ++x) {
            if (IsRgb(img.pixel(x, y), 0, 0, 255)) {
                end = std::max(end, x);
            }
        }
    }
    return end;
}

// How far a picture shown at a pixel ratio lies from the natural one: for
// each natural pixel the largest difference of a colour channel from the
// mean of its ratio x ratio block, averaged over the picture.
double MeanDifference(const QImage& natural, const QImage& dense, int ratio) {
    double total = 0;
    const int block = ratio * ratio;
    for (int y = 0; y < natural.height(); ++y) {
        for (int x = 0; x < natural.width(); ++x) {
            int red = 0;
            int green = 0;
            int blue = 0;
            for (int dy = 0; dy < ratio; ++dy) {
                for (int dx = 0; dx < ratio; ++dx) {
                    const QRgb d = dense.pixel(x * ratio + dx, y * ratio + dy);
                    red += qRed(d);
                    green += qGreen(d);
                    blue += qBlue(d);
                }
            }
            const QRgb n = natural.pixel(x, y);
            total += std::max({std::abs(red / block - qRed(n)), std::abs(green / block - qGreen(n)),
                               std::abs(blue / block - qBlue(n))});
        }
    }
    return total / (natural.width() * natural.height());
}

} // namespace

class EndToEnd : public QObject {
    Q_OBJECT

private slots:
    void switchOnGlowsGraphsGrowSwitchOffRests() {
        Program app;
        QVERIFY(app.WaitForWindow());
        const QImage atStart = app.Shot();
        QVERIFY(IsRgb(atStart.pixel(kSwitch.x() + 8, kSwitch.y() + 8), 192, 192, 192));
        QVERIFY(WireWhite(atStart));

        app.Click(kSwitch);
        QVERIFY(app.Within(2000, [](const QImage& img) {
            return IsRgb(img.pixel(kSwitch.x() + 8, kSwitch.y() + 8), 255, 255, 0);
        }));
        QVERIFY2(app.Within(2000, Glowing), "the wire never glowed within two seconds");

        app.Click(kGraphsButton);
        QThread::msleep(400);
        const QString dir = qEnvironmentVariable("KELVARA_E2E_SHOTS");
        if (!dir.isEmpty()) {
            app.Shot().save(dir + QStringLiteral("/e2e-running.png"));
        }
        const TraceCount before = CountTraces(app.Shot());
        QThread::msleep(1000);
        const TraceCount after = CountTraces(app.Shot());
        QVERIFY2(after.blue > before.blue && after.red > before.red && after.black > before.black,
                 qPrintable(QStringLiteral("traces did not grow: blue %1->%2 red %3->%4 black "
                                           "%5->%6")
                                .arg(before.blue)
                                .arg(after.blue)
                                .arg(before.red)
                                .arg(after.red)
                                .arg(before.black)
                                .arg(after.black)));

        app.Click(kSwitch);
        const TraceCount baseline{0, 0, 0};
        QVERIFY2(app.Within(1000,
                            [&](const QImage& img) {
                                const TraceCount t = CountTraces(img);
                                return IsRgb(img.pixel(kSwitch.x() + 8, kSwitch.y() + 8), 192, 192,
                                             192) &&
                                       WireWhite(img) && t.blue == baseline.blue &&
                                       t.red == baseline.red && NeedleColumns(img) <= 4;
                            }),
                 "the second click did not bring the rest state");
        QCOMPARE(app.Process().state(), QProcess::Running);
    }

    // Conventional current leaves the source at "+": while the left terminal
    // shows "+", the charges move away from it, along rising marker indices
    // (tok(0) sits at the left terminal).
    void chargesLeaveTheTerminalMarkedPlus() {
        Program app;
        QVERIFY(app.WaitForWindow());
        app.Click(kSwitch);
        QVERIFY2(app.Within(2000, [](const QImage& img) { return ChargeGroupPlace(img) >= 0; }),
                 "no charge group showed within two seconds of the switch");

        // A little more than one period at the start-up frequency (1.33 s).
        // Two successive frames that both show "+" lie within one half
        // period, so the group can only have risen between them; a frame
        // caught mid-flush may read wrong, hence the margin.
        int away = 0;
        int towards = 0;
        int previousSign = 0;
        double previousPlace = -1;
        QDeadlineTimer deadline(1600);
        while (!deadline.hasExpired()) {
            const QImage img = app.Shot();
            const int sign = LabelSign(img, kLabel11);
            const double place = ChargeGroupPlace(img);
            if (sign == 1 && previousSign == 1 && place >= 0 && previousPlace >= 0) {
                away += place > previousPlace ? 1 : 0;
                towards += place < previousPlace ? 1 : 0;
            }
            previousSign = sign;
            previousPlace = place;
        }
        QVERIFY2(away >= 3 && towards * 5 <= away,
                 qPrintable(QStringLiteral("while the left terminal showed \"+\" the charges "
                                           "moved away from it %1 times and towards it %2 times")
                                .arg(away)
                                .arg(towards)));
    }

    void endsWithCodeZeroDuringARun_data() {
        QTest::addColumn<bool>("destroyedFromOutside");
        QTest::newRow("Exit button") << false;
        // Another X client destroys the window: xdotool windowclose.
        QTest::newRow("window destroyed") << true;
    }

    // The window speaks the system's language where it has it: English for
    // an English system; Russian, as ever, for the C locale; the first of the
    // system's UI languages that it speaks (LANGUAGE=de:en), else Russian.
    // The C locale's window is the Russian one to the pixel. And L switches
    // every text and number to the other language: the window is, to the
    // pixel, the one started in it, values, levels and numbers shown.
    void startsInTheSystemsLanguage() {
        // The client area, once `keys` have shown the values and lifted the
        // graphs screen over the levels, in the language asked for.
        const auto shot = [&](const QStringList& env, const QStringList& keys = {},
                              bool inEnglish = false) {
            Program app(env);
            if (!app.WaitForWindow()) {
                return QImage();
            }
            if (!keys.isEmpty()) {
                app.Keys(keys);
                const auto shown = [&](const QImage& img) {
                    bool level = false;
                    for (int y = kGraphPanel.top(); y <= kGraphPanel.bottom() && !level; ++y) {
                        for (int x = kGraphPanel.left(); x <= kGraphPanel.right(); ++x) {
                            level = level || IsRgb(img.pixel(x, y), 0, 0, 204);
                        }
                    }
                    return level && InkIn(img, kSettingsBand) > 100 &&
                           EnglishTitle(img) == inEnglish;
                };
                if (!app.Within(2000, shown)) {
                    return QImage();
                }
                QThread::msleep(300);
            }
            return app.Shot();
        };
        const QStringList english{QStringLiteral("LANG=en_US.UTF-8")};
        const QStringList values{"v", "Tab", "Return"};
        const QImage russian = shot({}, values);
        const QImage inEnglish = shot(english, values, true);
        const QImage c = shot({QStringLiteral("LANG=C")});
        const QImage german = shot({QStringLiteral("LANGUAGE=de")});
        const QImage germanThenEnglish = shot({QStringLiteral("LANGUAGE=de:en")});
        QVERIFY(!russian.isNull() && !inEnglish.isNull() && !c.isNull() && !german.isNull() &&
                !germanThenEnglish.isNull());
        QCOMPARE(c.copy(kTitle), russian.copy(kTitle));
        QVERIFY2(TitleEnd(russian) > 750 && TitleEnd(inEnglish) < 600,
                 qPrintable(QStringLiteral("title ends at %1 px in Russian, %2 px in English")
                                .arg(TitleEnd(russian))
                                .arg(TitleEnd(inEnglish))));
        QVERIFY2(german.copy(kTitle) == russian.copy(kTitle),
                 qPrintable(QStringLiteral("LANGUAGE=de: title ends at %1 px, not in Russian")
                                .arg(TitleEnd(german))));
        QVERIFY2(germanThenEnglish.copy(kTitle) == inEnglish.copy(kTitle),
                 qPrintable(QStringLiteral("LANGUAGE=de:en: title ends at %1 px, not in English")
                                .arg(TitleEnd(germanThenEnglish))));

        // The values written first in the language started in.
        const QImage switchedToEnglish = shot({}, QStringList{"v", "l", "Tab", "Return"}, true);
        const QImage switchedToRussian = shot(english, QStringList{"v", "l", "Tab", "Return"});
        QVERIFY(!switchedToEnglish.isNull() && !switchedToRussian.isNull());
        QVERIFY2(switchedToEnglish == inEnglish,
                 qPrintable(QStringLiteral("after L, %1 px differ from the window started in "
                                           "English")
                                .arg(PixelsDiffering(switchedToEnglish, inEnglish))));
        QVERIFY2(switchedToRussian == russian,
                 qPrintable(QStringLiteral("after L, %1 px differ from the window started in "
                                           "Russian")
                                .arg(PixelsDiffering(switchedToRussian, russian))));
    }

    // At rest, the window is to the pixel what it was when it opened after
    // V twice, E twice and L twice: every paint of a control agrees, the
    // first, before the window is active, with the later ones.
    void restsAsItOpened() {
        Program app;
        QVERIFY(app.WaitForWindow());
        const QImage opened = app.Shot();
        const struct {
            const char* key;
            std::function<bool(const QImage&)> once; // what the first press shows
        } keys[] = {
            {"v", [](const QImage& img) { return InkIn(img, kSettingsBand) > 100; }},
            {"e", nullptr}, // no charges at rest: nothing to see
            {"l", EnglishTitle},
        };
        for (const auto& k : keys) {
            app.Keys({QString::fromLatin1(k.key)});
            if (k.once) {
                QVERIFY2(app.Within(2000, k.once),
                         qPrintable(QStringLiteral("%1 showed nothing").arg(k.key)));
            } else {
                QThread::msleep(300);
            }
            app.Keys({QString::fromLatin1(k.key)});
            QVERIFY2(app.Within(2000, [&](const QImage& img) { return img == opened; }),
                     qPrintable(QStringLiteral("after %1 twice, %2 px differ from the window "
                                               "just opened")
                                    .arg(k.key)
                                    .arg(PixelsDiffering(app.Shot(), opened))));
        }
    }

    void endsWithCodeZeroDuringARun() {
        QFETCH(bool, destroyedFromOutside);
        Program app;
        QVERIFY(app.WaitForWindow());
        app.Click(kSwitch);
        QVERIFY(app.Within(2000, Glowing));
        if (destroyedFromOutside) {
            RunTool({"windowclose", app.Window()});
        } else {
            app.Click(kExitButton);
        }
        QVERIFY2(app.Process().waitForFinished(1000),
                 qPrintable(QStringLiteral("still running a second after the end by %1")
                                .arg(QString::fromLatin1(QTest::currentDataTag()))));
        QCOMPARE(app.Process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(app.Process().exitCode(), 0);
    }

    // The whole demonstration from the keyboard alone.
    void keyboardOnly() {
        Program app;
        QVERIFY(app.WaitForWindow());
        const auto switchIs = [](int r, int g, int b) {
            return [=](const QImage& img) {
                return IsRgb(img.pixel(kSwitch.x() + 8, kSwitch.y() + 8), r, g, b);
            };
        };
        app.Keys({"space"}); // the focus starts on the switch
        QVERIFY2(app.Within(2000, switchIs(255, 255, 0)), "Space did not switch the run on");
        QVERIFY2(app.Within(2000, Glowing), "the wire never glowed after Space");

        app.Keys({"Tab", "Return"}); // to «Графики»
        QThread::msleep(300);
        const TraceCount before = CountTraces(app.Shot());
        QThread::msleep(700);
        const TraceCount after = CountTraces(app.Shot());
        QVERIFY2(before.blue > 0 && after.blue > before.blue,
                 "Tab and Enter did not lift the screen over growing traces");

        app.Keys({"shift+Tab", "space"}); // back to the switch: off
        QVERIFY2(app.Within(1000,
                            [&](const QImage& img) {
                                return switchIs(192, 192, 192)(img) && WireWhite(img) &&
                                       CountTraces(img).blue == 0;
                            }),
                 "Shift+Tab and Space did not bring the rest state");
        QCOMPARE(app.Process().state(), QProcess::Running);

        app.Keys({"ctrl+q"});
        QVERIFY2(app.Process().waitForFinished(2000), "still running two seconds after Ctrl+Q");
        QCOMPARE(app.Process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(app.Process().exitCode(), 0);
    }

    // A teacher's lesson with a Russian layout active, where the keys of P,
    // V, C and Q type «З», «М», «С» and «Й»: freeze, step, the projector
    // view and back, read the values, go on, end.
    void teachingWithARussianLayout() {
        const KeyboardLayout russian(QStringLiteral("ru,us"));
        QVERIFY2(russian.Set(), "setxkbmap could not set the layout ru,us");
        Program app;
        QVERIFY(app.WaitForWindow());
        app.Click(kSwitch);
        QVERIFY2(app.Within(2000, Glowing), "the run did not start");
        app.Click(kGraphsButton);
        QThread::msleep(700);

        app.Keys({"Cyrillic_ze"});
        QVERIFY2(app.Within(1000, PauseSignShown), "«З» did not freeze the run");
        const QImage frozen = app.Shot();
        QThread::msleep(1000);
        QVERIFY2(app.Shot() == frozen, "the frozen window changed within a second");

        const int before = TraceEnd(frozen);
        QStringList rights;
        for (int i = 0; i < 30; ++i) {
            rights << QStringLiteral("Right");
        }
        app.Keys(rights);
        QThread::msleep(300);
        const QImage stepped = app.Shot();
        // Half a second of run time at 400 twips a second: 200 twips.
        const int moved = TraceEnd(stepped) - before;
        QVERIFY2(moved == 13 || moved == 14,
                 qPrintable(QStringLiteral("thirty steps moved the voltage trace %1 pixels, "
                                           "not 200 twips")
                                .arg(moved)));
        QVERIFY(PauseSignShown(stepped));

        // The projector view and back, at once, though no pass is drawn.
        const auto zeroMarkIs = [](int r, int g, int b) {
            return [=](const QImage& img) { return IsRgb(img.pixel(kZeroMark), r, g, b); };
        };
        QVERIFY(zeroMarkIs(255, 255, 255)(stepped));
        app.Keys({"Cyrillic_es"});
        QVERIFY2(app.Within(1000, zeroMarkIs(0, 0, 0)), "«С» did not switch the projector view on");
        app.Keys({"Cyrillic_es"});
        QVERIFY2(app.Within(1000, [&](const QImage& img) { return img == stepped; }),
                 "«С» again did not give back the default look exactly");

        app.Keys({"Cyrillic_em"});
        QVERIFY2(
            app.Within(1000, [](const QImage& img) { return InkIn(img, kSettingsBand) > 100; }),
            "«М» did not show the values");
        const QImage values = app.Shot().copy(kSettingsBand);
        app.Click(kFrequencyFaster); // a page up the frequency slider
        QVERIFY2(
            app.Within(1000, [&](const QImage& img) { return img.copy(kSettingsBand) != values; }),
            "the values did not follow the frequency slider");

        app.Keys({"Cyrillic_ze"});
        QVERIFY2(app.Within(1000, [](const QImage& img) { return !PauseSignShown(img); }),
                 "«З» did not go on");
        const QImage going = app.Shot();
        QVERIFY2(
            app.Within(1000, [&](const QImage& img) { return TraceEnd(img) > TraceEnd(going); }),
            "the traces did not grow on after the freeze");

        app.Keys({"ctrl+Cyrillic_shorti"});
        QVERIFY2(app.Process().waitForFinished(2000), "still running two seconds after Ctrl+Й");
        QCOMPARE(app.Process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(app.Process().exitCode(), 0);
    }

    // F11 under a window manager: the drawing fills the screen where the
    // view scale puts it, the run goes on with its traces, Escape returns.
    void fullScreenForTheProjector() {
        WindowManager wm;
        QVERIFY2(wm.Ready(), "openbox did not take over the screen within 5 s");
        Program app;
        QVERIFY(app.WaitForWindow());
        const QRgb face = app.Shot().pixel(3, 3);
        app.Click(kSwitch);
        QVERIFY2(app.Within(2000, Glowing), "the run did not start at the natural size");
        app.Click(kGraphsButton);

        app.Keys({"F11"});
        const QSize screen = QGuiApplication::primaryScreen()->size();
        QDeadlineTimer deadline(3000);
        while (app.Geometry() != QRect(QPoint(0, 0), screen) && !deadline.hasExpired()) {
            QThread::msleep(50);
        }
        QVERIFY2(app.Geometry() == QRect(QPoint(0, 0), screen), "F11 did not go fullscreen");

        const double s = std::min(screen.width() / 1016.0, screen.height() / 734.0);
        const auto scaled = [s](int twips) {
            return static_cast<int>(std::lround(twips * s / 15));
        };
        const QPoint origin((screen.width() - scaled(15240)) / 2,
                            (screen.height() - scaled(11010)) / 2);
        const auto at = [&](int x, int y) { return origin + QPoint(scaled(x), scaled(y)); };
        const QRect panel(at(8460, 1740), QSize(scaled(6765), scaled(8145)));
        const auto blueIn = [&](const QImage& img) {
            int n = 0;
            for (int y = panel.top() + 4; y < panel.bottom() - 4; y += 2) {
                for (int x = panel.left() + 4; x < panel.right() - 4; ++x) {
                    n += IsRgb(img.pixel(x, y), 0, 0, 255) ? 1 : 0;
                }
            }
            return n;
        };
        const auto full = [] {
            return QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(
                QImage::Format_RGB32);
        };
        QThread::msleep(500);
        const QImage first = full();
        if (const QString dir = qEnvironmentVariable("KELVARA_E2E_SHOTS"); !dir.isEmpty()) {
            first.save(dir + QStringLiteral("/e2e-fullscreen.png"));
        }
        const struct {
            const char* what = nullptr;
            QPoint at;
            QRgb colour = 0;
        } places[] = {
            {"generator panel", at(1000, 4600), qRgb(192, 255, 192)},
            {"voltmeter dial", at(1500, 3800), qRgb(192, 192, 255)},
            {"ammeter dial", at(1500, 6700), qRgb(255, 192, 192)},
            {"switch, on", at(7320 + 60, 4170 + 60), qRgb(255, 255, 0)},
            {"margin", QPoint(origin.x() / 2, screen.height() / 2), face},
        };
        for (const auto& p : places) {
            QVERIFY2((first.pixel(p.at) | 0xff000000u) == (p.colour | 0xff000000u),
                     qPrintable(QStringLiteral("%1 at (%2, %3) is #%4")
                                    .arg(p.what)
                                    .arg(p.at.x())
                                    .arg(p.at.y())
                                    .arg(first.pixel(p.at) & 0xffffffu, 6, 16, QChar('0'))));
        }
        const int tracesBefore = blueIn(first);
        QVERIFY2(tracesBefore > 50, "the traces drawn before F11 are gone");
        QThread::msleep(800);
        QVERIFY2(blueIn(full()) > tracesBefore, "the traces stopped growing after F11");

        app.Keys({"Escape"});
        deadline = QDeadlineTimer(3000);
        while (app.Geometry().size() != QSize(1016, 734) && !deadline.hasExpired()) {
            QThread::msleep(50);
        }
        QCOMPARE(app.Geometry().size(), QSize(1016, 734));
        QCOMPARE(app.Process().state(), QProcess::Running);
    }

    // The title pictures at a device pixel ratio, as a high-density screen
    // shows them: drawn whole at the finer resolution, so that each block
    // of ratio x ratio screen pixels averages to the natural picture's pixel.
    // Aliased edges fall a little differently at the finer resolution; a
    // picture drawn at the wrong size differs on most of its pixels.
    void titlePicturesAtPixelRatio_data() {
        QTest::addColumn<int>("ratio");
        QTest::newRow("QT_SCALE_FACTOR=2") << 2;
    }

    void titlePicturesAtPixelRatio() {
        QFETCH(int, ratio);
        // Room for the window and its frame, or it opens scaled down.
        const QSize screen = QGuiApplication::primaryScreen()->size();
        if (screen.width() < (1016 + 16) * ratio || screen.height() < (734 + 48) * ratio) {
            QSKIP("the screen cannot hold the window at this ratio (the e2e_pixel_ratio test "
                  "runs it on a larger one)");
        }
        const struct {
            const char* what = nullptr;
            QRect rect;
        } pictures[] = {{"logo Picture1", PxRect(480, 360, 495, 495)},
                        {"icon Picture2", PxRect(1200, 360, 465, 465)}};
        std::vector<QImage> natural;
        std::vector<QImage> dense;
        for (const int r : {1, ratio}) {
            Program app({QStringLiteral("QT_SCALE_FACTOR=%1").arg(r)});
            QVERIFY(app.WaitForWindow());
            QCOMPARE(app.Geometry().size(), QSize(1016, 734) * r);
            std::vector<QImage>& into = r == 1 ? natural : dense;
            for (const auto& p : pictures) {
                into.push_back(app.Shot(QRect(p.rect.topLeft() * r, p.rect.size() * r)));
            }
        }
        for (std::size_t i = 0; i < natural.size(); ++i) {
            const double difference = MeanDifference(natural.at(i), dense.at(i), ratio);
            QVERIFY2(difference < 32,
                     qPrintable(QStringLiteral("%1 at ratio %2 differs from the natural one by "
                                               "%3 a pixel on average")
                                    .arg(QString::fromLatin1(pictures[i].what))
                                    .arg(ratio)
                                    .arg(difference, 0, 'f', 1)));
        }
    }

    void startupFailureSaysWhy_data() {
        QTest::addColumn<QString>("display"); // empty: unset
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QStringList>("says");
        QTest::addColumn<int>("lines");
        const QStringList noDisplay{"no display could be reached"};
        const QStringList noPlugin{"\"nonexistent\"", "Available platform plugins", "xcb"};
        const QString here = qEnvironmentVariable("DISPLAY");
        QTest::newRow("DISPLAY unset")
            << QString() << "xcb" << QStringList() << 2 << noDisplay << 1;
        QTest::newRow("no server at DISPLAY") << ":7777"
                                              << "xcb" << QStringList() << 2 << noDisplay << 1;
        QTest::newRow("QT_QPA_PLATFORM=nonexistent")
            << here << "nonexistent" << QStringList() << 3 << noPlugin << 2;
        QTest::newRow("-platform nonexistent")
            << here << "xcb" << QStringList{"-platform", "nonexistent"} << 3 << noPlugin << 2;
    }

    void startupFailureSaysWhy() {
        QFETCH(QString, display);
        QFETCH(QString, platform);
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QStringList, says);
        QFETCH(int, lines);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        if (!display.isEmpty()) {
            env.insert(QStringLiteral("DISPLAY"), display);
        }
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(KELVARA_BINARY), args);
        QVERIFY2(p.waitForFinished(10000), "still running ten seconds after a failed start");
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), code);
        const QString err = QString::fromUtf8(p.readAllStandardError()).trimmed();
        QVERIFY2(!err.isEmpty() && err.count('\n') < lines, qPrintable(err));
        for (const QString& words : says) {
            QVERIFY2(err.contains(words), qPrintable(err));
        }
    }
};

QTEST_MAIN(EndToEnd)
#include "e2e_test.moc"
