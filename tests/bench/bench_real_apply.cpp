// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The apply phase of a save on the real systemd-logind and udevd, per moved
// device, with and without udevadm after each attach. Run inside
// tests/reallogind/real-logind-sandbox (tests/bench/real-logind-apply does).
//
//   bench_real_apply [--before] [N...]   per-move median and maximum for queues
//                                        of N moves (default 1 2 4 8 16)
//   bench_real_apply [--before] --run M  one queue of M moves: how many needed
//                                        more than one attach, how many failed
//
// --before runs the loop without udevadm, as the tool did before it ran it:
// only the retries give udevd the time it needs.
//
// There are only two stand-in devices, so a queue of N real moves is made of
// the keyboard controller stand-in going back and forth: seat1, seat0, seat1,
// ... Each move rewrites (or removes) its udev rules file, which is what
// makes an attach meet udevd's 3 s rules window, whatever seat it names; an
// attach to the seat a device is already on is applied at once and would
// measure nothing. Every round starts with the master on seat1, the keyboard
// stand-in on seat0 and udevd's window closed.

#include "common/testenv.h"
#include "reallogind/reallogindrun.h"

#include <QApplication>
#include <QTest>

#include <algorithm>
#include <cstdio>

namespace {

using RealLogind::loginctl;

// Attaches until the seat shows the device, then waits until udevd's window
// has closed again.
bool place(const QString &seat, const QString &path)
{
    for (int i = 0; i < 60; ++i) {
        if (loginctl({QStringLiteral("seat-status"), seat}).contains(path + QLatin1Char('\n')))
            break;
        loginctl({QStringLiteral("attach"), seat, path});
        QTest::qWait(250);
    }
    QTest::qWait(3500);
    return loginctl({QStringLiteral("seat-status"), seat}).contains(path + QLatin1Char('\n'));
}

QList<QPair<QString, QString>> moves(int n, const QString &device)
{
    QList<QPair<QString, QString>> queue;
    for (int i = 0; i < n; ++i)
        queue.append({i % 2 == 0 ? QStringLiteral("seat1") : QStringLiteral("seat0"), device});
    return queue;
}

bool verifiedEvery(const RealLogind::LoopResult &result, int n)
{
    return result.finished && result.restarts == 1 && result.pairs.size() == n &&
           result.boxes.isEmpty();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (!RealLogind::outsideSandbox().isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(RealLogind::outsideSandbox()));
        return 1;
    }
    TestEnv::init();
    if (!RealLogind::installCallLog())
        return 1;
    bool udevadm = true;
    int run = 0;
    QList<int> sizes;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg = argv[i];
        if (arg == "--before")
            udevadm = false;
        else if (arg == "--run" && i + 1 < argc)
            run = QByteArray(argv[++i]).toInt();
        else
            sizes.append(arg.toInt());
    }
    if (sizes.isEmpty())
        sizes = {1, 2, 4, 8, 16};
    const QString master = RealLogind::masterStandIn();
    const QString device = RealLogind::deviceStandIn();
    std::printf("attach loop %s udevadm\n", udevadm ? "with" : "without");

    if (run > 0) {
        if (!place(QStringLiteral("seat1"), master) || !place(QStringLiteral("seat0"), device))
            return 1;
        const RealLogind::LoopResult result =
            RealLogind::runAttachLoop(moves(run, device), 30000 * run, udevadm);
        int retried = 0;
        for (const RealLogind::PairResult &pair : result.pairs)
            retried += pair.attaches > 1;
        std::printf("%d moves in %.2f s: %d verified at the first check, %d needed retries, "
                    "%s\n",
                    run, result.seconds, int(result.pairs.size()) - retried, retried,
                    verifiedEvery(result, run)
                        ? "every move verified, no failure reported"
                        : qPrintable(QStringLiteral("NOT ALL VERIFIED: ") +
                                     result.boxes.join(QLatin1String(" | "))));
        return verifiedEvery(result, run) ? 0 : 1;
    }

    std::printf("%4s %9s %12s %12s  %s\n", "N", "total s", "median s", "max s",
                "attaches per move");
    for (int n : qAsConst(sizes)) {
        if (!place(QStringLiteral("seat1"), master) || !place(QStringLiteral("seat0"), device)) {
            std::fprintf(stderr, "could not set the stand-ins up\n");
            return 1;
        }
        const RealLogind::LoopResult result =
            RealLogind::runAttachLoop(moves(n, device), 30000 * n, udevadm);
        QList<double> seconds;
        QStringList tries;
        for (const RealLogind::PairResult &pair : result.pairs) {
            seconds.append(pair.seconds);
            tries.append(QString::number(pair.attaches));
        }
        std::sort(seconds.begin(), seconds.end());
        const double median =
            seconds.isEmpty() ? 0
            : seconds.size() % 2
                ? seconds.at(seconds.size() / 2)
                : (seconds.at(seconds.size() / 2 - 1) + seconds.at(seconds.size() / 2)) / 2;
        std::printf("%4d %9.2f %12.3f %12.3f  %s%s\n", n, result.seconds, median,
                    seconds.isEmpty() ? 0 : seconds.last(),
                    qPrintable(tries.join(QLatin1Char(' '))),
                    verifiedEvery(result, n) ? "" : "  (the loop did not verify every move)");
        std::fflush(stdout);
    }
    return 0;
}
