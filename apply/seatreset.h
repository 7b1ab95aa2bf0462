// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/childprocess.h"

#include <QObject>
#include <QString>

// Puts every device back on seat0: `loginctl flush-devices`, which removes
// every seat rule logind wrote, so the further seats go with their devices.
class SeatReset : public QObject
{
    Q_OBJECT
public:
    explicit SeatReset(QObject *parent = nullptr);

    // Constants::CommandTimeLimitMs unless set.
    void setTimeLimit(int ms) { m_process.setTimeLimit(ms); }
    void start();
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }

signals:
    // error is empty when loginctl did it.
    void finished(QString error);

private:
    ChildProcess m_process;
};
