// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The real implementation of the controls interface that the simulation
// drives: its calls land on the window's widgets and surfaces, and its
// clock, slider reads and yield on the run's yield.
#pragma once

#include "sim/controls.h"

namespace kelvara::ui {

class FormWidgets;
class PictureBox;
class RunYield;
class SignMarker;

class WindowControls : public Controls {
public:
    WindowControls(FormWidgets& widgets, RunYield& run) : widgets_(widgets), run_(run) {}

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

    // The charges as electrons: the marker that the simulation addresses as
    // k shows at 38 - k, the group mirrored along the wire so that it moves
    // against the current, with minus signs. What shows changes sides at
    // once, so a run or a freeze goes on from the same picture.
    void SetElectrons(bool on);
    bool Electrons() const { return electrons_; }

private:
    SignMarker* TokShown(int k) const;
    // The program changes the look of the switch alone (picOn_Click); any
    // other box is an IndexError.
    PictureBox* WithLook(Box b) const;

    FormWidgets& widgets_;
    RunYield& run_;
    bool electrons_ = false;
};

} // namespace kelvara::ui
