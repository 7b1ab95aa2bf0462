// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "apply/systemdservice.h"
#include "common/testenv.h"
#include "platform/helpwindow.h"
#include "platform/instancemessage.h"
#include "platform/micdetect.h"
#include "platform/prompt.h"
#include "platform/singleinstancepeer.h"
#include "platform/zelintegration.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QTranslator>

#include <sys/stat.h>
#include <unistd.h>

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::init(); }

    void instanceIdentity();
    void instanceMessageReadByHand_data();
    void instanceMessageReadByHand();
    void privateDirectoryRules();
    void runtimeDirectoryAvoidsForeignPlaces();
    void rootMeetsUnderRun();
    void liveLockIsNotTakenOver();
    void integrityCheck();
    void serviceRestartIsQueuedWithSystemd();
    void zelInitNamesTheProgram();
    void helpShowsTheProgramsText();
    void helpPageFollowsTheLanguage_data();
    void helpPageFollowsTheLanguage();
    void translatedHelpMatchesTheEnglishPage_data();
    void translatedHelpMatchesTheEnglishPage();
    void boxesShowTheirTextAsPlainText();
};

void TestPlatform::instanceIdentity()
{
    const QString a = SingleInstancePeer::instanceId("/usr/bin/zel-admin-multiseat", 0);
    QCOMPARE(a, SingleInstancePeer::instanceId("/usr/bin/zel-admin-multiseat", 0));
    QVERIFY(a != SingleInstancePeer::instanceId("/usr/local/bin/zel-admin-multiseat", 0));
    QVERIFY(a != SingleInstancePeer::instanceId("/usr/bin/zel-admin-multiseat", 1000));
    // Safe as a file name and short enough for a socket path.
    QVERIFY(QRegularExpression("^[a-z0-9-]+$").match(a).hasMatch());
    QVERIFY(a.size() < 48);
}

// Any process of the user may connect to the running copy: a length it
// names never makes the copy wait for, or take, more than a message needs.
void TestPlatform::instanceMessageReadByHand_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("used");
    const QByteArray raise = InstanceMessage::encode(QStringLiteral("raise"));
    QTest::newRow("whole") << raise + "next" << int(InstanceMessage::Result::Complete) << "raise"
                           << 14;
    QTest::newRow("in pieces") << raise.left(9) << int(InstanceMessage::Result::Incomplete)
                               << QString() << -1;
    QTest::newRow("no length yet")
        << raise.left(3) << int(InstanceMessage::Result::Incomplete) << QString() << -1;
    QTest::newRow("a length past any message")
        << QByteArray("\x7f\xff\xff\xfe", 4) << int(InstanceMessage::Result::Invalid) << QString()
        << -1;
    QTest::newRow("half a character") << QByteArray("\0\0\0\x03"
                                                    "abc",
                                                    7)
                                      << int(InstanceMessage::Result::Invalid) << QString() << -1;
}

void TestPlatform::instanceMessageReadByHand()
{
    QFETCH(QByteArray, data);
    QFETCH(int, result);
    QFETCH(QString, message);
    QFETCH(int, used);
    QString read;
    int taken = -1;
    QCOMPARE(int(InstanceMessage::decode(data, &read, &taken)), result);
    QCOMPARE(read, message);
    QCOMPARE(taken, used);
}

void TestPlatform::privateDirectoryRules()
{
    QTemporaryDir dir;
    const uint uid = ::getuid();
    const QString mine = dir.filePath("mine");
    QVERIFY(QDir().mkdir(mine));
    ::chmod(QFile::encodeName(mine), 0700);
    QVERIFY(SingleInstancePeer::isPrivateDirectory(mine, uid));
    QVERIFY(!SingleInstancePeer::isPrivateDirectory(mine, uid + 1));

    ::chmod(QFile::encodeName(mine), 0770);
    QVERIFY2(!SingleInstancePeer::isPrivateDirectory(mine, uid), "group-writable");
    ::chmod(QFile::encodeName(mine), 0703);
    QVERIFY2(!SingleInstancePeer::isPrivateDirectory(mine, uid), "world-writable");
    ::chmod(QFile::encodeName(mine), 0700);

    const QString link = dir.filePath("link");
    QVERIFY(QFile::link(mine, link));
    QVERIFY2(!SingleInstancePeer::isPrivateDirectory(link, uid), "a symbolic link is refused");
    QVERIFY(!SingleInstancePeer::isPrivateDirectory(dir.filePath("missing"), uid));
}

