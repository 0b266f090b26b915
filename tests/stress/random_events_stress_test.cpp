// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// A million random window events delivered inside the run loop's yields:
// slider moves, switch clicks (which stop runs and nest new ones), dial
// repaints and Graphs clicks. Whatever arrives, every pass must leave exactly
// one group of five charge markers in consistent colours, and every switch-off
// must leave the displays at rest.
#include "display/meters.h"
#include "recording_controls.h"
#include "sim/run.h"
#include "sim/state.h"
#include "stress_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <random>
#include <string>

namespace kelvara::test {
namespace {

// Calls `onPassEnd` when a pass has drawn its last segment.
class PassWatchingControls : public RecordingControls {
public:
    std::function<void()> onPassEnd;

    void DrawLine(Surface s, double x1, double y1, double x2, double y2, Colour c) override {
        RecordingControls::DrawLine(s, x1, y1, x2, y2, c);
        if (s == Surface::Form1 && c == kPowerTraceColour && onPassEnd) {
            onPassEnd();
        }
    }
};

constexpr long kEvents = 1'000'000;
constexpr double kMaxClockStep = 0.5; // seconds per clock read, drawn uniformly below this
constexpr int kMaxDepth = 64;         // switch-ons deeper than this are not delivered
constexpr std::uint32_t kDefaultSeed = 20'240'605;

bool ColourInRange(Colour c) {
    return (c >> 24) == 0;
}

class Storm {
public:
    explicit Storm(std::uint32_t seed) : rng_(seed) {
        Form_Load(st_, ctl_);
        // The window's first show paints both dials.
        picvolt_Paint(ctl_);
        picamp_Paint(ctl_);
        ctl_.record = false; // a million events: keep state, not a log
        ctl_.clock = [this] {
            clock_ += std::uniform_real_distribution<double>(0, kMaxClockStep)(rng_);
            return static_cast<float>(clock_);
        };
        ctl_.onYield = [this](long /*yield*/) { OnYield(); };
        ctl_.onPassEnd = [this] { OnPassEnd(); };
    }

    // Switches on from idle until every event is delivered; each top-level
    // click returns only once its run, and all runs nested in it, ended.
    void Run() {
        while (eventsLeft_ > 0 && failure_.empty()) {
            --eventsLeft_;
            SwitchOn();
            if (ctl_.depth != 0 || st_.Running != 0 || ctl_.picOnAppearance != kAppearanceFlat ||
                ctl_.picOnColour != RGB(192, 192, 192)) {
                Fail("the switch-on click returned with the switch not off");
            }
        }
    }

    [[nodiscard]] const std::string& failure() const { return failure_; }
    [[nodiscard]] long eventsLeft() const { return eventsLeft_; }
    [[nodiscard]] bool atRest() const { return ctl_.AtRest(); }

    long passEnds = 0;
    long yields = 0;
    long switchOns = 0;
    long switchOffs = 0;
    long nestedSwitchOns = 0;
    int maxDepth = 0;
    int maxSweepCount = 0;

private:
    void Fail(const std::string& what) {
        if (failure_.empty()) {
            failure_ = what + " (after " + std::to_string(kEvents - eventsLeft_) +
                       " events, yield " + std::to_string(yields) + ", depth " +
                       std::to_string(ctl_.depth) + ")";
        }
        ctl_.ending = true; // every active run returns at its next yield
    }

    void OnYield() {
        ++yields;
        maxDepth = std::max(maxDepth, ctl_.depth);
        // Nothing has drawn since the previous pass ended, or, on a run's
        // first pass, since the displays were put to rest.
        if (freshRun_) {
            freshRun_ = false;
            if (!ctl_.AtRest()) {
                Fail("a run's first yield found the displays not at rest");
            }
        } else if (!VisibleGroupStart(ctl_)) {
            Fail("a yield found " + std::to_string(ctl_.VisibleTokCount()) +
                 " markers visible, not one group of five");
        }

        const int burst = std::uniform_int_distribution<int>(1, 8)(rng_);
        for (int i = 0; i < burst && eventsLeft_ > 0 && failure_.empty(); ++i) {
            --eventsLeft_;
            DeliverOne();
        }
        if (eventsLeft_ == 0 && ctl_.picOnAppearance != kAppearanceFlat) {
            SwitchOff(); // the last event of all is a switch-off
        }
    }

    void DeliverOne() {
        const int roll = std::uniform_int_distribution<int>(0, 999)(rng_);
        if (roll < 5) {
            if (ctl_.picOnAppearance == kAppearanceFlat) {
                if (ctl_.depth < kMaxDepth) {
                    ++nestedSwitchOns;
                    SwitchOn();
                }
            } else {
                SwitchOff();
            }
        } else if (roll < 500) {
            MoveSlider();
        } else if (roll < 750) {
            if (std::uniform_int_distribution<int>(0, 1)(rng_) == 0) {
                picvolt_Paint(ctl_);
            } else {
                picamp_Paint(ctl_);
            }
        } else {
            graphsShown_ = !graphsShown_; // all the Graphs button does
        }
    }

