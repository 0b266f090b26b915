// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The colours whose values carry meaning: the run loop writes them, and the
// window knows them again by their values (the projector view shows the
// heat on its own scale and the switch off in its own grey). Each is
// defined here once, and a heat colour is read back only by HeatOfColour, the
// inverse of ColourOfHeat, so that changing one cannot silently switch the
// projector's glow off.
#pragma once

#include "sim/controls.h"
#include "sim/numbers.h"

#include <cstdint>
#include <optional>

namespace kelvara {

// The On switch's background.
inline constexpr Colour kSwitchOnColour = RGB(255, 255, 0);
inline constexpr Colour kSwitchOffColour = RGB(192, 192, 192);

// What glows with the current: the wire and its charges from white to red,
// the resistor from white to yellow.
enum class Heated : std::uint8_t { Wire, Resistor };

// The colour of a heat level (0..255): the wire RGB(255, 255 - H, 255 - H),
// the resistor RGB(255, 255, 255 - H); white at rest. A level outside
// 0..255 is a failure (OverflowError), never a wrapped colour.
inline Colour ColourOfHeat(Heated what, double HeatLevel) {
    if (what == Heated::Wire) {
        return CheckedRGB(255, 255 - HeatLevel, 255 - HeatLevel);
    }
    return CheckedRGB(255, 255, 255 - HeatLevel);
}

// The heat level that ColourOfHeat gives `c` for, or nothing for a colour it
// never gives.
inline std::optional<int> HeatOfColour(Heated what, Colour c) {
    if (RedOf(c) != 255) {
        return std::nullopt;
    }
    if (what == Heated::Wire) {
        if (GreenOf(c) != BlueOf(c)) {
            return std::nullopt;
        }
        return 255 - GreenOf(c);
    }
    if (GreenOf(c) != 255) {
        return std::nullopt;
    }
    return 255 - BlueOf(c);
}

} // namespace kelvara
