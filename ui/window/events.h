// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The window's event handlers: the only ways into the program once it runs.
#pragma once

#include "sim/controls.h"
#include "ui/window/window_watch.h"

#include <QObject>
#include <QString>

#include <functional>

namespace kelvara::ui {

class Form1;

class FormEvents : public QObject {
    Q_OBJECT

public:
    // Shows a failure to the user; by default a message box titled "Kelvara".
    using FailureReport = std::function<void(const QString& message)>;

    // `drive`: the controls the handlers give the simulation, the window's
    // own unless a test or benchmark wraps them to watch its passes.
    explicit FormEvents(Form1& form, FailureReport report = {}, Controls* drive = nullptr);

    // Load, show, then let the dials draw their needles at rest.
    void Start();

    void Form_Load();
    void picOn_Click();
    void Command1_Click();
    void Command4_Click();
    void picvolt_Paint();
    void picamp_Paint();

    // How many switch clicks are being handled right now: each run nested in
    // another's yield adds one.
    int SwitchDepth() const { return switchDepth_; }

protected:
    // Closing the window by its frame ends the program as Exit does.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    template <typename Body> void Handle(Body&& body);
    void Fail(const QString& what);

    Form1& form_;
    Controls& drive_;
    FailureReport report_;
    bool failing_ = false;
    int switchDepth_ = 0;
    // The window destroyed by another client ends the program as a close; a
    // session that ends ends it at once, with the code it would end with.
    WindowWatch destroyWatch_;
};

} // namespace kelvara::ui
