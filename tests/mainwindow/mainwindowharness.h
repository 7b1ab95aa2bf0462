#pragma once

#include "mainwindow/mainwindow.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class DevTreeWidget;
class QPushButton;
class QWidget;
class QTreeWidgetItem;
class Seat;

// A private system for one main window: a copy of a machine description for
// the emulated loginctl, its call log, a display manager log directory and a
// DRM class directory (both empty until a test fills them), a configuration
// file and a recorder for service restarts. Nothing of the real system is
// touched.
class MainWindowHarness
{
public:
    MainWindowHarness();
    ~MainWindowHarness();

    // Copies tests/data/machines/<name>, with extra lines appended, and points
    // the emulator at the copy.
    bool useMachine(const QString &name, const QByteArray &extra = {});
    // A description written out by the test.
    bool writeMachine(const QByteArray &content);
    QByteArray machine() const;

    MainWindowEnvironment environment();
    // Constructs the window with environment(); it is not shown.
    std::unique_ptr<MainWindow> create();
    // Waits until the seats have been read (or the reading stopped).
    static bool waitLoaded(MainWindow *window, int timeoutMs = 15000);

    // The emulator's call log, one argument list per call.
    QList<QStringList> calls() const;
    QStringList restarts() const { return *m_restarts; }

    // The display manager's newest log names its primary device in the
    // X server's notation, e.g. "0@0:2:0" for 0000:00:02.0.
    bool addPrimaryLog(const QString &notation);
    // A DRM class entry: a relative link to <root>/devices/<device>/drm/<name>.
    bool addCardLink(const QString &name, const QString &device);

    QString path(const QString &relative) const;

private:
    QTemporaryDir m_dir;
    std::shared_ptr<QStringList> m_restarts;
};

// Answers for the create-seat dialog (ModalAnswerer::act): record the video
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
