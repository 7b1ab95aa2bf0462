// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainwindow/mainwindow.h"

#include "apply/dmconfig.h"
#include "apply/layouthistory.h"
#include "apply/videocarddetector.h"
#include "core/appsettings.h"
#include "core/constants.h"
#include "core/terminationsignals.h"
#include "mainwindow/attachprogressdialog.h"
#include "mainwindow/identifymode.h"
#include "mainwindow/outsidechanges.h"
#include "platform/keyhint.h"
#include "platform/plaintext.h"
#include "platform/prompt.h"
#include "platform/themeicons.h"
#include "platform/zelintegration.h"
#include "seatpanel/createseatdialog.h"
#include "seatpanel/devtreewidget.h"
#include "seatpanel/myviewlabel.h"
#include "seatpanel/seat.h"
#include "seatstate/layoutmapping.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLocale>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>

#include <cmath>

MainWindow::MainWindow(QWidget *parent, const MainWindowEnvironment &environment)
    : QMainWindow(parent), ui(new Ui::Form), m_environment(environment),
      m_toolTips(environment.deviceInfo), m_applyLock(environment.applyLockPath)
{
    // zel-multiseatctl may be busy as the window opens: the window takes the
    // lock as soon as it is free, so that no later run changes the seats
    // under it.
    if (!m_applyLock.tryLock(ApplyLock::WindowHolder)) {
        auto *retry = new QTimer(this);
        retry->setObjectName(QStringLiteral("applyLockRetry"));
        retry->setInterval(1000);
        connect(retry, &QTimer::timeout, this, [this, retry] {
            if (m_applyLock.tryLock(ApplyLock::WindowHolder))
                retry->deleteLater();
        });
        retry->start();
    }
    ui->setupUi(this);
    ui->saveAction->setIcon(ThemeIcons::icon(QStringLiteral("document-save")));
    ui->exitAction->setIcon(ThemeIcons::icon(QStringLiteral("application-exit")));
    ui->reloadAction->setIcon(ThemeIcons::icon(QStringLiteral("view-refresh")));
    ui->addSeatAction->setIcon(ThemeIcons::icon(QStringLiteral("list-add")));
    ui->renameButton->setIcon(ThemeIcons::icon(QStringLiteral("applications-system")));
    ui->renameButton->setToolTip(
        KeyHint::toolTip(ui->renameButton->toolTip(), Constants::RenameSeatKey));
    m_attachJob.setRetryDelays(m_environment.attachRetryDelaysMs);
    m_attachJob.setUdevadmProgram(m_environment.udevadmProgram);
    m_attachJob.setTimeLimit(m_environment.commandTimeLimitMs);
    m_seatReader.setTimeLimit(m_environment.commandTimeLimitMs);
    m_seatReader.setDeviceInfo(m_environment.deviceInfo);
    m_seatReset.setTimeLimit(m_environment.commandTimeLimitMs);

    connect(ui->resetAction, &QAction::triggered, this, &MainWindow::resetAllSeats);
    connect(&m_seatReset, &SeatReset::finished, this, &MainWindow::onResetFinished);

    m_outside = new OutsideChanges(m_environment.hotplug.get(), this, ui->reloadAction);
    m_outside->hasUnsavedChanges = [this] { return m_stateChanged; };
    m_outside->shown = [this](const QString &path) { return shownDevice(path); };
    m_outside->nameOf = [this](const QString &path) { return m_toolTips.name(path); };
    connect(m_outside, &OutsideChanges::reloadWanted, this, &MainWindow::reloadConfiguration);

    m_identify = new IdentifyMode(m_environment.sysRoot, m_environment.devRoot, this);
    m_identify->watcher().setNodeCheck(m_environment.isEventNode);
    m_identify->seatTrees = [this] { return seatTrees(); };
    m_identify->showPanel = [this](QWidget *panel) { ui->scrollArea->ensureWidgetVisible(panel); };
    connect(m_identify, &IdentifyMode::status, ui->statusBar,
            [this](const QString &text) { ui->statusBar->showMessage(text); });
    // A long message is cut off at the window's edge; its tool tip has it whole.
    connect(ui->statusBar, &QStatusBar::messageChanged, ui->statusBar,
            [this](const QString &text) { ui->statusBar->setToolTip(PlainText::toolTip(text)); });
    connect(ui->identifyAction, &QAction::toggled, m_identify, &IdentifyMode::setActive);
    ui->identifyAction->setIcon(ThemeIcons::icon(QStringLiteral("edit-find")));
    equipTree(ui->devTreeWidget);

    connect(ui->saveAction, &QAction::triggered, this, &MainWindow::saveAndApply);
    connect(ui->reloadAction, &QAction::triggered, this, &MainWindow::reloadConfiguration);
    connect(ui->addSeatAction, &QAction::triggered, this, &MainWindow::addSeat);
    connect(ui->devTreeWidget, &QTreeWidget::itemSelectionChanged, this,
            &MainWindow::setAddButtonsEnabled);
    connect(ui->helpAction, &QAction::triggered, this, &MainWindow::showHelp);
    connect(ui->exitAction, &QAction::triggered, this, &QWidget::close);
    connect(&m_seatReader, &SeatReader::finished, this, &MainWindow::showSeats);
    connect(&m_seatReader, &SeatReader::error, this, &MainWindow::onLoginUtilError);
    connect(&m_attachJob, &AttachJob::finished, this, &MainWindow::onAttachFinished);
    connect(&m_attachJob, &AttachJob::error, this, &MainWindow::onLoginUtilError);
    connect(ui->devTreeWidget, &DevTreeWidget::deviceDropped, this, &MainWindow::addDeviceFromDrop);
    connect(ui->renameButton, &QPushButton::clicked, this, &MainWindow::renameButtonClicked);
    connect(ui->emptySeatsAllowedAction, &QAction::triggered, this, &MainWindow::saveAllowSetting);
    connect(ui->showAllDevicesAction, &QAction::triggered, this,
            &MainWindow::saveAndApplyShowAllDevSetting);

    ui->devTreeWidget->initCategories();
    // The keyboard starts in the main seat's devices; F2 renames the seat
    // whose devices have it, since the rename buttons take no focus.
    ui->devTreeWidget->setFocus();
    auto *rename = new QAction(this);
    rename->setObjectName(QStringLiteral("renameFocusedSeatAction"));
    rename->setShortcut(Constants::RenameSeatKey);
    addAction(rename);
    connect(rename, &QAction::triggered, this, &MainWindow::renameFocusedSeat);
    if (TerminationSignals *termination = TerminationSignals::instance())
        connect(termination, &TerminationSignals::received, this, &MainWindow::endOnSignal);

    setState(State::Loading);
    m_seatReader.readSeatsList();
    m_mainVideocard =
        detectMainVideocard(m_environment.displayManagerLogDir, m_environment.drmClassDir);
    m_displayManager = DisplayManager::detect(m_environment.displayManagerLink,
                                              m_environment.defaultDisplayManager);
    connect(ui->aboutAction, &QAction::triggered, this, &MainWindow::showAbout);
    connect(ui->exportAction, &QAction::triggered, this, &MainWindow::exportLayout);
    connect(ui->importAction, &QAction::triggered, this, &MainWindow::importLayout);
    connect(ui->restoreAction, &QAction::triggered, this, &MainWindow::restoreLayout);
    ui->statusBar->showMessage(displayManagerText());
    restoreSettings();
}

