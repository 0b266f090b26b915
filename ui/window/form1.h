// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The program's one window: a shell that holds its parts and wires them.
// It keeps the title, the size and the fit to the screen, fullscreen and the
// look; its contents come from the layout (FormWidgets), the simulation
// drives them through the controls interface (WindowControls), a run's time
// and yield are the run's (RunYield), and what a teacher uses beyond the
// demonstration is the presenter's.
#pragma once

#include "sim/state.h"
#include "ui/controls/window_controls.h"
#include "ui/form/form_widgets.h"
#include "ui/layout/twips.h"
#include "ui/look/look.h"
#include "ui/run/run_yield.h"

#include <QImage>
#include <QWidget>

namespace kelvara::ui {

class Presenter;

class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;
    Q_DISABLE_COPY_MOVE(Form1)

    // --- Parts ----------------------------------------------------------------
    // The simulation state that lives as long as the window.
    SimState& State() { return state_; }
    const SimState& State() const { return state_; }
    FormWidgets& Widgets() { return widgets_; }
    const FormWidgets& Widgets() const { return widgets_; }
    WindowControls& Controls() { return controls_; }
    RunYield& Run() { return run_; }
    const RunYield& Run() const { return run_; }
    Presenter& Teaching() const { return *presenter_; }

    // Marks the program as ending: from now on the run's yield returns false
    // so every run loop, however deeply nested, returns at once. Hides the
    // window and asks the application's event loop to exit with `exitCode`.
    void RequestEnd(int exitCode = 0);
    bool Ending() const { return run_.Ending(); }
    int ExitCode() const { return exitCode_; }

    // The mapping the window draws with now: the view scale at which the
    // natural drawing fits the client area whole, centred in it.
    const Twips& Map() const { return widgets_.Map(); }
    // F11: fullscreen for the projector and back.
    void ToggleFullScreen();

    // The projector view (C): every colour and pen width through the
    // projector look, the run and its drawing kept. Off at every start.
    void SetProjectorView(bool on);
    bool ProjectorView() const { return look_.Projector(); }
    const Look& CurrentLook() const { return look_; }

    // The window's drawing at twice its natural size, whatever the window's
    // own: the view, values, cursor and freeze as shown now.
    QImage Picture();
    static QSize PictureSize() { return Twips::NaturalSize() * 2; }

signals:
    void picOnClicked();
    void command1Clicked();
    void command4Clicked();
    void projectorViewChanged(bool on);
    void mapChanged(const kelvara::ui::Twips& map);
    void lookChanged(const kelvara::ui::Look& look);
    // Every text of the window is in the language shown now.
    void languageChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Describe();
    void ApplyScale();
    void FitToScreen();

    SimState state_;
    Look look_;
    FormWidgets widgets_;
    RunYield run_;
    WindowControls controls_;
    Presenter* presenter_ = nullptr;
    int exitCode_ = 0;
    bool shownOnce_ = false;
};

} // namespace kelvara::ui
