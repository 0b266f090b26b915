// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The run loop's yield and the time it reads: the run's clock, pacing to
// the screen's frames, and a teacher's freeze and step. The run loop reaches
// it through the controls interface (the clock, the sliders read, the
// yield); the window's handlers ask it to freeze, step or end; it tells the
// rest of the window by signals what a pass has brought.
#pragma once

#include "sim/controls.h"
#include "ui/run/frame_pacer.h"
#include "ui/run/run_clock.h"

#include <QObject>

#include <array>
#include <cstdint>

class QSlider;
class QWidget;

namespace kelvara {
struct SimState;
}

namespace kelvara::ui {

class RunYield : public QObject {
    Q_OBJECT

public:
    // `window` is the top-level window whose screen sets the frame rate;
    // `state` is read to know whether a run is on.
    RunYield(QWidget& window, const SimState& state);

    // The sliders a frozen yield watches: moved, they ask for a pass.
    void WatchSliders(const std::array<QSlider*, 3>& sliders);

    // --- What the run loop calls through the controls interface -----------
    // The clock in seconds, single precision, as the run loop reads it.
    float ReadTime();
    // A slider was read for this pass, at this position.
    void SliderRead(Slider s, int position);
    // Handles the window's events, paced to the screen or held while frozen;
    // false once the program is ending.
    bool Yield();
    // The switch turned on: the run's first pass reaches the screen without
    // waiting for a frame slot. Off: the run's values leave the screen.
    void RunStarts();
    void RunStops();

    // --- The clock ----------------------------------------------------------
    // Counts from the moment the switch turned on a run while none was
    // active, so that its single precision depends only on how long that run
    // (and any nested in it) lasts, not on how long the window has been open.
    void RestartClock();
    // Where the time is read: nanoseconds of a monotonic clock. Tests put in
    // a clock of their own; the origin moves to its present reading.
    using ClockSource = RunClock::Source;
    void SetClockSource(ClockSource monotonicNanoseconds);

    // --- Freezing a run -------------------------------------------------------
    // Frozen, the clock stands at the instant on the screen and the yield
    // handles events without drawing, until something asks for a pass: a
    // step, a slider moved, the freeze ended, the switch or the end.
    bool Frozen() const { return clock_.Frozen(); }
    // Freezes a run that is on, or goes on from a frozen one; false at rest.
    bool ToggleFreeze();
    // While frozen: one frame of run time on, drawn; false otherwise.
    bool StepFrozen();
    // Goes on, if frozen (the switch ends a freeze, as it ends the run).
    void EndFreeze();
    // A pass of the run now on has reached the screen, so the graph points
    // are this run's.
    bool PassOnScreen() const { return passOnScreen_; }
    // While frozen: the pass on the screen shows the instant the clock is
    // held at. A pass reads the clock before it yields and draws after, so
    // a step reaches the screen one pass after it was asked for.
    bool HeldInstantOnScreen() const {
        return clock_.Frozen() && passOnScreen_ && onScreenReading_ == clock_.HeldAt();
    }
    // The run time of the pass on the screen as its run loop reckoned it
    // (the clock read for the pass less the run's first reading, single
    // precision), and the sliders it read: what its graphs were drawn from.
    struct PassRead {
        float elapsed = 0;
        std::array<int, 3> sliders{}; // sldW, sldU, sldR
    };
    const PassRead& OnScreenRead() const { return onScreenRead_; }

    // --- Pacing ---------------------------------------------------------------
    // On (the default), the yield waits for the screen's next frame; off,
    // passes follow one another as fast as they can, for tests and
    // benchmarks that count passes.
    void SetPaced(bool paced) { pacer_.SetEnabled(paced); }
    bool Paced() const { return pacer_.Enabled(); }

    // --- Ending ---------------------------------------------------------------
    // From now on Yield returns false, so every run loop, however deeply
    // nested, returns at once.
    void End() { ending_ = true; }
    bool Ending() const { return ending_; }

signals:
    // What the screen shows of a run may have changed: a pass is about to
    // reach it, or a run started or stopped.
    void passChanged();
    void freezeChanged(bool frozen);

private:
    bool NothingToDraw() const;
    void PassFlagsCleared();

    const SimState& state_;
    FramePacer pacer_;
    RunClock clock_;
    std::array<QSlider*, 3> sliders_{};
    // The clock's reading for the pass before this one: a frozen pass that
    // reads the same instant has nothing new to draw.
    std::int64_t readingBefore_ = -1;
    // The clock's reading of the pass on the screen.
    std::int64_t onScreenReading_ = -1;
    std::array<int, 3> slidersRead_{};
    // A run's first reading of the clock is its start; each pass counts
    // from it.
    bool runStarting_ = false;
    float runStart_ = 0;
    float elapsedBefore_ = 0;
    float elapsed_ = 0;
    PassRead onScreenRead_;
    bool passStarted_ = false;
    bool passOnScreen_ = false;
    bool ending_ = false;
};

} // namespace kelvara::ui