// A command still running dies with the reader or the job, silently.
MainWindow::~MainWindow() = default;

DevTreeWidget *MainWindow::mainTree() const
{
    return ui->devTreeWidget;
}

void MainWindow::restoreSettings()
{
    restoreGeometry(AppSettings::geometry());
    ui->emptySeatsAllowedAction->setChecked(AppSettings::emptySeatsAllowed());
    ui->showAllDevicesAction->setChecked(AppSettings::showUnknownDevices());
    showUnrecognized(ui->showAllDevicesAction->isChecked());
}

void MainWindow::showUnrecognized(bool show)
{
    ui->devTreeWidget->setUnrecognizedVisible(show);
    for (Seat *seat : qAsConst(m_seats))
        seat->setShowUnrecognized(show);
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
    equipTree(seat->devTreeWidget());
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
    m_toolTips.setListedSeats(layout.seatIds());
    m_returnedAddresses += layout.orphans;
    m_readLayout = layout;
    for (SeatContent &content : m_readLayout.seats)
        content.displayName = AppSettings::seatDisplayName(content.seatId);
    if (!layout.seats.isEmpty()) {
        m_sessions = layout.sessions;
        buildTrees(m_readLayout, layout.status == SeatLayout::Status::Complete);
        const SeatContent &main = layout.seats.first();
        const int mainCards = main.count(VideocardCategory);
        if (mainCards == 1 && layout.seats.size() == 1) {
            Prompt::warning(this, tr("Warning!"),
                            tr("You have one video card.\nAdding seats is not possible, "
                               "because each seat needs its own video card."));
        }
        m_loadedFreeSeats = qMax(0, mainCards - int(layout.seats.size()));
        m_loadedPanels = m_seats.size();
    }
    // Devices left on seats that are gone, and devices of a card's slot read
    // on another seat, are shown where a save will put them, which is a
    // change still to be saved.
    if (layout.status == SeatLayout::Status::Complete)
        m_stateChanged = !layout.orphans.isEmpty() || !layout.strays.isEmpty();
    setState(State::Idle);
    m_identify->refresh();
}

