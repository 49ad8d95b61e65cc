#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

// One running program per user and settings file. The first instance holds a lock file and a
// local server; a later one finds the lock, asks the first to come to the front and gives up.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString &settingsFilePath, QObject *parent = nullptr);

    // True for the first instance. Otherwise the running one has been asked to raise itself.
    bool TryAcquire();

    // The name shared by every instance of one user with one settings file.
    static QString KeyFor(const QString &settingsFilePath);

signals:
    void raiseRequested();

private:
    void askRunningInstanceToRaise() const;

    QString key_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
};
