// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/childprocess.h"

#include "core/constants.h"
#include "core/syscall.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QVector>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

// Everything the child needs, prepared before the vfork: between vfork and
// exec the child shares the tool's memory and may only make system calls.
struct Launch
{
    const char *path;
    char *const *argv;
    char *const *envp;
    int devNull;
    int output; // write end of the output pipe
    int errors; // where standard error goes: devNull or output
    int report; // write end of the pipe that carries exec's errno
    pid_t parent;
    sigset_t mask; // the tool's signal mask, for the program
};

[[noreturn]] void execChild(const Launch &launch)
{
    // Handlers of the tool must not run in here; exec would reset them anyway.
    for (int sig = 1; sig < NSIG; ++sig) {
        struct sigaction action;
        if (::sigaction(sig, nullptr, &action) == 0 && action.sa_handler != SIG_IGN &&
            action.sa_handler != SIG_DFL) {
            action.sa_handler = SIG_DFL;
            action.sa_flags = 0;
            ::sigaction(sig, &action, nullptr);
        }
    }
    // A group of its own, so that whatever it starts can be killed with it.
    ::setpgid(0, 0);
    // Die with the tool. Had it died already, the signal would never come.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != launch.parent)
        ::_exit(127);
    ::dup2(launch.devNull, STDIN_FILENO);
    ::dup2(launch.output, STDOUT_FILENO);
    ::dup2(launch.errors, STDERR_FILENO);
    ::sigprocmask(SIG_SETMASK, &launch.mask, nullptr);
    ::execve(launch.path, launch.argv, launch.envp);
    const int error = errno;
    while (::write(launch.report, &error, sizeof error) < 0 && errno == EINTR) {
    }
    ::_exit(127);
}

// vfork in a function of its own: the child never returns from it.
pid_t spawn(const Launch &launch)
{
    const pid_t pid = ::vfork();
    if (pid == 0)
        execChild(launch);
    return pid;
}

// A list of C strings that stays valid as long as the byte arrays.
struct CStrings
{
    QList<QByteArray> bytes;
    QVector<char *> pointers;

    void add(const QByteArray &text) { bytes.append(text); }
    char *const *data()
    {
        pointers.clear();
        for (QByteArray &text : bytes)
            pointers.append(text.data());
        pointers.append(nullptr);
        return pointers.data();
    }
};

// Whether the child has ended, leaving it to be reaped.
bool hasEnded(qint64 pid)
{
    siginfo_t info;
    info.si_pid = 0;
    return ::waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 || info.si_pid != 0;
}

