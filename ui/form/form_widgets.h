// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The window's contents as the layout tables describe them: every child
// window built and placed, every drawn element on its surface, and the
// table that finds them by layout name.
#pragma once

#include "sim/controls.h"
#include "ui/layout/layout.h"
#include "ui/layout/twips.h"
#include "ui/look/look.h"
#include "ui/paint/surface.h"

#include <QCoreApplication>
#include <QHash>
#include <QPoint>
#include <QSize>
#include <QString>

#include <array>
#include <cstddef>
#include <vector>

class QPushButton;
class QSlider;
class QWidget;

namespace kelvara::ui {

class PictureBox;
class ScaledStyle;
class SignMarker;

class FormWidgets {
    Q_DECLARE_TR_FUNCTIONS(kelvara::ui::FormWidgets)

public:
    // Builds the whole layout into `window`, which owns the child windows
    // and whose own surface this keeps.
    explicit FormWidgets(QWidget& window);
    ~FormWidgets();
    FormWidgets(const FormWidgets&) = delete;
    FormWidgets& operator=(const FormWidgets&) = delete;
    FormWidgets(FormWidgets&&) = delete;
    FormWidgets& operator=(FormWidgets&&) = delete;

    // Places every child and drawn element for the window's map; `drawing`
    // is the drawing's size in pixels at that map.
    void SetMap(const Twips& map, QSize drawing);
    const Twips& Map() const { return map_; }
    // Colours and pens of every element for a look.
    void SetLook(const Look& look);
    // Every caption, hint and accessible name in the language shown now.
    void Retranslate();

    // What the window itself paints: its drawn elements and run-time drawing.
    DrawingSurface& WindowSurface() { return surface_; }
    const DrawingSurface& WindowSurface() const { return surface_; }

    // A child window by layout name ("picOn", "tok(4)", "sldW", "Command1",
    // "Plus1"), or nullptr for drawn elements and unknown names.
    QWidget* Control(const QString& fullName) const;
    PictureBox* BoxNamed(const QString& fullName) const;
    // The control arrays; an index out of range throws IndexError.
    PictureBox* Pictok(int k) const;
    SignMarker* Tok(int k) const;
    QSlider* SliderControl(Slider s) const { return sliders_[Index(s)]; }
    // sldW, sldU, sldR, in the order of the Slider enumeration.
    const std::array<QSlider*, 3>& Sliders() const { return sliders_; }
    QPushButton* Command1() const { return command1_; }
    QPushButton* Command4() const { return command4_; }
    PictureBox* PicOn() const { return picOn_; }
    PictureBox* PicShirma() const { return picShirma_; }
    PictureBox* PicR() const { return picR_; }

    // The widget whose surface a run-time surface draws on, and that surface.
    QWidget* SurfaceWidget(Surface s) const;
    DrawingSurface& SurfaceOf(Surface s);
    const RetainedLayer& Layer(Surface s) const;

    // Drawn items of the window's surface that the program changes.
    int LabelItem(Label l) const { return labels_[Index(l)]; }
    int ImageItem(Image i) const { return images_[Index(i)]; }
    // Top-left corner of an image marker, in window pixels.
    QPoint ImagePosition(Image i) const;
    QString Caption(Label l) const;

    // The graphs screen.
    bool ShirmaVisible() const;
    void SetShirmaVisible(bool visible);

private:
    // A child window and the layout record it was built from.
    struct Placed {
        const Element* e;
        QWidget* w;
    };

    template <typename E> static std::size_t Index(E e) { return static_cast<std::size_t>(e); }
    void Build(const Element& e);
    static void Name(const Element& e, QWidget* w);
    void SetTabOrder();
    const Twips& ContainerMap(const Element& e) const;
    void Place(const Placed& p);
    void TellGraphsState();

    QWidget& window_;
    Twips map_;
    DrawingSurface surface_;
    std::vector<Placed> placed_;
    QHash<QString, QWidget*> controls_;
    QHash<QString, PictureBox*> boxes_;
    std::array<PictureBox*, kPictokCount> pictok_{};
    std::array<SignMarker*, kTokCount> tok_{};
    std::array<QSlider*, 3> sliders_{};
    std::array<int, 2> labels_{};
    std::array<int, 3> images_{};
    QPushButton* command1_ = nullptr;
    QPushButton* command4_ = nullptr;
    PictureBox* picOn_ = nullptr;
    PictureBox* picShirma_ = nullptr;
    PictureBox* picR_ = nullptr;
    PictureBox* picvolt_ = nullptr;
    PictureBox* picamp_ = nullptr;
    // The sliders' style away from the natural size; owned by the window.
    ScaledStyle* sliderStyle_ = nullptr;
};

} // namespace kelvara::ui
