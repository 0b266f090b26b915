// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/run/run_clock.h"

#include <cmath>
#include <utility>

namespace kelvara::ui {

void RunClock::SetSource(Source monotonicNanoseconds) {
    source_ = std::move(monotonicNanoseconds);
    Restart();
}

void RunClock::Restart() {
    frozen_ = false;
    origin_ = source_();
    last_ = 0;
}

std::int64_t RunClock::HeldAt() const {
    constexpr double kStepNs = 1e9 / kStepsPerSecond;
    return heldAt_ + std::llround(static_cast<double>(steps_) * kStepNs);
}

std::int64_t RunClock::Read() {
    last_ = frozen_ ? HeldAt() : source_() - origin_;
    return last_;
}

void RunClock::Freeze() {
    if (frozen_) {
        return;
    }
    heldAt_ = last_;
    steps_ = 0;
    frozen_ = true;
}

void RunClock::Resume() {
    if (!frozen_) {
        return;
    }
    origin_ = source_() - HeldAt();
    frozen_ = false;
}

void RunClock::Step() {
    if (frozen_) {
        ++steps_;
    }
}

} // namespace kelvara::ui
