#include "mainwindow/mainwindow.h"

#include "apply/dmconfig.h"
#include "apply/videocarddetector.h"
#include "core/appsettings.h"
#include "core/constants.h"
#include "platform/prompt.h"
#include "platform/systemdservice.h"
#include "platform/zelintegration.h"
#include "seatpanel/createseatdialog.h"
#include "seatpanel/devtreewidget.h"
#include "seatpanel/myviewlabel.h"
#include "seatpanel/seat.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QProgressDialog>
#include <QTimer>

#include <cmath>

MainWindowEnvironment MainWindowEnvironment::system()
{
    MainWindowEnvironment environment;
    environment.displayManagerLogDir = VideocardDetector::LogDir;
    environment.drmClassDir = VideocardDetector::DrmDir;
    environment.displayManagerConfig = DmConfig::ConfigPath;
    environment.restartService = [](const QString &service) {
        return ZelAdmin::SystemdService(service).restart();
    };
    return environment;
}

MainWindow::MainWindow(QWidget *parent, const MainWindowEnvironment &environment)
    : QMainWindow(parent), ui(new Ui::MainWindow), m_environment(environment)
{
    ui->setupUi(this);
    m_attachJob.setRetryDelays(m_environment.attachRetryDelaysMs);

    connect(ui->saveAction, &QAction::triggered, this, &MainWindow::saveAndApply);
    connect(ui->reloadAction, &QAction::triggered, this, &MainWindow::reloadConfiguration);
    connect(ui->addSeatAction, &QAction::triggered, this, &MainWindow::addSeat);
    connect(ui->devTreeWidget, &QTreeWidget::itemSelectionChanged, this,
            &MainWindow::setAddButtonsEnabled);
    connect(ui->helpAction, &QAction::triggered, this, &MainWindow::showHelp);
    connect(ui->exitAction, &QAction::triggered, this, &QWidget::close);
    connect(&m_seatReader, &SeatReader::finished, this, &MainWindow::showSeats);
    connect(&m_seatReader, &SeatReader::error, this, &MainWindow::onLoginUtilError);
    connect(&m_attachJob, &AttachJob::progressChanged, this, [this](int done) {
        if (m_progressDialog)
            m_progressDialog->setValue(done);
    });
    connect(&m_attachJob, &AttachJob::finished, this, &MainWindow::onAttachFinished);
    connect(&m_attachJob, &AttachJob::error, this, &MainWindow::onLoginUtilError);
    connect(ui->devTreeWidget, &DevTreeWidget::deviceDropped, this, &MainWindow::addDeviceFromDrop);
    connect(ui->renameButton, &QPushButton::clicked, this, &MainWindow::renameButtonClicked);
    connect(ui->emptySeatsAllowedAction, &QAction::triggered, this, &MainWindow::saveAllowSetting);
    connect(ui->showAllDevicesAction, &QAction::triggered, this,
            &MainWindow::saveAndApplyShowAllDevSetting);

    ui->devTreeWidget->initCategories();

    setState(State::Loading);
    m_seatReader.readSeatsList();
    m_mainVideocard =
        detectMainVideocard(m_environment.displayManagerLogDir, m_environment.drmClassDir);
    restoreSettings();
}

MainWindow::~MainWindow()
{
    // A command still running is killed with the reader or the job, and its
    // end is reported at once: it must not reach a half-destroyed window.
    disconnect(&m_seatReader, nullptr, this, nullptr);
    disconnect(&m_attachJob, nullptr, this, nullptr);
    delete ui;
}

DevTreeWidget *MainWindow::mainTree() const
{
    return ui->devTreeWidget;
}

int MainWindow::freeSeats() const
{
    return qMax(0, m_loadedFreeSeats - (m_seats.size() - m_loadedPanels));
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
    // Built whole before it joins the column: a screen reader that looks at
    // a widget still under construction would take it for a plain one.
    auto *seat = new Seat(displayName, seatId);
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
    if (show == !ui->scrollArea->isHidden())
        return;
    const QRect geometry = this->geometry();
    ui->scrollArea->setVisible(show);
    ui->horizontalLayout->setStretch(0, show ? 47 : 1);
    ui->horizontalLayout->setStretch(1, show ? 53 : 0);
    const double width = show ? geometry.width() / 0.475 : geometry.width() * 0.475;
    resize(int(std::lround(width)), geometry.height());
}

// ---- seat population ------------------------------------------------------

