// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The run's clock against a source the test moves: what a reading gives
// after each freeze, step, resume and restart.
#include "ui/run/run_clock.h"

#include <QObject>
#include <QTest>

#include <cstdint>
#include <memory>

namespace {

class RunClockTest : public QObject {
    Q_OBJECT

private slots:
    void readings() {
        using kelvara::ui::RunClock;
        constexpr std::int64_t kSecond = 1'000'000'000;
        enum class Do { Read, Freeze, Step, Resume, Restart };
        struct Row {
            const char* what = nullptr;
            std::int64_t source = 0; // the monotonic source now, ns
            Do action = Do::Read;
            std::int64_t reads = 0; // what Read gives afterwards
        };
        const Row rows[] = {
            {"from the origin", 1500, Do::Read, 500},
            // The instant last read stays on the screen, not the time now.
            {"frozen at the last reading", 2000, Do::Freeze, 500},
            {"time frozen does not count", 5 * kSecond, Do::Read, 500},
            // Counted, not added up rounded: three frames are 50 ms exactly.
            {"a step", 5 * kSecond, Do::Step, 500 + 16'666'667},
            {"a second step", 5 * kSecond, Do::Step, 500 + 33'333'333},
            {"a third step", 5 * kSecond, Do::Step, 500 + 50'000'000},
            {"a second freeze keeps the steps", 5 * kSecond, Do::Freeze, 500 + 50'000'000},
            {"goes on from where it stood", 6 * kSecond, Do::Resume, 500 + 50'000'000},
            {"and runs again", 6 * kSecond + 1000, Do::Read, 1500 + 50'000'000},
            {"no step while running", 6 * kSecond + 1000, Do::Step, 1500 + 50'000'000},
            {"restarted", 7 * kSecond, Do::Restart, 0},
            {"from the new origin", 7 * kSecond + 40, Do::Read, 40},
        };
        std::int64_t now = 1000;
        RunClock clock;
        clock.SetSource([&now] { return now; });
        for (const Row& row : rows) {
            now = row.source;
            switch (row.action) {
            case Do::Read:
                break;
            case Do::Freeze:
                clock.Freeze();
                break;
            case Do::Step:
                clock.Step();
                break;
            case Do::Resume:
                clock.Resume();
                break;
            case Do::Restart:
                clock.Restart();
                break;
            }
            QVERIFY2(clock.Read() == row.reads, row.what);
            QCOMPARE(clock.LastReading(), row.reads);
        }
        // Sixty steps are exactly one second.
        clock.Freeze();
        const std::int64_t held = clock.HeldAt();
        for (int k = 0; k < RunClock::kStepsPerSecond; ++k) {
            clock.Step();
        }
        QCOMPARE(clock.Read(), held + kSecond);
    }
};

} // namespace

std::unique_ptr<QObject> MakeRunClockTest() {
    return std::make_unique<RunClockTest>();
}

#include "run_clock_test.moc"