void MainWindow::buildTrees(const SeatLayout &layout, bool sessionsKnown)
{
    const SeatContent &main = layout.seats.first();
    m_mainSeatId = main.seatId;
    ui->seatNameLabel->setText(
        main.displayName.isEmpty() ? AppSettings::seatDisplayName(main.seatId) : main.displayName);
    ui->devTreeWidget->addDevices(main.devices);
    refreshMainTree();
    auto useOf = [sessionsKnown](const SeatContent &content) {
        return sessionsKnown
                   ? SeatSessions::describe(content.sessions, content.count(VideocardCategory) > 0)
                   : QString();
    };
    ui->sessionLabel->setText(useOf(main));

    // Built while the column is hidden and shown once: a visible column
    // would be laid out and painted again for every panel.
    ui->scrollAreaWidgetContents->hide();
    for (const SeatContent &content : layout.seats.mid(1)) {
        Seat *panel = addSeatPanel(content.displayName.isEmpty()
                                       ? AppSettings::seatDisplayName(content.seatId)
                                       : content.displayName,
                                   content.seatId);
        panel->devTreeWidget()->addDevices(content.devices);
        panel->setSessionText(useOf(content));
        if (content.read)
            panel->enableFlushButton();
        panel->setShowUnrecognized(ui->showAllDevicesAction->isChecked());
    }
    ui->scrollAreaWidgetContents->show();
    showSeatsArea(layout.seats.size() >= 2);
    markMoves();
}

void MainWindow::clearTrees()
{
    const QList<Seat *> panels = m_seats;
    for (Seat *seat : panels)
        removePanel(seat);
    for (int category = 0; category < DeviceCategoryCount; ++category) {
        if (QTreeWidgetItem *row = ui->devTreeWidget->category(category))
            qDeleteAll(row->takeChildren());
    }
}

SeatLayout MainWindow::currentLayout() const
{
    SeatLayout layout;
    layout.status = m_readLayout.status;
    layout.keys = m_readLayout.keys;
    layout.sessions = m_readLayout.sessions;
    SeatContent main;
    main.seatId = m_mainSeatId;
    main.displayName = ui->seatNameLabel->fullText();
    main.read = true;
    main.devices = ui->devTreeWidget->devices();
    layout.seats.append(main);
    for (const Seat *seat : m_seats) {
        SeatContent content;
        content.seatId = seat->seatId();
        content.displayName = seat->displayName();
        content.read = true;
        content.devices = seat->devTreeWidget()->devices();
        layout.seats.append(content);
    }
    // Who is on a seat is the system's, not the trees'.
    for (SeatContent &content : layout.seats) {
        for (const SeatContent &read : m_readLayout.seats) {
            if (read.seatId == content.seatId) {
                content.sessions = read.sessions;
                content.sessionIds = read.sessionIds;
            }
        }
    }
    return layout;
}

void MainWindow::setState(State state)
{
    m_state = state;
    m_outside->setBusy(state != State::Idle);
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
    const bool read = idle && m_seatReader.lastReadComplete();
    ui->exportAction->setEnabled(read);
    ui->importAction->setEnabled(read);
    ui->restoreAction->setEnabled(read && !m_environment.layoutHistoryDir.isEmpty());
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
    markMoves();
}

// ---- layouts ------------------------------------------------------------------

QString MainWindow::seatIdOfTree(const DevTreeWidget *tree) const
{
    if (tree == ui->devTreeWidget)
        return m_mainSeatId;
    for (const Seat *seat : m_seats) {
        if (seat->devTreeWidget() == tree)
            return seat->seatId();
    }
    return QString();
}

