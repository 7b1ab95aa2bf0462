#pragma once

#include "mainwindow/mainwindow.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QMessageBox>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class DevTreeWidget;
class ModalAnswerer;
class QTreeWidgetItem;
class Seat;
struct SeenBox;

// A real MainWindow on an emulated machine for the save tests: a private copy
// of the machine description, the emulator's call log, a temporary display
// manager configuration and a restart callback that only records.
class SaveFixture
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

    SaveFixture();
    ~SaveFixture();

    bool isValid() const { return m_dir.isValid(); }
    QString path(const QString &name) const { return m_dir.filePath(name); }

    // The machine the emulator answers for; faults may be appended at any time.
    bool useMachine(const QByteArray &description);
    bool useMachineFile(const QString &dataName);
    bool appendToMachine(const QByteArray &lines);
    QString machinePath() const { return path(QStringLiteral("machine")); }

    bool writeConfig(const QByteArray &content);
    QByteArray config() const;
    QString configPath() const { return path(QStringLiteral("zel-dmrc")); }

    // Constructs the window and waits until its seats are read.
    MainWindow *openWindow();
    MainWindow *window() const { return m_window.get(); }
    void closeWindow();

    QList<Restart> restarts;

    // The emulator's call log, one argument list per call.
    QList<QStringList> calls() const;
    int callCount() const { return calls().size(); }
    // The (seat, address) of every attach from call number `from` on.
    QList<QPair<QString, QString>> attaches(int from = 0) const;
    // Empty when every attach from `from` on is directly followed by a
    // seat-status of its seat; otherwise what is wrong.
    QString checkFollowsAttach(int from = 0) const;

    // Runs the emulated loginctl on the fixture's machine; its output.
    QString loginctl(const QStringList &arguments) const;

    qint64 elapsedNs() const { return m_clock.nsecsElapsed(); }

    // Tree and panel helpers.
    Seat *panel(const QString &seatId) const;
    static QTreeWidgetItem *device(const DevTreeWidget *tree, const QString &name);
    static QStringList addressesOf(const DevTreeWidget *tree, const QString &name);
    // Selects the device in the main seat's tree and clicks the panel's add button.
    bool giveToPanel(const QString &deviceName, const QString &seatId);
    // Waits until the restart was requested or the window is idle again.
    bool waitForApplyEnd(int timeoutMs = 20000);

    // The progress dialog is window-modal, so the answerer sees it as well;
    // these keep it away from the answers meant for the message boxes.
    static void leaveProgressAlone(ModalAnswerer &answerer);
    static void answerBoxOnly(ModalAnswerer &answerer, QMessageBox::StandardButton button);
    // Restart question Yes, then the progress dialog left alone.
    static void answerSave(ModalAnswerer &answerer);
    static QList<SeenBox> messageBoxes(const ModalAnswerer &answerer);

private:
    QTemporaryDir m_dir;
    std::unique_ptr<MainWindow> m_window;
    QElapsedTimer m_clock;
};
