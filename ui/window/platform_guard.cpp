// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/window/platform_guard.h"

#include "ui/window/platform.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace kelvara::ui {

namespace {

struct HeldMessage {
    QString category;
    QString text;
    QString formatted;
};

QtMessageHandler previousHandler = nullptr;
QList<HeldMessage>* heldMessages = nullptr;

[[noreturn]] void ExitWith(const QString& lines, int code) {
    std::fputs(qPrintable(lines), stderr);
    std::fflush(stderr);
    std::_Exit(code);
}

bool DisplayUnreachable(const QList<HeldMessage>& held) {
    for (const HeldMessage& m : held) {
        if (platform::DisplayUnreachable(m.category, m.text)) {
            return true;
        }
    }
    return false;
}

// What Qt said about the platform plugins, on at most two lines: why none
// could be started, then which ones there are.
QString PlatformFailure(const QList<HeldMessage>& held, const QString& fatal) {
    QStringList reasons;
    for (const HeldMessage& m : held) {
        if (m.category == QLatin1String("qt.qpa.plugin")) {
            reasons << m.text.simplified();
        }
    }
    QString available;
    for (const QString& line : fatal.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Available platform plugins"))) {
            available = line.simplified();
        }
    }
    if (reasons.isEmpty()) {
        reasons << fatal.section(QLatin1Char('\n'), 0, 0).simplified();
    }
    QString out = QStringLiteral("kelvara: cannot open the window: %1\n")
                      .arg(reasons.join(QLatin1String("; ")));
    if (!available.isEmpty()) {
        out += QStringLiteral("kelvara: %1\n").arg(available);
    }
    return out;
}

void HoldMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) {
        const QList<HeldMessage> held =
            heldMessages != nullptr ? *heldMessages : QList<HeldMessage>{};
        if (DisplayUnreachable(held)) {
            ExitWith(QStringLiteral("kelvara: cannot open the window: no display could be reached "
                                    "(is DISPLAY set?)\n"),
                     kExitNoDisplay);
        }
        ExitWith(PlatformFailure(held, message), kExitNoPlatform);
    }
    if (heldMessages != nullptr) {
        heldMessages->append(
            {QString::fromLatin1(context.category != nullptr ? context.category : ""), message,
             qFormatLogMessage(type, context, message)});
    }
}

} // namespace

void BeginPlatformGuard() {
    static QList<HeldMessage> held;
    heldMessages = &held;
    previousHandler = qInstallMessageHandler(HoldMessage);
}

void EndPlatformGuard() {
    qInstallMessageHandler(previousHandler);
    if (heldMessages != nullptr) {
        for (const HeldMessage& m : *heldMessages) {
            std::fprintf(stderr, "%s\n", qPrintable(m.formatted));
        }
        heldMessages->clear();
        heldMessages = nullptr;
    }
}

} // namespace kelvara::ui