QString MainWindow::movedNote(const QString &seatId, const QStringList &addresses) const
{
    if (addresses.isEmpty() || m_readLayout.seats.isEmpty())
        return QString();
    const QString from = m_readLayout.seatOf(addresses.first());
    if (from.isEmpty() || from == seatId)
        return QString();
    return tr("Moved from %1; not saved yet").arg(from);
}

void MainWindow::markMoves()
{
    QList<DevTreeWidget *> trees{ui->devTreeWidget};
    for (Seat *seat : qAsConst(m_seats))
        trees.append(seat->devTreeWidget());
    for (DevTreeWidget *tree : qAsConst(trees)) {
        const QString seatId = seatIdOfTree(tree);
        tree->markMoved(
            [this, &seatId](const QStringList &addresses) { return movedNote(seatId, addresses); });
    }
}

namespace {

QStringList layoutFilters()
{
    return {MainWindow::tr("Layout files (*.json)"), MainWindow::tr("All files (*)")};
}

} // namespace

void MainWindow::exportLayout()
{
    if (m_state != State::Idle || m_readLayout.seats.isEmpty())
        return;
    QString path;
    if (!Prompt::getSaveFileName(this, tr("Export layout"), QStringLiteral("layout.json"),
                                 layoutFilters(), &path))
        return;
    const LayoutFile file = LayoutFile::of(currentLayout(), [this](const QStringList &addresses) {
        return m_toolTips.product(addresses);
    });
    QString error;
    if (!file.save(path, &error)) {
        Prompt::critical(this, tr("Export layout"),
                         tr("The layout could not be written to %1:\n%2").arg(path, error));
    }
}

void MainWindow::importLayout()
{
    if (m_state != State::Idle || !m_seatReader.lastReadComplete())
        return;
    if (!unsavedChangesMayGo())
        return;
    QString path;
    if (!Prompt::getOpenFileName(this, tr("Import layout"), QString(), layoutFilters(), &path))
        return;
    LayoutFile file;
    QString error;
    if (!LayoutFile::load(path, &file, &error)) {
        Prompt::critical(this, tr("Import layout"),
                         tr("Nothing was imported from %1:\n%2").arg(path, error));
        return;
    }
    showImported(file);
}

void MainWindow::restoreLayout()
{
    if (m_state != State::Idle || !m_seatReader.lastReadComplete())
        return;
    const QList<LayoutHistory::Entry> entries =
        LayoutHistory(m_environment.layoutHistoryDir).entries();
    if (entries.isEmpty()) {
        Prompt::information(this, tr("Restore previous layout"),
                            tr("No layout has been kept yet: one is kept before every save "
                               "and every reset."));
        return;
    }
    if (!unsavedChangesMayGo())
        return;
    QStringList items;
    for (const LayoutHistory::Entry &entry : entries) {
        QStringList seats{m_mainSeatId};
        for (const LayoutFile::Seat &seat : entry.file.seats)
            seats.append(seat.name.isEmpty() || seat.name == seat.id
                             ? seat.id
                             : QStringLiteral("%1 (%2)").arg(seat.id, seat.name));
        items.append(tr("%1: %2").arg(QLocale().toString(entry.when, QLocale::ShortFormat),
                                      seats.join(QStringLiteral(", "))));
    }
    QString chosen;
    if (!Prompt::getItem(this, tr("Restore previous layout"),
                         tr("The layout before a save or reset:"), items, &chosen))
        return;
    showImported(entries.at(items.indexOf(chosen)).file);
}

