// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/singleinstancepeer.h"

#include "platform/instancemessage.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char Acknowledge = '\x06';

// A local socket's path must fit into sockaddr_un (108 bytes with the NUL);
// leave room for the file name that instanceId() gives.
constexpr int MaxDirectoryLength =
    107 - 1 - int(sizeof("zel-admin-multiseat-0123456789abcdef.socket") - 1);

} // namespace

SingleInstancePeer::SingleInstancePeer(const QString &id, const QString &directory, QObject *parent)
    : QObject(parent), m_id(id), m_directory(directory)
{
}

SingleInstancePeer::~SingleInstancePeer()
{
    if (m_server)
        m_server->close();
    if (m_removeDirectory) {
        m_lock.reset();
        QDir(m_directory).removeRecursively();
    }
}

QString SingleInstancePeer::socketPath() const
{
    return m_directory + QLatin1Char('/') + m_id + QLatin1String(".socket");
}

QString SingleInstancePeer::lockPath() const
{
    return m_directory + QLatin1Char('/') + m_id + QLatin1String(".lock");
}

QString SingleInstancePeer::instanceId(const QString &executablePath, uint uid)
{
    const QByteArray key = executablePath.toUtf8() + '\0' + QByteArray::number(uid);
    const QByteArray hash = QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex();
    return QStringLiteral("zel-admin-multiseat-") + QString::fromLatin1(hash.left(16));
}

bool SingleInstancePeer::isPrivateDirectory(const QString &path, uint uid)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == uid && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

QString SingleInstancePeer::runtimeDirectory(uint uid, const QString &runDir, bool *fallback)
{
    if (fallback)
        *fallback = false;
    QStringList candidates;
    // Under sudo or pkexec root has no runtime directory of its own, and a
    // user could have taken the usual name in the temporary folder first.
    if (uid == 0)
        candidates << runDir + QStringLiteral("/zel-admin-multiseat");
    const QString xdg = QFile::decodeName(qgetenv("XDG_RUNTIME_DIR"));
    if (!xdg.isEmpty() && isPrivateDirectory(xdg, uid))
        candidates << xdg + QStringLiteral("/zel-admin-multiseat");
    candidates << QDir::tempPath() + QStringLiteral("/zel-admin-multiseat-") + QString::number(uid);

    for (const QString &dir : candidates) {
        const QByteArray native = QFile::encodeName(dir);
        if (native.size() > MaxDirectoryLength)
            continue;
        if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
            continue;
        if (isPrivateDirectory(dir, uid))
            return dir;
    }
    // Someone else holds the usual place: run with a private directory of our
    // own, so the start is not blocked (a second copy then is not detected).
    QByteArray templ =
        QFile::encodeName(QDir::tempPath() + QStringLiteral("/zel-admin-multiseat-XXXXXX"));
    if (!::mkdtemp(templ.data()))
        return QString();
    if (fallback)
        *fallback = true;
    return QFile::decodeName(templ);
}

bool SingleInstancePeer::isClient()
{
    if (m_decided >= 0)
        return m_decided == 1;
    if (m_directory.isEmpty() || !QDir(m_directory).exists()) {
        m_decided = 0; // nowhere to coordinate: behave as the only copy
        return false;
    }
    m_lock = std::make_unique<QLockFile>(lockPath());
    // A lock whose owner process is gone is removed by tryLock(); a lock of a
    // living copy is never taken over, however old it is.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        m_lock.reset();
        m_decided = 1;
        return true;
    }
    m_decided = 0;
    QLocalServer::removeServer(socketPath());
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstancePeer::onNewConnection);
    m_server->listen(socketPath());
    return false;
}

bool SingleInstancePeer::sendMessage(const QString &message, int timeoutMs)
{
    if (!isClient())
        return false;
    QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    // The primary copy may hold the lock a moment before it listens.
    for (;;) {
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(int(qMax<qint64>(1, deadline.remainingTime()))))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    socket.write(InstanceMessage::encode(message));
    if (!socket.waitForBytesWritten(int(qMax<qint64>(1, deadline.remainingTime()))))
        return false;
    while (socket.bytesAvailable() < 1) {
        if (deadline.hasExpired() ||
            !socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime()))))
            return false;
    }
    char ack = 0;
    return socket.getChar(&ack) && ack == Acknowledge;
}

void SingleInstancePeer::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto received = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, received]() {
            received->append(socket->readAll());
            QString message;
            int used = 0;
            switch (InstanceMessage::decode(*received, &message, &used)) {
            case InstanceMessage::Result::Incomplete:
                return; // wait for the rest
            case InstanceMessage::Result::Invalid:
                received->clear();
                socket->abort();
                return;
            case InstanceMessage::Result::Complete:
                received->remove(0, used);
                break;
            }
            socket->putChar(Acknowledge);
            socket->flush();
            emit messageReceived(message);
        });
    }
}
