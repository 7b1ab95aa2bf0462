// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "apply/applyenvironment.h"
#include "core/applylock.h"
#include "core/constants.h"
#include "core/terminationsignals.h"
#include "core/translations.h"
#include "core/trustedhome.h"
#include "ctl/multiseatctl.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <iostream>
#include <string>
#include <unistd.h>

int main(int argc, char *argv[])
{
    // Root keeps no file in a folder its caller could change.
    TrustedHome::secure(::geteuid());
    QCoreApplication app(argc, argv);
    // The window's settings store: the seats' display names are shared.
    QCoreApplication::setApplicationName(QStringLiteral("zel-admin-multiseat"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(Constants::Version));
    Translations::install(Translations::besideProgram());

    QTextStream out(stdout);
    QTextStream err(stderr);
    MultiseatCtl::Io io;
    io.out = &out;
    io.err = &err;
    io.inputIsTerminal = ::isatty(STDIN_FILENO) == 1;
    io.errorIsTerminal = ::isatty(STDERR_FILENO) == 1;
    io.readLine = [] {
        std::string line;
        std::getline(std::cin, line);
        return QString::fromLocal8Bit(line.c_str());
    };
    io.effectiveUid = [] { return ::geteuid(); };
    // A save runs to its end on SIGTERM, SIGINT or SIGHUP; nothing is
    // restarted then.
    TerminationSignals termination;
    QStringList arguments = QCoreApplication::arguments();
    arguments[0] = ApplyLock::CommandHolder;
    return MultiseatCtl(ApplyEnvironment::system(), io).run(arguments);
}
