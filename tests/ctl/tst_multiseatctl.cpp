// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "apply/layouthistory.h"
#include "common/testenv.h"
#include "core/applylock.h"
#include "core/terminationsignals.h"
#include "ctl/multiseatctl.h"
#include "mainwindow/windowfixture.h"
#include "seatstate/layoutfile.h"

#include <QJsonDocument>
#include <QTest>

#include <csignal>
#include <unistd.h>

// zel-multiseatctl's verbs and exit codes against the emulated machine, and
// the lock it shares with the window. What the layout and apply layers do
// with a file is their own tests' business.

namespace {

const QString Card3 = QStringLiteral("/sys/devices/pci0000:00/0000:00:1c.4/0000:03:00.0/drm/card3");
const QString Usb = QStringLiteral("/sys/devices/pci0000:00/0000:00:14.0/usb1/");
const QString Keyboard10 = Usb + QStringLiteral("1-5/1-5:1.0/0003:1C4F:0002.0006/input/input10");
const QString Mouse11 = Usb + QStringLiteral("1-6/1-6:1.0/0003:045E:0084.0007/input/input11");

// seat2 with the spare card, keyboard and mouse of the three-seat machine.
void addBackRow(LayoutFile &file)
{
    file.seats.append({QStringLiteral("seat2"),
                       QStringLiteral("Back row"),
                       {{{Card3}, VideocardCategory, "card3", {}},
                        {{Keyboard10}, KeyboardCategory, "keyboard", {}},
                        {{Mouse11}, MouseCategory, "mouse", {}}}});
}

struct Run
{
    int code = -1;
    QString out;
    QString err;
};

} // namespace

class TestMultiseatCtl : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::init(); }
    void init();
    void verbs_data();
    void verbs();
    void windowAndCommandShareOneLock();
    void lockNeverThroughALink();
    void signalBeforeTheFirstAttachChangesNothing();
    void noChangeWithoutTheWayBack();

private:
    Run run(const QStringList &arguments, bool root = true);
    // The machine's layout as export writes it, with changes.
    QByteArray layout(const std::function<void(LayoutFile &)> &change);
    int changingCalls() const;

    std::unique_ptr<WindowFixture> m_fx;
};

void TestMultiseatCtl::init()
{
    TestEnv::clearSettings();
    m_fx = std::make_unique<WindowFixture>();
    QVERIFY(m_fx->useMachine(QStringLiteral("three-seats.machine")));
    QVERIFY(m_fx->writeConfig("[General]\n# ServerUID=auto\n"));
}

Run TestMultiseatCtl::run(const QStringList &arguments, bool root)
{
    Run result;
    QTextStream out(&result.out);
    QTextStream err(&result.err);
    MultiseatCtl::Io io;
    io.out = &out;
    io.err = &err;
    io.effectiveUid = [root] { return root ? 0 : 1000; };
    ApplyEnvironment environment = m_fx->environment();
    environment.applyLockPath = m_fx->path(QStringLiteral("lock"));
    result.code = MultiseatCtl(environment, io).run(QStringList{"zel-multiseatctl"} + arguments);
    return result;
}

QByteArray TestMultiseatCtl::layout(const std::function<void(LayoutFile &)> &change)
{
    const Run exported = run({"export"});
    LayoutFile file;
    QString error;
    if (!LayoutFile::fromJson(exported.out.toUtf8(), &file, &error))
        return {};
    change(file);
    return file.toJson();
}

int TestMultiseatCtl::changingCalls() const
{
    int count = 0;
    for (const QStringList &call : m_fx->calls())
        count += call.contains("attach") || call.contains("flush-devices") ? 1 : 0;
    return count;
}

