// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/run/frame_pacer.h"

#include <QCoreApplication>
#include <QScreen>
#include <QTimerEvent>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace kelvara::ui {

namespace {

constexpr double kDefaultHz = 60;

} // namespace

FramePacer::FramePacer(QWidget& window) : window_(window) {}

FramePacer::Clock::duration FramePacer::FramePeriod() const {
    double hz = kDefaultHz;
    if (const QScreen* screen = window_.screen(); screen != nullptr) {
        const double rate = screen->refreshRate();
        // Some virtual screens report nothing or nonsense.
        if (rate >= 20 && rate <= 1000) {
            hz = rate;
        }
    }
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / hz));
}

bool FramePacer::WindowHidden() const {
    if (!window_.isVisible() || window_.isMinimized()) {
        return true;
    }
    const QWindow* handle = window_.windowHandle();
    return handle != nullptr && !handle->isExposed();
}

void FramePacer::Arm(Clock::duration remaining) {
    if (timer_.isActive()) {
        return;
    }
    // Whole milliseconds, rounded up: a precise timer then fires at or just
    // after the deadline, never a frame early.
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(remaining);
    timer_.start(static_cast<int>(std::max<std::int64_t>(1, ms.count())), Qt::PreciseTimer, this);
}

void FramePacer::timerEvent(QTimerEvent* event) {
    if (event->timerId() == timer_.timerId()) {
        timer_.stop(); // one shot: the wait re-arms it for what remains
        return;
    }
    QObject::timerEvent(event);
}

void FramePacer::WaitForNextFrame(const bool& ending) {
    if (!enabled_ || ending) {
        return;
    }
    Clock::time_point now = Clock::now();
    const Clock::duration period = WindowHidden() ? Clock::duration(kHiddenPeriod) : FramePeriod();
    if (skipNext_) {
        skipNext_ = false;
        next_ = now + period;
        return;
    }
    if (now >= next_) {
        // Late: a pass that fell more than a frame behind restarts the grid
        // rather than racing to catch up.
        next_ = now - next_ > period ? now + period : next_ + period;
        return;
    }
    Clock::time_point deadline = next_;
    Clock::duration step = period;
    while (!ending) {
        now = Clock::now();
        // Shown again while waiting out a slow, hidden slot: go now, so the
        // picture is current the moment it can be seen, and restart the grid
        // here at the frame rate; keeping the hidden slot's end would let the
        // passes until then run unpaced.
        if (deadline - now > FramePeriod() && !WindowHidden()) {
            deadline = now;
            next_ = now;
            step = FramePeriod();
        }
        if (now >= deadline) {
            break;
        }
        Arm(deadline - now);
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    timer_.stop();
    next_ = std::max(next_, deadline + step);
}

} // namespace kelvara::ui
