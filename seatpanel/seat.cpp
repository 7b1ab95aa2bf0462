// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "seatpanel/seat.h"

#include "core/appsettings.h"
#include "core/constants.h"
#include "platform/keyhint.h"
#include "platform/prompt.h"
#include "platform/themeicons.h"
#include "seatpanel/myviewlabel.h"
#include "seatstate/seatstatus.h"
#include "ui_seat.h"

Seat::Seat(const QString &displayName, const QString &seatId, QWidget *parent)
    : QWidget(parent), ui(new Ui::Seat), m_includeUnrec(false)
{
    ui->setupUi(this);
    ui->renameButton->setIcon(ThemeIcons::icon(QStringLiteral("applications-system")));
    ui->renameButton->setToolTip(
        KeyHint::toolTip(ui->renameButton->toolTip(), Constants::RenameSeatKey));
    ui->deleteSeatButton->setIcon(ThemeIcons::icon(QStringLiteral("edit-delete")));
    ui->addDevButton->setIcon(ThemeIcons::icon(QStringLiteral("draw-arrow-forward")));
    ui->deleteDevButton->setIcon(ThemeIcons::icon(QStringLiteral("draw-arrow-back")));
    ui->flushButton->setIcon(ThemeIcons::icon(QStringLiteral("edit-clear")));
    ui->seatNameLabel->setText(displayName);
    m_seatId = seatId;
    ui->statusLabel->hide();
    ui->devTreeWidget->initCategories();

    connect(ui->addDevButton, &QPushButton::clicked, this, &Seat::giveMeDevice);
    connect(ui->deleteDevButton, &QPushButton::clicked, this, &Seat::delDevButtonClicked);
    connect(ui->flushButton, &QPushButton::clicked, this, &Seat::flushButtonClicked);
    connect(ui->deleteSeatButton, &QPushButton::clicked, this, &Seat::delMeButtonClicked);
    connect(ui->devTreeWidget, &DevTreeWidget::itemSelectionChanged, this,
            &Seat::setDelButtonEnabled);
    connect(ui->devTreeWidget, &DevTreeWidget::deviceDropped, this, &Seat::addDeviceFromDrop);
    connect(ui->devTreeWidget, &DevTreeWidget::showLabel, this, &Seat::showHideDeletedLabel);
    connect(ui->renameButton, &QPushButton::clicked, this, &Seat::renameButtonClicked);

    // A device dragged from here to another panel never passes the main
    // window, so the panel refreshes itself: once while the item still
    // exists, and once more after it has gone.
    connect(ui->devTreeWidget, &DevTreeWidget::dragAccepted, this, [this](DropState dropstate) {
        updateFlushButton(true);
        updateState(dropstate);
    });
    connect(ui->devTreeWidget, &DevTreeWidget::dragFinished, this, &Seat::refreshAfterOwnDrag);
}

Seat::~Seat() = default;

DevTreeWidget *Seat::devTreeWidget() const
{
    return ui->devTreeWidget;
}

QString Seat::displayName() const
{
    return ui->seatNameLabel->fullText();
}

QString Seat::seatId() const
{
    return m_seatId;
}

void Seat::receiveDevice(QTreeWidgetItem *it)
{
    if (!it)
        return;
    if (!ui->devTreeWidget->addDevice(it->data(0, Qt::DisplayRole),
                                      it->data(0, DevTreeWidget::AddressRole),
                                      it->data(0, DevTreeWidget::TypeRole)))
        return;
    ui->flushButton->setEnabled(true);
    updateState(NoDrop);
}

void Seat::enableFlushButton()
{
    ui->flushButton->setEnabled(true);
}

void Seat::updateFlushButton(bool pending)
{
    const DevTreeWidget *tree = ui->devTreeWidget;
    int count = 0;
    const int last = m_includeUnrec ? UnrecognizedCategory : MouseCategory;
    for (int c = VideocardCategory; c <= last; ++c) {
        if (const QTreeWidgetItem *row = tree->category(c))
            count += row->childCount();
    }
    // Only the tree a running drag started from can hold the pending device.
    if (pending && tree->mayHoldPendingDevice())
        --count;
    if (count <= 0)
        ui->flushButton->setEnabled(false);
}