void TestMultiseatCtl::verbs_data()
{
    QTest::addColumn<QStringList>("arguments"); // FILE stands for the layout file
    QTest::addColumn<int>("fileKind");
    QTest::addColumn<bool>("root");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("out");  // a line that standard output holds
    QTest::addColumn<QString>("err");  // what the messages name
    QTest::addColumn<bool>("changes"); // attaches or flushes devices, keeps the layout before
    QTest::addColumn<int>("restarts");

    enum
    {
        None,
        Same,
        NewSeat,
        CardMissing,
        InputMissing,
        DeviceMissing,
        Broken
    };
    const QString moved = "  seat0 -> seat2  ";
    QTest::newRow("show") << QStringList{"show"} << int(None) << true << 0 << "seat1"
                          << "" << false << 0;
    QTest::newRow("show --json") << QStringList{"show", "--json"} << int(None) << true << 0
                                 << "\"seats\""
                                 << "" << false << 0;
    QTest::newRow("not root") << QStringList{"show"} << int(None) << false << 1 << ""
                              << "" << false << 0;
    QTest::newRow("no verb") << QStringList{} << int(None) << true << 1 << ""
                             << "" << false << 0;
    QTest::newRow("option of another verb")
        << QStringList{"apply", "FILE", "--json"} << int(NewSeat) << true << 1 << ""
        << "--json" << false << 0;
    QTest::newRow("apply without file") << QStringList{"apply"} << int(None) << true << 1 << ""
                                        << "" << false << 0;
    QTest::newRow("the layout it has")
        << QStringList{"apply", "FILE"} << int(Same) << true << 0 << ""
        << "" << false << 0;
    QTest::newRow("check and diff")
        << QStringList{"apply", "FILE", "--check", "--diff"} << int(NewSeat) << true << 2
        << Card3 + moved << "" << false << 0;
    QTest::newRow("apply") << QStringList{"apply", "FILE"} << int(NewSeat) << true << 2 << ""
                           << "" << true << 1;
    QTest::newRow("apply --no-restart")
        << QStringList{"apply", "FILE", "--no-restart"} << int(NewSeat) << true << 2 << ""
        << "" << true << 0;
    QTest::newRow("a seat's card missing")
        << QStringList{"apply", "FILE"} << int(CardMissing) << true << 3 << ""
        << "seat-without-videocard" << false << 0;
    QTest::newRow("a seat without input")
        << QStringList{"apply", "FILE"} << int(InputMissing) << true << 3 << ""
        << "seat-without-input" << false << 0;
    QTest::newRow("a device missing")
        << QStringList{"apply", "FILE"} << int(DeviceMissing) << true << 1 << ""
        << "input-pci-0000_00_14_0-usb-0_9_1_0" << false << 0;
    QTest::newRow("no layout file")
        << QStringList{"apply", "FILE"} << int(Broken) << true << 1 << ""
        << "" << false << 0;
    QTest::newRow("reset without a terminal")
        << QStringList{"reset"} << int(None) << true << 1 << ""
        << "--yes" << false << 0;
    QTest::newRow("reset --check")
        << QStringList{"reset", "--check"} << int(None) << true << 2 << ""
        << "" << false << 0;
    QTest::newRow("reset --yes") << QStringList{"reset", "--yes"} << int(None) << true << 2 << ""
                                 << "" << true << 1;
}

void TestMultiseatCtl::verbs()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, fileKind);
    QFETCH(bool, root);
    QFETCH(int, code);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(bool, changes);
    QFETCH(int, restarts);

    const QList<std::function<void(LayoutFile &)>> changes_{
        {},
        [](LayoutFile &) {},
        addBackRow,
        [](LayoutFile &file) {
            addBackRow(file);
            file.seats.last().devices.first().keys = QStringList{"drm-pci-0000_09_00_0"};
        },
        [](LayoutFile &file) {
            addBackRow(file);
            file.seats.last().devices = file.seats.last().devices.mid(0, 1);
        },
        [](LayoutFile &file) {
            file.seats.first().devices.append(
                {{"input-pci-0000_00_14_0-usb-0_9_1_0"}, MouseCategory, "mouse", {}});
        },
        {}};
    const QString path = m_fx->path(QStringLiteral("layout.json"));
    if (fileKind == 6)
        QVERIFY(TestEnv::writeFile(path, "{\"format\": \"zel-multiseat-layout\""));
    else if (changes_.at(fileKind))
        QVERIFY(TestEnv::writeFile(path, layout(changes_.at(fileKind))));
    arguments.replaceInStrings(QStringLiteral("FILE"), path);
    const QByteArray machineBefore = m_fx->machine();
    const int callsBefore = changingCalls();

    const Run result = run(arguments, root);
    QCOMPARE(result.code, code);
    if (!out.isEmpty())
        QVERIFY2(result.out.contains(out), qPrintable(result.out));
    if (!err.isEmpty())
        QVERIFY2(result.err.contains(err), qPrintable(result.err));
    if (arguments.contains("--json") && code == 0)
        QVERIFY(QJsonDocument::fromJson(result.out.toUtf8()).isObject());
    QCOMPARE(changingCalls() > callsBefore, changes);
    QCOMPARE(m_fx->restarts.size(), restarts);
    QCOMPARE(LayoutHistory(m_fx->path(QStringLiteral("layouts"))).entries().size(),
             changes ? 1 : 0);
    if (!changes)
        QCOMPARE(m_fx->machine(), machineBefore);
    if (changes && arguments.first() == "apply") {
        // The file's layout is the machine's now: a second run has nothing to do.
        QVERIFY(m_fx->loginctl({"seat-status", "seat2"}).contains(Keyboard10));
        const Run again = run({"apply", path});
        QCOMPARE(again.code, 0);
        QCOMPARE(m_fx->restarts.size(), restarts);
    }
}

