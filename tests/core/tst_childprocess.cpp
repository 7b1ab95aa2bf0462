// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/testenv.h"
#include "core/childprocess.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

// The runner every command of the tool goes through: what it hands back of
// a child's output and end, and that no child, nor anything a child started,
// outlives its welcome.

namespace {

using End = ChildProcess::End;

QStringList shell(const QString &script)
{
    return {QStringLiteral("-c"), script};
}

bool alive(qint64 pid)
{
    return ::kill(pid_t(pid), 0) == 0 || errno != ESRCH;
}

End endOf(const QSignalSpy &ended, int index = 0)
{
    return ended.at(index).at(0).value<End>();
}

int codeOf(const QSignalSpy &ended, int index = 0)
{
    return ended.at(index).at(1).toInt();
}

double cpuSeconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

long peakResidentKb()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

QByteArray readLink(const QString &path)
{
    char target[4096];
    const ssize_t n = ::readlink(QFile::encodeName(path).constData(), target, sizeof target);
    return n < 0 ? QByteArray() : QByteArray(target, int(n));
}

// What the descriptors of a process lead to, by number.
QHash<int, QString> descriptors(const QString &procDir)
{
    QHash<int, QString> found;
    const QDir dir(procDir + QStringLiteral("/fd"));
    for (const QString &entry :
         dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System))
        found.insert(entry.toInt(), QFile::decodeName(readLink(dir.filePath(entry))));
    return found;
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
    void wholeGroupGoes_data();
    void wholeGroupGoes();
    void outputPastTheLimitIsDropped();
    void childThatWritesAndStaysLeavesTheToolFree();
    void closedOutputIsNotWatchedAgain();
    void childGetsOnlyItsOwnDescriptors();
    void everyEndClosesItsDescriptors_data();
    void everyEndClosesItsDescriptors();
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
    QSignalSpy ended(&p, &ChildProcess::ended);
    p.start();
    QCOMPARE(p.state(), QProcess::Running);
    QVERIFY(ended.wait(10000));
    QCOMPARE(ended.size(), 1);
    QCOMPARE(endOf(ended), End::Exited);
    QCOMPARE(codeOf(ended), 3);
    const QByteArray output = p.readAllStandardOutput();
    QCOMPARE(output.size(), 200003);
    QVERIFY(output.endsWith("end"));
    QVERIFY(p.errorString().isEmpty());
    QCOMPARE(p.state(), QProcess::NotRunning);
}

void TestChildProcess::errorsOnlyWhenAsked()
{
    for (const bool merge : {false, true}) {
        ChildProcess p;
        p.setProgram(QStringLiteral("sh")); // found on the search path
        p.setArguments(shell(QStringLiteral("echo out; echo err >&2")));
        p.setErrorsToOutput(merge);
        QSignalSpy ended(&p, &ChildProcess::ended);
        p.start();
        QVERIFY(ended.wait(10000));
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
        QSignalSpy ended(&p, &ChildProcess::ended);
        p.start();
        // As with QProcess, the failure comes from the event loop.
        QVERIFY(ended.isEmpty());
        QVERIFY(ended.wait(5000));
        QCOMPARE(ended.size(), 1);
        QCOMPARE(endOf(ended), End::FailedToStart);
        QVERIFY2(p.errorString().contains(QStringLiteral("could not be started")),
                 qPrintable(p.errorString()));
    }
}

void TestChildProcess::crashIsReported()
{
    ChildProcess p;
    p.setProgram(QStringLiteral("/bin/sh"));
    p.setArguments(shell(QStringLiteral("kill -SEGV $$")));
    QSignalSpy ended(&p, &ChildProcess::ended);
    p.start();
    QVERIFY(ended.wait(10000));
    QCOMPARE(ended.size(), 1);
    QCOMPARE(endOf(ended), End::Crashed);
    QCOMPARE(codeOf(ended), int(SIGSEGV));
    QCOMPARE(p.errorString(), QStringLiteral("sh crashed"));
}

// Told once the child is reaped: a command started from the handler runs.
void TestChildProcess::timeLimitKills()
{
    ChildProcess p;
    p.setProgram(QStringLiteral("/bin/sleep"));
    p.setArguments({QStringLiteral("60")});
    p.setTimeLimit(200);
    QSignalSpy ended(&p, &ChildProcess::ended);
    QString told;
    connect(&p, &ChildProcess::ended, this, [&p, &told](End end) {
        if (end != End::TimedOut)
            return;
        told = p.errorString();
        p.setArguments({QStringLiteral("0")});
        p.start();
    });
    p.start();
    const qint64 pid = p.processId();
    QVERIFY(pid > 0);
    QVERIFY(ended.wait(10000));
    QCOMPARE(endOf(ended), End::TimedOut);
    QCOMPARE(told, QStringLiteral("sleep did not answer within 1 seconds."));
    QVERIFY(!alive(pid));
    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 2, 10000);
    QCOMPARE(endOf(ended, 1), End::Exited);
    QCOMPARE(codeOf(ended, 1), 0);
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

