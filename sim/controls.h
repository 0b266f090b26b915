// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The narrow window interface that the simulation and the displays use.
//
// Everything the run loop and the display procedures do to the window goes
// through this class, so that they stay free of any GUI toolkit and can be
// driven by a recording fake in tests. Controls keep their layout names;
// coordinates are twips of the surface concerned, colours 0x00BBGGRR.
#pragma once

#include <cstdint>
#include <string_view>

namespace kelvara {

// 24-bit colour as the program stores it: 0x00BBGGRR (red in the low byte).
using Colour = std::uint32_t;

constexpr Colour RGB(int r, int g, int b) {
    return static_cast<Colour>(r) | (static_cast<Colour>(g) << 8) | (static_cast<Colour>(b) << 16);
}
constexpr int RedOf(Colour c) {
    return static_cast<int>(c & 0xFFu);
}
constexpr int GreenOf(Colour c) {
    return static_cast<int>((c >> 8) & 0xFFu);
}
constexpr int BlueOf(Colour c) {
    return static_cast<int>((c >> 16) & 0xFFu);
}

// Surfaces that run-time drawing goes onto.
enum class Surface : std::uint8_t { Form1, picvolt, picamp };

// Picture boxes whose background colour or look the program sets.
// `pictok` is a control array (index 0..8); the others take index 0.
enum class Box : std::uint8_t { pictok, picR, picOn };

enum class Slider : std::uint8_t { sldW, sldU, sldR };

enum class Label : std::uint8_t { Label11, Label12 };

enum class Image : std::uint8_t { imgU, imgI, imgP };

constexpr int kPictokCount = 9;
constexpr int kTokCount = 39;

// Appearance of a picture box: flat or with a sunken three-dimensional edge.
constexpr std::int16_t kAppearanceFlat = 0;
constexpr std::int16_t kAppearance3D = 1;

class Controls {
public:
    virtual ~Controls() = default;

    // Draws a solid line with the surface's own pen width. Coordinates are
    // twips of that surface and always whole numbers.
    virtual void DrawLine(Surface s, double x1, double y1, double x2, double y2, Colour c) = 0;
    // Clears what was drawn at run time; child controls are not affected.
    virtual void Cls(Surface s) = 0;
    virtual void SetDrawWidth(Surface s, int pixels) = 0;

    virtual void SetBackColor(Box b, int index, Colour c) = 0;
    virtual std::int16_t Appearance(Box b) = 0;
    virtual void SetAppearance(Box b, std::int16_t appearance) = 0;

    // Charge markers tok(0..38).
    virtual void SetTokVisible(int k, bool visible) = 0;
    virtual void SetTokBackColor(int k, Colour c) = 0;

    virtual void SetCaption(Label l, std::string_view text) = 0;

    virtual void SetImageLeft(Image i, double twips) = 0;
    virtual void SetImageTop(Image i, double twips) = 0;

    virtual int SliderValue(Slider s) = 0;

    // Seconds, single precision, from a clock that only moves forwards.
    virtual float Timer() = 0;
    // Handles every pending window event, then returns. Returns false once the
    // program is ending (Exit, window closed, failure): callers must then
    // return at once without drawing anything more.
    virtual bool DoEvents() = 0;
};

} // namespace kelvara
