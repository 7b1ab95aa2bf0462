// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/qtsingleapplication.h"

#include "platform/singleinstancepeer.h"

#include <QWidget>

#include <unistd.h>

QtSingleApplication::QtSingleApplication(int &argc, char **argv, bool GUIenabled,
                                         const QString &runDir)
    : QApplication(argc, argv, GUIenabled)
{
    const uint uid = ::getuid();
    bool fallback = false;
    const QString directory = SingleInstancePeer::runtimeDirectory(uid, runDir, &fallback);
    m_peer = new SingleInstancePeer(
        SingleInstancePeer::instanceId(QCoreApplication::applicationFilePath(), uid), directory,
        this);
    m_peer->setRemoveDirectory(fallback);
    connect(m_peer, &SingleInstancePeer::messageReceived, this,
            &QtSingleApplication::messageReceived);
}

QtSingleApplication::~QtSingleApplication() = default;

bool QtSingleApplication::isRunning()
{
    return m_peer->isClient();
}

QString QtSingleApplication::id() const
{
    return m_peer->socketPath();
}

bool QtSingleApplication::sendMessage(const QString &message, int timeout)
{
    return m_peer->sendMessage(message, timeout);
}

void QtSingleApplication::setActivationWindow(QWidget *aw, bool activateOnMessage)
{
    m_activationWindow = aw;
    if (m_activateOnMessage == activateOnMessage)
        return;
    m_activateOnMessage = activateOnMessage;
    if (activateOnMessage)
        connect(m_peer, &SingleInstancePeer::messageReceived, this,
                &QtSingleApplication::activateWindow);
    else
        disconnect(m_peer, &SingleInstancePeer::messageReceived, this,
                   &QtSingleApplication::activateWindow);
}

QWidget *QtSingleApplication::activationWindow() const
{
    return m_activationWindow;
}

void QtSingleApplication::activateWindow()
{
    if (!m_activationWindow)
        return;
    m_activationWindow->show();
    m_activationWindow->setWindowState(m_activationWindow->windowState() & ~Qt::WindowMinimized);
    m_activationWindow->raise();
    m_activationWindow->activateWindow();
}
