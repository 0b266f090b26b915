// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Sharpness at the pixel ratio the environment sets (KELVARA_EXPECT_DPR):
// the grab and the retained layers are in device pixels, and needles,
// run-time lines, strips and outlines cover whole pixels with no blending.
#include "support.h"

#include "display/meters.h"
#include "ui/lang/language.h"
#include "ui/look/fonts.h"
#include "ui/paint/surface.h"
#include "ui/teach/presenter.h"
#include "ui/teach/readouts.h"
#include "ui/teach/value_lines.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeySequence>
#include <QPainter>
#include <QPixmapCache>
#include <QPushButton>
#include <QRegion>
#include <QScopeGuard>
#include <QScreen>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionSlider>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

using kelvara::RGB;
using kelvara::Surface;
using namespace kelvara::uitest;

namespace {

qreal ExpectedRatio() {
    bool ok = false;
    const qreal dpr = qEnvironmentVariable("KELVARA_EXPECT_DPR").toDouble(&ok);
    return ok ? dpr : 1.0;
}

// Device-pixel colours found in a logical rectangle of a grab.
std::set<QRgb> ColoursIn(const QImage& img, const QRect& logical) {
    const qreal dpr = img.devicePixelRatio();
    const QRect device(static_cast<int>(logical.x() * dpr), static_cast<int>(logical.y() * dpr),
                       static_cast<int>(logical.width() * dpr),
                       static_cast<int>(logical.height() * dpr));
    std::set<QRgb> colours;
    for (int y = device.top(); y <= device.bottom(); ++y) {
        for (int x = device.left(); x <= device.right(); ++x) {
            colours.insert(img.pixel(x, y) | 0xff000000u);
        }
    }
    return colours;
}

// Lengths of the runs of one colour along a device-pixel row.
std::vector<int> RunsInRow(const QImage& img, int deviceY, int fromX, int toX, QRgb colour) {
    std::vector<int> runs;
    int run = 0;
    for (int x = fromX; x <= toX; ++x) {
        if ((img.pixel(x, deviceY) | 0xff000000u) == colour) {
            ++run;
        } else if (run > 0) {
            runs.push_back(run);
            run = 0;
        }
    }
    if (run > 0) {
        runs.push_back(run);
    }
    return runs;
}

// Length of a horizontal slider's handle as its style lays it out.
int HandleLength(const QSlider& slider) {
    QStyleOptionSlider option;
    option.initFrom(&slider);
    option.orientation = slider.orientation();
    option.minimum = slider.minimum();
    option.maximum = slider.maximum();
    option.sliderPosition = slider.sliderPosition();
    option.sliderValue = slider.value();
    option.singleStep = slider.singleStep();
    option.pageStep = slider.pageStep();
    option.tickPosition = slider.tickPosition();
    option.tickInterval = slider.tickInterval();
    return slider.style()
        ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &slider)
        .width();
}

} // namespace

class CrispTest : public QObject {
    Q_OBJECT

private slots:
    void deviceSizedGrabAndLayers() {
        const qreal dpr = ExpectedRatio();
        auto form = FormAtRest();
        QCOMPARE(form->devicePixelRatioF(), dpr);
        const QImage img = Grab(*form);
        QCOMPARE(img.size(), QSize(1016, 734) * dpr);
        form->Controls().DrawLine(Surface::Form1, 9000, 4000, 12000, 4000, RGB(255, 0, 0));
        QCOMPARE(form->Widgets().Layer(Surface::Form1).Image().size(), QSize(1016, 734) * dpr);
        QCOMPARE(form->Widgets().Layer(Surface::Form1).Image().devicePixelRatio(), dpr);
        QCOMPARE(form->Widgets().Layer(Surface::picvolt).Image().devicePixelRatio(), dpr);
    }

