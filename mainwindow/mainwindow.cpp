#include "mainwindow/mainwindow.h"

#include "app/appsettings.h"
#include "app/constants.h"
#include "apply/dmconfig.h"
#include "apply/videocarddetector.h"
#include "platform/systemdservice.h"
#include "platform/zelintegration.h"
#include "seatpanel/createseatdialog.h"
#include "seatpanel/devtreewidget.h"
#include "seatpanel/myviewlabel.h"
#include "seatpanel/seat.h"
#include "seatstate/keyboardgrouping.h"
#include "seatstate/seatstatusparser.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTimer>

#include <algorithm>
#include <cmath>

MainWindowEnvironment MainWindowEnvironment::system()
{
    return {VideocardDetector::LogDir, VideocardDetector::DrmDir, DmConfig::ConfigPath,
            [](const QString &service) { return ZelAdmin::SystemdService(service).restart(); }};
}

MainWindow::MainWindow(QWidget *parent, const MainWindowEnvironment &environment)
    : QMainWindow(parent), ui(new Ui::MainWindow), m_progressDialog(nullptr), m_loginctl(nullptr),
      m_stateChanged(false), m_statusIndex(0), m_freeSeats(0), m_environment(environment)
{
    ui->setupUi(this);

    connect(ui->saveAction, &QAction::triggered, this, &MainWindow::saveAndApply);
    connect(ui->reloadAction, &QAction::triggered, this, &MainWindow::reloadConfiguration);
    connect(ui->addSeatAction, &QAction::triggered, this, &MainWindow::addSeat);
    connect(ui->devTreeWidget, &QTreeWidget::itemSelectionChanged, this,
            &MainWindow::setAddButtonsEnabled);
    connect(ui->helpAction, &QAction::triggered, this, &MainWindow::showHelp);
    connect(ui->exitAction, &QAction::triggered, this, &QWidget::close);
    connect(&m_loginctl, &LoginctlUtil::seatsListReadingFinished, this,
            &MainWindow::onSeatsListRead);
    connect(&m_loginctl, &LoginctlUtil::seatStatusReadingFinished, this,
            &MainWindow::onSeatStatusRead);
    connect(&m_loginctl, &LoginctlUtil::deviceAttached, this, &MainWindow::startAttachChecking);
    connect(&m_loginctl, &LoginctlUtil::seatStatusCheckingFinished, this,
            &MainWindow::parseCheckResponse);
    connect(&m_loginctl, &LoginctlUtil::error, this, &MainWindow::onLoginUtilError);
    connect(ui->devTreeWidget, &DevTreeWidget::deviceDropped, this, &MainWindow::addDeviceFromDrop);
    connect(ui->renameButton, &QPushButton::clicked, this, &MainWindow::renameButtonClicked);
    connect(ui->emptySeatsAllowedAction, &QAction::triggered, this, &MainWindow::saveAllowSetting);
    connect(ui->showAllDevicesAction, &QAction::triggered, this,
            &MainWindow::saveAndApplyShowAllDevSetting);

    ui->devTreeWidget->initCategories();

    setLoading(true);
    m_loginctl.readSeatsList();
    m_mainVideocard =
        detectMainVideocard(m_environment.displayManagerLogDir, m_environment.drmClassDir);
    restoreSettings();
}

MainWindow::~MainWindow()
{
    // A loginctl command still running is killed when m_loginctl goes, and
    // its end is reported at once: it must not reach a half-destroyed window.
    disconnect(&m_loginctl, nullptr, this, nullptr);
    delete ui;
}

DevTreeWidget *MainWindow::mainTree() const
{
    return ui->devTreeWidget;
}

void MainWindow::restoreSettings()
{
    restoreGeometry(AppSettings::geometry());
    ui->emptySeatsAllowedAction->setChecked(AppSettings::emptySeatsAllowed());
    const bool showUnknown = AppSettings::showUnknownDevices();
    ui->showAllDevicesAction->setChecked(showUnknown);
    ui->devTreeWidget->setUnrecognizedVisible(showUnknown);
    for (Seat *seat : qAsConst(m_seats))
        seat->setShowUnrecognized(showUnknown);
}

