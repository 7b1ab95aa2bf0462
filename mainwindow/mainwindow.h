// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "apply/attachjob.h"
#include "apply/displaymanager.h"
#include "apply/seatreset.h"
#include "core/applylock.h"
#include "mainwindow/devicetooltips.h"
#include "mainwindow/mainwindowenvironment.h"
#include "mainwindow/outsidechanges.h"
#include "seatstate/layoutfile.h"
#include "seatstate/seatreader.h"

#include <QList>
#include <QMainWindow>
#include <QStringList>
#include <QVariant>
#include <memory>

class DevTreeWidget;
class AttachProgressDialog;
class IdentifyMode;
class QTreeWidgetItem;
class Seat;
struct SeatTree;

namespace Ui {
class Form;
}

// The tool's only top-level window: the main seat on the left, one panel per
// further seat on the right, and the commands that act on them. Reading the
// seats and applying a layout run below it (SeatReader, AttachJob); the
// window turns their results into panels, dialogs and messages.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // Loading: the seats are read; Applying: a save attaches its devices;
    // Closing: the window closes, once a running save has ended.
    enum class State
    {
        Loading,
        Idle,
        Applying,
        Closing,
    };

    explicit MainWindow(QWidget *parent = nullptr,
                        const MainWindowEnvironment &environment = MainWindowEnvironment::system());
    ~MainWindow() override;

    QString mainSeatId() const { return m_mainSeatId; }

    Seat *addSeatPanel(const QString &displayName, const QString &seatId);
    void showSeatsArea(bool show);
    void restoreSettings();
    void reloadConfiguration();
    void addSeat();
    // Every device back on the main seat, the further seats gone, the
    // display manager set up for one seat and restarted.
    void resetAllSeats();
    void saveAndApply();
    // The part of a save after the checks and the deletion of empty panels:
    // edits the display manager's configuration, attaches and verifies every
    // pair of the queue, and restarts the display manager if all arrived.
    void startApplying(const QList<AttachPair> &queue);
    // A termination signal (a shutdown, Ctrl+C, a closed terminal) ends the
    // window without a question; a save or a reset under way ends first.
    void endOnSignal();

    // For the program's own tests and the accessibility of its state.
    State state() const { return m_state; }
    bool isLoading() const { return m_state == State::Loading; }
    bool isApplying() const { return m_attachJob.isRunning(); }
    QList<Seat *> seatPanels() const { return m_seats; }
    QString mainVideocard() const { return m_mainVideocard; }
    const DisplayManager &displayManager() const { return m_displayManager; }
    int freeSeats() const { return qMax(0, m_loadedFreeSeats - (m_seats.size() - m_loadedPanels)); }
    bool stateChanged() const { return m_stateChanged; }
    DevTreeWidget *mainTree() const;
    // What the trees show now, saved or not, main seat first.
    SeatLayout currentLayout() const;
    // The layout as it was last read or saved.
    const SeatLayout &readLayout() const { return m_readLayout; }

    // File ▸ "Export layout…", "Import layout…" and "Restore previous layout…".
    void exportLayout();
    void importLayout();
    void restoreLayout();

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
    void renameFocusedSeat();
    void saveAllowSetting();
    void saveAndApplyShowAllDevSetting();

private:
    void showSeats(const SeatLayout &layout);
    // The one place the trees and panels are built from a layout.
    void buildTrees(const SeatLayout &layout, bool sessionsKnown);
    void clearTrees();
    // Lays the file onto this machine's devices in the window and tells what
    // did not match; nothing is saved.
    void showImported(const LayoutFile &file);
    // Keeps the layout as it was read before a save or a reset changes it.
    void keepReadLayout();
    bool holdsApplyLock();
    // True without unsaved changes, or when the administrator lets them go.
    bool unsavedChangesMayGo();
    // Marks what was moved since the last reading or save.
    void markMoves();
    QString movedNote(const QString &seatId, const QStringList &addresses) const;
    QString seatIdOfTree(const DevTreeWidget *tree) const;
    void showUnrecognized(bool show);
    void setState(State state);
    void updateCommandStates();
    void refreshMainTree();
    void removePanel(Seat *seat, bool later = false);
    void onAttachFinished(const AttachOutcome &outcome);
    // Restarts the display manager after a save or a reset, or says why
    // nothing was restarted; false when a restart was wanted and refused.
    void restartDisplayManager();
    // What the administrator must know before the restart question: seats
    // the display manager gives no login screen, GDM's X11, sessions that end.
    void tellBeforeRestart(int furtherSeats);
    // The display manager found, in a line.
    QString displayManagerText() const;
    void showAbout();
    // The display manager's configuration set for several seats, or for one.
    void updateDisplayManagerConfig(bool seatsRemain);
    void onResetFinished(const QString &error);
    void stopIdentifying();
    // Every seat's tree, the main seat's first.
    QList<SeatTree> seatTrees() const;
    OutsideChanges::Shown shownDevice(const QString &syspath) const;
    // A device tree's tool tips and its context menu (blinking a keyboard's
    // lights).
    void equipTree(DevTreeWidget *tree);
    void showDeviceMenu(DevTreeWidget *tree, const QPoint &pos);

    std::unique_ptr<Ui::Form> ui;
    AttachProgressDialog *m_progressDialog = nullptr;
    SeatReader m_seatReader;
    AttachJob m_attachJob;
    QList<Seat *> m_seats;
    QString m_mainSeatId;
    QString m_mainVideocard;
    DisplayManager m_displayManager;
    bool m_stateChanged = false;
    State m_state = State::Loading;
    // Seats that could be added when the layout was read, and the panels then:
    // every panel created since takes one, every panel deleted gives one back.
    int m_loadedFreeSeats = 0;
    int m_loadedPanels = 0;
    MainWindowEnvironment m_environment;
    DeviceToolTips m_toolTips;
    OutsideChanges *m_outside = nullptr;
    IdentifyMode *m_identify = nullptr;
    SeatReset m_seatReset;
    // Held while the window is open, so that zel-multiseatctl leaves the
    // seats alone; taken again before a change when it was busy at the start.
    ApplyLock m_applyLock;
    QHash<QString, QString> m_deviceNames; // of the save in progress
    QStringList m_returnedAddresses;       // of seats deleted since the last save
    QList<SeatSession> m_sessions;         // of the last reading
    SeatLayout m_readLayout;               // as last read or saved
    SeatLayout m_savingLayout;             // of the save in progress
    bool m_endingOnSignal = false;
};
