// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Runs every widget test class in one application.
#include "ui/look/fonts.h"

#include <QApplication>
#include <QTest>

#include <memory>
#include <vector>

std::unique_ptr<QObject> MakeLayoutTest();
std::unique_ptr<QObject> MakeControlsTest();
std::unique_ptr<QObject> MakeReadoutsTest();
std::unique_ptr<QObject> MakePresenterTest();
std::unique_ptr<QObject> MakeFileSaverTest();
std::unique_ptr<QObject> MakeProjectorTest();
std::unique_ptr<QObject> MakeLanguageTest();
std::unique_ptr<QObject> MakeRunClockTest();
std::unique_ptr<QObject> MakeKeysTest();

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    kelvara::ui::PinFontSubstitutes();
    int failed = 0;
    std::vector<std::unique_ptr<QObject>> tests;
    tests.push_back(MakeLayoutTest());
    tests.push_back(MakeControlsTest());
    tests.push_back(MakeReadoutsTest());
    tests.push_back(MakePresenterTest());
    tests.push_back(MakeFileSaverTest());
    tests.push_back(MakeProjectorTest());
    tests.push_back(MakeLanguageTest());
    tests.push_back(MakeRunClockTest());
    tests.push_back(MakeKeysTest());
    for (const auto& t : tests) {
        failed += QTest::qExec(t.get(), argc, argv) != 0 ? 1 : 0;
    }
    return failed;
}
