// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/files/file_saver.h"

#include <QByteArray>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardPaths>
#include <QWidget>

#include <utility>

namespace kelvara::ui {

namespace {

QString Suffix(FileSaver::Kind kind) {
    return kind == FileSaver::Kind::Picture ? QStringLiteral("png") : QStringLiteral("csv");
}

// The file name as the user sees it, without the folder.
QString Shown(const QString& path) {
    return QFileInfo(path).fileName();
}

} // namespace

FileSaver::FileSaver(QWidget& parent) : parent_(parent) {
    // Qt's own dialog, so that its texts are the program's, in the language
    // shown; it asks nothing about replacing, which Save does.
    chooser_ = [this](const Request& r) {
        const bool picture = r.kind == Kind::Picture;
        QFileDialog dialog(&parent_, picture ? tr("Сохранить рисунок") : tr("Сохранить данные"),
                           QDir(r.folder).filePath(r.name),
                           picture ? tr("Рисунок PNG (*.png)") : tr("Таблица CSV (*.csv)"));
        dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(Suffix(r.kind));
        dialog.setLabelText(QFileDialog::LookIn, tr("Папка:"));
        dialog.setLabelText(QFileDialog::FileName, tr("Имя файла:"));
        dialog.setLabelText(QFileDialog::FileType, tr("Тип файла:"));
        dialog.setLabelText(QFileDialog::Accept, tr("Сохранить"));
        dialog.setLabelText(QFileDialog::Reject, tr("Отмена"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return QString();
        }
        return dialog.selectedFiles().constFirst();
    };
    const auto box = [this](QMessageBox::Icon icon, const QString& text) {
        QMessageBox message(icon, QStringLiteral("Kelvara"), text, QMessageBox::NoButton, &parent_);
        message.addButton(tr("ОК"), QMessageBox::AcceptRole);
        message.exec();
    };
    messages_.warn = [box](const QString& text) { box(QMessageBox::Warning, text); };
    messages_.inform = [box](const QString& text) { box(QMessageBox::Information, text); };
    messages_.confirm = [this](const QString& question) {
        QMessageBox message(QMessageBox::Question, QStringLiteral("Kelvara"), question,
                            QMessageBox::NoButton, &parent_);
        QPushButton* replace = message.addButton(tr("Заменить"), QMessageBox::AcceptRole);
        QPushButton* keep = message.addButton(tr("Отмена"), QMessageBox::RejectRole);
        // Replacing takes a deliberate choice: Enter keeps the old file.
        message.setDefaultButton(keep);
        message.exec();
        return message.clickedButton() == replace;
    };
}

void FileSaver::SetChooser(Chooser chooser) {
    chooser_ = std::move(chooser);
}

void FileSaver::SetMessages(Messages messages) {
    messages_ = std::move(messages);
}

QString FileSaver::ProposedName(Kind kind, const QDateTime& when) {
    return QStringLiteral("kelvara-") + when.toString(QStringLiteral("yyyy-MM-dd-HHmmss")) +
           QLatin1Char('.') + Suffix(kind);
}

QString FileSaver::Folder(Kind kind) const {
    if (!lastFolder_.isEmpty()) {
        return lastFolder_;
    }
    const QString folder =
        QStandardPaths::writableLocation(kind == Kind::Picture ? QStandardPaths::PicturesLocation
                                                               : QStandardPaths::DocumentsLocation);
    // A desktop without that folder: the home folder.
    return QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

void FileSaver::Inform(const QString& message) const {
    messages_.inform(message);
}

QString FileSaver::Save(Kind kind, const QByteArray& bytes, const QDateTime& now) {
    Request request{kind, Folder(kind), ProposedName(kind, now)};
    QString path;
    for (;;) {
        path = chooser_(request);
        if (path.isEmpty()) {
            return {};
        }
        if (!QFileInfo::exists(path) ||
            messages_.confirm(tr("Файл «%1» уже есть. Заменить его?").arg(Shown(path)))) {
            break;
        }
        // Not replaced: the dialog again, where it was.
        request.folder = QFileInfo(path).absolutePath();
        request.name = Shown(path);
    }
    if (const QString failure = Write(path, bytes); !failure.isEmpty()) {
        messages_.warn(tr("Файл «%1» не сохранён.").arg(Shown(path)) + QLatin1Char(' ') + failure);
        return {};
    }
    lastFolder_ = QFileInfo(path).absolutePath();
    return path;
}

QString FileSaver::Write(const QString& path, const QByteArray& bytes) {
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (!folder.isDir() || !folder.isWritable()) {
        return tr("В папку «%1» нельзя записывать.")
            .arg(QDir::toNativeSeparators(folder.absoluteFilePath()));
    }
    const auto refused = [] {
        return tr("Система не принимает это имя или не даёт писать в папку.");
    };
    const auto unwritten = [] { return tr("Запись не удалась: возможно, на диске нет места."); };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return refused();
    }
    // Anything short of the whole is dropped with the temporary file; the
    // old file, if any, stays as it was.
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return unwritten();
    }
    // The temporary file may be written whole and still not take the name.
    if (!file.commit()) {
        return file.error() == QFileDevice::RenameError ? refused() : unwritten();
    }
    return {};
}

} // namespace kelvara::ui
