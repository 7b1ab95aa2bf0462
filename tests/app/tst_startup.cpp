// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/testenv.h"
#include "core/trustedhome.h"
#include "platform/singleinstancepeer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <unistd.h>

// Start-up is tested on separate processes: the order of the checks, the exit
// codes and the hand-over between two running copies are what matters. The
// program itself hands over in the end-to-end tests, inside the sandbox of the
// sample machine, since its window reads the system's paths.
class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void nonRootIsRefusedWithOneWarning();
    void integrityBelowMaximumIsRefused();
    void secondCopyHandsOverAndRaisesTheFirst();
    void handOverComesBeforeThePrivilegeCheck();
    void lockOfAKilledCopyDoesNotBlock();
    void childDiesWithAKilledCopy();
    void terminationSignalEndsTheTool_data();
    void terminationSignalEndsTheTool();
    void speaksTheUsersLanguage_data();
    void speaksTheUsersLanguage();
    void elevatedCallersHandNothingToQt_data();
    void elevatedCallersHandNothingToQt();
    void rootWritesNothingInACallersHome();

private:
    // locale: the locale variables to set, "LANG=C" when none are given.
    QProcess *startDriver(const QStringList &arguments, const QString &report,
                          const QStringList &locale = {}, const QStringList &environment = {});
    // The fields of the driver's "environment" line, by name.
    QHash<QString, QString> environmentOf(const QString &report);
    QStringList reportLines(const QString &report) const;
    bool waitForLine(const QString &report, const QString &prefix, int timeoutMs = 15000);
    QString reportPath(const QString &name) const { return m_system->path(name); }

    QString m_driver;
    // The window reads its seats from an emulated machine; reports and the
    // run directory are kept there too.
    std::unique_ptr<EmulatedSystem> m_system;
    QList<QProcess *> m_processes;
};

void TestStartup::initTestCase()
{
    TestEnv::init();
    m_driver = QStringLiteral(ZEL_STARTUP_DRIVER);
    QVERIFY(QFileInfo(m_driver).isExecutable());
}

void TestStartup::init()
{
    m_system = std::make_unique<EmulatedSystem>();
    QVERIFY(m_system->isValid());
    QVERIFY(m_system->writeMachine("seat seat0\n"));
}

void TestStartup::cleanup()
{
    for (QProcess *p : qAsConst(m_processes)) {
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(5000);
        }
        delete p;
    }
    m_processes.clear();
}

QProcess *TestStartup::startDriver(const QStringList &arguments, const QString &report,
                                   const QStringList &locale, const QStringList &environment)
{
    auto *p = new QProcess;
    // The language comes from the given variables alone, whatever the
    // machine running the tests has set.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C"));
    for (const QString &variable : locale + environment)
        env.insert(variable.section('=', 0, 0), variable.section('=', 1));
    p->setProcessEnvironment(env);
    p->setProcessChannelMode(QProcess::ForwardedChannels);
    p->start(m_driver, QStringList{"--report", report, "--run-dir", m_system->path()} + arguments);
    m_processes.append(p);
    return p;
}

QStringList TestStartup::reportLines(const QString &report) const
{
    return QString::fromUtf8(TestEnv::readFile(report)).split('\n', Qt::SkipEmptyParts);
}

bool TestStartup::waitForLine(const QString &report, const QString &prefix, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        for (const QString &line : reportLines(report)) {
            if (line.startsWith(prefix))
                return true;
        }
        QTest::qWait(50);
    }
    return false;
}

void TestStartup::nonRootIsRefusedWithOneWarning()
{
    const QString report = reportPath("report");
    QProcess *p = startDriver({"--euid", "1000", "--mic", "no"}, report);
    QVERIFY(p->waitForFinished(20000));
    QCOMPARE(p->exitStatus(), QProcess::NormalExit);
    QCOMPARE(p->exitCode(), 0);
    // One box, after zelInit (version and display name are already set), and
    // no integrity warning and no window.
    QCOMPARE(reportLines(report),
             QStringList({"box\tWarning!\tYou should run this application with superuser "
                          "privileges.\t1.0.9b1\tZel admin multiseat",
                          "exit\t0"}));
}

