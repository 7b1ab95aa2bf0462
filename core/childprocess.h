#pragma once

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTimer>

class QSocketNotifier;

// One command at a time, run as a child of the tool, with the part of
// QProcess's interface the tool uses and its signals in the same order (on a
// crash errorOccurred(Crashed), then finished with the signal number).
//
// It differs from QProcess in three ways:
// - The child is started with vfork and exec. QProcess forks, which copies
//   the page tables of the whole tool and then makes the tool fault on every
//   page it writes until the child has exec'd: with a full window that cost
//   several times what loginctl itself takes, for every command.
// - The kernel kills the child when the tool dies, however the tool dies, and
//   a child still running when this object goes is killed without a word.
// - A run that has not ended after the time limit is killed and reported
//   with timedOut(); its end then counts as that, not as a crash.
// Standard input and standard error are /dev/null, unless errors are asked
// for with the output; standard output is read.
class ChildProcess : public QObject
{
    Q_OBJECT
public:
    explicit ChildProcess(QObject *parent = nullptr);
    ~ChildProcess() override;

    // A name looked up on the search path when it holds no slash.
    void setProgram(const QString &program) { m_program = program; }
    QString program() const { return m_program; }
    void setArguments(const QStringList &arguments) { m_arguments = arguments; }
    // The child's environment; the tool's own unless set.
    void setProcessEnvironment(const QProcessEnvironment &environment);

    // Standard error read together with standard output (off by default).
    void setErrorsToOutput(bool merge) { m_errorsToOutput = merge; }

    // 0: no limit.
    void setTimeLimit(int ms) { m_limitMs = ms; }
    int timeLimit() const { return m_limitMs; }
    // The last run was killed for running too long.
    bool hasTimedOut() const { return m_timedOut; }
    // "loginctl did not answer within 30 seconds."
    QString timeoutText() const;

    // Starts the program; a failure to start is reported by errorOccurred()
    // once control is back in the event loop, as QProcess does.
    void start();
    QProcess::ProcessState state() const
    {
        return m_pid > 0 ? QProcess::Running : QProcess::NotRunning;
    }
    qint64 processId() const { return m_pid; }

    // What the child wrote to its standard output and was not read yet.
    QByteArray readAllStandardOutput();
    QString errorString() const { return m_errorString; }

    void kill();
    // Waits at most ms for the child's end and reports it; false when it
    // still runs.
    bool waitForFinished(int ms);

signals:
    void finished(int exitCode, QProcess::ExitStatus exitStatus);
    void errorOccurred(QProcess::ProcessError error);
    void timedOut();

private:
    void failToStart(int error);
    void readOutput();
    void onExited();
    void release();
    void onTimeLimit();

    QString m_program;
    QStringList m_arguments;
    QStringList m_environment; // empty: the tool's own
    bool m_ownEnvironment = false;
    bool m_errorsToOutput = false;
    QString m_errorString;
    QByteArray m_output;

    qint64 m_pid = 0;
    int m_outputFd = -1;
    int m_exitFd = -1; // a pidfd, readable once the child has ended
    QSocketNotifier *m_outputNotifier = nullptr;
    QSocketNotifier *m_exitNotifier = nullptr;
    QTimer m_exitPoll; // where the kernel has no pidfds

    QTimer m_watchdog;
    int m_limitMs = 0;
    bool m_timedOut = false;
};