void MainWindow::showImported(const LayoutFile &file)
{
    const LayoutMapping::Result mapped = LayoutMapping::apply(m_readLayout, file);
    // Devices of seats that the file drops go back to the main seat, hidden
    // ones too, as when their panel is deleted.
    for (const SeatContent &before : m_readLayout.seats.mid(1)) {
        if (!mapped.layout.seatIds().contains(before.seatId)) {
            for (const DeviceItem &item : before.devices)
                m_returnedAddresses += item.addresses;
        }
    }
    stopIdentifying();
    clearTrees();
    buildTrees(mapped.layout, true);
    for (const SeatContent &content : mapped.layout.seats.mid(1)) {
        if (!content.displayName.isEmpty())
            AppSettings::setSeatDisplayName(content.seatId, content.displayName);
    }
    setStateChanged(true);
    m_identify->refresh();

    QStringList lines;
    if (!mapped.seatsWithoutCard.isEmpty())
        lines << tr("Seats not created, since none of their video cards is here: %1")
                     .arg(mapped.seatsWithoutCard.join(QStringLiteral(", ")));
    if (!mapped.missing.isEmpty())
        lines << tr("Named in the file, not found here:\n%1")
                     .arg(mapped.missing.join(QLatin1Char('\n')));
    if (!mapped.leftOnMain.isEmpty())
        lines << tr("Not named in the file, so on the main seat now:\n%1")
                     .arg(mapped.leftOnMain.join(QLatin1Char('\n')));
    if (lines.isEmpty())
        lines << tr("Every device of the file was found here.");
    lines << tr("Nothing is saved until you save.");
    Prompt::information(this, tr("Layout imported"), lines.join(QStringLiteral("\n\n")));
}

void MainWindow::keepReadLayout()
{
    if (m_environment.layoutHistoryDir.isEmpty() || m_readLayout.seats.isEmpty())
        return;
    QString error;
    const LayoutFile file = LayoutFile::of(m_readLayout, [this](const QStringList &addresses) {
        return m_toolTips.product(addresses);
    });
    if (!LayoutHistory(m_environment.layoutHistoryDir).keep(file, m_environment.now(), &error)) {
        Prompt::warning(this, tr("Warning!"),
                        tr("The layout before this change could not be kept, so it cannot be "
                           "restored later:\n%1")
                            .arg(error));
    }
}

bool MainWindow::holdsApplyLock()
{
    if (m_applyLock.tryLock(ApplyLock::WindowHolder))
        return true;
    const QString why =
        m_applyLock.holderPid() > 0
            ? tr("%1 (process %2) is changing the seats. Save again when it has finished.")
                  .arg(m_applyLock.holder())
                  .arg(m_applyLock.holderPid())
            : tr("The seats cannot be changed now: %1").arg(m_applyLock.errorString());
    Prompt::warning(this, tr("Warning!"), why);
    return false;
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
    // What the panel kept (its unrecognized devices while they are hidden)
    // goes back to the main seat too, and is attached there on the next save.
    for (const DeviceItem &device : seat->devTreeWidget()->devices()) {
        ui->devTreeWidget->addDevice(device.name, device.addresses, device.category);
        m_returnedAddresses += device.addresses;
    }
    // The panel is still inside its own button's signal: it goes once that
    // has returned.
    removePanel(seat, true);
    updateCommandStates();
    if (m_seats.isEmpty())
        showSeatsArea(false);
}

void MainWindow::removePanel(Seat *seat, bool later)
{
    m_seats.removeOne(seat);
    ui->verticalLayout->removeWidget(seat);
    seat->hide();
    if (later)
        seat->deleteLater();
    else
        delete seat;
}

void MainWindow::renameButtonClicked()
{
    Seat::renameSeat(this, ui->seatNameLabel, m_mainSeatId);
}

void MainWindow::renameFocusedSeat()
{
    const QWidget *focus = QApplication::focusWidget();
    if (focus == ui->devTreeWidget)
        renameButtonClicked();
    for (Seat *seat : qAsConst(m_seats)) {
        if (focus == seat->devTreeWidget())
            seat->rename();
    }
}

void MainWindow::saveAllowSetting()
{
    AppSettings::setEmptySeatsAllowed(ui->emptySeatsAllowedAction->isChecked());
}

void MainWindow::saveAndApplyShowAllDevSetting()
{
    AppSettings::setShowUnknownDevices(ui->showAllDevicesAction->isChecked());
    showUnrecognized(ui->showAllDevicesAction->isChecked());
}

bool MainWindow::unsavedChangesMayGo()
{
    return !m_stateChanged ||
           Prompt::question(
               this, tr("Warning!"),
               tr("The all unsaved changed will be lost. \nDo you want to continue?")) ==
               QMessageBox::Yes;
}

