// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// A stand-in for the window that records every call in order and keeps the
// state a viewer would see, so tests can check both the sequence of
// operations and where the displays end up.
#pragma once

#include "sim/controls.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kelvara::test {

struct Call {
    std::string control;  // layout name, e.g. "tok(3)", "Form1", "sldW"
    std::string property; // e.g. "Visible", "BackColor", "Line", "Cls"
    std::string value;    // formatted value

    bool operator==(const Call&) const = default;
};

struct DrawnLine {
    double x1, y1, x2, y2;
    Colour colour;
    bool operator==(const DrawnLine&) const = default;
};

std::string ColourText(Colour c); // "RGB(r, g, b)"
std::string NumberText(double v); // shortest round-trip form
const char* SurfaceName(Surface s);

class RecordingControls : public Controls {
public:
    RecordingControls();

    // --- what the window shows -------------------------------------------
    std::array<bool, kTokCount> tokVisible{};
    std::array<Colour, kTokCount> tokColour{};
    std::array<Colour, kPictokCount> pictokColour{};
    Colour picRColour = RGB(255, 255, 255);
    Colour picOnColour = RGB(192, 192, 192);
    std::int16_t picOnAppearance = kAppearanceFlat;
    std::array<std::string, 2> captions{"+", "-"};
    std::array<double, 3> imageLeft{8850, 8850, 8850};
    std::array<double, 3> imageTop{2940, 5220, 9420};
    std::array<int, 3> drawWidth{1, 3, 3};
    // Lines drawn on each surface since it was last cleared.
    std::array<std::vector<DrawnLine>, 3> lines;
    std::array<long, 3> clsCount{};

    // --- what the test scripts --------------------------------------------
    std::array<int, 3> sliders{5, 5, 1}; // sldW, sldU, sldR
    // Returns the clock reading; by default the value of `now`.
    std::function<float()> clock;
    float now = 1000.0f;
    // Runs inside every yield, with the yield's 1-based number.
    std::function<void(long)> onYield;
    bool ending = false; // DoEvents returns false once set
    bool record = true;  // keep the call log
    bool keepLines = true;

    std::vector<Call> log;
    long yields = 0;
    long timerReads = 0;
    int depth = 0; // nesting of DoEvents

    // Feeds one clock value per Timer read, in order; the last repeats.
    void ScriptClock(std::vector<float> readings);

    int VisibleTokCount() const;
    // Displays at rest: no marker visible, wire and resistor white, dials
    // showing only the rest needle, no trace on the window, markers at the
    // graph origins.
    bool AtRest() const;
    // Calls from index `from` on whose control and property match.
    std::vector<Call> Calls(const std::string& control, const std::string& property,
                            std::size_t from = 0) const;

    // --- Controls -----------------------------------------------------------
    void DrawLine(Surface s, double x1, double y1, double x2, double y2, Colour c) override;
    void Cls(Surface s) override;
    void SetDrawWidth(Surface s, int pixels) override;
    void SetBackColor(Box b, int index, Colour c) override;
    std::int16_t Appearance(Box b) override;
    void SetAppearance(Box b, std::int16_t appearance) override;
    void SetTokVisible(int k, bool visible) override;
    void SetTokBackColor(int k, Colour c) override;
    void SetCaption(Label l, std::string_view text) override;
    void SetImageLeft(Image i, double twips) override;
    void SetImageTop(Image i, double twips) override;
    int SliderValue(Slider s) override;
    float Timer() override;
    bool DoEvents() override;

private:
    void Record(std::string control, std::string property, std::string value);
    std::vector<float> scripted_;
    std::size_t scriptedNext_ = 0;
};

} // namespace kelvara::test