void TestMultiseatCtl::windowAndCommandShareOneLock()
{
    const QString lockPath = m_fx->path(QStringLiteral("lock"));
    const QString path = m_fx->path(QStringLiteral("layout.json"));
    QVERIFY(TestEnv::writeFile(path, layout(addBackRow)));
    {
        // An open window keeps the command off, whatever it would change.
        ApplyLock window(lockPath);
        QVERIFY(window.tryLock(ApplyLock::WindowHolder));
        const Run refused = run({"apply", path});
        QCOMPARE(refused.code, 1);
        QVERIFY2(refused.err.contains(QString::number(::getpid())), qPrintable(refused.err));
        QCOMPARE(changingCalls(), 0);
    }
    // Closed, the lock goes with it.
    QCOMPARE(run({"apply", path, "--no-restart"}).code, 2);

    // While the command holds it, the window refuses to save.
    ApplyLock command(lockPath);
    QVERIFY(command.tryLock(ApplyLock::CommandHolder));
    m_fx->applyLockPath = lockPath;
    MainWindow *window = m_fx->openWindow();
    QVERIFY(window);
    QVERIFY(m_fx->giveToPanel(QStringLiteral("[MASTER] drm:card1"), QStringLiteral("seat1")));
    const int calls = changingCalls();
    PromptAnswerer answerer;
    WindowFixture::answerSave(answerer);
    window->saveAndApply();
    QCOMPARE(changingCalls(), calls);
    QVERIFY(window->stateChanged());
    const QList<SeenBox> boxes = WindowFixture::messageBoxes(answerer);
    QVERIFY(!boxes.isEmpty());
    QCOMPARE(boxes.last().icon, QMessageBox::Warning);
    QVERIFY2(boxes.last().text.contains(QString::number(::getpid())),
             qPrintable(boxes.last().text));
    // Once it is done, the window takes the lock, and the next run keeps off.
    command.unlock();
    QTRY_VERIFY(!ApplyLock(lockPath).tryLock(QStringLiteral("probe")));
    QCOMPARE(run({"apply", path}).code, 1);
    answerer.reset();
    WindowFixture::answerSave(answerer);
    window->saveAndApply();
    QVERIFY(m_fx->waitForApplyEnd());
    QVERIFY(changingCalls() > calls);
    QVERIFY(!window->stateChanged());
}

void TestMultiseatCtl::lockNeverThroughALink()
{
    const QString target = m_fx->path(QStringLiteral("elsewhere"));
    QVERIFY(TestEnv::writeFile(target, "kept\n"));
    QVERIFY(QFile::link(target, m_fx->path(QStringLiteral("lock"))));
    QCOMPARE(run({"reset", "--yes"}).code, 1);
    QCOMPARE(changingCalls(), 0);
    QCOMPARE(TestEnv::readFile(target), QByteArray("kept\n"));
}

void TestMultiseatCtl::signalBeforeTheFirstAttachChangesNothing()
{
    const QString path = m_fx->path(QStringLiteral("layout.json"));
    QVERIFY(TestEnv::writeFile(path, layout(addBackRow)));
    TerminationSignals termination;
    ::raise(SIGTERM);
    QCOMPARE(run({"apply", path}).code, 1);
    QCOMPARE(changingCalls(), 0);
    QCOMPARE(m_fx->restarts.size(), 0);
}

// The layout before a change cannot be kept: nothing is changed.
void TestMultiseatCtl::noChangeWithoutTheWayBack()
{
    const QString path = m_fx->path(QStringLiteral("layout.json"));
    QVERIFY(TestEnv::writeFile(path, layout(addBackRow)));
    QVERIFY(TestEnv::writeFile(m_fx->path(QStringLiteral("layouts")), "not a folder"));
    QCOMPARE(run({"apply", path}).code, 1);
    QCOMPARE(run({"reset", "--yes"}).code, 1);
    QCOMPARE(changingCalls(), 0);
}

QTEST_MAIN(TestMultiseatCtl)
#include "tst_multiseatctl.moc"