void closeFd(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

ChildProcess::ChildProcess(QObject *parent)
    : QObject(parent), m_outputLimit(Constants::CommandOutputLimitBytes)
{
    qRegisterMetaType<ChildProcess::End>();
    m_watchdog.setSingleShot(true);
    m_watchdog.setTimerType(Qt::PreciseTimer);
    connect(&m_watchdog, &QTimer::timeout, this, &ChildProcess::onTimeLimit);
    m_exitPoll.setInterval(10);
    connect(&m_exitPoll, &QTimer::timeout, this, [this] {
        if (hasEnded(m_pid))
            onExited();
    });
}

ChildProcess::~ChildProcess()
{
    // Its end must not reach owners that are being destroyed around it.
    if (m_pid > 0) {
        killGroup();
        Syscall::retried([this] { return ::waitpid(pid_t(m_pid), nullptr, 0); });
        m_pid = 0;
    }
    release();
}

void ChildProcess::setProcessEnvironment(const QProcessEnvironment &environment)
{
    m_environment = environment.toStringList();
    m_ownEnvironment = true;
}

void ChildProcess::start()
{
    if (m_pid > 0)
        return;
    m_killedFor = End::Exited;
    m_endTold = false;
    m_output.clear();
    m_errorString.clear();

    const QString path = m_program.contains(QLatin1Char('/'))
                             ? m_program
                             : QStandardPaths::findExecutable(m_program);
    if (path.isEmpty()) {
        failToStart(ENOENT);
        return;
    }
    CStrings argv;
    argv.add(QFile::encodeName(m_program));
    for (const QString &argument : qAsConst(m_arguments))
        argv.add(argument.toLocal8Bit());
    CStrings envp;
    for (const QString &entry : qAsConst(m_environment))
        envp.add(entry.toLocal8Bit());
    const QByteArray nativePath = QFile::encodeName(path);

    int output[2] = {-1, -1};
    int report[2] = {-1, -1};
    const int devNull = Syscall::retried([] { return ::open("/dev/null", O_RDWR | O_CLOEXEC); });
    if (devNull < 0 || ::pipe2(output, O_CLOEXEC) != 0 || ::pipe2(report, O_CLOEXEC) != 0) {
        const int error = errno;
        int toClose[] = {devNull, output[0], output[1], report[0], report[1]};
        for (int &fd : toClose)
            closeFd(fd);
        failToStart(error);
        return;
    }

    Launch launch{nativePath.constData(),
                  argv.data(),
                  m_ownEnvironment ? envp.data() : environ,
                  devNull,
                  output[1],
                  m_errorsToOutput ? output[1] : devNull,
                  report[1],
                  ::getpid(),
                  {}};
    // No signal handler may run in the child while it shares the tool's memory.
    sigset_t all;
    ::sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &launch.mask);
    const pid_t pid = spawn(launch);
    const int spawnError = errno;
    ::pthread_sigmask(SIG_SETMASK, &launch.mask, nullptr);

    int unused = devNull;
    closeFd(unused);
    closeFd(output[1]);
    closeFd(report[1]);
    int execError = 0;
    const bool execFailed = pid > 0 && Syscall::retried([&] {
                                           return ::read(report[0], &execError, sizeof execError);
                                       }) == sizeof execError;
    closeFd(report[0]);
    if (pid < 0 || execFailed) {
        if (pid > 0)
            Syscall::retried([pid] { return ::waitpid(pid, nullptr, 0); });
        closeFd(output[0]);
        failToStart(pid < 0 ? spawnError : execError);
        return;
    }

    m_pid = pid;
    m_outputFd = output[0];
    // Read what there is and return: a child that writes and then stays must
    // not hold the tool in a read.
    ::fcntl(m_outputFd, F_SETFL, ::fcntl(m_outputFd, F_GETFL) | O_NONBLOCK);
    m_outputNotifier = new QSocketNotifier(m_outputFd, QSocketNotifier::Read, this);
    connect(m_outputNotifier, &QSocketNotifier::activated, this, &ChildProcess::onOutput);
    m_exitFd = int(::syscall(SYS_pidfd_open, pid, 0));
    if (m_exitFd >= 0) {
        ::fcntl(m_exitFd, F_SETFD, FD_CLOEXEC);
        m_exitNotifier = new QSocketNotifier(m_exitFd, QSocketNotifier::Read, this);
        connect(m_exitNotifier, &QSocketNotifier::activated, this, &ChildProcess::onExited);
    } else {
        m_exitPoll.start();
    }
    if (m_limitMs > 0)
        m_watchdog.start(m_limitMs);
}

void ChildProcess::failToStart(int error)
{
    m_errorString =
        tr("%1 could not be started: %2")
            .arg(QFileInfo(m_program).fileName(), QString::fromLocal8Bit(std::strerror(error)));
    // QProcess reports this from the event loop too: the caller's start()
    // returns first.
    QTimer::singleShot(0, this, [this] { tell(End::FailedToStart, 0); });
}

