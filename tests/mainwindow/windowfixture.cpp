// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainwindow/windowfixture.h"

#include "common/fakeinputtree.h"

#include "common/testenv.h"
#include "seatpanel/devtreewidget.h"
#include "seatpanel/seat.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidgetItem>

#include <unistd.h>

WindowFixture::WindowFixture()
{
    m_clock.start();
    QDir root(path());
    root.mkpath(QStringLiteral("log"));
    root.mkpath(QStringLiteral("class/drm"));
    useDisplayManager(QStringLiteral("zel-dm.service"));
}

bool WindowFixture::useDisplayManager(const QString &target)
{
    const QString link = path(QStringLiteral("display-manager.service"));
    QFile::remove(link);
    if (target.isEmpty())
        return true;
    return QFile::link(target.startsWith('/') ? target : "/lib/systemd/system/" + target, link);
}

WindowFixture::~WindowFixture()
{
    closeWindow();
}

bool WindowFixture::writeConfig(const QByteArray &content)
{
    return TestEnv::writeFile(configPath(), content);
}

QByteArray WindowFixture::config() const
{
    return TestEnv::readFile(configPath());
}

MainWindowEnvironment WindowFixture::environment()
{
    MainWindowEnvironment env;
    env.displayManagerLogDir = path(QStringLiteral("log/"));
    env.drmClassDir = path(QStringLiteral("class/drm/"));
    env.displayManagerConfig = configPath();
    env.attachRetryDelaysMs = attachRetryDelaysMs;
    env.commandTimeLimitMs = commandTimeLimitMs;
    // Empty until a test builds a device tree there.
    env.sysRoot = path(QStringLiteral("sys"));
    env.devRoot = path(QStringLiteral("dev"));
    env.isEventNode = FakeInputTree::isNode;
    env.deviceInfo = deviceInfo;
    env.hotplug = hotplug;
    // Never the real udevadm, whatever the search path holds.
    env.udevadmProgram = TestEnv::udevadmEmulatorPath();
    // The administrator of the sample machines.
    env.administratorUid = 1000;
    env.displayManagerLink = path(QStringLiteral("display-manager.service"));
    env.defaultDisplayManager = path(QStringLiteral("default-display-manager"));
    env.layoutHistoryDir = path(QStringLiteral("layouts"));
    env.applyLockPath = applyLockPath;
    env.restartService = [this](const QString &service, QString *error) {
        Restart restart;
        restart.service = service;
        restart.callsBefore = callCount();
        restart.atNs = elapsedNs();
        if (MainWindow *w = m_current.data()) {
            restart.windowEnabled = w->isEnabled();
            restart.windowVisible = w->isVisible();
            restart.stateChanged = w->stateChanged();
            const auto *progress =
                w->findChild<QProgressDialog *>(QStringLiteral("progressDialog"));
            restart.progressVisible = progress && progress->isVisible();
        }
        restart.cursorOverridden = QApplication::overrideCursor() != nullptr;
        restarts.append(restart);
        if (!restartRefusal.isEmpty() && error)
            *error = restartRefusal;
        return restartRefusal.isEmpty();
    };
    return env;
}

std::unique_ptr<MainWindow> WindowFixture::create()
{
    auto window = std::make_unique<MainWindow>(nullptr, environment());
    m_current = window.get();
    return window;
}

MainWindow *WindowFixture::openWindow()
{
    closeWindow();
    m_window = create();
    m_window->show();
    if (!waitLoaded(m_window.get()))
        return nullptr;
    return m_window.get();
}

void WindowFixture::closeWindow()
{
    m_window.reset();
}

bool WindowFixture::waitLoaded(MainWindow *window, int timeoutMs)
{
    return QTest::qWaitFor([window] { return !window->isLoading(); }, timeoutMs);
}