Seat *MainWindow::addSeatPanel(const QString &displayName, const QString &seatId)
{
    auto *seat = new Seat(displayName, seatId, ui->scrollAreaWidgetContents);
    m_seats.append(seat);
    ui->verticalLayout->addWidget(seat);
    connect(seat, &Seat::giveMeDevice, this, &MainWindow::sendDevice);
    connect(seat, &Seat::takeDevice, this, &MainWindow::addDevice);
    connect(seat, &Seat::iamchanged, this, &MainWindow::setStateChanged);
    connect(seat, &Seat::deleteMe, this, &MainWindow::deleteSenderSeat);
    connect(seat, &Seat::thanksForDevice, ui->devTreeWidget, &DevTreeWidget::updateState);
    seat->setShowUnrecognized(ui->showAllDevicesAction->isChecked());
    seat->setAddButtonEnabled(!ui->devTreeWidget->selectedItems().isEmpty());
    return seat;
}

void MainWindow::showSeatsArea(bool show)
{
    const QRect geometry = this->geometry();
    if (show) {
        if (!ui->scrollArea->isHidden())
            return;
        ui->scrollArea->show();
        ui->horizontalLayout->setStretch(0, 47);
        ui->horizontalLayout->setStretch(1, 53);
        resize(int(std::lround(geometry.width() / 0.475)), geometry.height());
    } else {
        if (ui->scrollArea->isHidden())
            return;
        ui->scrollArea->hide();
        ui->horizontalLayout->setStretch(0, 1);
        ui->horizontalLayout->setStretch(1, 0);
        resize(int(std::lround(geometry.width() * 0.475)), geometry.height());
    }
}

// ---- seat population ------------------------------------------------------

void MainWindow::onSeatsListRead()
{
    m_seatIds = parseSeatList(m_loginctl.readOutput());
    if (m_seatIds.isEmpty()) {
        QMessageBox::critical(this, tr("Error!"),
                              tr("No seats were found. \nContinuation of work is impossible."),
                              QMessageBox::Ok);
        m_loadComplete = false;
        setLoading(false);
        return;
    }
    std::sort(m_seatIds.begin(), m_seatIds.end());

    const QStringList named = AppSettings::namedSeats();
    auto displayName = [&named](const QString &id) {
        return named.contains(id) ? AppSettings::seatDisplayName(id) : id;
    };
    ui->seatNameLabel->setText(displayName(m_seatIds.first()));
    m_mainSeatId = m_seatIds.first();

    if (m_seatIds.size() < 2) {
        showSeatsArea(false);
    } else {
        for (int i = 1; i < m_seatIds.size(); ++i)
            addSeatPanel(displayName(m_seatIds.at(i)), m_seatIds.at(i));
        showSeatsArea(true);
    }
    // Panels stay inert until their devices are read.
    ui->scrollAreaWidgetContents->setEnabled(false);

    m_statusIndex = 0;
    m_loginctl.readSeatStatus(m_seatIds.first());
}

void MainWindow::onSeatStatusRead()
{
    if (!m_loading || m_statusIndex >= m_seatIds.size())
        return;
    fillSeatDevices();
    ++m_statusIndex;
    if (m_statusIndex != m_seatIds.size()) {
        m_loginctl.readSeatStatus(m_seatIds.at(m_statusIndex));
        return;
    }
    m_loadComplete = true;
    m_stateChanged = false;
    ui->saveAction->setEnabled(false);
    setLoading(false);
}

