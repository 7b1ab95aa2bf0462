// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The apply phase of a save (from the Yes to the restart question until the
// restart request) with N devices on one extra seat, against a shell loop
// that makes the same attach, udevadm and seat-status calls to the same
// emulated loginctl and udevadm. Prints tool time / shell time for each N, and for comparison the
// same calls through a bare QProcess loop in this process: process start from
// a Qt program (fork of a large address space) is what costs most beyond the
// shell, whatever the tool does around each call.

#include "common/testenv.h"
#include "mainwindow/windowfixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>

namespace {

const QString SpareKeyboardName = QStringLiteral("Spare USB Keyboard");

// seat1 holds a card and n - 2 mice; the spare keyboard on seat0 is moved
// there before the save, so that seat1 then has n devices.
QByteArray machine(int n)
{
    QByteArray m = "seat seat0 sessions *2\nseat seat1 sessions *3\n"
                   "device /sys/devices/pci0000:00/0000:00:02.0/drm/card0 drm:card0 master\n"
                   "device /sys/devices/pci0000:00/0000:00:03.0/drm/card1 drm:card1 master "
                   "seat=seat1\n"
                   "device /sys/devices/pci0000:00/0000:00:14.0/usb1/1-1/input/input5 "
                   "input:input5 name=\"Main USB Keyboard\"\n"
                   "device /sys/devices/pci0000:00/0000:00:14.0/usb1/1-2/input/input6 "
                   "input:input6 name=\"Main USB Mouse\"\n"
                   "device /sys/devices/pci0000:00/0000:00:14.0/usb1/1-3/input/input7 "
                   "input:input7 name=\"Spare USB Keyboard\"\n";
    for (int i = 0; i < n - 2; ++i) {
        const QByteArray k = QByteArray::number(i).rightJustified(4, '0');
        m += "device /sys/devices/virtual/bench/mouse" + k + "/input/input" + k + " input:input" +
             k + " seat=seat1 name=\"Bench Mouse " + k + "\"\n";
    }
    return m;
}

struct Round
{
    double toolMs = 0;
    double shellMs = 0;
    double qprocessMs = 0;
    int pairs = 0;
    bool ok = false;
};

Round runRound(int n)
{
    Round round;
    WindowFixture fx;
    if (!fx.isValid() || !fx.writeMachine(machine(n)) ||
        !fx.writeConfig("[General]\n# ServerUID=auto\n"))
        return round;
    MainWindow *w = fx.openWindow();
    if (!w || !fx.giveToPanel(SpareKeyboardName, QStringLiteral("seat1")))
        return round;

    PromptAnswerer answerer;
    qint64 startNs = -1;
    answerer.answerWith([&fx, &startNs](const Prompt::Request &) {
        startNs = fx.elapsedNs();
        Prompt::Answer yes;
        yes.button = QMessageBox::Yes;
        return yes;
    });
    const int start = fx.callCount();
    w->findChild<QAction *>(QStringLiteral("saveAction"))->trigger();
    if (!fx.waitForApplyEnd(600000) || fx.restarts.size() != 1 || startNs < 0)
        return round;
    round.toolMs = (fx.restarts.first().atNs - startNs) / 1e6;

    const QList<QPair<QString, QString>> pairs = fx.attaches(start);
    round.pairs = pairs.size();
    QByteArray list;
    for (const auto &pair : pairs)
        list += pair.first.toUtf8() + '\t' + pair.second.toUtf8() + '\n';
    const QString listPath = fx.path(QStringLiteral("pairs"));
    const QString scriptPath = fx.path(QStringLiteral("loop.sh"));
    if (!TestEnv::writeFile(listPath, list) ||
        !TestEnv::writeFile(scriptPath, "while IFS='\t' read -r seat path; do\n"
                                        "  loginctl attach \"$seat\" \"$path\"\n"
                                        "  udevadm control --reload\n"
                                        "  udevadm trigger --settle --action=change "
                                        "--parent-match=\"$path\"\n"
                                        "  loginctl seat-status \"$seat\" >/dev/null\n"
                                        "done < \"$1\"\n"))
        return round;

    // The same calls through a bare QProcess in this process, the window
    // still open: what spawning costs here, whatever the tool does around it.
    if (!fx.writeMachine(machine(n)))
        return round;
    {
        QProcess process;
        const auto call = [&process](const QString &program, const QStringList &arguments) {
            process.start(program, arguments, QIODevice::ReadWrite);
            process.waitForFinished();
            process.readAllStandardOutput();
        };
        QElapsedTimer bare;
        bare.start();
        for (const auto &pair : pairs) {
            call(QStringLiteral("loginctl"), {QStringLiteral("attach"), pair.first, pair.second});
            call(QStringLiteral("udevadm"),
                 {QStringLiteral("control"), QStringLiteral("--reload")});
            call(QStringLiteral("udevadm"), {QStringLiteral("trigger"), QStringLiteral("--settle"),
                                             QStringLiteral("--action=change"),
                                             QStringLiteral("--parent-match=") + pair.second});
            call(QStringLiteral("loginctl"), {QStringLiteral("seat-status"), pair.first});
        }
        round.qprocessMs = bare.nsecsElapsed() / 1e6;
    }

    // The same machine as the window started from.
    fx.closeWindow();
    if (!fx.writeMachine(machine(n)))
        return round;
    QProcess shell;
    QElapsedTimer clock;
    clock.start();
    shell.start(QStringLiteral("/bin/sh"), {scriptPath, listPath});
    if (!shell.waitForFinished(600000) || shell.exitCode() != 0)
        return round;
    round.shellMs = clock.nsecsElapsed() / 1e6;
    round.ok = pairs.size() == n + 3; // seat1's n devices and the main seat's three
    return round;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

// A private home, settings store and runtime directory, and the emulated
// loginctl first on PATH, before the application object reads any of them.
bool prepareEnvironment(const QTemporaryDir &root)
{
    if (!root.isValid())
        return false;
    const QString home = root.filePath(QStringLiteral("home/bench"));
    const QString runtime = root.filePath(QStringLiteral("runtime"));
    if (!QDir().mkpath(home + QStringLiteral("/.config")) || !QDir().mkpath(runtime))
        return false;
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home + QStringLiteral("/.cache")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    qputenv("PATH",
            QFile::encodeName(QFileInfo(TestEnv::emulatorPath()).path()) + ':' + qgetenv("PATH"));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir root;
    if (!prepareEnvironment(root)) {
        std::fprintf(stderr, "cannot prepare a private environment\n");
        return 1;
    }
    QApplication app(argc, argv);
    TestEnv::init();

    // Optional arguments: the device counts to run instead of 10, 50, 200.
    QList<int> counts;
    for (const QString &arg : app.arguments().mid(1)) {
        bool isNumber = false;
        const int n = arg.toInt(&isNumber);
        if (!isNumber || n < 2) {
            std::fprintf(stderr, "usage: bench_apply [N...] (N >= 2)\n");
            return 2;
        }
        counts.append(n);
    }
    if (counts.isEmpty())
        counts = {10, 50, 200};

    // The machine is shared and process start times vary, so every round
    // times the tool and the shell back to back; the ratio printed is the
    // median of the rounds' ratios.
    const int rounds = 5;
    bool allOk = true;
    std::printf("%6s %6s %10s %10s %7s %12s %7s\n", "N", "pairs", "tool ms", "shell ms", "ratio",
                "qprocess ms", "ratio");
    for (int n : qAsConst(counts)) {
        QList<double> tool, shell, bare, ratio, bareRatio;
        int pairs = 0;
        for (int r = 0; r < rounds; ++r) {
            const Round round = runRound(n);
            if (!round.ok || round.shellMs <= 0) {
                std::fprintf(stderr, "N=%d: round %d failed\n", n, r + 1);
                allOk = false;
                continue;
            }
            tool.append(round.toolMs);
            shell.append(round.shellMs);
            bare.append(round.qprocessMs);
            ratio.append(round.toolMs / round.shellMs);
            bareRatio.append(round.qprocessMs / round.shellMs);
            pairs = round.pairs;
        }
        std::printf("%6d %6d %10.1f %10.1f %7.2f %12.1f %7.2f\n", n, pairs, median(tool),
                    median(shell), median(ratio), median(bare), median(bareRatio));
        std::fflush(stdout);
    }
    return allOk ? 0 : 1;
}