QList<QPair<QString, QString>> WindowFixture::attaches(int from) const
{
    QList<QPair<QString, QString>> result;
    const QList<QStringList> all = calls();
    for (int i = from; i < all.size(); ++i) {
        const QStringList &call = all.at(i);
        if (call.size() == 3 && call.first() == QLatin1String("attach"))
            result.append({call.at(1), call.at(2)});
    }
    return result;
}

QString WindowFixture::checkFollowsAttach(int from) const
{
    const QList<QStringList> all = calls();
    for (int i = from; i < all.size(); ++i) {
        const QStringList &call = all.at(i);
        if (call.value(0) != QLatin1String("attach"))
            continue;
        const QStringList expected{QStringLiteral("seat-status"), call.value(1)};
        if (i + 1 >= all.size())
            return QStringLiteral("call %1 (%2) is the last one").arg(i).arg(call.join(' '));
        if (all.at(i + 1) != expected) {
            return QStringLiteral("call %1 (%2) is followed by %3")
                .arg(i)
                .arg(call.join(' '), all.at(i + 1).join(' '));
        }
    }
    return QString();
}

QString WindowFixture::loginctl(const QStringList &arguments) const
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("ZEL_LOGINCTL_LOG")); // not one of the window's calls
    environment.insert(QStringLiteral("ZEL_LOGINCTL_MACHINE"), machinePath());
    process.setProcessEnvironment(environment);
    process.start(TestEnv::emulatorPath(), arguments);
    if (!process.waitForFinished(10000))
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

Seat *WindowFixture::panel(const QString &seatId) const
{
    if (!m_window)
        return nullptr;
    for (Seat *seat : m_window->seatPanels()) {
        if (seat->seatId() == seatId)
            return seat;
    }
    return nullptr;
}

QTreeWidgetItem *WindowFixture::device(const DevTreeWidget *tree, const QString &name)
{
    for (int c = 0; tree && c < DeviceCategoryCount; ++c) {
        QTreeWidgetItem *row = tree->category(c);
        for (int i = 0; row && i < row->childCount(); ++i) {
            if (row->child(i)->text(0) == name)
                return row->child(i);
        }
    }
    return nullptr;
}

QStringList WindowFixture::addressesOf(const DevTreeWidget *tree, const QString &name)
{
    const QTreeWidgetItem *item = device(tree, name);
    return item ? item->data(0, DevTreeWidget::AddressRole).toStringList() : QStringList();
}

bool WindowFixture::giveToPanel(const QString &deviceName, const QString &seatId)
{
    Seat *seat = panel(seatId);
    DevTreeWidget *tree = m_window ? m_window->mainTree() : nullptr;
    QTreeWidgetItem *item = device(tree, deviceName);
    if (!seat || !item)
        return false;
    tree->clearSelection();
    item->setSelected(true);
    auto *add = seat->findChild<QPushButton *>(QStringLiteral("addDevButton"));
    if (!add || !add->isEnabled())
        return false;
    add->click();
    return !device(tree, deviceName) && device(seat->devTreeWidget(), deviceName);
}