void MainWindow::fillSeatDevices()
{
    // Only entries with a sysfs path are devices: a seat without devices is
    // printed as "(none)", which would otherwise become a device that can
    // never be attached.
    auto devicesOf = [this](DeviceCategory category) {
        QList<DeviceEntry> entries = m_loginctl.devices.values(category);
        entries.erase(std::remove_if(entries.begin(), entries.end(),
                                     [](const DeviceEntry &entry) {
                                         return !entry.second.startsWith(QLatin1String("/sys/"));
                                     }),
                      entries.end());
        return entries;
    };
    const QList<DeviceEntry> videocards = devicesOf(VideocardCategory);
    const QList<DeviceEntry> keyboards = devicesOf(KeyboardCategory);
    const QList<DeviceEntry> mice = devicesOf(MouseCategory);
    const QList<DeviceEntry> others = devicesOf(UnrecognizedCategory);

    DevTreeWidget *tree = nullptr;
    Seat *panel = nullptr;
    if (m_statusIndex == 0) {
        tree = ui->devTreeWidget;
        if (videocards.size() == 1 && m_seatIds.size() == 1) {
            QMessageBox::warning(this, tr("Warning!"),
                                 tr("You have one video card.\nAdding seats is not possible, "
                                    "because each seat needs its own video card."),
                                 QMessageBox::Ok);
        }
        m_freeSeats = videocards.size() - m_seatIds.size();
        if (m_freeSeats < 1) {
            ui->addSeatAction->setEnabled(false);
            m_freeSeats = 0;
        }
    } else {
        panel = m_seats.value(m_statusIndex - 1);
        if (!panel)
            return;
        tree = panel->devTreeWidget();
        panel->enableFlushButton();
    }

    for (const DeviceEntry &entry : videocards)
        tree->addDevice(entry.first, QStringList{entry.second}, int(VideocardCategory));
    for (const KeyboardGroup &keyboard : groupKeyboards(keyboards))
        tree->addDevice(keyboard.name, keyboard.addresses, int(KeyboardCategory));
    for (const DeviceEntry &entry : mice)
        tree->addDevice(entry.first, QStringList{entry.second}, int(MouseCategory));
    for (const DeviceEntry &entry : others)
        tree->addDevice(entry.first, QStringList{entry.second}, int(UnrecognizedCategory));

    if (panel)
        panel->setShowUnrecognized(ui->showAllDevicesAction->isChecked());
    else
        refreshMainTree();
}

void MainWindow::setLoading(bool loading)
{
    m_loading = loading;
    if (!loading)
        ui->scrollAreaWidgetContents->setEnabled(true);
    updateCommandStates();
}

// Adding, reloading and saving wait while the seats are read or applied.
void MainWindow::updateCommandStates()
{
    const bool idle = !m_loading && !m_applying;
    ui->reloadAction->setEnabled(idle);
    ui->addSeatAction->setEnabled(idle && m_freeSeats > 0);
    ui->saveAction->setEnabled(idle && m_loadComplete && m_stateChanged);
}

// ---- commands ---------------------------------------------------------------

void MainWindow::refreshMainTree()
{
    ui->devTreeWidget->updateState(NoDrop, ui->showAllDevicesAction->isChecked());
}

void MainWindow::showHelp()
{
    zelHelpShow(QString());
}

void MainWindow::setStateChanged(bool state)
{
    m_stateChanged = state;
    ui->saveAction->setEnabled(state);
    if (!state)
        setEnabled(true);
    updateCommandStates();
}

void MainWindow::setAddButtonsEnabled()
{
    const bool selected = !ui->devTreeWidget->selectedItems().isEmpty();
    for (Seat *seat : qAsConst(m_seats))
        seat->setAddButtonEnabled(selected);
}

void MainWindow::sendDevice()
{
    const QList<QTreeWidgetItem *> selected = ui->devTreeWidget->selectedItems();
    if (selected.isEmpty())
        return;
    auto *seat = qobject_cast<Seat *>(sender());
    if (selected.size() == 1 && seat) {
        seat->receiveDevice(selected.first());
        delete selected.first();
    }
    refreshMainTree();
    setStateChanged(true);
}

void MainWindow::addDevice(QTreeWidgetItem *it)
{
    if (!it)
        return;
    ui->devTreeWidget->addDevice(it->data(0, Qt::DisplayRole),
                                 it->data(0, DevTreeWidget::AddressRole),
                                 it->data(0, DevTreeWidget::TypeRole));
    setStateChanged(true);
    refreshMainTree();
}

void MainWindow::addDeviceFromDrop(QVariant name, QVariant address, QVariant type)
{
    ui->devTreeWidget->addDevice(name, address, type);
    setStateChanged(true);
    refreshMainTree();
    const DropState dropState =
        type.toInt() == VideocardCategory ? VideocardDropped : OtherDeviceDropped;
    for (Seat *seat : qAsConst(m_seats)) {
        seat->updateFlushButton(true);
        seat->updateState(dropState);
    }
}

void MainWindow::deleteSenderSeat()
{
    auto *seat = qobject_cast<Seat *>(sender());
    if (!seat)
        return;
    if (!m_seats.removeOne(seat)) {
        QMessageBox::warning(
            this, tr("Warning!"),
            tr("An unexpected error has occurred.\nIt is recommended to restart the program."),
            QMessageBox::Ok);
    }
    // The panel is still inside its own button's signal: let it go once that
    // has returned.
    ui->verticalLayout->removeWidget(seat);
    seat->hide();
    seat->deleteLater();
    ++m_freeSeats;
    updateCommandStates();
    if (m_seats.isEmpty())
        showSeatsArea(false);
}