void MainWindow::reloadConfiguration()
{
    if (m_state != State::Idle)
        return;
    if (!unsavedChangesMayGo())
        return;

    m_outside->clear();
    clearTrees();
    m_returnedAddresses.clear();
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
    const QStringList offered =
        offeredVideocards(ui->devTreeWidget->videocardNames(), m_mainVideocard);
    QStringList products;
    for (const QString &name : offered) {
        const QTreeWidgetItem *card = ui->devTreeWidget->findDevice(VideocardCategory, name);
        products << (card ? m_toolTips.product(
                                card->data(0, DevTreeWidget::AddressRole).toStringList())
                          : QString());
    }
    dialog.addVideocards(offered, products);
    if (Prompt::exec(&dialog) != QDialog::Accepted)
        return;

    showSeatsArea(true);
    const QString name = dialog.seatName();
    Seat::warnIfShortened(this, tr("Seat creating"), name);
    AppSettings::setSeatDisplayName(seatId, name);
    Seat *seat = addSeatPanel(name, seatId);

    if (QTreeWidgetItem *card =
            ui->devTreeWidget->findDevice(VideocardCategory, dialog.videocard())) {
        seat->receiveDevice(card);
        delete card;
    }
    refreshMainTree();
    setStateChanged(true);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_state != State::Closing && !m_attachJob.isRunning() && m_stateChanged) {
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
            // A save that a rule or the restart question stopped leaves the
            // layout unsaved: closing now would lose it.
            if (!m_attachJob.isRunning() && m_stateChanged) {
                event->ignore();
                return;
            }
        }
    }
    setState(State::Closing);
    // A layout being applied or reset closes the window once it has ended.
    if (m_attachJob.isRunning() || m_seatReset.isRunning()) {
        event->ignore();
        return;
    }
    AppSettings::setGeometry(saveGeometry());
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

    // The layout shown, and the facts the rules check, from one reading of
    // the trees.
    const bool includeUnrec = ui->showAllDevicesAction->isChecked();
    const SeatLayout shown = currentLayout();
    QStringList held;
    for (const DeviceItem &item : shown.seats.first().devices)
        held += item.addresses;
    QStringList returned;
    for (const QString &address : qAsConst(m_returnedAddresses)) {
        if (held.contains(address))
            returned.append(address);
    }
    const MainSeatFacts mainSeat = mainSeatFacts(shown.seats.first(), includeUnrec, returned);
    QList<SeatFacts> panels;
    for (const SeatContent &content : shown.seats.mid(1))
        panels.append(seatFacts(content, includeUnrec));
    int furtherSeats = 0;
    for (const SeatFacts &panel : qAsConst(panels))
        furtherSeats += panel.hasVideocard ? 1 : 0;
    auto show = [this, furtherSeats](SaveMessage message) {
        if (message == SaveMessage::RestartQuestion)
            tellBeforeRestart(furtherSeats);
        const SaveMessageKind kind = saveMessageKind(message);
        return Prompt::tell(kind == SaveMessageKind::Question  ? Prompt::Kind::Question
                            : kind == SaveMessageKind::Warning ? Prompt::Kind::Warning
                                                               : Prompt::Kind::Critical,
                            this, saveMessageTitle(message), saveMessageText(message));
    };
    const SavePlan plan =
        planSave(mainSeat, panels, m_mainVideocard, ui->emptySeatsAllowedAction->isChecked(), show,
                 [&show](SaveMessage message) { show(message); });
    if (!plan.proceed || !holdsApplyLock())
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
    keepReadLayout();
    startApplying(plan.queue);
}

void MainWindow::startApplying(const QList<AttachPair> &queue)
{
    if (m_attachJob.isRunning())
        return;
    m_savingLayout = currentLayout();
    m_deviceNames = ui->devTreeWidget->deviceNames();
    for (const Seat *seat : qAsConst(m_seats))
        m_deviceNames.insert(seat->devTreeWidget()->deviceNames());
    stopIdentifying();
    QStringList attached;
    for (const AttachPair &pair : queue)
        attached.append(pair.second);
    m_outside->ownChangesStarted(attached);
    setState(State::Applying);
    setEnabled(false);
    updateDisplayManagerConfig(!m_seats.isEmpty());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!m_progressDialog)
        m_progressDialog = new AttachProgressDialog(tr("Devices attaching..."), m_attachJob, this);
    m_progressDialog->start(queue.size(), m_deviceNames);
    m_attachJob.start(queue);
}

