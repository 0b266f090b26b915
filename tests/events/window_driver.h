// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Small helpers shared by the tests that drive the real window.
#pragma once

#include "sim/controls.h"
#include "ui/widgets/box.h"
#include "ui/widgets/marker.h"
#include "ui/window/form1.h"

#include <QImage>
#include <QTest>
#include <QTimer>

namespace kelvara::test {

inline void ClickSwitch(ui::Form1& form) {
    QTest::mouseClick(form.Widgets().PicOn(), Qt::LeftButton);
}

// Exit code of a program ended because a test waited too long.
constexpr int kDeadlineExitCode = 99;

// Bounds a wait inside the run loop. If it is still alive `ms` after it was
// made, the running test fails with `what` (at the line that made it) and
// the program is ended, so that every run loop returns at once instead of
// hanging until ctest's timeout.
class Deadline {
public:
    // The failure names the line that made the deadline.
    Deadline(ui::Form1& form, int ms, const char* what, const char* file = __builtin_FILE(),
             int line = __builtin_LINE())
        : form_(form), what_(what), file_(file), line_(line) {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QTest::qFail(what_, file_, line_);
            form_.RequestEnd(kDeadlineExitCode);
        });
        timer_.start(ms);
    }
    Deadline(const Deadline&) = delete;
    Deadline& operator=(const Deadline&) = delete;
    Deadline(Deadline&&) = delete;
    Deadline& operator=(Deadline&&) = delete;
    ~Deadline() = default;

private:
    ui::Form1& form_;
    const char* what_;
    const char* file_;
    int line_;
    QTimer timer_;
};

// Clicks the switch on and returns when every run it started has ended;
// fails with `what` if that takes more than `ms`.
inline void RunUntilOff(ui::Form1& form, int ms, const char* what,
                        const char* file = __builtin_FILE(), int line = __builtin_LINE()) {
    const Deadline deadline(form, ms, what, file, line);
    QTest::mouseClick(form.Widgets().PicOn(), Qt::LeftButton);
}

inline int VisibleToks(const ui::Form1& form) {
    int n = 0;
    for (int k = 0; k < kTokCount; ++k) {
        n += form.Widgets().Tok(k)->isHidden() ? 0 : 1;
    }
    return n;
}

// Non-transparent pixels of a retained layer outside the columns [x0, x1]
// (device pixels); with x0 > x1, all of them.
inline int InkOutsideColumns(const QImage& layer, int x0, int x1) {
    int n = 0;
    for (int y = 0; y < layer.height(); ++y) {
        for (int x = 0; x < layer.width(); ++x) {
            if ((x < x0 || x > x1) && qAlpha(layer.pixel(x, y)) != 0) {
                ++n;
            }
        }
    }
    return n;
}

inline int Ink(const QImage& layer) {
    return InkOutsideColumns(layer, 1, 0);
}

} // namespace kelvara::test