void MainWindow::showSeats(const SeatLayout &layout)
{
    if (layout.status == SeatLayout::Status::NoSeats) {
        Prompt::critical(this, tr("Error!"),
                         tr("No seats were found. \nContinuation of work is impossible."));
    }
    if (!layout.seats.isEmpty()) {
        const SeatContent &main = layout.seats.first();
        m_mainSeatId = main.seatId;
        ui->seatNameLabel->setText(AppSettings::seatDisplayName(main.seatId));
        fillTree(ui->devTreeWidget, main);
        refreshMainTree();

        // The panels are built with the column's layout held back and shown
        // at once, so that each one does not lay out all the others again.
        for (const SeatContent &content : layout.seats.mid(1)) {
            Seat *panel = addSeatPanel(AppSettings::seatDisplayName(content.seatId),
                                       content.seatId);
            fillTree(panel->devTreeWidget(), content);
            if (content.read)
                panel->enableFlushButton();
            panel->setShowUnrecognized(ui->showAllDevicesAction->isChecked());
        }
        showSeatsArea(layout.seats.size() >= 2);

        const int mainCards = main.count(VideocardCategory);
        if (mainCards == 1 && layout.seats.size() == 1) {
            Prompt::warning(this, tr("Warning!"),
                            tr("You have one video card.\nAdding seats is not possible, "
                               "because each seat needs its own video card."));
        }
        m_loadedFreeSeats = qMax(0, mainCards - int(layout.seats.size()));
        m_loadedPanels = m_seats.size();
    }
    if (layout.status == SeatLayout::Status::Complete)
        m_stateChanged = false;
    setState(State::Idle);
}

void MainWindow::fillTree(DevTreeWidget *tree, const SeatContent &seat)
{
    for (const DeviceItem &device : seat.devices)
        tree->addDevice(device.name, device.addresses, device.category);
}

void MainWindow::setState(State state)
{
    m_state = state;
    // Panels stay inert until their devices are read.
    ui->scrollAreaWidgetContents->setEnabled(state != State::Loading);
    updateCommandStates();
}

// Adding, reloading and saving wait while the seats are read or applied.
void MainWindow::updateCommandStates()
{
    const bool idle = m_state == State::Idle;
    ui->reloadAction->setEnabled(idle);
    ui->addSeatAction->setEnabled(idle && freeSeats() > 0);
    ui->saveAction->setEnabled(idle && m_seatReader.lastReadComplete() && m_stateChanged);
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
        Prompt::warning(
            this, tr("Warning!"),
            tr("An unexpected error has occurred.\nIt is recommended to restart the program."));
    }
    // The panel is still inside its own button's signal: let it go once that
    // has returned.
    ui->verticalLayout->removeWidget(seat);
    seat->hide();
    seat->deleteLater();
    updateCommandStates();
    if (m_seats.isEmpty())
        showSeatsArea(false);
}

void MainWindow::removePanel(Seat *seat)
{
    m_seats.removeOne(seat);
    ui->verticalLayout->removeWidget(seat);
    delete seat;
}

void MainWindow::renameButtonClicked()
{
    QString text;
    if (!Prompt::getText(this, tr("Seat renaming"), tr("New name:"), ui->seatNameLabel->fullText(),
                         &text) ||
        text.isEmpty())
        return;
    if (MyViewLabel::isShortened(text)) {
        Prompt::information(
            this, tr("Seat renaming"),
            tr("The name is too long to display \nand will be displayed truncated"));
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
    if (m_state != State::Idle)
        return;
    if (m_stateChanged &&
        Prompt::question(this, tr("Warning!"),
                         tr("The all unsaved changed will be lost. \nDo you want to continue?")) !=
            QMessageBox::Yes)
        return;

    const QList<Seat *> panels = m_seats;
    for (Seat *seat : panels)
        removePanel(seat);
    for (int category = 0; category < DeviceCategoryCount; ++category) {
        if (QTreeWidgetItem *row = ui->devTreeWidget->category(category))
            qDeleteAll(row->takeChildren());
    }
    setState(State::Loading);
    QTimer::singleShot(500, &m_seatReader, [this] { m_seatReader.readSeatsList(); });
    refreshMainTree();
}

void MainWindow::addSeat()
{
    if (m_state != State::Idle || freeSeats() < 1)
        return;
    QStringList taken{m_mainSeatId};
    for (const Seat *seat : qAsConst(m_seats))
        taken.append(seat->seatId());
    const QString seatId = newSeatId(m_seats.size(), taken);

    CreateSeatDialog dialog;
    dialog.addVideocards(offeredVideocards(ui->devTreeWidget->videocardNames(), m_mainVideocard));
    if (Prompt::exec(&dialog) != QDialog::Accepted)
        return;

    showSeatsArea(true);
    const QString name = dialog.seatName();
    if (MyViewLabel::isShortened(name)) {
        Prompt::information(
            this, tr("Seat creating"),
            tr("The name is too long to display \nand will be displayed truncated"));
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
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_state == State::Closing && !m_attachJob.isRunning()) {
        event->accept();
        return;
    }
    if (m_attachJob.isRunning()) {
        // The layout is being applied: close once that has ended.
        setState(State::Closing);
        event->ignore();
        return;
    }
    if (m_stateChanged) {
        const auto answer = Prompt::question(
            this, tr("Unsaved changes"),
            tr("Configuration was changed but not saved. \nDo you want to save changes?"),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer == QMessageBox::Cancel) {
            event->ignore();
            return;
        }
        if (answer == QMessageBox::Yes) {
            saveAndApply();
            if (m_attachJob.isRunning()) {
                setState(State::Closing);
                event->ignore();
                return;
            }
        }
    }
    AppSettings::setGeometry(saveGeometry());
    setState(State::Closing);
    event->accept();
}

// ---- save and apply -----------------------------------------------------------

void MainWindow::saveAndApply()
{
    if (!m_stateChanged || m_state == State::Applying || m_state == State::Closing)
        return;
    if (m_state == State::Loading || !m_seatReader.lastReadComplete()) {
        // A layout that was not read completely must not be applied: seats
        // that were not read would lose their devices.
        Prompt::warning(this, tr("Warning!"),
                        tr("The seats have not been read completely.\nReload the "
                           "configuration before saving."));
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
            return Prompt::question(this, title, text) == QMessageBox::Yes;
        case SaveMessageKind::Warning:
            Prompt::warning(this, title, text);
            break;
        case SaveMessageKind::Critical:
            Prompt::critical(this, title, text);
            break;
        }
        return true;
    };
    const SavePlan plan =
        planSave(mainSeat, panels, m_mainVideocard, ui->emptySeatsAllowedAction->isChecked(), show,
                 [&show](SaveMessage message) { show(message); });
    if (!plan.proceed)
        return;

    QList<Seat *> marked;
    for (int index : plan.panelsToDelete)
        marked.append(m_seats.at(index));
    for (Seat *seat : qAsConst(marked)) {
        if (!m_seats.contains(seat))
            show(SaveMessage::UnexpectedError);
        removePanel(seat);
    }
    if (m_seats.isEmpty())
        showSeatsArea(false);
    startApplying(plan.queue);
}

