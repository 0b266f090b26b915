// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The run loop: the numbers of each pass, the order of its calls, the sweep
// wrap and the failures it must not let pass silently.
#include "recording_controls.h"
#include "scripted_run.h"
#include "sim/colours.h"
#include "sim/errors.h"
#include "sim/phase.h"
#include "sim/run.h"
#include "sim/state.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace kelvara {
namespace {

using test::Call;
using test::ColourText;
using test::kStart;
using test::RecordingControls;
using test::ScriptedRun;

struct PassRow {
    float elapsed;
    double phaseCos, phaseSin;
    int heatLevel;
    const char* label11;
    const char* label12;
    int sinLevel;
    int chargeIndex;
    Colour heatColour, resistorColour;
    double voltDeflection, ampDeflection;
};

// Names the row in a failure instead of dumping its bytes.
void PrintTo(const PassRow& row, std::ostream* os) {
    *os << "pass at " << row.elapsed << " s";
}

// The four passes of a run at the start-up slider positions (5, 5, 1).
const PassRow kStartupPasses[] = {
    {0.0f, 1, 0, 127, "-", "+", 0, 17, RGB(255, 128, 128), RGB(255, 255, 128), 34.863, 30.380},
    {0.25f, 0.3832, 0.9237, 48, "-", "+", 235, 2, RGB(255, 207, 207), RGB(255, 255, 207), 13.176,
     11.482},
    {0.5f, -0.7063, 0.7080, 90, "+", "-", 180, 5, RGB(255, 165, 165), RGB(255, 255, 165), -24.706,
     -21.529},
    {1.0f, -0.0024, -1.0000, 0, "+", "-", -255, 34, RGB(255, 255, 255), RGB(255, 255, 255), 0, 0},
};

class StartupPass : public ::testing::TestWithParam<PassRow> {};

TEST_P(StartupPass, EveryColumnOfThePass) {
    const PassRow& row = GetParam();
    ScriptedRun run({row.elapsed});

    EXPECT_NEAR(run.st.Omega, 4.71, 1e-12);
    EXPECT_EQ(run.st.Resistance, 1);

    double c = 0;
    double s = 0;
    std::int16_t sign = 0;
    SourcePhase(run.st, row.elapsed, c, s, sign);
    EXPECT_NEAR(c, row.phaseCos, 5e-5);
    EXPECT_NEAR(s, row.phaseSin, 5e-5);
    EXPECT_EQ(HeatLevelOf(c, 0.5, 1), row.heatLevel);
    EXPECT_EQ(SinLevelOf(s), row.sinLevel);

    EXPECT_EQ(run.ctl.captions[0], row.label11);
    EXPECT_EQ(run.ctl.captions[1], row.label12);
    for (Colour wire : run.ctl.pictokColour) {
        EXPECT_EQ(ColourText(wire), ColourText(row.heatColour));
    }
    EXPECT_EQ(ColourText(run.ctl.picRColour), ColourText(row.resistorColour));
    // The window reads the heat back from these colours (the projector's
    // glow): the inverse must give the level the colours were made from.
    EXPECT_EQ(HeatOfColour(Heated::Wire, row.heatColour), row.heatLevel);
    EXPECT_EQ(HeatOfColour(Heated::Resistor, row.resistorColour), row.heatLevel);

    ASSERT_EQ(run.GroupStart(), row.chargeIndex);
    for (int j = 0; j < 5; ++j) {
        EXPECT_EQ(ColourText(run.ctl.tokColour[static_cast<std::size_t>(row.chargeIndex + j)]),
                  ColourText(row.heatColour));
    }

    EXPECT_NEAR(ScriptedRun::Degrees(run.st.VoltmeterAngle), row.voltDeflection, 5e-4);
    EXPECT_NEAR(ScriptedRun::Degrees(run.st.AmmeterAngle), row.ampDeflection, 5e-4);
}

INSTANTIATE_TEST_SUITE_P(RunLoop, StartupPass, ::testing::ValuesIn(kStartupPasses),
                         [](const ::testing::TestParamInfo<PassRow>& info) {
                             return "ms" +
                                    std::to_string(static_cast<int>(info.param.elapsed * 1000));
                         });

// An elapsed time at which cos(omega x t) is exactly -1 in double precision:
// the float nearest an odd multiple of pi / omega, or one of its neighbours.
float TimeOfCosMinusOne(double omega) {
    for (int n = 0; n < 20000; ++n) {
        auto t = static_cast<float>((2 * n + 1) * 3.141592653589793 / omega);
        for (int step = 0; step < 3; ++step) {
            t = std::nextafter(t, 0.0f);
        }
        for (int step = 0; step < 7; ++step) {
            if (std::cos(omega * static_cast<double>(t)) == -1.0) {
                return t;
            }
            t = std::nextafter(t, 1e9f);
        }
    }
    return NAN;
}

struct SettingRow {
    const char* what;
    std::array<int, 3> sliders; // sldW, sldU, sldR
    bool negativeCos;
    int heatLevel;
    Colour wire, resistor;
    double volt, amp;
};

void PrintTo(const SettingRow& row, std::ostream* os) {
    *os << row.what;
}

const SettingRow kSettings[] = {
    {"strongest, cos plus 1", {5, 10, 1}, false, 255, RGB(255, 0, 0), RGB(255, 255, 0), 70, 61},
    {"strongest, cos minus 1", {5, 10, 1}, true, 255, RGB(255, 0, 0), RGB(255, 255, 0), -70, -61},
    {"full voltage, R 10",
     {4, 10, 10},
     false,
     25,
     RGB(255, 230, 230),
     RGB(255, 255, 230),
     68.627,
     6.863},
    {"weakest", {4, 1, 10}, false, 2, RGB(255, 253, 253), RGB(255, 255, 253), 5.490, 0.549},
};

class SliderSetting : public ::testing::TestWithParam<SettingRow> {};

TEST_P(SliderSetting, HeatColoursAndDeflections) {
    const SettingRow& row = GetParam();
    float t = 0;
    if (row.negativeCos) {
        t = TimeOfCosMinusOne(3.14 * 1.5);
        ASSERT_FALSE(std::isnan(t));
    }
    ScriptedRun run({t}, row.sliders, 0.0f);
    EXPECT_EQ(ColourText(run.ctl.pictokColour[4]), ColourText(row.wire)) << row.what;
    EXPECT_EQ(ColourText(run.ctl.picRColour), ColourText(row.resistor)) << row.what;
    const auto start = run.GroupStart();
    ASSERT_TRUE(start.has_value());
    EXPECT_EQ(ColourText(run.ctl.tokColour[static_cast<std::size_t>(*start)]),
              ColourText(row.wire));
    EXPECT_NEAR(ScriptedRun::Degrees(run.st.VoltmeterAngle), row.volt, 5e-4) << row.what;
    EXPECT_NEAR(ScriptedRun::Degrees(run.st.AmmeterAngle), row.amp, 5e-4) << row.what;
    EXPECT_EQ(run.ctl.captions[0], row.negativeCos ? "+" : "-");
}

INSTANTIATE_TEST_SUITE_P(RunLoop, SliderSetting, ::testing::ValuesIn(kSettings),
                         [](const ::testing::TestParamInfo<SettingRow>& info) {
                             std::string name;
                             for (const char* c = info.param.what; *c != 0; ++c) {
                                 if (std::isalnum(static_cast<unsigned char>(*c)) != 0) {
                                     name += *c;
                                 }
                             }
                             return name;
                         });

TEST(RunLoop, NineFrequencyStepsAndPositionsOutsideLeaveOmega) {
    const double table[] = {0.314, 0.628, 1.57, 3.14, 4.71, 6.28, 9.42, 10.99, 12.56};
    for (int step = 1; step <= 9; ++step) {
        ScriptedRun run({0.5f}, {step, 5, 1});
        EXPECT_NEAR(run.st.Omega, table[step - 1], 1e-12) << "step " << step;
    }
    SimState st;
    RecordingControls ctl;
    Form_Load(st, ctl);
    SetOmegaFromStep(st, 7);
    for (int outside : {0, 10, -1, 100}) {
        SetOmegaFromStep(st, outside);
        EXPECT_NEAR(st.Omega, 9.42, 1e-12) << "position " << outside;
    }
}

TEST(RunLoop, ChargeIndexAtItsEdges) {
    struct Row {
        double sine;
        int chargeIndex;
    };
    const Row rows[] = {
        {1.0, 0},         {std::nextafter(1.0, 0.0), 1},
        {240.0 / 255, 1}, {0.5, 9},
        {0.0588, 17}, // SinLevel 14
        {0.06, 16},   // SinLevel 15
        {0.0, 17},        {-0.000001, 18},
        {-0.5, 26},       {-1.0, 34},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(ChargeIndexOf(SinLevelOf(r.sine)), r.chargeIndex) << "sine " << r.sine;
    }
}

TEST(RunLoop, OnePassCallsEverythingInOrder) {
    ScriptedRun run({0.0f});
    const Colour heat = RGB(255, 128, 128);
    const std::string grey = ColourText(RGB(128, 128, 128));

    std::vector<Call> want = {
        {"Timer", "Value", "1000"},  {"Timer", "Value", "1000"},  {"DoEvents", "", ""},
        {"sldW", "Value", "5"},      {"sldR", "Value", "1"},      {"sldU", "Value", "5"},
        {"Label11", "Caption", "-"}, {"Label12", "Caption", "+"},
    };
    for (int k = 0; k < 9; ++k) {
        want.push_back({"pictok(" + std::to_string(k) + ")", "BackColor", ColourText(heat)});
    }
    for (int k = 17; k < 22; ++k) {
        want.push_back({"tok(" + std::to_string(k) + ")", "Visible", "True"});
        want.push_back({"tok(" + std::to_string(k) + ")", "BackColor", ColourText(heat)});
    }
    for (int k = 0; k < 5; ++k) { // the previous group of a new run starts at 0
        want.push_back({"tok(" + std::to_string(k) + ")", "Visible", "False"});
    }
    // Voltmeter 34.863 degrees, then ammeter 30.380, each erasing the needle
    // at the stored angle 0 first.
    want.push_back({"picvolt", "Line", "(1400, 1600)-(1399, 540) RGB(192, 192, 255)"});
    want.push_back({"picvolt", "Line", "(1400, 1600)-(793, 730) " + grey});
    want.push_back({"picamp", "Line", "(1400, 1600)-(1399, 540) RGB(255, 192, 192)"});
    want.push_back({"picamp", "Line", "(1400, 1600)-(863, 685) " + grey});
    want.push_back({"picR", "BackColor", "RGB(255, 255, 128)"});
    want.push_back({"imgU", "Left", "8850"});
    want.push_back({"imgU", "Top", "2440"});
    want.push_back({"imgI", "Left", "8850"});
    want.push_back({"imgI", "Top", "4720"});
    want.push_back({"imgP", "Left", "8850"});
    want.push_back({"imgP", "Top", "8795"});
    want.push_back({"Form1", "Line", "(8850, 2940)-(8850, 2440) RGB(0, 0, 255)"});
    want.push_back({"Form1", "Line", "(8850, 5220)-(8850, 4720) RGB(255, 0, 0)"});
    want.push_back({"Form1", "Line", "(8850, 9420)-(8850, 8795) RGB(0, 0, 0)"});
    // The next pass opens with its clock read and yield, where the run ends.
    want.push_back({"Timer", "Value", "1000"});
    want.push_back({"DoEvents", "", ""});

    EXPECT_EQ(run.ctl.log, want);
}

TEST(RunLoop, SweepWrapsOnThePassAfterOneBeyondFifteenSeconds) {
    // 15.0 exactly does not wrap; 15.5 does, on the pass that follows it.
    ScriptedRun run({14.0f, 15.0f, 15.5f, 16.0f});
    const auto& log = run.ctl.log;

    std::vector<std::size_t> passStarts;
    for (std::size_t i = 0; i < log.size(); ++i) {
        if (log[i].control == "DoEvents") {
            passStarts.push_back(i);
        }
    }
    ASSERT_EQ(passStarts.size(), 5u); // four passes and the final yield
    for (int p = 0; p < 4; ++p) {
        std::size_t cls = 0;
        for (std::size_t i = passStarts[static_cast<std::size_t>(p)];
             i < passStarts[static_cast<std::size_t>(p) + 1]; ++i) {
            cls += log[i].control == "Form1" && log[i].property == "Cls" ? 1 : 0;
        }
        EXPECT_EQ(cls, p == 3 ? 1u : 0u) << "pass " << p;
    }
    EXPECT_EQ(run.st.SweepCount, 1);

    // Within the wrapping pass the clear comes after the resistor and before
    // the graphs.
    std::vector<std::string> order;
    for (std::size_t i = passStarts[3]; i < passStarts[4]; ++i) {
        const Call& c = log[i];
        if (c.control == "picR" || (c.control == "Form1" && c.property == "Cls") ||
            c.control == "imgU") {
            order.push_back(c.control + "." + c.property);
        }
    }
    EXPECT_EQ(order,
              (std::vector<std::string>{"picR.BackColor", "Form1.Cls", "imgU.Left", "imgU.Top"}));

    // The wrap clears before the graphs; the new sweep starts at the left edge
    // at the heights where the old one ended (the 15.5 s point).
    const auto lines = run.ctl.Calls("Form1", "Line");
    ASSERT_EQ(lines.size(), 12u);
    const double c155 = std::cos(4.71 * 15.5);
    const double oldVolt = std::floor(2940 - c155 * 500);
    const double c16 = std::cos(4.71 * 16.0);
    const double newVolt = std::floor(2940 - c16 * 500);
    EXPECT_EQ(lines[6].value, "(14850, " +
                                  test::NumberText(std::floor(2940 - std::cos(4.71 * 15.0) * 500)) +
                                  ")-(15050, " + test::NumberText(oldVolt) + ") RGB(0, 0, 255)");
    EXPECT_EQ(lines[9].value, "(8850, " + test::NumberText(oldVolt) + ")-(9250, " +
                                  test::NumberText(newVolt) + ") RGB(0, 0, 255)");
    ASSERT_EQ(run.ctl.lines[0].size(), 3u); // only the new sweep's segments remain
    EXPECT_EQ(run.st.CurX, 9250);
}

TEST(RunLoop, FailuresAreRaisedNotDrawn) {
    // A clock gone to infinity makes the phase invalid: the check after the
    // heat product raises it before anything of that pass is shown.
    {
        SimState st;
        RecordingControls ctl;
        Form_Load(st, ctl);
        ctl.ScriptClock({kStart, INFINITY});
        st.Running = 1;
        EXPECT_THROW(RunSimulation(st, ctl), FloatingPointError);
        EXPECT_TRUE(ctl.Calls("Label11", "Caption").empty());
    }
    EXPECT_THROW(HeatLevelOf(NAN, 0.5, 1), FloatingPointError);
    EXPECT_THROW(HeatLevelOf(1.0, 0.5, 0), FloatingPointError);
    // The sweep counter is a 16-bit whole number: one sweep too many is an
    // overflow, not a wrap to a negative count.
    {
        SimState st;
        RecordingControls ctl;
        Form_Load(st, ctl);
        st.SweepCount = 32767;
        ctl.ScriptClock({kStart, kStart + 491521, kStart + 491522});
        st.Running = 1;
        EXPECT_THROW(RunSimulation(st, ctl), OverflowError);
    }
}

} // namespace
} // namespace kelvara