void Seat::updateState(DropState dropstate)
{
    ui->devTreeWidget->updateState(dropstate, m_includeUnrec);
}

void Seat::setShowUnrecognized(bool show)
{
    ui->devTreeWidget->setUnrecognizedVisible(show);
    m_includeUnrec = show;
    updateState(NoDrop);
}

bool Seat::hasVideocard() const
{
    return ui->devTreeWidget->hasVideocard();
}

bool Seat::hasKeyboardOrMouse() const
{
    return ui->devTreeWidget->hasKeyboardOrMouse();
}

bool Seat::hasInputDevices() const
{
    return ui->devTreeWidget->hasInputDevices(m_includeUnrec);
}

QStringList Seat::deviceAddresses() const
{
    return ui->devTreeWidget->deviceAddresses(m_includeUnrec);
}

void Seat::setAddButtonEnabled(bool en)
{
    ui->addDevButton->setEnabled(en);
}

void Seat::setDelButtonEnabled()
{
    ui->deleteDevButton->setEnabled(!ui->devTreeWidget->selectedItems().isEmpty());
}

void Seat::showHideDeletedLabel(bool show)
{
    ui->statusLabel->setVisible(show);
}

void Seat::delDevButtonClicked()
{
    const QList<QTreeWidgetItem *> selected = ui->devTreeWidget->selectedItems();
    if (!selected.isEmpty()) {
        QTreeWidgetItem *it = selected.first();
        emit takeDevice(it);
        delete it;
    }
    updateFlushButton(false);
    updateState(NoDrop);
}

void Seat::giveBackChildren(int category)
{
    QTreeWidgetItem *row = ui->devTreeWidget->category(category);
    if (!row)
        return;
    for (int i = row->childCount() - 1; i >= 0; --i) {
        QTreeWidgetItem *it = row->child(i);
        emit takeDevice(it);
        delete it;
    }
}

void Seat::flushButtonClicked()
{
    if (Prompt::question(this, tr("Devices disconnection"),
                         tr("All devices will be disconnected from seat. \nAre you sure?")) !=
        QMessageBox::Yes)
        return;
    giveBackChildren(VideocardCategory);
    giveBackChildren(KeyboardCategory);
    giveBackChildren(MouseCategory);
    // Hidden unrecognized devices stay with the seat.
    if (m_includeUnrec)
        giveBackChildren(UnrecognizedCategory);
    ui->flushButton->setEnabled(false);
    updateState(NoDrop);
}

void Seat::delMeButtonClicked()
{
    if (!ui->flushButton->isEnabled()) {
        emit deleteMe();
        return;
    }
    flushButtonClicked();
    if (!ui->flushButton->isEnabled())
        emit deleteMe();
}

void Seat::renameButtonClicked()
{
    renameSeat(this, ui->seatNameLabel, m_seatId);
}

void Seat::renameSeat(QWidget *parent, MyViewLabel *label, const QString &seatId)
{
    QString name;
    if (!Prompt::getText(parent, tr("Seat renaming"), tr("New name:"), label->fullText(), &name) ||
        name.isEmpty())
        return;
    warnIfShortened(parent, tr("Seat renaming"), name);
    label->setText(name);
    AppSettings::setSeatDisplayName(seatId, name);
}

void Seat::warnIfShortened(QWidget *parent, const QString &title, const QString &name)
{
    if (MyViewLabel::isShortened(name))
        Prompt::information(
            parent, title, tr("The name is too long to display \nand will be displayed truncated"));
}

void Seat::addDeviceFromDrop(QVariant name, QVariant address, QVariant type)
{
    if (!ui->devTreeWidget->addDevice(name, address, type))
        return;
    ui->flushButton->setEnabled(true);
    updateState(NoDrop);
    emit iamchanged(true);
    emit thanksForDevice(type.toInt() == VideocardCategory ? VideocardDropped : OtherDeviceDropped,
                         m_includeUnrec);
}

void Seat::refreshAfterOwnDrag()
{
    updateFlushButton(false);
    updateState(NoDrop);
}

void Seat::setSessionText(const QString &text)
{
    ui->sessionLabel->setText(text);
}
