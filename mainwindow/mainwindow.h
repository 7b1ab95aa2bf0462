#pragma once

#include "apply/saveplan.h"
#include "seatstate/loginctlutil.h"

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QPair>
#include <QStringList>
#include <QVariant>
#include <functional>

class QProgressDialog;
class QTreeWidgetItem;
class Seat;
class DevTreeWidget;

namespace Ui {
class MainWindow;
}

// Where the main window finds the system's files and how it restarts the
// display manager. The defaults are the real ones; tests hand in their own.
struct MainWindowEnvironment
{
    QString displayManagerLogDir; // the display manager's X server logs
    QString drmClassDir;          // the kernel's DRM class directory
    QString displayManagerConfig; // the display manager's configuration file
    std::function<bool(const QString &service)> restartService;

    static MainWindowEnvironment system();
};

// The tool's only top-level window: the main seat on the left, one panel per
// further seat on the right, and the commands that act on them.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr,
                        const MainWindowEnvironment &environment = MainWindowEnvironment::system());
    ~MainWindow() override;

    QString mainSeatId() const { return m_mainSeatId; }

    Seat *addSeatPanel(const QString &displayName, const QString &seatId);
    void showSeatsArea(bool show);
    void restoreSettings();
    void reloadConfiguration();
    void addSeat();
    void saveAndApply();
    // The part of a save after the checks and the deletion of empty panels:
    // edits the display manager's configuration, attaches and verifies every
    // pair of the queue, and restarts the display manager if all arrived.
    void startApplying(const QList<AttachPair> &queue);

    // For the program's own tests and the accessibility of its state.
    QList<Seat *> seatPanels() const { return m_seats; }
    QString mainVideocard() const { return m_mainVideocard; }
    int freeSeats() const { return m_freeSeats; }
    bool stateChanged() const { return m_stateChanged; }
    bool isLoading() const { return m_loading; }
    bool isApplying() const { return m_applying; }
    DevTreeWidget *mainTree() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void showHelp();
    void sendDevice();
    void addDevice(QTreeWidgetItem *it);
    void addDeviceFromDrop(QVariant name, QVariant address, QVariant type);
    void setAddButtonsEnabled();
    void onLoginUtilError(QString error);
    void setStateChanged(bool state);
    void deleteSenderSeat();
    void renameButtonClicked();
    void startAttachChecking(QString seatname, QString address);
    void parseCheckResponse();
    void saveAllowSetting();
    void saveAndApplyShowAllDevSetting();

private:
    void onSeatsListRead();
    void onSeatStatusRead();
    void fillSeatDevices();
    void refreshMainTree();
    void setLoading(bool loading);
    void updateCommandStates();
    void attachNextDevice();
    void finishAttaching(bool success);
    void restartDisplayManager();
    void removePanels(const QList<Seat *> &panels);
    QHash<QString, QString> deviceNamesByAddress() const;

    Ui::MainWindow *ui;
    QProgressDialog *m_progressDialog;
    LoginctlUtil m_loginctl;
    QList<QPair<QString, QString>> m_attachQueue;
    QList<Seat *> m_seats;
    QStringList m_seatIds;
    QString m_mainSeatId;
    QString m_checkedSeatId;
    QString m_checkedAddress;
    QString m_mainVideocard;
    bool m_stateChanged;
    int m_statusIndex;
    int m_freeSeats;

    MainWindowEnvironment m_environment;
    // Seat reading runs from readSeatsList() to the last status; the commands
    // that add, delete or reload seats and saving wait for it.
    bool m_loading = false;
    bool m_loadComplete = false;
    // The attach loop runs from the start of the attachments to the restart.
    bool m_applying = false;
    bool m_closeAfterApply = false;
    bool m_closing = false;
    int m_missedChecks = 0; // checks of the pair being attached that did not find it
    QList<QPair<QString, QString>> m_failedAttachments;
    QHash<QString, QString> m_deviceNames;
};
