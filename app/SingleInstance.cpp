#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>

SingleInstance::SingleInstance(const QString &settingsFilePath, QObject *parent)
    : QObject(parent), key_(KeyFor(settingsFilePath))
{
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            emit raiseRequested();
        }
    });
}

QString SingleInstance::KeyFor(const QString &settingsFilePath)
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    const QString path = QFileInfo(settingsFilePath).absoluteFilePath();
    const QByteArray hash = QCryptographicHash::hash((user + QLatin1Char('\n') + path).toUtf8(),
                                                     QCryptographicHash::Sha1)
                                .toHex()
                                .left(16);
    return QStringLiteral("kt480nt5-") + QString::fromLatin1(hash);
}

bool SingleInstance::TryAcquire()
{
    lock_ = std::make_unique<QLockFile>(QDir(QDir::tempPath()).filePath(key_ + ".lock"));
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        lock_.reset();
        askRunningInstanceToRaise();
        return false;
    }
    QLocalServer::removeServer(key_);
    server_.listen(key_);
    return true;
}

void SingleInstance::askRunningInstanceToRaise() const
{
    QLocalSocket socket;
    socket.connectToServer(key_);
    if (socket.waitForConnected(1000))
        socket.disconnectFromServer();
}