void MainWindow::renameButtonClicked()
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(this, tr("Seat renaming"), tr("New name:"), QLineEdit::Normal,
                              ui->seatNameLabel->fullText(), &ok);
    if (!ok || text.isEmpty())
        return;
    if (MyViewLabel::isShortened(text)) {
        QMessageBox::information(
            this, tr("Seat renaming"),
            tr("The name is too long to display \nand will be displayed truncated"),
            QMessageBox::Ok);
    }
    ui->seatNameLabel->setText(text);
    AppSettings::setSeatDisplayName(m_mainSeatId, text);
}

void MainWindow::saveAllowSetting()
{
    AppSettings::setEmptySeatsAllowed(ui->emptySeatsAllowedAction->isChecked());
}

void MainWindow::saveAndApplyShowAllDevSetting()
{
    const bool show = ui->showAllDevicesAction->isChecked();
    AppSettings::setShowUnknownDevices(show);
    ui->devTreeWidget->setUnrecognizedVisible(show);
    for (Seat *seat : qAsConst(m_seats))
        seat->setShowUnrecognized(show);
}

void MainWindow::reloadConfiguration()
{
    if (m_loading || m_applying)
        return;
    if (m_stateChanged &&
        QMessageBox::question(
            this, tr("Warning!"),
            tr("The all unsaved changed will be lost. \nDo you want to continue?"),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::NoButton) != QMessageBox::Yes)
        return;

    m_freeSeats += m_seats.size();
    const QList<Seat *> panels = m_seats;
    m_seats.clear();
    removePanels(panels);
    for (int category = 0; category < DeviceCategoryCount; ++category) {
        if (QTreeWidgetItem *row = ui->devTreeWidget->category(category))
            qDeleteAll(row->takeChildren());
    }
    setLoading(true);
    QTimer::singleShot(500, &m_loginctl, [this] { m_loginctl.readSeatsList(); });
    refreshMainTree();
}

void MainWindow::removePanels(const QList<Seat *> &panels)
{
    for (Seat *seat : panels) {
        ui->verticalLayout->removeWidget(seat);
        delete seat;
    }
}

void MainWindow::addSeat()
{
    if (m_loading || m_applying || m_freeSeats < 1)
        return;
    // Numbered after the panels; a number still held by a remaining seat is
    // skipped, or the two seats would be merged on saving.
    QStringList taken{m_mainSeatId};
    for (const Seat *seat : qAsConst(m_seats))
        taken.append(seat->seatId());
    int number = m_seats.size() + 1;
    while (taken.contains(QStringLiteral("seat%1").arg(number)))
        ++number;
    const QString seatId = QStringLiteral("seat%1").arg(number);

    CreateSeatDialog dialog;
    QStringList offered;
    for (const QString &name : ui->devTreeWidget->videocardNames()) {
        if (m_mainVideocard.isEmpty() || !name.contains(m_mainVideocard))
            offered.append(name);
    }
    dialog.addVideocards(offered);
    if (dialog.exec() != QDialog::Accepted)
        return;

    showSeatsArea(true);
    const QString name = dialog.seatName();
    if (MyViewLabel::isShortened(name)) {
        QMessageBox::information(
            this, tr("Seat creating"),
            tr("The name is too long to display \nand will be displayed truncated"),
            QMessageBox::Ok);
    }
    AppSettings::setSeatDisplayName(seatId, name);
    Seat *seat = addSeatPanel(name, seatId);

    const QString videocard = dialog.videocard();
    if (QTreeWidgetItem *cards = ui->devTreeWidget->category(VideocardCategory)) {
        for (int i = 0; i < cards->childCount(); ++i) {
            QTreeWidgetItem *card = cards->child(i);
            if (card->text(0) == videocard) {
                seat->receiveDevice(card);
                delete card;
                break;
            }
        }
    }
    refreshMainTree();
    setStateChanged(true);
    if (--m_freeSeats <= 0)
        m_freeSeats = 0;
    updateCommandStates();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_closing) {
        event->accept();
        return;
    }
    if (m_applying) {
        // The layout is being applied: close once that has ended.
        m_closeAfterApply = true;
        event->ignore();
        return;
    }
    if (m_stateChanged) {
        const auto answer = QMessageBox::question(
            this, tr("Unsaved changes"),
            tr("Configuration was changed but not saved. \nDo you want to save changes?"),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::NoButton);
        if (answer == QMessageBox::Cancel) {
            event->ignore();
            return;
        }
        if (answer == QMessageBox::Yes) {
            saveAndApply();
            if (m_applying) {
                m_closeAfterApply = true;
                event->ignore();
                return;
            }
        }
    }
    AppSettings::setGeometry(saveGeometry());
    m_closing = true;
    event->accept();
}

