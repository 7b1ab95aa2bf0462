// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "apply/applyenvironment.h"
#include "apply/attachjob.h"
#include "apply/displaymanager.h"
#include "apply/saveplan.h"
#include "core/applylock.h"
#include "seatstate/layoutfile.h"
#include "seatstate/seatreader.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <sys/types.h>

// zel-multiseatctl's verbs: the seats shown, exported, laid out from a file
// or reset, through the same reading, rules, display manager handling and
// attach job as a save in the window, for scripts and configuration
// management. Applying the layout a machine already has changes nothing and
// says so in the exit code, which is what lets a fleet be brought in line
// again and again.
class MultiseatCtl : public QObject
{
    Q_OBJECT
public:
    enum Exit
    {
        Unchanged = 0, // nothing to change: nothing attached, nothing restarted
        Failed = 1,    // an error; the message says what
        Changed = 2,   // changed, or would change with --check
        Refused = 3,   // refused by a layout rule, which the message names
    };

    // Where the verbs write and what they know of the terminal.
    struct Io
    {
        QTextStream *out = nullptr; // what programs read: --json, --diff, export
        QTextStream *err = nullptr; // messages and progress
        bool inputIsTerminal = false;
        bool errorIsTerminal = false;      // one line of progress per device
        std::function<QString()> readLine; // an answer from standard input
        std::function<uid_t()> effectiveUid;
    };

    MultiseatCtl(const ApplyEnvironment &environment, const Io &io, QObject *parent = nullptr);

    // arguments as main() has them, the program's name first. Returns the
    // exit code.
    int run(const QStringList &arguments);

    // The stable name of a rule in messages and for scripts
    // ("seat-without-videocard").
    static QString ruleName(SaveMessage message);

private:
    int show(bool json);
    int exportLayout(const QString &path);
    int apply(const QString &path, bool check, bool diff, bool restart);
    int reset(bool yes, bool check);

    bool read(SeatLayout *layout);
    QString productOf(const QStringList &addresses) const;
    bool lock(ApplyLock &lock);
    bool keepBefore(const SeatLayout &before);
    int attach(const QList<AttachPair> &queue, const QHash<QString, QString> &names,
               int furtherSeats, const QList<SeatSession> &sessions, bool restart);
    int finishChange(const DisplayManager &displayManager, const QList<SeatSession> &sessions,
                     bool restart);
    void say(const QString &text);
    bool stoppedBySignal();

    ApplyEnvironment m_environment;
    Io m_io;
    bool m_endingOnSignal = false;
};
