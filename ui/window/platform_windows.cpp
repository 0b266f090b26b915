// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Windows: Qt's windows platform, built into the program.
#include "ui/window/platform.h"

#include <QApplication>
#include <QByteArray>
#include <QString>
#include <QStyle>
#include <QStyleFactory>

#include <windows.h>

namespace kelvara::ui::platform {

// Qt's FreeType font engine draws the built-in fonts with the same glyphs
// as on Linux; the system's engine would hint and smooth them otherwise.
void BeforeApplication() {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "windows:fontengine=freetype");
    }
}

// One look on every system: Fusion with its own palette, as Qt draws the
// window on Linux. The Windows style's sliders and Windows' button face
// would make the projected window differ from the one a teacher prepared.
void AfterApplication() {
    QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"));
    if (fusion != nullptr) {
        QApplication::setStyle(fusion);
        QApplication::setPalette(fusion->standardPalette());
    }
}

bool DisplayUnreachable(const QString& /*category*/, const QString& /*text*/) {
    return false;
}

// A session that ends (log off, shut down) sends each top-level window
// WM_ENDSESSION; once it is answered, Windows may end the process at once.
OutsideEnd EndFromOutside(const QByteArray& eventType, void* message, WId own) {
    if (eventType != "windows_generic_MSG") {
        return OutsideEnd::None;
    }
    const auto* msg = static_cast<const MSG*>(message);
    if (msg->message != WM_ENDSESSION || msg->wParam == FALSE || own == 0 ||
        reinterpret_cast<WId>(msg->hwnd) != own) {
        return OutsideEnd::None;
    }
    return OutsideEnd::SessionEnding;
}

void EndProcessNow(int code) {
    // Nothing is kept to be saved; the process must not be killed half-way
    // through the unwinding of a run, with another exit code.
    ::ExitProcess(static_cast<UINT>(code));
}

} // namespace kelvara::ui::platform
