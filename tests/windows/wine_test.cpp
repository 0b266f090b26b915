// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The Windows files under Wine, in Xvfb, in a Wine prefix of their own: the
// portable program beside the Linux one, its keys and its ends, and the
// installer from a silent install to a clean uninstall.
#include "../e2e/x_driver.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>

namespace {

using kelvara::e2e::KeyboardLayout;
using kelvara::e2e::Program;
using kelvara::e2e::WindowManager;

// How far the Windows window may stray from the Linux one: pixels that
// differ by more than kLevels in some channel. Both draw the same built-in
// fonts through FreeType 2.12.1 (Qt's own copy on Windows, Debian's on
// Linux) in the same style and palette, so at rest they were measured the
// same to the pixel; kRestPixels allows a few edge pixels of a glyph, where
// the two FreeType builds could round apart, and nothing more: a slider in
// the Windows style, the system's button face or Windows' own text
// rendering each differ in thousands of pixels, a caption off by one pixel
// in hundreds. After a run the terminals' signs show the phase it ended at,
// which two runs never share to the millisecond: kRunPixels allows those two
// signs (about 150 pixels) on top.
constexpr int kLevels = 8;
constexpr int kRestPixels = 40;
constexpr int kRunPixels = 40 + 200;

const QRect kClient(0, 0, 1016, 734);

// How many pixels of `a` and `b` differ by more than kLevels, with the
// differing pixels marked in `diff` (red on a faded copy of `a`).
qint64 DifferingPixels(const QImage& a, const QImage& b, QImage* diff = nullptr) {
    if (a.size() != b.size()) {
        return qint64(a.width()) * a.height();
    }
    if (diff != nullptr) {
        *diff = a.convertToFormat(QImage::Format_RGB32);
    }
    qint64 differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                    std::abs(qBlue(p) - qBlue(q))});
            if (d > kLevels) {
                ++differing;
            }
            if (diff != nullptr) {
                const int grey = 192 + qGray(p) / 4;
                diff->setPixel(x, y, d > kLevels ? qRgb(255, 0, 0) : qRgb(grey, grey, grey));
            }
        }
    }
    return differing;
}

void SaveShots(const QString& name, const QImage& windows, const QImage& linux) {
    const QString dir = qEnvironmentVariable("KELVARA_E2E_SHOTS");
    if (dir.isEmpty()) {
        return;
    }
    QImage diff;
    DifferingPixels(windows, linux, &diff);
    windows.save(dir + QStringLiteral("/wine-%1-windows.png").arg(name));
    linux.save(dir + QStringLiteral("/wine-%1-linux.png").arg(name));
    diff.save(dir + QStringLiteral("/wine-%1-diff.png").arg(name));
}

// Runs a command to its end; its exit code, or -1 if it did not end in time.
int Run(const QString& program, const QStringList& args, const QProcessEnvironment& env,
        int timeoutMs, QByteArray* out = nullptr) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(2000);
        return -1;
    }
    if (out != nullptr) {
        *out = p.readAll();
    }
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// Asks the window to close as a window manager's close button does:
// WM_DELETE_WINDOW, which Wine turns into the Windows close command.
void CloseAsWindowManager(const QString& windowId) {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    auto atom = [c](const char* name) {
        xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(
            c, xcb_intern_atom(c, 0, static_cast<quint16>(qstrlen(name)), name), nullptr);
        const xcb_atom_t a = r != nullptr ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(r);
        return a;
    };
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = windowId.toUInt();
    event.type = atom("WM_PROTOCOLS");
    event.data.data32[0] = atom("WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, event.window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(c);
    xcb_disconnect(c);
}

// Every file and folder under `root`, by path relative to it.
QSet<QString> Tree(const QString& root) {
    QSet<QString> paths;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        paths.insert(it.next().mid(root.size()));
    }
    return paths;
}

class WineTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void zipHoldsOneProgram();
    void startsAsOnLinux_data();
    void startsAsOnLinux();
    void keysAsOnLinux();
    void endsWithZero_data();
    void endsWithZero();
    void installerInstallsAndUninstalls();

private:
    QProcessEnvironment Wine(const QString& lang = QStringLiteral("ru_RU.UTF-8")) const;
    QStringList WineEnv(const QString& lang) const;
    // Waits for the program's window and checks its first frame.
    static bool Opened(Program& program, const char* what);

    QTemporaryDir work_;
    QString prefix_;
    QString locales_;
    QString exe_;
    std::unique_ptr<WindowManager> wm_;
};

