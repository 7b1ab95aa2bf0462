#include "mainwindow/outsidechanges.h"

#include "hardware/hotplugmonitor.h"
#include "platform/plaintext.h"

#include <KMessageWidget>
#include <QAction>
#include <QLabel>
#include <QApplication>
#include <QMainWindow>
#include <QToolBar>

OutsideChanges::OutsideChanges(HotplugSource *source, QMainWindow *window, QAction *reload)
    : QObject(window), m_bar(new KMessageWidget)
{
    m_bar->setObjectName(QStringLiteral("outsideChangeBar"));
    m_bar->setMessageType(KMessageWidget::Information);
    m_bar->setWordWrap(true);
    // The message names devices and seats.
    for (QLabel *label : m_bar->findChildren<QLabel *>())
        PlainText::apply(label);
    m_bar->setCloseButtonVisible(true);
    m_bar->addAction(reload);
    m_bar->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    connect(reload, &QAction::triggered, m_bar, &KMessageWidget::animatedHide);

    // A row of its own under the tool bar, shown only with a message.
    auto *row = new QToolBar(window);
    row->setObjectName(QStringLiteral("outsideChangeToolBar"));
    row->setMovable(false);
    row->setFloatable(false);
    row->toggleViewAction()->setVisible(false);
    row->addWidget(m_bar);
    window->addToolBarBreak(Qt::TopToolBarArea);
    window->addToolBar(Qt::TopToolBarArea, row);
    row->setVisible(false);
    connect(m_bar, &KMessageWidget::showAnimationFinished, row, &QWidget::show);
    connect(m_bar, &KMessageWidget::hideAnimationFinished, row, &QWidget::hide);

    m_debounce.setSingleShot(true);
    m_debounce.setInterval(1000);
    connect(&m_debounce, &QTimer::timeout, this, &OutsideChanges::settle);
    m_ignore.setSingleShot(true);
    if (source)
        connect(source, &HotplugSource::seatDeviceChanged, this, &OutsideChanges::onChange);
}

void OutsideChanges::setBusy(bool busy)
{
    m_busy = busy;
    if (busy)
        m_debounce.stop();
    else if (m_pending && !m_debounce.isActive())
        m_debounce.start();
}

void OutsideChanges::ignoreFor(int ms)
{
    m_pending = false;
    m_debounce.stop();
    m_ignore.start(ms);
}

void OutsideChanges::onChange(const QString &action, const QString &syspath, const QString &seat)
{
    if (m_ignore.isActive())
        return;
    const QString shownOn = shownSeatOf ? shownSeatOf(syspath) : QString();
    const QString name = nameOf ? nameOf(syspath) : syspath;
    if (action == QLatin1String("add")) {
        m_text = tr("%1 was connected.").arg(name);
    } else if (action == QLatin1String("remove")) {
        m_text = tr("%1 was disconnected.").arg(name);
    } else {
        // Other changes matter only for a device shown on another seat now.
        const QString now = seat.isEmpty() ? QStringLiteral("seat0") : seat;
        if (shownOn.isEmpty() || shownOn == now)
            return;
        m_text = tr("%1 was moved to %2 outside this tool.").arg(name, now);
    }
    m_pending = true;
    // While the tool reads the seats the change may come too late for what
    // it reads: it is looked at again once the reading is done.
    if (m_busy)
        return;
    if (hasUnsavedChanges && hasUnsavedChanges())
        showBar();
    else if (!m_debounce.isActive())
        m_debounce.start();
}

void OutsideChanges::showBar()
{
    m_pending = false;
    m_bar->setText(m_text + QLatin1Char(' ') + tr("Reload to see the devices as they are now."));
    if (!m_bar->isVisible()) {
        m_bar->parentWidget()->show();
        m_bar->animatedShow();
    }
}

void OutsideChanges::settle()
{
    if (m_busy || !m_pending)
        return;
    // A reading would pull the panels from under an open question, dialog
    // or menu: wait until it is closed.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        m_debounce.start();
        return;
    }
    // Changes made meanwhile are not thrown away by a reading.
    if (hasUnsavedChanges && hasUnsavedChanges()) {
        showBar();
        return;
    }
    m_pending = false;
    emit reloadWanted();
}