void MainWindow::onAttachFinished(const AttachOutcome &outcome)
{
    // udev's events of the attachments may still be on their way.
    m_outside->ownChangesEnded(outcome.result == AttachOutcome::Result::AllArrived);
    QApplication::restoreOverrideCursor();
    m_progressDialog->close();
    if (outcome.result == AttachOutcome::Result::AllArrived) {
        m_returnedAddresses.clear();
        // What was saved is what the next save starts from, and keeps.
        m_readLayout = m_savingLayout;
        setStateChanged(false);
        restartDisplayManager();
    } else {
        // Nothing counts as saved: the administrator can correct and save again.
        setEnabled(true);
        if (!outcome.failed.isEmpty() && !m_endingOnSignal) {
            Prompt::critical(this, tr("Device attaching error"),
                             attachFailureText(outcome.failed, m_deviceNames));
        }
    }
    if (m_state == State::Closing)
        close();
    else
        setState(State::Idle);
}

void MainWindow::onLoginUtilError(QString error)
{
    if (!m_endingOnSignal)
        Prompt::critical(this, tr("Device attaching error"), error);
}

// Each command of a save or a reset is bounded, and a cut would leave the
// seats half-assigned: it runs to its end. The display manager is not
// restarted then; the next start shows the system as it is.
void MainWindow::endOnSignal()
{
    m_endingOnSignal = true;
    m_stateChanged = false;
    close();
}

// A save or a reset restarts the display manager, which may end this
// session: no light is left blinked half-way, no node left open.
void MainWindow::stopIdentifying()
{
    m_identify->lights().stop();
    ui->identifyAction->setChecked(false);
}

void MainWindow::resetAllSeats()
{
    if (m_state != State::Idle || !holdsApplyLock() ||
        Prompt::question(this, tr("Reset all seats"),
                         tr("Every device will go back to the main seat and every further seat "
                            "will be removed; the display manager will be set up for one seat "
                            "and restarted. \nDo you want to continue?")) != QMessageBox::Yes)
        return;
    stopIdentifying();
    keepReadLayout();
    // Every device shown may change seat.
    QStringList attached;
    for (const SeatTree &seat : seatTrees())
        attached += seat.tree->deviceAddresses(true);
    m_outside->ownChangesStarted(attached);
    setState(State::Applying);
    setEnabled(false);
    // As a save does: the flush may take up to the command's time limit.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ui->statusBar->showMessage(
        tr("Resetting all seats: every device goes back to the main seat..."));
    m_seatReset.start();
}

void MainWindow::onResetFinished(const QString &error)
{
    QApplication::restoreOverrideCursor();
    ui->statusBar->showMessage(displayManagerText());
    setEnabled(true);
    m_outside->ownChangesEnded(error.isEmpty());
    if (!error.isEmpty()) {
        if (!m_endingOnSignal)
            Prompt::critical(this, tr("Reset failed"), error);
    } else {
        updateDisplayManagerConfig(false);
        restartDisplayManager();
        setStateChanged(false);
    }
    if (m_state == State::Closing) {
        close();
        return;
    }
    setState(State::Idle);
    // What was on screen is gone: read the seats afresh without asking.
    if (error.isEmpty())
        reloadConfiguration();
}

void MainWindow::equipTree(DevTreeWidget *tree)
{
    tree->setToolTips(
        [this](const QStringList &addresses) { return m_toolTips.toolTip(addresses); });
    connect(tree, &DevTreeWidget::dragEnded, m_outside, &OutsideChanges::dragEnded);
    tree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tree, &QWidget::customContextMenuRequested, this,
            [this, tree](const QPoint &pos) { showDeviceMenu(tree, pos); });
}

void MainWindow::showDeviceMenu(DevTreeWidget *tree, const QPoint &pos)
{
    const QTreeWidgetItem *item = tree->itemAt(pos);
    if (!item || item->data(0, DevTreeWidget::TypeRole).toInt() != KeyboardCategory ||
        !item->parent())
        return;
    const QStringList addresses = item->data(0, DevTreeWidget::AddressRole).toStringList();
    QMenu menu(this);
    QAction *blink = menu.addAction(tr("Blink keyboard lights"));
    blink->setObjectName(QStringLiteral("blinkAction"));
    blink->setEnabled(!m_identify->lights().isBlinking());
    connect(blink, &QAction::triggered, m_identify,
            [this, addresses] { m_identify->blink(addresses); });
    menu.exec(tree->viewport()->mapToGlobal(pos));
}

