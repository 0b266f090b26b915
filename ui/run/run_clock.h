// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The clock that a run's time is read from, and that a teacher can stop.
//
// It counts nanoseconds of a monotonic source from an origin. Frozen, it
// stands at the instant last read, so the picture on the screen is the
// one that stays; a step moves it on by one frame of run time; resumed, it
// goes on from where it stood, so time spent frozen never counts and
// nothing jumps.
#pragma once

#include <cstdint>
#include <functional>

namespace kelvara::ui {

class RunClock {
public:
    using Source = std::function<std::int64_t()>;

    // One step: a frame of run time at 60 frames a second.
    static constexpr int kStepsPerSecond = 60;

    // Where the time comes from; the origin moves to its present reading.
    void SetSource(Source monotonicNanoseconds);
    // Counts from now again, running.
    void Restart();

    // Nanoseconds since the origin, less the time spent frozen; remembered
    // as the last reading.
    std::int64_t Read();
    std::int64_t LastReading() const { return last_; }

    bool Frozen() const { return frozen_; }
    // Stands still at the last reading.
    void Freeze();
    // Goes on from the instant it stands at.
    void Resume();
    // While frozen: one frame later. Steps are counted, so that sixty of
    // them are exactly one second.
    void Step();
    // Where a frozen clock stands.
    std::int64_t HeldAt() const;

private:
    Source source_;
    std::int64_t origin_ = 0;
    std::int64_t last_ = 0;
    std::int64_t heldAt_ = 0;
    std::int64_t steps_ = 0;
    bool frozen_ = false;
};

} // namespace kelvara::ui
