// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Runs the program's start-up with a chosen user id and integrity answer, and
// reports what happened to a file: every message box (answered with Ok), the
// start of the event loop, and every raise request.
//
//   zel-startup-driver --report FILE --run-dir DIR [--euid N] [--mic yes|no] [--minimize]
//                      [--translations DIR] [--own-home DIR] [--store]
//
// --own-home stands for root's home in the password database; --store writes
// one setting once the window runs. The driver reads its own arguments
// before the start-up drops or keeps them as the program does.

#include "app/elevatedstart.h"
#include "app/startup.h"
#include "core/appsettings.h"
#include "mainwindow/mainwindow.h"
#include "platform/prompt.h"
#include "platform/qtsingleapplication.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QMenuBar>
#include <QSettings>
#include <QStyle>
#include <QTimer>

namespace {

QString g_report;

void report(const QString &line)
{
    QFile file(g_report);
    if (file.open(QIODevice::Append | QIODevice::Text))
        file.write(line.toUtf8() + '\n');
}

QString argument(int argc, char **argv, const char *name, const char *fallback)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], name) == 0)
            return QString::fromLocal8Bit(argv[i + 1]);
    }
    return QString::fromLatin1(fallback);
}

bool flag(int argc, char **argv, const char *name)
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], name) == 0)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    g_report = argument(argc, argv, "--report", "");
    const uid_t euid = argument(argc, argv, "--euid", "0").toUInt();
    const bool mic = argument(argc, argv, "--mic", "yes") == QLatin1String("yes");
    const bool minimize = flag(argc, argv, "--minimize");
    const bool store = flag(argc, argv, "--store");
    // Root's home stands in for the test's own unless given: never the real one.
    const QString ownHome =
        argument(argc, argv, "--own-home", QFile::decodeName(qgetenv("HOME")).toUtf8().constData());
    const QString runDir = argument(argc, argv, "--run-dir", "/nonexistent");
    const QString translations = argument(argc, argv, "--translations", "");
    ElevatedStart::prepare(argc, argv, [ownHome] { return ownHome; });

    // Root's copies meet in the test's folder, never in the real /run.
    QtSingleApplication app(argc, argv, true, runDir);

    // Every box is reported and answered with Ok.
    Prompt::setHook([](const Prompt::Request &request) {
        QString text = request.text;
        report(QStringLiteral("box\t%1\t%2\t%3\t%4")
                   .arg(request.title, text.replace('\n', "\\n"),
                        QCoreApplication::applicationVersion(),
                        QGuiApplication::applicationDisplayName()));
        Prompt::Answer answer;
        answer.button = QMessageBox::Ok;
        return answer;
    });

    QObject::connect(&app, &QtSingleApplication::messageReceived, [&app](const QString &message) {
        // Look once the activation has been handled.
        QTimer::singleShot(200, [&app, message] {
            QWidget *w = app.activationWindow();
            report(QStringLiteral("message\t%1\tvisible=%2\tminimized=%3\tactive=%4")
                       .arg(message)
                       .arg(w && w->isVisible())
                       .arg(w && w->isMinimized())
                       .arg(w && w->isActiveWindow()));
        });
    });

    StartupChecks checks{[euid] { return euid; }, [mic] { return mic; },
                         translations.isEmpty() ? QStringList() : QStringList{translations}};
    const int result = runApplication(app, checks, [minimize, store] {
        // Nothing of the real system is read or restarted from here.
        MainWindowEnvironment environment;
        environment.displayManagerLogDir = QStringLiteral("/nonexistent/log");
        environment.drmClassDir = QStringLiteral("/nonexistent/drm");
        environment.displayManagerConfig = QStringLiteral("/nonexistent/zel-dmrc");
        environment.displayManagerLink = QStringLiteral("/nonexistent/display-manager.service");
        environment.defaultDisplayManager = QStringLiteral("/nonexistent/default-display-manager");
        environment.restartService = [](const QString &, QString *) { return false; };
        auto window = std::make_unique<MainWindow>(nullptr, environment);
        QWidget *w = window.get();
        QTimer::singleShot(0, w, [w, minimize, store] {
            if (store)
                AppSettings::setShowUnknownDevices(true);
            report(QStringLiteral("environment\tstyle=%1\thome=%2\tsettings=%3\targs=%4")
                       .arg(QApplication::style()->objectName(),
                            QString::fromLocal8Bit(qgetenv("HOME")), QSettings().fileName())
                       .arg(QCoreApplication::arguments().size()));
            if (minimize)
                w->showMinimized();
            QStringList menus;
            for (const QAction *action : w->findChild<QMenuBar *>()->actions())
                menus << action->text();
            report(QStringLiteral("running\t%1\tminimized=%2\t%3\t%4\t%5")
                       .arg(w->windowTitle())
                       .arg(w->isMinimized())
                       .arg(menus.join(QLatin1Char('|')), QGuiApplication::applicationDisplayName(),
                            // One of Qt's own texts.
                            QCoreApplication::translate("QPlatformTheme", "Cancel")));
        });
        return window;
    });
    report(QStringLiteral("exit\t%1").arg(result));
    return result;
}
