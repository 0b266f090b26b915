// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/run/run_yield.h"

#include "sim/state.h"

#include <QCoreApplication>
#include <QSlider>

#include <chrono>
#include <utility>

namespace kelvara::ui {

RunYield::RunYield(QWidget& window, const SimState& state) : state_(state), pacer_(window) {
    SetClockSource([] {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    });
}

void RunYield::WatchSliders(const std::array<QSlider*, 3>& sliders) {
    sliders_ = sliders;
}

float RunYield::ReadTime() {
    readingBefore_ = clock_.LastReading();
    elapsedBefore_ = elapsed_;
    const auto now = static_cast<float>(static_cast<double>(clock_.Read()) / 1e9);
    if (runStarting_) {
        runStarting_ = false;
        runStart_ = now;
    }
    // As the run loop subtracts: in single precision.
    elapsed_ = now - runStart_;
    return now;
}

void RunYield::SliderRead(Slider s, int position) {
    slidersRead_[static_cast<std::size_t>(s)] = position;
}

void RunYield::RunStarts() {
    runStarting_ = true;
    pacer_.SkipNextWait();
    PassFlagsCleared();
}

void RunYield::RunStops() {
    PassFlagsCleared();
}

void RunYield::PassFlagsCleared() {
    passStarted_ = false;
    passOnScreen_ = false;
    emit passChanged();
}

bool RunYield::Yield() {
    // The pass before this one is on the screen now: its values with it.
    passOnScreen_ = passStarted_;
    onScreenReading_ = readingBefore_;
    onScreenRead_ = {elapsedBefore_, slidersRead_};
    passStarted_ = true;
    emit passChanged();
    QCoreApplication::processEvents();
    if (clock_.Frozen()) {
        // Frozen: no frames, only events, until one of them asks for a pass.
        while (NothingToDraw()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    } else {
        pacer_.WaitForNextFrame(ending_);
    }
    return !ending_;
}

void RunYield::RestartClock() {
    clock_.Restart();
    readingBefore_ = -1;
}

void RunYield::SetClockSource(ClockSource monotonicNanoseconds) {
    clock_.SetSource(std::move(monotonicNanoseconds));
    readingBefore_ = -1;
}

bool RunYield::ToggleFreeze() {
    if (clock_.Frozen()) {
        clock_.Resume();
    } else if (state_.Running == 1 && !ending_) {
        clock_.Freeze();
    } else {
        return false;
    }
    emit freezeChanged(clock_.Frozen());
    return true;
}

bool RunYield::StepFrozen() {
    if (!clock_.Frozen()) {
        return false;
    }
    clock_.Step();
    return true;
}

void RunYield::EndFreeze() {
    if (clock_.Frozen()) {
        clock_.Resume();
        emit freezeChanged(false);
    }
}

// Frozen, a pass that would draw the instant already on the screen with the
// sliders it was drawn with draws nothing new.
bool RunYield::NothingToDraw() const {
    if (ending_ || !clock_.Frozen() || state_.Running != 1) {
        return false;
    }
    const std::int64_t reading = clock_.LastReading();
    if (reading != readingBefore_ || reading != clock_.HeldAt()) {
        return false;
    }
    for (std::size_t i = 0; i < sliders_.size(); ++i) {
        if (sliders_[i] != nullptr && sliders_[i]->value() != slidersRead_[i]) {
            return false;
        }
    }
    return true;
}

} // namespace kelvara::ui