QProcessEnvironment WineTest::Wine(const QString& lang) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* setting : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) {
        env.remove(QString::fromLatin1(setting));
    }
    env.insert(QStringLiteral("LANG"), lang);
    env.insert(QStringLiteral("LOCPATH"), locales_);
    env.insert(QStringLiteral("WINEPREFIX"), prefix_);
    env.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    // No Mono or Gecko to ask for, and no menu entries written for the
    // installer's shortcut into the home folder of whoever runs the tests.
    env.insert(QStringLiteral("WINEDLLOVERRIDES"),
               QStringLiteral("mscoree,mshtml=;winemenubuilder.exe=d"));
    return env;
}

QStringList WineTest::WineEnv(const QString& lang) const {
    const QProcessEnvironment env = Wine(lang);
    QStringList settings;
    for (const char* key : {"LANG", "LOCPATH", "WINEPREFIX", "WINEDEBUG", "WINEDLLOVERRIDES"}) {
        settings << QString::fromLatin1(key) + QLatin1Char('=') +
                        env.value(QString::fromLatin1(key));
    }
    return settings;
}

bool WineTest::Opened(Program& program, const char* what) {
    QElapsedTimer clock;
    clock.start();
    if (!program.WaitForWindow(10000)) {
        qWarning("%s: no window titled Kelvara within 10 s", what);
        return false;
    }
    qInfo("%s: the window opened %lld ms after the start", what, clock.elapsed());
    return true;
}

void WineTest::initTestCase() {
    QVERIFY(work_.isValid());
    prefix_ = work_.filePath(QStringLiteral("prefix"));
    QVERIFY2(QFile::exists(QStringLiteral(KELVARA_ZIP)), "no zip: run make windows first");
    QVERIFY2(QFile::exists(QStringLiteral(KELVARA_SETUP)), "no installer: run make windows first");
    const QString unpacked = work_.filePath(QStringLiteral("portable"));
    QVERIFY(QDir().mkpath(unpacked));
    QProcess tar;
    tar.setWorkingDirectory(unpacked);
    tar.start(QStringLiteral("cmake"), {"-E", "tar", "xf", QStringLiteral(KELVARA_ZIP)});
    QVERIFY(tar.waitForFinished(30000) && tar.exitCode() == 0);
    exe_ = unpacked + QStringLiteral("/kelvara.exe");

    // Wine takes the system's language from the C library's locale, which
    // a fresh Debian has only for C: the test makes its own.
    locales_ = work_.filePath(QStringLiteral("locales"));
    QVERIFY(QDir().mkpath(locales_));
    for (const char* locale : {"ru_RU", "de_DE", "en_US"}) {
        const QString name = QString::fromLatin1(locale);
        QCOMPARE(Run(QStringLiteral("localedef"),
                     {"-i", name, "-f", "UTF-8", locales_ + "/" + name + ".UTF-8"},
                     QProcessEnvironment::systemEnvironment(), 60000),
                 0);
    }

    wm_ = std::make_unique<WindowManager>();
    QVERIFY2(wm_->Ready(), "openbox did not take over the screen within 5 s");

    // A fresh prefix, then a server that stays, so that each start below is
    // the program's own and not Wine's.
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(Run(QStringLiteral("wine"), {"wineboot", "--init"}, Wine(), 180000), 0);
    QCOMPARE(Run(QStringLiteral("wineserver"), {"-w"}, Wine(), 60000), 0);
    qInfo("the fresh Wine prefix was ready in %lld ms", clock.elapsed());
}

void WineTest::cleanupTestCase() {
    if (!prefix_.isEmpty()) {
        Run(QStringLiteral("wineserver"), {"-k"}, Wine(), 10000);
    }
    wm_.reset();
}

// A teacher copies one file: no library beside it, none linked but the
// system's own.
void WineTest::zipHoldsOneProgram() {
    QDir dir(QFileInfo(exe_).path());
    QCOMPARE(dir.entryList(QDir::Files, QDir::Name),
             QStringList({"LICENSE.txt", "OFL-1.1.txt", "README.txt", "kelvara.exe"}));
    QByteArray dump;
    QCOMPARE(Run(QStringLiteral("x86_64-w64-mingw32-objdump"), {"-p", exe_},
                 QProcessEnvironment::systemEnvironment(), 60000, &dump),
             0);
    const QSet<QString> system = {
        "advapi32.dll", "comdlg32.dll", "d3d9.dll",     "dwmapi.dll",   "gdi32.dll",
        "imm32.dll",    "kernel32.dll", "msvcrt.dll",   "netapi32.dll", "ole32.dll",
        "oleaut32.dll", "setupapi.dll", "shell32.dll",  "shlwapi.dll",  "shcore.dll",
        "user32.dll",   "userenv.dll",  "uxtheme.dll",  "version.dll",  "winmm.dll",
        "ws2_32.dll",   "wtsapi32.dll", "d3d11.dll",    "dxgi.dll",     "authz.dll",
        "mpr.dll",      "winspool.drv", "comctl32.dll", "dwrite.dll",   "crypt32.dll",
        "secur32.dll",  "ntdll.dll",    "cfgmgr32.dll"};
    QStringList imported;
    for (const QByteArray& line : dump.split('\n')) {
        if (line.trimmed().startsWith("DLL Name:")) {
            imported << QString::fromLatin1(line.trimmed().mid(9).trimmed()).toLower();
        }
    }
    QVERIFY(!imported.isEmpty());
    for (const QString& dll : imported) {
        // api-ms-win-*: Windows' own API sets, resolved by the loader.
        QVERIFY2(system.contains(dll) || dll.startsWith(QLatin1String("api-ms-win-")),
                 qPrintable(QStringLiteral("imports %1").arg(dll)));
    }
    // The version resource names the program and its makers.
    QFile exe(exe_);
    QVERIFY(exe.open(QIODevice::ReadOnly));
    const QByteArray bytes = exe.readAll();
    for (const char* text : {"Kelvara developers", "ProductName", KELVARA_VERSION}) {
        const QString s = QString::fromLatin1(text);
        QVERIFY2(bytes.contains(QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2)),
                 text);
    }
}

