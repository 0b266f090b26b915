// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "sim/run.h"

#include "display/charges.h"
#include "display/graphs.h"
#include "display/meters.h"
#include "display/reset.h"
#include "sim/colours.h"
#include "sim/controls.h"
#include "sim/lesson.h"
#include "sim/numbers.h"
#include "sim/phase.h"
#include "sim/state.h"

#include <cfenv>
#include <cmath>
#include <optional>

namespace kelvara {

void SetOmegaFromStep(SimState& st, std::int32_t FrequencyStep) {
    if (const std::optional<double> omega = OmegaOfStep(FrequencyStep, st.OmegaBase)) {
        st.Omega = *omega;
    }
}

double HeatLevelOf(double PhaseCos, double Amplitude, std::int32_t Resistance) {
    const double scaled = 255 * std::sqrt(PhaseCos * PhaseCos);
    if (std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW) != 0 || !std::isfinite(scaled)) {
        throw FloatingPointError("floating-point error in the source phase");
    }
    if (Resistance == 0) {
        throw FloatingPointError("division by zero");
    }
    return Int((scaled * Amplitude) / Resistance);
}

double SinLevelOf(double PhaseSin) {
    return Int(255 * PhaseSin);
}

double ChargeIndexOf(double SinLevel) {
    return 17 - Int(SinLevel / 15);
}

void RunSimulation(SimState& st, Controls& ctl) {
    const float StartTime = ctl.Timer();
    double PrevChargeIndex = 0;
    double SweepTime = 0;

    while (st.Running == 1) {
        const float ElapsedTime = ctl.Timer() - StartTime;

        if (!ctl.DoEvents()) {
            return; // the program is ending: no further pass, no reset
        }

        SetOmegaFromStep(st, ctl.SliderValue(Slider::sldW));
        st.Resistance = ctl.SliderValue(Slider::sldR);
        const double Amplitude = AmplitudeOf(ctl.SliderValue(Slider::sldU));

        // Only this pass's arithmetic may raise the flags that the heat
        // level checks; the event handling above may leave stale ones.
        std::feclearexcept(FE_ALL_EXCEPT);
        double PhaseCos = 0;
        double PhaseSin = 0;
        std::int16_t PhaseSign = 1;
        SourcePhase(st, ElapsedTime, PhaseCos, PhaseSin, PhaseSign);

        const double HeatLevel = HeatLevelOf(PhaseCos, Amplitude, st.Resistance);

        // Conventional current leaves the source at its "+" terminal: with a
        // positive cosine the charges move towards the left terminal (their
        // index falls), so the right terminal is the positive one.
        if (PhaseCos > 0) {
            ctl.SetCaption(Label::Label11, "-");
            ctl.SetCaption(Label::Label12, "+");
        } else {
            ctl.SetCaption(Label::Label11, "+");
            ctl.SetCaption(Label::Label12, "-");
        }

        const double SinLevel = SinLevelOf(PhaseSin);

        const Colour HeatColour = ColourOfHeat(Heated::Wire, HeatLevel);

        for (int k = 0; k < kPictokCount; ++k) {
            ctl.SetBackColor(Box::pictok, k, HeatColour);
        }

        const double ChargeIndex = ChargeIndexOf(SinLevel);

        ShowCharges(ctl, ChargeIndex, HeatColour, PrevChargeIndex);
        PrevChargeIndex = ChargeIndex;

        const double VoltmeterDeflection = 70 * HeatLevel * PhaseSign * st.Resistance / 255;
        UpdateVoltmeter(st, ctl, VoltmeterDeflection);

        const double AmmeterDeflection = (st.Resistance + 60.0) * HeatLevel * PhaseSign / 255;
        UpdateAmmeter(st, ctl, AmmeterDeflection);

        ctl.SetBackColor(Box::picR, 0, ColourOfHeat(Heated::Resistor, HeatLevel));

        if (SweepTime > st.SweepSeconds) {
            st.SweepCount = ToInteger<std::int16_t>(st.SweepCount + 1.0);
            ctl.Cls(Surface::Form1);
            st.PrevX = st.GraphX0;
            st.PrevVoltY = st.CurVoltY;
            st.PrevCurrentY = st.CurCurrentY;
            st.PrevPowerY = st.CurPowerY;
        }

        SweepTime = SweepTimeOf(st, static_cast<double>(ElapsedTime));
        PlotGraphs(st, ctl, PhaseCos, Amplitude, SweepTime);
    }

    ResetDisplays(st, ctl);
}

void picOn_Click(SimState& st, Controls& ctl) {
    std::int16_t running = 0;
    if (ctl.Appearance(Box::picOn) == kAppearanceFlat) {
        ctl.SetAppearance(Box::picOn, kAppearance3D);
        ctl.SetBackColor(Box::picOn, 0, kSwitchOnColour);
        running = 1;
    } else {
        ctl.SetAppearance(Box::picOn, kAppearanceFlat);
        ctl.SetBackColor(Box::picOn, 0, kSwitchOffColour);
        running = 0;
    }
    st.Running = running;
    RunSimulation(st, ctl);
}

} // namespace kelvara