bool ChildProcess::readOutput()
{
    if (m_killedFor == End::TooMuchOutput)
        return false;
    if (m_outputFd < 0)
        return true;
    char buffer[16384];
    for (;;) {
        if (m_outputLimit > 0 && m_output.size() > m_outputLimit) {
            // No answer is that long: what came is dropped now, not once
            // the child is gone, so that memory stays bounded.
            m_output = QByteArray();
            m_killedFor = End::TooMuchOutput;
            return false;
        }
        const ssize_t n = ::read(m_outputFd, buffer, sizeof buffer);
        if (n > 0) {
            m_output.append(buffer, int(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // End of file: nothing more will come, and a notifier left on would
        // fire for it again and again.
        if (n == 0 && m_outputNotifier)
            m_outputNotifier->setEnabled(false);
        return true;
    }
}

void ChildProcess::onOutput()
{
    if (!readOutput())
        killFor(End::TooMuchOutput);
}

QByteArray ChildProcess::readAllStandardOutput()
{
    if (!readOutput())
        return QByteArray();
    QByteArray output;
    output.swap(m_output);
    return output;
}

void ChildProcess::onExited()
{
    if (m_pid <= 0)
        return;
    // The group goes with its leader. Not reaped yet, the leader keeps the
    // group's number from being given to anyone else.
    killGroup();
    int status = 0;
    const pid_t reaped =
        Syscall::retried([this, &status] { return ::waitpid(pid_t(m_pid), &status, 0); });
    // What it wrote before it ended.
    const bool withinLimit = readOutput();
    m_pid = 0;
    m_watchdog.stop();
    release();
    if (m_endTold)
        return;
    End end = m_killedFor;
    int code = 0;
    if (end == End::Exited && !withinLimit) {
        end = End::TooMuchOutput;
    } else if (end == End::Exited && reaped > 0 && WIFSIGNALED(status)) {
        end = End::Crashed;
        code = WTERMSIG(status);
    } else if (end == End::Exited) {
        code = reaped > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    tell(end, code);
}

void ChildProcess::tell(End end, int code)
{
    const QString name = QFileInfo(m_program).fileName();
    switch (end) {
    case End::Crashed:
        m_errorString = tr("%1 crashed").arg(name);
        break;
    case End::TimedOut:
        m_errorString = tr("%1 did not answer within %2 seconds.")
                            .arg(name)
                            .arg(int(std::ceil(m_limitMs / 1000.0)));
        break;
    case End::TooMuchOutput:
        m_errorString = tr("%1 wrote more than %2 MiB of output.")
                            .arg(name)
                            .arg(qint64(std::ceil(double(m_outputLimit) / (1024 * 1024))));
        break;
    case End::Exited:
    case End::FailedToStart:
        break;
    }
    emit ended(end, code);
}

void ChildProcess::release()
{
    m_exitPoll.stop();
    delete m_outputNotifier;
    m_outputNotifier = nullptr;
    delete m_exitNotifier;
    m_exitNotifier = nullptr;
    closeFd(m_outputFd);
    closeFd(m_exitFd);
}

void ChildProcess::killGroup()
{
    if (m_pid <= 0)
        return;
    ::kill(-pid_t(m_pid), SIGKILL);
    ::kill(pid_t(m_pid), SIGKILL); // in case it never got a group of its own
}

void ChildProcess::kill()
{
    killGroup();
}

bool ChildProcess::waitForExit(int ms)
{
    if (m_pid <= 0)
        return true;
    const QDeadlineTimer deadline(ms);
    if (m_exitFd >= 0) {
        pollfd fd{m_exitFd, POLLIN, 0};
        int ready;
        do {
            ready = ::poll(&fd, 1, int(deadline.remainingTime()));
        } while (ready < 0 && errno == EINTR);
        if (ready <= 0)
            return false;
    } else {
        while (!hasEnded(m_pid)) {
            if (deadline.hasExpired())
                return false;
            ::usleep(1000);
        }
    }
    onExited();
    return true;
}

void ChildProcess::killFor(End why)
{
    if (m_pid <= 0)
        return;
    m_killedFor = why;
    killGroup();
    // SIGKILL ends it at once: wait for that, so that a command started
    // from the end's handler finds the runner free.
    if (waitForExit(5000))
        return;
    // Held in the kernel: told now, reaped whenever it ends.
    m_endTold = true;
    m_watchdog.stop();
    tell(why, 0);
}

void ChildProcess::onTimeLimit()
{
    killFor(End::TimedOut);
}