QList<SeatTree> MainWindow::seatTrees() const
{
    QList<SeatTree> trees{{m_mainSeatId, ui->devTreeWidget, nullptr}};
    for (Seat *seat : m_seats)
        trees.append({seat->seatId(), seat->devTreeWidget(), seat});
    return trees;
}

OutsideChanges::Shown MainWindow::shownDevice(const QString &syspath) const
{
    for (const SeatTree &seat : seatTrees()) {
        for (const DeviceItem &device : seat.tree->devices()) {
            for (const QString &address : device.addresses) {
                if (syspath == address || syspath.startsWith(address + QLatin1Char('/')))
                    return {seat.seatId, device.name, device.addresses.value(0)};
            }
        }
    }
    return {};
}

void MainWindow::updateDisplayManagerConfig(bool seatsRemain)
{
    // Only zel-dm keeps its seats in its configuration; the file of another
    // display manager's is not there to edit, and its warnings would be wrong.
    if (!m_displayManager.editsConfiguration())
        return;
    updateDmConfig(
        seatsRemain,
        [this](const QString &text) {
            if (!m_endingOnSignal)
                Prompt::warning(this, tr("Warning!"), text);
        },
        m_environment.displayManagerConfig);
}

QString MainWindow::displayManagerText() const
{
    switch (m_displayManager.kind()) {
    case DisplayManager::Kind::None:
        return tr("No display manager found: a save attaches the devices and restarts nothing.");
    case DisplayManager::Kind::Masked:
        return tr("The display manager is masked: a save attaches the devices and restarts "
                  "nothing.");
    case DisplayManager::Kind::Other:
        return tr("Display manager: %1 (%2), which starts no login screen on further seats.")
            .arg(m_displayManager.name(), m_displayManager.unit());
    default:
        // zel-dm's unit has its own name; the others' units are named apart.
        return m_displayManager.name() == m_displayManager.unit()
                   ? tr("Display manager: %1").arg(m_displayManager.name())
                   : tr("Display manager: %1 (%2)")
                         .arg(m_displayManager.name(), m_displayManager.unit());
    }
}

void MainWindow::showAbout()
{
    Prompt::information(this, tr("About %1").arg(QGuiApplication::applicationDisplayName()),
                        tr("%1 %2\nSets up the seats of a multiseat computer.\n\n%3")
                            .arg(QGuiApplication::applicationDisplayName(),
                                 QCoreApplication::applicationVersion(), displayManagerText()));
}

void MainWindow::tellBeforeRestart(int furtherSeats)
{
    if (furtherSeats > 0 && !m_displayManager.servesFurtherSeats()) {
        const QString who =
            m_displayManager.isRunning()
                ? tr("The display manager %1 starts no login screen on logind's seats: the further "
                     "seats will get no login screen from it.")
                      .arg(m_displayManager.name())
                : tr("No display manager was found: the further seats will get no login screen, "
                     "and nothing will be restarted.");
        Prompt::warning(this, tr("Warning!"), who + tr("\nThe devices are attached all the same."));
    }
    const QString ending =
        m_environment.administratorUid < 0
            ? SeatSessions::endingSessions(m_sessions, uint(-1))
            : SeatSessions::endingSessions(m_sessions, uint(m_environment.administratorUid));
    if (m_displayManager.isRunning() && !ending.isEmpty()) {
        Prompt::information(
            this, tr("Warning!"),
            tr("Saving restarts the display manager: the sessions of %1 will end.").arg(ending));
    }
    if (furtherSeats > 0 && m_displayManager.furtherSeatsOnX11Only()) {
        Prompt::information(this, tr("Warning!"),
                            tr("GDM runs the seats beyond the main seat on X11 only, not on "
                               "Wayland."));
    }
}

void MainWindow::restartDisplayManager()
{
    // Ending on a signal: nothing is restarted, and nobody is there to tell.
    if (m_endingOnSignal)
        return;
    if (!m_displayManager.isRunning()) {
        Prompt::information(this, tr("Saved"),
                            tr("The devices are on their seats. No display manager was "
                               "restarted, since none was found to run."));
        return;
    }
    QString error;
    if (m_environment.restartService &&
        !m_environment.restartService(m_displayManager.unit(), &error)) {
        Prompt::critical(this, tr("Display manager not restarted"),
                         tr("The devices are on their seats, but %1 could not be restarted:\n%2")
                             .arg(m_displayManager.unit(), error));
    }
}
