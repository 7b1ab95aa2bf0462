// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Seat population against the number of seats: from the construction of the
// main window until it has read every seat, built every panel and handled
// every event that this caused, for machines of N seats (a video card, a
// keyboard and a mouse each), against a shell loop that makes the same
// loginctl calls to the same emulated loginctl. Not a test: the numbers
// depend on how busy the machine is.
//
//   bench_populate [N...]        (default 10 50 100 200 400)
//
// It uses nothing but the window's constructor, its environment and
// isLoading()/seatPanels(), so that the same file measures older builds too.

#include "mainwindow/mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

QByteArray machine(int seats)
{
    QByteArray m;
    for (int s = 0; s < seats; ++s)
        m += "seat seat" + QByteArray::number(s) + "\n";
    for (int s = 0; s < seats; ++s) {
        const QByteArray n = QByteArray::number(s);
        const QByteArray seat = s == 0 ? QByteArray() : " seat=seat" + n;
        const QByteArray pci = QByteArray::number(s + 1, 16).rightJustified(4, '0');
        m += "device /sys/devices/pci0000:00/0000:00:01.0/0000:" + pci.left(2) + ":" + pci.mid(2) +
             ".0/drm/card" + n + " drm:card" + n + " master" + seat + "\n";
        m += "device /sys/devices/pci0000:00/0000:00:14.0/usb" + n + "/" + n + "-1/" + n +
             "-1:1.0/input/input" + QByteArray::number(2 * s) + " input:input" +
             QByteArray::number(2 * s) + seat + " name=\"Bench USB Keyboard " + n + "\"\n";
        m += "device /sys/devices/pci0000:00/0000:00:14.0/usb" + n + "/" + n + "-2/" + n +
             "-2:1.0/input/input" + QByteArray::number(2 * s + 1) + " input:input" +
             QByteArray::number(2 * s + 1) + seat + " name=\"Bench USB Mouse " + n + "\"\n";
    }
    return m;
}

double populateMs(int seats, const QString &dir)
{
    MainWindowEnvironment environment;
    environment.displayManagerLogDir = dir + QStringLiteral("/log");
    environment.drmClassDir = dir + QStringLiteral("/drm");
    environment.displayManagerConfig = dir + QStringLiteral("/zel-dmrc");
    environment.displayManagerLink = dir + QStringLiteral("/display-manager.service");
    environment.defaultDisplayManager = dir + QStringLiteral("/default-display-manager");
    environment.restartService = [](const QString &, QString *) { return true; };

    QElapsedTimer clock;
    clock.start();
    MainWindow window(nullptr, environment);
    window.show();
    while (window.isLoading() || window.seatPanels().size() != seats - 1) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        if (clock.elapsed() > 600000)
            return -1;
    }
    // What the population left to do: layouts, paints.
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    return clock.nsecsElapsed() / 1e6;
}

double shellMs()
{
    QElapsedTimer clock;
    clock.start();
    QProcess::execute(
        QStringLiteral("sh"),
        {QStringLiteral("-c"), QStringLiteral("seats=$(loginctl list-seats --no-legend)\n"
                                              "for s in $seats; do loginctl seat-status \"$s\" "
                                              ">/dev/null; done")});
    return clock.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + QStringLiteral("/.config")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home.path()));
    const QString emulator = QFileInfo(QStringLiteral(ZEL_BENCH_EMULATOR)).path();
    qputenv("PATH", QFile::encodeName(emulator) + ':' + qgetenv("PATH"));
    qunsetenv("ZEL_LOGINCTL_LOG");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);

    QList<int> sizes{10, 50, 100, 200, 400};
    if (argc > 1) {
        sizes.clear();
        for (int i = 1; i < argc; ++i)
            sizes.append(std::atoi(argv[i]));
    }
    std::printf("%6s %12s %12s %8s\n", "seats", "window ms", "shell ms", "ratio");
    for (int seats : qAsConst(sizes)) {
        const QString file = home.path() + QStringLiteral("/machine");
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(machine(seats)) < 0)
            return 1;
        out.close();
        qputenv("ZEL_LOGINCTL_MACHINE", QFile::encodeName(file));
        const double window = populateMs(seats, home.path());
        const double shell = shellMs();
        std::printf("%6d %12.1f %12.1f %8.2f\n", seats, window, shell, window / shell);
        std::fflush(stdout);
    }
    return 0;
}
