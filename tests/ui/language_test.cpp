// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The language the window starts in, from the system's list, and numbers
// as each language writes them in every value the window shows.
#include "ui/lang/language.h"
#include "ui/teach/notation.h"

#include <QObject>
#include <QScopeGuard>
#include <QStringList>
#include <QTest>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>

using kelvara::ui::Language;

Q_DECLARE_METATYPE(kelvara::ui::Language)

namespace {

class LanguageTest : public QObject {
    Q_OBJECT

private slots:
    void preferredLanguage_data() {
        QTest::addColumn<QStringList>("system");
        QTest::addColumn<Language>("language");
        QTest::newRow("none") << QStringList{} << Language::Russian;
        QTest::newRow("the C locale") << QStringList{"C"} << Language::Russian;
        QTest::newRow("Russian") << QStringList{"ru-RU"} << Language::Russian;
        QTest::newRow("English") << QStringList{"en-US"} << Language::English;
        QTest::newRow("any case") << QStringList{"EN-gb"} << Language::English;
        QTest::newRow("English without a region") << QStringList{"en"} << Language::English;
        // The first the program speaks, not the first listed.
        QTest::newRow("after one it does not speak")
            << QStringList{"de-DE", "zh-Hant-TW", "en-GB", "ru-RU"} << Language::English;
        QTest::newRow("Russian before English") << QStringList{"ru", "en-US"} << Language::Russian;
        QTest::newRow("none it speaks") << QStringList{"fr-FR", "uk-UA"} << Language::Russian;
        // The primary tag whole, not a prefix of it.
        QTest::newRow("a longer tag") << QStringList{"enm"} << Language::Russian;
    }
    void preferredLanguage() {
        QFETCH(QStringList, system);
        QFETCH(Language, language);
        QCOMPARE(kelvara::ui::PreferredLanguage(system), language);
    }

    // Each form as the values, the levels and the cursor use it, in Russian
    // and in English.
    void numbers_data() {
        QTest::addColumn<int>("form"); // 0 Fixed, 1 Short, 2 Signed, 3 Significant
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("russian");
        QTest::addColumn<QString>("english");
        QTest::newRow("fixed") << 0 << 0.75 << 2 << "0,75"
                               << "0.75";
        QTest::newRow("fixed pads") << 0 << 0.5 << 3 << "0,500"
                                    << "0.500";
        QTest::newRow("short drops zeros") << 1 << 0.5 << 3 << "0,5"
                                           << "0.5";
        QTest::newRow("short drops the point") << 1 << 10.0 << 2 << "10"
                                               << "10";
        // Only zeros after the point go: a whole number keeps its own.
        QTest::newRow("short keeps a whole number") << 1 << 10.0 << 0 << "10"
                                                    << "10";
        QTest::newRow("short rounds") << 1 << 1.0 / 6 << 3 << "0,167"
                                      << "0.167";
        QTest::newRow("signed positive") << 2 << 0.25 << 3 << "+0,250"
                                         << "+0.250";
        QTest::newRow("signed negative") << 2 << -0.7063 << 3 << "\u22120,706"
                                         << "\u22120.706";
        // Zero has no sign, also where a small value rounds to it.
        QTest::newRow("signed zero") << 2 << 0.0 << 3 << "0,000"
                                     << "0.000";
        QTest::newRow("signed rounds to zero") << 2 << -0.0004 << 3 << "0,000"
                                               << "0.000";
        QTest::newRow("signed half away") << 2 << -0.0005 << 3 << "\u22120,001"
                                          << "\u22120.001";
        QTest::newRow("significant") << 3 << 0.5 / std::sqrt(2.0) << 0 << "0,354"
                                     << "0.354";
        QTest::newRow("significant short") << 3 << 0.25 << 0 << "0,25"
                                           << "0.25";
        QTest::newRow("significant small") << 3 << 0.01 / std::sqrt(2.0) << 0 << "0,00707"
                                           << "0.00707";
        QTest::newRow("significant period") << 3 << 4.0 / 3 << 0 << "1,33"
                                            << "1.33";
        QTest::newRow("significant tens") << 3 << 20.000000000000004 << 0 << "20"
                                          << "20";
        QTest::newRow("significant rounds up") << 3 << 0.9996 << 0 << "1"
                                               << "1";
        QTest::newRow("significant zero") << 3 << 0.0 << 0 << "0"
                                          << "0";
        QTest::newRow("significant not a number")
            << 3 << std::numeric_limits<double>::quiet_NaN() << 0 << "0"
            << "0";
    }
    void numbers() {
        QFETCH(int, form);
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(QString, russian);
        QFETCH(QString, english);
        const std::function<QString()> write = [&] {
            switch (form) {
            case 0:
                return kelvara::ui::Fixed(value, decimals);
            case 1:
                return kelvara::ui::Short(value, decimals);
            case 2:
                return kelvara::ui::Signed(value, decimals);
            default:
                return kelvara::ui::Significant(value);
            }
        };
        const auto russianAgain = qScopeGuard([] { kelvara::ui::SetLanguage(Language::Russian); });
        QVERIFY(kelvara::ui::SetLanguage(Language::Russian));
        QCOMPARE(write(), russian);
        QVERIFY(kelvara::ui::SetLanguage(Language::English));
        QCOMPARE(write(), english);
    }
};

} // namespace

std::unique_ptr<QObject> MakeLanguageTest() {
    return std::make_unique<LanguageTest>();
}

#include "language_test.moc"
