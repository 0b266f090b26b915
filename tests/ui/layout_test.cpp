// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The window as laid out: geometry of every child window, the window itself,
// sliders, fonts, tab order, colours of a grab at rest, the graphs screen, and
// the tube that the wire outlines draw around strips and markers.
#include "support.h"

#include "sim/state.h"
#include "ui/layout/layout.h"
#include "ui/look/fonts.h"
#include "ui/paint/pictures.h"
#include "ui/teach/help_panel.h"
#include "ui/widgets/box.h"
#include "ui/widgets/marker.h"

#include <QAccessible>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QPushButton>
#include <QScopeGuard>
#include <QSlider>
#include <QTest>
#include <QToolTip>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

using kelvara::ui::Element;
using kelvara::ui::FindElement;
using kelvara::ui::Form1;
using kelvara::ui::Kind;
using namespace kelvara::uitest;

namespace {

struct Placed {
    const char* name;
    const char* container;
    int left, top, width, height; // twips
};

// Every child window but the charge markers, as the layout states it.
constexpr Placed kChildWindows[] = {
    {"Picture1", "Form1", 480, 360, 495, 495},      {"Picture2", "Form1", 1200, 360, 465, 465},
    {"picvolt", "Form1", 1110, 2430, 2900, 1600},   {"sldW", "Form1", 4470, 2340, 3615, 675},
    {"sldU", "Form1", 4470, 3390, 3615, 645},       {"picOn", "Form1", 7320, 4170, 375, 375},
    {"Plus1", "picvolt", 0, 720, 255, 255},         {"Minus2", "picvolt", 2580, 720, 225, 285},
    {"picamp", "Form1", 1080, 5310, 2955, 1600},    {"Plus5", "picamp", 30, 750, 165, 255},
    {"Minus4", "picamp", 2610, 750, 225, 285},      {"pictok(0)", "Form1", 5190, 5010, 165, 1155},
    {"pictok(1)", "Form1", 4380, 6000, 945, 165},   {"pictok(2)", "Form1", 570, 6000, 195, 165},
    {"pictok(3)", "Form1", 420, 6000, 165, 3255},   {"pictok(4)", "Form1", 420, 9210, 1935, 165},
    {"pictok(5)", "Form1", 5850, 9210, 2025, 165},  {"pictok(6)", "Form1", 7710, 6000, 165, 3225},
    {"pictok(7)", "Form1", 5970, 6000, 1755, 165},  {"pictok(8)", "Form1", 5850, 5010, 165, 1155},
    {"picR", "Form1", 2670, 8910, 2865, 765},       {"sldR", "Form1", 2700, 9870, 2805, 675},
    {"Command4", "Form1", 8460, 1290, 6735, 315},   {"picShirma", "Form1", 8430, 1710, 6825, 8235},
    {"Command1", "Form1", 10770, 10110, 2355, 375},
};

struct TokPlace {
    int strip; // -1: the window
    int left, top, windowX, windowY;
};
constexpr TokPlace kToks[kelvara::kTokCount] = {
    {0, 0, 60, 5190, 5070},     {0, 0, 420, 5190, 5430},      {0, 0, 810, 5190, 5820},
    {1, 300, 0, 4680, 6000},    {-1, 4980, 6000, 4980, 6000}, {1, 30, -30, 4410, 5970},
    {2, 0, 0, 570, 6000},       {3, 0, 330, 420, 6330},       {3, 0, 750, 420, 6750},
    {3, 0, 1230, 420, 7230},    {3, 0, 1680, 420, 7680},      {3, 0, 2100, 420, 8100},
    {3, 0, 2550, 420, 8550},    {3, 0, 2970, 420, 8970},      {4, 210, 0, 630, 9210},
    {4, 570, 0, 990, 9210},     {4, 930, -30, 1350, 9180},    {4, 1290, 0, 1710, 9210},
    {4, 1680, -30, 2100, 9180}, {5, 90, 0, 5940, 9210},       {5, 480, -30, 6330, 9180},
    {5, 870, 0, 6720, 9210},    {5, 1230, 0, 7080, 9210},     {5, 1650, 0, 7500, 9210},
    {6, 0, 3000, 7710, 9000},   {6, 0, 2550, 7710, 8550},     {6, -30, 2130, 7680, 8130},
    {6, 0, 1680, 7710, 7680},   {6, 0, 1230, 7710, 7230},     {6, 0, 810, 7710, 6810},
    {6, 0, 390, 7710, 6390},    {6, 0, 0, 7710, 6000},        {7, 1350, 0, 7320, 6000},
    {7, 930, 0, 6900, 6000},    {7, 480, -30, 6450, 5970},    {7, 0, 0, 5970, 6000},
    {8, 0, 750, 5850, 5760},    {8, 0, 450, 5850, 5460},      {8, 0, 60, 5850, 5070},
};
// Markers placed 30 twips outside their strip, shown clipped.
constexpr std::array<int, 6> kClippedToks = {5, 16, 18, 20, 26, 34};

// The two outline lines of each strip.
constexpr std::array<std::array<const char*, 2>, kelvara::kPictokCount> kOutlines = {{
    {"Line15", "Line24"},
    {"Line16", "Line25"},
    {"Line17", "Line26"},
    {"Line18", "Line27"},
    {"Line19", "Line29"},
    {"Line20", "Line30"},
    {"Line21", "Line31"},
    {"Line22", "Line32"},
    {"Line23", "Line33"},
}};

QString TokName(int k) {
    return QStringLiteral("tok(%1)").arg(k);
}
QString StripName(int k) {
    return QStringLiteral("pictok(%1)").arg(k);
}

bool IsClipped(int k) {
    return std::find(kClippedToks.begin(), kClippedToks.end(), k) != kClippedToks.end();
}

// Window rectangle in twips of a strip or marker, from the layout tables.
QRect WindowTwips(const Element& e) {
    QRect r(e.left, e.top, e.width, e.height);
    if (qstrcmp(e.container, "Form1") != 0) {
        const Element* c = FindElement(QString::fromLatin1(e.container));
        r.translate(c->left, c->top);
    }
    return r;
}

// The tube across a strip: the two outline coordinates, low then high.
std::pair<int, int> Tube(int strip, bool horizontal) {
    const Element* a = FindElement(QString::fromLatin1(kOutlines[strip][0]));
    const Element* b = FindElement(QString::fromLatin1(kOutlines[strip][1]));
    const int ca = horizontal ? a->y1 : a->x1;
    const int cb = horizontal ? b->y1 : b->x1;
    return {std::min(ca, cb), std::max(ca, cb)};
}

bool IsHorizontal(const QRect& strip) {
    return strip.width() > strip.height();
}

int Darkness(const QColor& c) {
    return 255 * 3 - (c.red() + c.green() + c.blue());
}

// A copy of a built-in font that calls itself `family`, as an installed
// font of that name would: its family, full and PostScript names, all
// longer in the original, rewritten in place.
QByteArray Renamed(const QString& builtIn, const QString& family) {
    QFile file(builtIn);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QByteArray ttf = file.readAll();
    const auto at16 = [&](qsizetype at) { return qFromBigEndian<quint16>(ttf.constData() + at); };
    for (int t = 0; t < at16(4); ++t) {
        const qsizetype entry = 12 + qsizetype{16} * t;
        if (ttf.mid(entry, 4) != "name") {
            continue;
        }
        const qsizetype table = qFromBigEndian<quint32>(ttf.constData() + entry + 8);
        const qsizetype strings = table + at16(table + 4);
        for (int r = 0; r < at16(table + 2); ++r) {
            const qsizetype record = table + 6 + qsizetype{12} * r;
            const int id = at16(record + 6);
            if (id != 1 && id != 4 && id != 6) {
                continue;
            }
            const QString name = id == 6 ? QString(family).remove(QLatin1Char(' ')) : family;
            QByteArray text = name.toLatin1(); // Macintosh names: one byte a letter
            if (at16(record) != 1) {
                text.clear(); // the others in UTF-16, big-endian
                for (const QChar c : name) {
                    text.append(static_cast<char>(c.unicode() >> 8));
                    text.append(static_cast<char>(c.unicode() & 0xff));
                }
            }
            ttf.replace(strings + at16(record + 10), text.size(), text);
            qToBigEndian(static_cast<quint16>(text.size()), ttf.data() + record + 8);
        }
    }
    return ttf;
}

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void window() {
        Form1 form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Kelvara"));
        QCOMPARE(form.size(), QSize(1016, 734));
        QVERIFY(form.maximumSize().width() > 1016); // sizable
        QVERIFY(!form.windowIcon().isNull());
        QVERIFY(form.windowIcon().availableSizes().contains(QSize(32, 32)));
        QCOMPARE(form.palette().color(QPalette::Window), ButtonFace());
    }