void WineTest::startsAsOnLinux_data() {
    QTest::addColumn<QString>("lang");
    // Russian where Windows is Russian, or speaks no language the program
    // has; English where it is English.
    QTest::newRow("Russian") << QStringLiteral("ru_RU.UTF-8");
    QTest::newRow("German") << QStringLiteral("de_DE.UTF-8");
    QTest::newRow("English") << QStringLiteral("en_US.UTF-8");
}

// At rest, the window is the Linux window, within the bound above.
void WineTest::startsAsOnLinux() {
    QFETCH(QString, lang);
    QImage linux;
    {
        Program program({QStringLiteral("LANG=") + lang, QStringLiteral("LOCPATH=") + locales_});
        QVERIFY(program.WaitForWindow());
        linux = program.Shot();
    }
    Program windows(WineEnv(lang), QStringLiteral("wine"), {exe_});
    QVERIFY(Opened(windows, "kelvara.exe"));
    QCOMPARE(windows.Geometry().size(), kClient.size());
    const QImage shot = windows.Shot();
    const qint64 differing = DifferingPixels(shot, linux);
    SaveShots(QStringLiteral("rest-") + QTest::currentDataTag(), shot, linux);
    qInfo("%lld pixels differ from the Linux window by more than %d", differing, kLevels);
    QVERIFY2(differing <= kRestPixels, qPrintable(QStringLiteral("%1 pixels").arg(differing)));
}

// Space starts a run, P freezes it, V shows the values, L turns to English,
// Space again ends the run: then the window is the Linux one after the
// same keys, but for the terminals' signs (see kRunPixels). The keys go by their places on the
// keyboard, under the Russian layout too.
void WineTest::keysAsOnLinux() {
    const KeyboardLayout russian(QStringLiteral("ru,us"));
    QVERIFY2(russian.Set(), "setxkbmap could not set the layout ru,us");
    Program windows(WineEnv(QStringLiteral("ru_RU.UTF-8")), QStringLiteral("wine"), {exe_});
    QVERIFY(Opened(windows, "kelvara.exe"));
    const QImage rest = windows.Shot();
    windows.Keys({"space"});
    QImage running;
    QVERIFY2(windows.Within(5000,
                            [&](const QImage& img) {
                                if (running.isNull() && img != rest) {
                                    running = img;
                                    return false;
                                }
                                return !running.isNull() && img != running;
                            }),
             "Space: the drawing does not move");
    windows.Keys({"Cyrillic_ze"}); // P
    QTest::qWait(500);
    const QImage frozen = windows.Shot();
    QVERIFY2(!windows.Within(2000, [&](const QImage& img) { return img != frozen; }),
             "P: the drawing still changes while frozen");
    windows.Keys({"Cyrillic_em", "Cyrillic_de", "space"}); // V, L
    QImage end;
    QVERIFY(windows.Within(5000, [&](const QImage& img) {
        end = img;
        return DifferingPixels(img, frozen) > 1000;
    }));
    QTest::qWait(1000);
    end = windows.Shot();
    windows.Keys({"ctrl+Cyrillic_shorti"}); // Ctrl+Q
    QVERIFY(windows.Process().waitForFinished(10000));

    QImage linux;
    {
        Program program(
            {QStringLiteral("LANG=ru_RU.UTF-8"), QStringLiteral("LOCPATH=") + locales_});
        QVERIFY(program.WaitForWindow());
        program.Keys({"space"});
        QTest::qWait(1500);
        program.Keys({"Cyrillic_ze", "Cyrillic_em", "Cyrillic_de", "space"});
        QTest::qWait(1000);
        linux = program.Shot();
    }
    const qint64 differing = DifferingPixels(end, linux);
    SaveShots(QStringLiteral("keys"), end, linux);
    qInfo("after the keys, %lld pixels differ from the Linux window", differing);
    QVERIFY2(differing <= kRunPixels, qPrintable(QStringLiteral("%1 pixels").arg(differing)));
}

