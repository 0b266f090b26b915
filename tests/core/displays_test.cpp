// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The charge markers, needle meters, time graphs and the display reset.
#include "display/charges.h"
#include "display/graphs.h"
#include "display/meters.h"
#include "display/reset.h"
#include "recording_controls.h"
#include "scripted_run.h"
#include "sim/errors.h"
#include "sim/state.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace kelvara {
namespace {

using test::Call;
using test::ColourText;
using test::DrawnLine;
using test::RecordingControls;

struct Loaded {
    SimState st;
    RecordingControls ctl;
    Loaded() {
        Form_Load(st, ctl);
        ctl.log.clear();
    }
};

std::string Tok(int k) {
    return "tok(" + std::to_string(k) + ")";
}

// --- charges -----------------------------------------------------------------

TEST(ShowCharges, GroupsThatAreEqualOverlappingOrDistant) {
    struct Row {
        int prev, next;
        std::vector<int> hidden; // markers hidden by the call, in order
    };
    const Row rows[] = {
        {17, 17, {}},
        {17, 18, {17}},
        {17, 21, {17, 18, 19, 20}},
        {17, 13, {18, 19, 20, 21}},
        {17, 22, {17, 18, 19, 20, 21}},
        {0, 34, {0, 1, 2, 3, 4}},
        {34, 0, {34, 35, 36, 37, 38}},
        {0, 0, {}},
        {0, 2, {0, 1}},
    };
    const Colour heat = RGB(255, 100, 100);
    for (const Row& r : rows) {
        Loaded f;
        ShowCharges(f.ctl, r.prev, RGB(1, 2, 3), 0); // the previous group is showing
        f.ctl.log.clear();

        ShowCharges(f.ctl, r.next, heat, r.prev);

        std::vector<Call> want;
        for (int j = 0; j < 5; ++j) {
            want.push_back({Tok(r.next + j), "Visible", "True"});
            want.push_back({Tok(r.next + j), "BackColor", ColourText(heat)});
        }
        for (int k : r.hidden) {
            want.push_back({Tok(k), "Visible", "False"});
        }
        EXPECT_EQ(f.ctl.log, want) << r.prev << " -> " << r.next;
        EXPECT_EQ(f.ctl.VisibleTokCount(), 5) << r.prev << " -> " << r.next;
    }
}

TEST(ShowCharges, ExactlyFiveVisibleAfterEveryPassOfAnySequence) {
    std::mt19937 rng(20261208);
    std::uniform_int_distribution<int> index(0, 34);
    std::uniform_int_distribution<int> step(-4, 4);
    std::uniform_int_distribution<int> level(0, 255);
    for (int sequence = 0; sequence < 200; ++sequence) {
        Loaded f;
        double prev = 0; // a new run starts from group 0
        for (int pass = 0; pass < 200; ++pass) {
            // Mostly small moves, as the sine makes them, sometimes jumps.
            const int next = pass % 7 == 0 ? index(rng) : std::clamp(int(prev) + step(rng), 0, 34);
            const int h = level(rng);
            const Colour heat = RGB(255, 255 - h, 255 - h);
            ShowCharges(f.ctl, next, heat, prev);
            prev = next;
            ASSERT_EQ(f.ctl.VisibleTokCount(), 5) << "sequence " << sequence << " pass " << pass;
            for (int j = 0; j < 5; ++j) {
                const auto k = static_cast<std::size_t>(next) + static_cast<std::size_t>(j);
                ASSERT_TRUE(f.ctl.tokVisible[k]);
                ASSERT_EQ(f.ctl.tokColour[k], heat);
            }
        }
    }
}

TEST(ShowCharges, IndexOutsideTheMarkersIsAnError) {
    Loaded f;
    EXPECT_THROW(ShowCharges(f.ctl, 35, RGB(255, 255, 255), 35), IndexError);
    EXPECT_THROW(ShowCharges(f.ctl, -1, RGB(255, 255, 255), 0), IndexError);
}

// --- meters --------------------------------------------------------------------

TEST(Meters, NeedleTipTable) {
    struct Row {
        double degrees, x, y;
    };
    const Row rows[] = {
        {0, 1399, 540},  {1, 1380, 540},    {-1, 1417, 540}, {30, 869, 682},    {-30, 1929, 681},
        {60, 481, 1070}, {-60, 2317, 1068}, {90, 340, 1600}, {-90, 2459, 1598},
    };
    Loaded f;
    for (const Row& r : rows) {
        const NeedleTip tip = NeedleTipFor(f.st, (r.degrees * 2) * 3.14 / 360);
        EXPECT_EQ(tip.x, r.x) << r.degrees;
        EXPECT_EQ(tip.y, r.y) << r.degrees;
    }
}

TEST(Meters, UpdatesEraseTheLastNeedleThenDrawTheNew) {
    Loaded f;
    const Colour grey = RGB(128, 128, 128);
    UpdateVoltmeter(f.st, f.ctl, 30);
    UpdateAmmeter(f.st, f.ctl, -60);
    UpdateAmmeter(f.st, f.ctl, -60);
    const std::vector<DrawnLine> volt = {{1400, 1600, 1399, 540, RGB(192, 192, 255)},
                                         {1400, 1600, 869, 682, grey}};
    const std::vector<DrawnLine> amp = {{1400, 1600, 1399, 540, RGB(255, 192, 192)},
                                        {1400, 1600, 2317, 1068, grey},
                                        {1400, 1600, 2317, 1068, RGB(255, 192, 192)},
                                        {1400, 1600, 2317, 1068, grey}};
    EXPECT_EQ(f.ctl.lines[1], volt);
    EXPECT_EQ(f.ctl.lines[2], amp);
    EXPECT_DOUBLE_EQ(f.st.VoltmeterAngle, 60 * 3.14 / 360);
    EXPECT_DOUBLE_EQ(f.st.AmmeterAngle, -120 * 3.14 / 360);

    // The repaint handlers draw the rest needle and touch no angle.
    f.ctl.log.clear();
    picamp_Paint(f.ctl);
    picvolt_Paint(f.ctl);
    EXPECT_EQ(f.ctl.log, (std::vector<Call>{
                             {"picamp", "Line", "(1400, 1600)-(1400, 540) RGB(128, 128, 128)"},
                             {"picvolt", "Line", "(1400, 1600)-(1400, 540) RGB(128, 128, 128)"},
                         }));
    EXPECT_DOUBLE_EQ(f.st.AmmeterAngle, -120 * 3.14 / 360);
}

TEST(Meters, StoredAnglesSurviveTheEndOfARun) {
    SimState st;
    RecordingControls ctl;
    Form_Load(st, ctl);
    ctl.ScriptClock({test::kStart, test::kStart + 0.5f});
    ctl.onYield = [&](long) { picOn_Click(st, ctl); }; // switch off in the first yield
    picOn_Click(st, ctl);
    ASSERT_TRUE(ctl.AtRest());
    const double volt = st.VoltmeterAngle;
    const double amp = st.AmmeterAngle;
    EXPECT_NEAR(volt * 360 / 6.28, -24.706, 5e-4);
    EXPECT_NEAR(amp * 360 / 6.28, -21.529, 5e-4);

    // The next run's first update erases where the last one ended.
    ctl.log.clear();
    ctl.onYield = nullptr;
    UpdateVoltmeter(st, ctl, 0);
    const NeedleTip last = NeedleTipFor(st, volt);
    ASSERT_FALSE(ctl.log.empty());
    EXPECT_EQ(ctl.log[0].value, "(1400, 1600)-(" + test::NumberText(last.x) + ", " +
                                    test::NumberText(last.y) + ") RGB(192, 192, 255)");
}

// --- graphs --------------------------------------------------------------------

TEST(PlotGraphs, PointsForPhaseAmplitudeResistanceAndSweepTime) {
    struct Row {
        double sweepTime, phaseCos, amplitude;
        int resistance;
        double x, volt, current, power;
    };
    // Halving the amplitude halves u and i and quarters p = u * i: power
    // heights 2500 and 625 twips above the zero line at U 1,0 and 0,5.
    const Row rows[] = {
        {0, 1, 1.0, 1, 8850, 1940, 4220, 6920},      {0, 1, 0.5, 1, 8850, 2440, 4720, 8795},
        {0, -1, 1.0, 1, 8850, 3940, 6220, 6920},     {3, 0, 0.7, 3, 10050, 2940, 5220, 9420},
        {0, 1, 0.5, 10, 8850, 2440, 5170, 9357},     {0, -0.3333, 1.0, 1, 8850, 3273, 5553, 9142},
        {0, 0.3333, 1.0, 1, 8850, 2606, 4886, 9142}, {15, 0, 0.1, 1, 14850, 2940, 5220, 9420},
        {7.5, 0, 0.1, 1, 11850, 2940, 5220, 9420},   {15.05, 0, 0.1, 1, 14870, 2940, 5220, 9420},
    };
    for (const Row& r : rows) {
        Loaded f;
        f.st.Resistance = r.resistance;
        PlotGraphs(f.st, f.ctl, r.phaseCos, r.amplitude, r.sweepTime);
        const std::vector<Call> want = {
            {"imgU", "Left", test::NumberText(r.x)}, {"imgU", "Top", test::NumberText(r.volt)},
            {"imgI", "Left", test::NumberText(r.x)}, {"imgI", "Top", test::NumberText(r.current)},
            {"imgP", "Left", test::NumberText(r.x)}, {"imgP", "Top", test::NumberText(r.power)},
        };
        const std::vector<Call> got(f.ctl.log.begin(), f.ctl.log.begin() + 6);
        EXPECT_EQ(got, want) << "cos " << r.phaseCos << " t " << r.sweepTime;
        // The first call after start-up draws from the left end of each zero line.
        const std::vector<DrawnLine> lines = {{8850, 2940, r.x, r.volt, RGB(0, 0, 255)},
                                              {8850, 5220, r.x, r.current, RGB(255, 0, 0)},
                                              {8850, 9420, r.x, r.power, RGB(0, 0, 0)}};
        EXPECT_EQ(f.ctl.lines[0], lines) << "cos " << r.phaseCos;
        EXPECT_EQ(f.st.PrevX, r.x);
        EXPECT_EQ(f.st.PrevVoltY, r.volt);
        EXPECT_EQ(f.st.PrevCurrentY, r.current);
        EXPECT_EQ(f.st.PrevPowerY, r.power);
        EXPECT_EQ(f.st.CurPowerY, static_cast<std::int32_t>(r.power));
    }
}

TEST(PlotGraphs, EachSegmentStartsWhereThePreviousEnded) {
    Loaded f;
    f.st.Resistance = 2;
    PlotGraphs(f.st, f.ctl, 0.5, 0.8, 1.0);
    PlotGraphs(f.st, f.ctl, -0.25, 0.8, 1.25);
    ASSERT_EQ(f.ctl.lines[0].size(), 6u);
    EXPECT_EQ(f.ctl.lines[0][3], (DrawnLine{9250, 2540, 9350, 3140, RGB(0, 0, 255)}));
    EXPECT_EQ(f.ctl.lines[0][4], (DrawnLine{9250, 5020, 9350, 5320, RGB(255, 0, 0)}));
    EXPECT_EQ(f.ctl.lines[0][5], (DrawnLine{9250, 9220, 9350, 9370, RGB(0, 0, 0)}));
}

// --- reset ---------------------------------------------------------------------

TEST(ResetDisplays, StepsInOrderAndWhatItLeavesAlone) {
    Loaded f;
    f.st.Omega = 9.42;
    f.st.Resistance = 7;
    f.st.SweepCount = 3;
    f.st.PrevX = 12000;
    f.st.PrevVoltY = 2500;
    f.st.PrevCurrentY = 5000;
    f.st.PrevPowerY = 9000;
    f.st.CurX = 12000;
    f.st.CurVoltY = 2500;
    f.st.CurCurrentY = 5000;
    f.st.CurPowerY = 9000;
    f.st.VoltmeterAngle = 0.5;
    f.st.AmmeterAngle = -0.25;
    f.ctl.captions = {"-", "+"};
    f.ctl.tokColour.fill(RGB(255, 10, 10));
    f.ctl.log.clear();

    ResetDisplays(f.st, f.ctl);

    const std::string white = "RGB(255, 255, 255)";
    const std::string rest = "(1400, 1600)-(1400, 540) RGB(128, 128, 128)";
    std::vector<Call> want = {{"Form1", "Cls", ""}};
    for (int k = 0; k < kTokCount; ++k) {
        want.push_back({Tok(k), "Visible", "False"});
    }
    for (int k = 0; k < kPictokCount; ++k) {
        want.push_back({"pictok(" + std::to_string(k) + ")", "BackColor", white});
    }
    const std::vector<Call> tail = {
        {"picvolt", "Cls", ""},    {"picamp", "Cls", ""},        {"picamp", "Line", rest},
        {"picvolt", "Line", rest}, {"picR", "BackColor", white}, {"imgU", "Left", "8850"},
        {"imgU", "Top", "2940"},   {"imgI", "Left", "8850"},     {"imgI", "Top", "5220"},
        {"imgP", "Left", "8850"},  {"imgP", "Top", "9420"},
    };
    want.insert(want.end(), tail.begin(), tail.end());
    EXPECT_EQ(f.ctl.log, want);

    EXPECT_EQ(f.st.SweepCount, 0);
    EXPECT_EQ(f.st.PrevX, 8850);
    EXPECT_EQ(f.st.PrevVoltY, 2940);
    EXPECT_EQ(f.st.PrevCurrentY, 5220);
    EXPECT_EQ(f.st.PrevPowerY, 9420);
    // Left alone:
    EXPECT_EQ(f.st.CurX, 12000);
    EXPECT_EQ(f.st.CurVoltY, 2500);
    EXPECT_EQ(f.st.CurCurrentY, 5000);
    EXPECT_EQ(f.st.CurPowerY, 9000);
    EXPECT_EQ(f.st.VoltmeterAngle, 0.5);
    EXPECT_EQ(f.st.AmmeterAngle, -0.25);
    EXPECT_EQ(f.st.Omega, 9.42);
    EXPECT_EQ(f.st.Resistance, 7);
    EXPECT_EQ(f.ctl.captions, (std::array<std::string, 2>{"-", "+"}));
    for (Colour c : f.ctl.tokColour) {
        EXPECT_EQ(c, RGB(255, 10, 10));
    }
    EXPECT_TRUE(f.ctl.AtRest());

    // Twice in a row gives the same picture as once.
    ResetDisplays(f.st, f.ctl);
    EXPECT_TRUE(f.ctl.AtRest());
}

} // namespace
} // namespace kelvara
