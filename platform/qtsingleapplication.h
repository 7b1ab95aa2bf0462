// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QApplication>
#include <QPointer>

class SingleInstancePeer;

// The application object of a program that runs once per user: a later copy
// finds the running one, hands it a message and exits. Same interface as the
// single-application class of the Qt Solutions, so either can be used.
class QtSingleApplication : public QApplication
{
    Q_OBJECT
public:
    // runDir: where root's copies meet (the real /run unless a test says).
    QtSingleApplication(int &argc, char **argv, bool GUIenabled = true,
                        const QString &runDir = QStringLiteral("/run"));
    ~QtSingleApplication() override;

    bool isRunning();
    QString id() const;

    // The window shown, restored, raised and activated whenever a later copy
    // sends a message (when activateOnMessage is true).
    void setActivationWindow(QWidget *aw, bool activateOnMessage = true);
    QWidget *activationWindow() const;

public slots:
    bool sendMessage(const QString &message, int timeout = 5000);
    void activateWindow();

signals:
    void messageReceived(const QString &message);

private:
    SingleInstancePeer *m_peer = nullptr;
    QPointer<QWidget> m_activationWindow;
    bool m_activateOnMessage = false;
};