void WineTest::endsWithZero_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Ctrl+Q") << QStringLiteral("keys");
    QTest::newRow("closing the window") << QStringLiteral("close");
    QTest::newRow("the session ending") << QStringLiteral("session");
}

// Every way a teacher or Windows ends the program ends it with 0.
void WineTest::endsWithZero() {
    QFETCH(QString, how);
    Program windows(WineEnv(QStringLiteral("ru_RU.UTF-8")), QStringLiteral("wine"), {exe_});
    QVERIFY(Opened(windows, "kelvara.exe"));
    windows.Keys({"space"}); // ended in the middle of a run
    QTest::qWait(500);
    if (how == QLatin1String("keys")) {
        windows.Keys({"ctrl+q"});
    } else if (how == QLatin1String("close")) {
        CloseAsWindowManager(windows.Window());
    } else {
        QCOMPARE(Run(QStringLiteral("wine"), {"wineboot", "--end-session"}, Wine(), 30000), 0);
    }
    QProcess& p = windows.Process();
    QVERIFY2(p.waitForFinished(10000), "the program did not end within 10 s");
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
}

// A silent per-user install puts the program, its uninstaller and a Start
// menu shortcut in place; the installed program starts; the silent
// uninstall leaves the user's folders and settings as they were.
void WineTest::installerInstallsAndUninstalls() {
    QByteArray user;
    QCOMPARE(Run(QStringLiteral("wine"), {"cmd", "/c", "echo", "%USERNAME%"}, Wine(), 30000, &user),
             0);
    const QString home =
        prefix_ + QStringLiteral("/drive_c/users/") + QString::fromLocal8Bit(user).trimmed();
    const QString dir = home + QStringLiteral("/AppData/Local/Programs/Kelvara");
    const QString shortcut =
        home + QStringLiteral("/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Kelvara.lnk");
    const QString key =
        QStringLiteral("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelvara");
    auto tree = [&home] {
        QSet<QString> t = Tree(home);
        // The temporary folder, where the uninstaller runs from a copy of
        // itself and leaves it, as every NSIS uninstaller does.
        t.removeIf([](const QString& p) { return p.startsWith(QLatin1String("/Temp")); });
        return t;
    };
    const QSet<QString> before = tree();
    QVERIFY(!QFile::exists(dir));

    QCOMPARE(Run(QStringLiteral("wine"), {QStringLiteral(KELVARA_SETUP), "/S"}, Wine(), 120000), 0);
    for (const QString& file : {dir + "/kelvara.exe", dir + "/Uninstall.exe", dir + "/README.txt",
                                dir + "/LICENSE.txt", shortcut}) {
        QVERIFY2(QFile::exists(file), qPrintable(file));
    }
    QCOMPARE(
        Run(QStringLiteral("wine"), {"reg", "query", key, "/v", "UninstallString"}, Wine(), 30000),
        0);
    {
        Program installed(WineEnv(QStringLiteral("ru_RU.UTF-8")), QStringLiteral("wine"),
                          {dir + "/kelvara.exe"});
        QVERIFY(Opened(installed, "the installed kelvara.exe"));
        installed.Keys({"ctrl+q"});
        QVERIFY(installed.Process().waitForFinished(10000));
        QCOMPARE(installed.Process().exitCode(), 0);
    }

    // The uninstaller runs a copy of itself from the temporary folder and
    // returns at once; the files go shortly after.
    QCOMPARE(Run(QStringLiteral("wine"), {dir + "/Uninstall.exe", "/S"}, Wine(), 60000), 0);
    QDeadlineTimer deadline(30000);
    while (QFile::exists(dir) && !deadline.hasExpired()) {
        QTest::qWait(200);
    }
    const QSet<QString> after = tree();
    QStringList left = (after - before).values();
    QStringList gone = (before - after).values();
    left.sort();
    gone.sort();
    QVERIFY2(left.isEmpty(), qPrintable(QStringLiteral("left behind: ") + left.join(", ")));
    QVERIFY2(gone.isEmpty(), qPrintable(QStringLiteral("taken away: ") + gone.join(", ")));
    QVERIFY2(Run(QStringLiteral("wine"), {"reg", "query", key}, Wine(), 30000) != 0,
             "the uninstall entry is still in the registry");
}

} // namespace

QTEST_MAIN(WineTest)
#include "wine_test.moc"
