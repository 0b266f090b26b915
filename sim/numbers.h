// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Number handling shared by the simulation and the displays.
#pragma once

#include "sim/controls.h"
#include "sim/errors.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace kelvara {

// Rounds towards minus infinity, also for negative values: Int(-0.3) is -1.
inline double Int(double x) {
    return std::floor(x);
}

// Converts a whole-valued real to an integer type, rounding to the nearest
// (ties to even) and refusing values that do not fit instead of wrapping.
template <typename T> T ToInteger(double x) {
    const double r = std::nearbyint(x);
    if (!(r >= static_cast<double>(std::numeric_limits<T>::min()) &&
          r <= static_cast<double>(std::numeric_limits<T>::max()))) {
        throw OverflowError("overflow: value does not fit its integer type");
    }
    return static_cast<T>(r);
}

// RGB with its components checked: a component outside 0..255 is a failure,
// never a silently wrapped colour.
inline Colour CheckedRGB(double r, double g, double b) {
    const auto component = [](double v) {
        if (!(v >= 0 && v <= 255)) {
            throw OverflowError("colour component outside 0..255");
        }
        return static_cast<int>(std::nearbyint(v));
    };
    return RGB(component(r), component(g), component(b));
}

} // namespace kelvara
