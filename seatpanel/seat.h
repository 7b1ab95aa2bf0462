#pragma once

#include "seatpanel/dropstate.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

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

    Ui::Seat *ui;
    QString m_seatId;
    bool m_includeUnrec;
};
