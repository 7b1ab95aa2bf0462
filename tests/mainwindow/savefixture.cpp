#include "savefixture.h"

#include "common/testenv.h"
#include "seatpanel/devtreewidget.h"
#include "seatpanel/seat.h"
#include "seatstate/seatstatus.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

SaveFixture::SaveFixture()
{
    m_clock.start();
    QDir(m_dir.path()).mkpath(QStringLiteral("dm-logs"));
    QDir(m_dir.path()).mkpath(QStringLiteral("drm"));
    qputenv("ZEL_LOGINCTL_LOG", QFile::encodeName(path(QStringLiteral("calls.log"))));
    qputenv("ZEL_LOGINCTL_MACHINE", QFile::encodeName(machinePath()));
}

SaveFixture::~SaveFixture()
{
    closeWindow();
}

bool SaveFixture::useMachine(const QByteArray &description)
{
    return TestEnv::writeFile(machinePath(), description);
}

bool SaveFixture::useMachineFile(const QString &dataName)
{
    const QByteArray content =
        TestEnv::readFile(TestEnv::dataDir() + QStringLiteral("/machines/") + dataName);
    return !content.isEmpty() && useMachine(content);
}

bool SaveFixture::appendToMachine(const QByteArray &lines)
{
    QFile file(machinePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    return file.write("\n" + lines + "\n") == lines.size() + 2;
}

bool SaveFixture::writeConfig(const QByteArray &content)
{
    return TestEnv::writeFile(configPath(), content);
}

QByteArray SaveFixture::config() const
{
    return TestEnv::readFile(configPath());
}

MainWindow *SaveFixture::openWindow()
{
    closeWindow();
    MainWindowEnvironment environment;
    environment.displayManagerLogDir = path(QStringLiteral("dm-logs"));
    environment.drmClassDir = path(QStringLiteral("drm"));
    environment.displayManagerConfig = configPath();
    environment.restartService = [this](const QString &service) {
        Restart restart;
        restart.service = service;
        restart.callsBefore = callCount();
        restart.atNs = elapsedNs();
        if (MainWindow *w = m_window.get()) {
            restart.windowEnabled = w->isEnabled();
            restart.windowVisible = w->isVisible();
            restart.stateChanged = w->stateChanged();
            const auto *progress =
                w->findChild<QProgressDialog *>(QStringLiteral("progressDialog"));
            restart.progressVisible = progress && progress->isVisible();
        }
        restart.cursorOverridden = QApplication::overrideCursor() != nullptr;
        restarts.append(restart);
        return true;
    };
    m_window = std::make_unique<MainWindow>(nullptr, environment);
    m_window->show();
    MainWindow *w = m_window.get();
    if (!QTest::qWaitFor([w] { return !w->isLoading(); }, 10000))
        return nullptr;
    return w;
}

void SaveFixture::closeWindow()
{
    m_window.reset();
}

QList<QStringList> SaveFixture::calls() const
{
    return TestEnv::readCallLog(path(QStringLiteral("calls.log")));
}

QList<QPair<QString, QString>> SaveFixture::attaches(int from) const
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

QString SaveFixture::checkFollowsAttach(int from) const
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

QString SaveFixture::loginctl(const QStringList &arguments) const
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

Seat *SaveFixture::panel(const QString &seatId) const
{
    if (!m_window)
        return nullptr;
    for (Seat *seat : m_window->seatPanels()) {
        if (seat->seatId() == seatId)
            return seat;
    }
    return nullptr;
}

QTreeWidgetItem *SaveFixture::device(const DevTreeWidget *tree, const QString &name)
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

QStringList SaveFixture::addressesOf(const DevTreeWidget *tree, const QString &name)
{
    const QTreeWidgetItem *item = device(tree, name);
    return item ? item->data(0, DevTreeWidget::AddressRole).toStringList() : QStringList();
}

bool SaveFixture::giveToPanel(const QString &deviceName, const QString &seatId)
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

bool SaveFixture::waitForApplyEnd(int timeoutMs)
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

void SaveFixture::leaveProgressAlone(ModalAnswerer &answerer)
{
    answerer.act([](QWidget *) {});
}

void SaveFixture::answerBoxOnly(ModalAnswerer &answerer, QMessageBox::StandardButton button)
{
    answerer.act([button](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        if (!box)
            return;
        if (QAbstractButton *b = box->button(button))
            b->click();
        else
            box->reject();
    });
}

void SaveFixture::answerSave(ModalAnswerer &answerer)
{
    answerer.answer(QMessageBox::Yes);
    leaveProgressAlone(answerer);
}

QList<SeenBox> SaveFixture::messageBoxes(const ModalAnswerer &answerer)
{
    QList<SeenBox> boxes;
    for (const SeenBox &box : answerer.seen) {
        if (box.className == QLatin1String("QMessageBox"))
            boxes.append(box);
    }
    return boxes;
}
