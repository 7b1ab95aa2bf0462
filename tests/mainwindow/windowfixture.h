// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "common/testenv.h"
#include "mainwindow/mainwindow.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class DevTreeWidget;
class QAction;
class QPushButton;
class QWidget;
class QTreeWidgetItem;
class Seat;

// A private system for one main window: the emulated loginctl's machine and
// call logs, a display manager log directory and a DRM class directory (both
// empty until a test fills them), a configuration file and a recorder for
// service restarts. Nothing of the real system is touched.
class WindowFixture : public EmulatedSystem
{
public:
    // What the window looked like when it asked for the restart.
    struct Restart
    {
        QString service;
        int callsBefore = 0; // loginctl calls made until then
        qint64 atNs = 0;     // since the fixture was made
        bool windowEnabled = false;
        bool windowVisible = false;
        bool stateChanged = true;
        bool cursorOverridden = true;
        bool progressVisible = true;
    };

    WindowFixture();
    ~WindowFixture();

    // The display manager the window finds: the unit display-manager.service
    // links to ("lightdm.service", "/dev/null"), or none for an empty target.
    // zel-dm unless a test says otherwise.
    bool useDisplayManager(const QString &target);
    // systemctl's words when it refuses the restart; empty: it queues it.
    QString restartRefusal;

    bool writeConfig(const QByteArray &content);
    QByteArray config() const;
    QString configPath() const { return path(QStringLiteral("zel-dmrc")); }

    // The display manager's newest log names its primary device in the
    // X server's notation, e.g. "0@0:2:0" for 0000:00:02.0.
    bool addPrimaryLog(const QString &notation);
    // A DRM class entry: a relative link to <root>/devices/<device>/drm/<name>.
    bool addCardLink(const QString &name, const QString &device);
    // The card (added with addCardLink) is the one the firmware started on:
    // its device is on PCI and says boot_vga 1.
    bool markBootCard(const QString &name);

    // Retry waits and a command time limit short enough for tests, unless a
    // test sets its own.
    QList<int> attachRetryDelaysMs{10, 20, 40, 80, 160, 320};
    int commandTimeLimitMs = 3000;
    // udev's details and events, when a test hands in its own.
    std::shared_ptr<const DeviceInfoSource> deviceInfo;
    std::shared_ptr<HotplugSource> hotplug;
    // The lock shared with zel-multiseatctl; none unless a test names one.
    QString applyLockPath;
    MainWindowEnvironment environment();
    // Constructs a window with environment(); it is not shown and the test owns it.
    std::unique_ptr<MainWindow> create();
    // Constructs the fixture's own window, shows it and waits until its seats are read.
    MainWindow *openWindow();
    MainWindow *window() const { return m_window.get(); }
    void closeWindow();
    // Waits until the seats have been read (or the reading stopped).
    static bool waitLoaded(MainWindow *window, int timeoutMs = 15000);

    QList<Restart> restarts;

    int callCount() const { return calls().size(); }
    // The (seat, address) of every attach from call number `from` on.
    QList<QPair<QString, QString>> attaches(int from = 0) const;
    // Empty when every attach from `from` on is directly followed by a
    // seat-status of its seat; otherwise what is wrong.
    QString checkFollowsAttach(int from = 0) const;
    // Runs the emulated loginctl on the fixture's machine; its output.
    QString loginctl(const QStringList &arguments) const;

    qint64 elapsedNs() const { return m_clock.nsecsElapsed(); }

    // Tree and panel helpers on the fixture's own window.
    Seat *panel(const QString &seatId) const;
    static QTreeWidgetItem *device(const DevTreeWidget *tree, const QString &name);
    static QStringList addressesOf(const DevTreeWidget *tree, const QString &name);
    // Selects the device in the main seat's tree and clicks the panel's add button.
    bool giveToPanel(const QString &deviceName, const QString &seatId);
    // Waits until the attach job has ended.
    bool waitForApplyEnd(int timeoutMs = 20000);
    // Lets the own window's wait after outside changes run out now, as its
    // second passing would; false when the window has no such wait.
    bool endOutsideChangeDelay();

    // Yes to the restart question of a save.
    static void answerSave(PromptAnswerer &answerer);
    static QList<SeenBox> messageBoxes(const PromptAnswerer &answerer);

private:
    std::unique_ptr<MainWindow> m_window;
    QPointer<MainWindow> m_current; // the window whose restarts are recorded
    QElapsedTimer m_clock;
};

// The window's action of that object name.
QAction *action(const MainWindow *window, const char *name);

// The test case of a window: for every test the settings emptied, a fixture
// of its own with the configuration file (when one is given) and an answerer
// for the prompts. A test case that prepares more declares its own init()
// and calls this one first.
class WindowTestCase : public QObject
{
    Q_OBJECT
public:
    explicit WindowTestCase(const QByteArray &config = {}) : m_config(config) {}

protected slots:
    void initTestCase();
    void init();
    void cleanup();

protected:
    std::unique_ptr<WindowFixture> m_fx;
    std::unique_ptr<PromptAnswerer> m_answerer;

private:
    QByteArray m_config;
};

// Answers for the create-seat dialog (PromptAnswerer::act): record the video
// cards it offers, then type the name, pick the card (when offered) and
// create the seat, or cancel.
namespace CreateSeatAnswer {
std::function<void(QWidget *)> create(const QString &name, const QString &videocard,
                                      std::shared_ptr<QStringList> offered);
std::function<void(QWidget *)> cancel(std::shared_ptr<QStringList> offered);
} // namespace CreateSeatAnswer

// Machine description lines.
namespace Machine {
// A video card at the PCI device pci (e.g. "0000:00:02.0" on the root bus, or
// "0000:00:01.0/0000:01:00.0" behind a bridge).
QByteArray card(int number, const QString &pci, const QString &seat = QStringLiteral("seat0"));
// An input device on a USB interface, e.g. port "1-3", interface "1.0".
QByteArray usbInput(int input, const QString &port, const QString &interface, const QString &name,
                    const QString &seat = QStringLiteral("seat0"));
QString usbInputPath(int input, const QString &port, const QString &interface);
QString cardPath(int number, const QString &pci);
} // namespace Machine

// Reading the trees.
namespace Trees {
QStringList texts(const DevTreeWidget *tree, int category);
QList<QStringList> addresses(const DevTreeWidget *tree, int category);
QTreeWidgetItem *find(const DevTreeWidget *tree, const QString &text);
int deviceCount(const DevTreeWidget *tree);
bool select(DevTreeWidget *tree, const QString &text);
QPushButton *button(const Seat *panel, const QString &objectName);
// The panels that are still children of the scroll area, deleted ones gone.
int livePanels(MainWindow *window);
} // namespace Trees
