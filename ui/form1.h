// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The program's one window, built from the layout tables, and the real
// implementation of the controls interface that the simulation drives.
#pragma once

#include "sim/controls.h"
#include "sim/state.h"
#include "ui/frame_pacer.h"
#include "ui/look.h"
#include "ui/run_clock.h"
#include "ui/surface.h"
#include "ui/twips.h"

#include <QHash>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class QPushButton;
class QSlider;

namespace kelvara::ui {

class PictureBox;
class Presenter;
class ScaledStyle;
class SignMarker;

class Form1 : public QWidget, public Controls {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;
    Q_DISABLE_COPY_MOVE(Form1)

    // --- Controls --------------------------------------------------------
    void DrawLine(Surface s, double x1, double y1, double x2, double y2, Colour c) override;
    void Cls(Surface s) override;
    void SetDrawWidth(Surface s, int pixels) override;
    void SetBackColor(Box b, int index, Colour c) override;
    std::int16_t Appearance(Box b) override;
    void SetAppearance(Box b, std::int16_t appearance) override;
    void SetTokVisible(int k, bool visible) override;
    void SetTokBackColor(int k, Colour c) override;
    void SetCaption(Label l, std::string_view text) override;
    void SetImageLeft(Image i, double twips) override;
    void SetImageTop(Image i, double twips) override;
    int SliderValue(Slider s) override;
    float Timer() override;
    bool DoEvents() override;

    // --- For the event layer ---------------------------------------------
    // The simulation state that lives as long as the window.
    SimState& State() { return state_; }

    // Marks the program as ending: from now on DoEvents returns false so
    // every run loop, however deeply nested, returns at once. Hides the
    // window and asks the application's event loop to exit with `exitCode`.
    void RequestEnd(int exitCode = 0);
    bool Ending() const { return ending_; }
    int ExitCode() const { return exitCode_; }

    // On (the default), the run loop's yield waits for the screen's next
    // frame; off, passes follow one another as fast as they can, for tests
    // and benchmarks that count passes.
    void SetPaced(bool paced) { pacer_.SetEnabled(paced); }
    bool Paced() const { return pacer_.Enabled(); }

    // Timer counts from the moment the switch turned on a run while none was
    // active, so that its single precision depends only on how long that run
    // (and any nested in it) lasts, not on how long the window has been open.
    void RestartClock();
    // Where Timer reads the time: nanoseconds of a monotonic clock. Tests put
    // in a clock of their own; the origin moves to its present reading.
    using ClockSource = RunClock::Source;
    void SetClockSource(ClockSource monotonicNanoseconds);

    // --- Freezing a run -----------------------------------------------------
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
    Presenter& Teaching() const { return *presenter_; }

    // The graphs screen.
    bool ShirmaVisible() const;
    void SetShirmaVisible(bool visible);

    // --- Scale ------------------------------------------------------------
    // The mapping the window draws with now: the view scale at which the
    // natural drawing fits the client area whole, centred in it.
    const Twips& Map() const { return map_; }
    // F11: fullscreen for the projector and back.
    void ToggleFullScreen();

    // --- Look -------------------------------------------------------------
    // The projector view (C): every colour and pen width through the
    // projector look, the run and its drawing kept. Off at every start.
    void SetProjectorView(bool on);
    bool ProjectorView() const { return look_.Projector(); }
    const Look& CurrentLook() const { return look_; }

    // --- Lookup (tests, event layer) -------------------------------------
    // A child window by layout name ("picOn", "tok(4)", "sldW", "Command1",
    // "Plus1"), or nullptr for drawn elements and unknown names.
    QWidget* Control(const QString& fullName) const;
    PictureBox* BoxNamed(const QString& fullName) const;
    PictureBox* Pictok(int k) const;
    SignMarker* Tok(int k) const;
    QSlider* SliderControl(Slider s) const { return sliders_[Index(s)]; }
    QPushButton* Command1() const { return command1_; }
    QPushButton* Command4() const { return command4_; }
    PictureBox* PicOn() const { return picOn_; }
    PictureBox* PicShirma() const { return picShirma_; }
    PictureBox* PicR() const { return picR_; }

    // The widget whose surface a run-time surface draws on, its layer and
    // its pen width.
    QWidget* SurfaceWidget(Surface s) const;
    const RetainedLayer& Layer(Surface s) const;

    // Top-left corner of an image marker, in window pixels.
    QPoint ImagePosition(Image i) const;
    QString Caption(Label l) const;

signals:
    void picOnClicked();
    void command1Clicked();
    void command4Clicked();
    void projectorViewChanged(bool on);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // A child window and the layout record it was built from.
    struct Placed {
        const Element* e;
        QWidget* w;
    };

    template <typename E> static std::size_t Index(E e) { return static_cast<std::size_t>(e); }
    void Build(const Element& e);
    const Twips& ContainerMap(const Element& e) const;
    void Place(const Placed& p);
    void ApplyScale();
    void FitToScreen();
    DrawingSurface& SurfaceOf(Surface s);
    static std::size_t CheckedIndex(int k, int count, const char* what);
    bool NothingToDraw() const;
    void FreezeChanged();

    SimState state_;
    Twips map_;
    Look look_;
    DrawingSurface surface_;
    FramePacer pacer_{*this};
    RunClock clock_;
    // The clock's reading for the pass before this one: a frozen pass that
    // reads the same instant has nothing new to draw.
    std::int64_t readingBefore_ = -1;
    std::array<int, 3> slidersRead_{};
    bool passStarted_ = false;
    bool passOnScreen_ = false;
    Presenter* presenter_ = nullptr;
    bool ending_ = false;
    int exitCode_ = 0;

    std::vector<Placed> placed_;
    bool shownOnce_ = false;
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