// However a command ends, what it started in the background goes with it.
void TestChildProcess::wholeGroupGoes_data()
{
    QTest::addColumn<QString>("rest"); // what the command does once the test lets it go on
    QTest::addColumn<QString>("how");  // what the test does then
    QTest::addColumn<int>("end");
    QTest::newRow("exit") << "exit 0"
                          << "" << int(End::Exited);
    QTest::newRow("crash") << "kill -SEGV $$"
                           << "" << int(End::Crashed);
    QTest::newRow("time limit") << "wait"
                                << "" << int(End::TimedOut);
    QTest::newRow("output limit") << "exec head -c 100000000 /dev/zero"
                                  << "" << int(End::TooMuchOutput);
    QTest::newRow("stop") << "wait"
                          << "stop" << int(End::Crashed);
    QTest::newRow("destruction") << "wait"
                                 << "destroy" << -1;
}

void TestChildProcess::wholeGroupGoes()
{
    QFETCH(QString, rest);
    QFETCH(QString, how);
    QFETCH(int, end);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString pidFile = dir.filePath(QStringLiteral("grandchild"));
    const QString go = dir.filePath(QStringLiteral("go"));
    auto p = std::make_unique<ChildProcess>();
    p->setProgram(QStringLiteral("/bin/sh"));
    p->setArguments(shell(QStringLiteral("sleep 60 >/dev/null 2>&1 & echo $! >'%1'; "
                                         "while [ ! -e '%2' ]; do sleep 0.02; done; %3")
                              .arg(pidFile, go, rest)));
    p->setOutputLimit(1024 * 1024);
    // Long enough for the look at the grandchild, however busy the machine.
    p->setTimeLimit(end == int(End::TimedOut) ? 3000 : 0);
    QSignalSpy ended(p.get(), &ChildProcess::ended);
    p->start();
    QTRY_VERIFY_WITH_TIMEOUT(TestEnv::readFile(pidFile).endsWith('\n'), 10000);
    const qint64 grandchild = TestEnv::readFile(pidFile).trimmed().toLongLong();
    QVERIFY(grandchild > 0);
    QVERIFY(TestEnv::processAlive(grandchild));
    QVERIFY(ended.isEmpty());
    QVERIFY(TestEnv::writeFile(go, ""));
    if (how == QLatin1String("stop"))
        p->kill();
    if (how == QLatin1String("destroy")) {
        p.reset();
    } else {
        QVERIFY(ended.wait(10000));
        QCOMPARE(ended.size(), 1);
        QCOMPARE(int(endOf(ended)), end);
    }
    QTRY_VERIFY_WITH_TIMEOUT(!TestEnv::processAlive(grandchild), 5000);
}

// Output past the limit is neither kept nor read on: memory stays bounded
// whatever the child prints.
void TestChildProcess::outputPastTheLimitIsDropped()
{
    const long before = peakResidentKb();
    ChildProcess p;
    p.setProgram(QStringLiteral("/bin/sh"));
    p.setArguments(shell(QStringLiteral("head -c 300000000 /dev/zero")));
    p.setOutputLimit(1024 * 1024);
    QSignalSpy ended(&p, &ChildProcess::ended);
    p.start();
    QVERIFY(ended.wait(20000));
    QCOMPARE(ended.size(), 1);
    QCOMPARE(endOf(ended), End::TooMuchOutput);
    QCOMPARE(p.errorString(), QStringLiteral("sh wrote more than 1 MiB of output."));
    QVERIFY(p.readAllStandardOutput().isEmpty());
    const long grownKb = peakResidentKb() - before;
    QVERIFY2(grownKb < 64 * 1024, qPrintable(QString::number(grownKb)));
}

// A child that writes and then stays does not keep the tool in a read: its
// time limit still ends it, long before it would end on its own.
void TestChildProcess::childThatWritesAndStaysLeavesTheToolFree()
{
    ChildProcess p;
    p.setProgram(QStringLiteral("/bin/sh"));
    p.setArguments(shell(QStringLiteral("printf x; exec sleep 30")));
    p.setTimeLimit(300);
    QSignalSpy ended(&p, &ChildProcess::ended);
    QElapsedTimer clock;
    clock.start();
    p.start();
    QVERIFY(ended.wait(60000));
    QCOMPARE(endOf(ended), End::TimedOut);
    QVERIFY2(clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));
}

