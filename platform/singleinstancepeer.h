// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;

// One side of the single-instance hand-over. The first copy holds a lock file
// and listens on a local socket; a later copy finds the lock taken and sends
// its message through the socket. Lock and socket live in a directory that
// only the user can write, so another local user can neither pose as a
// running copy nor keep a copy from starting.
class SingleInstancePeer : public QObject
{
    Q_OBJECT
public:
    // id names the lock and the socket; directory holds them (created with
    // mode 0700 when missing, and refused when anyone else could write it).
    SingleInstancePeer(const QString &id, const QString &directory, QObject *parent = nullptr);
    ~SingleInstancePeer() override;

    // True when another copy holds the lock. The first call decides: the copy
    // that gets the lock starts listening and stays the primary one.
    bool isClient();

    // Sends a message to the primary copy; false when it did not answer in time.
    bool sendMessage(const QString &message, int timeoutMs);

    QString socketPath() const;
    QString lockPath() const;

    // Identity of a program for one user: the executable's path and the uid.
    static QString instanceId(const QString &executablePath, uint uid);
    // The per-user directory for locks and sockets, made safe for use. Root's
    // is under runDir (/run), where nobody else can create anything, so that
    // every root copy meets there whatever its environment says. Others use
    // their runtime directory or one of their own in the temporary folder,
    // and a private fallback when that belongs to someone else (*fallback is
    // then set: the caller removes it when done).
    static QString runtimeDirectory(uint uid, const QString &runDir = QStringLiteral("/run"),
                                    bool *fallback = nullptr);

    // Removes the directory when this peer goes (a fallback of its own).
    void setRemoveDirectory(bool remove) { m_removeDirectory = remove; }
    // Whether path is a directory (not a link) owned by uid that nobody else can write.
    static bool isPrivateDirectory(const QString &path, uint uid);

signals:
    void messageReceived(const QString &message);

private:
    void onNewConnection();

    QString m_id;
    QString m_directory;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
    int m_decided = -1; // -1 undecided, 0 primary, 1 client
    bool m_removeDirectory = false;
};