bool WindowFixture::waitForApplyEnd(int timeoutMs)
{
    MainWindow *w = m_window.get();
    if (!w)
        return false;
    // A plain event loop: QTest::qWaitFor sleeps 10 ms between its rounds,
    // which would stretch every step of the loop.
    QEventLoop loop;
    QTimer check;
    check.setInterval(5);
    QObject::connect(&check, &QTimer::timeout, &loop, [w, &loop] {
        if (!w->isApplying())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    check.start();
    if (w->isApplying())
        loop.exec();
    return !w->isApplying();
}

bool WindowFixture::endOutsideChangeDelay()
{
    auto *delay =
        m_window ? m_window->findChild<QTimer *>(QStringLiteral("outsideChangeDelay")) : nullptr;
    if (!delay)
        return false;
    QCoreApplication::processEvents(); // what was posted before comes first
    // As a single-shot timer fires: no longer active, then its signal.
    if (delay->isActive()) {
        delay->stop();
        QMetaObject::invokeMethod(delay, "timeout");
    }
    QCoreApplication::processEvents();
    return true;
}

void WindowFixture::answerSave(PromptAnswerer &answerer)
{
    answerer.answer(QMessageBox::Yes);
}

QList<SeenBox> WindowFixture::messageBoxes(const PromptAnswerer &answerer)
{
    QList<SeenBox> boxes;
    for (const SeenBox &box : answerer.seen) {
        if (box.className == QLatin1String("QMessageBox"))
            boxes.append(box);
    }
    return boxes;
}

bool WindowFixture::addPrimaryLog(const QString &notation)
{
    const QByteArray content = "[    10.001] X.Org X Server 1.21.1.7\n"
                               "[    10.120] (--) PCI: (0@0:31:3) 8086:51c8 rev 1\n"
                               "[    10.121] (--) PCI:*(" +
                               notation.toLatin1() +
                               ") 8086:46a6:17aa:3b27 rev 12, Mem @ 0x6000000000\n"
                               "[    10.500] (II) modeset(0): using drv /dev/dri/card0\n";
    return TestEnv::writeFile(path(QStringLiteral("log/zel-dm-0.log")), content);
}

bool WindowFixture::addCardLink(const QString &name, const QString &device)
{
    const QString target = QStringLiteral("devices/") + device + QStringLiteral("/drm/") + name;
    if (!QDir(path()).mkpath(target))
        return false;
    const QByteArray relative = QFile::encodeName(QStringLiteral("../../") + target);
    const QByteArray link = QFile::encodeName(path(QStringLiteral("class/drm/") + name));
    return symlink(relative.constData(), link.constData()) == 0;
}

bool WindowFixture::markBootCard(const QString &name)
{
    const QString card = QFileInfo(path(QStringLiteral("class/drm/") + name)).canonicalFilePath();
    const QString device = QFileInfo(card).path() + QStringLiteral("/..");
    return !card.isEmpty() && QDir().mkpath(path(QStringLiteral("bus/pci"))) &&
           QFile::link(QStringLiteral("../.."), card + QStringLiteral("/device")) &&
           QFile::link(path(QStringLiteral("bus/pci")), device + QStringLiteral("/subsystem")) &&
           TestEnv::writeFile(device + QStringLiteral("/boot_vga"), "1\n");
}

QAction *action(const MainWindow *window, const char *name)
{
    return window->findChild<QAction *>(QLatin1String(name));
}

void WindowTestCase::initTestCase()
{
    TestEnv::init();
}

void WindowTestCase::init()
{
    TestEnv::clearSettings();
    m_fx = std::make_unique<WindowFixture>();
    m_answerer = std::make_unique<PromptAnswerer>();
    QVERIFY(m_fx->isValid());
    if (!m_config.isEmpty())
        QVERIFY(m_fx->writeConfig(m_config));
}

void WindowTestCase::cleanup()
{
    m_fx.reset();
    m_answerer.reset();
    QApplication::restoreOverrideCursor(); // after a failed test only
}

namespace {

QStringList comboItems(const QComboBox *combo)
{
    QStringList items;
    // The cards' names, which the entries show with their products.
    for (int i = 0; combo && i < combo->count(); ++i)
        items << combo->itemData(i).toString();
    return items;
}

} // namespace

namespace CreateSeatAnswer {

std::function<void(QWidget *)> create(const QString &name, const QString &videocard,
                                      std::shared_ptr<QStringList> offered)
{
    return [name, videocard, offered](QWidget *dialog) {
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("nameLineEdit"));
        auto *combo = dialog->findChild<QComboBox *>(QStringLiteral("videocardComboBox"));
        auto *yes = dialog->findChild<QPushButton *>(QStringLiteral("yesButton"));
        if (offered)
            *offered = comboItems(combo);
        if (!edit || !combo || !yes) {
            QTest::keyClick(dialog, Qt::Key_Escape);
            return;
        }
        edit->setText(name);
        const int index = combo->findData(videocard);
        if (index >= 0)
            combo->setCurrentIndex(index);
        yes->click();
    };
}

std::function<void(QWidget *)> cancel(std::shared_ptr<QStringList> offered)
{
    return [offered](QWidget *dialog) {
        if (offered)
            *offered =
                comboItems(dialog->findChild<QComboBox *>(QStringLiteral("videocardComboBox")));
        if (auto *cancel = dialog->findChild<QPushButton *>(QStringLiteral("cancelButton")))
            cancel->click();
        else
            QTest::keyClick(dialog, Qt::Key_Escape);
    };
}

} // namespace CreateSeatAnswer

namespace Machine {

QString cardPath(int number, const QString &pci)
{
    return QStringLiteral("/sys/devices/pci0000:00/%1/drm/card%2").arg(pci).arg(number);
}

QByteArray card(int number, const QString &pci, const QString &seat)
{
    return QStringLiteral("device %1 drm:card%2 master seat=%3\n")
        .arg(cardPath(number, pci))
        .arg(number)
        .arg(seat)
        .toUtf8();
}

QString usbInputPath(int input, const QString &port, const QString &interface)
{
    return QStringLiteral("/sys/devices/pci0000:00/0000:00:14.0/usb%1/%2/%2:%3/"
                          "0003:1C4F:0002.%4/input/input%5")
        .arg(port.section(QLatin1Char('-'), 0, 0), port, interface)
        .arg(input, 4, 16, QLatin1Char('0'))
        .arg(input);
}

QByteArray usbInput(int input, const QString &port, const QString &interface, const QString &name,
                    const QString &seat)
{
    return QStringLiteral("device %1 input:input%2 seat=%3 name=\"%4\"\n")
        .arg(usbInputPath(input, port, interface))
        .arg(input)
        .arg(seat, name)
        .toUtf8();
}

} // namespace Machine

namespace Trees {

QStringList texts(const DevTreeWidget *tree, int category)
{
    QStringList result;
    const QTreeWidgetItem *row = tree->category(category);
    for (int i = 0; row && i < row->childCount(); ++i)
        result << row->child(i)->text(0);
    return result;
}

QList<QStringList> addresses(const DevTreeWidget *tree, int category)
{
    QList<QStringList> result;
    const QTreeWidgetItem *row = tree->category(category);
    for (int i = 0; row && i < row->childCount(); ++i)
        result << row->child(i)->data(0, DevTreeWidget::AddressRole).toStringList();
    return result;
}

QTreeWidgetItem *find(const DevTreeWidget *tree, const QString &text)
{
    for (int c = 0; c < tree->topLevelItemCount(); ++c) {
        const QTreeWidgetItem *row = tree->topLevelItem(c);
        for (int i = 0; i < row->childCount(); ++i) {
            if (row->child(i)->text(0) == text)
                return row->child(i);
        }
    }
    return nullptr;
}

int deviceCount(const DevTreeWidget *tree)
{
    int count = 0;
    for (int c = 0; c < tree->topLevelItemCount(); ++c)
        count += tree->topLevelItem(c)->childCount();
    return count;
}

bool select(DevTreeWidget *tree, const QString &text)
{
    QTreeWidgetItem *item = find(tree, text);
    if (!item)
        return false;
    tree->clearSelection();
    item->setSelected(true);
    return tree->selectedItems() == QList<QTreeWidgetItem *>{item};
}

QPushButton *button(const Seat *panel, const QString &objectName)
{
    return panel->findChild<QPushButton *>(objectName);
}

int livePanels(MainWindow *window)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QWidget *contents = window->findChild<QWidget *>(QStringLiteral("scrollAreaWidgetContents"));
    return contents ? contents->findChildren<Seat *>(QString(), Qt::FindDirectChildrenOnly).size()
                    : -1;
}

} // namespace Trees
