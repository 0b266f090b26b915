#include "ui/platform_guard.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace kelvara::ui {

namespace {

QtMessageHandler previousHandler = nullptr;
QStringList* heldMessages = nullptr;

void HoldMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) {
        std::fputs("kelvara: cannot open the window: no display could be reached "
                   "(is DISPLAY set?)\n",
                   stderr);
        std::fflush(stderr);
        std::_Exit(2);
    }
    if (heldMessages != nullptr) {
        heldMessages->append(qFormatLogMessage(type, context, message));
    }
}

} // namespace

void BeginPlatformGuard() {
    static QStringList held;
    heldMessages = &held;
    previousHandler = qInstallMessageHandler(HoldMessage);
}

void EndPlatformGuard() {
    qInstallMessageHandler(previousHandler);
    if (heldMessages != nullptr) {
        for (const QString& line : *heldMessages) {
            std::fprintf(stderr, "%s\n", qPrintable(line));
        }
        heldMessages->clear();
        heldMessages = nullptr;
    }
}

} // namespace kelvara::ui