    void childWindowsAtTheirPlaces() {
        Form1 form;
        for (const Placed& p : kChildWindows) {
            const QString name = QString::fromLatin1(p.name);
            QWidget* w = form.Widgets().Control(name);
            QVERIFY2(w != nullptr, qPrintable(name));
            QCOMPARE(w->geometry(), PxRect(p.left, p.top, p.width, p.height));
            QWidget* container =
                qstrcmp(p.container, "Form1") == 0
                    ? static_cast<QWidget*>(&form)
                    : form.Widgets().BoxNamed(QString::fromLatin1(p.container))->Client();
            QVERIFY2(w->parentWidget() == container, qPrintable(name));
        }
        // Dials have a sunken 2-pixel edge; their children start inside it.
        QCOMPARE(form.Widgets().BoxNamed("picvolt")->EdgeWidth(), 2);
        QCOMPARE(form.Widgets().BoxNamed("picvolt")->Client()->geometry(), QRect(2, 2, 189, 103));
        QCOMPARE(form.Widgets().BoxNamed("picR")->EdgeWidth(), 1);
        QCOMPARE(form.Widgets().BoxNamed("picOn")->EdgeWidth(), 1);
        QCOMPARE(form.Widgets().BoxNamed("pictok(3)")->EdgeWidth(), 0);
    }

    void chargeMarkersAtTheirPlaces() {
        Form1 form;
        for (int k = 0; k < kelvara::kTokCount; ++k) {
            const TokPlace& t = kToks[k];
            auto* marker =
                qobject_cast<kelvara::ui::SignMarker*>(form.Widgets().Control(TokName(k)));
            QVERIFY2(marker != nullptr, qPrintable(TokName(k)));
            QCOMPARE(marker, form.Widgets().Tok(k));
            QCOMPARE(marker->GetSign(), kelvara::ui::SignMarker::Sign::Plus);
            const QSize size =
                t.strip < 0 ? PxRect(0, 0, 195, 165).size() : PxRect(0, 0, 165, 225).size();
            QCOMPARE(marker->geometry(), QRect(PxPoint(t.left, t.top), size));
            QWidget* container = t.strip < 0 ? static_cast<QWidget*>(&form)
                                             : form.Widgets().Pictok(t.strip)->Client();
            QCOMPARE(marker->parentWidget(), container);
            QCOMPARE(marker->mapTo(&form, QPoint(0, 0)), PxPoint(t.windowX, t.windowY));
        }
    }

