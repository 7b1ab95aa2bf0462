#include "mainwindow/mainwindowharness.h"

#include "common/testenv.h"
#include "seatpanel/devtreewidget.h"
#include "seatpanel/seat.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidgetItem>

#include <unistd.h>

MainWindowHarness::MainWindowHarness() : m_restarts(std::make_shared<QStringList>())
{
    QDir root(m_dir.path());
    root.mkpath(QStringLiteral("log"));
    root.mkpath(QStringLiteral("class/drm"));
    qputenv("ZEL_LOGINCTL_LOG", QFile::encodeName(path(QStringLiteral("calls.log"))));
}

MainWindowHarness::~MainWindowHarness()
{
    qunsetenv("ZEL_LOGINCTL_LOG");
    qunsetenv("ZEL_LOGINCTL_MACHINE");
}

QString MainWindowHarness::path(const QString &relative) const
{
    return m_dir.path() + QLatin1Char('/') + relative;
}

bool MainWindowHarness::useMachine(const QString &name, const QByteArray &extra)
{
    const QByteArray content =
        TestEnv::readFile(TestEnv::dataDir() + QStringLiteral("/machines/") + name);
    if (content.isEmpty())
        return false;
    return writeMachine(content + "\n" + extra);
}

bool MainWindowHarness::writeMachine(const QByteArray &content)
{
    const QString file = path(QStringLiteral("machine"));
    qputenv("ZEL_LOGINCTL_MACHINE", QFile::encodeName(file));
    return TestEnv::writeFile(file, content);
}

QByteArray MainWindowHarness::machine() const
{
    return TestEnv::readFile(path(QStringLiteral("machine")));
}

MainWindowEnvironment MainWindowHarness::environment()
{
    MainWindowEnvironment env;
    env.displayManagerLogDir = path(QStringLiteral("log/"));
    env.drmClassDir = path(QStringLiteral("class/drm/"));
    env.displayManagerConfig = path(QStringLiteral("zel-dmrc"));
    std::shared_ptr<QStringList> restarts = m_restarts;
    env.restartService = [restarts](const QString &service) {
        restarts->append(service);
        return true;
    };
    return env;
}

std::unique_ptr<MainWindow> MainWindowHarness::create()
{
    return std::make_unique<MainWindow>(nullptr, environment());
}

bool MainWindowHarness::waitLoaded(MainWindow *window, int timeoutMs)
{
    return QTest::qWaitFor([window] { return !window->isLoading(); }, timeoutMs);
}

QList<QStringList> MainWindowHarness::calls() const
{
    return TestEnv::readCallLog(path(QStringLiteral("calls.log")));
}

bool MainWindowHarness::addPrimaryLog(const QString &notation)
{
    const QByteArray content = "[    10.001] X.Org X Server 1.21.1.7\n"
                               "[    10.120] (--) PCI: (0@0:31:3) 8086:51c8 rev 1\n"
                               "[    10.121] (--) PCI:*(" +
                               notation.toLatin1() +
                               ") 8086:46a6:17aa:3b27 rev 12, Mem @ 0x6000000000\n"
                               "[    10.500] (II) modeset(0): using drv /dev/dri/card0\n";
    return TestEnv::writeFile(path(QStringLiteral("log/zel-dm-0.log")), content);
}

bool MainWindowHarness::addCardLink(const QString &name, const QString &device)
{
    const QString target = QStringLiteral("devices/") + device + QStringLiteral("/drm/") + name;
    if (!QDir(m_dir.path()).mkpath(target))
        return false;
    const QByteArray relative = QFile::encodeName(QStringLiteral("../../") + target);
    const QByteArray link = QFile::encodeName(path(QStringLiteral("class/drm/") + name));
    return symlink(relative.constData(), link.constData()) == 0;
}

namespace {

QStringList comboItems(const QComboBox *combo)
{
    QStringList items;
    for (int i = 0; combo && i < combo->count(); ++i)
        items << combo->itemText(i);
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
        const int index = combo->findText(videocard);
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
