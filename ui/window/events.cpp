// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/window/events.h"

#include "display/meters.h"
#include "sim/run.h"
#include "sim/state.h"
#include "ui/window/form1.h"

#include <QEvent>
#include <QMessageBox>
#include <QScopeGuard>

#include <exception>
#include <iostream>

namespace kelvara::ui {

FormEvents::FormEvents(Form1& form, FailureReport report, Controls* drive)
    : QObject(&form), form_(form), drive_(drive != nullptr ? *drive : form.Controls()),
      report_(std::move(report)), destroyWatch_(form, [this](platform::OutsideEnd end) {
          if (!form_.Ending()) {
              form_.RequestEnd(failing_ ? 1 : 0);
          }
          if (end == platform::OutsideEnd::SessionEnding) {
              platform::EndProcessNow(form_.ExitCode());
          }
      }) {
    if (!report_) {
        report_ = [this](const QString& message) {
            QMessageBox::critical(&form_, QStringLiteral("Kelvara"), message);
        };
    }
    connect(&form_, &Form1::picOnClicked, this, &FormEvents::picOn_Click);
    connect(&form_, &Form1::command1Clicked, this, &FormEvents::Command1_Click);
    connect(&form_, &Form1::command4Clicked, this, &FormEvents::Command4_Click);
    form_.installEventFilter(this);
}

void FormEvents::Start() {
    Form_Load();
    if (form_.Ending()) {
        return;
    }
    form_.show();
    picvolt_Paint();
    picamp_Paint();
}

// Every handler runs through here: once the program is ending no handler
// starts any more, and an error ends the program with a report instead of
// unwinding through Qt's event dispatch.
template <typename Body> void FormEvents::Handle(Body&& body) {
    if (form_.Ending() || failing_) {
        return;
    }
    try {
        body();
    } catch (const std::exception& e) {
        Fail(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        Fail(QStringLiteral("unknown error"));
    }
}

void FormEvents::Fail(const QString& what) {
    // Keep other handlers out while the report is on screen.
    failing_ = true;
    const QString message = tr("Работа Kelvara прервана из-за ошибки: %1").arg(what);
    std::cerr << "kelvara: error: " << what.toStdString() << std::endl;
    report_(message);
    form_.RequestEnd(1);
}

void FormEvents::Form_Load() {
    Handle([this] { kelvara::Form_Load(form_.State(), drive_); });
}

void FormEvents::picOn_Click() {
    Handle([this] {
        // The switch ends a freeze, whichever way it goes.
        form_.Run().EndFreeze();
        // A run that starts while none is active starts the clock afresh; one
        // nested in another's yield reads on from the same origin.
        if (switchDepth_ == 0 && drive_.Appearance(Box::picOn) == kAppearanceFlat) {
            form_.Run().RestartClock();
        }
        ++switchDepth_;
        const auto leave = qScopeGuard([this] { --switchDepth_; });
        kelvara::picOn_Click(form_.State(), drive_);
    });
}

void FormEvents::Command1_Click() {
    Handle([this] { form_.RequestEnd(0); });
}

void FormEvents::Command4_Click() {
    Handle([this] { form_.Widgets().SetShirmaVisible(!form_.Widgets().ShirmaVisible()); });
}

void FormEvents::picvolt_Paint() {
    Handle([this] { kelvara::picvolt_Paint(drive_); });
}

void FormEvents::picamp_Paint() {
    Handle([this] { kelvara::picamp_Paint(drive_); });
}

bool FormEvents::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &form_ && event->type() == QEvent::Close && !form_.Ending()) {
        form_.RequestEnd(0);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kelvara::ui