// ---- save and apply -----------------------------------------------------------

QHash<QString, QString> MainWindow::deviceNamesByAddress() const
{
    QHash<QString, QString> names;
    QList<DevTreeWidget *> trees{ui->devTreeWidget};
    for (Seat *seat : m_seats)
        trees.append(seat->devTreeWidget());
    for (DevTreeWidget *tree : qAsConst(trees)) {
        for (int category = 0; category < DeviceCategoryCount; ++category) {
            QTreeWidgetItem *row = tree->category(category);
            for (int i = 0; row && i < row->childCount(); ++i) {
                const QTreeWidgetItem *device = row->child(i);
                const QStringList addresses =
                    device->data(0, DevTreeWidget::AddressRole).toStringList();
                for (const QString &address : addresses)
                    names.insert(address, device->text(0));
            }
        }
    }
    return names;
}

void MainWindow::saveAndApply()
{
    if (!m_stateChanged || m_applying)
        return;
    if (m_loading || !m_loadComplete) {
        // A layout that was not read completely must not be applied: seats
        // that were not read would lose their devices.
        QMessageBox::warning(this, tr("Warning!"),
                             tr("The seats have not been read completely.\nReload the "
                                "configuration before saving."),
                             QMessageBox::Ok);
        return;
    }

    const bool includeUnrec = ui->showAllDevicesAction->isChecked();
    MainSeatFacts mainSeat{
        m_mainSeatId, ui->devTreeWidget->videocardNames(), ui->devTreeWidget->hasVideocard(),
        ui->devTreeWidget->hasKeyboardAndMouse(), ui->devTreeWidget->deviceAddresses(includeUnrec)};
    QList<SeatFacts> panels;
    for (Seat *seat : qAsConst(m_seats)) {
        panels.append({seat->seatId(), seat->hasVideocard(), seat->hasKeyboardOrMouse(),
                       seat->hasInputDevices(), seat->deviceAddresses()});
    }
    auto show = [this](SaveMessage message) {
        const QString title = saveMessageTitle(message);
        const QString text = saveMessageText(message);
        switch (saveMessageKind(message)) {
        case SaveMessageKind::Question:
            return QMessageBox::question(this, title, text, QMessageBox::Yes | QMessageBox::No,
                                         QMessageBox::NoButton) == QMessageBox::Yes;
        case SaveMessageKind::Warning:
            QMessageBox::warning(this, title, text, QMessageBox::Ok);
            return true;
        case SaveMessageKind::Critical:
            QMessageBox::critical(this, title, text, QMessageBox::Ok);
            return true;
        }
        return true;
    };
    m_attachQueue.clear();
    const SavePlan plan =
        planSave(mainSeat, panels, m_mainVideocard, ui->emptySeatsAllowedAction->isChecked(), show,
                 [&show](SaveMessage message) { show(message); });
    if (!plan.proceed)
        return;

    QList<Seat *> marked;
    for (int index : plan.panelsToDelete)
        marked.append(m_seats.at(index));
    for (Seat *seat : qAsConst(marked)) {
        if (!m_seats.removeOne(seat))
            show(SaveMessage::UnexpectedError);
        removePanels({seat});
        ++m_freeSeats;
    }
    if (m_seats.isEmpty())
        showSeatsArea(false);
    startApplying(plan.queue);
}

