// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "reallogindrun.h"

#include "common/testenv.h"
#include "mainwindow/mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace RealLogind {

namespace {

QString callLogPath()
{
    return workDir() + QStringLiteral("/loginctl-calls.log");
}

} // namespace

QString outsideSandbox()
{
    if (qEnvironmentVariableIsEmpty("ZEL_REAL_LOGIND_WORK"))
        return QStringLiteral("run this test through tests/reallogind/real-logind-sandbox");
    if (!QFile::exists(QStringLiteral("/run/systemd/system")) ||
        qEnvironmentVariableIsEmpty("DBUS_SYSTEM_BUS_ADDRESS"))
        return QStringLiteral("the sandbox's logind is not reachable");
    return {};
}

QString masterStandIn()
{
    return qEnvironmentVariable("ZEL_STANDIN_MASTER");
}

QString deviceStandIn()
{
    return qEnvironmentVariable("ZEL_STANDIN_DEVICE");
}

QString workDir()
{
    return qEnvironmentVariable("ZEL_REAL_LOGIND_WORK");
}

bool installCallLog()
{
    const QString dir = workDir() + QStringLiteral("/shim");
    QDir().mkpath(dir);
    // loginctl's calls are logged as their arguments, udevadm's led by "udevadm".
    for (const QString &program : {QStringLiteral("loginctl"), QStringLiteral("udevadm")}) {
        const QString real = QStandardPaths::findExecutable(
            program, {QStringLiteral("/usr/bin"), QStringLiteral("/bin")});
        if (real.isEmpty())
            return false;
        const QString shim = dir + QLatin1Char('/') + program;
        const QByteArray lead =
            program == QLatin1String("udevadm") ? QByteArray("$'\\t'udevadm") : QByteArray();
        // bash's clock needs no extra process, so the log costs next to nothing.
        const QByteArray script = "#!/bin/bash\n"
                                  "line=${EPOCHREALTIME/./}" +
                                  lead +
                                  "\n"
                                  "for arg in \"$@\"; do line+=$'\\t'$arg; done\n"
                                  "printf '%s\\n' \"$line\" >>'" +
                                  callLogPath().toUtf8() + "'\nexec '" + real.toUtf8() +
                                  "' \"$@\"\n";
        if (!TestEnv::writeFile(shim, script))
            return false;
        QFile::setPermissions(shim, QFile::permissions(shim) | QFileDevice::ExeOwner);
    }
    clearCalls();
    qputenv("PATH", (dir + QLatin1Char(':')).toUtf8() + qgetenv("PATH"));
    return true;
}

QList<Call> calls()
{
    QList<Call> out;
    const QList<QByteArray> lines = TestEnv::readFile(callLogPath()).split('\n');
    for (const QByteArray &line : lines) {
        if (line.isEmpty())
            continue;
        QList<QByteArray> words = line.split('\t');
        Call call;
        call.usec = words.takeFirst().toLongLong();
        for (const QByteArray &word : qAsConst(words))
            call.args.append(QString::fromUtf8(word));
        out.append(call);
    }
    return out;
}

void clearCalls()
{
    TestEnv::writeFile(callLogPath(), {});
}

QString loginctl(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral("/usr/bin/loginctl"), args);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

MainWindowEnvironment windowEnvironment(int *restarts)
{
    const QString dir = workDir() + QStringLiteral("/window");
    QDir().mkpath(dir);
    const QString config = dir + QStringLiteral("/zel-dmrc");
    TestEnv::writeFile(config, "[General]\n# ServerUID=auto\n");

    MainWindowEnvironment environment;
    environment.displayManagerLogDir = dir + QStringLiteral("/log");
    environment.drmClassDir = dir + QStringLiteral("/drm");
    environment.displayManagerConfig = config;
    // zel-dm, whose configuration the save edits.
    const QString link = dir + QStringLiteral("/display-manager.service");
    QFile::remove(link);
    QFile::link(QStringLiteral("/lib/systemd/system/zel-dm.service"), link);
    environment.displayManagerLink = link;
    environment.defaultDisplayManager = dir + QStringLiteral("/default-display-manager");
    environment.restartService = [restarts](const QString &, QString *) {
        ++*restarts;
        return true;
    };
    return environment;
}

LoopResult runAttachLoop(const QList<QPair<QString, QString>> &queue, int timeoutMs,
                         bool withUdevadm)
{
    LoopResult result;
    MainWindowEnvironment environment = windowEnvironment(&result.restarts);
    if (!withUdevadm)
        environment.udevadmProgram = QStringLiteral("/nonexistent/udevadm");

    // Message boxes are recorded and answered as Escape would.
    Prompt::setHook([&result](const Prompt::Request &request) {
        result.boxes.append(request.text);
        return PromptAnswerer::escape(request);
    });
    MainWindow window(nullptr, environment);
    window.show();
    if (!QTest::qWaitFor([&window] { return !window.isLoading(); }, 10000))
        return result;
    clearCalls();

    QElapsedTimer clock;
    clock.start();
    window.startApplying(queue);
    result.finished = QTest::qWaitFor([&window] { return !window.isApplying(); }, timeoutMs);
    result.seconds = clock.nsecsElapsed() / 1e9;
    // The restart is the loop's last step: give it the moment it needs.
    QTest::qWait(50);
    result.restarted = result.restarts > 0;
    TestEnv::answerPromptsWithEscape();
    result.windowEnabled = window.isEnabled();
    result.stateSaved = !window.stateChanged();

    // Split the call log into the pairs: an attach starts a pair's try, the
    // seat-status calls after it are its checks.
    const QList<Call> log = calls();
    PairResult *current = nullptr;
    qint64 firstAttach = 0;
    qint64 lastCall = 0;
    for (const Call &call : log) {
        const QString verb = call.args.value(0);
        if (verb == QLatin1String("attach") && call.args.size() == 3) {
            const QString seat = call.args.at(1);
            const QString address = call.args.at(2);
            if (!current || current->seat != seat || current->address != address) {
                if (current)
                    current->seconds = (call.usec - firstAttach) / 1e6;
                result.pairs.append({seat, address, 0, 0, 0, 0});
                current = &result.pairs.last();
                firstAttach = call.usec;
            }
            ++current->attaches;
        } else if (verb == QLatin1String("seat-status") && current) {
            ++current->checks;
        } else if (verb == QLatin1String("udevadm") && current) {
            ++current->udevadm;
        }
        lastCall = call.usec;
    }
    if (current)
        current->seconds = (lastCall - firstAttach) / 1e6;
    return result;
}

} // namespace RealLogind
