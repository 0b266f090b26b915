// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Paces the run loop's yield to the screen: after the pending events have
// been handled and the pass has been painted, the yield goes on handling
// events as they come until the next slot of a fixed frame grid. Passes the
// screen could never show are not computed, and clicks are still handled the
// moment they arrive.
#pragma once

#include <QBasicTimer>
#include <QObject>

#include <chrono>

class QWidget;

namespace kelvara::ui {

class FramePacer : public QObject {
public:
    using Clock = std::chrono::steady_clock;

    // `window` is the top-level window whose screen sets the frame rate and
    // whose being minimised slows the grid down.
    explicit FramePacer(QWidget& window);

    // Off: the yield only handles the pending events and returns, so passes
    // follow one another as fast as they can (for tests and benchmarks that
    // count passes).
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    bool Enabled() const { return enabled_; }

    // The next wait returns at once: a run that has just been switched on
    // must show its first pass without delay.
    void SkipNextWait() { skipNext_ = true; }

    // Handles events as they arrive until the next frame slot, or until
    // `ending` turns true (the program is ending).
    void WaitForNextFrame(const bool& ending);

    // The grid's period for the window's screen now: 1 / refresh rate, or
    // 1/60 s where the screen does not say.
    Clock::duration FramePeriod() const;

    // While the window cannot be seen the run slows to this period.
    static constexpr std::chrono::milliseconds kHiddenPeriod{250};

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    bool WindowHidden() const;
    void Arm(Clock::duration remaining);

    QWidget& window_;
    QBasicTimer timer_;
    Clock::time_point next_{};
    bool enabled_ = true;
    bool skipNext_ = false;
};

} // namespace kelvara::ui