void TestPlatform::runtimeDirectoryAvoidsForeignPlaces()
{
    QTemporaryDir tmp;
    const QByteArray oldTmp = qgetenv("TMPDIR");
    const QByteArray oldXdg = qgetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", QFile::encodeName(tmp.path()));
    const uint uid = ::getuid();
    // Root meets its other copies under the run directory first (see
    // rootMeetsUnderRun); without one it takes the places every user takes.
    const QString noRunDir = tmp.filePath("no-run");

    // A runtime directory that others can write is not used.
    const QString xdg = tmp.filePath("xdg");
    QDir().mkdir(xdg);
    ::chmod(QFile::encodeName(xdg), 0777);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(xdg));
    const QString usual = tmp.path() + "/zel-admin-multiseat-" + QString::number(uid);
    QCOMPARE(SingleInstancePeer::runtimeDirectory(uid, noRunDir), usual);
    QVERIFY(SingleInstancePeer::isPrivateDirectory(usual, uid));

    // A private runtime directory is preferred.
    ::chmod(QFile::encodeName(xdg), 0700);
    QCOMPARE(SingleInstancePeer::runtimeDirectory(uid, noRunDir), xdg + "/zel-admin-multiseat");

    // A runtime directory too deep for a socket path is passed over.
    const QString deep = xdg + "/" + QString(70, 'd');
    QVERIFY(QDir().mkpath(deep));
    ::chmod(QFile::encodeName(deep), 0700);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(deep));
    QCOMPARE(SingleInstancePeer::runtimeDirectory(uid, noRunDir), usual);
    QVERIFY(usual.size() + 1 + SingleInstancePeer::instanceId("/x", uid).size() + 7 < 108);

    // The usual place made writable by others (squatted): a fresh private
    // directory is used, so the start is neither blocked nor spoofed.
    qputenv("XDG_RUNTIME_DIR", "");
    ::chmod(QFile::encodeName(usual), 0777);
    bool isFallback = false;
    const QString fallback = SingleInstancePeer::runtimeDirectory(uid, noRunDir, &isFallback);
    QVERIFY(!fallback.isEmpty());
    QVERIFY(fallback != usual);
    QVERIFY(isFallback);
    QVERIFY(SingleInstancePeer::isPrivateDirectory(fallback, uid));
    // A peer told so removes its fallback when it goes.
    {
        SingleInstancePeer peer(QStringLiteral("fallback"), fallback);
        peer.setRemoveDirectory(true);
        QVERIFY(!peer.isClient());
        QVERIFY(QFileInfo::exists(peer.lockPath()));
    }
    QVERIFY(!QFileInfo::exists(fallback));

    qputenv("TMPDIR", oldTmp);
    qputenv("XDG_RUNTIME_DIR", oldXdg);
}

// Root's copies meet under the run directory, which only root can write
// into, whatever their environment: a user who took the usual name in the
// temporary folder changes nothing, and no fallback is left behind.
void TestPlatform::rootMeetsUnderRun()
{
    if (::geteuid() != 0)
        QSKIP("only root can own a directory the way /run is owned");
    QTemporaryDir tmp;
    const QByteArray oldTmp = qgetenv("TMPDIR");
    const QByteArray oldXdg = qgetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", QFile::encodeName(tmp.path()));
    qputenv("XDG_RUNTIME_DIR", "");
    const QString run = tmp.filePath("run");
    QVERIFY(QDir().mkdir(run));
    // The usual name in the temporary folder, squatted by another user.
    const QString squatted = tmp.path() + "/zel-admin-multiseat-0";
    QVERIFY(QDir().mkdir(squatted));
    QCOMPARE(::chown(QFile::encodeName(squatted).constData(), 65534, 65534), 0);

    bool isFallback = true;
    const QString dir = SingleInstancePeer::runtimeDirectory(0, run, &isFallback);
    QCOMPARE(dir, run + "/zel-admin-multiseat");
    QVERIFY(!isFallback);
    QVERIFY(SingleInstancePeer::isPrivateDirectory(dir, 0));
    // A second copy, with a runtime directory this time, meets the first.
    const QString xdg = tmp.filePath("xdg");
    QVERIFY(QDir().mkdir(xdg));
    ::chmod(QFile::encodeName(xdg), 0700);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(xdg));
    QCOMPARE(SingleInstancePeer::runtimeDirectory(0, run), dir);
    SingleInstancePeer first(QStringLiteral("root"), dir);
    SingleInstancePeer second(QStringLiteral("root"), SingleInstancePeer::runtimeDirectory(0, run));
    QVERIFY(!first.isClient());
    QVERIFY(second.isClient());
    QCOMPARE(QDir(tmp.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             (QStringList{"run", "xdg", "zel-admin-multiseat-0"}));

    qputenv("TMPDIR", oldTmp);
    qputenv("XDG_RUNTIME_DIR", oldXdg);
}