void MainWindow::startApplying(const QList<AttachPair> &queue)
{
    if (m_attachJob.isRunning())
        return;
    m_deviceNames = ui->devTreeWidget->deviceNames();
    for (const Seat *seat : qAsConst(m_seats))
        m_deviceNames.insert(seat->devTreeWidget()->deviceNames());
    setState(State::Applying);
    setEnabled(false);
    updateDmConfig(
        !m_seats.isEmpty(),
        [this](const QString &text) { Prompt::warning(this, tr("Warning!"), text); },
        m_environment.displayManagerConfig);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    showProgressDialog(queue.size());
    m_attachJob.start(queue);
}

void MainWindow::showProgressDialog(int total)
{
    if (!m_progressDialog) {
        m_progressDialog = new QProgressDialog(tr("Devices attaching..."), QString(), 0, total,
                                               this, Qt::WindowFlags());
        m_progressDialog->setObjectName(QStringLiteral("progressDialog"));
        m_progressDialog->setAutoClose(false);
        m_progressDialog->setAutoReset(false);
    } else {
        m_progressDialog->setEnabled(true);
        m_progressDialog->setMaximum(total);
    }
    m_progressDialog->setValue(0);
    m_progressDialog->setWindowModality(Qt::WindowModal);
    m_progressDialog->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
    m_progressDialog->setCancelButton(nullptr);
    m_progressDialog->show();
}

QString MainWindow::displayNameOf(const QString &address) const
{
    return m_deviceNames.value(address, address);
}

void MainWindow::onAttachFinished(const AttachOutcome &outcome)
{
    QApplication::restoreOverrideCursor();
    if (m_progressDialog)
        m_progressDialog->close();
    if (outcome.result == AttachOutcome::Result::AllArrived) {
        setStateChanged(false);
        restartDisplayManager();
    } else {
        // Nothing counts as saved: the administrator can correct and save again.
        setEnabled(true);
        if (!outcome.failed.isEmpty()) {
            QStringList lines;
            for (const AttachPair &pair : outcome.failed)
                lines.append(tr("%1 (%2) to %3").arg(displayNameOf(pair.second), pair.second,
                                                    pair.first));
            Prompt::critical(
                this, tr("Device attaching error"),
                tr("These devices could not be attached to their seats:\n%1\nThe graphical shell "
                   "was not restarted. Check the devices and save again.")
                    .arg(lines.join(QLatin1Char('\n'))));
        }
    }
    if (m_state == State::Closing) {
        AppSettings::setGeometry(saveGeometry());
        close();
        return;
    }
    setState(State::Idle);
}

void MainWindow::onLoginUtilError(QString error)
{
    Prompt::critical(this, tr("Device attaching error"), error);
}

void MainWindow::restartDisplayManager()
{
    if (m_environment.restartService)
        m_environment.restartService(Constants::DisplayManagerService);
}