void TestStartup::integrityBelowMaximumIsRefused()
{
    const QString report = reportPath("report");
    QProcess *p = startDriver({"--euid", "0", "--mic", "no"}, report);
    QVERIFY(p->waitForFinished(20000));
    QCOMPARE(p->exitCode(), 0);
    QCOMPARE(reportLines(report),
             QStringList({"box\tWarning!\tThe operating system is running in the mode of "
                          "mandatory integrity control.\\nTo configure multiterminal mode, you "
                          "must be logged into the session under a high level of "
                          "integrity.\t1.0.9b1\tZel admin multiseat",
                          "exit\t0"}));
}

void TestStartup::secondCopyHandsOverAndRaisesTheFirst()
{
    const QString first = reportPath("first");
    startDriver({"--minimize"}, first);
    QVERIFY(waitForLine(first, "running\tZel admin multiseat\tminimized=1"));

    const QString second = reportPath("second");
    QProcess *p = startDriver({}, second);
    QVERIFY(p->waitForFinished(20000));
    QCOMPARE(p->exitCode(), 255); // -1 as a process exit status
    QCOMPARE(reportLines(second), QStringList({"exit\t-1"}));

    QVERIFY(waitForLine(first, "message\t"));
    QVERIFY(reportLines(first).contains("message\traise\tvisible=1\tminimized=0\tactive=1"));
}

void TestStartup::handOverComesBeforeThePrivilegeCheck()
{
    const QString first = reportPath("first");
    startDriver({}, first);
    QVERIFY(waitForLine(first, "running\t"));

    // A non-root user below the integrity level still just hands over.
    const QString second = reportPath("second");
    QProcess *p = startDriver({"--euid", "1000", "--mic", "no"}, second);
    QVERIFY(p->waitForFinished(20000));
    QCOMPARE(p->exitCode(), 255);
    QCOMPARE(reportLines(second), QStringList({"exit\t-1"}));
}

void TestStartup::lockOfAKilledCopyDoesNotBlock()
{
    const QString first = reportPath("first");
    QProcess *killed = startDriver({}, first);
    QVERIFY(waitForLine(first, "running\t"));
    ::kill(pid_t(killed->processId()), SIGKILL);
    QVERIFY(killed->waitForFinished(5000));

    const SingleInstancePeer probe(
        SingleInstancePeer::instanceId(m_driver, ::getuid()),
        SingleInstancePeer::runtimeDirectory(::getuid(), m_system->path()));
    QVERIFY2(QFileInfo::exists(probe.lockPath()), "the killed copy should have left its lock");

    const QString next = reportPath("next");
    QProcess *p = startDriver({}, next);
    QVERIFY2(waitForLine(next, "running\t"), "a stale lock kept the new copy from starting");
    QCOMPARE(p->state(), QProcess::Running);
}

// A tool killed outright (SIGKILL, no chance to clean up) while loginctl
// hangs: the kernel takes the child along.
void TestStartup::childDiesWithAKilledCopy()
{
    QVERIFY(m_system->writeMachine("seat seat0\nfault list-seats sleep 600000\n"));
    const QString report = reportPath("report");
    QProcess *tool = startDriver({}, report);
    QVERIFY(waitForLine(report, "running\t"));
    QList<qint64> children;
    QVERIFY(QTest::qWaitFor(
        [&] { return !(children = TestEnv::emulatorChildren(tool->processId())).isEmpty(); },
        10000));
    ::kill(pid_t(tool->processId()), SIGKILL);
    QVERIFY(tool->waitForFinished(5000));
    QVERIFY2(QTest::qWaitFor([&] { return !TestEnv::processAlive(children.first()); }, 5000),
             "the hung loginctl outlived the killed tool");
}

// A shutdown, Ctrl+C or a closed terminal ends the tool through its event
// loop, as a closed window would: exit code 0, and the loginctl it was
// waiting for goes with it.
void TestStartup::terminationSignalEndsTheTool_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

