// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// One run through a whole day of simulated clock. The elapsed time is a
// single-precision number: near 86,400 s it resolves only 1/128 s, so the
// test shows that a pass still moves time on, that the sweep counter and the
// graph points are right at the end, and that a pass allocates nothing.
#include "alloc_counter.h"
#include "recording_controls.h"
#include "sim/run.h"
#include "sim/state.h"
#include "stress_support.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <string>

namespace kelvara::test {
namespace {

constexpr float kStart = 1000; // clock reading when the run starts
// Clock reads per simulated second: steps well above the 1/128 s that a
// float resolves near 86,400 s. The instrumented build takes fewer, larger
// steps to stay quick.
constexpr long kReadsPerSecond = kSanitizedBuild ? 10 : 50;
constexpr double kStep = 1.0 / kReadsPerSecond;
constexpr long kPasses = 86'400 * kReadsPerSecond; // the whole day

// Clock reading of the n-th read of a run (the 0th is the entry's).
float Reading(long n) {
    return static_cast<float>(static_cast<double>(kStart) + static_cast<double>(n) * kStep);
}

TEST(WholeDay, SweepsAndPointsStayRightAndTimeStillMovesEachPass) {
    SimState st;
    RecordingControls ctl;
    Form_Load(st, ctl);
    ctl.record = false;
    ctl.keepLines = false;

    long reads = 0;
    ctl.clock = [&reads] { return Reading(reads++); };

    // What the graphs show once each pass has ended, seen from the next
    // pass's yield: checked on every pass, and kept for the last three.
    struct Snapshot {
        float elapsed;
        int sweepCount;
        double x, voltY, currentY;
        std::int32_t powerY;
        double imgLeft;
        long graphClears;
    };
    constexpr int kLast = 3;
    std::array<Snapshot, kLast> last{};
    long pass = 0; // passes completed
    Snapshot previous{};
    std::string failure;

    ctl.onYield = [&](long /*yield*/) {
        if (pass > 0) {
            const Snapshot now{
                Reading(pass) - kStart, st.SweepCount, st.CurX,          st.CurVoltY,
                st.CurCurrentY,         st.CurPowerY,  ctl.imageLeft[0], ctl.clsCount[0]};
            const double sweepTime = static_cast<double>(now.elapsed) - 15.0 * now.sweepCount;
            const auto where = [&pass, &now] {
                return "pass " + std::to_string(pass) + " at " + std::to_string(now.elapsed) +
                       " s: ";
            };
            if (now.x != std::floor(400 * sweepTime + 8850)) {
                failure = where() + "x " + std::to_string(now.x) +
                          " is not the elapsed time less " + std::to_string(now.sweepCount) +
                          " sweeps";
            } else if (sweepTime < 0 || sweepTime > 15 + kStep + 1.0 / 128) {
                failure =
                    where() + "sweep time " + std::to_string(sweepTime) + " outside the sweep";
            } else if (pass > 1 && now.sweepCount == previous.sweepCount && now.x <= previous.x) {
                // Within a sweep every pass plots to the right of the last:
                // the float time still moves on each pass.
                failure = where() + "x did not advance from " + std::to_string(previous.x);
            } else if (pass > 1 && now.sweepCount != previous.sweepCount &&
                       now.sweepCount != previous.sweepCount + 1) {
                failure = where() + "sweep count jumped from " +
                          std::to_string(previous.sweepCount) + " to " +
                          std::to_string(now.sweepCount);
            }
            previous = now;
            if (pass >= kPasses) {
                last.at(static_cast<std::size_t>(pass - kPasses)) = now;
            }
        }
        if (!failure.empty()) {
            ctl.ending = true;
            return;
        }
        if (pass == kPasses + kLast - 1) {
            picOn_Click(st, ctl); // switch off: this pass is the last
        }
        ++pass;
    };

    picOn_Click(st, ctl);

    ASSERT_TRUE(failure.empty()) << failure;
    ASSERT_EQ(pass, kPasses + kLast);
    ASSERT_EQ(last[0].elapsed, 86'400.0f);

    // Sweep n wraps on the pass after its sweep time passed 15 s. At
    // 86,400 s = 5,760 x 15 s the 5,760th sweep stands at exactly 15 s, so
    // 5,759 sweeps are complete and the point lies at the right end. 15 s is
    // not above 15, so the next pass does not wrap either and plots a little
    // beyond; the pass after that wraps and starts again at the left.
    const std::array<int, kLast> sweeps{5759, 5759, 5760};
    for (std::size_t i = 0; i < last.size(); ++i) {
        SCOPED_TRACE("pass at " + std::to_string(last.at(i).elapsed) + " s");
        const Snapshot& p = last.at(i);
        EXPECT_EQ(p.sweepCount, sweeps.at(i));
        EXPECT_EQ(p.graphClears, sweeps.at(i)); // each wrap cleared the graphs once
        EXPECT_EQ(p.x, std::floor(400 * (p.elapsed - 15.0 * sweeps.at(i)) + 8850));
        EXPECT_EQ(p.imgLeft, p.x);
        // The phase is Omega times the whole elapsed time, in double
        // precision: at the start-up positions, 4.71 rad/s and amplitude 0.5.
        const double cosine = std::cos(3.14 * 1.5 * static_cast<double>(p.elapsed));
        EXPECT_EQ(p.voltY, std::floor(2940 - cosine * (1000 * 0.5)));
        EXPECT_EQ(p.currentY, std::floor(5220 - cosine * (1000 * 0.5)));
        EXPECT_EQ(p.powerY, std::floor(9420 - cosine * cosine * (2.5 * (1000 * (0.5 * 0.5)))));
    }
    EXPECT_EQ(last[0].x, 14'850);
    EXPECT_GT(last[1].x, 14'850);
    EXPECT_LE(last[2].x, 8850 + 400 * (2 * kStep + 1.0 / 128));

    // The switch-off left the displays at rest (dial lines are not kept).
    EXPECT_EQ(ctl.VisibleTokCount(), 0);
    EXPECT_EQ(st.SweepCount, 0);
    EXPECT_EQ(st.Running, 0);
}

// A window that does nothing, so that any allocation counted is the core's.
class SilentControls final : public Controls {
public:
    void DrawLine(Surface /*s*/, double /*x1*/, double /*y1*/, double /*x2*/, double /*y2*/,
                  Colour /*c*/) override {}
    void Cls(Surface /*s*/) override {}
    void SetDrawWidth(Surface /*s*/, int /*pixels*/) override {}
    void SetBackColor(Box /*b*/, int /*index*/, Colour /*c*/) override {}
    std::int16_t Appearance(Box /*b*/) override { return appearance; }
    void SetAppearance(Box /*b*/, std::int16_t a) override { appearance = a; }
    void SetTokVisible(int /*k*/, bool /*visible*/) override {}
    void SetTokBackColor(int /*k*/, Colour /*c*/) override {}
    void SetCaption(Label /*l*/, std::string_view /*text*/) override {}
    void SetImageLeft(Image /*i*/, double /*twips*/) override {}
    void SetImageTop(Image /*i*/, double /*twips*/) override {}
    int SliderValue(Slider s) override { return s == Slider::sldR ? 1 : 5; }
    float Timer() override { return Reading(reads++); }
    bool DoEvents() override {
        // Counting starts at the first yield and stops at the last, so it
        // covers every pass of the day and nothing of the set-up.
        if (passes == 0) {
            alloc::StartCounting();
        } else if (passes == kPasses) {
            allocations = alloc::StopCounting();
            st->Running = 0; // the last pass; no reset in between
        }
        ++passes;
        return true;
    }

    SimState* st = nullptr;
    std::int16_t appearance = kAppearanceFlat;
    long reads = 0;
    long passes = 0;
    std::uint64_t allocations = 0;
};

TEST(WholeDay, NoPassAllocates) {
    SimState st;
    SilentControls ctl;
    ctl.st = &st;
    Form_Load(st, ctl);

    picOn_Click(st, ctl);

    ASSERT_EQ(ctl.passes, kPasses + 1);
    EXPECT_EQ(ctl.allocations, 0u) << "over " << kPasses << " passes";
    EXPECT_EQ(st.SweepCount, 0); // the run ended with its reset
}

} // namespace
} // namespace kelvara::test
