// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// What the user saves: asked for through the dialogs, written whole or
// not at all.
#include "support.h"

#include "ui/files/file_saver.h"
#include "ui/teach/presenter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

#include <csignal>
#include <memory>

using namespace kelvara::uitest;

class FileSaverTest : public QObject {
    Q_OBJECT

private slots:
    // Ctrl+S through the dialogs put in for tests. A folder that cannot be
    // written and a name the system refuses are told and leave no file. A
    // file of the chosen name stays until the user says to replace it, and
    // is then the old one whole or the new one whole: a disk full midway
    // leaves the old one and nothing beside it.
    void savedWholeOrNotAtAll() {
        auto form = FormAtRest();
        QTemporaryDir dir;
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                              QFile::ReadOther | QFile::ExeOther);
        QString chosen;
        int asked = 0;
        bool replace = false;
        QStringList questions;
        QStringList warned;
        auto& saver = form->Teaching().Saver();
        saver.SetChooser([&](const kelvara::ui::FileSaver::Request&) {
            return asked++ == 0 ? chosen : QString(); // the dialog again: cancelled
        });
        saver.SetMessages({[&](const QString& q) {
                               questions << q;
                               return replace;
                           },
                           [&](const QString& m) { warned << m; },
                           [&](const QString& m) { warned << m; }});
        const auto save = [&](const QString& path) {
            chosen = path;
            asked = 0;
            warned.clear();
            QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
        };
        const auto files = [](const QString& folder) {
            return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
        };
        const auto read = [](const QString& path) {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };

        const QString locked = dir.filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkdir(locked));
        QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner |
                                                  QFile::ReadOther | QFile::ExeOther));
        {
            // Permissions do not hold the superuser back.
            const uid_t user = geteuid();
            QVERIFY(user != 0 || seteuid(65534) == 0);
            save(locked + QStringLiteral("/picture.png"));
            QVERIFY(user != 0 || seteuid(0) == 0);
        }
        QCOMPARE(warned, QStringList(QStringLiteral("Файл «picture.png» не сохранён. В папку «%1» "
                                                    "нельзя записывать.")
                                         .arg(locked)));
        QCOMPARE(files(locked), QStringList());

        const QString tooLong = QString(300, QLatin1Char('a')) + QStringLiteral(".png");
        save(dir.filePath(tooLong));
        QCOMPARE(warned, QStringList(QStringLiteral("Файл «%1» не сохранён. Система не принимает "
                                                    "это имя или не даёт писать в папку.")
                                         .arg(tooLong)));
        QCOMPARE(files(dir.path()), QStringList());

        const QString old = dir.filePath(QStringLiteral("old.png"));
        const QByteArray oldBytes(200000, 'o');
        {
            QFile f(old);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(oldBytes) == oldBytes.size());
        }
        save(old);
        QCOMPARE(questions, QStringList(QStringLiteral("Файл «old.png» уже есть. Заменить его?")));
        QCOMPARE(asked, 2);
        QVERIFY(warned.isEmpty());
        QCOMPARE(read(old), oldBytes);

        replace = true;
        {
            // A disk that fills up after 8 KiB.
            rlimit limit{};
            QCOMPARE(getrlimit(RLIMIT_FSIZE, &limit), 0);
            const rlimit full{8192, limit.rlim_max};
            const auto before = std::signal(SIGXFSZ, SIG_IGN);
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &full), 0);
            save(old);
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
            std::signal(SIGXFSZ, before);
        }
        QCOMPARE(warned, QStringList(QStringLiteral("Файл «old.png» не сохранён. Запись не "
                                                    "удалась: возможно, на диске нет места.")));
        QCOMPARE(read(old), oldBytes);
        QCOMPARE(files(dir.path()), QStringList(QStringLiteral("old.png")));

        save(old);
        QVERIFY(warned.isEmpty());
        QCOMPARE(files(dir.path()), QStringList(QStringLiteral("old.png")));
        const QByteArray png = read(old);
        QVERIFY(png.size() > 8192);
        QCOMPARE(QImage::fromData(png).convertToFormat(QImage::Format_RGB32),
                 form->Picture().convertToFormat(QImage::Format_RGB32));
    }
};

std::unique_ptr<QObject> MakeFileSaverTest() {
    return std::make_unique<FileSaverTest>();
}

#include "file_saver_test.moc"