    // A swung needle shows only needle grey and dial blue around its middle.
    void needleHasNoBlendedPixels() {
        auto form = FormAtRest();
        kelvara::UpdateVoltmeter(form->State(), form->Controls(), 30);
        kelvara::UpdateAmmeter(form->State(), form->Controls(), -20);
        const QImage img = Grab(*form);
        const QPoint v = InClient(*form, "picvolt", {50, 55});
        const auto volt = ColoursIn(img, QRect(v, QSize(40, 40)));
        QCOMPARE(volt, (std::set<QRgb>{qRgb(128, 128, 128), qRgb(192, 192, 255)}));
        const QPoint a = InClient(*form, "picamp", {95, 55});
        const auto amp = ColoursIn(img, QRect(a, QSize(30, 40)));
        QCOMPARE(amp, (std::set<QRgb>{qRgb(128, 128, 128), qRgb(255, 192, 192)}));
    }

    // Across a vertical strip: its outline lines, the strip, and the window
    // background, each in whole device pixels of the expected widths.
    void stripAndOutlinesAreSharp() {
        const qreal dpr = ExpectedRatio();
        auto form = FormAtRest();
        const QImage img = Grab(*form);
        const int y = static_cast<int>(Px(7500) * dpr);
        const int from = static_cast<int>(Px(300) * dpr);
        const int to = static_cast<int>(Px(700) * dpr);
        const QRgb face = ButtonFace().rgb() | 0xff000000u;
        std::set<QRgb> seen;
        for (int x = from; x <= to; ++x) {
            seen.insert(img.pixel(x, y) | 0xff000000u);
        }
        QCOMPARE(seen, (std::set<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255), face}));
        // Line18 is 1 pixel wide, Line27 2; pictok(3) is 11 pixels.
        const int d = static_cast<int>(dpr);
        QCOMPARE(RunsInRow(img, y, from, to, qRgb(0, 0, 0)), (std::vector<int>{1 * d, 2 * d}));
        QCOMPARE(RunsInRow(img, y, from, to, qRgb(255, 255, 255)), (std::vector<int>{11 * d}));
    }

    // The whole drawing at a view scale: child windows, a caption, a needle,
    // a strip between its outlines and a trace drawn before the window was
    // resized, all at the scaled size in whole device pixels.
    void scaledWindow_data() {
        QTest::addColumn<double>("scale");
        for (const double s : {0.5, 1.0, 1.5, 2.0}) {
            QTest::addRow("s = %g", s) << s;
        }
    }

    void scaledWindow() {
        QFETCH(double, scale);
        const qreal dpr = ExpectedRatio();
        const int d = static_cast<int>(dpr);
        const auto scaled = [&](double twips) {
            return static_cast<int>(std::lround(twips * scale / 15));
        };
        const auto width = [&](int natural) {
            return std::max(1, static_cast<int>(std::lround(natural * scale)));
        };
        auto form = FormAtRest();
        const int handle = HandleLength(*form->Widgets().SliderControl(kelvara::Slider::sldW));
        form->Widgets().SetShirmaVisible(false);
        // Drawn at the natural size, kept through the resize.
        form->Controls().DrawLine(Surface::Form1, 10005, 3500, 10005, 3800, RGB(255, 0, 0));
        form->resize(scaled(15240), scaled(11010));
        QCOMPARE(form->Map().Scale(), scale);
        QCOMPARE(form->Map().Origin(), QPoint(0, 0));

        for (const auto& [name, r] : {std::pair{"picOn", QRect(7320, 4170, 375, 375)},
                                      std::pair{"sldW", QRect(4470, 2340, 3615, 675)},
                                      std::pair{"Command1", QRect(10770, 10110, 2355, 375)},
                                      std::pair{"tok(4)", QRect(4980, 6000, 195, 165)}}) {
            QCOMPARE(form->Widgets().Control(QString::fromLatin1(name))->geometry(),
                     QRect(scaled(r.x()), scaled(r.y()), scaled(r.width()), scaled(r.height())));
        }
        QCOMPARE(form->Widgets().Command1()->font().pixelSize(), scaled(11.25 * 20));
        // The sliders' handles grow with the rest.
        QCOMPARE(HandleLength(*form->Widgets().SliderControl(kelvara::Slider::sldW)),
                 width(handle));

        kelvara::UpdateVoltmeter(form->State(), form->Controls(), 30);
        const QImage img = Grab(*form);
        // Around the middle of the swung needle only needle grey and dial.
        const QPoint v = InClient(*form, "picvolt", {scaled(750), scaled(825)});
        const QSize box(scaled(600), scaled(600));
        QCOMPARE(ColoursIn(img, QRect(v, box)),
                 (std::set<QRgb>{qRgb(128, 128, 128), qRgb(192, 192, 255)}));

        // Across pictok(3): Line18 (1 pixel), Line27 (2), the strip (165 twips).
        const int y = static_cast<int>(scaled(7500) * dpr);
        const int from = static_cast<int>(scaled(300) * dpr);
        const int to = static_cast<int>(scaled(700) * dpr);
        QCOMPARE(RunsInRow(img, y, from, to, qRgb(0, 0, 0)),
                 (std::vector<int>{width(1) * d, width(2) * d}));
        QCOMPARE(RunsInRow(img, y, from, to, qRgb(255, 255, 255)),
                 (std::vector<int>{scaled(165) * d}));

        // The trace, drawn again at this scale with the window's 2-pixel pen.
        const int traceY = static_cast<int>(scaled(3650) * dpr);
        QCOMPARE(RunsInRow(img, traceY, static_cast<int>(scaled(9900) * dpr),
                           static_cast<int>(scaled(10100) * dpr), qRgb(255, 0, 0)),
                 (std::vector<int>{width(2) * d}));
        QCOMPARE(ColoursIn(img, QRect(QPoint(scaled(9950), scaled(3600)),
                                      QSize(scaled(100), scaled(100)))),
                 (std::set<QRgb>{qRgb(255, 0, 0), qRgb(255, 255, 255), qRgb(128, 128, 255)}));

        // The values and the pause sign, at their widest and in every
        // language, lie where the window shows nothing but its face: they
        // cover no element.
        const QRgb face = ButtonFace().rgb() | 0xff000000u;
        for (const kelvara::ui::Language language : kelvara::ui::kLanguages) {
            QVERIFY(kelvara::ui::SetLanguage(language));
            kelvara::ui::ValueLines values;
            kelvara::ui::Readouts widest;
            for (int w = 1; w <= 9; ++w) {
                for (const int r : {1, 7, 10}) {
                    values.Update(true, {w, 1, r}, 3.14, {{-1, -1, 1}}, true);
                    widest.Update(form->Map(), {}, values);
                    for (const QRect& area : widest.Areas()) {
                        QVERIFY2(ColoursIn(img, area) == std::set<QRgb>{face},
                                 qPrintable(QStringLiteral("values in %1 at step %2, R %3 would "
                                                           "cover something at %4, %5 (%6 x %7)")
                                                .arg(kelvara::ui::OwnName(language))
                                                .arg(w)
                                                .arg(r)
                                                .arg(area.x())
                                                .arg(area.y())
                                                .arg(area.width())
                                                .arg(area.height())));
                    }
                }
            }
        }
        QVERIFY(kelvara::ui::SetLanguage(kelvara::ui::Language::Russian));
        QCoreApplication::processEvents(); // the window back in Russian
        // V changes no pixel outside them, and V, E and L twice give the
        // window back to the pixel: every paint of it agrees, also the
        // first at a size, with nothing the style keeps of earlier paints.
        QPixmapCache::clear();
        const QImage hidden = Grab(*form);
        QTest::keyClick(form.get(), Qt::Key_V);
        const QImage shown = Grab(*form);
        QRegion areas;
        for (const QRect& area : form->Teaching().ShownReadouts().Areas()) {
            areas += QRect(area.topLeft() * dpr, area.size() * dpr);
        }
        for (const QRect& area : form->Teaching().Graphs().Areas()) {
            areas += QRect(area.topLeft() * dpr, area.size() * dpr);
        }
        int changed = 0;
        for (int y = 0; y < hidden.height(); ++y) {
            for (int x = 0; x < hidden.width(); ++x) {
                if (hidden.pixel(x, y) != shown.pixel(x, y)) {
                    ++changed;
                    QVERIFY2(areas.contains(QPoint(x, y)),
                             qPrintable(QStringLiteral("V changed (%1, %2)").arg(x).arg(y)));
                }
            }
        }
        QVERIFY(changed > 100);
        for (const Qt::Key key : {Qt::Key_V, Qt::Key_E, Qt::Key_L}) {
            QTest::keyClick(form.get(), key);
            QCoreApplication::processEvents();
            if (key != Qt::Key_V) {
                QTest::keyClick(form.get(), key);
                QCoreApplication::processEvents();
            }
            const QImage again = Grab(*form);
            int differing = 0;
            for (int y = 0; y < hidden.height(); ++y) {
                for (int x = 0; x < hidden.width(); ++x) {
                    differing += hidden.pixel(x, y) != again.pixel(x, y) ? 1 : 0;
                }
            }
            QVERIFY2(differing == 0, qPrintable(QStringLiteral("%1 px differ after %2 twice")
                                                    .arg(differing)
                                                    .arg(QKeySequence(key).toString())));
        }

        // The instant values, set glyph by glyph, ink their own area only.
        kelvara::ui::ValueLines values;
        values.Update(true, {5, 5, 1}, 3.14, {{-0.475, -0.111, 0.226}}, false);
        kelvara::ui::Readouts running;
        running.Update(form->Map(), {}, values);
        QImage ink(form->size() * dpr, QImage::Format_RGB32);
        ink.setDevicePixelRatio(dpr);
        ink.fill(Qt::white);
        {
            QPainter p(&ink);
            running.Paint(p, QRegion(form->rect()));
        }
        const QRect instant = running.Areas().at(kelvara::ui::ValueLines::kSettingLineCount +
                                                 kelvara::ui::ValueLines::kEffectiveLineCount);
        QRegion valueAreas;
        for (const QRect& area : running.Areas()) {
            valueAreas += area;
        }
        int inked = 0;
        for (int y = 0; y < ink.height(); ++y) {
            for (int x = 0; x < ink.width(); ++x) {
                if (ink.pixel(x, y) != qRgb(255, 255, 255)) {
                    const QPoint at(static_cast<int>(x / dpr), static_cast<int>(y / dpr));
                    QVERIFY2(valueAreas.contains(at),
                             qPrintable(QStringLiteral("ink at (%1, %2)").arg(x).arg(y)));
                    inked += instant.contains(at) ? 1 : 0;
                }
            }
        }
        QVERIFY(inked > instant.width());
    }

    // A tall strip cut into pieces wherever something starts beside it is
    // painted as one rectangle, and nothing is added to the region.
    void tallStripsJoined() {
        QRegion region(QRect(10, 0, 2, 300));
        region += QRect(20, 100, 50, 40);
        region += QRect(30, 200, 5, 5);
        region += QRect(10, 300, 30, 10); // below it, wider: not joined
        QVERIFY(region.rectCount() > 4);
        const std::vector<QRect> joined = kelvara::ui::JoinedRects(region);
        QRegion again;
        for (const QRect& r : joined) {
            QVERIFY(!again.intersects(r));
            again += r;
        }
        QCOMPARE(again, region);
        QCOMPARE(joined.size(), std::size_t{4});
        QVERIFY(std::find(joined.begin(), joined.end(), QRect(10, 0, 2, 300)) != joined.end());
    }

    // In English every caption and button text lies inside its own place
    // and over no other element's, at any scale: the glyphs as the window
    // sets them (its font, after fitting, and its flags) are drawn alone
    // and their ink measured.
    void englishCaptionsInsideTheirPlaces_data() { scaledWindow_data(); }

    void englishCaptionsInsideTheirPlaces() {
        QFETCH(double, scale);
        using namespace kelvara::ui;
        const qreal dpr = ExpectedRatio();
        auto form = FormAtRest();
        QVERIFY(SetLanguage(Language::English));
        const auto russianAgain = qScopeGuard([] {
            SetLanguage(Language::Russian);
            QCoreApplication::processEvents();
        });
        QCoreApplication::processEvents(); // Qt posts the LanguageChange
        form->resize(static_cast<int>(std::lround(15240 * scale / 15)),
                     static_cast<int>(std::lround(11010 * scale / 15)));
        const DrawingSurface& surface = form->Widgets().WindowSurface();
        std::vector<std::pair<QString, QRect>> places;
        for (const Element& e : FormLayout()) {
            const QString name = FullName(e);
            if (qstrcmp(e.container, "Form1") != 0) {
                continue;
            }
            if (IsChildWindow(e.kind)) {
                places.emplace_back(name, form->Widgets().Control(name)->geometry());
            } else if (e.kind == Kind::Label) {
                places.emplace_back(name, surface.Rect(surface.Find(name)));
            }
        }
        int translated = 0;
        for (const Element& e : FormLayout()) {
            const QString name = FullName(e);
            if (e.kind != Kind::Label || qstrcmp(e.container, "Form1") != 0 ||
                CaptionText(e) == QString::fromUtf8(e.caption)) {
                continue;
            }
            ++translated;
            const int item = surface.Find(name);
            QCOMPARE(surface.Caption(item), CaptionText(e));
            QImage ink(form->size() * dpr, QImage::Format_ARGB32_Premultiplied);
            ink.setDevicePixelRatio(dpr);
            ink.fill(Qt::transparent);
            QPainter p(&ink);
            p.setFont(surface.Font(item));
            p.setPen(Qt::black);
            p.drawText(surface.Rect(item), surface.TextFlags(item), surface.Caption(item));
            p.end();
            QRect inked;
            for (int y = 0; y < ink.height(); ++y) {
                for (int x = 0; x < ink.width(); ++x) {
                    if (qAlpha(ink.pixel(x, y)) != 0) {
                        inked |= QRect(static_cast<int>(x / dpr), static_cast<int>(y / dpr), 1, 1);
                    }
                }
            }
            QVERIFY2(surface.Rect(item).contains(inked),
                     qPrintable(QStringLiteral("%1 inks %2,%3 %4 x %5 outside %6,%7 %8 x %9")
                                    .arg(name)
                                    .arg(inked.x())
                                    .arg(inked.y())
                                    .arg(inked.width())
                                    .arg(inked.height())
                                    .arg(surface.Rect(item).x())
                                    .arg(surface.Rect(item).y())
                                    .arg(surface.Rect(item).width())
                                    .arg(surface.Rect(item).height())));
            for (const auto& [other, place] : places) {
                QVERIFY2(other == name || !place.intersects(inked),
                         qPrintable(name + QStringLiteral(" is over ") + other));
            }
        }
        QCOMPARE(translated, 5); // the title, «Генератор», the slider captions, the switch's
        for (QPushButton* button : {form->Widgets().Command1(), form->Widgets().Command4()}) {
            QStyleOptionButton option;
            option.initFrom(button);
            const QRect room =
                button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
            const QFontMetrics metrics(button->font());
            QVERIFY(button->text() != QStringLiteral("Выход") &&
                    button->text() != QStringLiteral("Графики"));
            QVERIFY2(metrics.horizontalAdvance(button->text()) <= room.width() &&
                         metrics.height() <= room.height(),
                     qPrintable(button->text()));
        }
    }

    // On a screen whose free area cannot hold the natural window (a laptop
    // with a task bar), it opens scaled down to fit, nothing cut off.
    void opensWithinASmallScreen() {
        const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
        if (free.width() >= 1016 + 16 && free.height() >= 734 + 48) {
            QSKIP("this screen holds the window at its natural size");
        }
        auto form = FormAtRest();
        QVERIFY(form->Map().Scale() < 1);
        QVERIFY2(free.contains(form->frameGeometry()),
                 qPrintable(QStringLiteral("%1 x %2 at %3, %4 on a free area of %5 x %6")
                                .arg(form->width())
                                .arg(form->height())
                                .arg(form->x())
                                .arg(form->y())
                                .arg(free.width())
                                .arg(free.height())));
    }

    // A run-time line of the window's 2-pixel pen is 2 logical pixels thick.
    void runTimeLineIsWholePixels() {
        const qreal dpr = ExpectedRatio();
        auto form = FormAtRest();
        form->Widgets().SetShirmaVisible(false);
        form->Controls().DrawLine(Surface::Form1, 10005, 3500, 10005, 3800, RGB(255, 0, 0));
        const QImage img = Grab(*form);
        const int y = static_cast<int>(Px(3650) * dpr);
        const int d = static_cast<int>(dpr);
        const auto runs = RunsInRow(img, y, static_cast<int>(Px(9900) * dpr),
                                    static_cast<int>(Px(10100) * dpr), qRgb(255, 0, 0));
        QCOMPARE(runs, (std::vector<int>{2 * d}));
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    kelvara::ui::PinFontSubstitutes();
    CrispTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "crisp_test.moc"