void TestPlatform::liveLockIsNotTakenOver()
{
    QTemporaryDir dir;
    SingleInstancePeer first("same", dir.path());
    SingleInstancePeer second("same", dir.path());
    SingleInstancePeer other("other", dir.path());
    QVERIFY(!first.isClient());
    QVERIFY(!first.isClient()); // decided once
    QVERIFY(QFileInfo::exists(first.socketPath()));
    QVERIFY(second.isClient());
    QVERIFY(!other.isClient());
    // The running copy does not answer here (no event loop): the send gives up.
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!second.sendMessage("raise", 300));
    QVERIFY(timer.elapsed() < 3000);
}

void TestPlatform::integrityCheck()
{
    QTemporaryDir root;
    QVERIFY(MICDetect::hasMaxMIC(root.path()));
    QVERIFY(QDir().mkpath(root.filePath("sys/module/parsec")));
    QVERIFY(!MICDetect::hasMaxMIC(root.path()));
}

void TestPlatform::serviceRestartIsQueuedWithSystemd()
{
    QTemporaryDir bin;
    const QString record = bin.filePath("calls");
    const QString script = bin.filePath("systemctl");
    QVERIFY(TestEnv::writeFile(script, "#!/bin/sh\nprintf '%s|' \"$@\" >> '" +
                                           QFile::encodeName(record) + "'\necho >> '" +
                                           QFile::encodeName(record) + "'\n"));
    QFile::setPermissions(script,
                          QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::WriteOwner);
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin.path()) + ":" + oldPath);

    ZelAdmin::SystemdService service("zel-dm");
    QCOMPARE(service.name(), QString("zel-dm"));
    QVERIFY(service.restart());
    QTRY_COMPARE_WITH_TIMEOUT(TestEnv::readFile(record),
                              QByteArray("--no-block|restart|--|zel-dm|\n"), 10000);
    qputenv("PATH", oldPath);

    // systemd's refusal comes back in systemctl's words.
    QVERIFY(TestEnv::writeFile(script, "#!/bin/sh\necho 'Failed to restart lightdm.service: Unit "
                                       "lightdm.service is masked.' >&2\nexit 1\n"));
    qputenv("PATH", QFile::encodeName(bin.path()) + ":" + oldPath);
    ZelAdmin::SystemdService masked("lightdm.service");
    QVERIFY(!masked.restart());
    QCOMPARE(masked.errorString(),
             QString("Failed to restart lightdm.service: Unit lightdm.service is masked."));
    qputenv("PATH", oldPath);

    // Without systemctl the restart reports failure.
    QTemporaryDir empty;
    qputenv("PATH", QFile::encodeName(empty.path()));
    QVERIFY(!ZelAdmin::SystemdService("zel-dm").restart());
    qputenv("PATH", oldPath);
}

void TestPlatform::zelInitNamesTheProgram()
{
    const QString before = QCoreApplication::organizationName();
    zelInit("1.0.9b1", "Zel admin multiseat");
    QCOMPARE(QCoreApplication::applicationVersion(), QString("1.0.9b1"));
    QCOMPARE(QGuiApplication::applicationDisplayName(), QString("Zel admin multiseat"));
    QCOMPARE(QCoreApplication::organizationName(), QString("zel"));
    QCoreApplication::setOrganizationName(before);
}

void TestPlatform::helpShowsTheProgramsText()
{
    zelHelpShow(QString());
    HelpWindow *help = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *candidate = qobject_cast<HelpWindow *>(w))
            help = candidate;
    }
    QVERIFY(help);
    QVERIFY(help->isVisible());
    const QString text = help->browser()->toPlainText();
    QVERIFY2(text.contains("Moving devices"), qPrintable(text.left(200)));
    QVERIFY(text.contains("Saving"));
    QVERIFY(text.contains("seat"));

    // Asking again shows the same window.
    help->showMinimized();
    zelHelpShow("save");
    int helpWindows = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        helpWindows += qobject_cast<HelpWindow *>(w) ? 1 : 0;
    QCOMPARE(helpWindows, 1);
    QVERIFY(!help->isMinimized());
    help->close();
}

