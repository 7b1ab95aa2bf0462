// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

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
// QProcess's interface the tool uses. Every start ends in exactly one
// ended(), which says how.
//
// It differs from QProcess in these ways:
// - The child is started with vfork and exec. QProcess forks, which copies
//   the page tables of the whole tool and then makes the tool fault on every
//   page it writes until the child has exec'd: with a full window that cost
//   several times what loginctl itself takes, for every command.
// - The child leads a process group of its own, and the whole group is
//   killed when the child ends, when it is stopped, when it runs past the
//   time limit or writes past the output limit, and when this object goes:
//   nothing the command started outlives it. The kernel kills the child
//   when the tool dies, however the tool dies.
// Standard input and standard error are /dev/null, unless errors are asked
// for with the output; standard output is read.
class ChildProcess : public QObject
{
    Q_OBJECT
public:
    enum class End
    {
        Exited,        // on its own; code is the exit status
        Crashed,       // killed by a signal; code is the signal
        FailedToStart, // errorString() says why
        TimedOut,      // killed at the time limit
        TooMuchOutput, // killed at the output limit; what it wrote is dropped
    };
    Q_ENUM(End)

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
    // Bytes of output, Constants::CommandOutputLimitBytes unless set; 0: no limit.
    void setOutputLimit(qint64 bytes) { m_outputLimit = bytes; }

    // Starts the program; even a failure to start is reported by ended()
    // once control is back in the event loop, as QProcess does.
    void start();
    QProcess::ProcessState state() const
    {
        return m_pid > 0 ? QProcess::Running : QProcess::NotRunning;
    }
    qint64 processId() const { return m_pid; }

    // What the child wrote to its standard output and was not read yet.
    QByteArray readAllStandardOutput();
    // What ended the last run, when it did not exit on its own: "loginctl
    // could not be started: …", "loginctl crashed", "loginctl did not answer
    // within 30 seconds.", "loginctl wrote more than 16 MiB of output."
    QString errorString() const { return m_errorString; }

    // Kills the child and everything it started; the end follows as a crash.
    void kill();

signals:
    void ended(ChildProcess::End end, int code);

private:
    void failToStart(int error);
    // False once the output is past the limit.
    bool readOutput();
    void onOutput();
    void onExited();
    void tell(End end, int code);
    bool waitForExit(int ms);
    void killGroup();
    void killFor(End why);
    void release();
    void onTimeLimit();

    QString m_program;
    QStringList m_arguments;
    QStringList m_environment; // empty: the tool's own
    bool m_ownEnvironment = false;
    bool m_errorsToOutput = false;
    QString m_errorString;
    QByteArray m_output;
    qint64 m_outputLimit;

    qint64 m_pid = 0; // also the process group's id
    int m_outputFd = -1;
    int m_exitFd = -1; // a pidfd, readable once the child has ended
    QSocketNotifier *m_outputNotifier = nullptr;
    QSocketNotifier *m_exitNotifier = nullptr;
    QTimer m_exitPoll; // where the kernel has no pidfds

    QTimer m_watchdog;
    int m_limitMs = 0;
    // Why the tool killed the running child, Exited when it did not.
    End m_killedFor = End::Exited;
    bool m_endTold = false; // a child that outlived its kill is only reaped
};