void MainWindow::startApplying(const QList<AttachPair> &queue)
{
    if (m_applying)
        return;
    m_attachQueue = queue;
    m_deviceNames = deviceNamesByAddress();
    m_applying = true;
    m_missedChecks = 0;
    m_failedAttachments.clear();
    updateCommandStates();
    setEnabled(false);
    updateDmConfig(!m_seats.isEmpty(), this, m_environment.displayManagerConfig);
    QApplication::setOverrideCursor(Qt::WaitCursor);

    if (!m_progressDialog) {
        m_progressDialog = new QProgressDialog(tr("Devices attaching..."), QString(), 0,
                                               m_attachQueue.size(), this, Qt::WindowFlags());
        m_progressDialog->setObjectName(QStringLiteral("progressDialog"));
        m_progressDialog->setAutoClose(false);
        m_progressDialog->setAutoReset(false);
    } else {
        m_progressDialog->setEnabled(true);
        m_progressDialog->setMaximum(m_attachQueue.size());
    }
    m_progressDialog->setValue(0);
    m_progressDialog->setWindowModality(Qt::WindowModal);
    m_progressDialog->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
    m_progressDialog->setCancelButton(nullptr);
    m_progressDialog->show();

    attachNextDevice();
}

void MainWindow::attachNextDevice()
{
    if (!m_applying)
        return;
    if (m_attachQueue.isEmpty()) {
        finishAttaching(m_failedAttachments.isEmpty());
        return;
    }
    const QPair<QString, QString> next = m_attachQueue.first();
    m_loginctl.attachThisDevice(next.first, next.second);
    m_attachQueue.removeFirst();
}

void MainWindow::startAttachChecking(QString seatname, QString address)
{
    if (!m_applying)
        return;
    m_loginctl.checkSeatStatus(seatname);
    m_checkedSeatId = seatname;
    m_checkedAddress = address;
}

void MainWindow::parseCheckResponse()
{
    if (!m_applying)
        return;
    const QString output = m_loginctl.readOutput();
    // A path followed by the end of its line: a device whose path merely
    // starts with the checked one does not count.
    if (output.contains(m_checkedAddress + QLatin1Char('\n'))) {
        // Misses count per attachment: the same pair later in the queue
        // starts afresh.
        m_missedChecks = 0;
        m_progressDialog->setValue(m_progressDialog->value() + 1);
        attachNextDevice();
        return;
    }
    const QPair<QString, QString> pair(m_checkedSeatId, m_checkedAddress);
    const int delay = attachRetryDelayMs(++m_missedChecks);
    if (delay < 0) {
        m_missedChecks = 0;
        // Its tries are used up: go on with the others and report it at the end.
        m_failedAttachments.append(pair);
        m_progressDialog->setValue(m_progressDialog->value() + 1);
        attachNextDevice();
        return;
    }
    // udev may not have applied the attach yet: try the same device again,
    // after a wait that grows with every miss.
    m_attachQueue.prepend(pair);
    QTimer::singleShot(delay, this, &MainWindow::attachNextDevice);
}

void MainWindow::finishAttaching(bool success)
{
    m_applying = false;
    QApplication::restoreOverrideCursor();
    m_loginctl.setIdle();
    m_attachQueue.clear();
    if (m_progressDialog) {
        m_progressDialog->setValue(m_progressDialog->value() + 1);
        m_progressDialog->close();
    }
    if (success) {
        setStateChanged(false);
        restartDisplayManager();
    } else {
        // Nothing counts as saved: the administrator can correct and save again.
        setEnabled(true);
        updateCommandStates();
        if (!m_failedAttachments.isEmpty()) {
            QStringList lines;
            for (const auto &pair : qAsConst(m_failedAttachments)) {
                lines.append(tr("%1 (%2) to %3")
                                 .arg(m_deviceNames.value(pair.second, pair.second), pair.second,
                                      pair.first));
            }
            QMessageBox::critical(
                this, tr("Device attaching error"),
                tr("These devices could not be attached to their seats:\n%1\nThe graphical shell "
                   "was not restarted. Check the devices and save again.")
                    .arg(lines.join(QLatin1Char('\n'))),
                QMessageBox::Ok);
        }
    }
    if (m_closeAfterApply) {
        m_closeAfterApply = false;
        AppSettings::setGeometry(saveGeometry());
        m_closing = true;
        close();
    }
}

void MainWindow::onLoginUtilError(QString error)
{
    QMessageBox::critical(this, tr("Device attaching error"), error, QMessageBox::Ok);
    if (m_applying) {
        // The loop cannot go on; leave the window usable and nothing marked saved.
        m_failedAttachments.clear();
        finishAttaching(false);
    } else if (m_loading) {
        // The chain of reads stops here; what was read stays, saving waits
        // for a complete reload.
        m_loadComplete = false;
        setLoading(false);
    }
}

void MainWindow::restartDisplayManager()
{
    if (m_environment.restartService)
        m_environment.restartService(Constants::DisplayManagerService);
}
