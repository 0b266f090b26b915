// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Helpers shared by the stress tests.
#pragma once

#include "recording_controls.h"
#include "sim/controls.h"

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

namespace kelvara::test {

#ifdef KELVARA_STRESS_SANITIZED
constexpr bool kSanitizedBuild = true;
#else
constexpr bool kSanitizedBuild = false;
#endif

// The power trace's segment is the last thing every pass draws: when it
// appears, a pass has just ended.
constexpr Colour kPowerTraceColour = RGB(0, 0, 0);

// First index of the visible charge group, if exactly five consecutive
// markers are visible and no other.
inline std::optional<int> VisibleGroupStart(const RecordingControls& ctl) {
    if (ctl.VisibleTokCount() != 5) {
        return std::nullopt;
    }
    const auto& visible = ctl.tokVisible;
    for (std::size_t k = 0; k + 4 < visible.size(); ++k) {
        if (visible.at(k)) {
            for (std::size_t j = 1; j < 5; ++j) {
                if (!visible.at(k + j)) {
                    return std::nullopt;
                }
            }
            return static_cast<int>(k);
        }
    }
    return std::nullopt;
}

// Seed for a randomised test: KELVARA_STRESS_SEED if set, else `fallback`.
inline std::uint32_t StressSeed(std::uint32_t fallback) {
    const char* env = std::getenv("KELVARA_STRESS_SEED");
    return env != nullptr ? static_cast<std::uint32_t>(std::stoul(env)) : fallback;
}

} // namespace kelvara::test