void TestStartup::terminationSignalEndsTheTool()
{
    QFETCH(int, signal);
    QVERIFY(m_system->writeMachine("seat seat0\nfault list-seats sleep 600000\n"));
    const QString report = reportPath("report");
    QProcess *tool = startDriver({}, report);
    QVERIFY(waitForLine(report, "running\t"));
    QList<qint64> children;
    QVERIFY(QTest::qWaitFor(
        [&] { return !(children = TestEnv::emulatorChildren(tool->processId())).isEmpty(); },
        10000));
    ::kill(pid_t(tool->processId()), signal);
    QVERIFY(tool->waitForFinished(10000));
    QCOMPARE(tool->exitStatus(), QProcess::NormalExit);
    QCOMPARE(tool->exitCode(), 0);
    QCOMPARE(reportLines(report).last(), QStringLiteral("exit\t0"));
    QVERIFY(QTest::qWaitFor([&] { return !TestEnv::processAlive(children.first()); }, 5000));
}

// The program speaks one language, the first of the user's that it has or
// English: its own texts, Qt's own texts and the refusal box; an
// untranslated language and C keep the program's texts.
void TestStartup::speaksTheUsersLanguage_data()
{
    QTest::addColumn<QStringList>("locale");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("menus");
    QTest::addColumn<QString>("cancel");
    QTest::addColumn<QString>("refusal");

    const QString german = "Zel Mehrplatz-Verwaltung";
    const QString germanMenus = "&Datei|&Bearbeiten|&Hilfe";
    const QString germanRefusal =
        "box\tWarnung!\tDieses Programm muss mit Administratorrechten laufen.";
    const QString russian = QString::fromUtf8("Zel: администрирование рабочих мест");
    const QString russianMenus = QString::fromUtf8("&Файл|&Правка|&Справка");
    const QString russianRefusal = QString::fromUtf8(
        "box\tВнимание!\tЭту программу нужно запускать с правами суперпользователя.");
    const QString english = "Zel admin multiseat";
    const QString englishMenus = "&File|&Edit|&Help";
    const QString englishRefusal =
        "box\tWarning!\tYou should run this application with superuser privileges.";

    QTest::newRow("German") << QStringList{"LANG=de_DE.UTF-8"} << german << germanMenus
                            << "Abbrechen" << germanRefusal;
    QTest::newRow("Russian") << QStringList{"LANG=ru_RU.UTF-8"} << russian << russianMenus
                             << QString::fromUtf8("Отмена") << russianRefusal;
    QTest::newRow("C") << QStringList{"LANG=C"} << english << englishMenus << "Cancel"
                       << englishRefusal;
    QTest::newRow("untranslated French")
        << QStringList{"LANG=fr_FR.UTF-8"} << english << englishMenus << "Cancel" << englishRefusal;
    // The first language the program has, with Qt's texts in that one too.
    QTest::newRow("French, then German") << QStringList{"LANG=fr_FR.UTF-8", "LANGUAGE=fr:de"}
                                         << german << germanMenus << "Abbrechen" << germanRefusal;
    // English first in the list: the program's own texts, Qt's too.
    QTest::newRow("British English, then German")
        << QStringList{"LANG=de_DE.UTF-8", "LANGUAGE=en_GB:de"} << english << englishMenus
        << "Cancel" << englishRefusal;
    // A C locale ignores LANGUAGE, as gettext does.
    QTest::newRow("C with a language list") << QStringList{"LC_ALL=C", "LANGUAGE=ru:de"} << english
                                            << englishMenus << "Cancel" << englishRefusal;
    QTest::newRow("LC_MESSAGES decides")
        << QStringList{"LANG=C.UTF-8", "LC_MESSAGES=ru_RU.UTF-8"} << russian << russianMenus
        << QString::fromUtf8("Отмена") << russianRefusal;
}

void TestStartup::speaksTheUsersLanguage()
{
    QFETCH(QStringList, locale);
    QFETCH(QString, title);
    QFETCH(QString, menus);
    QFETCH(QString, cancel);
    QFETCH(QString, refusal);
    const QStringList translations{"--translations", ZEL_TRANSLATIONS_DIR};

    const QString refused = reportPath("refused");
    QProcess *p =
        startDriver(translations + QStringList{"--euid", "1000", "--mic", "no"}, refused, locale);
    QVERIFY(p->waitForFinished(20000));
    const QStringList box = reportLines(refused);
    QCOMPARE(box.size(), 2);
    QCOMPARE(box.first(), QString(refusal + "\t1.0.9b1\t" + title));

    const QString report = reportPath("report");
    startDriver(translations, report, locale);
    QVERIFY(waitForLine(report, "running\t"));
    const QStringList running = reportLines(report).filter(QRegularExpression("^running\t"));
    QCOMPARE(running.size(), 1);
    QCOMPARE(running.first(),
             QStringList({"running", title, "minimized=0", menus, title, cancel}).join('\t'));
}

