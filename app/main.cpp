// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Kelvara: alternating current through a resistor, as a classroom window.
#include "ui/lang/language.h"
#include "ui/look/fonts.h"
#include "ui/window/events.h"
#include "ui/window/form1.h"
#include "ui/window/platform.h"
#include "ui/window/platform_guard.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    kelvara::ui::platform::BeforeApplication();
    kelvara::ui::BeginPlatformGuard();
    QApplication app(argc, argv);
    kelvara::ui::EndPlatformGuard();
    kelvara::ui::platform::AfterApplication();
    kelvara::ui::PinFontSubstitutes();
    // The system's language where the program speaks it, else Russian.
    kelvara::ui::SetLanguage(kelvara::ui::PreferredLanguage());

    kelvara::ui::Form1 form;
    kelvara::ui::FormEvents events(form);
    events.Start();
    if (form.Ending()) { // the load step failed and has been reported
        return form.ExitCode();
    }
    const int code = QApplication::exec();
    return form.Ending() ? form.ExitCode() : code;
}