void TestPlatform::helpPageFollowsTheLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("page");
    QTest::newRow("German") << "de"
                            << ":/help/help_de.html";
    QTest::newRow("Austrian German") << "de_AT"
                                     << ":/help/help_de.html";
    QTest::newRow("Russian") << "ru"
                             << ":/help/help_ru.html";
    QTest::newRow("French, not translated") << "fr"
                                            << ":/help/help.html";
    QTest::newRow("the program's own texts") << ""
                                             << ":/help/help.html";
}

void TestPlatform::helpPageFollowsTheLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, page);
    QCOMPARE(HelpWindow::pageFor(language), page);
}

namespace {

QString resourceText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList allMatches(const QString &pattern, const QString &text)
{
    QStringList found;
    auto it = QRegularExpression(pattern).globalMatch(text);
    while (it.hasNext())
        found << it.next().captured(1).simplified();
    return found;
}

} // namespace

void TestPlatform::translatedHelpMatchesTheEnglishPage_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("German") << "de";
    QTest::newRow("Russian") << "ru";
}

// A translated page has the English page's topics (the window jumps to them
// by name), and where it names a menu command it uses the translated
// command's very text.
void TestPlatform::translatedHelpMatchesTheEnglishPage()
{
    QFETCH(QString, language);
    const QString english = resourceText(":/help/help.html");
    const QString translated = resourceText(HelpWindow::pageFor(language));
    QVERIFY(!english.isEmpty());
    QVERIFY(!translated.isEmpty());
    QVERIFY(translated != english);

    const QString anchor = QStringLiteral("<a name=\"([^\"]+)\">");
    QCOMPARE(allMatches(anchor, translated), allMatches(anchor, english));

    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral("zel-admin-multiseat_") + language,
                            QStringLiteral(ZEL_TRANSLATIONS_DIR)));
    // The page is read as UTF-8 and headed by the translated program name.
    QTextBrowser browser;
    browser.setSource(QUrl(QLatin1String("qrc") + HelpWindow::pageFor(language)));
    const QString name = translator.translate("Form", "Zel admin multiseat");
    QVERIFY(!name.isEmpty());
    QVERIFY2(browser.toPlainText().startsWith(name), qPrintable(browser.toPlainText().left(80)));

    const QString command = QStringLiteral("<i>([^<]+ &gt; [^<]+)</i>");
    const QStringList englishCommands = allMatches(command, english);
    const QStringList translatedCommands = allMatches(command, translated);
    QVERIFY(englishCommands.size() >= 6);
    QCOMPARE(translatedCommands.size(), englishCommands.size());
    for (int i = 0; i < englishCommands.size(); ++i) {
        QStringList expected;
        for (const QString &part : englishCommands.at(i).split(" &gt; ")) {
            // A menu item that opens a question ends in "…" ("Reset all seats…"),
            // and the source of a menu text carries its mnemonic somewhere.
            QString text;
            for (const QString &source : {part + QChar(0x2026), part}) {
                for (int at = -1; at < source.size() && text.isEmpty(); ++at) {
                    const QString marked = at < 0 ? source : QString(source).insert(at, '&');
                    text = translator.translate("Form", marked.toUtf8().constData());
                }
                if (!text.isEmpty())
                    break;
            }
            QVERIFY2(!text.isEmpty(), qPrintable(part));
            expected << text.remove(QChar(0x2026)).remove('&');
        }
        QCOMPARE(translatedCommands.at(i), expected.join(" &gt; "));
    }
}

// Messages carry names of devices and seats, which may look like markup.
void TestPlatform::boxesShowTheirTextAsPlainText()
{
    Prompt::setHook({}); // the real boxes, closed from a timer
    const QString text = QStringLiteral("<h1>seat1</h1> <img src=\"/etc/x.png\">");
    QString shownText;
    Qt::TextFormat format = Qt::AutoText;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        shownText = box->text();
        format = box->textFormat();
        box->button(QMessageBox::No)->click();
    });
    QCOMPARE(Prompt::question(nullptr, QStringLiteral("Title"), text), QMessageBox::No);
    TestEnv::answerPromptsWithEscape();
    QCOMPARE(shownText, text);
    QCOMPARE(format, Qt::PlainText);
}

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
