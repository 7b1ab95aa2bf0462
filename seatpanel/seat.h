// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "seatpanel/dropstate.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>
#include <memory>

class MyViewLabel;

class DevTreeWidget;
class QTreeWidgetItem;

namespace Ui {
class Seat;
}

// The panel of one seat besides the main seat: its display name, its deletion
// mark, the buttons and its device tree. It never talks to the system; it
// tells its owner by signals what it needs.
class Seat : public QWidget
{
    Q_OBJECT

public:
    Seat(const QString &displayName, const QString &seatId, QWidget *parent = nullptr);
    ~Seat() override;

    DevTreeWidget *devTreeWidget() const;
    QString seatId() const;
    QString displayName() const;

    // Copies the device of it into this tree; it stays the caller's.
    void receiveDevice(QTreeWidgetItem *it);
    void enableFlushButton();
    // pending: a device of this panel has been dropped elsewhere and its item
    // is still here.
    void updateFlushButton(bool pending);
    void updateState(DropState dropstate);
    void setShowUnrecognized(bool show);

    // Asks for a new display name, as the rename button does.
    void rename() { renameButtonClicked(); }
    // The one way a seat is renamed, the main seat's column and the panels
    // alike: asks for the name, shows it in label and stores it.
    static void renameSeat(QWidget *parent, MyViewLabel *label, const QString &seatId);
    // Tells, under title, when name will be shown shortened.
    static void warnIfShortened(QWidget *parent, const QString &title, const QString &name);
    // Who is on the seat, shown under its name ("In use: anna").
    void setSessionText(const QString &text);

    bool hasVideocard() const;
    bool hasKeyboardOrMouse() const;
    bool hasInputDevices() const;
    QStringList deviceAddresses() const;

signals:
    void giveMeDevice();
    // Receivers must copy it during the call: it is deleted right after.
    void takeDevice(QTreeWidgetItem *it);
    void iamchanged(bool);
    void deleteMe();
    void thanksForDevice(DropState dropstate, bool includeUnrec);

public slots:
    void setAddButtonEnabled(bool en);

private slots:
    void delDevButtonClicked();
    void flushButtonClicked();
    void delMeButtonClicked();
    void setDelButtonEnabled();
    void renameButtonClicked();
    void addDeviceFromDrop(QVariant name, QVariant address, QVariant type);
    void showHideDeletedLabel(bool show);

private:
    void giveBackChildren(int category);
    void refreshAfterOwnDrag();

    std::unique_ptr<Ui::Seat> ui;
    QString m_seatId;
    bool m_includeUnrec;
};