    void MoveSlider() {
        // Ranges of sldW, sldU, sldR, in the order the stand-in keeps them.
        constexpr std::array<int, 3> kMax{9, 10, 10};
        const auto s = static_cast<std::size_t>(std::uniform_int_distribution<int>(0, 2)(rng_));
        ctl_.sliders.at(s) = std::uniform_int_distribution<int>(1, kMax.at(s))(rng_);
    }

    void SwitchOn() {
        ++switchOns;
        freshRun_ = true;
        picOn_Click(st_, ctl_);
        // The run started here, and any nested in it, has ended with a reset.
        if (failure_.empty() && !ctl_.AtRest()) {
            Fail("a run ended with the displays not at rest");
        }
    }

    void SwitchOff() {
        ++switchOffs;
        picOn_Click(st_, ctl_);
        if (failure_.empty() && !ctl_.AtRest()) {
            Fail("a switch-off left the displays not at rest");
        }
    }

    void OnPassEnd() {
        ++passEnds;
        const auto group = VisibleGroupStart(ctl_);
        if (!group) {
            Fail("a pass ended with " + std::to_string(ctl_.VisibleTokCount()) +
                 " markers visible, not one group of five");
            return;
        }
        const Colour wire = ctl_.pictokColour[0];
        if (!ColourInRange(wire) || RedOf(wire) != 255 || GreenOf(wire) != BlueOf(wire)) {
            Fail("wire colour " + ColourText(wire) + " is not a heat colour");
        }
        for (Colour c : ctl_.pictokColour) {
            if (c != wire) {
                Fail("wire segments in different colours");
            }
        }
        for (std::size_t j = 0; j < 5; ++j) {
            if (ctl_.tokColour.at(static_cast<std::size_t>(*group) + j) != wire) {
                Fail("a visible marker is not in the wire's colour");
            }
        }
        const Colour resistor = ctl_.picRColour;
        if (!ColourInRange(resistor) || RedOf(resistor) != 255 || GreenOf(resistor) != 255 ||
            BlueOf(resistor) != GreenOf(wire)) {
            Fail("resistor colour " + ColourText(resistor) + " does not match wire " +
                 ColourText(wire));
        }
        const bool plusLeft = ctl_.captions[0] == "+" && ctl_.captions[1] == "-";
        const bool minusLeft = ctl_.captions[0] == "-" && ctl_.captions[1] == "+";
        if (!plusLeft && !minusLeft) {
            Fail("polarity captions " + ctl_.captions[0] + " / " + ctl_.captions[1]);
        }
        // The graph markers sit on the points just plotted, inside the bands
        // of the three graphs.
        if (ctl_.imageLeft != std::array<double, 3>{st_.CurX, st_.CurX, st_.CurX} ||
            ctl_.imageTop != std::array<double, 3>{st_.CurVoltY, st_.CurCurrentY,
                                                   static_cast<double>(st_.CurPowerY)}) {
            Fail("graph markers are not on the plotted points");
        }
        if (st_.CurVoltY < 1940 || st_.CurVoltY > 3940 || st_.CurCurrentY < 4220 ||
            st_.CurCurrentY > 6220 || st_.CurPowerY < 6920 || st_.CurPowerY > 9420) {
            Fail("a graph point left its band");
        }
        // A pass whose yield brought no switch click keeps its run's sweep:
        // its point lies within one sweep and one clock step of the origin.
        // (A click in the yield ends the run, and that last pass plots after
        // the reset has set the sweep count back to 0.)
        if (st_.Running == 1 &&
            (st_.CurX < 8850 || st_.CurX > 8850 + 400 * (15 + kMaxClockStep) + 1)) {
            Fail("graph x " + std::to_string(st_.CurX) + " outside the sweep");
        }
        maxSweepCount = std::max(maxSweepCount, static_cast<int>(st_.SweepCount));
    }

    SimState st_;
    PassWatchingControls ctl_;
    std::mt19937 rng_;
    double clock_ = 1000;
    long eventsLeft_ = kEvents;
    bool freshRun_ = false;
    bool graphsShown_ = false;
    std::string failure_;
};

TEST(RandomEvents, EveryPassShowsOneGroupOfFiveAndEverySwitchOffEndsAtRest) {
    const std::uint32_t seed = StressSeed(kDefaultSeed);
    SCOPED_TRACE("seed " + std::to_string(seed) + " (set KELVARA_STRESS_SEED to replay)");

    Storm storm(seed);
    storm.Run();

    ASSERT_TRUE(storm.failure().empty()) << storm.failure();
    EXPECT_EQ(storm.eventsLeft(), 0);
    EXPECT_TRUE(storm.atRest());

    std::printf("seed %u: %ld yields, %ld passes, %ld switch-ons (%ld nested), %ld switch-offs, "
                "deepest yield %d, most sweeps in a run %d\n",
                seed, storm.yields, storm.passEnds, storm.switchOns, storm.nestedSwitchOns,
                storm.switchOffs, storm.maxDepth, storm.maxSweepCount);
    // The storm must have reached what it is meant to exercise: many passes,
    // runs nested in runs, and sweeps that wrapped.
    EXPECT_GT(storm.passEnds, 100'000);
    EXPECT_GE(storm.maxDepth, 2);
    EXPECT_GE(storm.maxSweepCount, 1);
}

} // namespace
} // namespace kelvara::test
