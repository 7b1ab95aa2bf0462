// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/startup.h"

#include "core/translations.h"

#include "core/constants.h"
#include "core/terminationsignals.h"
#include "platform/micdetect.h"
#include "platform/prompt.h"
#include "platform/qtsingleapplication.h"
#include "platform/themeicons.h"
#include "platform/zelintegration.h"

#include <QCoreApplication>
#include <QIcon>

#include <unistd.h>

StartupChecks StartupChecks::system()
{
    return {[] { return ::geteuid(); }, [] { return MICDetect::isCurrentProcessHasMaxMIC(); },
            Translations::besideProgram()};
}

int runApplication(QtSingleApplication &app, const StartupChecks &checks,
                   const MainWindowFactory &createMainWindow)
{
    // Every text from here on, the refusals too, in the user's language.
    Translations::install(checks.translationDirs);
    // Announced before any check, also in a copy that is about to hand over.
    zelInit(Constants::Version,
            QCoreApplication::translate("Form", Constants::DisplayName).toUtf8().constData());

    if (app.isRunning()) {
        app.sendMessage(Constants::RaiseMessage, 5000);
        return -1;
    }

    if (checks.effectiveUid() != 0) {
        Prompt::warning(nullptr, QObject::tr("Warning!"),
                        QObject::tr("You should run this application with superuser privileges."));
        return 0;
    }

    if (!checks.hasMaxIntegrity()) {
        Prompt::warning(nullptr, QObject::tr("Warning!"),
                        QObject::tr("The operating system is running in the mode of "
                                    "mandatory integrity control.\nTo configure multiterminal "
                                    "mode, you must be logged into the session under a high "
                                    "level of integrity."));
        return 0;
    }

    ThemeIcons::init();
    QApplication::setWindowIcon(QIcon::fromTheme(QString::fromLatin1(Constants::IconName)));

    // Before the window, which ends itself on one of them; the tool then
    // ends with it.
    TerminationSignals termination;
    std::unique_ptr<QWidget> window = createMainWindow();
    window->show();
    app.setActivationWindow(window.get(), true);
    const int result = QApplication::exec();
    window.reset();
    return result;
}