    void sliders_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<QString>("spoken");
        QTest::addColumn<QString>("valueText");
        QTest::addColumn<QString>("valueTextAtMaximum");
        QTest::newRow("sldW") << "sldW" << 1 << 9 << 5 << QStringLiteral("Изменить частоту")
                              << QStringLiteral("Частота") << QStringLiteral("0,75 Гц")
                              << QStringLiteral("2,00 Гц");
        QTest::newRow("sldU") << "sldU" << 1 << 10 << 5
                              << QStringLiteral("Изменить амплитуду колебаний")
                              << QStringLiteral("Амплитуда (Uₘ)") << QStringLiteral("0,5 В")
                              << QStringLiteral("1,0 В");
        QTest::newRow("sldR") << "sldR" << 1 << 10 << 1
                              << QStringLiteral("Изменить сопротивление резистора")
                              << QStringLiteral("Сопротивление (R)") << QStringLiteral("1 Ом")
                              << QStringLiteral("10 Ом");
    }

    void sliders() {
        QFETCH(QString, name);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(int, value);
        QFETCH(QString, hint);
        QFETCH(QString, spoken);
        QFETCH(QString, valueText);
        QFETCH(QString, valueTextAtMaximum);
        Form1 form;
        Form_Load(form.State(), form.Controls()); // the frequency table's base
        auto* s = qobject_cast<QSlider*>(form.Widgets().Control(name));
        QVERIFY(s != nullptr);
        QCOMPARE(s->orientation(), Qt::Horizontal);
        QCOMPARE(s->minimum(), minimum);
        QCOMPARE(s->maximum(), maximum);
        QCOMPARE(s->value(), value);
        QCOMPARE(s->singleStep(), 1);
        QCOMPARE(s->pageStep(), 5);
        QCOMPARE(s->tickInterval(), 1);
        QVERIFY(s->tickPosition() != QSlider::NoTicks);
        QCOMPARE(s->toolTip(), hint);
        // Cannot be moved past its ends (sldR never reaches 0).
        s->setValue(minimum - 1);
        QCOMPARE(s->value(), minimum);
        s->setValue(maximum + 1);
        QCOMPARE(s->value(), maximum);

        // Keys move it by its own steps, within its range.
        const std::pair<Qt::Key, int> keys[] = {
            {Qt::Key_Home, minimum},       {Qt::Key_Right, minimum + 1},
            {Qt::Key_PageUp, minimum + 6}, {Qt::Key_Left, minimum + 5},
            {Qt::Key_PageDown, minimum},   {Qt::Key_End, maximum},
            {Qt::Key_Right, maximum},
        };
        for (const auto& [key, expected] : keys) {
            QTest::keyClick(s, key);
            QCOMPARE(s->value(), expected);
        }
        // A screen reader hears the value as the values write it, with its
        // unit, also at the head of the description (Qt 6.4's AT-SPI bridge
        // passes on no value text).
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(s);
        QCOMPARE(a->role(), QAccessible::Slider);
        QCOMPARE(a->text(QAccessible::Name), spoken);
        QCOMPARE(a->text(QAccessible::Value), valueTextAtMaximum);
        QCOMPARE(a->text(QAccessible::Description), valueTextAtMaximum + ". " + hint);
        s->setValue(value);
        QCOMPARE(a->text(QAccessible::Value), valueText);
        QCOMPARE(a->text(QAccessible::Description), valueText + ". " + hint);
    }

    void hintsAndCaptions() {
        Form1 form;
        QCOMPARE(form.Widgets().Control("picvolt")->toolTip(), QStringLiteral("Вольтметр"));
        QCOMPARE(form.Widgets().Control("picamp")->toolTip(), QStringLiteral("Амперметр"));
        QCOMPARE(form.Widgets().Control("picR")->toolTip(),
                 QStringLiteral("Резистор(активное сопротивление)"));
        // Hint texts show in the built-in Sans.
        QCOMPARE(QFontInfo(QToolTip::font()).family(), QStringLiteral("Liberation Sans"));
        QCOMPARE(form.Widgets().Command1()->text(), QStringLiteral("Выход"));
        QCOMPARE(form.Widgets().Command4()->text(), QStringLiteral("Графики"));
        QCOMPARE(form.Widgets().Caption(kelvara::Label::Label11), QStringLiteral("+"));
        QCOMPARE(form.Widgets().Caption(kelvara::Label::Label12), QStringLiteral("-"));
    }

    void fonts_data() {
        QTest::addColumn<QString>("face");
        QTest::addColumn<double>("points");
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("pixels");
        const QString sans = QStringLiteral("Liberation Sans");
        const QString mono = QStringLiteral("Liberation Mono");
        QTest::newRow("Arial 20.25") << "Arial" << 20.25 << sans << 27;
        QTest::newRow("Arial 12") << "Arial" << 12.0 << sans << 16;
        QTest::newRow("MS Sans Serif 9.75") << "MS Sans Serif" << 9.75 << sans << 13;
        QTest::newRow("MS Sans Serif 8.25") << "MS Sans Serif" << 8.25 << sans << 11;
        QTest::newRow("MS Sans Serif 18") << "MS Sans Serif" << 18.0 << sans << 24;
        QTest::newRow("MS Sans Serif 13.5") << "MS Sans Serif" << 13.5 << sans << 18;
        QTest::newRow("Courier New 24") << "Courier New" << 24.0 << mono << 32;
        QTest::newRow("Courier New 11.25") << "Courier New" << 11.25 << mono << 15;
        QTest::newRow("Courier 9.75") << "Courier" << 9.75 << mono << 13;
    }

    void fonts() {
        QFETCH(QString, face);
        QFETCH(double, points);
        QFETCH(QString, family);
        QFETCH(int, pixels);
        const QByteArray faceName = face.toLatin1();
        const QFontInfo info(kelvara::ui::MakeFont({faceName.constData(), points, false}));
        QCOMPARE(info.family(), family);
        QCOMPARE(info.pixelSize(), pixels);
        QVERIFY(info.bold());
    }

    // The fonts are built in, so the window at rest is the same under any
    // fontconfig. The normal run saves its grab (KELVARA_SAVE_REST_GRAB); the
    // run under a configuration without fonts compares with it
    // (KELVARA_COMPARE_REST_GRAB). See tests/ui/CMakeLists.txt.
    void sameLookWithoutSystemFonts() {
        const QString save = qEnvironmentVariable("KELVARA_SAVE_REST_GRAB");
        const QString compare = qEnvironmentVariable("KELVARA_COMPARE_REST_GRAB");
        if (save.isEmpty() && compare.isEmpty()) {
            QSKIP("run by ctest, which names the grab to save or compare");
        }
        auto form = FormAtRest();
        const QImage img = Grab(*form);
        if (!save.isEmpty()) {
            QVERIFY2(img.save(save), qPrintable(save));
        }
        if (compare.isEmpty()) {
            return;
        }
        // Nothing but the built-in families is on offer, besides the generic
        // names that Qt itself adds.
        QStringList offered = QFontDatabase::families();
        offered.removeIf([](const QString& f) {
            return f == QStringLiteral("Sans Serif") || f == QStringLiteral("Serif") ||
                   f == QStringLiteral("Monospace");
        });
        QCOMPARE(offered, QStringList({QStringLiteral("Liberation Mono"),
                                       QStringLiteral("Liberation Sans")}));
        const QImage reference = QImage(compare).convertToFormat(QImage::Format_RGB32);
        QVERIFY2(!reference.isNull(), qPrintable(compare));
        QCOMPARE(img.size(), reference.size());
        int differing = 0;
        QPoint first;
        for (int y = 0; y < img.height(); ++y) {
            for (int x = 0; x < img.width(); ++x) {
                if (img.pixel(x, y) != reference.pixel(x, y)) {
                    first = differing == 0 ? QPoint(x, y) : first;
                    ++differing;
                }
            }
        }
        QVERIFY2(differing == 0,
                 qPrintable(QStringLiteral("%1 pixels differ, the first at (%2, %3)")
                                .arg(differing)
                                .arg(first.x())
                                .arg(first.y())));
    }

    // A font installed under a face name of the layout does not take the
    // place of the built-in one it stands for: with the Sans faces' names on
    // a copy of the Mono, and the Mono faces' on a copy of the Sans, the
    // window is drawn exactly as without them.
    void builtInFontsWinOverInstalledNamesakes() {
        const QImage without = Grab(*FormAtRest());
        const QString sans = QStringLiteral("Liberation Sans");
        const QString mono = QStringLiteral("Liberation Mono");
        std::vector<int> namesakes;
        const auto remove = qScopeGuard([&] {
            for (const int id : namesakes) {
                QFontDatabase::removeApplicationFont(id);
            }
        });
        for (const auto& [face, family] :
             {std::pair{"Arial", sans}, std::pair{"MS Sans Serif", sans},
              std::pair{"Courier New", mono}, std::pair{"Courier", mono}}) {
            const QString name = QString::fromLatin1(face);
            const QString other = family == sans
                                      ? QStringLiteral(":/kelvara/fonts/LiberationMono-Bold.ttf")
                                      : QStringLiteral(":/kelvara/fonts/LiberationSans-Bold.ttf");
            namesakes.push_back(QFontDatabase::addApplicationFontFromData(Renamed(other, name)));
            QCOMPARE(QFontDatabase::applicationFontFamilies(namesakes.back()), QStringList{name});
            QCOMPARE(QFontInfo(kelvara::ui::MakeFont({face, 12, false})).family(), family);
        }
        QCOMPARE(Grab(*FormAtRest()), without);
    }

    void buttonFontsAndTabOrder() {
        Form1 form;
        const QFontInfo exit(form.Widgets().Command1()->font());
        QCOMPARE(exit.family(), QStringLiteral("Liberation Mono"));
        QCOMPARE(exit.pixelSize(), 15);
        QVERIFY(exit.bold() && exit.italic());
        const QFontInfo graphs(form.Widgets().Command4()->font());
        QCOMPARE(graphs.pixelSize(), 13);
        QVERIFY(graphs.bold() && graphs.italic());

        // Command1 first, then sldW, sldU and picOn; sldR later.
        QStringList order;
        QWidget* w = form.Widgets().Command1();
        do {
            if ((w->focusPolicy() & Qt::TabFocus) != 0 && w->window() == &form) {
                order << w->objectName();
            }
            w = w->nextInFocusChain();
        } while (w != form.Widgets().Command1());
        QVERIFY(order.size() >= 5);
        QCOMPARE(order.mid(0, 4), QStringList({"Command1", "sldW", "sldU", "picOn"}));
        QVERIFY(order.indexOf("sldR") > 3);

        // Every tab stop, and the window itself, has a name to be read by.
        for (const QString& stop : order) {
            const QString spoken =
                QAccessible::queryAccessibleInterface(form.Widgets().Control(stop))
                    ->text(QAccessible::Name);
            QVERIFY2(!spoken.isEmpty(), qPrintable(stop));
        }
        QCOMPARE(QAccessible::queryAccessibleInterface(&form)->text(QAccessible::Name),
                 QStringLiteral("Kelvara"));
        // The switch is a toggle button, checked and pressed exactly while
        // it is on, and says which in words.
        QAccessibleInterface* on = QAccessible::queryAccessibleInterface(form.Widgets().PicOn());
        QCOMPARE(on->role(), QAccessible::Button);
        QVERIFY(on->state().checkable && !on->state().checked && !on->state().pressed);
        QCOMPARE(on->text(QAccessible::Description), QStringLiteral("Генератор выключен"));
        form.Controls().SetAppearance(kelvara::Box::picOn, kelvara::kAppearance3D);
        QVERIFY(on->state().checked && on->state().pressed);
        QCOMPARE(on->text(QAccessible::Description), QStringLiteral("Генератор включён"));
    }

    // What a reader exploring the window meets: a frame holding only what
    // has a name, and the texts the window writes out; the drawing (wire
    // strips, charge markers, terminal signs, unnamed boxes) is not valid
    // for it, so it is neither listed nor heard from.
    void accessibleTree() {
        Form1 form;
        Form_Load(form.State(), form.Controls());
        QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(&form);
        QCOMPARE(frame->role(), QAccessible::Window);
        struct Child {
            QString name;
            QAccessible::Role role;
            QString description;
        };
        const QString graphic = QStringLiteral("Резистор(активное сопротивление)");
        const std::vector<Child> expected = {
            {"Вольтметр", QAccessible::Graphic, "Вольтметр"},
            {"Частота", QAccessible::Slider, "0,75 Гц. Изменить частоту"},
            {"Амплитуда (Uₘ)", QAccessible::Slider, "0,5 В. Изменить амплитуду колебаний"},
            {"Вкл./Выкл. генератора", QAccessible::Button, "Генератор выключен"},
            {"Амперметр", QAccessible::Graphic, "Амперметр"},
            {"Резистор", QAccessible::Graphic, graphic},
            {"Сопротивление (R)", QAccessible::Slider, "1 Ом. Изменить сопротивление резистора"},
            {"Графики", QAccessible::Button, "Графики скрыты за экраном"},
            {"Экран графиков", QAccessible::Graphic, ""},
            {"Выход", QAccessible::Button, "Закрыть программу"},
            {"", QAccessible::StaticText, "Значения"},
            {"Клавиши и мышь", QAccessible::Dialog, kelvara::ui::HelpPanel::Text()},
        };
        QCOMPARE(frame->childCount(), static_cast<int>(expected.size()));
        for (int i = 0; i < frame->childCount(); ++i) {
            QAccessibleInterface* c = frame->child(i);
            const Child& e = expected[static_cast<std::size_t>(i)];
            QCOMPARE(c->text(QAccessible::Name), e.name);
            QCOMPARE(c->role(), e.role);
            QCOMPARE(c->text(QAccessible::Description), e.description);
            QCOMPARE(c->parent(), frame);
            QCOMPARE(frame->indexOfChild(c), i);
            QCOMPARE(c->childCount(), 0);
        }
        for (QWidget* drawing : std::initializer_list<QWidget*>{
                 form.Widgets().Pictok(0), form.Widgets().Tok(0), form.Widgets().Control("Plus1"),
                 form.Widgets().Control("Minus2"), form.Widgets().PicOn()->Client(),
                 form.Widgets().BoxNamed("picvolt")->Client()}) {
            QVERIFY2(!QAccessible::queryAccessibleInterface(drawing)->isValid(),
                     qPrintable(drawing->objectName()));
        }

        // «Графики» is checked while the graphs show; «Выход» is a command.
        QAccessibleInterface* graphs = frame->child(7);
        QVERIFY(graphs->state().checkable && !graphs->state().checked);
        form.Widgets().SetShirmaVisible(false);
        QVERIFY(graphs->state().checked);
        QCOMPARE(graphs->text(QAccessible::Description), QStringLiteral("Графики показаны"));
        QVERIFY(!frame->child(9)->state().checkable);
        QCOMPARE(graphs->actionInterface()->actionNames(),
                 QStringList{QAccessibleActionInterface::pressAction()});
    }

    void coloursAtRest() {
        auto form = FormAtRest();
        const QImage img = Grab(*form);
        const QColor grey(128, 128, 128);
        const QColor base = QGuiApplication::palette().color(QPalette::Base);
        struct Sample {
            const char* what = nullptr;
            QPoint at;
            QColor colour;
        };
        const Sample samples[] = {
            {"generator panel", PxPoint(1000, 4600), Rgb(192, 255, 192)},
            {"generator panel border", PxPoint(3000, 1890), Qt::black},
            {"voltmeter dial", InClient(*form, "picvolt", {40, 80}), Rgb(192, 192, 255)},
            {"voltmeter rest needle", InClient(*form, "picvolt", {Px(1400), 60}), grey},
            {"voltmeter scale mark", InClient(*form, "picvolt", {Px(1380), Px(345)}), Qt::white},
            {"ammeter dial", InClient(*form, "picamp", {40, 80}), Rgb(255, 192, 192)},
            {"ammeter rest needle", InClient(*form, "picamp", {Px(1400), 60}), grey},
            {"strip pictok(0)", PxPoint(5272, 5500), Qt::white},
            {"strip pictok(3)", PxPoint(502, 7500), Qt::white},
            {"strip pictok(5)", PxPoint(6800, 9292), Qt::white},
            {"outline Line18", PxPoint(390, 7500), Qt::black},
            {"resistor picR", PxPoint(4000, 9300), base},
            {"resistor border", PxPoint(4000, 8910), Qt::black},
            {"switch picOn", PxPoint(7350, 4200), Rgb(192, 192, 192)},
            {"switch border", PxPoint(7320, 4300), Qt::black},
            {"switch symbol Line53", InClient(*form, "picOn", {Px(165), Px(105)}), Qt::black},
            {"clamp Shape5(2)", PxPoint(4207, 6112), grey},
            {"clamp Shape5(4)", PxPoint(2527, 9292), grey},
            {"terminal body Shape2", PxPoint(5257, 4680), grey},
            {"terminal body Shape3", PxPoint(5947, 4320), grey},
            {"ammeter shadow Line35", PxPoint(2500, 6930), Qt::black},
            {"generator shadow Line49", PxPoint(3000, 4890), Qt::black},
            {"generator shadow Line50", PxPoint(8370, 3000), Qt::black},
            {"resistor shadow Line34", PxPoint(4000, 9690), Qt::black},
            {"graphs screen", PxPoint(12000, 6000), ButtonFace()},
            {"plus marker background", InClient(*form, "picvolt", {1, 49}), Rgb(192, 192, 255)},
            {"minus marker background", InClient(*form, "picamp", {Px(2610) + 1, 51}),
             Rgb(255, 192, 192)},
            // Markers that store no colour take their dial's.
            {"Minus2 background", InClient(*form, "picvolt", {Px(2580) + 1, 49}),
             Rgb(192, 192, 255)},
            {"Plus5 background", InClient(*form, "picamp", {Px(30) + 1, 51}), Rgb(255, 192, 192)},
        };
        for (const Sample& s : samples) {
            QVERIFY2(At(img, s.at) == s.colour,
                     qPrintable(QStringLiteral("%1 at (%2, %3): %4, expected %5")
                                    .arg(s.what)
                                    .arg(s.at.x())
                                    .arg(s.at.y())
                                    .arg(At(img, s.at).name(), s.colour.name())));
        }
        // The pictures the program draws for itself.
        QCOMPARE(At(img, PxPoint(480, 360) + QPoint(16, 16)),
                 kelvara::ui::MakeLogo().pixelColor(16, 16));
        QCOMPARE(At(img, PxPoint(1200, 360) + QPoint(16, 16)),
                 kelvara::ui::MakeIcon().pixelColor(16, 16));
        // Labels: "Генератор" shows dark text on the panel.
        int dark = 0;
        for (int x = Px(1200); x < Px(3825); ++x) {
            for (int y = Px(1920); y < Px(2415); ++y) {
                dark += Darkness(At(img, {x, y})) > 600 ? 1 : 0;
            }
        }
        QVERIFY(dark > 100);
    }

    // The opaque labels on the generator panel fill their boxes with the
    // panel's green: every pixel of a box is that green or the text's black
    // blended into it, and most of it is the green itself.
    void generatorLabelsOnThePanelsGreen() {
        auto form = FormAtRest();
        const QImage img = Grab(*form);
        const QColor green(192, 255, 192);
        for (const char* name : {"Label13", "Label3", "Label4", "Label11", "Label12", "Label1"}) {
            const Element* e = FindElement(QString::fromLatin1(name));
            const QRect box = PxRect(e->left, e->top, e->width, e->height);
            int exact = 0;
            int foreign = 0;
            for (int y = box.top(); y <= box.bottom(); ++y) {
                for (int x = box.left(); x <= box.right(); ++x) {
                    const QColor c = At(img, {x, y});
                    exact += c == green ? 1 : 0;
                    // Black text over green keeps green's proportions.
                    const double t = c.greenF();
                    foreign += std::abs(c.redF() - t * 192 / 255) > 0.02 ||
                                       std::abs(c.blueF() - t * 192 / 255) > 0.02
                                   ? 1
                                   : 0;
                }
            }
            const int all = box.width() * box.height();
            QVERIFY2(foreign == 0 && 2 * exact > all,
                     qPrintable(QStringLiteral("%1: %2 of %3 pixels the panel's green, %4 "
                                               "neither green nor text on it")
                                    .arg(QLatin1String(name))
                                    .arg(exact)
                                    .arg(all)
                                    .arg(foreign)));
        }
    }

    // "Амплитуда(U", "m" and ")" read as one caption: no gap wider than
    // between letters, and the subscript whole, not cut by the bracket.
    void amplitudeCaptionReadsAsOne() {
        auto form = FormAtRest();
        const QImage img = Grab(*form);
        const QRect band(PxPoint(5670, 3120), PxPoint(7455, 3405));
        std::vector<int> inkColumns;
        for (int x = band.left(); x <= band.right(); ++x) {
            for (int y = band.top(); y <= band.bottom(); ++y) {
                if (Darkness(At(img, {x, y})) > 300) {
                    inkColumns.push_back(x);
                    break;
                }
            }
        }
        QVERIFY(inkColumns.size() > 50);
        int widestGap = 0;
        for (std::size_t i = 1; i < inkColumns.size(); ++i) {
            widestGap = std::max(widestGap, inkColumns[i] - inkColumns[i - 1] - 1);
        }
        QVERIFY2(widestGap <= 3, qPrintable(QStringLiteral("a gap of %1 pixels").arg(widestGap)));

        // The right half of the "m" (what the bracket's label covered) shows
        // as much ink as the letter drawn alone in its font.
        const QFont font = kelvara::ui::MakeFont({"MS Sans Serif", 8.25, false});
        const int advance = QFontMetrics(font).horizontalAdvance(QStringLiteral("m"));
        QImage alone(advance, band.height(), QImage::Format_RGB32);
        alone.fill(QColor(192, 255, 192)); // the panel behind it
        {
            QPainter p(&alone);
            p.setFont(font);
            p.setPen(Qt::black);
            p.drawText(alone.rect(), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("m"));
        }
        const auto ink = [](const QImage& from, const QRect& r) {
            int n = 0;
            for (int y = r.top(); y <= r.bottom(); ++y) {
                for (int x = r.left(); x <= r.right(); ++x) {
                    n += Darkness(from.pixelColor(x, y)) > 300 ? 1 : 0;
                }
            }
            return n;
        };
        const int mLeft = PxPoint(5670, 0).x() +
                          QFontMetrics(kelvara::ui::MakeFont({"MS Sans Serif", 9.75, false}))
                              .horizontalAdvance(QStringLiteral("Амплитуда(U"));
        const int half = advance / 2;
        const QRect m(mLeft + half, Px(3150), advance - half, band.height());
        QCOMPARE(ink(img, m), ink(alone, QRect(half, 0, advance - half, band.height())));
    }

    // With the screen up only Command4 of the graph panel shows; taking it
    // away uncovers the axes, ticks, letters and markers and nothing outside
    // the screen's rectangle changes.
    void graphsScreen() {
        auto form = FormAtRest();
        QVERIFY(form->Widgets().ShirmaVisible());
        // The screen reaches one pixel past the window's right edge.
        const QRect screen = PxRect(8430, 1710, 6825, 8235) & QRect(0, 0, 1016, 734);
        const QImage covered = Grab(*form);
        int notFace = 0;
        for (int y = screen.top(); y <= screen.bottom(); ++y) {
            for (int x = screen.left(); x <= screen.right(); ++x) {
                notFace += At(covered, {x, y}) == ButtonFace() ? 0 : 1;
            }
        }
        QCOMPARE(notFace, 0);

        form->Widgets().SetShirmaVisible(false);
        const QImage open = Grab(*form);
        int changedOutside = 0;
        int changedInside = 0;
        for (int y = 0; y < 734; ++y) {
            for (int x = 0; x < 1016; ++x) {
                if (At(covered, {x, y}) != At(open, {x, y})) {
                    (screen.contains(x, y) ? changedInside : changedOutside)++;
                }
            }
        }
        QCOMPARE(changedOutside, 0);
        QVERIFY(changedInside > 10000);

        const QColor grey(128, 128, 128);
        QCOMPARE(At(open, PxPoint(8850, 2500)), grey);                   // voltage axis
        QCOMPARE(At(open, PxPoint(12000, 5220)), grey);                  // current time axis
        QCOMPARE(At(open, PxPoint(9150, 2940 - 20)), QColor(Qt::black)); // time tick
        QCOMPARE(At(open, PxPoint(8800, 3150)), QColor(Qt::black));      // value tick
        QCOMPARE(At(open, PxPoint(8600, 4200)), QColor(Qt::black));      // letter bar
        QCOMPARE(At(open, PxPoint(8460, 5000)), QColor(Qt::black));      // Shape4 border
        // The markers sit on their origins: a black frame around their colour.
        QCOMPARE(At(open, PxPoint(8850, 2940)), QColor(Qt::black));
        QCOMPARE(At(open, PxPoint(8850, 2940) + QPoint(3, 3)), QColor(0, 0, 255));
        QCOMPARE(At(open, PxPoint(8850, 5220) + QPoint(3, 3)), QColor(255, 0, 0));
        QCOMPARE(At(open, PxPoint(8850, 9420) + QPoint(1, 1)), QColor(Qt::black));
        QCOMPARE(At(open, PxPoint(8850, 9420) + QPoint(3, 3)), QColor(255, 255, 0));
        // Letters and arrowheads leave dark or grey pixels in their boxes.
        const QRect letters[] = {PxRect(8490, 1740, 285, 375),  PxRect(8550, 4110, 165, 345),
                                 PxRect(8520, 6870, 225, 285),  PxRect(14940, 3060, 135, 375),
                                 PxRect(14940, 5310, 135, 375), PxRect(15000, 9420, 135, 375)};
        for (const QRect& r : letters) {
            int dark = 0;
            for (int y = r.top(); y <= r.bottom(); ++y) {
                for (int x = r.left(); x <= r.right(); ++x) {
                    dark += Darkness(At(open, {x, y})) > 600 ? 1 : 0;
                }
            }
            QVERIFY2(dark >= 8,
                     qPrintable(QStringLiteral("letter at %1,%2").arg(r.x()).arg(r.y())));
        }

        form->Widgets().SetShirmaVisible(true);
        QCOMPARE(Grab(*form), covered);
    }

    // Every drawn element of the graph panel lies inside the screen.
    void graphPanelElementsInsideTheScreen() {
        const QRect screen(8430, 1710, 6825, 8235);
        const QRect panel(QPoint(8430, 1290), QPoint(15255, 9945));
        int inPanel = 0;
        for (const Element& e : kelvara::ui::FormLayout()) {
            if (qstrcmp(e.container, "Form1") != 0 || kelvara::ui::IsChildWindow(e.kind)) {
                continue;
            }
            const QRect r = e.kind == Kind::Line
                                ? QRect(QPoint(e.x1, e.y1), QPoint(e.x2, e.y2)).normalized()
                                : QRect(e.left, e.top, e.width, e.height);
            if (!r.intersects(panel)) {
                continue;
            }
            ++inPanel;
            QVERIFY2(screen.contains(r), qPrintable(kelvara::ui::FullName(e)));
        }
        QVERIFY(inPanel > 100);
    }

    // Each strip lies across between its two outline lines, which run
    // alongside it.
    void stripsBetweenTheirOutlines() {
        for (int k = 0; k < kelvara::kPictokCount; ++k) {
            const QRect s = WindowTwips(*FindElement(StripName(k)));
            const bool horizontal = IsHorizontal(s);
            for (const char* line : kOutlines[k]) {
                const Element* e = FindElement(QString::fromLatin1(line));
                QVERIFY(e != nullptr && e->kind == Kind::Line);
                QVERIFY2(horizontal ? e->y1 == e->y2 : e->x1 == e->x2, line);
                const auto [lo, hi] =
                    std::minmax(horizontal ? e->x1 : e->y1, horizontal ? e->x2 : e->y2);
                const int from = horizontal ? s.left() : s.top();
                const int to = from + (horizontal ? s.width() : s.height());
                QVERIFY2(lo < to && hi > from, line);
            }
            const auto [lo, hi] = Tube(k, horizontal);
            const int from = horizontal ? s.top() : s.left();
            const int to = from + (horizontal ? s.height() : s.width());
            QVERIFY2(lo < from && to < hi, qPrintable(StripName(k)));
        }
    }

    // Each marker's visible part lies in its strip's tube; only the listed
    // markers stick out of their strip, by 30 twips, and show clipped.
    void markersWithinTheirTubes() {
        for (int k = 0; k < kelvara::kTokCount; ++k) {
            const QRect m = WindowTwips(*FindElement(TokName(k)));
            const int strip = kToks[k].strip < 0 ? 1 : kToks[k].strip;
            const QRect s = WindowTwips(*FindElement(StripName(strip)));
            const bool horizontal = IsHorizontal(s);
            const QRect visible = kToks[k].strip < 0 ? m : (m & s);
            QVERIFY2(!visible.isEmpty(), qPrintable(TokName(k)));
            const auto [lo, hi] = Tube(strip, horizontal);
            const int from = horizontal ? visible.top() : visible.left();
            const int to = from + (horizontal ? visible.height() : visible.width());
            QVERIFY2(lo < from && to < hi, qPrintable(TokName(k)));
            const int outside = std::max(s.left() - m.left(), s.top() - m.top());
            QCOMPARE(outside, IsClipped(k) ? 30 : 0);
        }
    }

    // Shown and coloured, every marker's sign and background are visible
    // over its strip (tok(4) over pictok(1)), clipped to the strip.
    void markersShowOverTheirStrips() {
        auto form = FormAtRest();
        const QColor red(255, 0, 0);
        for (int k = 0; k < kelvara::kTokCount; ++k) {
            form->Controls().SetTokVisible(k, true);
            form->Controls().SetTokBackColor(k, kelvara::RGB(255, 0, 0));
        }
        const QImage img = Grab(*form);
        for (int k = 0; k < kelvara::kTokCount; ++k) {
            QWidget* marker = form->Widgets().Tok(k);
            const int strip = kToks[k].strip < 0 ? 1 : kToks[k].strip;
            QWidget* s = form->Widgets().Pictok(strip);
            const QRect m(marker->mapTo(form.get(), QPoint(0, 0)), marker->size());
            const QRect visible = kToks[k].strip < 0 ? m : (m & s->geometry());
            // The sign's centre always shows; of the background, the corners
            // of the visible part that no neighbouring strip covers.
            QCOMPARE(form->childAt(m.center()), marker);
            QCOMPARE(At(img, m.center()), QColor(Qt::black));
            const QRect inner = visible.adjusted(1, 1, -1, -1);
            int shown = 0;
            for (const QPoint p :
                 {inner.topLeft(), inner.topRight(), inner.bottomLeft(), inner.bottomRight()}) {
                if (form->childAt(p) == marker) {
                    QCOMPARE(At(img, p), red);
                    ++shown;
                }
            }
            QVERIFY2(shown >= 2, qPrintable(TokName(k)));
            // Just outside the visible part along the tube: not the marker.
            const QPoint beyond = IsHorizontal(s->geometry()) ? visible.bottomLeft() + QPoint(0, 1)
                                                              : visible.topRight() + QPoint(1, 0);
            QVERIFY2(At(img, beyond) != red, qPrintable(TokName(k)));
        }
    }
};

std::unique_ptr<QObject> MakeLayoutTest() {
    return std::make_unique<LayoutTest>();
}

#include "layout_test.moc"
