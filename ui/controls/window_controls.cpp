// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/controls/window_controls.h"

#include "sim/errors.h"
#include "ui/form/form_widgets.h"
#include "ui/look/colours.h"
#include "ui/run/run_yield.h"
#include "ui/widgets/box.h"
#include "ui/widgets/marker.h"

#include <QSlider>
#include <QString>

namespace kelvara::ui {

void WindowControls::DrawLine(Surface s, double x1, double y1, double x2, double y2, Colour c) {
    const QRect dirty = widgets_.SurfaceOf(s).Layer().DrawLine(x1, y1, x2, y2, ToQColor(c));
    widgets_.SurfaceWidget(s)->update(dirty);
}

void WindowControls::Cls(Surface s) {
    if (widgets_.SurfaceOf(s).Layer().Clear()) {
        widgets_.SurfaceWidget(s)->update();
    }
}

void WindowControls::SetDrawWidth(Surface s, int pixels) {
    widgets_.SurfaceOf(s).Layer().SetPenWidth(pixels);
}

void WindowControls::SetBackColor(Box b, int index, Colour c) {
    const QColor colour = ToQColor(c);
    switch (b) {
    case Box::pictok:
        widgets_.Pictok(index)->SetBackColor(colour);
        return;
    case Box::picR:
        widgets_.PicR()->SetBackColor(colour);
        return;
    case Box::picOn:
        widgets_.PicOn()->SetBackColor(colour);
        return;
    }
}

PictureBox* WindowControls::WithLook(Box b) const {
    if (b != Box::picOn) {
        throw IndexError("only the switch picOn has a look the program reads or sets");
    }
    return widgets_.PicOn();
}

std::int16_t WindowControls::Appearance(Box b) {
    return WithLook(b)->Appearance();
}

void WindowControls::SetAppearance(Box b, std::int16_t appearance) {
    WithLook(b)->SetAppearance(appearance);
    // The switch's look is how the run loop says that a run starts or stops.
    if (appearance == kAppearance3D) {
        run_.RunStarts();
    } else {
        run_.RunStops();
    }
}

SignMarker* WindowControls::TokShown(int k) const {
    // Checked as the simulation gives it, so an index out of range fails
    // the same way in both views.
    widgets_.Tok(k);
    return widgets_.Tok(electrons_ ? kTokCount - 1 - k : k);
}

void WindowControls::SetElectrons(bool on) {
    if (on == electrons_) {
        return;
    }
    electrons_ = on;
    // Each pair of mirrored markers swaps what it shows.
    for (int k = 0; k < kTokCount / 2; ++k) {
        SignMarker* a = widgets_.Tok(k);
        SignMarker* b = widgets_.Tok(kTokCount - 1 - k);
        const bool aShown = !a->isHidden();
        const QColor aBack = a->BackColor();
        a->SetBackColor(b->BackColor());
        b->SetBackColor(aBack);
        a->setVisible(!b->isHidden());
        b->setVisible(aShown);
    }
    const auto sign = on ? SignMarker::Sign::Minus : SignMarker::Sign::Plus;
    for (int k = 0; k < kTokCount; ++k) {
        widgets_.Tok(k)->SetSign(sign);
    }
}

void WindowControls::SetTokVisible(int k, bool visible) {
    SignMarker* marker = TokShown(k);
    if (marker->isHidden() == visible) {
        marker->setVisible(visible);
    }
}

void WindowControls::SetTokBackColor(int k, Colour c) {
    TokShown(k)->SetBackColor(ToQColor(c));
}

void WindowControls::SetCaption(Label l, std::string_view text) {
    widgets_.WindowSurface().SetCaption(
        widgets_.LabelItem(l), QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void WindowControls::SetImageLeft(Image i, double twips) {
    widgets_.WindowSurface().MoveImageLeft(widgets_.ImageItem(i), twips);
}

void WindowControls::SetImageTop(Image i, double twips) {
    widgets_.WindowSurface().MoveImageTop(widgets_.ImageItem(i), twips);
}

int WindowControls::SliderValue(Slider s) {
    const int value = widgets_.SliderControl(s)->value();
    run_.SliderRead(s, value);
    return value;
}

float WindowControls::Timer() {
    return run_.ReadTime();
}

bool WindowControls::DoEvents() {
    return run_.Yield();
}

} // namespace kelvara::ui
