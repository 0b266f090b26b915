// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// What the program writes, and only when the user saves: a picture or the
// sweep's numbers, into a file named in Qt's file dialog. A file is written
// whole or not at all: into a temporary file beside it, which takes the
// name only once complete (QSaveFile), so an old file of that name is either
// kept whole or replaced whole, and only after the user said so. Whatever
// fails is told in a message box in the language shown, and leaves no file.
//
// The dialog and the message boxes wait for the user; tests put in a
// chooser and messages of their own.
#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <functional>

class QByteArray;
class QWidget;

namespace kelvara::ui {

class FileSaver {
    Q_DECLARE_TR_FUNCTIONS(kelvara::ui::FileSaver)

public:
    enum class Kind : std::uint8_t { Picture, Data };

    // What the file dialog is asked: its kind, the folder it opens in and
    // the name it proposes.
    struct Request {
        Kind kind = Kind::Picture;
        QString folder;
        QString name;
    };
    // The path chosen, or empty where the user cancelled.
    using Chooser = std::function<QString(const Request& request)>;
    // A question answered yes (true) or no, and a message to read.
    struct Messages {
        std::function<bool(const QString& question)> confirm;
        std::function<void(const QString& message)> warn;
        std::function<void(const QString& message)> inform;
    };

    // `parent`: the window the dialogs belong to.
    explicit FileSaver(QWidget& parent);

    void SetChooser(Chooser chooser);
    void SetMessages(Messages messages);

    // Asks where, then writes `bytes` there. The path written, or empty
    // where the user cancelled or the writing failed (and was told).
    QString Save(Kind kind, const QByteArray& bytes,
                 const QDateTime& now = QDateTime::currentDateTime());
    // A message that needs no answer.
    void Inform(const QString& message) const;

    // Where the dialog opens: the last folder saved into while the program
    // runs, else the user's Pictures folder (Documents for the numbers).
    QString Folder(Kind kind) const;
    // kelvara-YYYY-MM-DD-HHMMSS.png, or .csv.
    static QString ProposedName(Kind kind, const QDateTime& when);

private:
    // Empty when written, else what went wrong.
    static QString Write(const QString& path, const QByteArray& bytes);

    QWidget& parent_;
    Chooser chooser_;
    Messages messages_;
    QString lastFolder_;
};

} // namespace kelvara::ui
