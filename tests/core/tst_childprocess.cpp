#include "common/testenv.h"
#include "core/childprocess.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>

// The runner every command of the tool goes through: what it hands back of
// a child's output and end, and that no child outlives its welcome.

namespace {

QStringList shell(const QString &script)
{
    return {QStringLiteral("-c"), script};
}

bool alive(qint64 pid)
{
    return ::kill(pid_t(pid), 0) == 0 || errno != ESRCH;
}

} // namespace

class TestChildProcess : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::init(); }

    void outputAndExitCode();
    void errorsOnlyWhenAsked();
    void programThatCannotStart();
    void crashIsReported();
    void timeLimitKills();
    void destructionKillsTheChild();
};

void TestChildProcess::outputAndExitCode()
{
    ChildProcess p;
    p.setProgram(QStringLiteral("/bin/sh"));
    // More than a pipe holds, so the output is read while the child runs.
    p.setArguments(shell(QStringLiteral("head -c 200000 /dev/zero; printf \"$ZEL_WORD\"; exit 3")));
    QProcessEnvironment env;
    env.insert(QStringLiteral("ZEL_WORD"), QStringLiteral("end"));
    p.setProcessEnvironment(env);
    QSignalSpy finished(&p, &ChildProcess::finished);
    QSignalSpy errors(&p, &ChildProcess::errorOccurred);
    p.start();
    QCOMPARE(p.state(), QProcess::Running);
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.first().at(0).toInt(), 3);
    QCOMPARE(finished.first().at(1).value<QProcess::ExitStatus>(), QProcess::NormalExit);
    const QByteArray output = p.readAllStandardOutput();
    QCOMPARE(output.size(), 200003);
    QVERIFY(output.endsWith("end"));
    QVERIFY(errors.isEmpty());
    QCOMPARE(p.state(), QProcess::NotRunning);
}

void TestChildProcess::errorsOnlyWhenAsked()
{
    for (const bool merge : {false, true}) {
        ChildProcess p;
        p.setProgram(QStringLiteral("sh")); // found on the search path
        p.setArguments(shell(QStringLiteral("echo out; echo err >&2")));
        p.setErrorsToOutput(merge);
        QSignalSpy finished(&p, &ChildProcess::finished);
        p.start();
        QVERIFY(finished.wait(10000));
        QCOMPARE(p.readAllStandardOutput(), merge ? QByteArray("out\nerr\n") : QByteArray("out\n"));
    }
}

void TestChildProcess::programThatCannotStart()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString notExecutable = dir.filePath(QStringLiteral("loginctl"));
    QVERIFY(TestEnv::writeFile(notExecutable, "#!/bin/sh\n"));
    for (const QString &program : {dir.filePath(QStringLiteral("missing")), notExecutable}) {
        ChildProcess p;
        p.setProgram(program);
        QSignalSpy errors(&p, &ChildProcess::errorOccurred);
        QSignalSpy finished(&p, &ChildProcess::finished);
        p.start();
        // As with QProcess, the failure comes from the event loop.
        QVERIFY(errors.isEmpty());
        QVERIFY(errors.wait(5000));
        QCOMPARE(errors.first().first().value<QProcess::ProcessError>(), QProcess::FailedToStart);
        QVERIFY2(p.errorString().contains(QStringLiteral("could not be started")),
                 qPrintable(p.errorString()));
        QVERIFY(finished.isEmpty());
    }
}

void TestChildProcess::crashIsReported()
{
    ChildProcess p;
    p.setProgram(QStringLiteral("/bin/sh"));
    p.setArguments(shell(QStringLiteral("kill -SEGV $$")));
    QSignalSpy errors(&p, &ChildProcess::errorOccurred);
    QSignalSpy finished(&p, &ChildProcess::finished);
    p.start();
    QVERIFY(finished.wait(10000));
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.first().first().value<QProcess::ProcessError>(), QProcess::Crashed);
    QCOMPARE(finished.first().at(0).toInt(), int(SIGSEGV));
    QCOMPARE(finished.first().at(1).value<QProcess::ExitStatus>(), QProcess::CrashExit);
}

void TestChildProcess::timeLimitKills()
{
    ChildProcess p;
    p.setProgram(QStringLiteral("/bin/sleep"));
    p.setArguments({QStringLiteral("60")});
    p.setTimeLimit(200);
    QSignalSpy timedOut(&p, &ChildProcess::timedOut);
    QSignalSpy finished(&p, &ChildProcess::finished);
    p.start();
    const qint64 pid = p.processId();
    QVERIFY(pid > 0);
    QVERIFY(timedOut.wait(10000));
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
    QVERIFY(p.hasTimedOut());
    QCOMPARE(p.timeoutText(), QStringLiteral("sleep did not answer within 1 seconds."));
    QVERIFY(!alive(pid));
}

void TestChildProcess::destructionKillsTheChild()
{
    qint64 pid = 0;
    {
        ChildProcess p;
        p.setProgram(QStringLiteral("/bin/sleep"));
        p.setArguments({QStringLiteral("60")});
        p.start();
        pid = p.processId();
        QVERIFY(pid > 0);
        QVERIFY(alive(pid));
    }
    // Reaped as well: not even a zombie is left.
    QVERIFY(!alive(pid));
}

QTEST_GUILESS_MAIN(TestChildProcess)
#include "tst_childprocess.moc"
