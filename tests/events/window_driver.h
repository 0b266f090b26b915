// Small helpers shared by the tests that drive the real window.
#pragma once

#include "sim/controls.h"
#include "ui/box.h"
#include "ui/form1.h"
#include "ui/marker.h"

#include <QImage>
#include <QTest>

namespace kelvara::test {

inline void ClickSwitch(ui::Form1& form) {
    QTest::mouseClick(form.PicOn(), Qt::LeftButton);
}

inline int VisibleToks(const ui::Form1& form) {
    int n = 0;
    for (int k = 0; k < kTokCount; ++k) {
        n += form.Tok(k)->isHidden() ? 0 : 1;
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
