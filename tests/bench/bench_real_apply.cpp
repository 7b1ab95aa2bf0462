// How the apply phase grows with the number of queued devices on the real
// systemd-logind and udevd, when every attach has to wait for udevd to read
// its rules again (at most every 3 s). Run inside
// tests/reallogind/real-logind-sandbox (tests/bench/real-logind-apply does).
//
// There are only two stand-in devices, so a queue of N real moves is made of
// the keyboard controller stand-in going back and forth: seat1, seat0, seat1,
// ... Each move rewrites (or removes) its udev rules file, which is what
// makes any attach wait for udevd's window, whatever seat it names; an attach
// to the seat a device is already on is applied at once and would measure
// nothing. Every round starts with the master on seat1, the keyboard stand-in
// on seat0 and udevd's window closed.

#include "common/testenv.h"
#include "reallogind/reallogindrun.h"

#include <QApplication>
#include <QTest>

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
    QList<int> sizes{1, 2, 3, 4, 6, 8};
    if (argc > 1) {
        sizes.clear();
        for (int i = 1; i < argc; ++i)
            sizes.append(QByteArray(argv[i]).toInt());
    }
    const QString master = RealLogind::masterStandIn();
    const QString device = RealLogind::deviceStandIn();

    std::printf("%4s %9s %10s  %s\n", "N", "total s", "s/device", "attaches per queued move");
    for (int n : qAsConst(sizes)) {
        if (!place(QStringLiteral("seat1"), master) || !place(QStringLiteral("seat0"), device)) {
            std::fprintf(stderr, "could not set the stand-ins up\n");
            return 1;
        }
        QList<QPair<QString, QString>> queue;
        for (int i = 0; i < n; ++i)
            queue.append({i % 2 == 0 ? QStringLiteral("seat1") : QStringLiteral("seat0"), device});
        const RealLogind::LoopResult result = RealLogind::runAttachLoop(queue, 20000 * n);
        QStringList tries;
        for (const RealLogind::PairResult &pair : result.pairs)
            tries.append(QString::number(pair.attaches));
        std::printf("%4d %9.2f %10.2f  %s%s\n", n, result.seconds, result.seconds / n,
                    qPrintable(tries.join(QLatin1Char(' '))),
                    result.finished && result.restarts == 1 && result.pairs.size() == n
                        ? ""
                        : "  (the loop did not verify every move)");
        if (qEnvironmentVariableIsSet("ZEL_BENCH_VERBOSE")) {
            std::printf("finished %d restarts %d boxes: %s\n", result.finished, result.restarts,
                        qPrintable(result.boxes.join(QLatin1String(" | "))));
            const QList<RealLogind::Call> calls = RealLogind::calls();
            for (const RealLogind::Call &call : calls)
                std::printf("  %.3f %s\n", (call.usec - calls.first().usec) / 1e6,
                            qPrintable(call.args.join(QLatin1Char(' '))));
        }
        std::fflush(stdout);
    }
    return 0;
}