// A child that closed its output and lives on is waited for, not polled:
// the tool uses next to no processor time meanwhile.
void TestChildProcess::closedOutputIsNotWatchedAgain()
{
    ChildProcess p;
    p.setProgram(QStringLiteral("/bin/sh"));
    p.setArguments(shell(QStringLiteral("exec >&-; exec sleep 1")));
    QSignalSpy ended(&p, &ChildProcess::ended);
    const double before = cpuSeconds();
    p.start();
    QVERIFY(ended.wait(20000));
    QCOMPARE(endOf(ended), End::Exited);
    const double used = cpuSeconds() - before;
    QVERIFY2(used < 0.2, qPrintable(QString::number(used)));
}

// The child has /dev/null for input and errors and the pipe for output,
// and none of the tool's own descriptors: not its input, not the pipes of
// this or another command.
void TestChildProcess::childGetsOnlyItsOwnDescriptors()
{
    // The tool's input is something else than /dev/null here, so that an
    // inherited one shows.
    int input[2];
    QCOMPARE(::pipe2(input, O_CLOEXEC), 0);
    const int savedInput = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 10);
    QVERIFY(savedInput >= 0);
    QCOMPARE(::dup2(input[0], STDIN_FILENO), STDIN_FILENO);
    const auto restoreInput = qScopeGuard([&] {
        ::dup2(savedInput, STDIN_FILENO);
        ::close(savedInput);
        ::close(input[0]);
        ::close(input[1]);
    });
    // What any child of this test inherits, whoever starts it.
    QSet<QString> inheritable;
    const QHash<int, QString> own = descriptors(QStringLiteral("/proc/self"));
    for (auto it = own.cbegin(); it != own.cend(); ++it) {
        const int flags = ::fcntl(it.key(), F_GETFD);
        if (it.key() > 2 && flags >= 0 && !(flags & FD_CLOEXEC))
            inheritable.insert(it.value());
    }

    ChildProcess other; // a command of its own running meanwhile
    other.setProgram(QStringLiteral("/bin/sleep"));
    other.setArguments({QStringLiteral("10")});
    other.start();
    ChildProcess p;
    p.setProgram(QStringLiteral("/bin/sleep"));
    p.setArguments({QStringLiteral("10")});
    p.start();
    QVERIFY(p.processId() > 0);
    const QHash<int, QString> child = descriptors(QStringLiteral("/proc/%1").arg(p.processId()));
    QCOMPARE(child.value(0), QStringLiteral("/dev/null"));
    QVERIFY2(child.value(1).startsWith(QLatin1String("pipe:")), qPrintable(child.value(1)));
    QCOMPARE(child.value(2), QStringLiteral("/dev/null"));
    for (auto it = child.cbegin(); it != child.cend(); ++it) {
        QVERIFY2(it.key() <= 2 || inheritable.contains(it.value()),
                 qPrintable(QStringLiteral("%1 -> %2").arg(it.key()).arg(it.value())));
    }
}

// Whatever way a run ends, it leaves no descriptor behind.
void TestChildProcess::everyEndClosesItsDescriptors_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("end");
    QTest::newRow("exit") << "/bin/sh"
                          << "echo out" << int(End::Exited);
    QTest::newRow("crash") << "/bin/sh"
                           << "kill -KILL $$" << int(End::Crashed);
    QTest::newRow("failed start") << "/nonexistent/loginctl"
                                  << "" << int(End::FailedToStart);
    QTest::newRow("time limit") << "/bin/sh"
                                << "exec sleep 60" << int(End::TimedOut);
    QTest::newRow("output limit") << "/bin/sh"
                                  << "exec head -c 10000000 /dev/zero" << int(End::TooMuchOutput);
}

void TestChildProcess::everyEndClosesItsDescriptors()
{
    QFETCH(QString, program);
    QFETCH(QString, script);
    QFETCH(int, end);
    ChildProcess p;
    p.setProgram(program);
    p.setArguments(shell(script));
    p.setTimeLimit(100);
    p.setOutputLimit(1024 * 1024);
    QSignalSpy ended(&p, &ChildProcess::ended);
    const auto run = [&] {
        const int before = ended.size();
        p.start();
        return ended.wait(10000) && ended.size() == before + 1 && int(endOf(ended, before)) == end;
    };
    QVERIFY(run()); // whatever is opened once and kept, before counting
    const int open = TestEnv::openDescriptors();
    for (int i = 0; i < 10; ++i)
        QVERIFY(run());
    QCOMPARE(TestEnv::openDescriptors(), open);
}

QTEST_GUILESS_MAIN(TestChildProcess)
#include "tst_childprocess.moc"
