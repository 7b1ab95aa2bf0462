// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/terminationsignals.h"

#include "core/syscall.h"

#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

const int Handled[] = {SIGTERM, SIGINT, SIGHUP};

volatile sig_atomic_t g_writeFd = -1;
TerminationSignals *g_instance = nullptr;

void onSignal(int signal)
{
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    // The pipe never blocks: when it is full, signals are waiting in it anyway.
    while (::write(g_writeFd, &number, 1) < 0 && errno == EINTR) {
    }
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    // Without a pipe the signals keep their old effect.
    if (::pipe2(m_pipe, O_NONBLOCK | O_CLOEXEC) != 0)
        return;
    m_notifier = new QSocketNotifier(m_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::onReadable);
    g_writeFd = m_pipe[1];
    g_instance = this;
    struct sigaction action = {};
    action.sa_handler = onSignal;
    ::sigemptyset(&action.sa_mask);
    // Whatever the signal interrupts goes on where it can.
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i)
        ::sigaction(Handled[i], &action, &m_previous[i]);
}

TerminationSignals::~TerminationSignals()
{
    if (m_pipe[0] < 0)
        return;
    for (int i = 0; i < 3; ++i)
        ::sigaction(Handled[i], &m_previous[i], nullptr);
    g_writeFd = -1;
    g_instance = nullptr;
    delete m_notifier;
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
}

TerminationSignals *TerminationSignals::instance()
{
    return g_instance;
}

void TerminationSignals::onReadable()
{
    unsigned char numbers[64];
    for (;;) {
        const ssize_t n = Syscall::retried(
            [this, &numbers] { return ::read(m_pipe[0], numbers, sizeof numbers); });
        if (n <= 0)
            return;
        for (ssize_t i = 0; i < n; ++i)
            emit received(numbers[i]);
    }
}
