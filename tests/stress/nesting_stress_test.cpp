// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// A switch-off and a switch-on delivered in the same yield start a new run
// nested inside the suspended one, and nothing limits the nesting. Here
// 1,000 such pairs build a run 1,000 levels deep; one switch-off must then
// end every level, innermost first, each finishing its interrupted pass and
// resetting the displays, and leave the window at rest.
#include "recording_controls.h"
#include "sim/run.h"
#include "sim/state.h"
#include "stress_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <vector>

namespace kelvara::test {
namespace {

// Notes each reset and each pass end with the yield depth it happens at.
// The clock stands still, so no sweep wraps and the only clearing of the
// window's drawing is the first step of a reset.
class TracingControls : public RecordingControls {
public:
    enum class Kind : std::uint8_t { Reset, PassEnd };
    struct Event {
        Kind kind;
        int depth;
        bool operator==(const Event&) const = default;
    };
    std::vector<Event> events;

    void Cls(Surface s) override {
        if (s == Surface::Form1) {
            events.push_back({Kind::Reset, depth});
        }
        RecordingControls::Cls(s);
    }

    void DrawLine(Surface s, double x1, double y1, double x2, double y2, Colour c) override {
        RecordingControls::DrawLine(s, x1, y1, x2, y2, c);
        if (s == Surface::Form1 && c == kPowerTraceColour) {
            events.push_back({Kind::PassEnd, depth});
        }
    }
};

std::string Describe(const TracingControls::Event& e) {
    std::ostringstream out;
    out << (e.kind == TracingControls::Kind::Reset ? "reset" : "pass end") << " at depth "
        << e.depth;
    return out.str();
}

TEST(NestedRuns, ThousandOffOnPairsUnwindInnermostFirstEachWithItsReset) {
    constexpr int kPairs = 1000;
    using Kind = TracingControls::Kind;

    SimState st;
    TracingControls ctl;
    Form_Load(st, ctl);
    ctl.record = false;

    int pairs = 0;
    int maxDepth = 0;
    bool switchedOffAtBottom = false;
    std::uintptr_t outermostFrame = 0;
    std::uintptr_t innermostFrame = 0;
    long unexpectedYields = 0;

    // The outermost run yields at depth 1; the run started by the n-th pair
    // yields at depth n + 1. Each level's first yield delivers the next pair,
    // the innermost one the final switch-off.
    ctl.onYield = [&](long /*yield*/) {
        const char frame = 0;
        maxDepth = std::max(maxDepth, ctl.depth);
        if (ctl.depth != pairs + 1 || switchedOffAtBottom) {
            // A level asked for a second pass: Running was not seen as 0.
            ++unexpectedYields;
            ctl.ending = true;
            return;
        }
        if (ctl.depth == 1) {
            outermostFrame = reinterpret_cast<std::uintptr_t>(&frame);
        }
        // Every level starts its run afresh, whatever the suspended ones did.
        if (st.SweepCount != 0 || ctl.picOnAppearance != kAppearance3D || st.Running != 1) {
            ++unexpectedYields;
            ctl.ending = true;
            return;
        }
        if (pairs < kPairs) {
            ++pairs;
            picOn_Click(st, ctl); // off: resets at once and returns
            picOn_Click(st, ctl); // on: a whole new run, nested here
        } else {
            innermostFrame = reinterpret_cast<std::uintptr_t>(&frame);
            switchedOffAtBottom = true;
            picOn_Click(st, ctl);
        }
    };

    picOn_Click(st, ctl); // the first click switches on

    ASSERT_EQ(unexpectedYields, 0) << "a level took a pass it should not have";
    ASSERT_TRUE(switchedOffAtBottom);
    EXPECT_EQ(pairs, kPairs);
    EXPECT_EQ(maxDepth, kPairs + 1);

    // Building up: each pair's switch-off resets inside the yield it came in.
    // Unwinding: the final switch-off resets in the innermost yield; then
    // each level, innermost first, completes its interrupted pass and resets
    // as its loop ends, the outermost (depth 0) last.
    std::vector<TracingControls::Event> expected;
    for (int d = 1; d <= kPairs; ++d) {
        expected.push_back({Kind::Reset, d});
    }
    expected.push_back({Kind::Reset, kPairs + 1});
    for (int d = kPairs; d >= 0; --d) {
        expected.push_back({Kind::PassEnd, d});
        expected.push_back({Kind::Reset, d});
    }
    const std::size_t common = std::min(expected.size(), ctl.events.size());
    for (std::size_t i = 0; i < common; ++i) {
        ASSERT_EQ(ctl.events[i], expected[i])
            << "event " << i << ": got " << Describe(ctl.events[i]) << ", expected "
            << Describe(expected[i]);
    }
    ASSERT_EQ(ctl.events.size(), expected.size());

    EXPECT_TRUE(ctl.AtRest());
    EXPECT_EQ(ctl.VisibleTokCount(), 0);
    EXPECT_EQ(ctl.picOnAppearance, kAppearanceFlat);
    EXPECT_EQ(ctl.picOnColour, RGB(192, 192, 192));
    EXPECT_EQ(st.Running, 0);
    EXPECT_EQ(st.SweepCount, 0);
    EXPECT_EQ(ctl.depth, 0);

    // What one level of nesting costs on the stack, for comparison with the
    // thread's stack limit when the depth or the build changes.
    if (outermostFrame > innermostFrame && innermostFrame != 0) {
        const std::uintptr_t used = outermostFrame - innermostFrame;
        std::printf("stack used by %d nested levels: %ju bytes (%ju per level)\n", kPairs,
                    static_cast<std::uintmax_t>(used), static_cast<std::uintmax_t>(used / kPairs));
    }
}

} // namespace
} // namespace kelvara::test