QHash<QString, QString> TestStartup::environmentOf(const QString &report)
{
    QHash<QString, QString> fields;
    if (!waitForLine(report, "environment\t"))
        return fields;
    const QString line = reportLines(report).filter(QRegularExpression("^environment\t")).first();
    for (const QString &field : line.split('\t').mid(1))
        fields.insert(field.section('=', 0, 0), field.section('=', 1));
    return fields;
}

// Through pkexec the program runs as root with an ordinary user's arguments
// and environment; Qt would load plugins and read files they name.
void TestStartup::elevatedCallersHandNothingToQt_data()
{
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QStringList>("qtArguments");
    QTest::addColumn<QString>("style");
    const QStringList pkexec{"PKEXEC_UID=1000"};
    QTest::newRow("root itself keeps Qt's arguments")
        << QStringList() << QStringList{"-style", "windows"} << "windows";
    QTest::newRow("through pkexec") << pkexec << QStringList{"-style", "windows"} << "fusion";
    QTest::newRow("a style variable through pkexec")
        << (pkexec + QStringList{"QT_STYLE_OVERRIDE=windows"}) << QStringList() << "fusion";
    // Qt would stop at once for lack of the plugin.
    QTest::newRow("a platform plugin through pkexec")
        << pkexec << QStringList{"-platform", "nosuchplugin", "-platformpluginpath", "/tmp"}
        << "fusion";
}

void TestStartup::elevatedCallersHandNothingToQt()
{
    QFETCH(QStringList, environment);
    QFETCH(QStringList, qtArguments);
    QFETCH(QString, style);
    const QString report = reportPath("report");
    startDriver(qtArguments, report, {}, environment);
    const QHash<QString, QString> fields = environmentOf(report);
    QCOMPARE(fields.value("style"), style);
    if (!environment.isEmpty())
        QCOMPARE(fields.value("args"), QStringLiteral("1"));
}

// su without "-", sudo -E: HOME and XDG_CONFIG_HOME are the caller's, who
// planted a link where the settings file would go.
void TestStartup::rootWritesNothingInACallersHome()
{
    if (::geteuid() != 0)
        QSKIP("needs root to give a home to another user");
    QTemporaryDir own(QDir::homePath() + "/own-XXXXXX");
    QVERIFY(own.isValid());
    if (!TrustedHome::isPrivate(own.path(), 0))
        QSKIP("the build tree lies below a folder others may write in");
    const QString caller = m_system->path("caller");
    QVERIFY(QDir().mkpath(caller + "/.config/zel"));
    const QString secret = m_system->path("secret");
    QVERIFY(TestEnv::writeFile(secret, "root only\n"));
    QVERIFY(QFile::setPermissions(secret, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QVERIFY(QFile::link(secret, caller + "/.config/zel/zel-startup-driver.conf"));
    for (const QString &dir : {caller, caller + "/.config", caller + "/.config/zel"})
        QVERIFY(::chown(QFile::encodeName(dir).constData(), 4242, 4242) == 0);

    const QString report = reportPath("report");
    startDriver({"--own-home", own.path(), "--store"}, report, {},
                {"HOME=" + caller, "XDG_CONFIG_HOME=" + caller + "/.config"});
    const QHash<QString, QString> fields = environmentOf(report);
    QCOMPARE(fields.value("home"), own.path());
    QVERIFY2(fields.value("settings").startsWith(own.path() + "/"),
             qPrintable(fields.value("settings")));
    QVERIFY(QTest::qWaitFor([&] { return QFileInfo::exists(fields.value("settings")); }, 10000));
    QCOMPARE(TestEnv::readFile(secret), QByteArray("root only\n"));
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
